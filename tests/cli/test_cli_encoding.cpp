#include "cli/Cli.h"
#include "data/TextReading.h"
#include "pdb/Pdbcommon.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include "support/TempFolder.h"

#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rovik::cli {
namespace {

using test::CliResult;
using test::runCli;

const std::string kBom = "\xEF\xBB\xBF";
const std::string kUtf8 = "tTitle\t日本\t3\t3\r\n11\t問題\t答え\t参考\t0\r\n";

class CliEncodingTest : public ::testing::Test {
protected:
    test::TempFolder folder;
};

struct OptionCase {
    const char* name;
    std::string file; // "utf8", "cp932" or "emoji"
    Args options;
    int code;
};

TEST_F(CliEncodingTest, EncodingOptionOfTheReadingCommands) {
    const std::string utf8 = folder.write("u.txt", kUtf8);
    const std::string cp932 = folder.write("s.txt", toCp932(kUtf8));
    const std::string emoji = folder.write("e.txt", "tTitle\t😀\t3\t3\r\n");
    const OptionCase cases[] = {
        {"auto_utf8", utf8, {"--encoding", "auto"}, 0},
        {"auto_cp932", cp932, {"--encoding", "auto"}, 0},
        {"utf8_named", utf8, {"--encoding", "utf-8"}, 0},
        {"cp932_named", cp932, {"--encoding", "cp932"}, 0},
        // UTF-8 bytes taken as CP932 are mojibake that still passes: the user asked for it.
        {"utf8_read_as_cp932", utf8, {"--encoding", "cp932"}, 0},
        {"cp932_read_as_utf8", cp932, {"--encoding", "utf-8"}, 1},
        {"emoji", emoji, {}, 1},
        {"unknown_encoding", utf8, {"--encoding", "latin1"}, 2},
        {"missing_value", utf8, {"--encoding"}, 2},
    };
    for (const auto& c : cases) {
        Args check{"check", c.file};
        check.insert(check.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(c.code, runCli(check).code) << c.name;
        Args toPdb{"to-pdb"};
        toPdb.insert(toPdb.end(), c.options.begin(), c.options.end());
        toPdb.push_back(c.file);
        toPdb.push_back(folder.file(std::string(c.name) + ".pdb"));
        EXPECT_EQ(c.code, runCli(toPdb).code) << c.name;
        Args importTab{"import-tab"};
        importTab.insert(importTab.end(), c.options.begin(), c.options.end());
        importTab.push_back(c.file);
        importTab.push_back(folder.file(std::string(c.name) + "-import.txt"));
        // The QA text is no import text (too many items): only the reading decides the code.
        EXPECT_EQ(c.code == 0 ? 1 : c.code, runCli(importTab).code) << c.name;
        Args quiz{"quiz", c.file, "--title", "1"};
        quiz.insert(quiz.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(c.code == 0 ? 0 : 2, runCli(quiz).code) << c.name;
    }
}

TEST_F(CliEncodingTest, CheckWritesTheUnmappableLogAsUtf8WithBom) {
    const std::string path = folder.write("e.txt", "tTitle\tT\t3\t3\n11\tq\ta😀\tr\t0\n");
    const std::string log = folder.file("log.txt");
    CliResult r = runCli({"check", path, "--log", log});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("2行目: 文字「😀」(U+1F600)はShift-JISで表せません。\n", r.out);
    EXPECT_EQ(kBom + "2行目: 文字「😀」(U+1F600)はShift-JISで表せません。\r\n", test::TempFolder::read(log));
}

TEST_F(CliEncodingTest, CheckReportsBrokenBytesWhenUtf8IsNamed) {
    CliResult r =
        runCli({"check", folder.write("s.txt", "tTitle\t\x93\xFA\t3\t3\r\n"), "--encoding", "utf-8"});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("1行目: バイト0x93はUTF-8として読めません。\n1行目: バイト0xFAはUTF-8として読めません。\n",
              r.out);
}

TEST_F(CliEncodingTest, ToTextWritesUtf8OnRequest) {
    const std::string pdb = folder.file("s.pdb");
    ASSERT_EQ(0, runCli({"to-pdb", folder.write("u.txt", kUtf8), pdb}).code);
    const std::string cp932 = folder.file("back-sjis.txt");
    const std::string utf8 = folder.file("back-utf8.txt");
    EXPECT_EQ(0, runCli({"to-text", pdb, cp932}).code);
    EXPECT_EQ(0, runCli({"to-text", "--encoding", "utf-8", pdb, utf8}).code);
    EXPECT_EQ(toCp932(kUtf8), test::TempFolder::read(cp932));
    EXPECT_EQ(kUtf8, test::TempFolder::read(utf8));
    EXPECT_EQ(0, runCli({"to-text", pdb, "--encoding", "cp932", cp932}).code);
    EXPECT_EQ(2, runCli({"to-text", "--encoding", "auto", pdb, utf8}).code);
    EXPECT_EQ(2, runCli({"to-text", "--encoding", "utf-8", pdb}).code);
}

TEST_F(CliEncodingTest, ToTextRefusesUtf8ForBytesThatAreNotShiftJis) {
    // A record holding a byte CP932 cannot read: written as CP932 it stays, as UTF-8 it is refused.
    const std::string pdb = folder.file("b.pdb");
    ASSERT_EQ(0, runCli({"to-pdb", folder.write("b.txt", "tTitle\t\xA0\t3\t3\r\n"), pdb}).code);
    const std::string out = folder.write("out.txt", "old");
    CliResult r = runCli({"to-text", "--encoding", "utf-8", pdb, out});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("rovik-cli: " + pdb + ": Shift-JISとして読めないバイトがあるため、UTF-8では保存できません。\n",
              r.err);
    EXPECT_EQ("old", test::TempFolder::read(out));
}

TEST_F(CliEncodingTest, RawShiftJisFileNamesWorkAndNameTheDatabase) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows hands over arguments as UTF-16: there are no raw Shift-JIS names";
#endif
    const std::string nihon = "\x93\xFA\x96\x7B"; // 日本 in Shift-JIS: not UTF-8
    const std::string in = folder.write(nihon + ".txt", kUtf8);
    const std::string pdb = folder.file(nihon + ".pdb");
    ASSERT_EQ(0, runCli({"to-pdb", in, pdb}).code);
    std::string bytes;
    ASSERT_TRUE(readWholeFile(pdb, bytes));
    EXPECT_EQ(nihon + std::string(1, '\0'), bytes.substr(0, 5));
    const std::string imported = folder.file(nihon + "-out.txt");
    ASSERT_EQ(0, runCli({"import-tab", folder.write(nihon + "2.txt", "q\ta\r\n"), imported}).code);
    EXPECT_EQ("tTitle\t" + nihon + "2\t3\t3", readQaText(imported).lines.front());
}

} // namespace
} // namespace rovik::cli
