#include "cli/Cli.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "pdb/PdbReader.h"
#include "pdb/PdbWriter.h"
#include "pdb/Pdbcommon.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include "support/TempFolder.h"

#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace rovik::cli {
namespace {

using test::CliResult;
using test::runCli;

const std::string kValid = "tTitle\tT\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq\ta\tr\t0\r\n";

class CliTest : public ::testing::Test {
protected:
    test::TempFolder folder;
};

// An error a command does not name itself is said and ends the command, never the program.
TEST_F(CliTest, ErrorsThatNoCommandExpectsEndWithAMessage) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps a current folder from being removed";
#endif
    const std::string gone = folder.file("gone");
    std::filesystem::create_directory(gone);
    test::CurrentFolder inside(gone);
    std::filesystem::remove(gone);
    const struct {
        Args args;
        const char* prefix;
    } cases[] = {
        {{"targets"}, "rovik-cli targets: "},
        {{"install", "x.pdb"}, "rovik-cli install: "},
    };
    for (const auto& c : cases) {
        CliResult r = runCli(c.args);
        EXPECT_EQ(2, r.code) << c.prefix;
        EXPECT_EQ(0u, r.err.rfind(c.prefix, 0)) << r.err;
    }
}

// On Windows the current folder's narrow name threw for a folder the ANSI code page cannot hold.
TEST_F(CliTest, JapaneseStartFolderIsTakenAsItIs) {
    const std::string start = folder.file("起動");
    std::filesystem::create_directory(nativePath(start));
    test::CurrentFolder inside(start);
    CliResult r = runCli({"targets"});
    EXPECT_NE(2, r.code) << r.err;
    EXPECT_EQ(std::string::npos, r.err.find("rovik-cli targets: ")) << r.err;
}

TEST_F(CliTest, CheckAcceptsAValidFileQuietly) {
    CliResult r = runCli({"check", folder.write("ok.txt", kValid)});
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("", r.out);
    EXPECT_EQ("", r.err);
}

TEST_F(CliTest, CheckPrintsTheErrorLogAndWritesItExactly) {
    const std::string path = folder.write("bad.txt", "x\ty\n\xB1\r");
    const std::string log = folder.write("log.txt", "old");
    CliResult r = runCli({"check", path, "--log", log});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("1行目\nx\ty\n第５項目に0がありません。\n-------------------------------\n"
              "1行目\nx\ty\n第１項目は2文字です。\n-------------------------------\n"
              "2行目\nｱ\n第５項目に0がありません。\n-------------------------------\n"
              "2行目\nｱ\n第１項目は2文字です。\n-------------------------------\n"
              "tTitleがありません。\n-------------------------------\n",
              r.out);
    EXPECT_EQ(errorLogBytes(validationLog({"x\ty", "\xB1"}, 1, 0)), test::TempFolder::read(log));
    EXPECT_EQ(2, runCli({"--log", log, "check", path}).code); // options follow the command
    EXPECT_EQ(1, runCli({"check", "--log", log, path}).code);
}

TEST_F(CliTest, CheckLeavesTheLogAloneForAValidFile) {
    const std::string log = folder.write("log.txt", "old");
    EXPECT_EQ(0, runCli({"check", folder.write("ok.txt", kValid), "--log", log}).code);
    EXPECT_EQ("old", test::TempFolder::read(log));
}

TEST_F(CliTest, CheckOfAnEmptyFileIsRefusedSilently) {
    for (const std::string& bytes : {std::string(), std::string("\0tTitle\tT\r\n", 11)}) {
        CliResult r = runCli({"check", folder.write("empty.txt", bytes)});
        EXPECT_EQ(1, r.code);
        EXPECT_EQ("", r.out);
    }
}

TEST_F(CliTest, CheckOfAMissingFileExitsWithTwo) {
    CliResult r = runCli({"check", folder.file("none.txt")});
    EXPECT_EQ(2, r.code);
    EXPECT_EQ("", r.out);
    EXPECT_EQ("rovik-cli: " + folder.file("none.txt") + ": No such file or directory\n", r.err);
    EXPECT_EQ(2, runCli({"check", folder.path()}).code); // a folder is not readable as a file
    EXPECT_EQ(2, runCli({"check"}).code);
    EXPECT_EQ(2, runCli({"check", "a", "b"}).code);
    EXPECT_EQ(2, runCli({"check", "a", "--bogus"}).code);
    const std::string bad = folder.write("bad.txt", "x\r\n");
    EXPECT_EQ(2, runCli({"check", bad, "--log", folder.file("gone/log.txt")}).code);
}

TEST_F(CliTest, ToPdbWritesWhatWritePdbWrites) {
    const std::string in = folder.write("in.txt", "tTitle\t\xB6\xDE\t3\t3\r\n11\tq\ta\tr\t0\r\n");
    const std::string out = folder.file("\xE7\x84\xA1\xE9\xA1\x8C.pdb"); // 無題.pdb
    const std::uint32_t today = palmDateToday();
    CliResult r = runCli({"to-pdb", in, out});
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("rovik-cli: 半角カナを全角カナに修正しました。\n", r.err);
    const std::string pdb = test::TempFolder::read(out);
    std::uint32_t date = 0;
    ASSERT_TRUE(readU32(pdb, 36, date));
    EXPECT_TRUE(date == today || date == today + 86400u);
    EXPECT_EQ(buildPdbImage({"tTitle\t\x83\x4B\t3\t3", "11\tq\ta\tr\t0"}, "\x96\xB3\x91\xE8", date).bytes,
              pdb);
}

TEST_F(CliTest, ToPdbOfARefusedFileWritesNothing) {
    const std::string out = folder.file("out.pdb");
    CliResult r = runCli({"to-pdb", folder.write("bad.txt", "tTitle\r\n"), out});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("1行目\ntTitle\n第２項目がありません。\n-------------------------------\n", r.out);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(1, runCli({"to-pdb", folder.write("empty.txt", ""), out}).code);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(2, runCli({"to-pdb", folder.file("none.txt"), out}).code);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(2, runCli({"to-pdb", folder.write("ok.txt", kValid), folder.file("gone/out.pdb")}).code);
    EXPECT_EQ(2, runCli({"to-pdb", "only-one"}).code);
}

TEST_F(CliTest, ToPdbTooLargeExitsWithThreeAndKeepsTheOldFile) {
    std::string text = "tTitle\tT\t3\t3\r\n";
    for (int i = 0; i < 9000; ++i)
        text += "11\tq\ta\tr\t0\r\n";
    const std::string out = folder.write("out.pdb", "old database");
    CliResult r = runCli({"to-pdb", folder.write("big.txt", text), out});
    EXPECT_EQ(3, r.code);
    EXPECT_EQ("rovik-cli: レコードが64KBを超えているためにファイル保存はできませんでした。\n", r.err);
    EXPECT_EQ("old database", test::TempFolder::read(out));
}

TEST_F(CliTest, ToTextIsConvertPdbToText) {
    QuestionSet set;
    set.lines = {"tTitle\tT\t3\t3", "dBunrui\tA", " ab", "11\tq\ta\tr\t0"};
    const std::string pdb = folder.write("in.pdb", buildPdbImage(set.lines, "n", 0).bytes);
    CliResult r = runCli({"to-text", pdb, folder.file("out.txt")});
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("", r.err);
    EXPECT_EQ("tTitle\tT\t3\t3\r\ndBunrui\tA\r\nab\r\n11\tq\ta\tr\t0\r\n",
              test::TempFolder::read(folder.file("out.txt")));
}

// As the data list window says when it opens such a database.
TEST_F(CliTest, ToTextOfADatabaseWithoutRecordsSaysSoAndWritesNothing) {
    const std::string pdb = folder.write("empty.pdb", buildPdbImage({}, "n", 0).bytes);
    for (const char* encoding : {"cp932", "utf-8"}) {
        CliResult r = runCli({"to-text", "--encoding", encoding, pdb, folder.file("out.txt")});
        EXPECT_EQ(1, r.code);
        EXPECT_EQ("rovik-cli: ファイルにデータがありません。\n" + pdb + "\n", r.err);
        EXPECT_FALSE(std::filesystem::exists(folder.file("out.txt")));
    }
}

TEST_F(CliTest, ToTextReportsBrokenAndUnreadableFiles) {
    CliResult r = runCli({"to-text", folder.file("none.pdb"), folder.file("out.txt")});
    EXPECT_EQ(2, r.code);
    EXPECT_EQ("rovik-cli: ファイルが開けません (" + folder.file("none.pdb") +
                  ": No such file or directory)\n",
              r.err);
    // Too short, or any file whose bytes 76-77 happen to be zero: no database of ours.
    for (const std::string& bytes : {std::string("short"), std::string(200, '\0')}) {
        r = runCli({"to-text", folder.write("bad.pdb", bytes), folder.file("out.txt")});
        EXPECT_EQ(2, r.code);
        EXPECT_EQ("rovik-cli: PDBﾌｧｲﾙが壊れているため読み込めませんでした。\n", r.err);
        EXPECT_FALSE(std::filesystem::exists(folder.file("out.txt")));
    }
    EXPECT_EQ(2, runCli({"to-text", folder.write("ok.pdb", buildPdbImage({"tTitle\tT"}, "n", 0).bytes),
                         folder.file("gone/out.txt")})
                     .code);
    EXPECT_EQ(2, runCli({"to-text"}).code);
}

TEST_F(CliTest, HelpDescribesTheToolAndEachCommand) {
    CliResult tool = runCli({"--help"});
    EXPECT_EQ(0, tool.code);
    for (const char* name : {"check", "to-pdb", "to-text"}) {
        EXPECT_NE(std::string::npos, tool.out.find(std::string("  ") + name + "\t")) << name;
        CliResult r = runCli({name, "--help"});
        EXPECT_EQ(0, r.code) << name;
        EXPECT_EQ(0u, r.out.find(std::string("usage: rovik-cli ") + name + " ")) << r.out;
        EXPECT_NE(std::string::npos, r.out.find("exit status: 0")) << name;
    }
}

} // namespace
} // namespace rovik::cli
