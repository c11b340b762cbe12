// What the statistics window shows of a title, and its commands: figures, time axis, sorting,
// clearing and the CSV export, and a history that cannot be read.
#include "history/StatisticsModel.h"

#include "platform/FileIo.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace rovik {
namespace {
using test::ScriptedPrompter;
using test::TempFolder;

// Local time is UTC inside these tests, so times have known milliseconds.
class UtcClock {
public:
    UtcClock() {
        const char* tz = std::getenv("TZ");
        m_had = tz != nullptr;
        if (tz) m_old = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    ~UtcClock() {
        if (m_had)
            setenv("TZ", m_old.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

struct Answered {
    const char* question;
    const char* answer;
    bool right;
    const char* at;
};

// A finished run of `title` with its answers, as the recorder leaves it.
void addRun(HistoryStore& store, const std::string& title, const std::string& started,
            const std::vector<Answered>& answers, std::int64_t durationMs = 1000) {
    RunRecord run;
    run.file = "/data/drill.txt";
    run.title = title;
    run.started = started;
    run.id = store.beginRun(run);
    ASSERT_NE(0, run.id) << store.error();
    for (const Answered& a : answers) {
        ASSERT_TRUE(store.addAnswer(run.id, {a.question, a.answer, a.right, a.at, 500}));
        ++run.asked;
        ++(a.right ? run.right : run.wrong);
    }
    run.durationMs = durationMs;
    ASSERT_TRUE(store.finishRun(run));
}

struct StatisticsModelTest : ::testing::Test {
    std::string history() const { return folder.file("rovik/history.sqlite"); }
    UtcClock utc;
    TempFolder folder;
    ScriptedPrompter prompter;
};

TEST(StatisticsTime, LocalTimeTexts) {
    UtcClock utc;
    const struct {
        const char* text;
        bool valid;
        std::int64_t msecs;
    } cases[] = {
        {"2026-03-01T10:00:00", true, 1772359200000},
        {"2026-12-31T23:59:59", true, 1798761599000},
        {"1970-01-01T00:00:00", true, 0},
        {"2026-03-01 10:00:00", false, 0},
        {"2026-03-01T10:00", false, 0},
        {"2026-03-01T10:00:00Z", false, 0},
        {"", false, 0},
        {"garbage-text-here!!", false, 0},
    };
    for (const auto& c : cases) {
        std::int64_t msecs = -1;
        EXPECT_EQ(c.valid, localTimeMsecs(c.text, msecs)) << c.text;
        if (c.valid) {
            EXPECT_EQ(c.msecs, msecs) << c.text;
        }
    }
}

TEST(StatisticsTime, AxisSpanAndLabels) {
    constexpr std::int64_t minute = 60000, hour = 60 * minute, day = 24 * hour;
    const struct {
        const char* name;
        std::vector<std::int64_t> points;
        std::int64_t from, to;
        const char* format;
    } cases[] = {
        {"one run", {10 * day}, 10 * day - minute, 10 * day + minute, "hh:mm:ss"},
        {"runs seconds apart",
         {10 * day, 10 * day + 30000, 10 * day + 5000},
         10 * day - minute,
         10 * day + 30000 + minute,
         "hh:mm:ss"},
        {"one afternoon",
         {10 * day, 10 * day + 4 * hour},
         10 * day - 12 * minute,
         10 * day + 4 * hour + 12 * minute,
         "M/d hh:mm"},
        {"three weeks", {10 * day, 30 * day}, 9 * day, 31 * day, "M/d"},
        {"two years",
         {10 * day, 740 * day},
         10 * day - 36 * day - 12 * hour,
         740 * day + 36 * day + 12 * hour,
         "yyyy/M/d"},
    };
    for (const auto& c : cases) {
        std::vector<AccuracyPoint> points;
        for (std::int64_t at : c.points)
            points.push_back({"", at, 50});
        const TimeSpan span = timeSpanOf(points);
        EXPECT_EQ(c.from, span.from) << c.name;
        EXPECT_EQ(c.to, span.to) << c.name;
        EXPECT_EQ(c.format, span.format) << c.name;
    }
    EXPECT_EQ("", timeSpanOf({}).format);
}

TEST(StatisticsText, CountAxisSteps) {
    const int cases[][2] = {{0, 1},    {1, 1},    {5, 1},    {6, 2},     {10, 2},
                            {11, 5},   {25, 5},   {26, 10},  {50, 10},   {51, 20},
                            {100, 20}, {101, 50}, {250, 50}, {251, 100}, {100000, 20000}};
    for (const auto& c : cases)
        EXPECT_EQ(c[1], countStep(c[0])) << c[0];
}

TEST(StatisticsText, DaysDurationsAndTotals) {
    EXPECT_EQ("3/1", dayLabel("2026-03-01", false));
    EXPECT_EQ("2026/12/31", dayLabel("2026-12-31", true));
    EXPECT_EQ("odd", dayLabel("odd", false));
    const struct {
        std::int64_t ms;
        const char* text;
    } durations[] = {{0, "0秒"},          {-5, "0秒"},           {59999, "59秒"},      {60000, "1分0秒"},
                     {312000, "5分12秒"}, {3600000, "1時間0分"}, {3723000, "1時間2分"}};
    for (const auto& d : durations)
        EXPECT_EQ(d.text, durationText(d.ms)) << d.ms;
    EXPECT_EQ("練習 3回　出題 12問　正解 9問　不正解 3問　正答率 75.0%　練習時間 5分12秒",
              totalsText(HistoryTotals{3, 12, 9, 3, 312000}));
    EXPECT_EQ("練習 0回　出題 0問　正解 0問　不正解 0問　正答率 -　練習時間 0秒",
              totalsText(HistoryTotals{}));
}

// Three runs of a title (one started while the clock was set back, one with no answer), one of
// another title: the figures of the title alone.
TEST_F(StatisticsModelTest, FiguresOfOneTitle) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        addRun(store, "英単語", "2026-03-02T09:00:00",
               {{"犬", "dog", false, "2026-03-02T09:00:01"}, {"猫", "cat", true, "2026-03-02T09:00:02"}},
               2000);
        addRun(store, "英単語", "2026-03-01T10:00:00", // the clock went back
               {{"犬", "dog", false, "2026-03-01T10:00:01"},
                {"猫", "cat", false, "2026-03-01T10:00:02"},
                {"鳥", "bird", true, "2026-03-01T10:00:03"},
                {"魚", "fish", true, "2026-03-01T10:00:04"}},
               3000);
        addRun(store, "英単語", "2026-03-02T10:00:00", {}, 500);
        addRun(store, "歴史", "2026-03-02T11:00:00", {{"犬", "dog", false, "2026-03-02T11:00:01"}});
    }
    StatisticsModel model(history(), {"英単語", "歴史"});
    ASSERT_TRUE(model.open()) << model.problem();
    ASSERT_TRUE(model.showTitle(0));
    EXPECT_EQ("", model.problem());
    EXPECT_EQ("英単語", model.shownTitleName());
    EXPECT_EQ(3u, model.runs().size());
    ASSERT_EQ(2u, model.accuracy().size()) << "a run without answers has no accuracy";
    EXPECT_EQ("2026-03-01T10:00:00", model.accuracy()[0].started);
    EXPECT_EQ(1772359200000, model.accuracy()[0].msecs);
    EXPECT_DOUBLE_EQ(50.0, model.accuracy()[0].percent);
    EXPECT_EQ("2026-03-02T09:00:00", model.accuracy()[1].started);
    EXPECT_DOUBLE_EQ(50.0, model.accuracy()[1].percent);
    ASSERT_EQ(2u, model.days().size());
    EXPECT_EQ("2026-03-01", model.days()[0].day);
    EXPECT_EQ(4, model.days()[0].answers);
    EXPECT_EQ(2, model.days()[1].answers);
    EXPECT_EQ((std::vector<std::string>{"3/1", "3/2"}), model.dayLabels());
    EXPECT_FALSE(model.earlierDaysLeftOut());
    EXPECT_EQ(3, model.totals().runs);
    EXPECT_EQ(6, model.totals().asked);
    EXPECT_EQ(3, model.totals().right);
    EXPECT_EQ(3, model.totals().wrong);
    EXPECT_EQ(5500, model.totals().durationMs);
    ASSERT_EQ(2u, model.ranked().size());
    EXPECT_EQ("犬", model.ranked()[0].question);
    EXPECT_EQ(2, model.ranked()[0].wrong);
    EXPECT_EQ("猫", model.ranked()[1].question);
    ASSERT_EQ(2u, model.mostMissedKeys().size());
    EXPECT_EQ("dog", model.mostMissedKeys()[0].answer);
    EXPECT_EQ("cat", model.mostMissedKeys()[1].answer);

    ASSERT_TRUE(model.showTitle(1));
    EXPECT_EQ(1, model.totals().runs);
    EXPECT_EQ(1u, model.ranked().size());
}

TEST_F(StatisticsModelTest, ATitleWithoutRunsHasEmptyFigures) {
    StatisticsModel model(history(), {"新しいタイトル"});
    ASSERT_TRUE(model.open());
    ASSERT_TRUE(model.showTitle(0));
    EXPECT_EQ("", model.problem());
    EXPECT_TRUE(model.runs().empty());
    EXPECT_TRUE(model.accuracy().empty());
    EXPECT_TRUE(model.days().empty());
    EXPECT_TRUE(model.ranked().empty());
    EXPECT_EQ(0, model.totals().runs);
}

TEST_F(StatisticsModelTest, OnlyTheLatestDaysAreCharted) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        std::vector<Answered> answers;
        static std::vector<std::string> times;
        for (int d = 1; d <= 31; ++d)
            times.push_back("2026-01-" + std::string(d < 10 ? "0" : "") + std::to_string(d) + "T08:00:00");
        times.push_back("2026-02-01T08:00:00");
        for (const std::string& at : times)
            answers.push_back({"Q", "A", true, at.c_str()});
        addRun(store, "T", "2026-01-01T07:59:00", answers);
    }
    StatisticsModel model(history(), {"T"});
    ASSERT_TRUE(model.open());
    ASSERT_TRUE(model.showTitle(0));
    ASSERT_EQ(30u, model.days().size());
    EXPECT_TRUE(model.earlierDaysLeftOut());
    EXPECT_EQ("2026-01-03", model.days().front().day);
    EXPECT_EQ("2026-02-01", model.days().back().day);
}

TEST_F(StatisticsModelTest, WithoutTitlesEveryTitleOfTheHistoryIsOffered) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        addRun(store, "b", "2026-03-01T10:00:00", {});
        addRun(store, "a", "2026-03-01T10:00:00", {});
        addRun(store, "b", "2026-03-01T11:00:00", {});
    }
    StatisticsModel model(history(), {});
    ASSERT_TRUE(model.open());
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), model.titles());
}

// Sorting by a column; equal values keep the most-missed order.
TEST_F(StatisticsModelTest, SortsTheMissedQuestionsByColumn) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        addRun(store, "T", "2026-03-01T10:00:00",
               {{"b", "2", false, "2026-03-01T10:00:01"},
                {"a", "3", false, "2026-03-01T10:00:02"},
                {"c", "1", false, "2026-03-01T10:00:03"},
                {"a", "3", false, "2026-03-01T10:00:04"}});
    }
    StatisticsModel model(history(), {"T"});
    ASSERT_TRUE(model.open());
    ASSERT_TRUE(model.showTitle(0));
    auto order = [&] {
        std::string questions;
        for (const MissedQuestion& q : model.missed())
            questions += q.question;
        return questions;
    };
    EXPECT_EQ("acb", order()) << "most wrong, then the latest answered";
    const struct {
        MissedColumn column;
        bool ascending;
        const char* order;
    } cases[] = {
        {MissedColumn::Question, true, "abc"},     {MissedColumn::Question, false, "cba"},
        {MissedColumn::Answer, true, "cba"},       {MissedColumn::Answer, false, "abc"},
        {MissedColumn::Wrong, false, "acb"},       {MissedColumn::Wrong, true, "cba"},
        {MissedColumn::LastAnswered, true, "bca"}, {MissedColumn::LastAnswered, false, "acb"},
    };
    for (const auto& c : cases) {
        model.sortMissed(c.column, c.ascending);
        EXPECT_EQ(c.order, order()) << static_cast<int>(c.column) << " " << c.ascending;
    }
    EXPECT_EQ("a", model.ranked()[0].question) << "sorting the table leaves the ranking";
}

struct ClearCase {
    const char* name;
    bool all;
    Answer answer;
    std::vector<std::string> titlesLeft;
};

class StatisticsClearTest : public StatisticsModelTest, public ::testing::WithParamInterface<ClearCase> {};

TEST_P(StatisticsClearTest, AsksFirst) {
    const ClearCase& c = GetParam();
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        addRun(store, "英単語", "2026-03-01T10:00:00", {{"犬", "dog", false, "2026-03-01T10:00:01"}});
        addRun(store, "歴史", "2026-03-01T11:00:00", {{"1192", "鎌倉", false, "2026-03-01T11:00:01"}});
    }
    StatisticsModel model(history(), {});
    ASSERT_TRUE(model.open());
    ASSERT_TRUE(model.showTitle(1));
    ASSERT_EQ("英単語", model.shownTitleName());
    prompter.expectMessage(c.all ? "すべてのタイトルの練習の履歴を消去します。\n"
                                   "消去した履歴は元に戻せません。よろしいですか？"
                                 : "タイトル「英単語」の練習の履歴を消去します。\n"
                                   "消去した履歴は元に戻せません。よろしいですか？",
                           "確認", Buttons::YesNo, Icon::Question, c.answer);
    const bool changed = c.all ? model.clearAll(prompter) : model.clearShownTitle(prompter);
    EXPECT_EQ(c.answer == Answer::Yes, changed);
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(c.titlesLeft, model.titles());
    HistoryStore store;
    ASSERT_TRUE(store.open(history()));
    EXPECT_EQ(c.titlesLeft, store.titles());
    std::size_t answers = 0;
    for (const std::string& title : c.titlesLeft)
        answers += store.answerRows({title}).size();
    EXPECT_EQ(c.titlesLeft.size(), answers) << "each title left keeps its answer";
}

INSTANTIATE_TEST_SUITE_P(Commands, StatisticsClearTest,
                         ::testing::Values(ClearCase{"TitleYes", false, Answer::Yes, {"歴史"}},
                                           ClearCase{"TitleNo", false, Answer::No, {"歴史", "英単語"}},
                                           ClearCase{"AllYes", true, Answer::Yes, {}},
                                           ClearCase{"AllNo", true, Answer::No, {"歴史", "英単語"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StatisticsModelTest, ExportsTheTitlesAnswersAsCsv) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        addRun(store, "英単語", "2026-03-01T10:00:00",
               {{"犬, \"いぬ\"", "dog", false, "2026-03-01T10:00:01"},
                {"猫", "cat\nネコ", true, "2026-03-01T10:00:02"}});
        addRun(store, "歴史", "2026-03-01T11:00:00", {{"1192", "鎌倉", false, "2026-03-01T11:00:01"}});
    }
    StatisticsModel model(history(), {"英単語"});
    ASSERT_TRUE(model.open());
    ASSERT_TRUE(model.showTitle(0));
    const std::string out = folder.write("out.csv", "old");
    prompter.expectSave(out, "CSV file (*.csv)|*.CSV");
    EXPECT_EQ(out, model.exportCsv(prompter));
    EXPECT_EQ(
        "started,file,title,question,answer,correct,answered,time_ms\r\n"
        "2026-03-01T10:00:00,/data/drill.txt,英単語,\"犬, \"\"いぬ\"\"\",dog,0,2026-03-01T10:00:01,500\r\n"
        "2026-03-01T10:00:00,/data/drill.txt,英単語,猫,\"cat\nネコ\",1,2026-03-01T10:00:02,500\r\n",
        TempFolder::read(out));
    ASSERT_EQ(1u, prompter.dialogRequests.size());
    EXPECT_EQ("rovik-history.csv", prompter.dialogRequests[0].fileName);
}

TEST_F(StatisticsModelTest, ExportRefusalsLeaveTheFileAlone) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        addRun(store, "T", "2026-03-01T10:00:00", {{"Q", "A", false, "2026-03-01T10:00:01"}});
    }
    StatisticsModel model(history(), {"T", "empty"});
    ASSERT_TRUE(model.open());
    ASSERT_TRUE(model.showTitle(0));
    const std::string out = folder.write("out.csv", "old");
    const std::string txt = folder.write("out.txt", "old");

    prompter.expectSave(std::nullopt);
    EXPECT_EQ("", model.exportCsv(prompter));
    prompter.expectSave(txt).expectMessage("ファイルは .csv を選択してください。", "ﾌｧｲﾙ ｴﾗｰ", Buttons::Ok,
                                           Icon::Error);
    EXPECT_EQ("", model.exportCsv(prompter));
    setWriteFailureAfterForTesting(10);
    prompter.expectSave(out).expectMessage("ファイルが開けません\n" + out, "エラー", Buttons::Ok,
                                           Icon::Error);
    EXPECT_EQ("", model.exportCsv(prompter));
    setWriteFailureAfterForTesting(-1);
    ASSERT_TRUE(model.showTitle(1));
    prompter.expectMessage("このタイトルには書き出す履歴がありません。", "確認", Buttons::Ok, Icon::None);
    EXPECT_EQ("", model.exportCsv(prompter));
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ("old", TempFolder::read(out));
    EXPECT_EQ("old", TempFolder::read(txt));
}

// Runs SQL on the file directly, as another program would.
void sql(const std::string& path, const std::string& statement) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

TEST_F(StatisticsModelTest, AHistoryOfANewerProgramIsToldNotRead) {
    std::filesystem::create_directories(folder.file("rovik"));
    sql(history(), "CREATE TABLE runs(x); CREATE TABLE answers(y); PRAGMA user_version = 9");
    StatisticsModel model(history(), {"T"});
    EXPECT_FALSE(model.open());
    EXPECT_EQ("履歴を読めません。\nthe history was written by a newer Rovik (schema 9)", model.problem());
    EXPECT_FALSE(model.showTitle(0));
    EXPECT_TRUE(model.runs().empty());
    EXPECT_FALSE(model.clearAll(prompter)) << "no question is asked";
    EXPECT_EQ("", model.exportCsv(prompter));
}

// The tables' pages are damaged, the schema on the first page is not: opening works, reading
// stops with an error, and what was read is not shown as the title's figures.
TEST_F(StatisticsModelTest, DamagedPagesAreToldNotShown) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        std::vector<Answered> answers(
            2000, Answered{"問題の文がここに入ります", "答え", false, "2026-03-01T10:00:01"});
        addRun(store, "T", "2026-03-01T10:00:00", answers);
    }
    std::string bytes = TempFolder::read(history());
    ASSERT_GT(bytes.size(), 40000u);
    for (std::size_t at = 4096 * 2; at < bytes.size(); ++at)
        bytes[at] = static_cast<char>(0xA5);
    std::ofstream(history(), std::ios::binary | std::ios::trunc) << bytes;

    StatisticsModel model(history(), {"T"});
    ASSERT_TRUE(model.open()) << model.problem();
    EXPECT_FALSE(model.showTitle(0));
    EXPECT_EQ(0u, model.problem().rfind("履歴を読めません。\n", 0)) << model.problem();
    EXPECT_TRUE(model.runs().empty());
    EXPECT_TRUE(model.ranked().empty());
}

TEST_F(StatisticsModelTest, ALockedHistoryIsToldNotWaitedFor) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
    }
    sqlite3* other = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(history().c_str(), &other));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE", nullptr,
                                      nullptr, nullptr));
    StatisticsModel model(history(), {"T"});
    EXPECT_FALSE(model.open());
    EXPECT_EQ(0u, model.problem().rfind("履歴を読めません。\n", 0)) << model.problem();
    EXPECT_FALSE(model.showTitle(0));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

} // namespace
} // namespace rovik
