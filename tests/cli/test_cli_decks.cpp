// rovik-cli import-csv and import-apkg: options, what is written and the exit codes.
#ifdef ROVIK_DECKS // the Windows build has no decks room
#include "platform/Cp932.h"

#include "cli/CliRun.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

using test::runCli;
using test::TempFolder;

std::string deck(const std::string& name) {
    return std::string(ROVIK_FIXTURES) + "/decks/" + name;
}

TEST(CliImportCsv, WritesTheTitleWithTheChosenColumnsAndSeparator) {
    TempFolder folder;
    const std::string in = folder.write("words.csv", "x;犬;dog;動物\r\ny;\"猫\r\nねこ\";cat;動物\r\n");
    const auto result =
        runCli({"import-csv", "--separator", "semicolon", "--question", "2", "--answer", "3", "--reference",
                "1", "--category-a", "4", "--encoding", "utf-8", in, folder.file("out.txt")});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(cp932ToUtf8(TempFolder::read(folder.file("out.txt"))),
              "tTitle\twords\t3\t3\r\ndBunrui\t動物\r\nsBunrui\t無題（分類B）\r\n11\t犬\tdog\tx\t0\r\n"
              "11\t猫 ねこ\tcat\ty\t0\r\n");
    EXPECT_EQ(result.err, "rovik-cli: 1タイトル 2件を読み込みました（除外: 改行 1）。\n");
}

TEST(CliImportCsv, ExitCodesSayWhatWentWrong) {
    TempFolder folder;
    const std::string out = folder.file("out.txt");
    EXPECT_EQ(runCli({"import-csv", folder.write("a.csv", "a,\"b\n"), out}).code, 1);
    const auto refused = runCli({"import-csv", folder.write("b.csv", "😀,x\n"), out});
    EXPECT_EQ(refused.code, 1);
    EXPECT_EQ(refused.out, "1行目: 文字「😀」(U+1F600)はShift-JISで表せません。\n");
    EXPECT_EQ(runCli({"import-csv", folder.write("c.csv", std::string("\0\1\2", 3)), out}).code, 2);
    EXPECT_EQ(runCli({"import-csv", folder.file("missing.csv"), out}).code, 2);
    EXPECT_EQ(runCli({"import-csv", "--separator", "pipe", folder.write("d.csv", "a,b\n"), out}).code, 2);
    EXPECT_EQ(runCli({"import-csv", "--question", "0", folder.write("e.csv", "a,b\n"), out}).code, 2);
    EXPECT_TRUE(TempFolder::read(out).empty());
}

TEST(CliImportApkg, WritesOneTitlePerDeck) {
    TempFolder folder;
    const auto result = runCli({"import-apkg", deck("older-two-decks.apkg"), folder.file("out.txt")});
    EXPECT_EQ(result.code, 0) << result.err;
    const std::string text = cp932ToUtf8(TempFolder::read(folder.file("out.txt")));
    EXPECT_NE(text.find("tTitle\t英単語\t3\t3\r\n"), std::string::npos);
    EXPECT_NE(text.find("11\t（　）は日本の首都\t東京\t首都\t0\r\n"), std::string::npos);
}

TEST(CliImportApkg, ListsAndChoosesDecks) {
    TempFolder folder;
    const auto listed = runCli({"import-apkg", "--list-decks", deck("older-two-decks.apkg")});
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.out, "英単語\t2\n親::子\t2\n");
    const auto chosen =
        runCli({"import-apkg", "--deck", "親・子", deck("older-two-decks.apkg"), folder.file("out.txt")});
    EXPECT_EQ(chosen.code, 0) << chosen.err;
    EXPECT_EQ(cp932ToUtf8(TempFolder::read(folder.file("out.txt"))).find("tTitle\t親・子"), 0u);
}

TEST(CliImportApkg, ExitCodesSayWhatWentWrong) {
    TempFolder folder;
    const std::string out = folder.file("out.txt");
    EXPECT_EQ(runCli({"import-apkg", deck("bomb.apkg"), out}).code, 3);
    EXPECT_EQ(runCli({"import-apkg", deck("truncated.apkg"), out}).code, 2);
    EXPECT_EQ(runCli({"import-apkg", deck("not-collection.apkg"), out}).code, 2);
    EXPECT_EQ(runCli({"import-apkg", deck("one-field.apkg"), out}).code, 1);
    EXPECT_EQ(runCli({"import-apkg", deck("anki21b.apkg"), out}).code, 1);
    EXPECT_EQ(runCli({"import-apkg", "--deck", "none", deck("anki21.apkg"), out}).code, 1);
    EXPECT_TRUE(TempFolder::read(out).empty());
}

} // namespace
} // namespace rovik
#endif
