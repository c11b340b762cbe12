// The history file: what goes in comes back, versions, files that are not ours, question keys.
#include "history/HistoryStore.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <ctime>
#include <filesystem>

namespace rovik {
namespace {
using test::TempFolder;

// Runs SQL on a file directly, as another program would; returns the first column of the first row.
std::string sql(const std::string& path, const std::string& statement) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string result;
    sqlite3_exec(
        db, statement.c_str(),
        [](void* out, int, char** values, char**) {
            auto& text = *static_cast<std::string*>(out);
            if (text.empty() && values[0]) text = values[0];
            return 0;
        },
        &result, nullptr);
    sqlite3_close(db);
    return result;
}

std::string today() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[16];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d", &local);
    return buffer;
}

RunRecord run(const std::string& title, const std::string& started) {
    RunRecord r;
    r.file = "/data/drill.txt";
    r.title = title;
    r.started = started;
    return r;
}

TEST(HistoryStore, KeepsRunsAndAnswers) {
    TempFolder folder;
    const std::string path = folder.file("rovik/history.sqlite");
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(path)) << store.error();
        RunRecord r = run("英単語", "2026-01-02T03:04:05");
        r.reverse = true;
        r.random = true;
        r.categoryA = 2;
        r.categoryB = 3;
        r.chunkSize = 10;
        r.id = store.beginRun(r);
        ASSERT_NE(0, r.id);
        EXPECT_TRUE(store.addAnswer(r.id, {"犬", "dog", true, "2026-01-02T03:04:06", 1500}));
        EXPECT_TRUE(store.addAnswer(r.id, {"猫", "cat", false, "2026-01-02T03:04:09", 2500}));
        r.asked = 2;
        r.right = 1;
        r.wrong = 1;
        r.durationMs = 4000;
        EXPECT_TRUE(store.finishRun(r));
    }
    HistoryStore store;
    ASSERT_TRUE(store.open(path)) << store.error();
    EXPECT_EQ("", store.setAsideNote());
    const std::vector<RunRecord> runs = store.runs({"英単語"});
    ASSERT_EQ(1u, runs.size());
    const RunRecord& r = runs[0];
    EXPECT_EQ("/data/drill.txt", r.file);
    EXPECT_EQ("2026-01-02T03:04:05", r.started);
    EXPECT_TRUE(r.reverse && r.random && !r.wrongOnly);
    EXPECT_EQ(2, r.categoryA);
    EXPECT_EQ(3, r.categoryB);
    EXPECT_EQ(10, r.chunkSize);
    EXPECT_EQ(2, r.asked);
    EXPECT_EQ(1, r.right);
    EXPECT_EQ(1, r.wrong);
    EXPECT_EQ(4000, r.durationMs);
    const std::vector<AnswerRecord> answers = store.answers(r.id);
    ASSERT_EQ(2u, answers.size());
    EXPECT_EQ("犬", answers[0].question);
    EXPECT_EQ("dog", answers[0].answer);
    EXPECT_TRUE(answers[0].right);
    EXPECT_EQ(1500, answers[0].timeMs);
    EXPECT_EQ("猫", answers[1].question);
    EXPECT_FALSE(answers[1].right);
    EXPECT_EQ("2026-01-02T03:04:09", answers[1].answered);
    EXPECT_TRUE(store.runs({"other"}).empty());
    EXPECT_EQ("1", sql(path, "PRAGMA user_version"));
    EXPECT_EQ("wal", sql(path, "PRAGMA journal_mode"));
}

// Counts per day and the most-missed order: most wrong first, then the one answered last
// (by the order of answers, so a clock set back changes nothing).
TEST(HistoryStore, CountsDaysAndMostMissed) {
    TempFolder folder;
    HistoryStore store;
    ASSERT_TRUE(store.open(folder.file("h.sqlite")));
    const std::int64_t a = store.beginRun(run("T", "2026-03-01T10:00:00"));
    const std::int64_t b = store.beginRun(run("T", "2026-03-02T10:00:00"));
    const std::int64_t other = store.beginRun(run("U", "2026-03-02T10:00:00"));
    struct Row {
        std::int64_t run;
        const char* question;
        bool right;
        const char* at;
    };
    const Row rows[] = {
        {a, "Q1", false, "2026-03-01T10:00:01"},     {a, "Q2", false, "2026-03-01T10:00:02"},
        {a, "Q3", true, "2026-03-01T10:00:03"},      {b, "Q2", false, "2026-03-02T10:00:01"},
        {b, "Q3", false, "2026-03-01T09:00:00"}, // the clock went back
        {other, "Q9", false, "2026-03-02T10:00:01"},
    };
    for (const Row& row : rows)
        ASSERT_TRUE(store.addAnswer(row.run, {row.question, "A", row.right, row.at, 0}));
    const std::vector<DayCount> days = store.answersPerDay({"T"});
    ASSERT_EQ(2u, days.size());
    EXPECT_EQ("2026-03-01", days[0].day);
    EXPECT_EQ(4, days[0].answers);
    EXPECT_EQ("2026-03-02", days[1].day);
    EXPECT_EQ(1, days[1].answers);
    const std::vector<MissedQuestion> missed = store.mostMissed({"T"}, 10);
    ASSERT_EQ(3u, missed.size());
    EXPECT_EQ("Q2", missed[0].question);
    EXPECT_EQ(2, missed[0].wrong);
    EXPECT_EQ("2026-03-02T10:00:01", missed[0].lastAnswered);
    EXPECT_EQ("Q3", missed[1].question);
    EXPECT_EQ(1, missed[1].wrong);
    EXPECT_EQ(2, missed[1].asked);
    EXPECT_EQ("2026-03-01T09:00:00", missed[1].lastAnswered);
    EXPECT_EQ("Q1", missed[2].question);
    EXPECT_EQ(1u, store.mostMissed({"T"}, 1).size());
}

// A question is its own question and answer texts: editing one record starts a new history for
// it alone, and the old texts keep theirs.
TEST(HistoryStore, EditingOneQuestionLeavesTheOthers) {
    TempFolder folder;
    HistoryStore store;
    ASSERT_TRUE(store.open(folder.file("h.sqlite")));
    const std::int64_t before = store.beginRun(run("T", "2026-03-01T10:00:00"));
    store.addAnswer(before, {"Q1", "A1", false, "2026-03-01T10:00:01", 0});
    store.addAnswer(before, {"Q2", "A2", false, "2026-03-01T10:00:02", 0});
    const std::int64_t after = store.beginRun(run("T", "2026-03-02T10:00:00"));
    store.addAnswer(after, {"Q1", "A1", false, "2026-03-02T10:00:01", 0});
    store.addAnswer(after, {"Q2", "A2 edited", false, "2026-03-02T10:00:02", 0});
    const std::vector<MissedQuestion> missed = store.mostMissed({"T"}, 10);
    ASSERT_EQ(3u, missed.size());
    EXPECT_EQ("Q1", missed[0].question);
    EXPECT_EQ(2, missed[0].wrong);
    EXPECT_EQ("A2 edited", missed[1].answer);
    EXPECT_EQ(1, missed[1].wrong);
    EXPECT_EQ("A2", missed[2].answer);
    EXPECT_EQ(1, missed[2].wrong);
}

TEST(HistoryStore, UpgradesAVersionZeroFile) {
    TempFolder folder;
    const std::string path = folder.file("h.sqlite");
    sql(path, "PRAGMA user_version = 0; VACUUM"); // an SQLite file with nothing in it yet
    ASSERT_TRUE(std::filesystem::exists(path));
    HistoryStore store;
    ASSERT_TRUE(store.open(path)) << store.error();
    EXPECT_EQ("", store.setAsideNote());
    EXPECT_EQ("1", sql(path, "PRAGMA user_version"));
    EXPECT_NE(0, store.beginRun(run("T", "2026-03-01T10:00:00")));
}

TEST(HistoryStore, LeavesANewerVersionAlone) {
    TempFolder folder;
    const std::string path = folder.file("h.sqlite");
    sql(path, "CREATE TABLE runs(x); CREATE TABLE answers(y); PRAGMA user_version = 2");
    const std::string bytes = TempFolder::read(path);
    HistoryStore store;
    EXPECT_FALSE(store.open(path));
    EXPECT_EQ("the history was written by a newer Rovik (schema 2)", store.error());
    EXPECT_EQ(bytes, TempFolder::read(path));
    EXPECT_EQ("2", sql(path, "PRAGMA user_version"));
}

struct ForeignCase {
    const char* name;
    std::string setUp; // SQL run on the file first, or empty to write `bytes`
    std::string bytes;
};

class HistoryForeignFileTest : public ::testing::TestWithParam<ForeignCase> {};

// Renamed with the date, never deleted; a new history starts and says so once.
TEST_P(HistoryForeignFileTest, IsSetAsideAndANewOneStarted) {
    const ForeignCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.file("history.sqlite");
    if (c.setUp.empty())
        folder.write("history.sqlite", c.bytes);
    else
        sql(path, c.setUp);
    const std::string bytes = TempFolder::read(path);
    HistoryStore store;
    ASSERT_TRUE(store.open(path)) << store.error();
    const std::string aside = "history.sqlite." + today();
    EXPECT_EQ("履歴ファイルが読めないため " + aside + " として残し、新しい履歴を始めました",
              store.setAsideNote());
    EXPECT_EQ(bytes, TempFolder::read(folder.file(aside)));
    EXPECT_NE(0, store.beginRun(run("T", "2026-03-01T10:00:00")));
    HistoryStore again;
    ASSERT_TRUE(again.open(path));
    EXPECT_EQ("", again.setAsideNote());
    EXPECT_EQ(1u, again.runs({"T"}).size());
}

INSTANTIATE_TEST_SUITE_P(Files, HistoryForeignFileTest,
                         ::testing::Values(ForeignCase{"Garbage", "", std::string(4096, 'x')},
                                           ForeignCase{"TruncatedHeader", "",
                                                       std::string("SQLite format 3\0\x10\0", 19)},
                                           ForeignCase{"SomeoneElsesTables", "CREATE TABLE notes(text)", ""},
                                           ForeignCase{"OurVersionWithoutOurTables",
                                                       "CREATE TABLE runs(x); PRAGMA user_version = 1", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HistoryStore, SetAsideNamesNeverReplaceEachOther) {
    TempFolder folder;
    const std::string path = folder.write("history.sqlite", "first");
    const std::string aside = "history.sqlite." + today();
    folder.write(aside, "older");
    HistoryStore store;
    ASSERT_TRUE(store.open(path));
    EXPECT_EQ("older", TempFolder::read(folder.file(aside)));
    EXPECT_EQ("first", TempFolder::read(folder.file(aside + ".2")));
}

TEST(HistoryStore, SaysWhyItCannotOpen) {
    TempFolder folder;
    const std::string blocker = folder.write("file", "x"); // a file where the folder would be
    HistoryStore store;
    EXPECT_FALSE(store.open(blocker + "/rovik/history.sqlite"));
    EXPECT_NE("", store.error());
    EXPECT_EQ(0, store.beginRun(run("T", "2026-03-01T10:00:00")));
    EXPECT_EQ("x", TempFolder::read(blocker));
}

} // namespace
} // namespace rovik
