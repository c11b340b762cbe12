#include "gui/EditorWindowFixture.h"
#include "gui/QtPrompter.h"
#include "import/ChoiceDisplayDialog.h"
#include "import/FiveChoiceBytes.h"
#include "import/ImportDialogs.h"
#include "import/TabTextFormatDialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace rovik {
namespace {

using test::u;

QStringList radioTexts(QGroupBox* group) {
    QStringList texts;
    for (QRadioButton* item : group->findChildren<QRadioButton*>())
        texts << item->text();
    return texts;
}

QRadioButton* radio(QGroupBox* group, int index) {
    return group->findChildren<QRadioButton*>().at(index);
}

TEST(ImportDialogs, FormatDialogOpensOnTabSeparated) {
    TForm10 dialog;
    EXPECT_EQ(u("ﾃｷｽﾄﾃﾞｰﾀの形式指定"), dialog.windowTitle());
    EXPECT_EQ(dialog.RadioGroup1, dialog.findChild<QGroupBox*>("RadioGroup1"));
    EXPECT_EQ(u("ﾃｷｽﾄﾃﾞｰﾀの形式"), dialog.RadioGroup1->title());
    EXPECT_EQ((QStringList{u("タブ区切り"), u("タブなし（2行で1組）"), u("タブなし（3行で1組）")}),
              radioTexts(dialog.RadioGroup1));
    EXPECT_EQ(u("ＯＫ"), dialog.findChild<QPushButton*>("Button1")->text());
    EXPECT_EQ(u("キャンセル"), dialog.findChild<QPushButton*>("Button2")->text());
    EXPECT_EQ(0, dialog.formatIndex());
    EXPECT_TRUE(dialog.cancelled());
    EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
}

TEST(ImportDialogs, ChoiceDialogOpensOnShowingTheChoices) {
    TForm11 dialog;
    EXPECT_EQ(u("選択肢の表示"), dialog.windowTitle());
    EXPECT_EQ(u("選択肢の表示"), dialog.RadioGroup1->title());
    EXPECT_EQ((QStringList{u("選択肢を質問に表示する"), u("選択肢を表示しない")}),
              radioTexts(dialog.RadioGroup1));
    EXPECT_EQ(0, dialog.choiceIndex());
    EXPECT_TRUE(dialog.showChoices());
    EXPECT_TRUE(dialog.cancelled());
}

TEST(ImportDialogs, OkHandsBackTheChoiceCancelAndTheFrameDoNot) {
    struct Case {
        int item;
        const char* button; // nullptr: closed by the frame
        std::optional<int> format;
    };
    for (const Case& c : {Case{2, "Button1", 2}, Case{1, "Button1", 1}, Case{0, "Button1", 0},
                          Case{2, "Button2", std::nullopt}, Case{1, nullptr, std::nullopt}}) {
        test::onNextModal([&](QWidget* dialog) {
            auto* form = qobject_cast<TForm10*>(dialog);
            ASSERT_NE(nullptr, form);
            radio(form->RadioGroup1, c.item)->click();
            if (c.button) form->findChild<QPushButton*>(c.button)->click();
        });
        EXPECT_EQ(c.format, TForm10::chooseFormat(nullptr)) << c.item;
    }
    for (const Case& c : {Case{1, "Button1", 1}, Case{0, "Button1", 0}, Case{0, "Button2", std::nullopt}}) {
        test::onNextModal([&](QWidget* dialog) {
            auto* form = qobject_cast<TForm11*>(dialog);
            ASSERT_NE(nullptr, form);
            radio(form->RadioGroup1, c.item)->click();
            form->findChild<QPushButton*>(c.button)->click();
        });
        std::optional<bool> expected;
        if (c.format) expected = *c.format == 0;
        EXPECT_EQ(expected, TForm11::chooseShowChoices(nullptr)) << c.item;
    }
}

TEST(ImportDialogs, TheProgramsPromptsShowThem) {
    registerImportDialogs();
    QtPrompter prompter(nullptr);
    test::onNextModal([](QWidget* dialog) {
        auto* form = qobject_cast<TForm10*>(dialog);
        ASSERT_NE(nullptr, form);
        radio(form->RadioGroup1, 1)->click();
        form->Button1->click();
    });
    EXPECT_EQ(std::optional<int>(1), prompter.chooseImportFormat());
    test::onNextModal([](QWidget* dialog) {
        auto* form = qobject_cast<TForm11*>(dialog);
        ASSERT_NE(nullptr, form);
        radio(form->RadioGroup1, 1)->click();
        form->Button1->click();
    });
    EXPECT_EQ(std::optional<bool>(false), prompter.chooseShowChoices());
}

class ImportMenuTest : public test::EditorWindowTest {};

TEST_F(ImportMenuTest, NewImportConvertsTheChosenFileInTheChosenFormat) {
    const std::string path = folder.write("words.list.txt", "dog\r\n\x8c\xa2\r\ncat\r\n\x94\x4c\r\nleft\r\n");
    prompter.expectOpen(path, "Text files (*.txt)|*.TXT").expectFormat(1);
    form.N12->trigger();
    EXPECT_EQ(QStringList{u("words")}, titleNames());
    EXPECT_EQ((QStringList{u("dog"), u("cat")}), column(1));
    EXPECT_EQ((QStringList{u("犬"), u("猫")}), column(2));
    EXPECT_FALSE(form.logic().set().saved);
    EXPECT_TRUE(form.S2->isEnabled());
    EXPECT_EQ(path, values.settings.at(1));
    EXPECT_EQ(path, form.logic().currentFileName());
}

TEST_F(ImportMenuTest, RecentEntryImportsItsPathAndCancelChangesNothing) {
    const std::string path = folder.write("tab.txt", "q1\ta1\r\nq2\ta2\tref\r\n");
    values.settings = {"", path};
    emit form.File1->aboutToShow();
    ASSERT_TRUE(form.importRecent[0]->isVisible());
    prompter.expectFormat(std::nullopt);
    form.importRecent[0]->trigger();
    EXPECT_TRUE(titleNames().isEmpty());
    prompter.expectFormat(0);
    form.importRecent[0]->trigger();
    EXPECT_EQ((QStringList{u("q1"), u("q2")}), column(1));
    EXPECT_EQ((QStringList{u(""), u("ref")}), column(3));
}

TEST_F(ImportMenuTest, FiveChoiceFileIsConvertedAndOpened) {
    const std::string path = folder.write("quiz.5tq", test::fiveTq({2, 0, 1, 0, 0, 0, 0, 0}));
    prompter.expectOpen(path, "ごたくfiles (*.5TQ)|*.5tq").expectChoice(false);
    form.Q1->trigger();
    EXPECT_EQ(QStringList{u("quiz")}, titleNames());
    EXPECT_EQ((QStringList{u("Q1"), u("Q2"), u("Q3")}), column(1));
    EXPECT_EQ((QStringList{u("C1-1"), u("C1-2"), u("C1-3")}), column(2));
    EXPECT_EQ("30\tQ3\tC1-3\t\t0", lines().back());
    EXPECT_EQ(folder.path(), values.dataFolder);
    EXPECT_FALSE(test::TempFolder::read(folder.file("quiz.txt")).empty());
}

TEST_F(ImportMenuTest, FiveChoiceCancelledInTheChoiceDialogWritesNothing) {
    const std::string path = folder.write("quiz.5tq", test::fiveTq({1, 0, 0, 0, 0, 0, 0, 0}));
    prompter.expectOpen(path, "ごたくfiles (*.5TQ)|*.5tq").expectChoice(std::nullopt);
    form.Q1->trigger();
    EXPECT_TRUE(titleNames().isEmpty());
    EXPECT_TRUE(test::TempFolder::read(folder.file("quiz.txt")).empty());
}

} // namespace
} // namespace rovik
