#include "datalist/FindCommands.h"
#include "editor/FindDialog.h"
#include "gui/EditorWindowFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace rovik {
namespace {

using test::titleText;
using test::u;

class FindWindowTest : public test::EditorWindowTest {
protected:
    // Titles A (3 records) and B (2 records); "Aq2" and "Bq1" hold "q" as all do.
    void openTwoTitles() { openText("a.txt", titleText("A", 3) + titleText("B", 2)); }
    FindDialog* dialog(bool withReplace = false) {
        (withReplace ? form.Replace1 : form.Find1)->trigger();
        return form.findDialog();
    }
    int titleRow() { return form.StringGrid2->currentIndex().row(); }
    QString status() { return form.StatusBar1->currentMessage(); }
};

TEST_F(FindWindowTest, FindMovesThroughTheScopeAndWraps) {
    struct Step {
        QPushButton* FindDialog::*button;
        int titleRow;
        int recordRow;
        const char* status;
    };
    openTwoTitles();
    FindDialog* find = dialog();
    ASSERT_NE(nullptr, find);
    EXPECT_TRUE(find->isVisible());
    EXPECT_FALSE(find->isModal());
    find->FindText->setText(u("q2"));
    find->ScopeAll->setChecked(true);
    const Step steps[] = {
        {&FindDialog::FindNextButton, 0, 2, ""},
        {&FindDialog::FindNextButton, 1, 2, ""},
        {&FindDialog::FindNextButton, 0, 2, "末尾まで検索したので、先頭から検索しました。"},
        {&FindDialog::FindPreviousButton, 1, 2, "先頭まで検索したので、末尾から検索しました。"},
    };
    for (const Step& s : steps) {
        (find->*s.button)->click();
        EXPECT_EQ(s.titleRow, titleRow());
        EXPECT_EQ(s.recordRow, recordRow());
        EXPECT_EQ(u(s.status), status());
    }
    find->ScopeShown->setChecked(true);
    find->FindNextButton->click(); // only B's own "Bq2"
    EXPECT_EQ(1, titleRow());
    EXPECT_EQ(u("末尾まで検索したので、先頭から検索しました。"), status());
    find->FindText->setText(u("none"));
    find->FindNextButton->click();
    EXPECT_EQ(u("見つかりません"), status());
    EXPECT_EQ(2, recordRow());
}

TEST_F(FindWindowTest, FieldsCaseAndDoubleByteCharactersDecideTheMatches) {
    // Record 1's question is "ア" (0x83 0x41): its trail byte is no "A".
    openText("a.txt", "tTitle\tT\t3\t3\r\ndBunrui\tA\r\n11\t\x83\x41\tx\tr\t0\r\n11\tq\tA\tr\t0\r\n");
    FindDialog* find = dialog();
    find->FindText->setText(u("a"));
    find->MatchCase->setChecked(true);
    find->FindNextButton->click();
    EXPECT_EQ(u("見つかりません"), status());
    find->MatchCase->setChecked(false);
    find->FieldAnswer->setChecked(false);
    find->FindNextButton->click();
    EXPECT_EQ(u("見つかりません"), status());
    find->FieldAnswer->setChecked(true);
    find->FindNextButton->click();
    EXPECT_EQ(2, recordRow());
    find->FindText->setText(u("ｱ")); // half-width: found as ア unless widths are told apart
    find->FindNextButton->click();
    EXPECT_EQ(1, recordRow());
    find->MatchWidth->setChecked(true);
    find->FindNextButton->click();
    EXPECT_EQ(u("見つかりません"), status());
}

TEST_F(FindWindowTest, NamesAreFoundOneAfterTheOtherWithoutMovingTheRecord) {
    openTwoTitles(); // category B of both titles is named "B", and so is the second title
    FindDialog* find = dialog();
    find->FindText->setText(u("B"));
    find->MatchCase->setChecked(true);
    find->ScopeAll->setChecked(true);
    for (QCheckBox* field : {find->FieldQuestion, find->FieldAnswer, find->FieldReference})
        field->setChecked(false);
    find->FieldNames->setChecked(true);
    const struct {
        int titleRow;
        const char* status;
    } steps[] = {// the search starts at record 1, after title A's header lines
                 {1, ""},
                 {1, ""},
                 {0, "末尾まで検索したので、先頭から検索しました。"},
                 {1, ""}};
    for (const auto& s : steps) {
        find->FindNextButton->click();
        EXPECT_EQ(s.titleRow, titleRow());
        EXPECT_EQ(u(s.status), status());
        EXPECT_EQ(1, recordRow());
    }
}

TEST_F(FindWindowTest, ReplaceAllIsOneUndoStepAndReportsTheCount) {
    openTwoTitles();
    const std::vector<std::string> before = lines();
    FindDialog* find = dialog(true);
    EXPECT_TRUE(find->ReplaceText->isVisible());
    find->FindText->setText(u("q"));
    find->ReplaceText->setText(u("問"));
    find->ScopeAll->setChecked(true);
    find->ReplaceAllButton->click();
    EXPECT_EQ(u("5 件置換しました。"), status());
    EXPECT_EQ((QStringList{u("A問1"), u("A問2"), u("A問3")}), column(1));
    EXPECT_EQ(u("元に戻す: すべて置換"), form.Undo1->statusTip());
    form.Undo1->trigger();
    EXPECT_EQ(before, lines());
    EXPECT_TRUE(form.logic().set().saved);
    EXPECT_FALSE(form.Undo1->isEnabled());
}

TEST_F(FindWindowTest, ReplaceReplacesTheFoundMatchThenFindsTheNext) {
    openTwoTitles();
    FindDialog* find = dialog(true);
    find->FindText->setText(u("q"));
    find->ReplaceText->setText(u("Q"));
    find->MatchCase->setChecked(true);
    find->ReplaceButton->click(); // finds Aq1
    EXPECT_EQ(1, recordRow());
    EXPECT_EQ(u("Aq1"), cell(0, 1));
    find->ReplaceButton->click(); // replaces it, finds Aq2
    EXPECT_EQ(u("AQ1"), cell(0, 1));
    EXPECT_EQ(2, recordRow());
    EXPECT_EQ(u("元に戻す: 置換"), form.Undo1->statusTip());
    form.Undo1->trigger();
    EXPECT_EQ(u("Aq1"), cell(0, 1));
}

TEST_F(FindWindowTest, RefusedReplacementsChangeNothing) {
    struct Case {
        QString replacement;
        const char* message;
    };
    const Case cases[] = {
        {u("a\tb"), "置換する文字列にタブや改行は使えません。"},
        {u("😀"), "「😀」はShift-JISにない文字のため、登録できません。"},
    };
    openTwoTitles();
    const std::vector<std::string> before = lines();
    FindDialog* find = dialog(true);
    find->FindText->setText(u("q"));
    for (const Case& c : cases) {
        find->ReplaceText->setText(c.replacement);
        prompter.expectMessage(c.message, "確認", Buttons::Ok, Icon::Warning);
        find->ReplaceAllButton->click();
        EXPECT_TRUE(prompter.done()) << c.message;
        EXPECT_EQ(before, lines());
        EXPECT_FALSE(form.Undo1->isEnabled());
    }
}

TEST_F(FindWindowTest, FindAgainWithoutTextOpensTheDialog) {
    openTwoTitles();
    EXPECT_EQ(nullptr, form.findDialog());
    form.FindNext1->trigger();
    ASSERT_NE(nullptr, form.findDialog());
    EXPECT_TRUE(form.findDialog()->isVisible());
    form.findDialog()->FindText->setText(u("Aq3"));
    form.FindNext1->trigger();
    EXPECT_EQ(3, recordRow());
    EXPECT_EQ(QKeySequence(Qt::Key_F3), form.FindNext1->shortcut());
    EXPECT_EQ(QKeySequence(Qt::SHIFT | Qt::Key_F3), form.FindPrevious1->shortcut());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_F), form.Find1->shortcut());
    EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_H), form.Replace1->shortcut());
}

} // namespace
} // namespace rovik
