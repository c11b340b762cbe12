// Palm Desktop under Wine in a Wine prefix of the test's own, through Wine's reg tool.
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/RunProgram.h"
#include "hotsync/TargetChoice.h"

#include "PalmDesktopFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace rovik {
namespace {
namespace fs = std::filesystem;
using test::TempFolder;

const char* const kCore = "HKCU\\Software\\U.S. Robotics\\Pilot Desktop\\Core";
const char* const kManager = "HKCU\\Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager";

// One prefix for the whole suite: creating it takes Wine half a minute.
class WineTargetTest : public ::testing::Test {
protected:
    static inline TempFolder* s_home = nullptr;
    static inline std::string s_wine, s_prefix;

    static ProgramResult wine(std::vector<std::string> args) {
        args.insert(args.begin(), s_wine);
        return runProgram(args, {"WINEPREFIX=" + s_prefix, "WINEDEBUG=-all", "LC_ALL=C.UTF-8",
                                 "WINEDLLOVERRIDES=mscoree,mshtml=", "HOME=" + s_home->path(), "DISPLAY="});
    }

    static void SetUpTestSuite() {
        const char* path = std::getenv("PATH");
        s_wine = findOnPath("wine", path ? path : "");
        if (s_wine.empty()) return;
        s_home = new TempFolder;
        s_prefix = s_home->file("prefix");
        const std::string palm = s_prefix + "/drive_c/Program Files/Palm";
        fs::create_directories(palm + "/HanakoS");
        fs::create_directories(palm + "/TaroY");
        s_home->write("prefix/drive_c/Program Files/Palm/users.dat",
                      test::usersDatBytes(test::PalmDesktop::threeUsers()));
    }
    static void TearDownTestSuite() {
        if (!s_home) return;
        runProgram({"wineserver", "-k"}, {"WINEPREFIX=" + s_prefix});
        delete s_home;
        s_home = nullptr;
    }
    // Every test starts from Palm Desktop in the prefix with Hanako's flag clear, whatever the
    // test before it changed: one import, since each start of Wine takes seconds.
    void SetUp() override {
        if (s_wine.empty()) GTEST_SKIP() << "wine is not on the PATH (scripts/setup.sh installs it)";
        const std::string reg = s_home->write(
            "palm.reg",
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core]\r\n"
            "\"Path\"=\"C:\\\\Program Files\\\\Palm\"\r\n"
            "\"HotSyncPath\"=\"C:\\\\Program Files\\\\Palm\\\\hotsync.exe\"\r\n\r\n"
            "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\r\n"
            "\"Install2\"=dword:00000000\r\n");
        const ProgramResult imported = wine({"reg", "import", "Z:" + reg});
        ASSERT_EQ(imported.exitCode, 0) << imported.output;
    }
};

TEST_F(WineTargetTest, ListsUsersCopiesAndSetsTheFlagThroughWine) {
    WineTarget target(s_wine, s_prefix, runProgram);
    std::string problem;
    int preselected = -1;
    const std::vector<TargetUser> users = target.users(preselected, problem);
    ASSERT_EQ(users.size(), 3u) << problem;
    ASSERT_EQ(preselected, 1);
    const std::string pdb = s_home->write("Quiz.pdb", "pdb bytes");
    const TargetOutcome outcome = target.install(pdb, "Quiz.pdb", &users[1]);
    EXPECT_TRUE(outcome.ok) << outcome.text;
    EXPECT_EQ(TempFolder::read(s_prefix + "/drive_c/Program Files/Palm/HanakoS/Install/Quiz.pdb"),
              "pdb bytes");
    const ProgramResult flag = wine({"reg", "query", kManager, "/v", "Install2"});
    EXPECT_EQ(flag.exitCode, 0);
    EXPECT_NE(flag.output.find("REG_DWORD    0x1"), std::string::npos) << flag.output;
}

TEST_F(WineTargetTest, DetectedAfterPalmDesktopAndBeforeJPilot) {
    // Wine writes user.reg when its server ends; detection reads it before starting Wine.
    runProgram({"wineserver", "-w"}, {"WINEPREFIX=" + s_prefix});
    TempFolder home;
    setRegistryFilePath(home.file("none.reg"));
    fs::create_directories(home.file(".jpilot"));
    TargetEnvironment env;
    env.home = env.jpilotHome = home.path();
    env.winePrefix = s_prefix;
    env.pathList = std::getenv("PATH");
    env.settingsFile = home.file("InstallTarget.ini");
    std::string problem;
    auto target = chooseTarget(env, {}, problem);
    setRegistryFilePath({});
    ASSERT_NE(target, nullptr) << problem;
    EXPECT_EQ(target->kind(), TargetKind::Wine);
}

TEST_F(WineTargetTest, PrefixWithoutPalmDesktopIsNamed) {
    ASSERT_EQ(wine({"reg", "delete", kCore, "/f"}).exitCode, 0);
    WineTarget target(s_wine, s_prefix, runProgram);
    std::string problem;
    int preselected = -1;
    EXPECT_TRUE(target.users(preselected, problem).empty());
    EXPECT_NE(problem.find("Palm Desktop"), std::string::npos) << problem;
    const TargetOutcome outcome = target.install(s_home->write("Other.pdb", "x"), "Other.pdb", nullptr);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(fs::exists(s_prefix + "/drive_c/Program Files/Palm/HanakoS/Install/Other.pdb"));
}

// `reg query` printed this folder as "???"; the export keeps it, and a user other than the
// preselected one gets the file.
TEST_F(WineTargetTest, JapanesePalmFolderIsReadThroughTheExport) {
    const std::string palm = s_prefix + "/drive_c/Program Files/パーム";
    fs::create_directories(palm + "/TaroY");
    s_home->write("prefix/drive_c/Program Files/パーム/users.dat",
                  test::usersDatBytes(test::PalmDesktop::threeUsers()));
    ASSERT_EQ(
        wine({"reg", "add", kCore, "/v", "Path", "/t", "REG_SZ", "/d", "C:\\Program Files\\パーム", "/f"})
            .exitCode,
        0);
    wine({"reg", "add", kCore, "/v", "HotSyncPath", "/t", "REG_SZ", "/d",
          "C:\\Program Files\\パーム\\hotsync.exe", "/f"});
    WineTarget target(s_wine, s_prefix, runProgram);
    std::string problem;
    EXPECT_EQ(target.windowsPalmFolder(problem), "C:\\Program Files\\パーム") << problem;
    int preselected = -1;
    const std::vector<TargetUser> users = target.users(preselected, problem);
    ASSERT_EQ(users.size(), 3u) << problem;
    ASSERT_EQ(preselected, 1);
    const TargetOutcome outcome =
        target.install(s_home->write("Quiz.pdb", "pdb bytes"), "Quiz.pdb", &users[0]);
    EXPECT_TRUE(outcome.ok) << outcome.text;
    EXPECT_EQ(TempFolder::read(palm + "/TaroY/Install/Quiz.pdb"), "pdb bytes");
    wine({"reg", "add", kCore, "/v", "Path", "/t", "REG_SZ", "/d", "C:\\Program Files\\Palm", "/f"});
}

} // namespace
} // namespace rovik
