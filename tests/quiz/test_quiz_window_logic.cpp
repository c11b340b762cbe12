#include "quiz/QuizWindowLogic.h"

#include "platform/Cp932.h"
#include "quiz/RecordingQuizView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <deque>

namespace rovik {
namespace {
using test::ScriptedPrompter;
using test::TempFolder;

// The quiz view plus the window's own needs: the title dialog answers from a script.
class RecordingWindowView : public test::RecordingQuizView, public QuizWindowView {
public:
    void setAreaText(QuizArea area, const std::string& text) override {
        RecordingQuizView::setAreaText(area, text);
    }
    void setAnswerButtons(bool a, bool c, bool i) override { RecordingQuizView::setAnswerButtons(a, c, i); }
    void setRunControlsUsable(bool usable) override { RecordingQuizView::setRunControlsUsable(usable); }
    void setCategoryEntries(const std::vector<std::string>& a, const std::vector<std::string>& b) override {
        RecordingQuizView::setCategoryEntries(a, b);
    }
    void resetOptions() override { RecordingQuizView::resetOptions(); }
    void setCaption(const std::string& text) override { RecordingQuizView::setCaption(text); }
    void setBusy(bool b) override { RecordingQuizView::setBusy(b); }

    std::optional<int> chooseTitle(const std::vector<std::string>& names) override {
        offered.push_back(names);
        EXPECT_FALSE(choices.empty()) << "unexpected title selection";
        if (choices.empty()) return std::nullopt;
        std::optional<int> choice = choices.front();
        choices.pop_front();
        return choice;
    }
    void setTitleMenuUsable(bool usable) override { titleMenu = usable; }
    void setStatusText(const std::string& text) override { statusTexts.push_back(text); }

    std::deque<std::optional<int>> choices;
    std::vector<std::vector<std::string>> offered;
    bool titleMenu = false;
    std::vector<std::string> statusTexts;
};

std::string title(const std::string& name, int questions, const std::string& code = "11") {
    std::string text = "tTitle\t" + name + "\t3\t3\r\ndBunrui\tA1\r\nsBunrui\tB1\r\n";
    for (int n = 1; n <= questions; ++n)
        text += code + "\t" + name + "Q" + std::to_string(n) + "\t" + name + "A" + std::to_string(n) +
                "\tR\t0\r\n";
    return text;
}

const std::string kTwoTitles = title("T1", 3) + title("T2", 4);

// A database of the given records: our type and creator, the record count at 76, the record
// list from 78.
std::string pdbOf(const std::vector<std::string>& records) {
    std::string bytes(76, '\0');
    bytes.replace(60, 8, "DataRvk2");
    bytes += char(records.size() >> 8);
    bytes += char(records.size() & 0xFF);
    std::uint32_t offset = static_cast<std::uint32_t>(78 + 8 * records.size());
    for (const std::string& record : records) {
        for (int shift : {24, 16, 8, 0})
            bytes += char((offset >> shift) & 0xFF);
        bytes += std::string(4, '\0');
        offset += static_cast<std::uint32_t>(record.size());
    }
    for (const std::string& record : records)
        bytes += record;
    return bytes;
}

struct WindowLogicTest : ::testing::Test {
    TempFolder folder;
    RecordingWindowView view;
    ScriptedPrompter prompter;
    QuizWindowLogic logic{view, prompter, folder.path()};
};

TEST(LayoutAreas, DividesTheNineLines) {
    const struct {
        int q, a;
        int wantQ, wantA, wantR;
        AreaPlace question, answer, reference;
    } cases[] = {
        {3, 3, 3, 3, 3, {128, 57}, {192, 57}, {256, 57}}, // the window's first layout
        {6, 5, 4, 5, 0, {128, 76}, {211, 95}, {313, 0}},  // the larger count gives way
        {5, 5, 4, 5, 0, {128, 76}, {211, 95}, {313, 0}},  // on a tie the question lines give way
        {5, 6, 5, 4, 0, {128, 95}, {230, 76}, {313, 0}},
        {2, 2, 2, 2, 5, {128, 38}, {173, 38}, {218, 95}},
        {8, 8, 1, 8, 0, {128, 19}, {154, 152}, {313, 0}},
        {8, 1, 8, 1, 0, {128, 152}, {287, 19}, {313, 0}},
        {1, 1, 1, 1, 7, {128, 19}, {154, 19}, {180, 133}},
        {0, 12, 1, 8, 0, {128, 19}, {154, 152}, {313, 0}}, // outside 1 to 8: the nearest end
    };
    for (const auto& c : cases) {
        LineLayout layout = layoutAreas(c.q, c.a);
        SCOPED_TRACE(std::to_string(c.q) + "/" + std::to_string(c.a));
        EXPECT_EQ(c.wantQ, layout.questionLines);
        EXPECT_EQ(c.wantA, layout.answerLines);
        EXPECT_EQ(c.wantR, layout.referenceLines);
        EXPECT_EQ(c.question.top, layout.question.top);
        EXPECT_EQ(c.question.height, layout.question.height);
        EXPECT_EQ(c.answer.top, layout.answer.top);
        EXPECT_EQ(c.answer.height, layout.answer.height);
        EXPECT_EQ(c.reference.top, layout.reference.top);
        EXPECT_EQ(c.reference.height, layout.reference.height);
    }
}

TEST(QuizOptionsOfEntries, ReadsTheSixBoxes) {
    const struct {
        OptionEntries entries;
        int a, b;
        bool reverse, random, wrongOnly;
        int chunk;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0}, 0, 0, false, false, false, 0},
        {{2, 3, 1, 1, 1, 1}, 2, 3, true, true, true, 5},
        {{0, 0, 0, 0, 0, 2}, 0, 0, false, false, false, 10},
        {{0, 0, 0, 0, 0, 3}, 0, 0, false, false, false, 15},
        {{0, 0, 0, 0, 0, 4}, 0, 0, false, false, false, 20},
        {{-1, -1, -1, -1, -1, -1}, -1, -1, false, false, false, 0}, // no file: nothing selected
    };
    for (const auto& c : cases) {
        QuizOptions options = toQuizOptions(c.entries);
        EXPECT_EQ(c.a, options.categoryA);
        EXPECT_EQ(c.b, options.categoryB);
        EXPECT_EQ(c.reverse, options.reverse);
        EXPECT_EQ(c.random, options.random);
        EXPECT_EQ(c.wrongOnly, options.wrongOnly);
        EXPECT_EQ(c.chunk, options.chunkSize);
    }
}

TEST(QuizSelectionLine, JoinsTitleAndEntriesByTabs) {
    EXPECT_EQ("3\t0\t0\t0\t1\t0\t2", quizSelectionLine(3, {0, 0, 0, 1, 0, 2}));
    EXPECT_EQ("0\t-1\t-1\t-1\t-1\t-1\t-1", quizSelectionLine(0, {-1, -1, -1, -1, -1, -1}));
}

TEST(QuizSelectionLine, ReplacesLineOneOrIsTheOnlyLine) {
    std::vector<std::string> settings{"old", "/data/a.txt"};
    storeQuizSelectionLine(settings, "1\t0\t0\t0\t0\t0\t0");
    EXPECT_EQ((std::vector<std::string>{"1\t0\t0\t0\t0\t0\t0", "/data/a.txt"}), settings);
    std::vector<std::string> empty;
    storeQuizSelectionLine(empty, "0\t0\t0\t0\t0\t0\t0");
    EXPECT_EQ(std::vector<std::string>{"0\t0\t0\t0\t0\t0\t0"}, empty);
}

TEST_F(WindowLogicTest, Opening_LoadsRovikQaAndOffersItsTitles) {
    folder.write("RovikQA.TXT", kTwoTitles);
    view.choices = {1};
    logic.Opening();
    ASSERT_EQ(1u, view.offered.size());
    EXPECT_EQ((std::vector<std::string>{"T1", "T2"}), view.offered[0]);
    EXPECT_EQ(2, logic.chosenTitle());
    EXPECT_EQ(4, logic.engine().questionCount());
    EXPECT_EQ("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - T2", view.caption);
    EXPECT_TRUE(view.titleMenu);
}

TEST_F(WindowLogicTest, Opening_OffersTheSampleWhenRovikQaIsMissing) {
    folder.write("SampleQA.TXT", kTwoTitles);
    prompter.expectMessage(folder.file("RovikQA.TXT"), "ファイルが開けません", Buttons::Ok, Icon::None)
        .expectMessage("サンプルデータを読みます", "", Buttons::YesNo, Icon::None, Answer::Yes);
    view.choices = {0};
    logic.Opening();
    EXPECT_EQ(1, logic.chosenTitle());
    EXPECT_EQ(3, logic.engine().questionCount());
    EXPECT_EQ("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - T1", view.caption);
    EXPECT_TRUE(view.titleMenu);
}

TEST_F(WindowLogicTest, Opening_DecliningTheSampleLeavesAnEmptyWindow) {
    folder.write("SampleQA.TXT", kTwoTitles);
    prompter.expectMessage(folder.file("RovikQA.TXT"), "ファイルが開けません", Buttons::Ok, Icon::None)
        .expectMessage("サンプルデータを読みます", "", Buttons::YesNo, Icon::None, Answer::No);
    logic.Opening();
    EXPECT_TRUE(view.offered.empty());
    EXPECT_FALSE(view.titleMenu);
    EXPECT_EQ(0, logic.engine().titleCount());
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    logic.Start({-1, -1, -1, -1, -1, -1});
    EXPECT_TRUE(view.runControls);
}

TEST_F(WindowLogicTest, Opening_StopsWhenTheSampleIsMissingToo) {
    prompter.expectMessage(folder.file("RovikQA.TXT"), "ファイルが開けません", Buttons::Ok, Icon::None)
        .expectMessage("サンプルデータを読みます", "", Buttons::YesNo, Icon::None, Answer::Yes)
        .expectMessage(folder.file("SampleQA.TXT"), "ファイルが開けません", Buttons::Ok, Icon::None);
    logic.Opening();
    EXPECT_TRUE(view.offered.empty());
    EXPECT_FALSE(view.titleMenu);
}

TEST_F(WindowLogicTest, SelectTitle_ClosedWithoutChoiceKeepsTheTitle) {
    folder.write("RovikQA.TXT", kTwoTitles);
    view.choices = {std::nullopt};
    logic.Opening();
    EXPECT_EQ(0, logic.chosenTitle()) << "title 0: the lines before the first title";
    EXPECT_EQ(0, logic.engine().questionCount());
    EXPECT_EQ("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - RovikQA.TXT", view.caption);
    view.choices = {1, std::nullopt};
    logic.SelectTitle();
    logic.SelectTitle();
    EXPECT_EQ(2, logic.chosenTitle());
    EXPECT_EQ(4, logic.engine().questionCount());
    EXPECT_EQ(3, view.resets) << "every selection puts the six boxes back";
}

TEST_F(WindowLogicTest, SelectTitle_KeptNumberBeyondANewFileLoadsNothing) {
    folder.write("RovikQA.TXT", kTwoTitles);
    view.choices = {1};
    logic.Opening();
    const std::string small = folder.write("small.txt", title("S1", 2));
    prompter.expectOpen(small, "TXT file (*.txt)|*.TXT");
    view.choices = {std::nullopt};
    logic.OpenText();
    EXPECT_EQ(2, logic.chosenTitle());
    EXPECT_EQ(0, logic.engine().questionCount());
    EXPECT_EQ("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - small.txt", view.caption);
}

TEST_F(WindowLogicTest, OpenText_TakesOnlyTheTwoSpellingsOfTxt) {
    const struct {
        const char* name;
        bool loads;
    } cases[] = {{"a.txt", true}, {"b.TXT", true}, {"Q.Txt", false}, {"c.tXT", false}, {"d.pdb", false}};
    for (const auto& c : cases) {
        const std::string path = folder.write(c.name, title(c.name, 1));
        prompter.expectOpen(path, "TXT file (*.txt)|*.TXT");
        if (c.loads) view.choices = {0};
        view.offered.clear();
        logic.OpenText();
        EXPECT_EQ(c.loads ? 1u : 0u, view.offered.size()) << c.name;
    }
    EXPECT_EQ("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - b.TXT", view.caption);
}

TEST_F(WindowLogicTest, OpenText_CancelDoesNothing) {
    prompter.expectOpen(std::nullopt);
    logic.OpenText();
    EXPECT_TRUE(view.offered.empty());
    EXPECT_FALSE(view.titleMenu);
}

TEST_F(WindowLogicTest, OpenPdb_LoadsThroughTheTemporaryText) {
    const std::string pdb = folder.write("drill.PDB", pdbOf({"tTitle\tP1\t3\t3\n", "11\tQ\tA\tR\t0\n"}));
    prompter.expectOpen(pdb, "PDB file (*.pdb)|*.PDB");
    view.choices = {0};
    logic.OpenPdb();
    EXPECT_EQ("tTitle\tP1\t3\t3\r\n11\tQ\tA\tR\t0\r\n", TempFolder::read(folder.file("$temp.txt")));
    EXPECT_EQ((std::vector<std::string>{"PDBｺﾝﾊﾞｰﾄ中...", "ﾌｧｲﾙ読み込み中...", ""}), view.statusTexts);
    EXPECT_FALSE(view.busy);
    EXPECT_EQ(1, logic.engine().questionCount());
    EXPECT_EQ("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - P1", view.caption);
    EXPECT_TRUE(view.titleMenu);
}

TEST_F(WindowLogicTest, OpenPdb_BrokenDatabaseNeverLoadsAnOlderTemporaryText) {
    folder.write("$temp.txt", kTwoTitles);
    const std::string pdb = folder.write("broken.pdb", std::string(40, '\0'));
    prompter.expectOpen(pdb, "PDB file (*.pdb)|*.PDB")
        .expectMessage("PDBﾌｧｲﾙが壊れているため読み込めませんでした。", "エラー", Buttons::Ok, Icon::Error);
    logic.OpenPdb();
    EXPECT_TRUE(view.offered.empty());
    EXPECT_EQ(0, logic.engine().titleCount());
    EXPECT_EQ((std::vector<std::string>{"PDBｺﾝﾊﾞｰﾄ中...", ""}), view.statusTexts);
    EXPECT_FALSE(view.busy);
}

TEST_F(WindowLogicTest, OpenPdb_OtherExtensionsDoNothing) {
    const std::string path = folder.write("x.Pdb", pdbOf({}));
    prompter.expectOpen(path);
    logic.OpenPdb();
    EXPECT_TRUE(view.statusTexts.empty());
    EXPECT_EQ(std::string(), TempFolder::read(folder.file("$temp.txt")));
}

TEST_F(WindowLogicTest, Start_PassesTheBoxesToTheEngine) {
    folder.write("RovikQA.TXT", title("T1", 2, "11") + "12\tB2Q\tB2A\tR\t0\r\n");
    view.choices = {0};
    logic.Opening();
    logic.Start({0, 2, 1, 0, 0, 0}); // 分類B entry 2, 逆質問
    EXPECT_EQ("B2A", view.text(QuizArea::Question));
    EXPECT_EQ("(1/1)", view.text(QuizArea::Progress));
    EXPECT_FALSE(view.runControls);
}

} // namespace
} // namespace rovik
