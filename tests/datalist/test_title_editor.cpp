#include "datalist/TitleEditor.h"

#include "datalist/EditorFixture.h"

namespace rovik {
namespace {

using test::joined;
using test::titleLines;
using Lines = std::vector<std::string>;

const std::string kUntitled = "\x96\xB3\x91\xE8"; // 無題

class TitleEditorTest : public test::EditorLogicTest {
protected:
    TitleFields open(Lines lines, int row = 0) {
        load(std::move(lines), row);
        return editor.FormCreate();
    }
    TitleEditor editor{logic, prompter};
};

TEST_F(TitleEditorTest, OpeningShowsNameLineCountsAndCategoryNames) {
    struct Case {
        std::string header;
        std::string title, questionLines, answerLines;
    };
    const Case cases[] = {
        {"tTitle\t" + kUntitled + "\t3\t3", "無題", "3", "3"},
        {"tTitle\tT", "T", "3", "3"},
        {"tTitle\tT\t5", "T", "5", "3"},
        {"tTitle\tT\tx\t", "T", "3", "3"},
        {"tTitle\tT\t8\t12", "T", "8", "12"},
    };
    for (const Case& c : cases) {
        TitleFields fields = open({c.header, "dBunrui\tA1", "dBunrui\tA2", "sBunrui\tB1", "11\tq\ta\tr\t0"});
        EXPECT_EQ(c.title, fields.title) << c.header;
        EXPECT_EQ(c.questionLines, fields.questionLines) << c.header;
        EXPECT_EQ(c.answerLines, fields.answerLines) << c.header;
        EXPECT_EQ("A1", fields.categoryA[0]);
        EXPECT_EQ("A2", fields.categoryA[1]);
        EXPECT_EQ("", fields.categoryA[2]);
        EXPECT_EQ("B1", fields.categoryB[0]);
        EXPECT_EQ("", fields.categoryB[1]);
    }
}

TEST(LineCounts, TheLargerGivesWaySoTheSumIsAtMostNine) {
    const struct {
        int q, a, storedQ, storedA;
    } cases[] = {{8, 8, 1, 8}, {5, 8, 5, 4}, {8, 5, 4, 5}, {2, 7, 2, 7},
                 {9, 0, 9, 0}, {3, 3, 3, 3}, {0, 12, 0, 9}};
    for (const auto& c : cases) {
        int q = c.q;
        int a = c.a;
        limitLineCounts(q, a);
        EXPECT_EQ(c.storedQ, q) << c.q << "/" << c.a;
        EXPECT_EQ(c.storedA, a) << c.q << "/" << c.a;
    }
}

TEST(LineCounts, OnlyDecimalIntegersAreCounts) {
    const std::pair<std::string, std::optional<int>> cases[] = {{"3", 3},
                                                                {" 8 ", 8},
                                                                {"+2", 2},
                                                                {"-1", -1},
                                                                {"03", 3},
                                                                {"", std::nullopt},
                                                                {" ", std::nullopt},
                                                                {"3a", std::nullopt},
                                                                {"x", std::nullopt},
                                                                {"99999999999", std::nullopt},
                                                                {"1.5", std::nullopt}};
    for (const auto& [text, count] : cases)
        EXPECT_EQ(count, lineCountOf(text)) << text;
}

TEST_F(TitleEditorTest, RegisterStoresTheReducedLineCounts) {
    const struct {
        const char *q, *a, *storedQ, *storedA;
    } cases[] = {{"8", "8", "1", "8"},
                 {"5", "8", "5", "4"},
                 {"2", "7", "2", "7"},
                 // Counts within the limit are stored as typed.
                 {"03", "+2", "03", "+2"},
                 {" 4", "5 ", "4", "5"}};
    for (const auto& c : cases) {
        TitleFields fields = open(titleLines("T", 1));
        fields.questionLines = c.q;
        fields.answerLines = c.a;
        EXPECT_TRUE(editor.RegisterTitleAndCategories(fields));
        EXPECT_EQ(std::string("tTitle\tT\t") + c.storedQ + "\t" + c.storedA, logic.set().lines[0]);
        EXPECT_EQ(c.storedQ, fields.questionLines);
        EXPECT_EQ(c.storedA, fields.answerLines);
    }
}

TEST_F(TitleEditorTest, EmptiedBoxClosesUpTheCodes) {
    TitleFields fields = open(
        {"tTitle\tT\t3\t3", "dBunrui\tA1", "dBunrui\tA2", "dBunrui\tA3", "sBunrui\tB1", "31\tq\ta\tr\t0"});
    fields.categoryA[1].clear();
    ASSERT_TRUE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ((Lines{"tTitle\tT\t3\t3", "dBunrui\tA1", "dBunrui\tA3", "sBunrui\tB1", "31\tq\ta\tr\t0"}),
              logic.set().lines);
    EXPECT_EQ((Lines{"A1", "A3"}), logic.set().shown.categoryA);
    EXPECT_FALSE(logic.set().saved);
}

// Records keep their codes while the later names close up: emptying a category records use asks.
TEST_F(TitleEditorTest, EmptyingACategoryRecordsUseAsksFirst) {
    const Lines lines{"tTitle\tT\t3\t3", "dBunrui\t" + kUntitled, "dBunrui\tA2",
                      "dBunrui\tA3",     "sBunrui\tB1",           "11\tq\ta\tr\t0",
                      "10\tq\ta\tr\t0",  "21\tq\ta\tr\t0",        "//10\tnot a record"};
    const std::string question = "分類A 1（無題）を使っているレコードが 2 "
                                 "件あります。これらのレコードは別の分類になります。登録しますか？";
    TitleFields fields = open(lines);
    fields.categoryA[0].clear();
    prompter.expectMessage(question, "確認", Buttons::YesNo, Icon::Question, Answer::No);
    EXPECT_FALSE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ(lines, logic.set().lines);
    EXPECT_TRUE(logic.set().saved);

    fields.categoryA[2].clear(); // unused: no question
    fields.categoryA[0] = "A1";
    EXPECT_TRUE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ("dBunrui\tA1", logic.set().lines[1]);

    fields = open(lines);
    fields.categoryA[0].clear();
    prompter.expectMessage(question, "確認", Buttons::YesNo, Icon::Question, Answer::Yes);
    EXPECT_TRUE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ((Lines{"tTitle\tT\t3\t3", "dBunrui\tA2", "dBunrui\tA3", "sBunrui\tB1", "11\tq\ta\tr\t0",
                     "10\tq\ta\tr\t0", "21\tq\ta\tr\t0", "//10\tnot a record"}),
              logic.set().lines);
}

TEST_F(TitleEditorTest, ANameOfOnlyATabIsRefusedAsLoadingWould) {
    TitleFields fields = open(titleLines("T", 1));
    fields.categoryB[1] = "\t";
    prompter.expectMessage(
        "この変更はできません。4行目が読み込めない行になります。\nsBunrui\t\n第２項目がありません。", "確認",
        Buttons::Ok, Icon::Warning);
    EXPECT_FALSE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ(titleLines("T", 1), logic.set().lines);
}

TEST_F(TitleEditorTest, Box15AloneBecomesCode1) {
    TitleFields fields = open(titleLines("T", 1));
    fields.categoryA = {};
    fields.categoryB = {};
    fields.categoryA[14] = "last";
    prompter
        .expectMessage("分類A 1（A）を使っているレコードが 1 "
                       "件あります。これらのレコードは別の分類になります。登録しますか？",
                       "確認", Buttons::YesNo, Icon::Question, Answer::Yes)
        .expectMessage("分類B 1（B）を使っているレコードが 1 "
                       "件あります。これらのレコードは別の分類になります。登録しますか？",
                       "確認", Buttons::YesNo, Icon::Question, Answer::Yes);
    ASSERT_TRUE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ((Lines{"tTitle\tT\t3\t3", "dBunrui\tlast", "11\tTq1\ta\tr\t0"}), logic.set().lines);
}

TEST_F(TitleEditorTest, SeventeenCategoryLinesKeepTheFirstFifteen) {
    Lines lines{"tTitle\tT\t3\t3"};
    for (int k = 1; k <= 17; ++k)
        lines.push_back("dBunrui\tN" + std::to_string(k));
    lines.push_back("11\tq\ta\tr\t0");
    TitleFields fields = open(lines);
    EXPECT_EQ("N15", fields.categoryA[14]);
    ASSERT_TRUE(editor.RegisterTitleAndCategories(fields));
    Lines expected(lines.begin(), lines.begin() + 16);
    expected.push_back("11\tq\ta\tr\t0");
    EXPECT_EQ(expected, logic.set().lines);
}

TEST_F(TitleEditorTest, OnlyCategoryLinesAreReplacedAndCommentsStay) {
    TitleFields fields =
        open(joined({titleLines("X", 1),
                     {"tTitle\tT\t3\t3", "//c1", "dBunrui\tA", "11\tq\ta\tr\t0", "sBunrui\tB", "//c2"},
                     titleLines("Y", 1)}),
             1);
    fields.title = "T2";
    fields.categoryB[1] = "B2";
    ASSERT_TRUE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ(joined({titleLines("X", 1),
                      {"tTitle\tT2\t3\t3", "dBunrui\tA", "sBunrui\tB", "sBunrui\tB2", "//c1",
                       "11\tq\ta\tr\t0", "//c2"},
                      titleLines("Y", 1)}),
              logic.set().lines);
    EXPECT_EQ((Lines{"X", "T2", "Y"}), logic.titleNames());
    EXPECT_EQ(1, window.titleRow);
    EXPECT_EQ(2, logic.set().selectedTitle);
    EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧) - T2", window.caption);
    EXPECT_EQ("T2", logic.set().shown.name);
    EXPECT_EQ((Lines{"", "q", ""}), questions());
}

TEST_F(TitleEditorTest, ALineCountThatIsNoNumberChangesNothing) {
    for (const char* typed : {"", "x", "3.0"}) {
        TitleFields fields = open(titleLines("T", 1));
        fields.title = "renamed";
        fields.categoryA[0].clear();
        fields.answerLines = typed;
        prompter.expectMessage("質問行数と解答行数は数字で入力してください。", "確認", Buttons::Ok,
                               Icon::Error);
        EXPECT_FALSE(editor.RegisterTitleAndCategories(fields));
        EXPECT_EQ(titleLines("T", 1), logic.set().lines);
        EXPECT_EQ(Lines{"A"}, logic.set().shown.categoryA);
        EXPECT_EQ(Lines{"T"}, logic.titleNames());
        EXPECT_TRUE(logic.set().saved);
        EXPECT_EQ(typed, fields.answerLines);
    }
}

TEST_F(TitleEditorTest, CharactersShiftJisCannotHoldChangeNothing) {
    TitleFields fields = open(titleLines("T", 1));
    fields.questionLines = "8";
    fields.answerLines = "8";
    fields.categoryB[0] = "한";
    prompter.expectMessage("「한」はShift-JISにない文字のため、登録できません。", "確認", Buttons::Ok,
                           Icon::Warning);
    EXPECT_FALSE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ(titleLines("T", 1), logic.set().lines);
    EXPECT_EQ("8", fields.questionLines);
    EXPECT_TRUE(logic.set().saved);
}

TEST_F(TitleEditorTest, TabsInNamesNeverSplitALine) {
    TitleFields fields = open(titleLines("T", 1));
    fields.title = "a\tb";
    fields.categoryA[0] = "c\r\nd";
    ASSERT_TRUE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ((Lines{"tTitle\tab\t3\t3", "dBunrui\tcd", "sBunrui\tB", "11\tTq1\ta\tr\t0"}),
              logic.set().lines);
}

TEST_F(TitleEditorTest, AnEmptyTitleNameIsRefused) {
    for (const char* title : {"", "\t", "\r\n"}) {
        TitleFields fields = open(titleLines("T", 1));
        fields.title = title;
        prompter.expectMessage("タイトルを入力してください。", "確認", Buttons::Ok, Icon::Warning);
        EXPECT_FALSE(editor.RegisterTitleAndCategories(fields));
        EXPECT_EQ(titleLines("T", 1), logic.set().lines);
        EXPECT_TRUE(logic.set().saved);
    }
}

// The boxes come from the title's own lines, whatever the shown copy holds: 登録 of an unchanged
// editor never drops a category.
TEST_F(TitleEditorTest, CategoryNamesComeFromTheTitlesLines) {
    load(joined({titleLines("T", 1), titleLines("U", 1)}));
    logic.set().shown.categoryA.clear();
    logic.set().shown.categoryB.clear();
    TitleFields fields = editor.FormCreate();
    EXPECT_EQ("A", fields.categoryA[0]);
    EXPECT_EQ("B", fields.categoryB[0]);
    ASSERT_TRUE(editor.RegisterTitleAndCategories(fields));
    EXPECT_EQ(joined({titleLines("T", 1), titleLines("U", 1)}), logic.set().lines);
}

TEST_F(TitleEditorTest, OpensOnlyOnASelectedTitle) {
    EXPECT_FALSE(editor.canOpen());
    EXPECT_EQ("", editor.FormCreate().title);
    open(titleLines("T", 1));
    EXPECT_TRUE(editor.canOpen());
}

} // namespace
} // namespace rovik
