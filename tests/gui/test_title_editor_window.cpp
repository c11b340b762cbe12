#include "editor/TitleEditorWindow.h"
#include "editor/UpDown.h"
#include "gui/EditorWindowFixture.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>

namespace rovik {
namespace {

using test::titleText;
using test::u;

class TitleEditorWindowTest : public test::EditorWindowTest {
protected:
    std::unique_ptr<TForm5> openEditor() { return std::make_unique<TForm5>(form.logic(), prompter, &form); }
};

TEST_F(TitleEditorWindowTest, ControlsStandAtTheirPlaces) {
    openText("a.txt", "tTitle\t\x96\xb3\x91\xe8\t3\t3\r\ndBunrui\tA1\r\ndBunrui\tA2\r\nsBunrui\tB1\r\n"
                      "11\tq\ta\tr\t0\r\n");
    auto editor = openEditor();
    EXPECT_EQ(u("Rovik(ﾀｲﾄﾙ･分類編集)"), editor->windowTitle());
    EXPECT_EQ(12, editor->font().pixelSize());
    const struct {
        const char* name;
        QRect place;
    } places[] = {
        {"Panel3", {8, 0, 345, 28}},    {"Edit31", {80, 5, 241, 20}},   {"Panel4", {8, 32, 345, 33}},
        {"Edit32", {80, 8, 25, 20}},    {"UpDown1", {105, 8, 15, 20}},  {"Edit33", {208, 8, 25, 20}},
        {"UpDown2", {233, 8, 15, 20}},  {"Panel1", {8, 72, 169, 361}},  {"Panel2", {184, 72, 169, 361}},
        {"Button1", {360, 24, 75, 25}}, {"Button2", {360, 64, 75, 25}}, {"Edit1", {32, 30, 121, 20}},
        {"Edit15", {32, 338, 121, 20}}, {"Edit16", {32, 30, 121, 20}},  {"Edit30", {32, 338, 121, 20}}};
    for (const auto& p : places) {
        auto* widget = editor->findChild<QWidget*>(p.name);
        ASSERT_NE(nullptr, widget) << p.name;
        EXPECT_EQ(p.place, widget->geometry()) << p.name;
    }
    EXPECT_EQ(editor->Panel1, editor->categoryA[14]->parentWidget());
    EXPECT_EQ(editor->Panel2, editor->categoryB[0]->parentWidget());
    EXPECT_EQ(QSize(444, 460), editor->Panel1->parentWidget()->size());
    EXPECT_EQ(u("タイトル："), editor->Label33->text());
    EXPECT_EQ(u("質問行数："), editor->Label34->text());
    EXPECT_EQ(u("解答行数："), editor->Label35->text());
    EXPECT_EQ(u("分類 A"), editor->Label31->text());
    EXPECT_EQ(u("分類 B"), editor->Label32->text());
    EXPECT_EQ(u("登  録"), editor->Button1->text());
    EXPECT_EQ(u("キャンセル"), editor->Button2->text());
    EXPECT_EQ(u("設定内容を登録します。"), editor->Button1->statusTip());
    EXPECT_EQ(u("キャンセルして閉じます。"), editor->Button2->statusTip());
    EXPECT_EQ(u("閉じる(&X)"), editor->Exit1->text());
    EXPECT_EQ(u("閉じます。"), editor->Exit1->statusTip());
    EXPECT_EQ(u("ﾌｧｲﾙ(&F)"), editor->File1->title());
    QStringList codeLabels;
    for (QLabel* label : editor->Panel1->findChildren<QLabel*>())
        if (label != editor->Label31) codeLabels << label->text();
    EXPECT_EQ(15, codeLabels.size());
    EXPECT_TRUE(codeLabels.contains(u("１：")));
    EXPECT_TRUE(codeLabels.contains(u("１５：")));
    // Tab moves through the boxes in code order (labels take no focus).
    auto nextTabStop = [](QWidget* from) {
        QWidget* w = from->nextInFocusChain();
        while (w != from && !(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        return w;
    };
    for (size_t k = 1; k < 15; ++k) {
        EXPECT_EQ(editor->categoryA[k], nextTabStop(editor->categoryA[k - 1])) << k;
        EXPECT_EQ(editor->categoryB[k], nextTabStop(editor->categoryB[k - 1])) << k;
    }
    ASSERT_NE(nullptr, editor->findChild<QShortcut*>("HelpKey"));

    EXPECT_EQ(u("無題"), editor->Edit31->text());
    EXPECT_EQ(u("3"), editor->Edit32->text());
    EXPECT_EQ(u("3"), editor->Edit33->text());
    EXPECT_EQ((QStringList{u("A1"), u("A2"), u("")}),
              (QStringList{editor->categoryA[0]->text(), editor->categoryA[1]->text(),
                           editor->categoryA[2]->text()}));
    EXPECT_EQ(u("B1"), editor->categoryB[0]->text());
    EXPECT_EQ(QLatin1String("Edit16"), editor->categoryB[0]->objectName());
}

TEST_F(TitleEditorWindowTest, ArrowsStepWithinOneToEight) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor();
    for (int i = 0; i < 9; ++i)
        editor->UpDown1->upButton()->click();
    EXPECT_EQ(u("8"), editor->Edit32->text());
    editor->Edit33->setText(u("2"));
    editor->UpDown2->downButton()->click();
    editor->UpDown2->downButton()->click();
    EXPECT_EQ(u("1"), editor->Edit33->text());
}

TEST_F(TitleEditorWindowTest, LineCountsAreReducedToASumOfNine) {
    const struct {
        const char *q, *a, *storedQ, *storedA;
    } cases[] = {{"8", "8", "1", "8"}, {"5", "8", "5", "4"}, {"2", "7", "2", "7"}};
    openText("a.txt", titleText("T", 1));
    for (const auto& c : cases) {
        auto editor = openEditor();
        editor->Edit32->setText(u(c.q));
        editor->Edit33->setText(u(c.a));
        editor->Button1->click();
        EXPECT_EQ(QDialog::Accepted, editor->result());
        EXPECT_EQ(u(c.storedQ), editor->Edit32->text());
        EXPECT_EQ(u(c.storedA), editor->Edit33->text());
        EXPECT_EQ(std::string("tTitle\tT\t") + c.storedQ + "\t" + c.storedA, lines()[0]);
    }
}

TEST_F(TitleEditorWindowTest, EmptiedBox2ClosesUpTheCodes) {
    openText("a.txt", "tTitle\tT\t3\t3\r\ndBunrui\tA1\r\ndBunrui\tA2\r\ndBunrui\tA3\r\nsBunrui\tB1\r\n"
                      "31\tq\ta\tr\t0\r\n");
    auto editor = openEditor();
    editor->categoryA[1]->clear();
    editor->Edit31->setText(u("改名"));
    editor->Button1->click();
    EXPECT_EQ(std::vector<std::string>({"tTitle\t\x89\xfc\x96\xbc\t3\t3", "dBunrui\tA1", "dBunrui\tA3",
                                        "sBunrui\tB1", "31\tq\ta\tr\t0"}),
              lines());
    EXPECT_EQ(QStringList{u("改名")}, titleNames());
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - 改名"), form.windowTitle());
    EXPECT_FALSE(form.logic().set().saved);
    EXPECT_FALSE(editor->isVisible());

    // Opened again, the names stand closed up.
    auto again = openEditor();
    EXPECT_EQ(u("A3"), again->categoryA[1]->text());
    EXPECT_EQ(u(""), again->categoryA[2]->text());
}

TEST_F(TitleEditorWindowTest, SeventeenCategoryLinesShowAndKeepTheFirstFifteen) {
    std::string text = "tTitle\tT\t3\t3\r\n";
    for (int k = 1; k <= 17; ++k)
        text += "dBunrui\tN" + std::to_string(k) + "\r\n";
    openText("a.txt", text + "11\tq\ta\tr\t0\r\n");
    auto editor = openEditor();
    EXPECT_EQ(u("N15"), editor->categoryA[14]->text());
    editor->Button1->click();
    ASSERT_EQ(17u, lines().size());
    EXPECT_EQ("dBunrui\tN15", lines()[15]);
    EXPECT_EQ("11\tq\ta\tr\t0", lines()[16]);
}

TEST_F(TitleEditorWindowTest, ALineCountThatIsNoNumberKeepsTheEditorOpenAndTheDataAsItWas) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor();
    editor->show();
    editor->Edit32->setText(u("x"));
    editor->categoryA[0]->clear();
    prompter.expectMessage("質問行数と解答行数は数字で入力してください。", "確認", Buttons::Ok, Icon::Error);
    editor->Button1->click();
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(u("x"), editor->Edit32->text());
    EXPECT_EQ("dBunrui\tA", lines()[1]);
    EXPECT_TRUE(form.logic().set().saved);
}

TEST_F(TitleEditorWindowTest, CancelLeavesEverythingAsItWas) {
    openText("a.txt", titleText("T", 1));
    auto editor = openEditor();
    editor->show();
    editor->Edit31->setText(u("other"));
    editor->Button2->click();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(QDialog::Rejected, editor->result());
    EXPECT_EQ("tTitle\tT\t3\t3", lines()[0]);
    EXPECT_TRUE(form.logic().set().saved);
}

TEST_F(TitleEditorWindowTest, TheMenuItemOpensTheEditorModally) {
    openText("a.txt", titleText("T", 1));
    bool opened = false;
    test::onNextModal([&](QWidget* dialog) {
        auto* editor = qobject_cast<TForm5*>(dialog);
        ASSERT_NE(nullptr, editor);
        opened = true;
        editor->Edit31->setText(u("U"));
        editor->Button1->click();
    });
    form.B1->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(QStringList{u("U")}, titleNames());
}

TEST_F(TitleEditorWindowTest, WithoutASelectedTitleTheEditorDoesNotOpen) {
    openText("a.txt", titleText("T", 1));
    form.logic().set().selectedTitle = -1;
    prompter.expectMessage("タイトルを選択してください。", "確認", Buttons::Ok, Icon::None);
    form.B1->trigger();
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(nullptr, form.findChild<TForm5*>());
}

} // namespace
} // namespace rovik
