#include "editor/RecordEditorWindow.h"
#include "gui/EditorWindowFixture.h"
#include "support/GuiSteps.h"

#include <QClipboard>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <algorithm>

namespace rovik {
namespace {

using test::titleText;
using test::u;

// Ten category A names A1..A10 and three category B names B1..B3, then the records.
std::string categoryTitle(const std::string& records) {
    std::string text = "tTitle\tCats\t3\t3\r\n";
    for (int k = 1; k <= 10; ++k)
        text += "dBunrui\tA" + std::to_string(k) + "\r\n";
    for (int k = 1; k <= 3; ++k)
        text += "sBunrui\tB" + std::to_string(k) + "\r\n";
    return text + records;
}

void typeKey(QWidget* widget, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

class RecordEditorWindowTest : public test::EditorWindowTest {
protected:
    // The editor as the data list window opens it, on grid row `row`.
    std::unique_ptr<TForm4> openEditor(int row) {
        selectRecord(row);
        form.logic().setCurrentRecordRow(row);
        return std::make_unique<TForm4>(form.logic(), prompter, &form);
    }
};

TEST_F(RecordEditorWindowTest, ControlsStandAtTheirPlaces) {
    openText("a.txt", titleText("T", 2));
    auto editor = openEditor(1);
    const struct {
        const char* name;
        QRect place;
    } places[] = {
        {"ComboBox1", {8, 24, 145, 20}}, {"ComboBox2", {168, 24, 145, 20}}, {"Panel1", {328, 0, 297, 65}},
        {"Memo1", {8, 88, 200, 115}},    {"Memo2", {216, 88, 200, 115}},    {"Memo3", {424, 88, 200, 115}},
        {"Button6", {160, 210, 75, 25}}, {"Button1", {240, 210, 75, 25}},   {"Button3", {320, 210, 75, 25}},
        {"Button2", {400, 210, 75, 25}}, {"Button4", {232, 244, 73, 25}},   {"Button5", {328, 244, 73, 25}},
    };
    for (const auto& p : places) {
        auto* widget = editor->findChild<QWidget*>(p.name);
        ASSERT_NE(nullptr, widget) << p.name;
        EXPECT_EQ(p.place, widget->geometry()) << p.name;
    }
    const struct {
        const char* name;
        const char* text;
        QPoint at;
    } labels[] = {{"Label3", "分類A：", {8, 8}},
                  {"Label4", "分類B：", {168, 8}},
                  {"Label1", "質問：", {8, 72}},
                  {"Label2", "解答：", {216, 72}},
                  {"Label5", "参考：", {424, 72}},
                  {"Label8", "ﾀｲﾄﾙ：T", {8, 8}},
                  {"Label6", "ﾚｺｰﾄﾞNo./総数=1/2", {8, 27}},
                  {"Label7", "文字総数=5", {8, 45}}};
    for (const auto& l : labels) {
        auto* label = editor->findChild<QLabel*>(l.name);
        ASSERT_NE(nullptr, label) << l.name;
        EXPECT_EQ(u(l.text), label->text()) << l.name;
        EXPECT_EQ(l.at, label->pos()) << l.name;
    }
    EXPECT_EQ(editor->Panel1, editor->Label8->parentWidget());
    EXPECT_EQ(QSize(634, 292), editor->Panel1->parentWidget()->size());
    EXPECT_EQ(editor->Panel1->parentWidget(), editor->StatusBar1->parentWidget());
    EXPECT_EQ(292, editor->StatusBar1->geometry().bottom() + 1);
    EXPECT_EQ(12, editor->font().pixelSize());
    EXPECT_EQ((QStringList{u("新　規(&S)"), u("登  録(&R)"), u("追  加(&A)"), u("閉じる(&C)"),
                           u("前ﾚｺｰﾄﾞ(&F)"), u("次ﾚｺｰﾄﾞ(&N)")}),
              (QStringList{editor->Button6->text(), editor->Button1->text(), editor->Button3->text(),
                           editor->Button2->text(), editor->Button4->text(), editor->Button5->text()}));
    EXPECT_TRUE(editor->ComboBox1->isEditable());
    EXPECT_TRUE(editor->Memo1->tabChangesFocus());
    EXPECT_EQ(Qt::Dialog, editor->windowType());
    EXPECT_TRUE(editor->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(editor->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    ASSERT_NE(nullptr, editor->findChild<QShortcut*>("HelpKey"));
    EXPECT_EQ(QKeySequence(Qt::Key_F1), editor->findChild<QShortcut*>("HelpKey")->key());
}

TEST_F(RecordEditorWindowTest, TabOrderHintsAndMenus) {
    openText("a.txt", titleText("T", 2));
    auto editor = openEditor(1);
    QWidget* expected[] = {editor->Memo1,   editor->Memo2,     editor->Memo3,    editor->Button6,
                           editor->Button1, editor->Button3,   editor->Button2,  editor->Button4,
                           editor->Button5, editor->ComboBox1, editor->ComboBox2};
    // The next of these controls in the focus chain (labels and inner widgets are passed over).
    auto nextControl = [&](QWidget* from) {
        for (QWidget* w = from->nextInFocusChain(); w != from; w = w->nextInFocusChain())
            if (std::find(std::begin(expected), std::end(expected), w) != std::end(expected)) return w;
        return from;
    };
    for (size_t i = 0; i + 1 < std::size(expected); ++i)
        EXPECT_EQ(expected[i + 1], nextControl(expected[i])) << i;

    const std::pair<QPushButton*, const char*> hints[] = {
        {editor->Button1, "表示中のデータを上書き登録します。"},
        {editor->Button3, "表示中のデータを最終へ追加登録します。"},
        {editor->Button6, "データを新規に作成します。"},
        {editor->Button2, "画面を閉じます。"},
        {editor->Button4, "１つ前のレコードを表示します。"},
        {editor->Button5, "次のレコードを表示します。"}};
    for (const auto& [button, hint] : hints)
        EXPECT_EQ(u(hint), button->statusTip()) << hint;
    EXPECT_EQ(u("表示中のデータを上書き登録します。"), editor->Button1->toolTip());
    EXPECT_EQ(u("表示中のデータを最終へ追加登録します。"), editor->Button3->toolTip());
    EXPECT_EQ(QString(), editor->Button6->toolTip());

    const struct {
        QAction* action;
        const char* name;
        const char* caption;
        const char* hint;
        bool enabled;
    } items[] = {{editor->Exit1, "Exit1", "閉じる(&X)", "画面を閉じます。", true},
                 {editor->Copy1, "Copy1", "ｺﾋﾟｰ(&C)", "選択部分をコピーします。", true},
                 {editor->P1, "P1", "貼付け(&P)", "コピー内容を貼り付けます。", false},
                 {editor->R1, "R1", "ﾚｺｰﾄﾞｺﾋﾟｰ(&R)", "表示中のレコードをコピーします。", true},
                 {editor->H1, "H1", "ﾚｺｰﾄﾞ貼付け(&H)", "コピーされたレコードを追加します。", false},
                 {editor->Copy2, "Copy2", "ｺﾋﾟｰ", "", true},
                 {editor->N2, "N2", "貼付け", "", false}};
    for (const auto& item : items) {
        EXPECT_EQ(item.action, editor->findChild<QAction*>(item.name));
        EXPECT_EQ(u(item.caption), item.action->text()) << item.name;
        EXPECT_EQ(u(item.hint), item.action->statusTip()) << item.name;
        EXPECT_EQ(item.enabled, item.action->isEnabled()) << item.name;
    }
    EXPECT_EQ(u("ﾌｧｲﾙ(&F)"), editor->File1->title());
    EXPECT_EQ(u("編集(&E)"), editor->Edit3->title());
    EXPECT_EQ((QStringList{"Exit1"}), test::menuSequence(editor->File1));
    EXPECT_EQ((QStringList{"Copy1", "P1", "-", "R1", "H1"}), test::menuSequence(editor->Edit3));
    EXPECT_EQ((QStringList{"Copy2", "N2"}), test::menuSequence(editor->PopupMenu1));
    EXPECT_EQ(Qt::CustomContextMenu, editor->Memo3->contextMenuPolicy());

    editor->R1->showStatusText(editor.get());
    EXPECT_EQ(u("表示中のレコードをコピーします。"), editor->StatusBar1->currentMessage());
}

TEST_F(RecordEditorWindowTest, A3CodeIsShownAndStoredUnchanged) {
    openText("a.txt", categoryTitle("A3\tq\ta\tr\t0\r\n"));
    auto editor = openEditor(1);
    EXPECT_EQ(11, editor->ComboBox1->count());
    EXPECT_EQ(u("---（選択不可）"), editor->ComboBox1->itemText(0));
    EXPECT_EQ(u("なし"), editor->ComboBox2->itemText(0));
    EXPECT_EQ(10, editor->ComboBox1->currentIndex());
    EXPECT_EQ(u("A10"), editor->ComboBox1->currentText());
    EXPECT_EQ(u("B3"), editor->ComboBox2->currentText());
    EXPECT_EQ(u("q"), editor->Memo1->toPlainText());
    editor->Memo2->setPlainText(u("changed"));
    editor->Button1->click();
    EXPECT_EQ("A3\tq\tchanged\tr\t0", lines()[14]);
    EXPECT_EQ(u("changed"), cell(0, 2));
    EXPECT_FALSE(form.logic().set().saved);
}

TEST_F(RecordEditorWindowTest, NoneAndNotSelectableAndTypedCategoryTexts) {
    openText("a.txt", categoryTitle("A3\tq\ta\tr\t0\r\n"));
    auto editor = openEditor(1);
    editor->ComboBox1->setCurrentIndex(0);
    editor->ComboBox2->setCurrentIndex(0);
    editor->Button1->click();
    EXPECT_EQ("10\tq\ta\tr\t0", lines()[14]);

    editor->ComboBox1->setCurrentIndex(5);
    editor->ComboBox2->setCurrentIndex(2);
    editor->Button1->click();
    EXPECT_EQ("52\tq\ta\tr\t0", lines()[14]);

    editor->ComboBox1->setEditText(u("no such category"));
    editor->ComboBox2->lineEdit()->selectAll();
    editor->ComboBox2->lineEdit()->insert(u("typed"));
    editor->Button1->click();
    EXPECT_EQ("52\tq\ta\tr\t0", lines()[14]);

    editor->ComboBox1->setEditText(u("A7"));
    editor->Button1->click();
    EXPECT_EQ("72\tq\ta\tr\t0", lines()[14]);
}

TEST_F(RecordEditorWindowTest, TooLongTheCountTurnsRedAndTheStoreIsRefused) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor(1);
    EXPECT_EQ(QColor(Qt::black), editor->Label7->palette().color(QPalette::WindowText));
    editor->Memo1->setPlainText(QString(200, QLatin1Char('q')));
    editor->Memo2->setPlainText(QString(90, QLatin1Char('a')));
    editor->Memo3->setPlainText(QString(10, QLatin1Char('r')));
    EXPECT_EQ(u("文字総数=5"), editor->Label7->text()); // not while typing
    prompter.expectMessage("この変更はできません。4行目が読み込めない行になります。\n11\t" +
                               std::string(57, 'q') + "…\nレコードが長すぎます。最大306文字です。",
                           "確認", Buttons::Ok, Icon::Warning);
    editor->Button1->click();
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(u("文字総数=300 (文字総数は最大299文字(半角)です。)"), editor->Label7->text());
    EXPECT_EQ(QColor(Qt::red), editor->Label7->palette().color(QPalette::WindowText));
    EXPECT_EQ("11\tTq1\ta\tr\t0", lines()[3]);
    editor->Memo1->setPlainText(u("日本"));
    editor->Memo2->setPlainText(u("ab"));
    editor->Memo3->clear();
    editor->Button1->click();
    EXPECT_EQ(u("文字総数=6"), editor->Label7->text());
    EXPECT_EQ(QColor(Qt::black), editor->Label7->palette().color(QPalette::WindowText));
}

TEST_F(RecordEditorWindowTest, NewThenAddAppendsTheRecordAsTheLastRow) {
    openText("a.txt", titleText("T", 2) + titleText("U", 1));
    auto editor = openEditor(1);
    editor->Button6->click();
    EXPECT_TRUE(editor->Memo1->toPlainText().isEmpty());
    EXPECT_FALSE(editor->Button1->isEnabled());
    EXPECT_FALSE(editor->Button3->isEnabled());
    EXPECT_EQ(u("ﾚｺｰﾄﾞNo./総数="), editor->Label6->text());
    EXPECT_EQ(u("文字総数="), editor->Label7->text());
    editor->Memo1->setPlainText(u("新しい質問"));
    EXPECT_FALSE(editor->Button3->isEnabled());
    editor->Memo2->setPlainText(u("答え"));
    EXPECT_TRUE(editor->Button3->isEnabled());
    editor->Button3->click();
    EXPECT_EQ((QStringList{u("Tq1"), u("Tq2"), u("新しい質問")}), column(1));
    EXPECT_EQ("tTitle\tU\t3\t3", lines()[6]);
    EXPECT_EQ(u("ﾚｺｰﾄﾞNo./総数=3/3"), editor->Label6->text());
    EXPECT_TRUE(editor->Button4->isEnabled());
    EXPECT_FALSE(editor->Button5->isEnabled());
    EXPECT_TRUE(editor->Button1->isEnabled());
    EXPECT_EQ(3, form.logic().currentRecordRow());
}

TEST_F(RecordEditorWindowTest, RecordCopyNextRecordPasteStoreCopiesRow2OverRow3) {
    openText("a.txt", categoryTitle("11\tq1\ta1\tr1\t0\r\nA3\tq2\ta2\tr2\t0\r\n22\tq3\ta3\tr3\t0\r\n"));
    auto editor = openEditor(2);
    emit editor->Edit3->aboutToShow();
    EXPECT_FALSE(editor->H1->isEnabled());
    editor->R1->trigger();
    EXPECT_EQ(u("A3\tq2\ta2\tr2\t0"), QGuiApplication::clipboard()->text());
    editor->Button5->click();
    EXPECT_EQ(u("q3"), editor->Memo1->toPlainText());
    emit editor->Edit3->aboutToShow();
    EXPECT_TRUE(editor->H1->isEnabled());
    editor->H1->trigger();
    EXPECT_EQ(u("A10"), editor->ComboBox1->currentText());
    editor->Button1->click();
    EXPECT_EQ("A3\tq2\ta2\tr2\t0", lines()[16]);
    EXPECT_EQ((QStringList{u("q1"), u("q2"), u("q2")}), column(1));
}

TEST_F(RecordEditorWindowTest, PasteCleansTheClipboardIntoTheFocusedBox) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor(1);
    editor->show();
    QGuiApplication::clipboard()->setText(u("a\tb\r\nc"));
    emit editor->Edit3->aboutToShow();
    EXPECT_TRUE(editor->P1->isEnabled());
    editor->Memo2->setFocus();
    editor->Memo2->selectAll();
    editor->P1->trigger();
    EXPECT_EQ(u("abc"), editor->Memo2->toPlainText());
    EXPECT_EQ(u("abc"), QGuiApplication::clipboard()->text());
    QGuiApplication::clipboard()->clear();
    emit editor->Edit3->aboutToShow();
    EXPECT_FALSE(editor->P1->isEnabled());
}

TEST_F(RecordEditorWindowTest, EnterStartsNoNewLineAndStoredTextsHoldNoTab) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor(1);
    editor->show();
    editor->Memo1->setFocus();
    editor->Memo1->moveCursor(QTextCursor::End);
    typeKey(editor->Memo1, Qt::Key_Return, u("\r"));
    typeKey(editor->Memo1, Qt::Key_Enter, u("\r"));
    typeKey(editor->Memo1, Qt::Key_X, u("x"));
    EXPECT_EQ(u("Tq1x"), editor->Memo1->toPlainText());
    editor->Memo3->setPlainText(u("with\ttab\nand line"));
    editor->Button1->click();
    EXPECT_EQ("11\tTq1x\ta\twithtaband line\t0", lines()[3]);
    EXPECT_EQ(4u, lines().size());
}

TEST_F(RecordEditorWindowTest, ACharacterShiftJisCannotHoldIsReported) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor(1);
    editor->Memo1->setPlainText(u("한"));
    prompter.expectMessage("「한」はShift-JISにない文字のため、登録できません。", "確認", Buttons::Ok,
                           Icon::Warning);
    editor->Button1->click();
    EXPECT_EQ("11\tTq1\ta\tr\t0", lines()[3]);
    EXPECT_TRUE(form.logic().set().saved);
}

TEST_F(RecordEditorWindowTest, DoubleClickOpensTheEditorAndItsRowComesBack) {
    openText("a.txt", titleText("T", 3));
    QString caption;
    test::onNextModal([&](QWidget* dialog) {
        auto* editor = qobject_cast<TForm4*>(dialog);
        ASSERT_NE(nullptr, editor);
        caption = editor->windowTitle();
        EXPECT_EQ(u("Tq2"), editor->Memo1->toPlainText());
        editor->Button5->click();
        editor->Button2->click();
    });
    selectRecord(2);
    emit form.StringGrid1->doubleClicked(records()->index(1, 1));
    EXPECT_EQ(u("Rovik(ﾚｺｰﾄﾞ編集) - T"), caption);
    EXPECT_EQ(3, recordRow());
}

TEST_F(RecordEditorWindowTest, EveryWayOfClosingAsksAboutTypedText) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor(1);
    editor->show();
    editor->Memo2->setPlainText(u("typed"));
    prompter.expectMessage("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question, Answer::Cancel);
    editor->Button2->click();
    prompter.expectMessage("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question, Answer::Cancel);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(editor.get(), &escape);
    prompter.expectMessage("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question, Answer::Cancel);
    EXPECT_FALSE(editor->close()); // the close box
    EXPECT_TRUE(editor->isVisible());
    EXPECT_TRUE(prompter.done());
    prompter.expectMessage("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question, Answer::Yes);
    editor->Exit1->trigger();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ("11\tTq1\ttyped\tr\t0", lines()[3]);
}

// Qt's own paste (Ctrl+V, the box's menu, a drop) gives LF line ends and tabs: every one is
// dropped, as on store, so the boxes never show what would split the record's line.
TEST_F(RecordEditorWindowTest, PastingIntoABoxDropsTabsAndLineBreaks) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor(1);
    for (QPlainTextEdit* box : {editor->Memo1, editor->Memo2, editor->Memo3}) {
        box->clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("a\nb\tc\r\nd\re"));
        box->paste();
        EXPECT_EQ(QStringLiteral("abcde"), box->toPlainText()) << box->objectName().toStdString();
    }
}

} // namespace
} // namespace rovik
