// Several rovik-cli processes installing at once, as scripts and the program may: none is lost.
#include "hotsync/JPilotTarget.h"
#include "hotsync/RunProgram.h"
#include "platform/Registry.h"

#include "../hotsync/PalmDesktopFixture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#ifndef _WIN32 // the stand-in registry file and J-Pilot are Linux's targets
namespace rovik {
namespace {
namespace fs = std::filesystem;
using test::TempFolder;

class CliParallelTest : public ::testing::Test {
protected:
    TempFolder home;
    test::CurrentFolder current{(fs::create_directories(home.file("start")), home.file("start"))};
    const std::string registry = home.file(".config/rovik/HKEY_CURRENT_USER.reg");

    void TearDown() override { setRegistryFilePath({}); }

    // Starts every command line at once and waits for them all.
    std::vector<ProgramResult> runAll(const std::vector<std::vector<std::string>>& commands) {
        const std::vector<std::string> environment = {
            "HOME=" + home.path(), "PATH=" + home.file("bin"), "WINEPREFIX=" + home.file(".wine"),
            "JPILOT_HOME=" + home.path(), "XDG_CONFIG_HOME=" + home.file(".config")};
        std::vector<ProgramResult> results(commands.size());
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < commands.size(); ++i)
            threads.emplace_back([&, i] { results[i] = runProgram(commands[i], environment); });
        for (auto& t : threads)
            t.join();
        return results;
    }
};

TEST_F(CliParallelTest, JPilotQueueKeepsALineForEveryProcess) {
    constexpr int kProcesses = 12;
    fs::create_directories(home.file(".jpilot"));
    std::vector<std::vector<std::string>> commands;
    std::vector<std::string> expected;
    const std::string kept = fs::canonical(home.file("start")).string() + "/Install/";
    for (int i = 0; i < kProcesses; ++i) {
        const std::string name = "Drill" + std::to_string(i) + ".pdb";
        commands.push_back(
            {ROVIK_CLI_PROGRAM, "install", home.write(name, std::string(100, 'd')), "--target", "jpilot"});
        expected.push_back(kept + name);
    }
    for (const ProgramResult& r : runAll(commands))
        EXPECT_EQ(r.exitCode, 0) << r.output;
    std::vector<std::string> lines =
        parseInstallQueue(TempFolder::read(home.file(".jpilot/jpilot.install"))).lines;
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
}

TEST_F(CliParallelTest, PalmDesktopKeepsAFlagForEveryProcess) {
    constexpr std::uint16_t kUsers = 8;
    std::vector<test::UserRecord> users;
    std::vector<std::vector<std::string>> commands;
    const std::string pdb = home.write("Drill.pdb", std::string(100, 'd'));
    for (std::uint16_t id = 1; id <= kUsers; ++id) {
        users.push_back({id, "User" + std::to_string(id), "Folder" + std::to_string(id), 0});
        fs::create_directories(home.file("Palm/Folder" + std::to_string(id)));
        commands.push_back(
            {ROVIK_CLI_PROGRAM, "install", pdb, "--target", "palm-desktop", "--user", users.back().name});
    }
    home.write("Palm/users.dat", test::usersDatBytes(users));
    fs::create_directories(home.file(".config/rovik"));
    home.write(".config/rovik/HKEY_CURRENT_USER.reg",
               "REGEDIT4\n[Software\\U.S. Robotics\\Pilot Desktop\\Core]\n\"Path\"=\"" +
                   test::regQuote(home.file("Palm")) +
                   "\"\n\"HotSyncPath\"=\"x\"\n[Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\n");
    for (const ProgramResult& r : runAll(commands))
        EXPECT_EQ(r.exitCode, 0) << r.output;
    setRegistryFilePath(registry);
    RegistryKey key;
    ASSERT_TRUE(key.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager"));
    for (std::uint16_t id = 1; id <= kUsers; ++id)
        EXPECT_EQ(key.readDword("Install" + std::to_string(id)), 1u) << id;
}

} // namespace
} // namespace rovik
#endif
