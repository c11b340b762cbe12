// Undo of the imports, as the data list logic records them around the import windows.
#include "data/QaTextFile.h"
#include "datalist/ClipboardCommands.h"
#include "datalist/EditorFixture.h"

#include <functional>

namespace rovik {
namespace {

using test::joined;
using test::titleLines;
using Lines = std::vector<std::string>;

class ImportingWindow : public test::ScrollingWindow {
public:
    void runImportTextFile(const std::string& path) override {
        ScrollingWindow::runImportTextFile(path);
        if (import) import();
    }
    void runFiveChoiceImport(const std::string& path) override {
        ScrollingWindow::runFiveChoiceImport(path);
        if (import) import();
    }
    std::function<void()> import;
};

class UndoImportTest : public ::testing::Test {
protected:
    void load(Lines lines) {
        logic.set().lines = std::move(lines);
        RebuildTitleIndex(logic.set());
        logic.FillTitleList();
        logic.showTitleRow(0);
    }
    ProgramValues values;
    test::ScriptedPrompter prompter;
    ImportingWindow window;
    DataListLogic logic{window, prompter, values};
};

TEST_F(UndoImportTest, AnAppendingImportIsOneStepAndAReplacingOneStartsANewHistory) {
    struct Case {
        const char* what;
        bool append;
        bool fiveChoice;
        bool undoable;
    };
    const Case cases[] = {
        {"tab-text import appended", true, false, true},
        {"ごたく import appended", true, true, true},
        {"tab-text import replacing", false, false, false},
        {"ごたく import replacing", false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImportingWindow fresh;
        DataListLogic logic(fresh, prompter, values);
        logic.set().lines = titleLines("A", 2);
        RebuildTitleIndex(logic.set());
        logic.FillTitleList();
        logic.showTitleRow(0);
        const Lines before = logic.set().lines;
        fresh.import = [&logic, &c] {
            if (!c.append) logic.set().lines.clear();
            for (auto& line : titleLines("I", 1))
                logic.set().lines.push_back(line);
            logic.set().saved = false;
        };
        if (c.fiveChoice) {
            prompter.expectOpen("x.5tq", "ごたくfiles (*.5TQ)|*.5tq");
            logic.runOpenCommand(OpenCommand::FiveChoice);
        } else {
            logic.openImportFile("x.txt");
        }
        ASSERT_NE(before, logic.set().lines);
        EXPECT_EQ(c.undoable, fresh.isEnabled(EditorCommand::Undo));
        logic.Undo();
        EXPECT_EQ(c.undoable ? before : joined({titleLines("I", 1)}), logic.set().lines);
        if (c.undoable) EXPECT_EQ("ｲﾝﾎﾟｰﾄ", logic.history().redoName());
    }
}

TEST_F(UndoImportTest, TheHistoryKeepsAtLeastAHundredSteps) {
    load(titleLines("A", 150));
    const Lines before = logic.set().lines;
    for (int i = 0; i < 120; ++i) {
        window.recordRow = 1;
        prompter.expectMessage("指定されたﾚｺｰﾄﾞを削除します。", "削除確認", Buttons::YesNo, Icon::None,
                               Answer::Yes);
        ClipboardCommands(logic, window, prompter).DeleteRecord();
    }
    ASSERT_EQ(before.size() - 120, logic.set().lines.size());
    for (int i = 0; i < 120; ++i)
        logic.Undo();
    EXPECT_EQ(before, logic.set().lines);
    EXPECT_TRUE(logic.set().saved);
}

TEST_F(UndoImportTest, LinesChangedOutsideTheHistoryAreKeptAndSaid) {
    load(titleLines("A", 3));
    window.recordRow = 2;
    ClipboardCommands commands(logic, window, prompter);
    commands.CopyRecord();
    window.recordRow = 1;
    commands.PasteRecord();
    ASSERT_EQ("11\tAq2\ta\tr\t0", logic.set().lines[3]);
    logic.set().lines[3] = "11\tchanged\ta\tr\t0"; // the pasted record, changed behind the history
    const Lines changed = logic.set().lines;
    logic.Undo();
    EXPECT_EQ(changed, logic.set().lines);
    EXPECT_EQ("データが変わっていたため、元に戻す・やり直しの記録を消しました。", window.status);
    EXPECT_FALSE(window.isEnabled(EditorCommand::Undo));
}

// Undo and redo leave the focus where the user was: pulled to the title list, the next Del
// would delete a whole title without a question.
TEST_F(UndoImportTest, UndoAndRedoLeaveTheFocusAlone) {
    const std::function<void(ClipboardCommands&)> steps[] = {
        [](ClipboardCommands& c) { c.CutRecord(); },
        [](ClipboardCommands& c) { c.CutTitle(); },
    };
    for (const auto& step : steps) {
        load(joined({titleLines("A", 2), titleLines("B", 2)}));
        window.recordRow = 1;
        ClipboardCommands commands(logic, window, prompter);
        step(commands);
        window.focusCount = 0;
        logic.Undo();
        EXPECT_EQ(2, logic.recordRows().count());
        logic.Redo();
        EXPECT_EQ(0, window.focusCount);
    }
}

// A replacing 新規ﾀｲﾄﾙ starts a Shift-JIS document; undoing it gives back the UTF-8 file's lines
// and its encoding, so the next save does not turn the user's file into Shift-JIS.
TEST_F(UndoImportTest, UndoOfAReplacingNewTitleGivesBackTheEncoding) {
    load(titleLines("A", 1));
    logic.set().encoding = TextEncoding::Utf8WithBom;
    const Lines before = logic.set().lines;
    prompter
        .expectMessage("追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                       "いいえ：編集中のデータを削除して新規読み込み",
                       "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    logic.NewTitle();
    ASSERT_EQ(TextEncoding::Cp932, logic.set().encoding);
    logic.Undo();
    EXPECT_EQ(before, logic.set().lines);
    EXPECT_EQ(TextEncoding::Utf8WithBom, logic.set().encoding);
    logic.Redo();
    EXPECT_EQ(TextEncoding::Cp932, logic.set().encoding);
    EXPECT_TRUE(prompter.done());
}

// The set comes back as the file wrote it: 〜 stays 〜 in a save after the undo.
TEST_F(UndoImportTest, UndoOfAReplacingNewTitleGivesBackTheFormsOfTheFile) {
    const std::string file = "tTitle\t1〜3\t3\t3\r\n11\tq\ta〜\tr\t0\r\n";
    const DecodedText decoded = decodeText(file, EncodingChoice::Auto);
    load(splitTextLines(decoded.cp932));
    logic.set().encoding = decoded.encoding;
    logic.set().utf8Forms = utf8FormsOf(decoded.cp932, decoded.jisForms);
    prompter
        .expectMessage("追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                       "いいえ：編集中のデータを削除して新規読み込み",
                       "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    logic.NewTitle();
    logic.Undo();
    std::string text, saved;
    for (const auto& line : logic.set().lines)
        text += line + "\r\n";
    ASSERT_TRUE(encodeText(text, logic.set().encoding, saved, logic.set().utf8Forms));
    EXPECT_EQ(file, saved);
    EXPECT_TRUE(prompter.done());
}

} // namespace
} // namespace rovik
