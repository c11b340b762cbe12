// The quiz window driven offscreen: its controls, the opening flow, whole runs through the real
// buttons and dialogs, the line settings and the quiz selection line written on close.
#include "FakeOpener.h"
#include "app/LauncherWindow.h"
#include "gui/AboutBox.h"
#include "gui/Announcer.h"
#include "quiz/LineSettingsDialog.h"
#include "quiz/QuizWindow.h"
#include "quiz/TitleSelectDialog.h"
#include "settings/ProgramValues.h"
#include "support/GuiSteps.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>

// What QTest's key clicks use to let the shortcut map see a key first.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text = QString(), bool autorep = false,
                                               ushort count = 1);

namespace rovik {
namespace {

using test::click;
using test::onNextModalDialog;
using test::ScriptedPrompter;

const char* kRetry1 = "1問不正解です。\n不正解の問題をもう一度やりますか？";
const char* kContinue = "続けますか？\n\nはい  ：次の出題\nいいえ：終了する";

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A title whose records are "CODE\tQn\tAn\tRn\t0"; codes cycle through `codes`.
std::string titleBlock(const std::string& name, int records, std::vector<std::string> codes = {"11"}) {
    std::string text =
        "tTitle\t" + name + "\t3\t3\r\ndBunrui\tA1\r\ndBunrui\tA2\r\nsBunrui\tB1\r\nsBunrui\tB2\r\n";
    for (int n = 1; n <= records; ++n) {
        const std::string k = std::to_string(n);
        text += codes[size_t(n - 1) % codes.size()] + "\tQ" + k + "\tA" + k + "\tR" + k + "\t0\r\n";
    }
    return text;
}

// Clicks row `row` of the title selection dialog, as the user does.
void clickTitleRow(QWidget* dialog, int row) {
    auto* form6 = qobject_cast<TForm6*>(dialog);
    ASSERT_NE(nullptr, form6);
    QTableWidget* grid = form6->StringGrid1;
    click(grid->viewport(), grid->visualRect(grid->model()->index(row, 0)).center());
}

struct QuizWindowTest : ::testing::Test {
    QuizWindowTest() {
        saved = programValues();
        programValues().startFolder = folder.path();
        programValues().settings = {"", ""};
    }
    ~QuizWindowTest() override { programValues() = saved; }

    // A new window over RovikQA.TXT; the title dialog gets row `row` clicked (none: closed).
    std::unique_ptr<TForm2> openWindow(const std::string& quizText, std::optional<int> row = 0) {
        folder.write("RovikQA.TXT", quizText);
        auto form = std::make_unique<TForm2>();
        form->setPrompter(&prompter);
        answerTitleDialog(row);
        form->FormActivate();
        return form;
    }
    void answerTitleDialog(std::optional<int> row) {
        onNextModalDialog([row](QWidget* dialog) {
            if (row) clickTitleRow(dialog, *row);
        });
    }
    static void press(QPushButton* button) {
        ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        button->click();
    }
    // 解答, then 正解 or 不正解.
    static void answer(TForm2& form, bool right) {
        press(form.Button2);
        press(right ? form.Button3 : form.Button4);
    }
    static std::string text(QPlainTextEdit* area) { return area->toPlainText().toStdString(); }
    static void expectIdle(TForm2& form) {
        for (QWidget* w : std::initializer_list<QWidget*>{form.ComboBox1, form.ComboBox2, form.ComboBox3,
                                                          form.ComboBox4, form.ComboBox5, form.ComboBox6,
                                                          form.Button1, form.Button6, form.Button5})
            EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
        for (QPushButton* b : {form.Button2, form.Button3, form.Button4})
            EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
        for (QPlainTextEdit* m : {form.Memo1, form.Memo2, form.Memo3, form.Memo4})
            EXPECT_EQ("", text(m)) << m->objectName().toStdString();
    }

    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
    ProgramValues saved;
    ScriptedPrompter prompter;
};

TEST_F(QuizWindowTest, ControlsHaveTheirTextsAndPlaces) {
    TForm2 form;
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ)"), form.windowTitle());
    const struct {
        const char* label;
        const char* labelText;
        QPoint labelAt;
        const char* box;
        QStringList entries;
        QRect boxPlace;
    } boxes[] = {
        {"Label1", "分類A", {8, 8}, "ComboBox1", {u("すべて")}, {8, 24, 89, 21}},
        {"Label2", "分類B", {104, 8}, "ComboBox2", {u("すべて")}, {104, 24, 89, 21}},
        {"Label3", "逆質問", {200, 8}, "ComboBox3", {u("正質問"), u("逆質問")}, {200, 24, 89, 21}},
        {"Label4", "出題順", {8, 48}, "ComboBox4", {u("順番"), u("ﾗﾝﾀﾞﾑ")}, {8, 64, 89, 21}},
        {"Label5", "対象", {104, 48}, "ComboBox5", {u("すべて"), u("誤答のみ")}, {104, 64, 89, 21}},
        {"Label6",
         "分割",
         {200, 48},
         "ComboBox6",
         {u("分割なし"), u("5問づつ"), u("10問づつ"), u("15問づつ"), u("20問づつ")},
         {200, 64, 89, 21}},
    };
    for (const auto& b : boxes) {
        auto* label = form.findChild<QLabel*>(b.label);
        ASSERT_NE(nullptr, label) << b.label;
        EXPECT_EQ(u(b.labelText), label->text());
        EXPECT_EQ(b.labelAt, label->pos()) << b.label;
        EXPECT_EQ(13, label->font().pixelSize());
        auto* box = form.findChild<QComboBox*>(b.box);
        ASSERT_NE(nullptr, box) << b.box;
        EXPECT_FALSE(box->isEditable()) << b.box;
        QStringList entries;
        for (int i = 0; i < box->count(); ++i)
            entries << box->itemText(i);
        EXPECT_EQ(b.entries, entries) << b.box;
        EXPECT_EQ(-1, box->currentIndex()) << b.box;
        EXPECT_EQ(b.boxPlace, box->geometry()) << b.box;
        EXPECT_EQ(13, box->font().pixelSize());
        EXPECT_TRUE(box->focusPolicy() & Qt::TabFocus) << b.box;
    }
    const struct {
        const char* name;
        QRect place;
    } areas[] = {{"Memo1", {10, 96, 191, 25}},
                 {"Memo2", {10, 128, 279, 57}},
                 {"Memo3", {10, 192, 279, 57}},
                 {"Memo4", {10, 256, 279, 57}}};
    for (const auto& a : areas) {
        auto* memo = form.findChild<QPlainTextEdit*>(a.name);
        ASSERT_NE(nullptr, memo) << a.name;
        EXPECT_EQ(a.place, memo->geometry()) << a.name;
        EXPECT_TRUE(memo->isReadOnly()) << a.name;
        EXPECT_EQ(16, memo->font().pixelSize());
        EXPECT_FALSE(memo->focusPolicy() & Qt::TabFocus) << a.name;
    }
    const struct {
        const char* name;
        const char* text;
        QRect place;
        bool enabled;
    } buttons[] = {
        {"Button1", "開始(&E)", {208, 96, 75, 25}, true},
        {"Button2", "解答(&A)", {16, 320, 75, 25}, false},
        {"Button3", "正解(&S)", {112, 320, 75, 25}, false},
        {"Button4", "不正解(&D)", {208, 320, 75, 25}, false},
        {"Button5", "中止(&X)", {32, 360, 75, 25}, true},
        {"Button6", "タイトル選択(&C)", {120, 360, 145, 25}, true},
    };
    for (const auto& b : buttons) {
        auto* button = form.findChild<QPushButton*>(b.name);
        ASSERT_NE(nullptr, button) << b.name;
        EXPECT_EQ(u(b.text), button->text()) << b.name;
        EXPECT_EQ(b.place, button->geometry()) << b.name;
        EXPECT_EQ(b.enabled, button->isEnabled()) << b.name;
    }
    EXPECT_EQ(QKeySequence(Qt::ALT | Qt::Key_E), form.Button1->shortcut());
    EXPECT_EQ(QKeySequence(), form.Button5->shortcut()) << "Alt+X is the menu's";
    auto* status = form.findChild<QStatusBar*>("StatusBar");
    ASSERT_NE(nullptr, status);
    EXPECT_EQ(22, status->height());
    form.show();
    EXPECT_EQ(QSize(297, 416), QSize(form.width(), form.height() - form.SDIAppMenu->height()));
    EXPECT_EQ(416 - 22, status->y() - form.SDIAppMenu->height());
}

TEST_F(QuizWindowTest, MenuItemsHaveTheirCaptionsHintsAndShortcut) {
    TForm2 form;
    const struct {
        const char* menu;
        const char* menuCaption;
        const char* name;
        const char* caption;
        const char* hint;
    } items[] = {
        {"FileMenu", "ﾌｧｲﾙ(&F)", "OpenItem", "開く・ﾃｷｽﾄ(&O)...", "ﾌｧｲﾙを開きます。"},
        {"FileMenu", "ﾌｧｲﾙ(&F)", "PDBP1", "開く・PDB(&P)...", ""},
        {"FileMenu", "ﾌｧｲﾙ(&F)", "T1", "ﾀｲﾄﾙ選択(&T)...", "タイトルを選択します。"},
        {"FileMenu", "ﾌｧｲﾙ(&F)", "S1", "行数設定(&S)...", "質問、解答の表示行数を設定します。"},
#ifdef ROVIK_HISTORY
        {"FileMenu", "ﾌｧｲﾙ(&F)", "Statistics1", "統計…", "練習の履歴をグラフと表で表示します。"},
#endif
        {"FileMenu", "ﾌｧｲﾙ(&F)", "ExitItem", "閉じる(&X)", "画面を閉じます。"},
        {"Help1", "ﾍﾙﾌﾟ(&H)", "About1", "ﾊﾞｰｼﾞｮﾝ情報(&A)...", ""},
        {"Help1", "ﾍﾙﾌﾟ(&H)", "ReadMe1", "Help(&H)...", ""},
    };
    for (const auto& item : items) {
        auto* menu = form.findChild<QMenu*>(item.menu);
        ASSERT_NE(nullptr, menu) << item.menu;
        EXPECT_EQ(u(item.menuCaption), menu->title());
        auto* action = form.findChild<QAction*>(item.name);
        ASSERT_NE(nullptr, action) << item.name;
        EXPECT_TRUE(menu->actions().contains(action)) << item.name;
        EXPECT_EQ(u(item.caption), action->text()) << item.name;
        EXPECT_EQ(u(item.hint), action->statusTip()) << item.name;
    }
#ifdef ROVIK_HISTORY
    EXPECT_EQ((QStringList{"OpenItem", "PDBP1", "-", "T1", "S1", "-", "Statistics1", "ExitItem"}),
              test::menuSequence(form.FileMenu));
#else
    EXPECT_EQ((QStringList{"OpenItem", "PDBP1", "-", "T1", "S1", "-", "ExitItem"}),
              test::menuSequence(form.FileMenu));
#endif
    EXPECT_EQ((QStringList{"About1", "ReadMe1"}), test::menuSequence(form.Help1));
    EXPECT_EQ((QList<QAction*>{form.FileMenu->menuAction(), form.Help1->menuAction()}),
              form.SDIAppMenu->actions());
    EXPECT_EQ(QKeySequence(Qt::ALT | Qt::Key_X), form.ExitItem->shortcut());
    EXPECT_FALSE(form.T1->isEnabled()) << "no file loaded yet";
    EXPECT_TRUE(form.S1->isEnabled());
}

TEST_F(QuizWindowTest, MenuHintsReachTheStatusLineUnchanged) {
    TForm2 form;
    form.show();
    form.S1->showStatusText(form.SDIAppMenu);
    EXPECT_EQ(u("質問、解答の表示行数を設定します。"), form.StatusBar->currentMessage());
}

TEST_F(QuizWindowTest, OpeningLoadsTheTitleChosenInTheDialog) {
    QStringList rows;
    QString dialogTitle;
    folder.write("RovikQA.TXT", titleBlock("T1", 3) + titleBlock("T2", 4));
    TForm2 form;
    form.setPrompter(&prompter);
    onNextModalDialog([&](QWidget* dialog) {
        auto* grid = dialog->findChild<QTableWidget*>("StringGrid1");
        ASSERT_NE(nullptr, grid);
        dialogTitle = dialog->windowTitle();
        for (int r = 0; r < grid->rowCount(); ++r)
            rows << grid->item(r, 0)->text();
        clickTitleRow(dialog, 1);
    });
    form.FormActivate();
    EXPECT_EQ(u("ﾀｲﾄﾙ選択"), dialogTitle);
    EXPECT_EQ(QStringList({u("T1"), u("T2")}), rows);
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - T2"), form.windowTitle());
    EXPECT_EQ(4, form.logic().engine().questionCount());
    EXPECT_TRUE(form.T1->isEnabled());
    EXPECT_EQ(
        QStringList({u("すべて"), u("A1"), u("A2")}),
        QStringList({form.ComboBox1->itemText(0), form.ComboBox1->itemText(1), form.ComboBox1->itemText(2)}));
    EXPECT_EQ(3, form.ComboBox2->count());
    for (QComboBox* box :
         {form.ComboBox1, form.ComboBox2, form.ComboBox3, form.ComboBox4, form.ComboBox5, form.ComboBox6})
        EXPECT_EQ(0, box->currentIndex()) << box->objectName().toStdString();
    EXPECT_EQ(nullptr, QApplication::overrideCursor());
}

TEST_F(QuizWindowTest, FullRunWithAWrongAnswerAndItsRetry) {
    auto form = openWindow(titleBlock("T1", 5));
    press(form->Button1);
    EXPECT_EQ("(1/5)", text(form->Memo1));
    EXPECT_EQ("Q1", text(form->Memo2));
    EXPECT_TRUE(form->Button2->isEnabled());
    EXPECT_FALSE(form->Button3->isEnabled());
    EXPECT_FALSE(form->Button4->isEnabled());
    for (QWidget* w :
         std::initializer_list<QWidget*>{form->ComboBox1, form->ComboBox6, form->Button1, form->Button6})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(form->Button5->isEnabled());

    press(form->Button2);
    EXPECT_EQ("A1", text(form->Memo3));
    EXPECT_EQ("R1", text(form->Memo4));
    EXPECT_FALSE(form->Button2->isEnabled());
    EXPECT_TRUE(form->Button3->isEnabled());
    EXPECT_TRUE(form->Button4->isEnabled());
    press(form->Button3);
    EXPECT_EQ("(2/5)", text(form->Memo1));
    EXPECT_EQ("Q2", text(form->Memo2));
    EXPECT_EQ("", text(form->Memo3));
    answer(*form, false);
    answer(*form, true);
    answer(*form, true);
    prompter.expectMessage(kRetry1, "", Buttons::YesNo, Icon::None, Answer::Yes);
    answer(*form, true);
    EXPECT_EQ("(1/1)", text(form->Memo1));
    EXPECT_EQ("Q2", text(form->Memo2));
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    answer(*form, true);
    expectIdle(*form);
    EXPECT_EQ(0, form->logic().engine().mark(form->logic().engine().questionLine(2)));
}

TEST_F(QuizWindowTest, TenQuestionChunks) {
    auto form = openWindow(titleBlock("T1", 25));
    form->ComboBox6->setCurrentIndex(2);
    press(form->Button1);
    for (int chunk = 0; chunk < 3; ++chunk) {
        const int size = chunk < 2 ? 10 : 5;
        for (int i = 1; i <= size; ++i) {
            EXPECT_EQ("(" + std::to_string(i) + "/" + std::to_string(size) + ")", text(form->Memo1));
            EXPECT_EQ("Q" + std::to_string(chunk * 10 + i), text(form->Memo2));
            if (i == size) {
                if (chunk < 2)
                    prompter.expectMessage(kContinue, "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
                else
                    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None,
                                           Answer::Yes);
            }
            answer(*form, true);
        }
    }
    expectIdle(*form);
    EXPECT_EQ(2, form->ComboBox6->currentIndex()) << "the boxes keep their entries after a run";
}

TEST_F(QuizWindowTest, ReverseQuestionAsksTheAnswerItem) {
    auto form = openWindow(titleBlock("T1", 2));
    form->ComboBox3->setCurrentIndex(1);
    press(form->Button1);
    EXPECT_EQ("A1", text(form->Memo2));
    press(form->Button2);
    EXPECT_EQ("Q1", text(form->Memo3));
    EXPECT_EQ("R1", text(form->Memo4));
    press(form->Button5);
    expectIdle(*form);
}

TEST_F(QuizWindowTest, WrongOnlyAfterAWrongAnswer) {
    auto form = openWindow(titleBlock("T1", 4));
    form->ComboBox5->setCurrentIndex(1);
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    press(form->Button1);
    expectIdle(*form);

    form->ComboBox5->setCurrentIndex(0);
    press(form->Button1);
    answer(*form, true);
    answer(*form, true);
    answer(*form, false);
    prompter.expectMessage(kRetry1, "", Buttons::YesNo, Icon::None, Answer::No);
    answer(*form, true);
    expectIdle(*form);

    form->ComboBox5->setCurrentIndex(1);
    press(form->Button1);
    EXPECT_EQ("(1/1)", text(form->Memo1));
    EXPECT_EQ("Q3", text(form->Memo2));
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    answer(*form, true);
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    press(form->Button1);
}

TEST_F(QuizWindowTest, CategoryBoxesSelectByCode) {
    auto form = openWindow(titleBlock("T1", 6, {"11", "21", "12"}));
    form->ComboBox1->setCurrentIndex(2); // codes beginning with 2: questions 2 and 5
    press(form->Button1);
    EXPECT_EQ("(1/2)", text(form->Memo1));
    EXPECT_EQ("Q2", text(form->Memo2));
    answer(*form, true);
    EXPECT_EQ("Q5", text(form->Memo2));
    press(form->Button5);
    form->ComboBox1->setCurrentIndex(0);
    form->ComboBox2->setCurrentIndex(2); // codes ending in 2: questions 3 and 6
    press(form->Button1);
    EXPECT_EQ("(1/2)", text(form->Memo1));
    EXPECT_EQ("Q3", text(form->Memo2));
}

TEST_F(QuizWindowTest, ChoosingATitleResetsTheBoxesAndStopsARun) {
    auto form = openWindow(titleBlock("T1", 3) + titleBlock("T2", 2));
    form->ComboBox4->setCurrentIndex(1);
    form->ComboBox6->setCurrentIndex(3);
    answerTitleDialog(1);
    form->T1->trigger(); // the menu item stays usable during a run; here idle
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - T2"), form->windowTitle());
    EXPECT_EQ(0, form->ComboBox4->currentIndex());
    EXPECT_EQ(0, form->ComboBox6->currentIndex());
    press(form->Button1);
    answerTitleDialog(0);
    form->T1->trigger();
    expectIdle(*form);
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - T1"), form->windowTitle());
}

TEST_F(QuizWindowTest, OpenTextRefusesOtherSpellingsSilently) {
    auto form = openWindow(titleBlock("T1", 3));
    prompter.expectOpen(folder.write("Q.Txt", titleBlock("X", 1)), "TXT file (*.txt)|*.TXT");
    form->OpenItem->trigger();
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - T1"), form->windowTitle());
    prompter.expectOpen(folder.write("second.txt", titleBlock("S", 2)), "TXT file (*.txt)|*.TXT");
    answerTitleDialog(0);
    form->OpenItem->trigger();
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - S"), form->windowTitle());
    EXPECT_EQ(2, form->logic().engine().questionCount());
}

TEST_F(QuizWindowTest, LineSettingsDivideTheTextSpace) {
    auto form = openWindow(titleBlock("T1", 1));
    struct Step {
        int q, a;
        bool cancel;
    };
    auto settle = [&](Step step) {
        int shownQ = 0, shownA = 0;
        onNextModalDialog([&](QWidget* dialog) {
            auto* form8 = qobject_cast<TForm8*>(dialog);
            ASSERT_NE(nullptr, form8);
            shownQ = form8->UpDown1->value();
            shownA = form8->UpDown2->value();
            form8->UpDown1->setValue(step.q);
            form8->UpDown2->setValue(step.a);
            if (step.cancel) form8->Button1->click();
        });
        form->S1->trigger();
        return std::make_pair(shownQ, shownA);
    };
    EXPECT_EQ(std::make_pair(3, 3), settle({6, 5, false}));
    EXPECT_EQ(QRect(10, 128, 279, 76), form->Memo2->geometry());
    EXPECT_EQ(QRect(10, 211, 279, 95), form->Memo3->geometry());
    EXPECT_TRUE(form->Memo4->isHidden());

    EXPECT_EQ(std::make_pair(4, 5), settle({2, 2, false}));
    EXPECT_EQ(QRect(10, 128, 279, 38), form->Memo2->geometry());
    EXPECT_EQ(QRect(10, 173, 279, 38), form->Memo3->geometry());
    EXPECT_EQ(QRect(10, 218, 279, 95), form->Memo4->geometry());
    EXPECT_FALSE(form->Memo4->isHidden());

    EXPECT_EQ(std::make_pair(2, 2), settle({8, 1, true}));
    EXPECT_EQ(QRect(10, 128, 279, 38), form->Memo2->geometry()) << "キャンセル keeps the layout";
    EXPECT_EQ(QRect(10, 218, 279, 95), form->Memo4->geometry());
    EXPECT_EQ(2, form->lineLayout().questionLines);

    EXPECT_EQ(std::make_pair(2, 2), settle({5, 5, false}));
    EXPECT_EQ(4, form->lineLayout().questionLines);
    EXPECT_EQ(5, form->lineLayout().answerLines);

    // A reference area of one line shows that line: no scroll bar arrows, no margin above it.
    form->show();
    EXPECT_EQ(std::make_pair(4, 5), settle({5, 3, false}));
    EXPECT_EQ(QRect(10, 294, 279, 19), form->Memo4->geometry());
    form->Memo4->setPlainText(u("参考"));
    QApplication::processEvents();
    EXPECT_FALSE(form->Memo4->verticalScrollBar()->isVisible());
    EXPECT_LE(form->Memo4->document()->documentMargin() + form->Memo4->fontMetrics().ascent(),
              form->Memo4->viewport()->height());
    EXPECT_EQ(Qt::ScrollBarAsNeeded, form->Memo2->verticalScrollBarPolicy()) << "larger areas keep theirs";
}

TEST_F(QuizWindowTest, LineSettingsDialogControls) {
    TForm8 dialog(3, 7);
    EXPECT_EQ(u("行数設定"), dialog.windowTitle());
    EXPECT_EQ(QSize(216, 140), dialog.size());
    EXPECT_EQ(u("質問行数："), dialog.Label1->text());
    EXPECT_EQ(u("解答行数："), dialog.Label2->text());
    EXPECT_EQ(u("キャンセル"), dialog.Button1->text());
    ASSERT_NE(nullptr, dialog.findChild<QLineEdit*>("Edit1"));
    ASSERT_NE(nullptr, dialog.findChild<QLineEdit*>("Edit2"));
    EXPECT_EQ(u("7"), dialog.Edit2->text());
    for (QSpinBox* spin : {dialog.UpDown1, dialog.UpDown2}) {
        EXPECT_EQ(1, spin->minimum());
        EXPECT_EQ(8, spin->maximum());
        EXPECT_FALSE(spin->wrapping());
    }
    dialog.UpDown2->stepUp();
    dialog.UpDown2->stepUp();
    EXPECT_EQ(8, dialog.UpDown2->value()) << "the spin stops at its end";
    dialog.show();
    dialog.close();
    ASSERT_TRUE(dialog.applied()) << "closing by the frame applies";
    EXPECT_EQ(3, dialog.layout().questionLines);
    EXPECT_EQ(6, dialog.layout().answerLines) << "the larger count gives way";
}

// The widgets Tab visits from `from`, in order, until it comes back.
std::vector<QWidget*> tabOrder(QWidget* from) {
    std::vector<QWidget*> order{from};
    for (QWidget* w = from->nextInFocusChain(); w && w != from; w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisibleTo(from->window()))
            order.push_back(w);
    return order;
}

TEST_F(QuizWindowTest, Keyboard_TabVisitsTheOptionBoxesAndButtonsInScreenOrder) {
    auto form = openWindow(titleBlock("T1", 3));
    const std::vector<QWidget*> expected{form->ComboBox1, form->ComboBox2, form->ComboBox3,
                                         form->ComboBox4, form->ComboBox5, form->ComboBox6,
                                         form->Button1,   form->Button5,   form->Button6};
    EXPECT_EQ(expected, tabOrder(form->ComboBox1));
}

TEST_F(QuizWindowTest, Keyboard_EnterInLineSettingsAppliesAndOnlyCancelKeepsTheValues) {
    const struct {
        const char* focus; // widget that has the focus when Enter is pressed
        bool applied;
    } cases[] = {{"UpDown1", true}, {"UpDown2", true}, {"Button1", false}};
    for (const auto& c : cases) {
        TForm8 dialog(3, 3);
        dialog.show();
        dialog.UpDown1->setValue(5);
        dialog.UpDown2->setValue(2);
        auto* target = dialog.findChild<QWidget*>(c.focus);
        ASSERT_NE(nullptr, target) << c.focus;
        target->setFocus();
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_FALSE(dialog.isVisible()) << c.focus;
        EXPECT_EQ(c.applied, dialog.applied()) << c.focus;
        if (c.applied) EXPECT_EQ(5, dialog.layout().questionLines) << c.focus;
    }
}

TEST_F(QuizWindowTest, CategoryListsAreWideEnoughForTheirLongestName) {
    const std::string longA = "Category A named with many more letters than fit";
    const std::string longB = "Category B also far too long for its box";
    auto form = openWindow("tTitle\tT\t3\t3\r\ndBunrui\t" + longA + "\r\nsBunrui\t" + longB +
                           "\r\n11\tQ\tA\tR\t0\r\n");
    const struct {
        QComboBox* box;
        std::string longest;
    } cases[] = {{form->ComboBox1, longA}, {form->ComboBox2, longB}};
    for (const auto& c : cases) {
        const int needed = c.box->fontMetrics().horizontalAdvance(QString::fromStdString(c.longest));
        EXPECT_GT(c.box->view()->minimumWidth(), needed) << c.longest;
        EXPECT_EQ(89, c.box->width()) << "the box itself keeps its place";
    }
}

// The box keeps its place and the list its size; a name wider than the box's text field is shown
// a size smaller rather than cut off.
TEST_F(QuizWindowTest, ANameLikeMountainsRiversLakesShowsWholeInItsBox) {
    auto form = openWindow("tTitle\tT\t3\t3\r\ndBunrui\t山・川・湖\r\nsBunrui\t基本\r\n11\tQ\tA\tR\t0\r\n");
    form->show();
    form->ComboBox1->setCurrentIndex(1);
    QStyleOptionComboBox option;
    option.initFrom(form->ComboBox1);
    const int field =
        form->ComboBox1->style()
            ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, form->ComboBox1)
            .width();
    EXPECT_LE(form->ComboBox1->fontMetrics().horizontalAdvance(u("山・川・湖")), field);
    EXPECT_EQ(89, form->ComboBox1->width());
    EXPECT_EQ(13, form->ComboBox1->view()->font().pixelSize());
    EXPECT_EQ(13, form->ComboBox2->font().pixelSize()) << "a box whose names fit keeps its size";
}

TEST_F(QuizWindowTest, TitleDialogClosedByItsFrameChoosesNothing) {
    TForm6 dialog({"T1", "T2", "T3"});
    EXPECT_EQ(QSize(271, 375), dialog.size());
    EXPECT_EQ(12, dialog.font().pixelSize());
    EXPECT_EQ(3, dialog.StringGrid1->rowCount());
    EXPECT_EQ(1, dialog.StringGrid1->columnCount());
    EXPECT_FALSE(dialog.StringGrid1->horizontalHeader()->isVisible());
    dialog.show();
    dialog.close();
    EXPECT_FALSE(dialog.chosenRow().has_value());
    dialog.show();
    clickTitleRow(&dialog, 2);
    EXPECT_EQ(std::optional<int>(2), dialog.chosenRow());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(QuizWindowTest, ClosingWritesTheSelectionLine) {
    {
        auto form = openWindow(titleBlock("T1", 3) + titleBlock("T2", 2) + titleBlock("T3", 2), 2);
        form->ComboBox4->setCurrentIndex(1);
        form->ComboBox6->setCurrentIndex(2);
        form->show();
        form->ExitItem->trigger();
        EXPECT_FALSE(form->isVisible());
    }
    EXPECT_EQ((std::vector<std::string>{"3\t0\t0\t0\t1\t0\t2", ""}), programValues().settings);
}

TEST_F(QuizWindowTest, ClosingAfterTheDialogWasClosedWithoutChoiceWritesSevenZeros) {
    auto form = openWindow(titleBlock("T1", 3), std::nullopt);
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - RovikQA.TXT"), form->windowTitle());
    form->show();
    form->close();
    EXPECT_EQ("0\t0\t0\t0\t0\t0\t0", programValues().settings[0]);
}

TEST_F(QuizWindowTest, ClosingWithoutAFileWritesNoSelection) {
    programValues().settings.clear();
    TForm2 form;
    form.setPrompter(&prompter);
    prompter.expectMessage(folder.file("RovikQA.TXT"), "ファイルが開けません", Buttons::Ok, Icon::None)
        .expectMessage("サンプルデータを読みます", "", Buttons::YesNo, Icon::None, Answer::No);
    form.FormActivate();
    EXPECT_FALSE(form.T1->isEnabled());
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    press(form.Button1);
    form.show();
    form.close();
    EXPECT_EQ(std::vector<std::string>{"0\t-1\t-1\t-1\t-1\t-1\t-1"}, programValues().settings);
}

TEST_F(QuizWindowTest, SampleDataIsOfferedAndDrilled) {
    folder.write("SampleQA.TXT", titleBlock("S1", 2));
    TForm2 form;
    form.setPrompter(&prompter);
    prompter.expectMessage(folder.file("RovikQA.TXT"), "ファイルが開けません", Buttons::Ok, Icon::None)
        .expectMessage("サンプルデータを読みます", "", Buttons::YesNo, Icon::None, Answer::Yes);
    answerTitleDialog(0);
    form.FormActivate();
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - S1"), form.windowTitle());
    press(form.Button1);
    EXPECT_EQ("Q1", text(form.Memo2));
}

TEST_F(QuizWindowTest, AltXClosesTheWindowEvenThoughStopHasTheSameMnemonic) {
    auto form = openWindow(titleBlock("T1", 3));
    form->show();
    QApplication::setActiveWindow(form.get());
    press(form->Button1);
    EXPECT_TRUE(qt_sendShortcutOverrideEvent(form->windowHandle(), 0, Qt::Key_X, Qt::AltModifier, u("x")));
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ("1\t0\t0\t0\t0\t0\t0", programValues().settings[0]);
}

TEST_F(QuizWindowTest, EscapeDoesNotEndADrill) {
    auto form = openWindow(titleBlock("T1", 3));
    form->show();
    press(form->Button1);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &escape);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Button2->isEnabled());
}

// Enter presses the focused button: after 開始 and after each judgement that is 解答, after 解答
// it is 正解, never 中止.
TEST_F(QuizWindowTest, Keyboard_EnterAfterStartAndEachJudgementAnswers) {
    auto form = openWindow(titleBlock("T1", 3));
    form->show();
    QApplication::setActiveWindow(form.get());
    auto enter = [&form] {
        QWidget* focused = form->focusWidget();
        if (!focused) return std::string("(none)");
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(focused, &key);
        return focused->objectName().toStdString();
    };
    form->Button1->setFocus();
    EXPECT_EQ("Button1", enter());
    for (int question = 1; question <= 2; ++question) {
        SCOPED_TRACE(question);
        EXPECT_EQ("Button2", enter());
        EXPECT_EQ("A" + std::to_string(question), text(form->Memo3));
        EXPECT_EQ("Button3", enter());
    }
    EXPECT_EQ("Button2", enter());
    EXPECT_EQ("(3/3)", text(form->Memo1));
    EXPECT_EQ("A3", text(form->Memo3));
}

TEST_F(QuizWindowTest, OpenPdbLoadsThroughTheTemporaryText) {
    auto form = openWindow(titleBlock("T1", 3));
    // Two records: a title line and one question, offsets after the 78-byte header and list.
    std::string pdb(76, '\0');
    pdb.replace(60, 8, "DataRvk2");
    pdb += std::string("\0\2", 2);
    const std::string r1 = "tTitle\tP\t3\t3\n", r2 = "11\tPQ\tPA\tPR\t0\n";
    for (std::uint32_t offset : {94u, 94u + std::uint32_t(r1.size())})
        pdb += std::string{char(0), char(0), char(0), char(offset)} + std::string(4, '\0');
    pdb += r1 + r2;
    prompter.expectOpen(folder.write("p.pdb", pdb), "PDB file (*.pdb)|*.PDB");
    answerTitleDialog(0);
    form->PDBP1->trigger();
    EXPECT_EQ(u("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - P"), form->windowTitle());
    EXPECT_EQ(u(""), form->StatusBar->currentMessage());
    EXPECT_EQ(nullptr, QApplication::overrideCursor());
    press(form->Button1);
    EXPECT_EQ("PQ", text(form->Memo2));
}

TEST_F(QuizWindowTest, LauncherButton1OpensTheWindowModallyAndDestroysIt) {
    TForm1 launcher;
    launcher.setPrompter(&prompter);
    launcher.show();
    programValues().settings = {"", "/data/a.txt"};
    prompter.expectMessage(folder.file("RovikQA.TXT"), "ファイルが開けません", Buttons::Ok, Icon::None)
        .expectMessage("サンプルデータを読みます", "", Buttons::YesNo, Icon::None, Answer::No);
    QWidget* owner = nullptr;
    bool modal = false;
    bool isQuizWindow = false;
    onNextModalDialog([&](QWidget* window) {
        owner = window->parentWidget();
        modal = window->isModal();
        isQuizWindow = qobject_cast<TForm2*>(window) != nullptr;
        QApplication::processEvents(); // the opening runs once the window is shown
    });
    launcher.Button1->click();
    EXPECT_TRUE(isQuizWindow);
    EXPECT_EQ(&launcher, owner);
    EXPECT_TRUE(modal);
    EXPECT_EQ(nullptr, launcher.findChild<TForm2*>());
    EXPECT_EQ((std::vector<std::string>{"0\t-1\t-1\t-1\t-1\t-1\t-1", "/data/a.txt"}),
              programValues().settings);
}

} // namespace

namespace {

TEST_F(QuizWindowTest, HelpMenuF1AndAboutBox) {
    test::FakeOpener opener;
    TForm2 form;
    form.ReadMe1->trigger();
    opener.handed(1); // each opener runs detached: one at a time keeps their order
    TForm6 titles({"T"});
    TForm8 lines(3, 3);
    const struct {
        QWidget* window;
        const char* topic;
    } windows[] = {{&form, "topic10"}, {&titles, "topic10-title"}, {&lines, "topic10-lines"}};
    int calls = 1;
    for (const auto& w : windows) {
        auto* key = w.window->findChild<QShortcut*>(QStringLiteral("HelpKey"));
        ASSERT_NE(nullptr, key) << w.topic;
        EXPECT_EQ(QKeySequence(Qt::Key_F1), key->key());
        EXPECT_EQ(QString::fromLatin1(w.topic), w.window->property("helpTopic").toString());
        emit key->activated();
        opener.handed(++calls);
    }
    const QStringList handed = opener.handed(4);
    ASSERT_EQ(4, handed.size());
    EXPECT_TRUE(handed[0].endsWith(QStringLiteral("/rovikhelp.html")));
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(QStringLiteral("/help-%1.html").arg(QString::fromLatin1(windows[i - 1].topic)),
                  handed[i].mid(handed[i].lastIndexOf('/')));

    QString aboutTitle;
    onNextModalDialog([&](QWidget* dialog) {
        EXPECT_NE(nullptr, qobject_cast<TAboutBox*>(dialog));
        aboutTitle = dialog->windowTitle();
    });
    form.About1->trigger();
    EXPECT_EQ(u("ﾊﾞｰｼﾞｮﾝ情報"), aboutTitle);
}

} // namespace
} // namespace rovik

namespace rovik {
namespace {

// The areas never take the focus: what the drill shows is handed to screen readers.
TEST_F(QuizWindowTest, DrillStepsAreAnnounced) {
    auto form = openWindow(titleBlock("T", 2));
    auto* announcer = form->findChild<Announcer*>();
    ASSERT_NE(nullptr, announcer);
    const struct {
        QPushButton* TForm2::*button;
        const char* said;
    } steps[] = {
        {&TForm2::Button1, "(1/2) Q1"},
        {&TForm2::Button2, "A1 R1"},
        {&TForm2::Button3, "(2/2) Q2"},
    };
    for (const auto& step : steps) {
        press((*form).*step.button);
        QApplication::processEvents();
        EXPECT_EQ(u(step.said), announcer->text());
    }
}

} // namespace
} // namespace rovik
