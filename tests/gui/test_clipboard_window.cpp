#include "gui/EditorWindowFixture.h"

#include <QMenu>
#include <QTest>

namespace rovik {
namespace {

using test::titleText;
using test::u;

class ClipboardWindowTest : public test::EditorWindowTest {};

TEST_F(ClipboardWindowTest, CutOfRow3OfFive) {
    openText("a.txt", titleText("T", 5));
    selectRecord(3);
    form.T2->trigger();
    EXPECT_EQ((QStringList{u("Tq1"), u("Tq2"), u("Tq4"), u("Tq5")}), column(1));
    EXPECT_EQ((QStringList{u("1"), u("2"), u("3"), u("4")}), column(0));
    EXPECT_EQ(3, recordRow());
    EXPECT_EQ("11\tTq3\ta\tr\t0", form.logic().set().recordClipboard);
    EXPECT_FALSE(form.logic().set().saved);
    for (QAction* paste : {form.S1, form.N9})
        EXPECT_TRUE(paste->isEnabled());
}

TEST_F(ClipboardWindowTest, CutOfTheLastRowByTheRecordMenu) {
    openText("a.txt", titleText("T", 5));
    selectRecord(5);
    form.N7->trigger();
    EXPECT_EQ(4, records()->rowCount());
    EXPECT_EQ(4, recordRow());
    EXPECT_EQ(u("Tq4"), cell(recordRow() - 1, 1));
}

TEST_F(ClipboardWindowTest, PasteOnRow1Twice) {
    openText("a.txt", titleText("T", 3));
    selectRecord(2);
    form.C1->trigger();
    EXPECT_TRUE(form.logic().set().saved);
    selectRecord(1);
    form.S1->trigger();
    form.N9->trigger();
    EXPECT_EQ((QStringList{u("Tq2"), u("Tq2"), u("Tq1"), u("Tq2"), u("Tq3")}), column(1));
    EXPECT_EQ(1, recordRow());
    EXPECT_FALSE(form.logic().set().saved);
}

TEST_F(ClipboardWindowTest, DeleteAnsweredNoChangesNothingAndYesRemoves) {
    openText("a.txt", titleText("T", 3));
    selectRecord(2);
    prompter.expectMessage("指定されたﾚｺｰﾄﾞを削除します。", "削除確認", Buttons::YesNo, Icon::None,
                           Answer::No);
    form.D2->trigger();
    EXPECT_EQ(3, records()->rowCount());
    EXPECT_TRUE(form.logic().set().saved);
    prompter.expectMessage("指定されたﾚｺｰﾄﾞを削除します。", "削除確認", Buttons::YesNo, Icon::None,
                           Answer::Yes);
    form.N10->trigger();
    EXPECT_EQ((QStringList{u("Tq1"), u("Tq3")}), column(1));
    EXPECT_EQ(2, recordRow());
    EXPECT_FALSE(form.logic().set().saved);
}

TEST_F(ClipboardWindowTest, CutKeepsTheGridScrolledWhereItWas) {
    form.show();
    openText("a.txt", titleText("T", 200));
    QApplication::processEvents();
    selectRecord(105);
    form.StringGrid1->scrollTo(records()->index(99, 1), QAbstractItemView::PositionAtTop);
    const int top = form.StringGrid1->rowAt(0);
    ASSERT_EQ(99, top);
    form.T2->trigger();
    EXPECT_EQ(top, form.StringGrid1->rowAt(0));
    EXPECT_EQ(105, recordRow());
    EXPECT_EQ(u("Tq106"), cell(104, 1));
}

TEST_F(ClipboardWindowTest, EmptiedTitleTakesAPasteAfterItsHeaderLines) {
    openText("a.txt", titleText("T", 1) + titleText("U", 1));
    selectRecord(1);
    prompter.expectMessage("ﾃﾞｰﾀがありません。", "確認", Buttons::Ok, Icon::Error);
    form.T2->trigger();
    EXPECT_EQ(0, records()->rowCount());
    prompter.expectMessage("レコードが選択されていません。", "確認", Buttons::Ok, Icon::None);
    form.C1->trigger(); // no record row: nothing to copy
    form.S1->trigger();
    EXPECT_EQ((QStringList{u("Tq1")}), column(1));
    EXPECT_EQ(1, recordRow());
}

TEST_F(ClipboardWindowTest, TitleCutPasteAndDeleteMoveRowsAndTheShownTitle) {
    openText("a.txt", titleText("T1", 1) + titleText("T2", 2) + titleText("T3", 3) + titleText("T4", 4));
    selectTitle(1);
    form.C2->trigger();
    EXPECT_EQ((QStringList{u("T1"), u("T3"), u("T4")}), titleNames());
    EXPECT_EQ(1, form.StringGrid2->currentIndex().row());
    EXPECT_EQ(3, records()->rowCount());
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - T3"), form.windowTitle());
    EXPECT_TRUE(form.H1->isEnabled());

    selectTitle(0);
    form.H1->trigger();
    EXPECT_EQ((QStringList{u("T2"), u("T1"), u("T3"), u("T4")}), titleNames());
    EXPECT_EQ(0, form.StringGrid2->currentIndex().row());
    EXPECT_EQ((QStringList{u("T2q1"), u("T2q2")}), column(1));
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - T2"), form.windowTitle());
    EXPECT_TRUE(form.H1->isEnabled());

    selectTitle(3);
    form.D3->trigger();
    EXPECT_EQ((QStringList{u("T2"), u("T1"), u("T3")}), titleNames());
    EXPECT_EQ(2, form.StringGrid2->currentIndex().row());
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - T3"), form.windowTitle());
    EXPECT_EQ(std::vector<std::string>(
                  {"tTitle\tT2\t3\t3", "dBunrui\tA", "sBunrui\tB", "11\tT2q1\ta\tr\t0", "11\tT2q2\ta\tr\t0"}),
              form.logic().set().titleClipboard);
    EXPECT_FALSE(form.logic().set().saved);
}

TEST_F(ClipboardWindowTest, TitleCopyThenReplaceLoadThenPaste) {
    openText("a.txt", titleText("Old", 2));
    form.C3->trigger();
    EXPECT_TRUE(form.H1->isEnabled());
    prompter
        .expectOpen(folder.write("b.txt", titleText("N1", 1) + titleText("N2", 1)),
                    "Text files (*.txt)|*.TXT")
        .expectMessage("追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                       "いいえ：編集中のデータを削除して新規読み込み",
                       "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    form.N11112->trigger();
    selectTitle(1);
    form.H1->trigger();
    EXPECT_EQ((QStringList{u("N1"), u("Old"), u("N2")}), titleNames());
    EXPECT_EQ(1, form.StringGrid2->currentIndex().row());
    EXPECT_EQ((QStringList{u("Oldq1"), u("Oldq2")}), column(1));
    EXPECT_EQ("tTitle\tOld\t3\t3", lines()[4]);
}

TEST_F(ClipboardWindowTest, CuttingTheLastTitleThenPastingItBack) {
    openText("a.txt", titleText("T", 2));
    form.C2->trigger();
    EXPECT_TRUE(titleNames().isEmpty());
    EXPECT_EQ(0, records()->rowCount());
    for (QAction* a : {form.T2, form.C1, form.D2, form.C2, form.C3, form.D3})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(form.H1->isEnabled());
    form.H1->trigger();
    EXPECT_EQ(QStringList{u("T")}, titleNames());
    EXPECT_EQ(0, form.StringGrid2->currentIndex().row());
    EXPECT_EQ((QStringList{u("Tq1"), u("Tq2")}), column(1));
    EXPECT_TRUE(form.C2->isEnabled());
}

// Nothing cut is lost by looking at another title: the record goes into it.
TEST_F(ClipboardWindowTest, ACutRecordSurvivesAnotherTitle) {
    openText("a.txt", titleText("T1", 2) + titleText("T2", 1));
    form.T2->trigger();
    selectTitle(1);
    selectTitle(0);
    selectTitle(1);
    emit form.Edit1->aboutToShow();
    EXPECT_TRUE(form.S1->isEnabled());
    EXPECT_TRUE(form.N9->isEnabled());
    form.S1->trigger();
    EXPECT_EQ((QStringList{u("T1q1"), u("T2q1")}), column(1));
}

// The editing keys of the grids run the same commands, under the same enable rules.
TEST_F(ClipboardWindowTest, KeysOfTheGridsRunTheRecordAndTitleCommands) {
    form.show();
    QApplication::setActiveWindow(&form);
    openText("a.txt", titleText("T1", 3) + titleText("T2", 1));
    auto key = [](QWidget* grid, QKeySequence::StandardKey standard) {
        const QKeySequence sequence(standard);
        QTest::keyClick(grid, static_cast<Qt::Key>(sequence[0].key()), sequence[0].keyboardModifiers());
    };
    form.StringGrid1->setFocus();
    selectRecord(2);
    key(form.StringGrid1, QKeySequence::Cut);
    EXPECT_EQ((QStringList{u("T1q1"), u("T1q3")}), column(1));
    selectRecord(1);
    key(form.StringGrid1, QKeySequence::Paste);
    EXPECT_EQ((QStringList{u("T1q2"), u("T1q1"), u("T1q3")}), column(1));
    prompter.expectMessage("指定されたﾚｺｰﾄﾞを削除します。", "削除確認", Buttons::YesNo, Icon::None,
                           Answer::Yes);
    QTest::keyClick(form.StringGrid1, Qt::Key_Delete); // the pasted record is the current row
    EXPECT_EQ((QStringList{u("T1q1"), u("T1q3")}), column(1));
    // Title paste is off until a title was cut or copied.
    form.StringGrid2->setFocus();
    key(form.StringGrid2, QKeySequence::Paste);
    EXPECT_EQ((QStringList{u("T1"), u("T2")}), titleNames());
    key(form.StringGrid2, QKeySequence::Copy);
    key(form.StringGrid2, QKeySequence::Paste);
    EXPECT_EQ((QStringList{u("T1"), u("T1"), u("T2")}), titleNames());
    QTest::keyClick(form.StringGrid2, Qt::Key_Delete);
    EXPECT_EQ((QStringList{u("T1"), u("T2")}), titleNames());
    EXPECT_TRUE(prompter.done());
}

} // namespace
} // namespace rovik
