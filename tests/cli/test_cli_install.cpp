// rovik-cli install and targets in a scratch home: exit codes and what lands where.
#include "cli/Cli.h"
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
// be the installed file's name (a control character, a backslash, more than 31 bytes).
TEST_F(CliInstallTest, EveryNameInstallsOrIsRefusedByName) {
    const std::set<std::string> refused = {"newline", "cr", "tab", "backslash", "long-255", "long-sjis"};
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
    EXPECT_EQ(cli({"install", home.file("Drill.pdb"), "--user", "Nobody"}).code, 4);
    const Result r = cli({"install", home.file("Drill.pdb"), "--user", "Taro"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(palm + "/TaroY/Install/Drill.pdb"));
    RegistryKey key;
    ASSERT_TRUE(key.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    EXPECT_EQ(key.readDword("Install1"), 1u);
}

} // namespace
} // namespace rovik::cli
#endif
