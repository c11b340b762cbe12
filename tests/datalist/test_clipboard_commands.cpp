#include "datalist/ClipboardCommands.h"

#include "datalist/EditorFixture.h"
#include "support/TempFolder.h"

#include <functional>

namespace rovik {
namespace {

using test::joined;
using test::titleLines;
using Lines = std::vector<std::string>;

class ClipboardCommandsTest : public test::EditorLogicTest {
protected:
    ClipboardCommands commands{logic, window, prompter};
};

TEST_F(ClipboardCommandsTest, CutRow3OfFiveKeepsRow3CurrentAndTheTopRow) {
    load(titleLines("T", 5));
    window.recordRow = 3;
    window.recordTop = 2;
    commands.CutRecord();
    EXPECT_EQ("11\tTq3\ta\tr\t0", logic.set().recordClipboard);
    EXPECT_EQ((Lines{"Tq1", "Tq2", "Tq4", "Tq5"}), questions());
    EXPECT_EQ(joined({{"tTitle\tT\t3\t3", "dBunrui\tA", "sBunrui\tB"},
                      {"11\tTq1\ta\tr\t0", "11\tTq2\ta\tr\t0", "11\tTq4\ta\tr\t0", "11\tTq5\ta\tr\t0"}}),
              logic.set().lines);
    EXPECT_EQ(3, window.recordRow);
    EXPECT_EQ(3, logic.currentRecordRow());
    EXPECT_EQ(2, window.recordTop);
    EXPECT_FALSE(logic.set().saved);
    EXPECT_TRUE(window.isEnabled(EditorCommand::RecordPaste));
}

TEST_F(ClipboardCommandsTest, CutOfTheLastRowMakesTheNewLastRowCurrent) {
    load(titleLines("T", 5));
    window.recordRow = 5;
    commands.CutRecord();
    EXPECT_EQ((Lines{"Tq1", "Tq2", "Tq3", "Tq4"}), questions());
    EXPECT_EQ(4, window.recordRow);
}

TEST_F(ClipboardCommandsTest, AGridWithoutCurrentRowStandsOnRow1) {
    load(titleLines("T", 2));
    window.recordRow = 0;
    commands.CopyRecord();
    EXPECT_EQ("11\tTq1\ta\tr\t0", logic.set().recordClipboard);
}

TEST_F(ClipboardCommandsTest, CutOfTheOnlyRecordThenPasteLandsAfterTheHeaderLines) {
    load(joined({titleLines("T", 1), titleLines("U", 1)}));
    prompter.expectMessage("ﾃﾞｰﾀがありません。", "確認", Buttons::Ok, Icon::Error);
    commands.CutRecord();
    EXPECT_EQ(0, logic.recordRows().count());
    EXPECT_TRUE(window.isEnabled(EditorCommand::RecordPaste));
    EXPECT_EQ(0, logic.currentRecordRow());
    // The grid has no record row: its current row is the header row, and the commands say so.
    window.recordRow = 0;
    prompter.expectMessage("レコードが選択されていません。", "確認", Buttons::Ok, Icon::None)
        .expectMessage("レコードが選択されていません。", "確認", Buttons::Ok, Icon::None);
    commands.CopyRecord();
    commands.DeleteRecord();
    EXPECT_EQ("11\tTq1\ta\tr\t0", logic.set().recordClipboard);
    commands.PasteRecord();
    EXPECT_EQ(joined({titleLines("T", 1), titleLines("U", 1)}), logic.set().lines);
    EXPECT_EQ(1, window.recordRow);
}

TEST_F(ClipboardCommandsTest, PasteOnRow1TwiceInsertsTwoCopiesBeforeIt) {
    load(titleLines("T", 3));
    window.recordRow = 3;
    commands.CopyRecord();
    EXPECT_TRUE(logic.set().saved);
    window.recordRow = 1;
    commands.PasteRecord();
    commands.PasteRecord();
    EXPECT_EQ((Lines{"Tq3", "Tq3", "Tq1", "Tq2", "Tq3"}), questions());
    EXPECT_EQ(1, window.recordRow);
    EXPECT_FALSE(logic.set().saved);
    EXPECT_EQ("11\tTq3\ta\tr\t0", logic.set().recordClipboard);
}

TEST_F(ClipboardCommandsTest, PasteWithAnEmptyClipboardDoesNothing) {
    load(titleLines("T", 2));
    commands.PasteRecord();
    EXPECT_EQ(titleLines("T", 2), logic.set().lines);
    EXPECT_TRUE(logic.set().saved);
}

TEST_F(ClipboardCommandsTest, DeleteAsksAndOnlyYesRemoves) {
    for (Answer answer : {Answer::No, Answer::Yes}) {
        load(titleLines("T", 3));
        logic.set().saved = true;
        window.recordRow = 2;
        prompter.expectMessage("指定されたﾚｺｰﾄﾞを削除します。", "削除確認", Buttons::YesNo, Icon::None,
                               answer);
        commands.DeleteRecord();
        const bool removed = answer == Answer::Yes;
        EXPECT_EQ((removed ? Lines{"Tq1", "Tq3"} : Lines{"Tq1", "Tq2", "Tq3"}), questions());
        EXPECT_EQ(!removed, logic.set().saved);
        EXPECT_EQ("", logic.set().recordClipboard);
    }
}

TEST_F(ClipboardCommandsTest, RowsStandForTheRightLinesWhereverHeaderLinesStand) {
    load({"tTitle\tT\t3\t3", "//note", "dBunrui\tA", "sBunrui\tB", "11\tq1\ta\tr\t0", "11\tq2\ta\tr\t0"});
    window.recordRow = 2;
    commands.CutRecord();
    EXPECT_EQ((Lines{"tTitle\tT\t3\t3", "//note", "dBunrui\tA", "sBunrui\tB", "11\tq2\ta\tr\t0"}),
              logic.set().lines);
    window.recordRow = 1;
    commands.PasteRecord();
    EXPECT_EQ((Lines{"tTitle\tT\t3\t3", "11\tq1\ta\tr\t0", "//note", "dBunrui\tA", "sBunrui\tB",
                     "11\tq2\ta\tr\t0"}),
              logic.set().lines);
}

// The only title cut or deleted: the grid empties without a message (the user asked for it).
TEST_F(ClipboardCommandsTest, CuttingOrDeletingTheOnlyTitleEmptiesTheGridSilently) {
    const std::function<void(ClipboardCommands&)> removals[] = {
        [](ClipboardCommands& c) { c.CutTitle(); },
        [](ClipboardCommands& c) { c.DeleteTitle(); },
    };
    for (const auto& remove : removals) {
        load(titleLines("T", 2));
        const int refills = window.recordGridRefills;
        remove(commands);
        EXPECT_TRUE(prompter.done());
        EXPECT_EQ(Lines{}, logic.set().lines);
        EXPECT_EQ(0, logic.recordRows().count());
        EXPECT_LT(refills, window.recordGridRefills);
        EXPECT_EQ(-1, logic.set().selectedTitle);
        EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧)", window.caption);
        EXPECT_FALSE(window.isEnabled(EditorCommand::RecordCut));
    }
}

// Paste follows the record clipboard: the only title going and coming back does not lock a cut
// record out.
TEST_F(ClipboardCommandsTest, ACutRecordStaysPastableWhileTheOnlyTitleIsGoneAndBack) {
    struct Case {
        const char* what;
        std::function<void(ClipboardCommands&)> remove;
        std::function<void(ClipboardCommands&, DataListLogic&)> bringBack;
    };
    const Case cases[] = {
        {"title cut, title paste", [](ClipboardCommands& c) { c.CutTitle(); },
         [](ClipboardCommands& c, DataListLogic&) { c.PasteTitle(); }},
        {"title delete, undo", [](ClipboardCommands& c) { c.DeleteTitle(); },
         [](ClipboardCommands&, DataListLogic& l) { l.Undo(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        load(titleLines("T", 2));
        window.recordRow = 1;
        commands.CutRecord();
        c.remove(commands);
        EXPECT_TRUE(window.isEnabled(EditorCommand::RecordPaste));
        c.bringBack(commands, logic);
        EXPECT_TRUE(window.isEnabled(EditorCommand::RecordPaste));
        window.recordRow = 1;
        commands.PasteRecord();
        EXPECT_EQ(titleLines("T", 2), logic.set().lines);
    }
}

TEST_F(ClipboardCommandsTest, RecordCommandsDoNothingOnTheRowsOfARemovedTitle) {
    load(titleLines("T", 2));
    commands.CutTitle();
    window.recordRow = 1;
    logic.set().recordClipboard = "11\tx\ta\tr\t0";
    for (int i = 0; i < 3; ++i)
        prompter.expectMessage("レコードが選択されていません。", "確認", Buttons::Ok, Icon::None);
    commands.CutRecord();
    commands.CopyRecord();
    commands.PasteRecord();
    commands.DeleteRecord();
    EXPECT_TRUE(logic.set().lines.empty());
    EXPECT_TRUE(prompter.done());
}

// A cut record survives viewing another title; it goes into any title whose categories its codes
// name, and always back into the title it came from.
TEST_F(ClipboardCommandsTest, ACutRecordPastesWhereItsCodesFit) {
    const Lines twoA = {"tTitle\tW\t3\t3", "dBunrui\tA1",    "dBunrui\tA2",
                        "sBunrui\tB1",     "21\tw\ta\tr\t0", "11\tv\ta\tr\t0"};
    load(joined({twoA, titleLines("T", 1)}));
    window.recordRow = 1;
    commands.CutRecord(); // "21": category A 2, which title T has not
    logic.showTitleRow(1);
    EXPECT_TRUE(window.isEnabled(EditorCommand::RecordPaste));
    window.recordRow = 1;
    prompter.expectMessage("貼り付けるレコードの分類コード「21」は、このタイトルの分類にありません。\n"
                           "切り取ったタイトルに戻って貼り付けるか、分類を追加してください。",
                           "確認", Buttons::Ok, Icon::Warning);
    commands.PasteRecord();
    EXPECT_EQ((Lines{"Tq1"}), questions());
    logic.showTitleRow(0);
    commands.PasteRecord();
    EXPECT_EQ(joined({twoA, titleLines("T", 1)}), logic.set().lines);
    // A record of category A 1 fits title T too.
    logic.set().recordClipboard = "11\tw\ta\tr\t0";
    logic.showTitleRow(1);
    commands.PasteRecord();
    EXPECT_EQ((Lines{"w", "Tq1"}), questions());
    EXPECT_TRUE(prompter.done());
}

TEST_F(ClipboardCommandsTest, ACopiedRecordThatDoesNotFitSaysCopied) {
    load(joined({{"tTitle\tW\t3\t3", "dBunrui\tA1", "dBunrui\tA2", "sBunrui\tB1", "21\tw\ta\tr\t0"},
                 titleLines("T", 1)}));
    window.recordRow = 1;
    commands.CopyRecord();
    logic.showTitleRow(1);
    window.recordRow = 1;
    prompter.expectMessage("貼り付けるレコードの分類コード「21」は、このタイトルの分類にありません。\n"
                           "コピーしたタイトルに戻って貼り付けるか、分類を追加してください。",
                           "確認", Buttons::Ok, Icon::Warning);
    commands.PasteRecord();
    EXPECT_EQ((Lines{"Tq1"}), questions());
    EXPECT_TRUE(prompter.done());
}

TEST(ClipboardCommands_RecordFitsTitle, CodesMustNameTheTitlesCategories) {
    ShownTitle title;
    title.categoryA = {"a1", "a2"};
    title.categoryB = {"b1"};
    const struct {
        std::string record;
        bool fits;
    } cases[] = {{"11\tq", true},  {"21\tq", true}, {"20\tq", true},  {"31\tq", false}, {"12\tq", false},
                 {"01\tq", false}, {"1\tq", false}, {"1G\tq", false}, {"//c", true},    {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.fits, recordFitsTitle(c.record, title)) << c.record;
}

TEST_F(ClipboardCommandsTest, TitleCutOfRow2OfFourShowsTheNextTitle) {
    load(joined({titleLines("T1", 1), titleLines("T2", 2), titleLines("T3", 3), titleLines("T4", 1)}), 1);
    window.titleTop = 1;
    logic.set().recordClipboard = "11\tx\ta\tr\t0";
    commands.CutTitle();
    EXPECT_EQ(titleLines("T2", 2), logic.set().titleClipboard);
    EXPECT_EQ((Lines{"T1", "T3", "T4"}), logic.titleNames());
    EXPECT_EQ(1, window.titleRow);
    EXPECT_EQ(1, window.titleTop);
    EXPECT_EQ(2, logic.set().selectedTitle);
    EXPECT_EQ((Lines{"T3q1", "T3q2", "T3q3"}), questions());
    EXPECT_EQ("11\tx\ta\tr\t0", logic.set().recordClipboard); // nothing cut is dropped
    EXPECT_TRUE(window.isEnabled(EditorCommand::TitlePaste));
    EXPECT_FALSE(logic.set().saved);
}

TEST_F(ClipboardCommandsTest, TitlePasteOnRow0MakesThePastedTitleFirstAndShowsIt) {
    load(joined({titleLines("T1", 1), titleLines("T2", 2)}), 1);
    commands.CopyTitle();
    EXPECT_TRUE(logic.set().saved);
    EXPECT_EQ(2, logic.set().selectedTitle);
    logic.showTitleRow(0);
    commands.PasteTitle();
    EXPECT_EQ(joined({titleLines("T2", 2), titleLines("T1", 1), titleLines("T2", 2)}), logic.set().lines);
    EXPECT_EQ((Lines{"T2", "T1", "T2"}), logic.titleNames());
    EXPECT_EQ(0, window.titleRow);
    EXPECT_EQ(1, logic.set().selectedTitle);
    EXPECT_EQ((Lines{"T2q1", "T2q2"}), questions());
    EXPECT_TRUE(window.isEnabled(EditorCommand::TitlePaste));
    EXPECT_EQ(titleLines("T2", 2), logic.set().titleClipboard);
}

TEST_F(ClipboardCommandsTest, TitlePasteWithNoTitleLeftAppendsAfterEveryLine) {
    load(joined({{"//before"}, titleLines("T", 1)}));
    commands.CutTitle();
    EXPECT_EQ(Lines{"//before"}, logic.set().lines);
    EXPECT_EQ(-1, window.titleRow);
    EXPECT_TRUE(window.isEnabled(EditorCommand::TitlePaste));
    commands.PasteTitle();
    EXPECT_EQ(joined({{"//before"}, titleLines("T", 1)}), logic.set().lines);
    EXPECT_EQ(0, window.titleRow);
    EXPECT_EQ(Lines{"Tq1"}, questions());
    EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧) - T", window.caption);
}

TEST_F(ClipboardCommandsTest, TitleDeleteAsksNothingAndKeepsTheTitleClipboard) {
    load(joined({titleLines("T1", 1), titleLines("T2", 2)}), 1);
    logic.set().titleClipboard = titleLines("X", 1);
    commands.DeleteTitle();
    EXPECT_EQ(titleLines("T1", 1), logic.set().lines);
    EXPECT_EQ(0, window.titleRow);
    EXPECT_EQ((Lines{"T1q1"}), questions());
    EXPECT_EQ(titleLines("X", 1), logic.set().titleClipboard);
    EXPECT_FALSE(logic.set().saved);
}

TEST_F(ClipboardCommandsTest, TitleCopyThenReplaceLoadThenPaste) {
    test::TempFolder folder;
    test::CurrentFolder here(folder.path());
    values.startFolder = folder.path();
    load(titleLines("Old", 1));
    commands.CopyTitle();
    const std::string path = folder.write("new.txt", "tTitle\tN1\t3\t3\r\n11\tn\ta\tr\t0\r\n"
                                                     "tTitle\tN2\t3\t3\r\n11\tm\ta\tr\t0\r\n");
    prompter
        .expectMessage("追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                       "いいえ：編集中のデータを削除して新規読み込み",
                       "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    logic.openTextFile(path);
    logic.showTitleRow(1);
    commands.PasteTitle();
    EXPECT_EQ((Lines{"N1", "Old", "N2"}), logic.titleNames());
    EXPECT_EQ(joined({{"tTitle\tN1\t3\t3", "11\tn\ta\tr\t0"},
                      titleLines("Old", 1),
                      {"tTitle\tN2\t3\t3", "11\tm\ta\tr\t0"}}),
              logic.set().lines);
    EXPECT_EQ(1, window.titleRow);
    EXPECT_EQ((Lines{"Oldq1"}), questions());
}

TEST(ReloadShownBlock, CopiesTheSelectedTitleOrNothing) {
    QuestionSet set;
    set.lines = joined({{"//x"}, titleLines("A", 1), titleLines("B", 2)});
    RebuildTitleIndex(set);
    set.selectedTitle = 2;
    ReloadShownBlock(set);
    EXPECT_EQ(titleLines("B", 2), set.shown.lines);
    set.selectedTitle = 3;
    ReloadShownBlock(set);
    EXPECT_TRUE(set.shown.lines.empty());
}

} // namespace
} // namespace rovik
