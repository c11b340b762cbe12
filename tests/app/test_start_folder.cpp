// The start folder of an installed program: found from the program's own place, created and filled
// from the shipped files without touching what the user already has.
#include "app/StartFolder.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace rovik {
namespace {
namespace fs = std::filesystem;
using test::TempFolder;

const std::map<std::string, std::string> kShipped = {{"SampleQA.TXT", "tTitle\tSample\t3\t3\r\n"},
                                                     {"SampleQA.pdb", std::string("PDB\0bytes", 9)},
                                                     {"rovikhelp.html", "<html></html>"}};

// An install prefix: bin/ for the program and share/rovik/ holding the shipped files.
struct Prefix {
    TempFolder folder;
    std::string bin = folder.file("bin");
    std::string shipped = folder.file("share/rovik");
    Prefix() {
        fs::create_directories(bin);
        fs::create_directories(shipped);
        for (const auto& [name, bytes] : kShipped)
            folder.write("share/rovik/" + name, bytes);
    }
};

std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] =
            entry.is_regular_file() ? TempFolder::read(entry.path().string()) : "<folder>";
    return files;
}

TEST(StartFolder_Shipped, FoundNextToAnInstalledProgramOnly) {
    Prefix prefix;
    TempFolder buildTree;
    fs::create_directories(buildTree.file("src/app"));
    buildTree.write("share", "a file, not a folder");
    const struct {
        std::string programFolder;
        std::optional<std::string> expected;
    } cases[] = {
        {prefix.bin, fs::canonical(prefix.shipped).string()},
        {buildTree.file("src/app"), std::nullopt},
        {buildTree.path() + "/missing", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, shippedFilesFolder(c.programFolder)) << c.programFolder;
}

TEST(StartFolder_User, RovikInTheHomeFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "an installed program's ~/Rovik is Linux's";
#endif
    EXPECT_EQ("/home/ann/Rovik", userStartFolder("/home/ann"));
    EXPECT_EQ("", userStartFolder(""));
    EXPECT_EQ("", userStartFolder(nullptr));
}

TEST(StartFolder_Fill, CopiesWhatIsMissingAndKeepsWhatIsThere) {
    const struct {
        const char* name;
        std::map<std::string, std::string> before; // the start folder's files; absent when empty
        std::map<std::string, std::string> after;
    } cases[] = {
        {"first start", {}, kShipped},
        {"all there, all kept",
         {{"SampleQA.TXT", "mine"}, {"SampleQA.pdb", "mine too"}, {"rovikhelp.html", "old help"}},
         {{"SampleQA.TXT", "mine"}, {"SampleQA.pdb", "mine too"}, {"rovikhelp.html", "old help"}}},
        {"help deleted for a newer copy, settings untouched",
         {{"SampleQA.TXT", "mine"}, {"SampleQA.pdb", "mine too"}, {"Rovik.ini", "1\r\n"}},
         {{"SampleQA.TXT", "mine"},
          {"SampleQA.pdb", "mine too"},
          {"Rovik.ini", "1\r\n"},
          {"rovikhelp.html", kShipped.at("rovikhelp.html")}}},
    };
    for (const auto& c : cases) {
        Prefix prefix;
        TempFolder home;
        const std::string start = home.file("Rovik");
        if (!c.before.empty()) fs::create_directory(start);
        for (const auto& [name, bytes] : c.before)
            home.write("Rovik/" + name, bytes);
        std::string error;
        EXPECT_TRUE(fillStartFolder(prefix.shipped, start, &error)) << c.name << ": " << error;
        EXPECT_EQ(c.after, filesIn(start)) << c.name;
    }
}

TEST(StartFolder_Fill, SkipsShippedSubfolders) {
    Prefix prefix;
    fs::create_directory(prefix.shipped + "/extra");
    TempFolder home;
    ASSERT_TRUE(fillStartFolder(prefix.shipped, home.file("Rovik"), nullptr));
    EXPECT_EQ(kShipped, filesIn(home.file("Rovik")));
}

TEST(StartFolder_Fill, RefusesWithTheReasonAndCopiesNothing) {
    const struct {
        const char* name;
        bool shippedMissing;
        bool startIsFile;
        const char* errorNames;
    } cases[] = {
        {"start folder is a file", false, true, "Rovik"},
        {"shipped folder missing", true, false, "share/rovik"},
    };
    for (const auto& c : cases) {
        Prefix prefix;
        if (c.shippedMissing) fs::remove_all(prefix.shipped);
        TempFolder home;
        if (c.startIsFile) home.write("Rovik", "user's file");
        std::string error;
        EXPECT_FALSE(fillStartFolder(prefix.shipped, home.file("Rovik"), &error)) << c.name;
        EXPECT_NE(std::string::npos, error.find(c.errorNames)) << c.name << ": " << error;
        if (c.startIsFile) {
            EXPECT_EQ("user's file", TempFolder::read(home.file("Rovik"))) << c.name;
        }
    }
}

// The tests below move the current folder; an earlier test may have left it in a folder since
// removed, which they would take for their own failure.
struct StartFolder_Enter : ::testing::Test {
    StartFolder_Enter() {
        std::error_code ec;
        (void)fs::current_path(ec);
        if (ec) fs::current_path(fs::temp_directory_path());
    }
};

TEST_F(StartFolder_Enter, InstalledProgramMovesIntoTheFilledStartFolder) {
    Prefix prefix;
    TempFolder home;
    TempFolder elsewhere;
    test::CurrentFolder here(elsewhere.path());
    std::string error;
    ASSERT_TRUE(enterUserStartFolder(prefix.bin, home.path().c_str(), &error)) << error;
    EXPECT_EQ(fs::canonical(home.file("Rovik")), fs::current_path());
    EXPECT_EQ(kShipped, filesIn(home.file("Rovik")));
}

TEST_F(StartFolder_Enter, BuildTreeAndFailuresKeepTheCurrentFolder) {
    Prefix prefix;
    TempFolder buildTree;
    TempFolder home;
    home.write("Rovik", "a file where the folder should be");
    const struct {
        const char* name;
        std::string programFolder;
        const char* home;
        bool ok;
        const char* error;
    } cases[] = {
        {"build tree", buildTree.path(), home.path().c_str(), true, ""},
        {"no HOME", prefix.bin, nullptr, false, "HOME is not set"},
        {"empty HOME", prefix.bin, "", false, "HOME is not set"},
        {"start folder cannot be made", prefix.bin, home.path().c_str(), false, "Rovik"},
    };
    for (const auto& c : cases) {
        TempFolder elsewhere;
        test::CurrentFolder here(elsewhere.path());
        std::string error;
        EXPECT_EQ(c.ok, enterUserStartFolder(c.programFolder, c.home, &error)) << c.name;
        EXPECT_NE(std::string::npos, error.find(c.error)) << c.name << ": " << error;
        EXPECT_EQ(fs::canonical(elsewhere.path()), fs::current_path()) << c.name;
    }
}

} // namespace
} // namespace rovik
