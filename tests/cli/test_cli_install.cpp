// rovik-cli install and targets in a scratch home: exit codes and what lands where.
#include "cli/Cli.h"
#include "platform/Cp932.h"
#include "platform/Registry.h"

#include "../hotsync/PalmDesktopFixture.h"
#include "support/HostileNames.h"
#include "support/TempFolder.h"

#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>

// The install targets these tests reach (stand-in registry file, Wine, J-Pilot, pilot-xfer) and
// their scratch homes are Linux's; on Windows the registry is the real one.
#ifndef _WIN32
namespace rovik::cli {
namespace {
namespace fs = std::filesystem;
using test::TempFolder;

const std::string kValid = "tTitle\tT\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq\ta\tr\t0\r\n";

// Sets an environment variable for the test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        const char* old = std::getenv(name);
        if (old) m_old = old;
        m_had = old != nullptr;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (m_had)
            setenv(m_name, m_old.c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

class CliInstallTest : public ::testing::Test {
protected:
    TempFolder home;
    ScopedEnv homeVar{"HOME", home.path()};
    ScopedEnv pathVar{"PATH", home.file("bin")};
    ScopedEnv wineVar{"WINEPREFIX", home.file(".wine")};
    ScopedEnv jpilotVar{"JPILOT_HOME", home.path()};
    test::CurrentFolder current{(fs::create_directories(home.file("start")), home.file("start"))};

    void SetUp() override {
        fs::create_directories(home.file("bin"));
        setRegistryFilePath(home.file(".config/rovik/HKEY_CURRENT_USER.reg"));
    }
    void TearDown() override { setRegistryFilePath({}); }

    using Result = test::CliResult;
    Result cli(const Args& args) { return test::runCli(args); }
    void pilotXfer(int status) {
        home.write("bin/pilot-xfer",
                   "#!/bin/sh\necho \"$@\" > \"$HOME/xfer-args\"\nexit " + std::to_string(status) + "\n");
        fs::permissions(home.file("bin/pilot-xfer"), fs::perms::owner_all);
    }
};

TEST_F(CliInstallTest, ExitCodes) {
    home.write("good.txt", kValid);
    home.write("bad.txt", "not a qa text\r\n");
    home.write("short.pdb", "tiny");
    const struct {
        const char* name;
        Args args;
        int code;
    } cases[] = {
        {"no target", {"install", home.file("good.txt")}, 4},
        {"refused text", {"install", home.file("bad.txt"), "--target", "jpilot"}, 1},
        {"missing input", {"install", home.file("none.txt"), "--target", "jpilot"}, 2},
        {"not a database", {"install", home.file("short.pdb"), "--target", "jpilot"}, 2},
        {"bad name", {"install", home.file("good.txt"), "--target", "jpilot", "--name", "a/b"}, 1},
        {"name past 31 bytes",
         {"install", home.file("good.txt"), "--target", "jpilot", "--name", std::string(32, 'n')},
         1},
        {"unknown target", {"install", home.file("good.txt"), "--target", "floppy"}, 2},
        {"forced pilot-xfer missing", {"install", home.file("good.txt"), "--target", "pilot-xfer"}, 4},
        {"targets without any", {"targets"}, 4},
    };
    for (const auto& c : cases) {
        const Result r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.name << "\n" << r.err;
        EXPECT_FALSE(fs::exists(home.file(".jpilot/jpilot.install"))) << c.name;
    }
    const Result none = cli({"install", home.file("good.txt")});
    EXPECT_NE(none.err.find("J-Pilot"), std::string::npos);
}

TEST_F(CliInstallTest, JPilotQueueGetsTheConvertedDatabaseOnce) {
    home.write("Drill.txt", kValid);
    fs::create_directories(home.file(".jpilot"));
    for (int i = 0; i < 2; ++i) {
        const Result r = cli({"install", home.file("Drill.txt")});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find("J-Pilot"), std::string::npos);
    }
    const std::string kept = fs::canonical(home.file("start")).string() + "/Install/Drill.pdb";
    EXPECT_EQ(TempFolder::read(home.file(".jpilot/jpilot.install")), kept + "\n");
    EXPECT_EQ(TempFolder::read(kept).substr(0, 5), "Drill");
}

TEST_F(CliInstallTest, PilotXferSucceedsOnlyOnExitZero) {
    home.write("Drill.pdb", std::string(100, '\0'));
    for (int status : {0, 2}) {
        pilotXfer(status);
        const Result r = cli({"install", home.file("Drill.pdb")});
        EXPECT_EQ(r.code, status == 0 ? 0 : 4) << r.err;
        EXPECT_EQ(TempFolder::read(home.file("xfer-args")), "-p usb: -i " + home.file("Drill.pdb") + "\n");
    }
}

// A raw Shift-JIS name installs under the characters it stands for: the trail byte 0x5C of 表
// and ソ is no backslash (which install refuses in a name).
TEST_F(CliInstallTest, RawShiftJisNamesInstallUnderTheirCharacters) {
    const struct {
        std::string name;
        const char* installed;
    } cases[] = {{"\x96\xe2\x91\xe8\x95\x5c.txt", "問題表.pdb"},
                 {"\x83\x5c\x83\x74\x83\x67.txt", "ソフト.pdb"}};
    pilotXfer(0);
    for (const auto& c : cases) {
        const Result r = cli({"install", home.write(c.name, kValid), "--target", "pilot-xfer"});
        EXPECT_EQ(0, r.code) << r.err;
        const std::string args = TempFolder::read(home.file("xfer-args"));
        EXPECT_EQ(std::string("/") + c.installed + "\n", args.substr(args.rfind('/'))) << args;
    }
}

// Every name of the table: installed under the characters it stands for, or refused when it cannot
// be the installed file's or the database's name (a control character, a backslash, more than 31
// bytes, nothing before the extension, a character Shift-JIS cannot hold).
TEST_F(CliInstallTest, EveryNameInstallsOrIsRefusedByName) {
    const std::set<std::string> refused = {"newline",     "cr",         "tab",        "backslash",
                                           "long-255",    "long-sjis",  "dot",        "invalid-utf8",
                                           "utf8-umlaut", "utf8-emoji", "utf8-yoshi", "utf8-nfd"};
    pilotXfer(0);
    for (const test::HostileName& name : test::hostileNames(ROVIK_FIXTURES)) {
        if (name.bytes.find('/') != std::string::npos) continue; // a path into a folder
        SCOPED_TRACE(name.id);
        fs::remove(home.file("xfer-args"));
        const Result r = cli({"install", home.write(name.bytes, kValid), "--target", "pilot-xfer"});
        EXPECT_EQ(refused.count(name.id) ? 1 : 0, r.code) << r.err;
        EXPECT_EQ(refused.count(name.id) == 0, fs::exists(home.file("xfer-args")));
    }
}

TEST_F(CliInstallTest, PalmDesktopStandInChoosesTheNamedUser) {
    const std::string palm = home.file("Palm");
    home.write("Drill.pdb", std::string(100, '\0'));
    fs::create_directories(palm + "/TaroY");
    fs::create_directories(home.file(".config/rovik"));
    home.write("Palm/users.dat", test::usersDatBytes(test::PalmDesktop::threeUsers()));
    home.write(".config/rovik/HKEY_CURRENT_USER.reg",
               "REGEDIT4\n[Software\\U.S. Robotics\\Pilot Desktop\\Core]\n\"Path\"=\"" +
                   test::regQuote(palm) +
                   "\"\n\"HotSyncPath\"=\"x\"\n[Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\n");
    const Result list = cli({"targets"});
    EXPECT_EQ(list.code, 0);
    EXPECT_NE(list.out.find("palm-desktop\tfound"), std::string::npos) << list.out;
    EXPECT_NE(list.out.find("user: Hanako (last)"), std::string::npos) << list.out;
    const Result nobody = cli({"install", home.file("Drill.pdb"), "--user", "Nobody"});
    EXPECT_EQ(nobody.code, 4);
    EXPECT_EQ(nobody.err, "rovik-cli install: Palm Desktop has no HotSync user 'Nobody'; its users are:\n"
                          "  Taro\n  Hanako\n  Jiro\n");
    const Result r = cli({"install", home.file("Drill.pdb"), "--user", "Taro"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(palm + "/TaroY/Install/Drill.pdb"));
    RegistryKey key;
    ASSERT_TRUE(key.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    EXPECT_EQ(key.readDword("Install1"), 1u);
}

// A Palm database of 100 bytes whose header names it "Old".
std::string oldDatabase() {
    return "Old" + std::string(97, '\0');
}

TEST_F(CliInstallTest, NameGoesIntoTheHeaderOfTheInstalledCopy) {
    fs::create_directories(home.file(".jpilot"));
    home.write("Drill.txt", kValid);
    home.write("Drill.pdb", oldDatabase());
    home.write("Rovik.prc", oldDatabase());
    const std::string kept = fs::canonical(home.file("start")).string() + "/Install/";
    const struct {
        const char* name;
        Args args;
        int code;
        std::string installed; // file in the keep folder
        std::string header;    // its first 32 bytes
    } cases[] = {
        {"pdb renamed",
         {"install", home.file("Drill.pdb"), "--name", "Quiz1"},
         0,
         "Quiz1.pdb",
         std::string("Quiz1\0", 6) + std::string(25, ' ') + '\0'},
        {"text named",
         {"install", home.file("Drill.txt"), "--name", "Quiz2"},
         0,
         "Quiz2.pdb",
         std::string("Quiz2\0", 6) + std::string(25, ' ') + '\0'},
        {"Japanese name",
         {"install", home.file("Drill.pdb"), "--name", "ソフト"},
         0,
         "ソフト.pdb",
         std::string("\x83\x5c\x83\x74\x83\x67\0", 7) + std::string(24, ' ') + '\0'},
        {"31 bytes",
         {"install", home.file("Drill.pdb"), "--name", std::string(31, 'n')},
         0,
         std::string(31, 'n') + ".pdb",
         std::string(31, 'n') + '\0'},
        {"pdb keeps its header without --name",
         {"install", home.file("Drill.pdb")},
         0,
         "Drill.pdb",
         "Old" + std::string(29, '\0')},
        {"empty name", {"install", home.file("Drill.pdb"), "--name", ""}, 1, "", ""},
        {"only an extension", {"install", home.file("Drill.pdb"), "--name", ".pdb"}, 1, "", ""},
        {"not in Shift-JIS", {"install", home.file("Drill.pdb"), "--name", "Jürgen"}, 1, "", ""},
        {"program", {"install", home.file("Rovik.prc"), "--name", "Other"}, 1, "", ""},
    };
    for (const auto& c : cases) {
        fs::remove_all(home.file("start/Install"));
        fs::remove(home.file(".jpilot/jpilot.install"));
        const Result r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.name << r.err;
        if (c.code != 0) {
            EXPECT_NE(r.err.find("rovik-cli install: "), std::string::npos) << c.name;
            EXPECT_FALSE(fs::exists(home.file(".jpilot/jpilot.install"))) << c.name;
            continue;
        }
        EXPECT_EQ(TempFolder::read(home.file(".jpilot/jpilot.install")), kept + c.installed + "\n") << c.name;
        EXPECT_EQ(TempFolder::read(kept + c.installed).substr(0, 32), c.header) << c.name;
    }
    EXPECT_EQ(TempFolder::read(home.file("Drill.pdb")), oldDatabase()) << "the given file is left as it was";
}

// Hostile names given as --name: installed under that name with it in the header, or refused.
TEST_F(CliInstallTest, HostileDatabaseNamesRoundTripOrAreRefused) {
    fs::create_directories(home.file(".jpilot"));
    home.write("Drill.pdb", oldDatabase());
    const std::string kept = fs::canonical(home.file("start")).string() + "/Install/";
    for (const test::HostileName& n : test::hostileNames()) {
        fs::remove_all(home.file("start/Install"));
        fs::remove(home.file(".jpilot/jpilot.install"));
        const Result r = cli({"install", home.file("Drill.pdb"), "--name", n.bytes});
        if (r.code != 0) {
            EXPECT_EQ(r.code, 1) << n.id << r.err;
            EXPECT_NE(r.err.find("cannot be used"), std::string::npos) << n.id << r.err;
            EXPECT_EQ(r.err.find_first_of("\r\t"), std::string::npos) << n.id;
            EXPECT_FALSE(fs::exists(home.file(".jpilot/jpilot.install"))) << n.id;
            continue;
        }
        EXPECT_EQ(TempFolder::read(home.file(".jpilot/jpilot.install")), kept + n.bytes + ".pdb\n") << n.id;
        const std::string header = TempFolder::read(kept + n.bytes + ".pdb").substr(0, 32);
        const std::string stored = header.substr(0, header.find('\0'));
        EXPECT_FALSE(stored.empty()) << n.id;
        EXPECT_EQ(stored, utf8ToCp932(n.bytes.substr(0, n.bytes.find('.'))).bytes) << n.id;
    }
}

TEST_F(CliInstallTest, UserWithATargetThatHasNoUsersIsRefused) {
    home.write("Drill.pdb", std::string(100, '\0'));
    pilotXfer(0);
    fs::create_directories(home.file(".jpilot"));
    for (const char* target : {"jpilot", "pilot-xfer", "auto"}) {
        const Result r = cli({"install", home.file("Drill.pdb"), "--target", target, "--user", "Taro"});
        EXPECT_EQ(r.code, 1) << target << r.err;
        EXPECT_NE(r.err.find("--user cannot be used"), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(home.file(".jpilot/jpilot.install")));
    EXPECT_FALSE(fs::exists(home.file("xfer-args")));
}

// Names in users.dat are listed with their control characters made visible and can be chosen
// by the same text as typed.
TEST_F(CliInstallTest, UserNamesAreListedVisiblyAndChosenByName) {
    const struct {
        std::string cp932, typed, listed;
    } names[] = {
        {"Taro", "Taro", "Taro"},
        {"\x83\x5c\x83\x74\x83\x67", "ソフト", "ソフト"},
        {"a\nb", "a\nb", "a\\nb"},
        {"a\rb\tc", "a\rb\tc", "a\\rb\\tc"},
        {"\x1b[31mred", "\x1b[31mred", "\\x1B[31mred"},
    };
    std::vector<test::UserRecord> records;
    std::uint16_t id = 1;
    for (const auto& n : names) {
        records.push_back({id, n.cp932, "Folder" + std::to_string(id), 0});
        fs::create_directories(home.file("Palm/Folder" + std::to_string(id++)));
    }
    home.write("Palm/users.dat", test::usersDatBytes(records));
    fs::create_directories(home.file(".config/rovik"));
    home.write(".config/rovik/HKEY_CURRENT_USER.reg",
               "REGEDIT4\n[Software\\U.S. Robotics\\Pilot Desktop\\Core]\n\"Path\"=\"" +
                   test::regQuote(home.file("Palm")) +
                   "\"\n\"HotSyncPath\"=\"x\"\n[Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\n");
    home.write("Drill.pdb", std::string(100, '\0'));
    std::string listing = "palm-desktop\tfound\t" + home.file(".config/rovik/HKEY_CURRENT_USER.reg") + "\n";
    for (std::size_t i = 0; i < std::size(names); ++i)
        listing += "\tuser: " + names[i].listed + (i == 0 ? " (last)" : "") + "\n";
    const Result list = cli({"targets"});
    EXPECT_NE(list.out.find(listing), std::string::npos) << list.out;
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const Result r = cli({"install", home.file("Drill.pdb"), "--user", names[i].typed});
        EXPECT_EQ(r.code, 0) << names[i].listed << r.err;
        EXPECT_TRUE(fs::exists(home.file("Palm/Folder" + std::to_string(i + 1) + "/Install/Drill.pdb")))
            << names[i].listed;
    }
}

} // namespace
} // namespace rovik::cli
#endif
