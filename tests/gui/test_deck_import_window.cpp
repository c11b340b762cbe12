// The data list window's CSV and Anki imports: what only the dialogs do (the preview, the column,
// field and deck choices) and that their choices reach the data.
#ifdef ROVIK_DECKS
#include "gui/EditorWindowFixture.h"
#include "import/DeckDialogs.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

namespace rovik {
namespace {

using test::u;

class DeckImportWindowTest : public test::EditorWindowTest {};

void choose(QWidget* dialog, const char* box, int data) {
    auto* combo = dialog->findChild<QComboBox*>(box);
    ASSERT_NE(nullptr, combo) << box;
    combo->setCurrentIndex(combo->findData(data));
}

TEST_F(DeckImportWindowTest, CsvDialogPreviewsTheRowsAndMapsTheColumns) {
    // Excel's form: CP932, quoted fields, a header row.
    const std::string path =
        folder.write("excel.csv", "\x8E\xBF\x96\xE2,\x89\xF0\x93\x9A,\x95\xAA\x97\xDE\r\n"
                                  "\"\x8C\xA2, \x82\xA2\x82\xCA\",dog,\x93\xAE\x95\xA8\r\n");
    prompter.expectOpen(path);
    QStringList preview;
    test::onNextModal([&](QWidget* dialog) {
        auto* grid = dialog->findChild<QTableWidget*>("PreviewGrid");
        ASSERT_NE(nullptr, grid);
        for (int c = 0; c < grid->columnCount(); ++c)
            preview << grid->item(1, c)->text();
        choose(dialog, "CategoryABox", 2);
        dialog->findChild<QPushButton*>("OkButton")->click();
    });
    form.CsvImport1->trigger();
    EXPECT_EQ((QStringList{u("犬, いぬ"), u("dog"), u("動物")}), preview);
    EXPECT_EQ(QStringList{u("excel")}, titleNames());
    EXPECT_EQ(QStringList{u("犬, いぬ")}, column(1));
    EXPECT_EQ("tTitle\texcel\t3\t3", lines()[0]);
    EXPECT_EQ("dBunrui\t\x93\xAE\x95\xA8", lines()[1]);
    EXPECT_EQ(u("1タイトル 1件を読み込みました。"), form.StatusBar1->currentMessage());
}

TEST_F(DeckImportWindowTest, AnImportIsOneUndoableStep) {
    openText("old.txt", test::titleText("Old", 1));
    prompter.expectOpen(folder.write("new.csv", "q,a\r\n"))
        .expectMessage("追加読込しますか？\nはい  "
                       "：編集中のデータに追加読み込み\nいいえ：編集中のデータを削除して新規読み込み",
                       "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    test::onNextModal([](QWidget* dialog) { dialog->findChild<QPushButton*>("OkButton")->click(); });
    form.CsvImport1->trigger();
    EXPECT_EQ((QStringList{u("Old"), u("new")}), titleNames());
    ASSERT_TRUE(form.Undo1->isEnabled());
    form.Undo1->trigger();
    EXPECT_EQ(QStringList{u("Old")}, titleNames());
}

TEST_F(DeckImportWindowTest, CancelledCsvDialogAddsNothing) {
    prompter.expectOpen(folder.write("a.csv", "a,b\r\n"));
    test::onNextModal([](QWidget* dialog) { dialog->findChild<QPushButton*>("CancelButton")->click(); });
    form.CsvImport1->trigger();
    EXPECT_TRUE(titleNames().isEmpty());
}

TEST_F(DeckImportWindowTest, AnkiDialogListsTheDecksAndTakesTheCheckedOnes) {
    prompter.expectOpen(std::string(ROVIK_FIXTURES) + "/decks/older-two-decks.apkg");
    QStringList decks;
    test::onNextModal([&](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>("DeckList");
        ASSERT_NE(nullptr, list);
        for (int i = 0; i < list->count(); ++i)
            decks << list->item(i)->text();
        list->item(0)->setCheckState(Qt::Unchecked);
        dialog->findChild<QPushButton*>("OkButton")->click();
    });
    form.AnkiImport1->trigger();
    EXPECT_EQ((QStringList{u("英単語（2件）"), u("親::子（2件）")}), decks);
    EXPECT_EQ(QStringList{u("親・子")}, titleNames());
    EXPECT_EQ((QStringList{u("（　）は日本の首都"), u("東京は（　）の首都"), u("<親>")}), column(1));
}

} // namespace
} // namespace rovik
#endif
