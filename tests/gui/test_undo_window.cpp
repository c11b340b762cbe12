#include "editor/RecordEditorWindow.h"
#include "editor/TitleEditorWindow.h"
#include "gui/EditorWindowFixture.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <ostream>

namespace rovik {
namespace {

using test::titleText;
using test::u;
using Lines = std::vector<std::string>;

const char* const kAppend = "追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                            "いいえ：編集中のデータを削除して新規読み込み";

class UndoWindowTest : public test::EditorWindowTest {
protected:
    // Titles A (3 records) and B (2 records), opened and saved.
    void openTwoTitles() { openText("a.txt", titleText("A", 3) + titleText("B", 2)); }
    int titleRow() { return form.StringGrid2->currentIndex().row(); }
    struct Shown {
        Lines lines;
        int titleRow;
        int recordRow;
    };
    Shown shown() { return {lines(), titleRow(), recordRow()}; }
    void expectShown(const Shown& expected) {
        EXPECT_EQ(expected.lines, lines());
        EXPECT_EQ(expected.titleRow, titleRow());
        EXPECT_EQ(expected.recordRow, recordRow());
        EXPECT_EQ(u(form.logic().set().shown.name.c_str()), titleNames().value(titleRow()));
    }
};

enum class Kind {
    RecordCut,
    RecordPaste,
    RecordDelete,
    TitleCut,
    TitlePaste,
    TitleDelete,
    NewTitle,
    AppendOpen,
    RecordStore,
    TitleRegister
};

struct StepCase {
    Kind kind;
    const char* name;
};

// Test names by the step's own name, never by the bytes of the case.
void PrintTo(const StepCase& step, std::ostream* out) {
    *out << step.name;
}

const StepCase kSteps[] = {
    {Kind::RecordCut, "ﾚｺｰﾄﾞ切り取り"}, {Kind::RecordPaste, "ﾚｺｰﾄﾞ貼り付け"},
    {Kind::RecordDelete, "ﾚｺｰﾄﾞ削除"},  {Kind::TitleCut, "ﾀｲﾄﾙ切り取り"},
    {Kind::TitlePaste, "ﾀｲﾄﾙ貼り付け"}, {Kind::TitleDelete, "ﾀｲﾄﾙ削除"},
    {Kind::NewTitle, "新規ﾀｲﾄﾙ"},       {Kind::AppendOpen, "追加読み込み"},
    {Kind::RecordStore, "ﾚｺｰﾄﾞ登録"},   {Kind::TitleRegister, "ﾀｲﾄﾙ・分類登録"},
};

class UndoEveryStep : public UndoWindowTest, public ::testing::WithParamInterface<StepCase> {
protected:
    // What the window stands on before the step.
    void prepare(Kind kind) {
        switch (kind) {
        case Kind::RecordCut:
        case Kind::RecordStore:
            selectRecord(2);
            break;
        case Kind::RecordPaste:
            selectRecord(3);
            form.C1->trigger();
            selectRecord(1);
            break;
        case Kind::RecordDelete:
            selectRecord(3);
            prompter.expectMessage("指定されたﾚｺｰﾄﾞを削除します。", "削除確認", Buttons::YesNo, Icon::None,
                                   Answer::Yes);
            break;
        case Kind::TitleCut:
        case Kind::TitleRegister:
            selectTitle(1);
            break;
        case Kind::TitlePaste:
            selectTitle(1);
            form.C3->trigger();
            selectTitle(0);
            break;
        case Kind::TitleDelete:
            selectTitle(0);
            break;
        case Kind::NewTitle:
            prompter.expectMessage(kAppend, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
            break;
        case Kind::AppendOpen:
            prompter.expectOpen(folder.write("c.txt", titleText("C", 2)), "Text files (*.txt)|*.TXT")
                .expectMessage(kAppend, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
            break;
        }
    }
    void act(Kind kind) {
        switch (kind) {
        case Kind::RecordCut:
            form.T2->trigger();
            break;
        case Kind::RecordPaste:
            form.S1->trigger();
            break;
        case Kind::RecordDelete:
            form.D2->trigger();
            break;
        case Kind::TitleCut:
            form.C2->trigger();
            break;
        case Kind::TitlePaste:
            form.H1->trigger();
            break;
        case Kind::TitleDelete:
            form.D3->trigger();
            break;
        case Kind::NewTitle:
            form.T1->trigger();
            break;
        case Kind::AppendOpen:
            form.N11112->trigger();
            break;
        case Kind::RecordStore: {
            // As the data list window runs the editor: on the grid's row, the row put back after.
            form.logic().setCurrentRecordRow(recordRow());
            TForm4 editor(form.logic(), prompter, &form);
            editor.Memo1->setPlainText(u("changed"));
            editor.Button1->click();
            form.setRecordCurrentRow(form.logic().currentRecordRow());
            break;
        }
        case Kind::TitleRegister: {
            TForm5 editor(form.logic(), prompter, &form);
            editor.Edit31->setText(u("renamed"));
            editor.Button1->click();
            break;
        }
        }
    }
};

TEST_P(UndoEveryStep, UndoAndRedoRestoreLinesTitleRecordAndSavedFlag) {
    const StepCase& c = GetParam();
    openTwoTitles();
    EXPECT_FALSE(form.Undo1->isEnabled());
    prepare(c.kind);
    const Shown before = shown();
    act(c.kind);
    const Shown after = shown();
    ASSERT_NE(before.lines, after.lines);
    // Loading leaves the saved flag as it was; every other step clears it.
    EXPECT_EQ(c.kind == Kind::AppendOpen, form.logic().set().saved);
    EXPECT_TRUE(form.Undo1->isEnabled());
    EXPECT_FALSE(form.Redo1->isEnabled());
    EXPECT_EQ(u("元に戻す: ") + u(c.name), form.Undo1->statusTip());

    form.Undo1->trigger();
    expectShown(before);
    EXPECT_TRUE(form.logic().set().saved);
    EXPECT_FALSE(form.Undo1->isEnabled());
    EXPECT_TRUE(form.Redo1->isEnabled());
    EXPECT_EQ(u("やり直し: ") + u(c.name), form.Redo1->statusTip());

    form.Redo1->trigger();
    expectShown(after);
    EXPECT_FALSE(form.logic().set().saved); // the file holds the lines before the step
    EXPECT_TRUE(prompter.done());
}

INSTANTIATE_TEST_SUITE_P(Steps, UndoEveryStep, ::testing::ValuesIn(kSteps));

TEST_F(UndoWindowTest, SavedFlagFollowsTheLastSave) {
    openTwoTitles();
    selectRecord(1);
    form.T2->trigger(); // step 1
    prompter.expectSave(folder.file("a.txt"), "Text files (*.txt)|*.TXT");
    form.S2->trigger();
    ASSERT_TRUE(form.logic().set().saved);
    form.T2->trigger(); // step 2, after the save
    EXPECT_FALSE(form.logic().set().saved);
    form.Undo1->trigger();
    EXPECT_TRUE(form.logic().set().saved); // back at the saved lines
    form.Undo1->trigger();
    EXPECT_FALSE(form.logic().set().saved); // before the save: the file holds the cut
    form.Redo1->trigger();
    EXPECT_TRUE(form.logic().set().saved);
    selectRecord(1);
    form.T2->trigger(); // a new step drops step 2
    EXPECT_FALSE(form.logic().set().saved);
    EXPECT_FALSE(form.Redo1->isEnabled());
}

TEST_F(UndoWindowTest, ReplacingOpenStartsANewHistory) {
    openTwoTitles();
    selectRecord(1);
    form.T2->trigger();
    ASSERT_TRUE(form.Undo1->isEnabled());
    prompter.expectOpen(folder.write("c.txt", titleText("C", 2)), "Text files (*.txt)|*.TXT")
        .expectMessage(kAppend, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    form.N11112->trigger();
    EXPECT_EQ((QStringList{u("C")}), titleNames());
    EXPECT_FALSE(form.Undo1->isEnabled());
    EXPECT_FALSE(form.Redo1->isEnabled());
    EXPECT_EQ(u("元に戻す"), form.Undo1->statusTip());
}

TEST_F(UndoWindowTest, CancelledOpenKeepsTheHistory) {
    openTwoTitles();
    selectRecord(1);
    form.T2->trigger();
    prompter.expectOpen(folder.write("c.txt", titleText("C", 2)), "Text files (*.txt)|*.TXT")
        .expectMessage(kAppend, "Open", Buttons::YesNoCancel, Icon::None, Answer::Cancel);
    form.N11112->trigger();
    EXPECT_TRUE(form.Undo1->isEnabled());
    form.Undo1->trigger();
    EXPECT_EQ((QStringList{u("Aq1"), u("Aq2"), u("Aq3")}), column(1));
}

TEST_F(UndoWindowTest, UndoOfTheOnlyTitlesPasteEmptiesTheWindow) {
    openText("a.txt", titleText("A", 1));
    form.C3->trigger();
    form.C2->trigger();
    ASSERT_TRUE(lines().empty());
    form.H1->trigger();
    form.Undo1->trigger(); // the paste
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(0, records()->rowCount());
    EXPECT_TRUE(form.S2->isEnabled());
    form.Undo1->trigger(); // the cut
    EXPECT_EQ((QStringList{u("A")}), titleNames());
    EXPECT_TRUE(form.S2->isEnabled());
    EXPECT_TRUE(form.logic().set().saved);
}

TEST_F(UndoWindowTest, KeysAreTheDesktopOnes) {
    EXPECT_EQ(QKeySequence(QKeySequence::Undo), form.Undo1->shortcut());
    EXPECT_EQ((QList<QKeySequence>{QKeySequence(u("Ctrl+Y")), QKeySequence(u("Ctrl+Shift+Z"))}),
              form.Redo1->shortcuts());
    EXPECT_TRUE(form.Edit1->actions().contains(form.Undo1));
}

} // namespace
} // namespace rovik
