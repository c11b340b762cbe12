// The export commands exist where the decks are built (not in the Windows build).
#ifdef ROVIK_DECKS
#include "cli/Cli.h"
#include "platform/FileIo.h"

#include "../decks/ApkgReader.h"
#include "cli/CliRun.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace rovik::cli {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::runCli;

// 日本 / 動物 / 名詞 / 犬 & <猫> / 参考 in CP932.
const std::string kQaText = "tTitle\t\x93\xFA\x96\x7B\t3\t3\r\n"
                            "dBunrui\t\x93\xAE\x95\xA8\r\n"
                            "sBunrui\t\x96\xBC\x8E\x8C\r\n"
                            "11\t\x8C\xA2 & <\x94\x4C>\tdog\t\x8E\x51\x8D\x6C\t0\r\n"
                            "// not a question\r\n"
                            "tTitle\tSecond\t3\t3\r\n"
                            "dBunrui\tA\r\n"
                            "sBunrui\tB b\r\n"
                            "11\tq,2\ta \"2\"\t\t0\r\n";

const std::string kNihon = "\xE6\x97\xA5\xE6\x9C\xAC";
const std::string kDoubutsu = "\xE5\x8B\x95\xE7\x89\xA9";
const std::string kMeishi = "\xE5\x90\x8D\xE8\xA9\x9E";
const std::string kInuNeko = "\xE7\x8A\xAC & <\xE7\x8C\xAB>";
const std::string kSankou = "\xE5\x8F\x82\xE8\x80\x83";

const std::string kCsvHeader =
    "\xEF\xBB\xBF\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB,"
    "\xE5\x88\x86\xE9\xA1\x9E"
    "A,\xE5\x88\x86\xE9\xA1\x9E"
    "B,"
    "\xE8\xB3\xAA\xE5\x95\x8F,\xE8\xA7\xA3\xE7\xAD\x94,\xE5\x8F\x82\xE8\x80\x83\r\n";
const std::string kCsvRows = kNihon + "," + kDoubutsu + "," + kMeishi + "," + kInuNeko + ",dog," + kSankou +
                             "\r\nSecond,A,B b,\"q,2\",\"a \"\"2\"\"\",\r\n";

std::size_t entriesIn(const std::string& folder) {
    std::size_t n = 0;
    for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it)
        ++n;
    return n;
}

class CliExportTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    std::string input = folder.write("qa.txt", kQaText);
};

TEST_F(CliExportTest, PackageReadsBackWithEveryTitle) {
    const std::string out = folder.file("out.apkg");
    CliResult r = runCli({"export-apkg", input, out});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("", r.out);
    EXPECT_EQ("", r.err);
    const std::string read = test::readApkgIndependently(out);
    EXPECT_NE(std::string::npos, read.find("integrity: ok\n")) << read;
    EXPECT_NE(std::string::npos, read.find("tags: A B_b " + kDoubutsu + " " + kMeishi + "\n")) << read;
    EXPECT_NE(std::string::npos, read.find("decks: Default | " + kNihon + " | Second\n")) << read;
    EXPECT_NE(std::string::npos,
              read.find("note: " + kNihon + " \t\xE7\x8A\xAC &amp; &lt;\xE7\x8C\xAB&gt;\tdog\t" + kSankou +
                        "\t[ " + kDoubutsu + " " + kMeishi + " ]\t" + kInuNeko + "\n"))
        << read;
    EXPECT_NE(std::string::npos, read.find("note: Second \tq,2\ta \"2\"\t\t[ A B_b ]\tq,2\n")) << read;
    EXPECT_EQ(std::string::npos, read.find("problem")) << read;
}

TEST_F(CliExportTest, SpreadsheetCsvAndAnkiText) {
    ASSERT_EQ(0, runCli({"export-csv", input, folder.file("all.csv")}).code);
    EXPECT_EQ(kCsvHeader + kCsvRows, test::TempFolder::read(folder.file("all.csv")));
    CliResult r = runCli({"export-csv", "--anki", input, folder.file("second.txt"), "--title", "2"});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ("#separator:tab\n#html:false\n#deck column:1\n#tags column:5\n"
              "Second\tq,2\t\"a \"\"2\"\"\"\t\tA B_b\n",
              test::TempFolder::read(folder.file("second.txt")));
}

// A database goes through its text, as opening it does.
TEST_F(CliExportTest, PdbGivesWhatItsTextGives) {
    const std::string pdb = folder.file("qa.pdb");
    ASSERT_EQ(0, runCli({"to-pdb", input, pdb}).code);
    CliResult r = runCli({"export-csv", pdb, folder.file("from-pdb.csv")});
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ(kCsvHeader + kCsvRows, test::TempFolder::read(folder.file("from-pdb.csv")));
}

// A UTF-8 file gets its own forms back: 〜 (U+301C) stays 〜, not the ～ CP932 reads it as.
TEST_F(CliExportTest, Utf8FileKeepsItsForms) {
    const std::string utf8 = folder.write("utf8.txt", "tTitle\tT\t3\t3\r\n11\t1\xE3\x80\x9C"
                                                      "2\ta\t\t0\r\n");
    ASSERT_EQ(0, runCli({"export-csv", utf8, folder.file("u.csv")}).code);
    EXPECT_EQ(kCsvHeader + "T,,,1\xE3\x80\x9C"
                           "2,a,\r\n",
              test::TempFolder::read(folder.file("u.csv")));
}

TEST_F(CliExportTest, BadInputSaysWhyAndWritesNothing) {
    const std::string invalid = folder.write("invalid.txt", "tTitle\tT\t3\t3\r\n11\tq\r\n");
    const std::string empty = folder.write("empty.txt", "tTitle\tT\t3\t3\r\n");
    const std::string notPdb = folder.write("fake.pdb", "not a database");
    const std::string out = folder.file("out.apkg");
    const struct {
        Args args;
        int code;
        const char* errStart;
    } cases[] = {
        {{"export-apkg", folder.file("missing.txt"), out}, 2, "rovik-cli: "},
        {{"export-apkg", notPdb, out}, 2, "rovik-cli: "},
        {{"export-apkg", input, out, "--title", "3"}, 2, "rovik-cli: "},
        {{"export-apkg", input, out, "--title", "0"}, 2, "usage: rovik-cli export-apkg"},
        {{"export-apkg", input, out, "--anki"}, 2, "usage: rovik-cli export-apkg"},
        {{"export-apkg", input}, 2, "usage: rovik-cli export-apkg"},
        {{"export-csv", input, out, "--title"}, 2, "usage: rovik-cli export-csv"},
        {{"export-apkg", invalid, out}, 1, ""},
        {{"export-csv", empty, out}, 1, "rovik-cli: "},
        {{"export-apkg", input, folder.file("no folder/out.apkg")}, 2, "rovik-cli: "},
    };
    for (const auto& c : cases) {
        CliResult r = runCli(c.args);
        EXPECT_EQ(c.code, r.code) << c.args.back();
        EXPECT_EQ(0u, r.err.rfind(c.errStart, 0)) << r.err;
        EXPECT_FALSE(fileExists(out)) << c.args.back();
    }
    EXPECT_EQ(4u, entriesIn(folder.path()));
    // The title count and the refused file's log are named.
    EXPECT_NE(std::string::npos, runCli({"export-apkg", input, out, "--title", "3"})
                                     .err.find("\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB" // タイトル
                                               "\xE6\x95\xB0 2\xEF\xBC\x89"));                    // 数 2）
    EXPECT_NE("", runCli({"export-apkg", invalid, out}).out);
}

// Sparse files: their size is all that is looked at before anything is read.
TEST_F(CliExportTest, TooLargeInputIsRefusedBeforeReading) {
    const std::string text = folder.file("huge.txt");
    const std::string pdb = folder.file("huge.pdb");
    folder.write("huge.txt", kQaText);
    folder.write("huge.pdb", "");
    fs::resize_file(text, kMaxReadBytes + 1);
    fs::resize_file(pdb, 65u * 1024 * 1024);
    for (const std::string& in : {text, pdb}) {
        CliResult r = runCli({"export-csv", in, folder.file("out.csv")});
        EXPECT_EQ(3, r.code) << in;
        EXPECT_EQ(0u, r.err.rfind("rovik-cli: " + in + ": ", 0)) << r.err;
        EXPECT_FALSE(fileExists(folder.file("out.csv")));
    }
}

TEST_F(CliExportTest, ReadOnlyFolderIsRefusedAndLeftEmpty) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    test::TempFolder target;
    fs::permissions(target.path(), fs::perms::owner_read | fs::perms::owner_exec);
    for (const Args& args : {Args{"export-apkg", input, target.file("out.apkg")},
                             Args{"export-csv", input, target.file("out.csv")}}) {
        CliResult r = runCli(args);
        EXPECT_EQ(2, r.code) << args[0];
        EXPECT_NE(std::string::npos, r.err.find(args[2])) << r.err;
    }
    fs::permissions(target.path(), fs::perms::owner_all);
    EXPECT_EQ(0u, entriesIn(target.path()));
}

} // namespace
} // namespace rovik::cli
#endif
