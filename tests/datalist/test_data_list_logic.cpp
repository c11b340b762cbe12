#include "datalist/ClipboardCommands.h"
#include "datalist/DataListLogic.h"
#include "pdb/PdbWriter.h"
#include "settings/ProgramValues.h"

#include "datalist/FakeEditorView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rovik {
namespace {

using test::ScriptedPrompter;

const char* kAppendQuestion = "追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                              "いいえ：編集中のデータを削除して新規読み込み";
const std::string kUntitled = "\x96\xB3\x91\xE8"; // 無題
const std::string kUntitledUtf8 = "無題";

std::string titleBlock(const std::string& name, int records) {
    std::string text = "tTitle\t" + name + "\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n";
    for (int i = 1; i <= records; ++i)
        text += "11\t" + name + "q" + std::to_string(i) + "\ta\tr\t0\r\n";
    return text;
}

constexpr EditorCommand kShownCommands[] = {
    EditorCommand::RecordEdit, EditorCommand::TitleEdit,    EditorCommand::RecordCut,
    EditorCommand::RecordCopy, EditorCommand::RecordDelete, EditorCommand::TextEdit,
    EditorCommand::TitleCut,   EditorCommand::TitleCopy,    EditorCommand::TitleDelete};
constexpr EditorCommand kSaveCommands[] = {EditorCommand::TextSave, EditorCommand::PdbSave,
                                           EditorCommand::PdbInstall};

class DataListLogicTest : public ::testing::Test {
protected:
    DataListLogicTest() : current(folder.path()) {
        values.startFolder = folder.path();
        values.dataFolder = folder.path();
        values.settings = {"", ""};
    }

    // Opens a text file through "新規...", answering the append question (Ok: not asked) and,
    // after No, the save question.
    void openText(const std::string& path, Answer append = Answer::Ok, Answer save = Answer::No) {
        prompter.expectOpen(path, kTextOpenFilter);
        if (append != Answer::Ok)
            prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, append);
        if (append == Answer::No)
            prompter.expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                                   save);
        logic.runOpenCommand(OpenCommand::Text);
    }
    std::string twoTitles() { return folder.write("two.txt", titleBlock("T1", 2) + titleBlock("T2", 3)); }
    void expectCommands(std::initializer_list<EditorCommand> commands, bool on) {
        for (EditorCommand c : commands) {
            EXPECT_EQ(on, window.isEnabled(c)) << static_cast<int>(c);
            EXPECT_EQ(on, logic.isEnabled(c)) << static_cast<int>(c);
        }
    }
    void expectShownCommands(bool on) {
        for (EditorCommand c : kShownCommands)
            EXPECT_EQ(on, window.isEnabled(c)) << static_cast<int>(c);
    }
    void expectSaveCommands(bool on) {
        for (EditorCommand c : kSaveCommands)
            EXPECT_EQ(on, window.isEnabled(c)) << static_cast<int>(c);
    }
    std::vector<std::string> rowTexts(int column) {
        std::vector<std::string> texts;
        for (int r = 1; r <= logic.recordRows().count(); ++r)
            texts.push_back(logic.cellText(r, column));
        return texts;
    }

    test::TempFolder folder;
    test::CurrentFolder current;
    ProgramValues values;
    ScriptedPrompter prompter;
    test::FakeEditorView window;
    DataListLogic logic{window, prompter, values};
};

TEST_F(DataListLogicTest, StartsEmptyWithEveryCommandDisabled) {
    for (int i = 0; i < kEditorCommandCount; ++i)
        EXPECT_FALSE(window.enabled[static_cast<size_t>(i)]) << i;
    EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧)", window.caption);
    EXPECT_TRUE(logic.set().lines.empty());
    EXPECT_TRUE(logic.set().saved);
    EXPECT_EQ(-1, logic.set().selectedTitle);
    EXPECT_EQ(0, logic.recordRows().count());
}

TEST_F(DataListLogicTest, ClickOnEmptyTitleListAsksForAFile) {
    prompter.expectMessage("ﾌｧｲﾙを読み込んでください。", "確認", Buttons::Ok, Icon::Error);
    logic.titleListClicked(-1);
    EXPECT_TRUE(prompter.done());
}

TEST_F(DataListLogicTest, NewTitleOnAnEmptyWindow) {
    logic.NewTitle();
    EXPECT_EQ(std::vector<std::string>{kUntitled}, logic.titleNames());
    EXPECT_EQ(0, window.titleRow);
    EXPECT_EQ(1, logic.recordRows().count());
    EXPECT_EQ((std::vector<std::string>{"1", kUntitled, kUntitled, kUntitled}),
              (std::vector<std::string>{logic.cellText(1, 0), logic.cellText(1, 1), logic.cellText(1, 2),
                                        logic.cellText(1, 3)}));
    EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧) - " + kUntitledUtf8, window.caption);
    EXPECT_FALSE(logic.set().saved);
    EXPECT_EQ("", window.status);
    expectShownCommands(true);
    expectSaveCommands(true);
    expectCommands({EditorCommand::RecordPaste, EditorCommand::TitlePaste}, false);
    EXPECT_EQ(1, logic.set().selectedTitle);
    EXPECT_EQ(3, logic.set().shown.headerLineCount);
}

TEST_F(DataListLogicTest, NewTitleAppendsOrReplacesOrIsCancelled) {
    struct Case {
        Answer append;
        std::vector<std::string> titles;
        int row;
        int shownRecords;
    };
    for (const Case& c :
         {Case{Answer::Cancel, {"T1", "T2"}, 1, 3}, Case{Answer::Yes, {"T1", "T2", kUntitled}, 1, 3},
          Case{Answer::No, {kUntitled}, 0, 1}}) {
        ScriptedPrompter script;
        test::FakeEditorView view;
        DataListLogic l(view, script, values);
        script.expectOpen(twoTitles());
        l.runOpenCommand(OpenCommand::Text);
        l.showTitleRow(1);
        script.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, c.append);
        if (c.append == Answer::No)
            script.expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                                 Answer::No);
        l.NewTitle();
        EXPECT_EQ(c.titles, l.titleNames()) << static_cast<int>(c.append);
        EXPECT_EQ(c.row, view.titleRow);
        EXPECT_EQ(c.shownRecords, l.recordRows().count());
        EXPECT_EQ(c.append == Answer::Cancel, l.set().saved);
    }
}

TEST_F(DataListLogicTest, OpenTextReplacesAndShowsTheFirstTitle) {
    const std::string path = twoTitles();
    openText(path);
    EXPECT_EQ((std::vector<std::string>{"T1", "T2"}), logic.titleNames());
    EXPECT_EQ(0, window.titleRow);
    EXPECT_EQ((std::vector<std::string>{"T1q1", "T1q2"}), rowTexts(1));
    EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧) - T1", window.caption);
    EXPECT_EQ(path, logic.currentFileName());
    EXPECT_EQ(path, values.settings[1]);
    expectShownCommands(true);
    expectSaveCommands(true);
    EXPECT_TRUE(logic.set().saved);
    EXPECT_FALSE(window.busy);
}

TEST_F(DataListLogicTest, OpenTextAppendKeepsTheShownTitle) {
    openText(twoTitles());
    logic.titleRowChanged(1);
    ASSERT_EQ(2, logic.set().selectedTitle);
    openText(folder.write("one.txt", titleBlock("T3", 1)), Answer::Yes);
    EXPECT_EQ((std::vector<std::string>{"T1", "T2", "T3"}), logic.titleNames());
    EXPECT_EQ(1, window.titleRow);
    EXPECT_EQ(2, logic.set().selectedTitle);
    EXPECT_EQ((std::vector<std::string>{"T2q1", "T2q2", "T2q3"}), rowTexts(1));
}

TEST_F(DataListLogicTest, OpenCancelledAtTheQuestionChangesNothing) {
    openText(twoTitles());
    openText(folder.write("one.txt", titleBlock("T3", 1)), Answer::Cancel);
    EXPECT_EQ((std::vector<std::string>{"T1", "T2"}), logic.titleNames());
    EXPECT_EQ(11u, logic.set().lines.size());
}

TEST_F(DataListLogicTest, OpenDialogCancelledLeavesNoFileName) {
    openText(twoTitles());
    prompter.expectOpen(std::nullopt, kTextOpenFilter);
    logic.runOpenCommand(OpenCommand::Text);
    EXPECT_EQ("", logic.currentFileName());
    EXPECT_EQ(folder.path(), prompter.dialogRequests.back().folder);
    EXPECT_EQ("", prompter.dialogRequests.back().fileName);
    prompter.expectSave(std::nullopt, "Text files (*.txt)|*.TXT");
    logic.runTextSave();
    EXPECT_EQ("", prompter.dialogRequests.back().fileName);
}

TEST_F(DataListLogicTest, OpenCommandsCheckTheirExtensions) {
    struct Case {
        OpenCommand command;
        const char* filter;
        const char* chosen;
        const char* message; // empty when accepted
    };
    const Case cases[] = {
        {OpenCommand::Text, "Text files (*.txt)|*.TXT", "x.Txt", "ファイルは .txt を選択してください。"},
        {OpenCommand::Text, "Text files (*.txt)|*.TXT", "x.pdb", "ファイルは .txt を選択してください。"},
        {OpenCommand::Pdb, "PDB file (*.pdb)|*.PDB", "x.pDB", "ファイルは .pdb を選択してください。"},
        {OpenCommand::Import, "Text files (*.txt)|*.TXT", "x", "ファイルは .txt を選択してください。"},
        {OpenCommand::FiveChoice, "ごたくfiles (*.5TQ)|*.5tq", "x.5Tq",
         "ファイルは .5tq を選択してください。"},
        {OpenCommand::Import, "Text files (*.txt)|*.TXT", "x.TXT", ""},
        {OpenCommand::FiveChoice, "ごたくfiles (*.5TQ)|*.5tq", "x.5TQ", ""},
    };
    for (const Case& c : cases) {
        const std::string path = folder.file(c.chosen);
        const std::string before = logic.currentFileName();
        prompter.expectOpen(path, c.filter);
        if (*c.message) prompter.expectMessage(c.message, "ﾌｧｲﾙ ｴﾗｰ", Buttons::Ok, Icon::Error);
        logic.runOpenCommand(c.command);
        EXPECT_TRUE(prompter.done()) << c.chosen;
        // An accepted file becomes the current name only once it has loaded (these imports add nothing).
        EXPECT_EQ(*c.message ? path : before, logic.currentFileName()) << c.chosen;
    }
    EXPECT_EQ(std::vector<std::string>{folder.file("x.TXT")}, window.imports);
    EXPECT_EQ(std::vector<std::string>{folder.file("x.5TQ")}, window.fiveChoiceImports);
    EXPECT_TRUE(logic.set().lines.empty());
}

// A refused or empty file in replace mode replaces nothing: the window shows the old data.
TEST_F(DataListLogicTest, RefusedOrEmptyFileInReplaceModeKeepsTheData) {
    const std::string two = twoTitles();
    openText(two);
    for (const std::string name : {"bad.txt", "empty.txt"}) {
        const std::string path =
            folder.write(name, name == std::string("bad.txt") ? "tTitle\tX\r\n1\tq\r\n" : "");
        logic.titleRowChanged(1);
        window.recordRow = 2;
        prompter.expectOpen(path, kTextOpenFilter)
            .expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
            .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                           Answer::No);
        if (name == std::string("empty.txt"))
            prompter.expectMessage("ファイルにデータがありません。\n" + path, "確認", Buttons::Ok,
                                   Icon::Warning);
        logic.runOpenCommand(OpenCommand::Text);
        EXPECT_TRUE(prompter.done());
        EXPECT_EQ((std::vector<std::string>{"T1", "T2"}), logic.titleNames()) << name;
        EXPECT_EQ(1, window.titleRow);
        EXPECT_EQ(3, logic.recordRows().count());
        EXPECT_EQ(two, logic.currentFileName());
        expectShownCommands(true);
        expectSaveCommands(true);
    }
}

TEST_F(DataListLogicTest, RefusedFileInAppendModeChangesNothing) {
    openText(twoTitles());
    logic.titleRowChanged(1);
    openText(folder.write("bad.txt", "no title\r\n"), Answer::Yes);
    EXPECT_EQ(1u, window.errorLogs.size());
    EXPECT_EQ((std::vector<std::string>{"T1", "T2"}), logic.titleNames());
    EXPECT_EQ(1, window.titleRow);
    EXPECT_EQ(3, logic.recordRows().count());
    expectShownCommands(true);
}

TEST_F(DataListLogicTest, HeaderOnlyTitleSaysNoDataAndKeepsCommands) {
    const std::string path =
        folder.write("h.txt", titleBlock("T1", 1) + "tTitle\tH\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n");
    openText(path);
    window.recordGridRefills = 0;
    prompter.expectMessage("ﾃﾞｰﾀがありません。", "確認", Buttons::Ok, Icon::Error);
    logic.titleRowChanged(1);
    EXPECT_EQ(0, logic.recordRows().count());
    EXPECT_EQ(1, window.recordGridRefills);
    EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧) - T1", window.caption);
    expectShownCommands(true);
    EXPECT_EQ(-1, logic.setLineOfRow(1));
}

TEST_F(DataListLogicTest, RowMappingFollowsTheSelectedTitle) {
    openText(folder.write(
        "c.txt", "//before\r\n" + titleBlock("T1", 2) +
                     "tTitle\tT2\r\ndBunrui\tA\r\n11\tq1\ta\tr\t0\r\n//c\tcq\r\n11\tq2\ta\tr\t0\r\n"));
    logic.titleRowChanged(1);
    EXPECT_EQ((std::vector<std::string>{"q1", "cq", "q2"}), rowTexts(1));
    const std::vector<int> expected = {8, 9, 10};
    for (int row = 1; row <= 3; ++row) {
        const int line = logic.setLineOfRow(row);
        EXPECT_EQ(expected[static_cast<size_t>(row - 1)], line);
        EXPECT_EQ(logic.set().shown.lines[static_cast<size_t>(logic.blockLineOfRow(row))],
                  logic.set().lines[static_cast<size_t>(line)]);
    }
    EXPECT_EQ(-1, logic.setLineOfRow(4));
}

TEST_F(DataListLogicTest, ClickShowsTitleAndKeepsTheRecordClipboard) {
    openText(twoTitles());
    logic.set().recordClipboard = "11\tx\ty\tz\t0";
    window.focusCount = 0;
    logic.titleListClicked(0);
    EXPECT_EQ("11\tx\ty\tz\t0", logic.set().recordClipboard);
    EXPECT_EQ(1, window.focusCount);
    logic.titleListClicked(7); // below the rows
    EXPECT_EQ(1, logic.set().selectedTitle);
}

TEST_F(DataListLogicTest, PasteCheckOnlyDisables) {
    logic.enable(EditorCommand::RecordPaste, true);
    logic.set().recordClipboard = "11\tx\ty\tz\t0";
    logic.PasteCheck();
    EXPECT_TRUE(window.isEnabled(EditorCommand::RecordPaste));
    logic.set().recordClipboard.clear();
    logic.PasteCheck();
    EXPECT_FALSE(window.isEnabled(EditorCommand::RecordPaste));
    logic.PasteCheck();
    EXPECT_FALSE(window.isEnabled(EditorCommand::RecordPaste));
}

TEST_F(DataListLogicTest, SaveAsTextAndPdbProposeTheCurrentFileName) {
    const std::string path = twoTitles();
    openText(path);
    const std::string text = folder.file("saved.TXT");
    prompter.expectSave(text, "Text files (*.txt)|*.TXT");
    EXPECT_TRUE(logic.runTextSave());
    EXPECT_EQ(path, prompter.dialogRequests.back().fileName);
    EXPECT_EQ(text + "が保存されました。", window.status);
    EXPECT_EQ(titleBlock("T1", 2) + titleBlock("T2", 3), test::TempFolder::read(text));

    const std::string pdb = folder.file("two.PDB");
    prompter.expectSave(pdb, "PDB files (*.pdb)|*.PDB");
    logic.runPdbSave();
    EXPECT_EQ("two.pdb", prompter.dialogRequests.back().fileName);
    EXPECT_EQ(pdb + "を作成しました。", window.status);
    EXPECT_EQ("two", test::TempFolder::read(pdb).substr(0, 3));
    EXPECT_EQ(pdb, values.settings[1]);
    EXPECT_EQ(text, values.settings[2]);

    prompter.expectSave(folder.file("x.Pdb"), "PDB files (*.pdb)|*.PDB")
        .expectMessage("ファイルの拡張子は .txtとしてください。", "ﾌｧｲﾙ ｴﾗｰ", Buttons::Ok, Icon::Error);
    logic.runPdbSave();
    EXPECT_FALSE(std::filesystem::exists(folder.file("x.Pdb")));
}

TEST_F(DataListLogicTest, OpenPdbLoadsTheTemporaryText) {
    openText(twoTitles());
    const std::string pdb = folder.file("two.pdb");
    ASSERT_EQ(0, WritePdb(logic.set(), pdb, prompter));
    prompter.expectOpen(pdb, kPdbOpenFilter)
        .expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    logic.runOpenCommand(OpenCommand::Pdb);
    EXPECT_EQ((std::vector<std::string>{"T1", "T2", "T1", "T2"}), logic.titleNames());
    // The saves propose the database's own name, never the temporary text's.
    EXPECT_EQ(folder.file("two.txt"), logic.currentFileName());
    EXPECT_EQ(pdb, values.settings[1]);
    EXPECT_EQ("", window.status);
    prompter.expectSave(std::nullopt, kPdbSaveFilter);
    logic.runPdbSave();
    EXPECT_EQ("two.pdb", prompter.dialogRequests.back().fileName);
}

TEST_F(DataListLogicTest, CloseAsksOnlyWithUnsavedChanges) {
    EXPECT_TRUE(logic.FormCloseQuery());
    logic.NewTitle();
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::No);
    EXPECT_TRUE(logic.FormCloseQuery());
    // Cancel, or Yes and then cancelling the save dialog: the window and the data stay.
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                           Answer::Cancel);
    EXPECT_FALSE(logic.FormCloseQuery());
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::Yes)
        .expectSave(std::nullopt, kTextSaveFilter);
    EXPECT_FALSE(logic.FormCloseQuery());
    EXPECT_FALSE(logic.set().saved);
    EXPECT_EQ(1, logic.set().titleCount());
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::Yes)
        .expectSave(folder.file("kept.txt"), kTextSaveFilter);
    EXPECT_TRUE(logic.FormCloseQuery());
    EXPECT_TRUE(logic.set().saved);
    EXPECT_TRUE(std::filesystem::exists(folder.file("kept.txt")));
}

TEST_F(DataListLogicTest, CloseStaysOpenWhenTheChosenFileCannotBeWritten) {
    logic.NewTitle();
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::Yes)
        .expectSave(folder.file("no/such/folder/x.txt"), kTextSaveFilter)
        .expectMessage("ファイルが開けません\n" + folder.file("no/such/folder/x.txt") +
                           "\nファイルを保存できませんでした。",
                       "エラー", Buttons::Ok, Icon::Error);
    EXPECT_FALSE(logic.FormCloseQuery());
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::Yes)
        .expectSave(folder.file("x.doc"), kTextSaveFilter)
        .expectMessage("ファイルの拡張子は .txtとしてください。", "ﾌｧｲﾙ ｴﾗｰ", Buttons::Ok, Icon::Error);
    EXPECT_FALSE(logic.FormCloseQuery());
}

class EditAsTextTest : public DataListLogicTest {
protected:
    void expectEditorMessages(Answer reload) {
        prompter
            .expectMessage("テキストエディタを起動します。\nエディタで編集したデータを保存する場合は「上書き"
                           "保存」してください。",
                           "ｴﾃﾞｨﾀ起動", Buttons::Ok, Icon::None)
            .expectMessage("編集保存したテキストデータを読み込みますか？", "確認", Buttons::YesNo, Icon::None,
                           reload);
    }
    std::string tempPath() const { return folder.file("$$temp.txt"); }
};

TEST_F(EditAsTextTest, WritesTheLinesAndReloadsNothingOnNo) {
    openText(twoTitles());
    logic.set().lines.push_back("\xB1"); // half-width katakana stays as it is
    expectEditorMessages(Answer::No);
    logic.EditAsText();
    EXPECT_EQ(std::vector<std::string>{tempPath()}, window.opened);
    EXPECT_EQ(titleBlock("T1", 2) + titleBlock("T2", 3) + "\xB1\r\n", test::TempFolder::read(tempPath()));
    EXPECT_EQ(12u, logic.set().lines.size());
}

TEST_F(EditAsTextTest, EditorThatCannotStartIsNamedAndNothingIsReadBack) {
    openText(twoTitles());
    window.documentOpens = false;
    prompter
        .expectMessage(
            "テキストエディタを起動します。\nエディタで編集したデータを保存する場合は「上書き保存」してく"
            "ださい。",
            "ｴﾃﾞｨﾀ起動", Buttons::Ok, Icon::None)
        .expectMessage("テキストエディタを起動できません。テキストファイルを開くプログラムがありません。\n" +
                           tempPath(),
                       "エラー", Buttons::Ok, Icon::Error);
    logic.EditAsText();
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(std::vector<std::string>{tempPath()}, window.opened);
    EXPECT_EQ(11u, logic.set().lines.size());
}

TEST_F(EditAsTextTest, ReloadsTheEditedText) {
    openText(twoTitles());
    window.onOpenDocument = [this](const std::string& path) {
        folder.write("$$temp.txt", titleBlock("E", 4));
        (void)path;
    };
    expectEditorMessages(Answer::Yes);
    logic.EditAsText();
    EXPECT_EQ(std::vector<std::string>{"E"}, logic.titleNames());
    EXPECT_EQ(4, logic.recordRows().count());
    // The temporary file is no file of the user's: the data keeps its name, no recent entry.
    EXPECT_EQ(folder.file("two.txt"), logic.currentFileName());
    EXPECT_EQ(folder.file("two.txt"), values.settings[1]);
    EXPECT_TRUE(window.isEnabled(EditorCommand::TextSave));
}

// The editor gets the user's file as it is on disk, and a save after the edit writes that
// encoding again, whichever encoding the editor saved the temporary file in.
TEST_F(EditAsTextTest, TheTemporaryFileAndTheNextSaveKeepTheFilesEncoding) {
    struct Case {
        const char* what;
        std::string file;   // the user's file
        std::string temp;   // $$temp.txt as written for the editor
        std::string edited; // $$temp.txt as the editor saved it
        std::string saved;  // the user's file after the next save
    };
    const std::string header = "tTitle\tT\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n";
    const std::string ikeUtf8 = "\xE6\xB1\xA0";  // 池
    const std::string ikeSjis = "\x92\x72";      // 池
    const std::string kawaUtf8 = "\xE5\xB7\x9D"; // 川
    const std::string kawaSjis = "\x90\xEC";     // 川
    const std::string bom = "\xEF\xBB\xBF";
    const Case cases[] = {
        {"UTF-8, edited as UTF-8", header + "11\t" + ikeUtf8 + "\ta\tr\t0\r\n",
         header + "11\t" + ikeUtf8 + "\ta\tr\t0\r\n", header + "11\t" + kawaUtf8 + "\ta\tr\t0\r\n",
         header + "11\t" + kawaUtf8 + "\ta\tr\t0\r\n"},
        {"UTF-8, edited as Shift-JIS", header + "11\t" + ikeUtf8 + "\ta\tr\t0\r\n",
         header + "11\t" + ikeUtf8 + "\ta\tr\t0\r\n", header + "11\t" + kawaSjis + "\ta\tr\t0\r\n",
         header + "11\t" + kawaUtf8 + "\ta\tr\t0\r\n"},
        {"UTF-8 with BOM", bom + header + "11\t" + ikeUtf8 + "\ta\tr\t0\r\n",
         bom + header + "11\t" + ikeUtf8 + "\ta\tr\t0\r\n", header + "11\t" + kawaUtf8 + "\ta\tr\t0\r\n",
         bom + header + "11\t" + kawaUtf8 + "\ta\tr\t0\r\n"},
        {"Shift-JIS, edited as UTF-8", header + "11\t" + ikeSjis + "\ta\tr\t0\r\n",
         header + "11\t" + ikeSjis + "\ta\tr\t0\r\n", header + "11\t" + kawaUtf8 + "\ta\tr\t0\r\n",
         header + "11\t" + kawaSjis + "\ta\tr\t0\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::FakeEditorView fresh;
        DataListLogic edited{fresh, prompter, values};
        const std::string path = folder.write("user.txt", c.file);
        prompter.expectOpen(path, kTextOpenFilter);
        edited.runOpenCommand(OpenCommand::Text);
        std::string temp;
        fresh.onOpenDocument = [&](const std::string& p) {
            temp = test::TempFolder::read(p);
            folder.write("$$temp.txt", c.edited);
        };
        expectEditorMessages(Answer::Yes);
        edited.EditAsText();
        EXPECT_EQ(c.temp, temp);
        prompter.expectSave(path, kTextSaveFilter);
        EXPECT_TRUE(edited.runTextSave());
        EXPECT_EQ(c.saved, test::TempFolder::read(path));
        EXPECT_TRUE(prompter.done());
    }
}

TEST_F(EditAsTextTest, ReloadedEditIsOneUndoStep) {
    openText(twoTitles());
    const std::vector<std::string> before = logic.set().lines;
    window.onOpenDocument = [this](const std::string&) { folder.write("$$temp.txt", titleBlock("E", 4)); };
    expectEditorMessages(Answer::Yes);
    logic.EditAsText();
    const std::vector<std::string> edited = logic.set().lines;
    ASSERT_NE(before, edited);
    EXPECT_TRUE(window.isEnabled(EditorCommand::Undo));
    EXPECT_EQ("ﾃｷｽﾄ編集", logic.history().undoName());
    logic.Undo();
    EXPECT_EQ(before, logic.set().lines);
    EXPECT_EQ((std::vector<std::string>{"T1", "T2"}), logic.titleNames());
    logic.Redo();
    EXPECT_EQ(edited, logic.set().lines);
    EXPECT_FALSE(window.isEnabled(EditorCommand::Redo));
}

TEST_F(EditAsTextTest, RefusedEditKeepsTheDataInMemory) {
    openText(twoTitles());
    logic.titleRowChanged(1);
    logic.set().saved = false;
    logic.set().titleClipboard = {"tTitle\tC"};
    window.onOpenDocument = [this](const std::string&) { folder.write("$$temp.txt", "broken\r\n"); };
    expectEditorMessages(Answer::Yes);
    logic.EditAsText();
    EXPECT_EQ(1u, window.errorLogs.size());
    EXPECT_EQ(11u, logic.set().lines.size());
    EXPECT_EQ((std::vector<std::string>{"T1", "T2"}), logic.titleNames());
    EXPECT_EQ(1, window.titleRow);
    EXPECT_EQ(2, logic.set().selectedTitle);
    EXPECT_EQ(3, logic.recordRows().count());
    EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧) - T2", window.caption);
    EXPECT_FALSE(logic.set().saved);
    EXPECT_EQ(std::vector<std::string>{"tTitle\tC"}, logic.set().titleClipboard);
    expectShownCommands(true);
    expectSaveCommands(true);
    EXPECT_EQ(folder.file("two.txt"), logic.currentFileName());
}

TEST_F(DataListLogicTest, RecordEditorOpensOnExistingRowsOnly) {
    openText(twoTitles());
    window.recordRow = 0;
    logic.OpenRecordEditor();
    EXPECT_TRUE(window.recordEditorCaptions.empty());
    window.recordRow = 2;
    logic.OpenRecordEditor();
    EXPECT_EQ(std::vector<std::string>{"Rovik(ﾚｺｰﾄﾞ編集) - T1"}, window.recordEditorCaptions);
    EXPECT_EQ(2, window.recordRow);
    EXPECT_EQ(2, logic.currentRecordRow());
    window.recordRow = 3;
    logic.OpenRecordEditor();
    EXPECT_EQ(1u, window.recordEditorCaptions.size());
}

TEST_F(DataListLogicTest, TitleEditorNeedsATitle) {
    prompter.expectMessage("タイトルを選択してください。", "確認", Buttons::Ok, Icon::None);
    logic.OpenTitleEditor();
    EXPECT_EQ(0, window.titleEditorRuns);
    openText(twoTitles());
    logic.OpenTitleEditor();
    EXPECT_EQ(1, window.titleEditorRuns);
}

TEST_F(DataListLogicTest, LastTitleGoneEmptiesTheGridAndDisablesCommands) {
    openText(twoTitles());
    // What a title delete of every title leaves: lines without a title header line.
    logic.set().lines = {"//kept"};
    RebuildTitleIndex(logic.set());
    logic.FillTitleList();
    prompter.expectMessage("ﾌｧｲﾙを読み込んでください。", "確認", Buttons::Ok, Icon::Error);
    logic.ShowSelectedTitle();
    EXPECT_EQ(0, logic.recordRows().count());
    EXPECT_EQ(-1, logic.set().selectedTitle);
    EXPECT_EQ("Rovik(ﾃﾞｰﾀ一覧)", window.caption);
    for (EditorCommand c : kShownCommands)
        EXPECT_EQ(c == EditorCommand::TextEdit, window.isEnabled(c)) << static_cast<int>(c);
    expectSaveCommands(true); // the comment line can still be saved
}

// An empty set can still be saved, as closing offers to: the save commands stay once enabled.
TEST_F(DataListLogicTest, SaveCommandsStayEnabledOnAnEmptySet) {
    openText(folder.write("one.txt", titleBlock("T", 1)));
    ClipboardCommands(logic, window, prompter).DeleteTitle();
    ASSERT_TRUE(logic.set().lines.empty());
    expectSaveCommands(true);

    test::FakeEditorView fresh;
    DataListLogic undone{fresh, prompter, values};
    undone.NewTitle();
    undone.Undo();
    ASSERT_TRUE(undone.set().lines.empty());
    for (EditorCommand c : kSaveCommands)
        EXPECT_TRUE(fresh.isEnabled(c)) << static_cast<int>(c);
}

TEST_F(DataListLogicTest, RecentEntriesComeFromTheSettings) {
    values.settings = {"q", "/a/x.txt", "/a/y.pdb", "/a/z.Txt"};
    RecentMenus menus = logic.BuildRecentMenus();
    EXPECT_EQ(std::vector<std::string>{"/a/x.txt"}, menus.text);
    EXPECT_EQ(std::vector<std::string>{"/a/y.pdb"}, menus.pdb);
}

// After an append (a new title, or a file) the shown title is read again: its category names stay
// for the record and title editors.
TEST_F(DataListLogicTest, AnAppendKeepsTheShownTitlesCategoryNames) {
    openText(twoTitles());
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    logic.NewTitle();
    EXPECT_EQ(std::vector<std::string>{"A"}, logic.set().shown.categoryA);
    EXPECT_EQ(std::vector<std::string>{"B"}, logic.set().shown.categoryB);
    openText(folder.write("more.txt", titleBlock("T3", 1)), Answer::Yes);
    EXPECT_EQ(std::vector<std::string>{"A"}, logic.set().shown.categoryA);
    EXPECT_EQ(3, logic.set().shown.headerLineCount);
    EXPECT_EQ(1, logic.set().selectedTitle);
}

// A save that made katakana full-width shows the saved lines: the record commands still act.
TEST_F(DataListLogicTest, ASaveThatFixedKatakanaRefillsTheShownTitle) {
    openText(twoTitles());
    logic.set().lines[3] = "11\t\xB1\ta\tr\t0";
    logic.showTitleRow(0);
    window.recordRow = 1;
    const std::string path = folder.file("saved.txt");
    prompter.expectSave(path, kTextSaveFilter);
    logic.runTextSave();
    EXPECT_EQ("11\t\x83\x41\ta\tr\t0", logic.set().lines[3]);
    EXPECT_EQ("\x83\x41", logic.cellText(1, 1));
    EXPECT_EQ(1, window.recordRow);
    ClipboardCommands commands{logic, window, prompter};
    commands.CopyRecord();
    EXPECT_EQ("11\t\x83\x41\ta\tr\t0", logic.set().recordClipboard);
    EXPECT_TRUE(prompter.done());
}

// The widening of a save is part of the save: the history keeps its steps, and undo gives back
// the lines before the step as the save wrote them.
TEST_F(DataListLogicTest, UndoAfterASaveThatWidenedKatakanaKeepsTheHistory) {
    struct Case {
        const char* file;
        const char* filter;
        bool pdb;
    };
    const Case cases[] = {{"saved.txt", kTextSaveFilter, false}, {"saved.pdb", kPdbSaveFilter, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        test::FakeEditorView fresh;
        DataListLogic saving{fresh, prompter, values};
        saving.set().lines = {"tTitle\tT\t3\t3", "dBunrui\tA", "sBunrui\tB", "11\t\xB1\ta\tr\t0",
                              "11\tq\ta\tr\t0"};
        RebuildTitleIndex(saving.set());
        saving.FillTitleList();
        saving.showTitleRow(0);
        fresh.recordRow = 1;
        ClipboardCommands commands{saving, fresh, prompter};
        commands.CopyRecord();
        fresh.recordRow = 2;
        commands.PasteRecord(); // a step whose line holds ｱ
        prompter.expectSave(folder.file(c.file), c.filter);
        if (c.pdb)
            saving.runPdbSave();
        else
            saving.runTextSave();
        ASSERT_EQ("11\t\x83\x41\ta\tr\t0", saving.set().lines[4]);
        EXPECT_TRUE(fresh.isEnabled(EditorCommand::Undo));
        saving.Undo();
        EXPECT_EQ((std::vector<std::string>{"tTitle\tT\t3\t3", "dBunrui\tA", "sBunrui\tB",
                                            "11\t\x83\x41\ta\tr\t0", "11\tq\ta\tr\t0"}),
                  saving.set().lines);
        EXPECT_FALSE(saving.set().saved);
        saving.Redo();
        EXPECT_EQ(6u, saving.set().lines.size());
        EXPECT_TRUE(saving.set().saved);
        EXPECT_NE("データが変わっていたため、元に戻す・やり直しの記録を消しました。", fresh.status);
        EXPECT_TRUE(prompter.done());
    }
}

// The save offered before a replacing open proposes the data's own name, never the file opened.
TEST_F(DataListLogicTest, TheSaveBeforeAnOpenProposesTheDatasName) {
    const std::string two = twoTitles();
    openText(two);
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    logic.NewTitle();
    const std::string other = folder.write("other.txt", titleBlock("O", 1));
    prompter.expectOpen(other, kTextOpenFilter)
        .expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::Yes)
        .expectSave(std::nullopt, kTextSaveFilter);
    logic.runOpenCommand(OpenCommand::Text);
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(two, prompter.dialogRequests.back().fileName);
    EXPECT_EQ(titleBlock("O", 1), test::TempFolder::read(other));
    EXPECT_EQ(3, logic.set().titleCount()); // the cancelled save cancelled the open
    EXPECT_EQ(two, logic.currentFileName());
}

} // namespace
} // namespace rovik
