#include "decks/DeckImportCommands.h"

#include "data/DataContext.h"
#include "data/QuestionSet.h"
#include "platform/Cp932.h"
#include "settings/ProgramValues.h"

#include "data/RecordingDataListView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

// Answers the choice dialogs as a test says; counts how often each was shown.
class ScriptedDialogs : public DeckImportDialogs {
public:
    std::optional<CsvOptions> csv = CsvOptions{};
    std::optional<AnkiOptions> anki;
    std::vector<std::string> listedDecks;
    std::optional<CsvOptions> chooseCsvOptions(const std::string&, const CsvOptions&) override { return csv; }
    std::optional<AnkiOptions> chooseAnkiOptions(const AnkiCollection&,
                                                 const std::vector<AnkiDeckInfo>& decks) override {
        for (const auto& d : decks)
            listedDecks.push_back(d.path);
        return anki;
    }
};

class DeckImportCommands : public testing::Test {
protected:
    DeckImportCommands() {
        values.startFolder = folder.path();
        values.dataFolder = "/nowhere";
    }
    std::string fixture(const std::string& name) const {
        return std::string(ROVIK_FIXTURES) + "/decks/" + name;
    }

    test::TempFolder folder;
    QuestionSet set;
    test::ScriptedPrompter prompter;
    test::RecordingDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
    ScriptedDialogs dialogs;
};

TEST_F(DeckImportCommands, CsvBecomesAnUnsavedTitleWithTheDropsOnTheStatusLine) {
    const std::string path = folder.write("words.csv", "\"犬\n(いぬ)\",dog\n猫,cat\n");
    EXPECT_TRUE(ImportCsvPath(ctx, path, dialogs));
    ASSERT_EQ(set.lines.size(), 5u);
    EXPECT_EQ(cp932ToUtf8(set.lines[0]), "tTitle\twords\t3\t3");
    EXPECT_EQ(cp932ToUtf8(set.lines[3]), "11\t犬 (いぬ)\tdog\t\t0");
    EXPECT_FALSE(set.saved);
    EXPECT_EQ(view.events.back(), "status:1タイトル 2件を読み込みました（除外: 改行 1）。");
    // A save proposes the CSV's name as text, and the import joins no recent list.
    EXPECT_NE(std::find(view.events.begin(), view.events.end(), "current:" + folder.file("words.txt")),
              view.events.end());
}

TEST_F(DeckImportCommands, RefusedCsvShowsTheErrorLogAndKeepsTheOpenData) {
    set.lines = {"tTitle\tOld\t3\t3", "11\tq\ta\t\t0"};
    RebuildTitleIndex(set);
    set.saved = true;
    prompter
        .expectMessage("追加読込しますか？\nはい  "
                       "：編集中のデータに追加読み込み\nいいえ：編集中のデータを削除して新規読み込み",
                       "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    const std::string path = folder.write("bad.csv", "ok,fine\n😀,x\n");
    EXPECT_FALSE(ImportCsvPath(ctx, path, dialogs));
    EXPECT_EQ(set.lines, (std::vector<std::string>{"tTitle\tOld\t3\t3", "11\tq\ta\t\t0"}));
    EXPECT_EQ(view.events.back(), "errorlog:" + folder.file("ErrorLog.txt"));
    EXPECT_EQ(test::TempFolder::read(folder.file("ErrorLog.txt")),
              "\xEF\xBB\xBF"
              "2行目: 文字「😀」(U+1F600)はShift-JISで表せません。\r\n");
}

TEST_F(DeckImportCommands, BinaryOrEmptyCsvIsSaidBeforeTheMappingDialog) {
    dialogs.csv.reset(); // the dialog would cancel: it must not be reached
    const std::string binary = folder.write("data.csv", std::string("\x89PNG\r\n\0\0", 8));
    prompter.expectMessage("CSVファイルではありません（バイナリのデータです）。\n" + binary, "エラー",
                           Buttons::Ok, Icon::Error);
    EXPECT_FALSE(ImportCsvPath(ctx, binary, dialogs));
    const std::string empty = folder.write("empty.csv", "");
    prompter.expectMessage("CSVファイルにデータがありません。\n" + empty, "エラー", Buttons::Ok, Icon::Error);
    EXPECT_FALSE(ImportCsvPath(ctx, empty, dialogs));
    EXPECT_TRUE(set.lines.empty());
}

TEST_F(DeckImportCommands, CancelledMappingAddsNothing) {
    dialogs.csv.reset();
    EXPECT_FALSE(ImportCsvPath(ctx, folder.write("a.csv", "a,b\n"), dialogs));
    EXPECT_TRUE(set.lines.empty());
}

TEST_F(DeckImportCommands, AnkiDecksChosenInTheDialogBecomeTitles) {
    dialogs.anki = AnkiOptions{};
    dialogs.anki->decks = {"親::子"};
    EXPECT_TRUE(ImportAnkiPath(ctx, fixture("older-two-decks.apkg"), dialogs));
    EXPECT_EQ(dialogs.listedDecks, (std::vector<std::string>{"英単語", "親::子"}));
    ASSERT_FALSE(set.lines.empty());
    EXPECT_EQ(cp932ToUtf8(set.lines[0]), "tTitle\t親・子\t3\t3");
    EXPECT_EQ(set.titleCount(), 1);
    EXPECT_EQ(view.events.back(), "status:1タイトル 3件を読み込みました。");
}

TEST_F(DeckImportCommands, NoDeckChosenIsRefusedNamingTheCount) {
    dialogs.anki = AnkiOptions{};
    prompter.expectMessage("デッキが選ばれていません（デッキは2個あります）。", "エラー", Buttons::Ok,
                           Icon::Error);
    EXPECT_FALSE(ImportAnkiPath(ctx, fixture("older-two-decks.apkg"), dialogs));
    EXPECT_TRUE(set.lines.empty());
}

TEST_F(DeckImportCommands, ABrokenPackageIsSaidAndAddsNothing) {
    prompter.expectMessage(
        "Ankiパッケージ（ZIP）として読めません。ファイルが壊れているか途中で切れています。\n" +
            fixture("truncated.apkg"),
        "エラー", Buttons::Ok, Icon::Error);
    EXPECT_FALSE(ImportAnkiPath(ctx, fixture("truncated.apkg"), dialogs));
    EXPECT_TRUE(set.lines.empty());
}

} // namespace
} // namespace rovik::decks
