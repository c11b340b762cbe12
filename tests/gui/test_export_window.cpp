// The export items of the data list window and their option dialog, where the decks are built.
#ifdef ROVIK_DECKS
#include "gui/EditorWindowFixture.h"
#include "gui/QtPrompter.h"
#include "import/ImportDialogs.h"
#include "import/OptionsDialog.h"
#include "platform/FileIo.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace rovik {
namespace {

using test::u;

const std::vector<OptionGroup> kGroups = {
    {"書き出すタイトル", {"表示中のタイトル（A）", "全タイトル（2タイトル）"}, 0},
    {"形式", {"表計算ソフト用CSV（カンマ区切り）", "Anki読み込み用テキスト（タブ区切り）"}, 1},
};

QStringList radioTexts(QGroupBox* group) {
    QStringList texts;
    for (QRadioButton* item : group->findChildren<QRadioButton*>())
        texts << item->text();
    return texts;
}

TEST(OptionsDialog, ShowsEachGroupWithItsPreselectedItem) {
    OptionsDialog dialog("CSV書き出し", kGroups);
    EXPECT_EQ(u("CSV書き出し"), dialog.windowTitle());
    auto* first = dialog.findChild<QGroupBox*>("RadioGroup1");
    auto* second = dialog.findChild<QGroupBox*>("RadioGroup2");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(u("書き出すタイトル"), first->title());
    EXPECT_EQ((QStringList{u("表示中のタイトル（A）"), u("全タイトル（2タイトル）")}), radioTexts(first));
    EXPECT_EQ(u("形式"), second->title());
    EXPECT_EQ((std::vector<int>{0, 1}), dialog.chosen());
    EXPECT_EQ(u("ＯＫ"), dialog.Button1->text());
    EXPECT_EQ(u("キャンセル"), dialog.Button2->text());
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
}

TEST(OptionsDialog, OkHandsBackTheChoicesCancelAndTheFrameDoNot) {
    registerImportDialogs();
    QtPrompter prompter(nullptr);
    const struct {
        const char* button; // nullptr: closed by the frame
        std::optional<std::vector<int>> chosen;
    } cases[] = {{"Button1", std::vector<int>{1, 0}}, {"Button2", std::nullopt}, {nullptr, std::nullopt}};
    for (const auto& c : cases) {
        test::onNextModal([&](QWidget* dialog) {
            auto* form = qobject_cast<OptionsDialog*>(dialog);
            ASSERT_NE(nullptr, form);
            form->findChild<QGroupBox*>("RadioGroup1")->findChildren<QRadioButton*>().at(1)->click();
            form->findChild<QGroupBox*>("RadioGroup2")->findChildren<QRadioButton*>().at(0)->click();
            if (c.button) form->findChild<QPushButton*>(c.button)->click();
        });
        EXPECT_EQ(c.chosen, prompter.chooseOptions("CSV書き出し", kGroups))
            << (c.button ? c.button : "frame");
    }
}

class ExportWindowTest : public test::EditorWindowTest {};

TEST_F(ExportWindowTest, ItemsNeedDataAndWriteTheShownTitle) {
    EXPECT_FALSE(form.AnkiExport1->isEnabled());
    EXPECT_FALSE(form.CsvExport1->isEnabled());
    openText("words.txt", test::titleText("A", 2) + test::titleText("B", 1));
    EXPECT_TRUE(form.AnkiExport1->isEnabled());
    EXPECT_TRUE(form.CsvExport1->isEnabled());

    const std::string csv = folder.file("words.csv");
    prompter
        .expectOptions(
            "CSV書き出し",
            {{"書き出すタイトル", {"表示中のタイトル（A）", "全タイトル（2タイトル）"}, 0},
             {"形式", {"表計算ソフト用CSV（カンマ区切り）", "Anki読み込み用テキスト（タブ区切り）"}, 0}},
            std::vector<int>{0, 0})
        .expectSave(csv, "CSV files (*.csv)|*.csv");
    form.CsvExport1->trigger();
    EXPECT_EQ(std::string("\xEF\xBB\xBF") +
                  "タイトル,分類A,分類B,質問,解答,参考\r\nA,A,B,Aq1,a,r\r\nA,A,B,Aq2,a,r\r\n",
              test::TempFolder::read(csv));
    EXPECT_EQ(QString::fromStdString(csv + "に書き出しました。（1タイトル、2問）"),
              form.StatusBar1->currentMessage());

    const std::string apkg = folder.file("words.apkg");
    prompter
        .expectOptions("Ankiﾊﾟｯｹｰｼﾞ書き出し",
                       {{"書き出すタイトル", {"表示中のタイトル（A）", "全タイトル（2タイトル）"}, 0}},
                       std::vector<int>{1})
        .expectSave(apkg, "Anki package (*.apkg)|*.apkg");
    form.AnkiExport1->trigger();
    EXPECT_EQ(0, test::TempFolder::read(apkg).compare(0, 4, "PK\x03\x04"));
    EXPECT_EQ(QString::fromStdString(apkg + "に書き出しました。（2タイトル、3問）"),
              form.StatusBar1->currentMessage());
    EXPECT_TRUE(prompter.done());
}

} // namespace
} // namespace rovik
#endif
