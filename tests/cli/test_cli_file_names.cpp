// Every command that takes a file name, over the names that break path handling: raw Shift-JIS
// with 0x5C trail bytes, UTF-8 outside Shift-JIS, shell and control characters, long names.
#include "cli/Cli.h"

#include "../import/FiveChoiceBytes.h"
#include "cli/CliRun.h"
#include "platform/TextEncoding.h"
#include "support/HostileNames.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>

namespace rovik::cli {
namespace {

using test::fromHex;
using test::HostileName;
using test::stemOf;

std::vector<HostileName> hostileNames() {
    return test::hostileNames(ROVIK_FIXTURES);
}

// The name the handheld and the title get: the file name up to its first ".", as CP932 (hex);
// the database name is cut to 31 bytes.
const std::map<std::string, std::string> kExpectedNames = {
    {"sjis-5c-hyou", "96e291e8955c"},
    {"sjis-5c-so", "835c83748367"},
    {"sjis-5c-nou", "945c97cd"},
    {"sjis-5c-end", "8f5c"},
    {"sjis-7c", "837c"},
    {"sjis-kana", "b1b2b3"},
    {"utf8-desktop", "83668358834e836783628376"},
    {"utf8-small-a", "829f"},
    {"utf8-palm", "8370815b8380"},
    {"utf8-user", "8e5293632091be9859"},
    {"utf8-umlaut", "6a7267656e"},
    {"utf8-emoji", ""},
    {"utf8-yoshi", "96ec"},
    {"utf8-wave", "8160"},
    {"utf8-nfd", "82a9"},
    {"space", "6d792066696c65"},
    {"leading-dash", "2d6e"},
    {"shell", "613b6220242878292060796020277122"},
    {"newline", "610a62"},
    {"cr", "610d62"},
    {"tab", "610962"},
    {"backslash", "615c62"},
    {"dot", ""},
    {"win-reserved", "434f4e"},
    {"trailing-dot", "6e616d65"},
    {"invalid-utf8", "fffe"},
};

// Where the title an import takes from the name differs from the database name: a tab or line
// end would split the title's line, and a name with nothing CP932 holds is 無題.
const std::map<std::string, std::string> kTitleNotDatabaseName = {
    {"newline", "612062"}, {"cr", "612062"}, {"tab", "612062"}, {"utf8-emoji", "96b391e8"}, {"dot", "96b391e8"},
};

const std::string kValid = "tTitle\tT\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq\ta\tr\t0\r\n";

// Windows hands programs their arguments as UTF-16 and refuses some characters and names in
// files: a raw Shift-JIS name, or one such as "a|b" or "con.txt", cannot reach rovik-cli there.
bool nameThisSystemCanHold(const std::string& name) {
#ifdef _WIN32
    if (!isValidUtf8(name) || name.empty() || name.back() == '.' || name.back() == ' ') return false;
    for (const unsigned char c : name)
        if (c < 0x20 || std::string("<>:\"|?*\\").find(static_cast<char>(c)) != std::string::npos)
            return false;
    std::string stem = name.substr(0, name.find('.'));
    for (char& c : stem)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const char* reserved : {"CON", "PRN", "AUX", "NUL"})
        if (stem == reserved) return false;
    return !((stem.rfind("COM", 0) == 0 || stem.rfind("LPT", 0) == 0) && stem.size() == 4);
#else
    (void)name;
    return true;
#endif
}

// The database name field: up to its zero byte.
std::string databaseNameIn(const std::string& pdb) {
    return pdb.substr(0, std::min<std::size_t>(pdb.find('\0'), 32));
}

TEST(CliFileNames, EveryCommandTakesEveryName) {
    const std::vector<HostileName> names = hostileNames();
    ASSERT_GE(names.size(), 30u);
    for (const HostileName& name : names) {
        if (name.bytes.find('/') != std::string::npos) continue; // a path into a folder, not a name
        if (!nameThisSystemCanHold(name.bytes)) continue;
        SCOPED_TRACE(name.id);
        test::TempFolder folder;
        std::filesystem::create_directory(folder.file("out"));
        const std::string in = folder.write(name.bytes, kValid);
        const std::string stem = stemOf(name.bytes);
        const std::string pdb = folder.file(stem + ".pdb");
        const std::string back = folder.file("out/" + name.bytes);

        EXPECT_EQ(0, test::runCli({"check", in}).code);
        const std::string log = folder.file("out/" + stem + ".log");
        EXPECT_EQ(1, test::runCli({"check", folder.write("bad", "x\r\n"), "--log", log}).code);
        EXPECT_EQ(0u, test::TempFolder::read(log).rfind("1", 0)) << "the log names line 1";
        const test::CliResult toPdb = test::runCli({"to-pdb", in, pdb});
        ASSERT_EQ(0, toPdb.code) << toPdb.err;
        const std::string pdbBytes = test::TempFolder::read(pdb);
        const auto expected = kExpectedNames.find(name.id);
        if (expected != kExpectedNames.end()) {
            EXPECT_EQ(fromHex(expected->second), databaseNameIn(pdbBytes));
        }
        EXPECT_EQ(0, test::runCli({"to-text", pdb, back}).code);
        EXPECT_EQ(kValid, test::TempFolder::read(back));

        const std::string imported = folder.file("out/" + stem + ".imp");
        const std::string source = folder.write("out/" + name.bytes, "q\ta\r\n");
        ASSERT_EQ(0, test::runCli({"import-tab", source, imported}).code);
        const std::string fiveChoice = folder.write(stem + ".5tq", test::fiveTq({1, 0, 0, 0, 0, 0, 0, 0}));
        ASSERT_EQ(0, test::runCli({"import-5tq", fiveChoice, folder.file("out/" + stem + ".5tx")}).code);
        std::string titleHeader; // the five-choice import's title line, as the name gives it
        std::string widenedHeader; // the tab and CSV imports widen half-width katakana: ｱｲｳ becomes アイウ
        if (expected != kExpectedNames.end()) {
            const auto differs = kTitleNotDatabaseName.find(name.id);
            const std::string title = differs != kTitleNotDatabaseName.end() ? differs->second : expected->second;
            titleHeader = "tTitle\t" + fromHex(title) + "\t";
            widenedHeader = "tTitle\t" + fromHex(name.id == "sjis-kana" ? "834183438345" : title) + "\t";
            EXPECT_EQ(0u, test::TempFolder::read(imported).rfind(widenedHeader, 0));
            EXPECT_EQ(0u, test::TempFolder::read(folder.file("out/" + stem + ".5tx")).rfind(titleHeader, 0));
        }
        const bool pdbName =
            name.bytes.size() >= 4 && name.bytes.compare(name.bytes.size() - 4, 4, ".pdb") == 0;
        if (!pdbName) { // a ".pdb" is read as one
            EXPECT_EQ(0, test::runCli({"quiz", in, "--title", "1"}).code);
        }
#ifdef ROVIK_DECKS
        // The package under the name itself: ".apkg" would take a 255-byte name past the limit.
        std::filesystem::create_directory(folder.file("apkg"));
        const std::string apkg = folder.file("apkg/" + name.bytes);
        const std::string csv = folder.file("out/" + stem + ".csv");
        EXPECT_EQ(0, test::runCli({"export-apkg", pdbName ? pdb : in, apkg}).code);
        EXPECT_EQ(0u, test::TempFolder::read(apkg).rfind("PK\x03\x04", 0));
        EXPECT_EQ(0, test::runCli({"export-csv", pdb, csv, "--anki"}).code);
        EXPECT_EQ("#separator:tab\n#html:false\n#deck column:1\n#tags column:5\nT\tq\ta\tr\tA B\n",
                  test::TempFolder::read(csv));
        // And in: a CSV under the name, and the package just written.
        std::filesystem::create_directory(folder.file("csv"));
        const std::string fromCsv = folder.file("out/" + stem + ".cim");
        EXPECT_EQ(0, test::runCli({"import-csv", folder.write("csv/" + name.bytes, "q,a\r\n"), fromCsv}).code);
        const std::string csvText = test::TempFolder::read(fromCsv);
        EXPECT_NE(std::string::npos, csvText.find("\r\n11\tq\ta\t"));
        if (!widenedHeader.empty()) {
            EXPECT_EQ(0u, csvText.rfind(widenedHeader, 0));
        }
        const std::string fromApkg = folder.file("out/" + stem + ".aim");
        EXPECT_EQ(0, test::runCli({"import-apkg", apkg, fromApkg}).code);
        const std::string apkgText = test::TempFolder::read(fromApkg);
        EXPECT_EQ(0u, apkgText.rfind("tTitle\tT\t", 0));
        EXPECT_NE(std::string::npos, apkgText.find("\r\n11\tq\ta\t")); // the reference needs --reference
#endif
    }
}

TEST(CliFileNames, LongNamesAreCutOnlyForTheHandheld) {
    for (const HostileName& name : hostileNames()) {
        if (name.id != "long-255" && name.id != "long-sjis") continue;
        if (!nameThisSystemCanHold(name.bytes)) continue;
        SCOPED_TRACE(name.id);
        test::TempFolder folder;
        const std::string in = folder.write(stemOf(name.bytes) + ".txt", kValid);
        const std::string pdb = folder.file(stemOf(name.bytes) + ".pdb");
        ASSERT_EQ(0, test::runCli({"to-pdb", in, pdb}).code);
        const std::string expected =
            name.id == "long-255" ? std::string(31, 'N')
                                  : fromHex("955c955c955c955c955c955c955c955c955c955c955c955c955c955c955c");
        EXPECT_EQ(expected, databaseNameIn(test::TempFolder::read(pdb)));
    }
}

} // namespace
} // namespace rovik::cli
