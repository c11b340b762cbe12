// Each install target end to end in a scratch folder, their parsers, and detection.
#include "hotsync/Hotsync.h"
#include "hotsync/JPilotTarget.h"
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/PilotXferTarget.h"
#include "hotsync/TargetChoice.h"
#include "hotsync/WineRegistry.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"

#include "PalmDesktopFixture.h"
#include "support/HostileNames.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

namespace rovik {
namespace {
namespace fs = std::filesystem;
using test::TempFolder;

struct ShortLockWait {
    ShortLockWait() { setLockWaitForTesting(std::chrono::milliseconds(200)); }
    ~ShortLockWait() { setLockWaitForTesting(std::chrono::milliseconds(-1)); }
};

// Runs `install(i)` for i = 0..count-1 on as many threads at once.
std::vector<TargetOutcome> inParallel(int count, const std::function<TargetOutcome(int)>& install) {
    std::vector<TargetOutcome> outcomes(static_cast<std::size_t>(count));
    std::vector<std::thread> threads;
    for (int i = 0; i < count; ++i)
        threads.emplace_back([&, i] { outcomes[static_cast<std::size_t>(i)] = install(i); });
    for (auto& t : threads)
        t.join();
    return outcomes;
}

// ---- J-Pilot's queue -------------------------------------------------------------------------

struct QueueCase {
    const char* name;
    std::string bytes;
    bool usable;
    std::vector<std::string> lines;
};

TEST(InstallQueue, ParsesOrRefuses) {
    const std::vector<QueueCase> cases = {
        {"empty", "", true, {}},
        {"lines", "/a/x.pdb\n/b/y.prc\n", true, {"/a/x.pdb", "/b/y.prc"}},
        {"crlf and no last end", "/a/x.pdb\r\n/b/y.prc", true, {"/a/x.pdb", "/b/y.prc"}},
        {"binary bytes", std::string("/a/x.pdb\n\0\x01\x02", 12), false, {}},
        {"line of 10 MB", std::string(10u << 20, 'a'), false, {}},
        {"line past a path's length", "/a\n" + std::string(kMaxQueueLine + 1, 'b') + "\n", false, {}},
    };
    for (const auto& c : cases) {
        const InstallQueue q = parseInstallQueue(c.bytes);
        EXPECT_EQ(q.usable, c.usable) << c.name;
        EXPECT_EQ(q.lines, c.lines) << c.name;
        EXPECT_EQ(q.problem.empty(), c.usable) << c.name;
    }
}

TEST(InstallQueue, AppendsOnceAndKeepsWhatIsThere) {
    const struct {
        const char* name;
        std::string before, after;
    } cases[] = {
        {"empty", "", "/k/x.pdb\n"},
        {"other lines", "/a.pdb\r\n", "/a.pdb\r\n/k/x.pdb\n"},
        {"last line without end", "/a.pdb", "/a.pdb\n/k/x.pdb\n"},
        {"already listed", "/a.pdb\n/k/x.pdb\n", "/a.pdb\n/k/x.pdb\n"},
        {"already listed with crlf", "/k/x.pdb\r\n", "/k/x.pdb\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(appendToInstallQueue(c.before, "/k/x.pdb"), c.after) << c.name;
}

class JPilotTest : public ::testing::Test {
protected:
    TempFolder home;
    const std::string queue = home.file(".jpilot/jpilot.install");
    const std::string keep = home.file("start/Install");
    std::string pdb = home.write("Quiz.pdb", std::string(100, 'q'));
};

TEST_F(JPilotTest, ReservesOnceInALastingFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    fs::create_directories(home.file(".jpilot"));
    home.write(".jpilot/jpilot.install", "/old/one.pdb\r\n/old/two.prc");
    JPilotTarget target(queue, keep);
    for (int i = 0; i < 2; ++i) {
        const TargetOutcome outcome = target.install(pdb, "Quiz.pdb", nullptr);
        EXPECT_TRUE(outcome.ok) << outcome.text;
        EXPECT_FALSE(outcome.installedNow);
    }
    EXPECT_EQ(TempFolder::read(queue), "/old/one.pdb\r\n/old/two.prc\n" + keep + "/Quiz.pdb\n");
    EXPECT_EQ(TempFolder::read(keep + "/Quiz.pdb"), std::string(100, 'q'));
}

TEST_F(JPilotTest, BrokenQueueIsLeftAloneAndNamed) {
    fs::create_directories(home.file(".jpilot"));
    for (const std::string& bytes : {std::string(10u << 20, 'x'), std::string("\x7f"
                                                                              "ELF\0\0\x01",
                                                                              7)}) {
        home.write(".jpilot/jpilot.install", bytes);
        const TargetOutcome outcome = JPilotTarget(queue, keep).install(pdb, "Quiz.pdb", nullptr);
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.text.find("jpilot.install"), std::string::npos) << outcome.text;
        EXPECT_EQ(TempFolder::read(queue), bytes);
        EXPECT_FALSE(fs::exists(keep));
    }
}

TEST_F(JPilotTest, ParallelInstallsKeepEveryLine) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    constexpr int kInstalls = 12;
    const auto outcomes = inParallel(kInstalls, [&](int i) {
        return JPilotTarget(queue, keep).install(pdb, "Quiz" + std::to_string(i) + ".pdb", nullptr);
    });
    std::vector<std::string> expected;
    for (int i = 0; i < kInstalls; ++i) {
        EXPECT_TRUE(outcomes[static_cast<std::size_t>(i)].ok) << outcomes[static_cast<std::size_t>(i)].text;
        expected.push_back(keep + "/Quiz" + std::to_string(i) + ".pdb");
    }
    std::vector<std::string> lines = parseInstallQueue(TempFolder::read(queue)).lines;
    std::sort(lines.begin(), lines.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(lines, expected);
}

TEST_F(JPilotTest, LineDroppedRightAfterTheWriteIsAFailure) {
    fs::create_directories(home.file(".jpilot"));
    // J-Pilot takes no lock: at its sync it may rewrite the queue from what it read before ours.
    setAfterQueueWriteForTesting([&] { home.write(".jpilot/jpilot.install", "/old/one.pdb\n"); });
    const TargetOutcome outcome = JPilotTarget(queue, keep).install(pdb, "Quiz.pdb", nullptr);
    setAfterQueueWriteForTesting({});
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.text.find("消えました"), std::string::npos) << outcome.text;
}

TEST_F(JPilotTest, QueueKeptBusyIsAFailureThatChangesNothing) {
    fs::create_directories(home.file(".jpilot"));
    home.write(".jpilot/jpilot.install", "/old/one.pdb\n");
    ShortLockWait shortWait;
    FileLock other;
    std::string problem;
    ASSERT_TRUE(other.lock(queue, problem)) << problem;
    const TargetOutcome outcome = JPilotTarget(queue, keep).install(pdb, "Quiz.pdb", nullptr);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.text.find("jpilot.install.lock"), std::string::npos) << outcome.text;
    EXPECT_EQ(TempFolder::read(queue), "/old/one.pdb\n");
    EXPECT_FALSE(fs::exists(keep + "/Quiz.pdb"));
}

// The start folder holds the reserved files and goes into the queue: it round-trips there, or a
// name the queue cannot hold (a line end splits the line) is refused before anything is written.
TEST(JPilotStartFolder, HostileNamesRoundTripOrAreRefused) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    for (const test::HostileName& n : test::hostileNames()) {
        TempFolder home;
        const std::string queue = home.file(".jpilot/jpilot.install");
        const std::string keep = home.file("start/" + n.bytes + "/Install");
        const std::string pdb = home.write("Quiz.pdb", "pdb");
        const TargetOutcome outcome = JPilotTarget(queue, keep).install(pdb, "Quiz.pdb", nullptr);
        const bool control = n.bytes.find_first_of("\n\r\t") != std::string::npos;
        EXPECT_EQ(outcome.ok, !control) << n.id << ": " << outcome.text;
        if (control) {
            EXPECT_NE(outcome.text.find("制御文字"), std::string::npos) << n.id;
            // The folder is named with its control characters made visible.
            const std::string named = outcome.text.substr(0, outcome.text.find("には"));
            EXPECT_NE(named.find("start/a\\"), std::string::npos) << n.id << named;
            EXPECT_EQ(named.find_first_of("\n\r\t"), std::string::npos) << n.id;
            EXPECT_FALSE(fs::exists(queue)) << n.id;
            EXPECT_FALSE(fs::exists(keep)) << n.id;
            continue;
        }
        const std::string kept = fs::path(keep + "/Quiz.pdb").lexically_normal().string();
        EXPECT_EQ(TempFolder::read(queue), kept + "\n") << n.id;
        EXPECT_EQ(TempFolder::read(kept), "pdb") << n.id;
    }
}

TEST_F(JPilotTest, KeepFolderOrFileLinkedOutsideIsRefused) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    fs::create_directories(home.file("outside"));
    fs::create_directories(home.file("start"));
    fs::create_directory_symlink(home.file("outside"), keep);
    TargetOutcome outcome = JPilotTarget(queue, keep).install(pdb, "Quiz.pdb", nullptr);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.text.find("リンク"), std::string::npos) << outcome.text;
    EXPECT_FALSE(fs::exists(home.file("outside/Quiz.pdb")));
    fs::remove(keep);
    fs::create_directories(keep);
    home.write("outside/Quiz.pdb", "theirs");
    fs::create_symlink(home.file("outside/Quiz.pdb"), keep + "/Quiz.pdb");
    outcome = JPilotTarget(queue, keep).install(pdb, "Quiz.pdb", nullptr);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.text.find(keep + "/Quiz.pdb"), std::string::npos) << outcome.text;
    EXPECT_EQ(TempFolder::read(home.file("outside/Quiz.pdb")), "theirs");
    EXPECT_FALSE(fs::exists(queue));
}

TEST_F(JPilotTest, RefusesANameThatLeavesTheFolder) {
    const TargetOutcome outcome = JPilotTarget(queue, keep).install(pdb, "../escape.pdb", nullptr);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(fs::exists(home.file("start/escape.pdb")));
    EXPECT_FALSE(fs::exists(queue));
}

// ---- pilot-xfer ---------------------------------------------------------------------------------

// A pilot-xfer stand-in that records its arguments and exits with the status in a file.
class PilotXferTest : public ::testing::Test {
protected:
    TempFolder home;
    std::string bin = home.file("bin");
    std::string pdb = home.write("Quiz.pdb", "pdb");
    void SetUp() override {
        fs::create_directories(bin);
        const std::string script =
            home.write("bin/pilot-xfer", "#!/bin/sh\n"
                                         "printf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args\"\n"
                                         "echo 'Listening for incoming connection'\n"
                                         "exit $(cat \"$(dirname \"$0\")/status\")\n");
        fs::permissions(script, fs::perms::owner_all);
    }
};

TEST_F(PilotXferTest, SuccessOnlyOnExitZero) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    const struct {
        const char* status;
        bool ok;
    } cases[] = {{"0", true}, {"1", false}, {"255", false}};
    for (const auto& c : cases) {
        home.write("bin/status", c.status);
        const std::string program = findOnPath("pilot-xfer", "/nonexistent:" + bin);
        ASSERT_EQ(program, bin + "/pilot-xfer");
        const TargetOutcome outcome =
            PilotXferTarget(program, "usb:", runProgram).install(pdb, "Quiz.pdb", nullptr);
        EXPECT_EQ(outcome.ok, c.ok) << c.status << outcome.text;
        EXPECT_EQ(outcome.installedNow, c.ok);
        EXPECT_NE(outcome.text.find("Listening for incoming connection"), std::string::npos) << outcome.text;
        if (!c.ok) {
            EXPECT_NE(outcome.text.find(std::string("終了コード ") + c.status), std::string::npos);
        }
        EXPECT_EQ(TempFolder::read(home.file("bin/args")), "-p\nusb:\n-i\n" + pdb + "\n");
    }
}

TEST_F(PilotXferTest, MissingProgramIsNamed) {
    const TargetOutcome outcome =
        PilotXferTarget(home.file("none/pilot-xfer"), "usb:", runProgram).install(pdb, "Quiz.pdb", nullptr);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.text.find("none/pilot-xfer"), std::string::npos);
}

TEST(FindOnPath, SkipsEmptyEntriesAndFolders) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    TempFolder t;
    fs::create_directories(t.file("a/tool"));
    fs::create_directories(t.file("b"));
    fs::create_directories(t.file("c"));
    t.write("b/tool", "#!/bin/sh\n");
    fs::permissions(t.file("b/tool"), fs::perms::owner_all);
    t.write("c/tool", "not executable");
    EXPECT_EQ(findOnPath("tool", ":" + t.file("a") + ":" + t.file("c") + ":" + t.file("b")),
              t.file("b/tool"));
    EXPECT_EQ(findOnPath("tool", t.file("a") + ":" + t.file("c")), "");
    EXPECT_EQ(findOnPath("../b/tool", t.file("a")), "");
}

#ifdef _WIN32
// Arguments reach the program as they were: quoted where needed, in UTF-16.
TEST(RunProgram, PassesEachArgumentAndTheEnvironmentAsTheyAre) {
    const std::vector<std::string> args = {
        "plain",      "two words",       "",       "quote\"inside",
        "trailing\\", "back\\\\\"quote", "パーム", "C:\\Program Files\\パーム\\hotsync.exe"};
    std::vector<std::string> argv = {ROVIK_ECHO_ARGS};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProgramResult result = runProgram(argv, {"ROVIK_TEST=値 with space"});
    ASSERT_TRUE(result.started);
    EXPECT_EQ(result.exitCode, 7);
    EXPECT_EQ(result.output, "plain\ntwo words\n\nquote\"inside\ntrailing\\\nback\\\\\"quote\nパーム\n"
                             "C:\\Program Files\\パーム\\hotsync.exe\nROVIK_TEST=値 with space\n");
    EXPECT_FALSE(runProgram({"no-such-program-here"}, {}).started);
}
#endif

// A Palm Desktop folder with a Japanese name gets its user's Install folder (on Windows through
// the wide file calls).
TEST(PalmDesktopFolder, JapaneseFolderGetsItsInstallFolder) {
    test::PalmDesktop desk;
    const std::string palm = desk.root.file("パーム");
    fs::create_directories(nativePath(palm + "/TaroY"));
    desk.root.write("パーム/users.dat", test::usersDatBytes(test::PalmDesktop::threeUsers()));
    desk.writeRegistryText(
        "[Software\\U.S. Robotics\\Pilot Desktop\\Core]\r\n\"HotSyncPath\"=\"h\"\r\n\"Path\"=\"" +
        test::regQuote(palm) + "\"\r\n[Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\r\n");
    PalmDesktopTarget target;
    std::string problem;
    int preselected = -1;
    const std::vector<TargetUser> users = target.users(preselected, problem);
    ASSERT_EQ(users.size(), 3u) << problem;
    const TargetOutcome outcome = target.install(desk.root.write("Quiz.pdb", "pdb"), "Quiz.pdb", &users[0]);
    EXPECT_TRUE(outcome.ok) << outcome.text;
    EXPECT_EQ(TempFolder::read(palm + "/TaroY/Install/Quiz.pdb"), "pdb");
}

// ---- Palm Desktop through the stand-in file ----------------------------------------------------

class StandInTest : public ::testing::Test {
protected:
    test::PalmDesktop desk;
    std::string pdb = desk.root.write("Quiz.pdb", "pdb bytes");
};

TEST_F(StandInTest, WrittenFolderIsUsedAndFlagged) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    // A UTF-8 folder name is taken as it is.
    const std::string folder = desk.root.file("パーム");
    fs::create_directories(folder + "/HanakoS");
    desk.root.write("パーム/users.dat", test::usersDatBytes(test::PalmDesktop::threeUsers()));
    std::string problem;
    ASSERT_TRUE(writePalmDesktopStandIn(desk.registry, folder, problem)) << problem;
    PalmDesktopTarget target;
    EXPECT_EQ(target.palmFolder(problem), folder) << problem;
    int preselected = -1;
    const std::vector<TargetUser> users = target.users(preselected, problem);
    ASSERT_EQ(users.size(), 3u) << problem;
    ASSERT_EQ(preselected, 1);
    const TargetOutcome outcome = target.install(pdb, "Quiz.pdb", &users[1]);
    EXPECT_TRUE(outcome.ok) << outcome.text;
    EXPECT_NE(outcome.text.find("Hanako"), std::string::npos);
    EXPECT_EQ(TempFolder::read(folder + "/HanakoS/Install/Quiz.pdb"), "pdb bytes");
    EXPECT_EQ(desk.installFlag(2), 1u);
}

TEST_F(StandInTest, ParallelInstallsForEveryUserSetEveryFlag) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    std::vector<test::UserRecord> records;
    for (std::uint16_t id = 1; id <= 8; ++id)
        records.push_back({id, "User" + std::to_string(id), "Folder" + std::to_string(id), 0});
    desk.install(records, "User1");
    std::string problem;
    int preselected = -1;
    const std::vector<TargetUser> users = PalmDesktopTarget().users(preselected, problem);
    ASSERT_EQ(users.size(), records.size()) << problem;
    const auto outcomes = inParallel(static_cast<int>(users.size()), [&](int i) {
        return PalmDesktopTarget().install(pdb, "Quiz.pdb", &users[static_cast<std::size_t>(i)]);
    });
    for (const TargetOutcome& outcome : outcomes)
        EXPECT_TRUE(outcome.ok) << outcome.text;
    for (const test::UserRecord& r : records)
        EXPECT_EQ(desk.installFlag(r.id), 1u) << r.name;
}

// The stand-in file as people and Palm Desktop exports write it; only Path and HotSyncPath change.
const char* const kCoreHeader = "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core]";
const char* const kManagerHeader =
    "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]";

TEST(StandInFile, RewriteChangesOnlyTheFolderValues) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    const std::string newPath = "\"Path\"=\"/new/Palm \\\"A\\\"\"";
    const std::string newHotSync = "\"HotSyncPath\"=\"/new/Palm \\\"A\\\"/hotsync.exe\"";
    const struct {
        const char* name;
        std::string before, after;
    } cases[] = {
        {"other Core values and keys",
         std::string("REGEDIT4\r\n\r\n") + kCoreHeader +
             "\r\n\"Version\"=\"4.1\"\r\n\"path\" = \"/old/Palm\"\r\n\"DataPath\"=\"/old/Palm/data\"\r\n"
             "\"HotSyncPath\"=\"/old/Palm/hotsync.exe\"\r\n\"Flags\"=dword:00000003\r\n\r\n"
             "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\r\n"
             "\"LastUserName\"=\"Hanako\"\r\n\r\n" +
             kManagerHeader + "\r\n\"Install1\"=dword:00000001\r\n",
         std::string("REGEDIT4\r\n\r\n") + kCoreHeader + "\r\n\"Version\"=\"4.1\"\r\n" + newPath +
             "\r\n\"DataPath\"=\"/old/Palm/data\"\r\n" + newHotSync +
             "\r\n\"Flags\"=dword:00000003\r\n\r\n"
             "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\r\n"
             "\"LastUserName\"=\"Hanako\"\r\n\r\n" +
             kManagerHeader + "\r\n\"Install1\"=dword:00000001\r\n"},
        {"Core key without the two values",
         std::string("REGEDIT4\n") + kCoreHeader + "\n\"DataPath\"=\"/d\"\n\n" + kManagerHeader + "\n",
         std::string("REGEDIT4\n") + kCoreHeader + "\n\"DataPath\"=\"/d\"\n" + newPath + "\n" + newHotSync +
             "\n\n" + kManagerHeader + "\n"},
        {"no Core key, last line without its end", "REGEDIT4\n[Software\\Other]\n\"A\"=\"b\"",
         "REGEDIT4\n[Software\\Other]\n\"A\"=\"b\"\n\n[Software\\U.S. Robotics\\Pilot Desktop\\Core]\n" +
             newPath + "\n" + newHotSync + "\n\n[Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\n"},
        {"a value twice",
         std::string("REGEDIT4\n") + kCoreHeader + "\n\"Path\"=\"/a\"\n\"Path\"=\"/b\"\n" + kManagerHeader +
             "\n",
         std::string("REGEDIT4\n") + kCoreHeader + "\n" + newPath + "\n" + newHotSync + "\n" +
             kManagerHeader + "\n"},
    };
    for (const auto& c : cases) {
        TempFolder t;
        const std::string file = t.write("HKEY_CURRENT_USER.reg", c.before);
        std::string problem;
        ASSERT_TRUE(writePalmDesktopStandIn(file, "/new/Palm \"A\"", problem)) << c.name << problem;
        EXPECT_EQ(TempFolder::read(file), c.after) << c.name;
    }
}

TEST(StandInFile, RewriteKeepsHostileValuesByteForByte) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    for (const test::HostileName& n : test::hostileNames()) {
        const std::string around =
            std::string("REGEDIT4\r\n") + kCoreHeader + "\r\n\"DataPath\"=\"" + n.bytes + "\"\r\n";
        const std::string rest =
            "\"Note\"=\"" + n.bytes +
            "\"\r\n[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Preferences]"
            "\r\n\"LastUserName\"=\"" +
            n.bytes + "\"\r\n" + kManagerHeader + "\r\n";
        TempFolder t;
        const std::string file =
            t.write("HKEY_CURRENT_USER.reg",
                    around + "\"Path\"=\"/old\"\r\n\"HotSyncPath\"=\"/old/hotsync.exe\"\r\n" + rest);
        std::string problem;
        ASSERT_TRUE(writePalmDesktopStandIn(file, "/new", problem)) << n.id << problem;
        EXPECT_EQ(TempFolder::read(file),
                  around + "\"Path\"=\"/new\"\r\n\"HotSyncPath\"=\"/new/hotsync.exe\"\r\n" + rest)
            << n.id;
    }
}

TEST(StandInUsers, HostileUserNamesRoundTripToTheirFlag) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    for (const test::HostileName& n : test::hostileNames()) {
        // 0x80 separates users.dat's records: a name holding it is not one users.dat can store.
        if (n.bytes.find('\x80') != std::string::npos) continue;
        test::PalmDesktop desk;
        desk.install({{1, "Taro", "TaroY", 0}, {7, n.bytes, "Other", 1}});
        const std::string pdb = desk.root.write("Quiz.pdb", "pdb");
        PalmDesktopTarget target;
        std::string problem;
        int preselected = -1;
        const std::vector<TargetUser> users = target.users(preselected, problem);
        ASSERT_EQ(users.size(), 2u) << n.id << problem;
        EXPECT_EQ(preselected, 1) << n.id;
        EXPECT_EQ(users[1].name, n.bytes) << n.id;
        const TargetOutcome outcome = target.install(pdb, "Quiz.pdb", &users[1]);
        EXPECT_TRUE(outcome.ok) << n.id << outcome.text;
        EXPECT_EQ(TempFolder::read(desk.installFolder("Other") + "/Quiz.pdb"), "pdb") << n.id;
        EXPECT_EQ(desk.installFlag(7), 1u) << n.id;
        EXPECT_NE(desk.installFlag(1), 1u) << n.id;
    }
}

// A link at the user's folder, its Install folder or the file must not carry the copy out of
// Palm Desktop's folder; a link that stays inside is followed.
TEST(StandInLinks, InstallDestinationsLeadingOutsideAreRefused) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    const struct {
        const char* name;
        std::function<void(test::PalmDesktop&)> link;
        bool ok;
    } cases[] = {
        {"user folder",
         [](test::PalmDesktop& d) {
             fs::remove_all(d.palm + "/HanakoS");
             fs::create_directory_symlink(d.root.file("outside"), d.palm + "/HanakoS");
         },
         false},
        {"Install folder",
         [](test::PalmDesktop& d) {
             fs::create_directory_symlink(d.root.file("outside"), d.palm + "/HanakoS/Install");
         },
         false},
        {"the file",
         [](test::PalmDesktop& d) {
             fs::create_directories(d.palm + "/HanakoS/Install");
             fs::create_symlink(d.root.file("outside/Quiz.pdb"), d.palm + "/HanakoS/Install/Quiz.pdb");
         },
         false},
        {"user folder inside",
         [](test::PalmDesktop& d) {
             fs::remove_all(d.palm + "/HanakoS");
             fs::create_directory_symlink("TaroY", d.palm + "/HanakoS");
         },
         true},
    };
    for (const auto& c : cases) {
        test::PalmDesktop desk;
        desk.install();
        fs::create_directories(desk.root.file("outside"));
        desk.root.write("outside/Quiz.pdb", "theirs");
        c.link(desk);
        const std::string pdb = desk.root.write("Quiz.pdb", "ours");
        int preselected = -1;
        std::string problem;
        const std::vector<TargetUser> users = PalmDesktopTarget().users(preselected, problem);
        ASSERT_EQ(users.size(), 3u) << c.name << problem;
        const TargetOutcome outcome = PalmDesktopTarget().install(pdb, "Quiz.pdb", &users[1]);
        EXPECT_EQ(outcome.ok, c.ok) << c.name << outcome.text;
        EXPECT_EQ(TempFolder::read(desk.root.file("outside/Quiz.pdb")), "theirs") << c.name;
        EXPECT_FALSE(fs::exists(desk.root.file("outside/Install"))) << c.name;
        EXPECT_EQ(desk.installFlag(2) == 1u, c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(TempFolder::read(desk.palm + "/TaroY/Install/Quiz.pdb"), "ours") << c.name;
        } else {
            EXPECT_NE(outcome.text.find("リンク"), std::string::npos) << c.name;
            EXPECT_NE(outcome.text.find(fs::canonical(desk.root.file("outside")).string()), std::string::npos)
                << c.name << outcome.text;
        }
    }
}

TEST_F(StandInTest, UserFolderThatEscapesIsRefused) {
    desk.install({{5, "Evil", "../outside", 1}});
    PalmDesktopTarget target;
    std::string problem;
    int preselected = -1;
    const std::vector<TargetUser> users = target.users(preselected, problem);
    ASSERT_EQ(users.size(), 1u);
    const TargetOutcome outcome = target.install(pdb, "Quiz.pdb", &users[0]);
    EXPECT_FALSE(outcome.ok);
    EXPECT_NE(outcome.text.find("../outside"), std::string::npos);
    // The fixture made the user's folder; nothing may be put into it.
    EXPECT_FALSE(fs::exists(desk.root.file("outside/Install")));
    EXPECT_NE(desk.installFlag(5), 1u);
}

// A folder picked in the settings dialog reads back byte for byte, or is refused with a message.
TEST_F(StandInTest, HostileFolderNamesRoundTripOrAreRefused) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    // Paths are UTF-8 in the program, and the file holds a value on one line.
    const std::set<std::string> refused = {"sjis-5c-hyou", "sjis-5c-so", "sjis-5c-nou", "sjis-5c-end",
                                           "sjis-7c",      "sjis-kana",  "newline",     "cr",
                                           "tab",          "long-sjis",  "invalid-utf8"};
    for (const test::HostileName& name : test::hostileNames()) {
        const std::string folder = desk.root.file("p/" + name.bytes);
        fs::create_directories(folder);
        std::string problem;
        const bool written = writePalmDesktopStandIn(desk.registry, folder, problem);
        if (refused.count(name.id)) {
            EXPECT_FALSE(written) << name.id;
            EXPECT_NE(problem.find("制御文字"), std::string::npos) << name.id;
            continue;
        }
        ASSERT_TRUE(written) << name.id << ": " << problem;
        EXPECT_EQ(PalmDesktopTarget().palmFolder(problem), folder) << name.id << ": " << problem;
    }
}

// ---- Wine's registry, read through reg export ---------------------------------------------------

// UTF-8 -> UTF-16LE with a byte order mark, as `reg export` writes its file.
std::string utf16File(const std::string& utf8) {
    std::string out = "\xFF\xFE";
    auto put = [&out](char32_t unit) {
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8 & 0xFF);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const std::size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = len == 1 ? b : b & (0x7F >> len);
        for (std::size_t k = 1; k < len; ++k)
            c = c << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += len;
        if (c < 0x10000) {
            put(c);
        } else {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

// A value as Wine's export quotes it.
std::string exportQuoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text)
        out += c == '\\'   ? "\\\\"
               : c == '"'  ? "\\\""
               : c == '\n' ? "\\n"
               : c == '\r' ? "\\r"
                           : std::string(1, c);
    return out + "\"";
}

const char* const kExportedCore = "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core]";

TEST(RegExport, ReadsTheKeysOwnValuesLosslessly) {
    const std::string text = std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kExportedCore +
                             "\r\n"
                             "\"Path\"=\"C:\\\\Program Files\\\\パーム\"\r\n"
                             "\"Odd\"=\"a\\nb\\\"c\\\\d\\re\"\r\n"
                             "\"Install3\"=dword:00000001\r\n"
                             "\"E\"=hex(2):78,00,00,00\r\n"
                             "@=\"default\"\r\n\r\n" +
                             std::string(kExportedCore).insert(std::strlen(kExportedCore) - 1, "\\Sub") +
                             "\r\n\"Path\"=\"sub\"\r\n\"Sub\"=\"only below\"\r\n";
    const auto values =
        parseRegExport(utf16File(text), "hkey_current_user\\software\\u.s. robotics\\pilot desktop\\core");
    ASSERT_TRUE(values);
    EXPECT_EQ(values->size(), 5u);
    EXPECT_EQ(regString(*values, "path"), "C:\\Program Files\\パーム");
    EXPECT_EQ(regString(*values, "Odd"), "a\nb\"c\\d\re");
    EXPECT_EQ(regString(*values, "@"), "default");
    EXPECT_EQ(regString(*values, "Install3"), std::nullopt);
    EXPECT_EQ(regString(*values, "E"), std::nullopt);
    EXPECT_EQ(regString(*values, "Sub"), std::nullopt);
    EXPECT_EQ(parseRegExport(text, "HKEY_CURRENT_USER\\K"), std::nullopt) << "no UTF-16";
    EXPECT_EQ(parseRegExport(utf16File(text) + "x", "HKEY_CURRENT_USER\\K"), std::nullopt) << "odd length";
}

// A Wine of the test's own: `reg export` writes `exported` into the prefix's C:\windows\temp.
struct FakeWine {
    TempFolder home;
    std::string prefix = home.file("prefix");
    std::string exported; // UTF-8 text of the export file; empty: the key is missing
    std::vector<std::vector<std::string>> calls;

    FakeWine() {
        fs::create_directories(prefix + "/dosdevices");
        fs::create_directories(prefix + "/drive_c/windows/temp");
        fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    }
    RunProgram run() {
        return [this](const std::vector<std::string>& argv, const std::vector<std::string>&) {
            calls.push_back(argv);
            ProgramResult result{true, 0, {}};
            if (argv.size() == 6 && argv[1] == "reg" && argv[2] == "export") {
                if (exported.empty())
                    return ProgramResult{true, 1, "reg: Unable to find the specified registry key"};
                const std::string name = argv[4].substr(argv[4].rfind('\\') + 1);
                test::writeFile(prefix + "/drive_c/windows/temp/" + name, utf16File(exported));
            }
            return result;
        };
    }
    void setCore(const std::string& path) {
        exported = std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kExportedCore +
                   "\r\n\"Path\"=" + exportQuoted(path) +
                   "\r\n\"HotSyncPath\"=" + exportQuoted(path + "\\hotsync.exe") + "\r\n";
    }
};

// Every name Windows can hold (UTF-16 text) comes back as it was; a part with "/" is refused.
TEST(WineValues, HostileFolderNamesComeBackAsTheyWere) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    const std::set<std::string> refused = {"dotdot", "slash"};
    for (const test::HostileName& name : test::hostileNames()) {
        // Windows' registry holds UTF-16: bytes that are not text cannot be in it.
        if (!isValidUtf8(name.bytes)) continue;
        FakeWine wine;
        std::string unixName = name.bytes;
        std::replace(unixName.begin(), unixName.end(), '\\', '/');
        fs::create_directories(wine.prefix + "/drive_c/Palm/" + unixName);
        wine.setCore("C:\\Palm\\" + name.bytes);
        WineTarget target("wine", wine.prefix, wine.run());
        std::string problem;
        EXPECT_EQ(target.windowsPalmFolder(problem), "C:\\Palm\\" + name.bytes) << name.id << ": " << problem;
        const std::string folder = target.palmFolder(problem);
        if (refused.count(name.id)) {
            EXPECT_EQ(folder, "") << name.id;
            EXPECT_NE(problem, "") << name.id;
        } else {
            EXPECT_EQ(folder, fs::canonical(wine.prefix).string() + "/drive_c/Palm/" + unixName)
                << name.id << ": " << problem;
        }
        EXPECT_TRUE(fs::is_empty(wine.prefix + "/drive_c/windows/temp")) << "the export file is removed";
    }
}

TEST(WineValues, MissingKeyOrEmptyValuesAreNamed) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    FakeWine wine;
    std::string problem;
    EXPECT_EQ(WineTarget("wine", wine.prefix, wine.run()).windowsPalmFolder(problem), "");
    EXPECT_NE(problem.find("終了コード 1"), std::string::npos) << problem;
    wine.exported = std::string("Windows Registry Editor Version 5.00\r\n\r\n") + kExportedCore +
                    "\r\n\"Path\"=\"C:\\\\Palm\"\r\n";
    EXPECT_EQ(WineTarget("wine", wine.prefix, wine.run()).windowsPalmFolder(problem), "");
    EXPECT_NE(problem.find("HotSyncPath"), std::string::npos) << problem;
    ASSERT_EQ(wine.calls.size(), 2u);
    EXPECT_EQ(wine.calls[1][3], "HKCU\\Software\\U.S. Robotics\\Pilot Desktop\\Core");
}

// ---- Wine's drive links ---------------------------------------------------------------------

// The prefix's own links are followed: Documents into $HOME and Z: to "/" are the user's own.
TEST(WinePath, MapsInsideThePrefixOrHomeOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    TempFolder t;
    const std::string prefix = t.file("prefix");
    const std::string home = t.file("home");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directories(prefix + "/drive_c/Program Files/Palm");
    fs::create_directories(prefix + "/drive_c/users/u");
    fs::create_directories(home + "/Documents/Palm");
    fs::create_directories(t.file("elsewhere"));
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    fs::create_directory_symlink("/", prefix + "/dosdevices/z:");
    fs::create_directory_symlink(t.file("elsewhere"), prefix + "/drive_c/away");
    fs::create_directory_symlink(home + "/Documents", prefix + "/drive_c/users/u/Documents");
    const std::string root = fs::canonical(t.path()).string();
    const std::string inside = root + "/prefix/drive_c/Program Files/Palm";
    std::string zHome = "Z:" + root + "/home/Documents/Palm";
    std::replace(zHome.begin(), zHome.end(), '/', '\\');
    const struct {
        std::string windows;
        std::string native; // empty: refused
        std::string named;  // what the refusal names
    } cases[] = {
        {"C:\\Program Files\\Palm", inside, ""},
        {"c:\\PROGRAM FILES\\palm\\", inside, ""},
        {"C:\\users\\u\\Documents\\Palm", root + "/home/Documents/Palm", ""},
        {zHome, root + "/home/Documents/Palm", ""},
        {"C:\\Program Files\\..\\..\\..", "", ".."},
        {"Z:\\etc", "", "/etc"},
        {"D:\\Palm", "", "D:"},
        {"C:\\away", "", root + "/elsewhere"},
        {"Palm", "", "Palm"},
        {"C:Palm", "", "C:Palm"},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_EQ(mapWinePath(prefix, home, c.windows, problem), c.native) << c.windows;
        EXPECT_EQ(problem.empty(), !c.native.empty()) << c.windows;
        EXPECT_NE(problem.find(c.named), std::string::npos) << problem;
    }
    std::string problem;
    EXPECT_EQ(mapWinePath(prefix, "", "C:\\users\\u\\Documents\\Palm", problem), "") << "no home given";
}

// ---- settings and detection --------------------------------------------------------------------

TEST(TargetSettingsFile, ParsesAndFallsBack) {
    const struct {
        std::string bytes;
        std::optional<TargetKind> target;
        std::string port;
    } cases[] = {
        {"", std::nullopt, "usb:"},
        {"Target=jpilot\nPort=/dev/ttyUSB0\n", TargetKind::JPilot, "/dev/ttyUSB0"},
        {"Target = wine \r\nPort=\r\n", TargetKind::Wine, "usb:"},
        {"Target=auto\nPort=a b\n", std::nullopt, "usb:"},
        {"Target=floppy\n\x01\x02=\n", std::nullopt, "usb:"},
        {"Port=/dev/tty USB0\n", std::nullopt, "usb:"},
        {"Port=/etc/passwd\n", std::nullopt, "usb:"},
        {"Port=net:any\n", std::nullopt, "net:any"},
    };
    for (const auto& c : cases) {
        const TargetSettings s = parseTargetSettings(c.bytes);
        EXPECT_EQ(s.target, c.target) << c.bytes;
        EXPECT_EQ(s.port, c.port) << c.bytes;
        const TargetSettings again = parseTargetSettings(formatTargetSettings(s));
        EXPECT_EQ(again.target, s.target);
        EXPECT_EQ(again.port, s.port);
    }
}

TEST(TargetSettingsFile, PortsPilotXferCannotTakeAreRefusedWithAMessage) {
    const struct {
        std::string port;
        bool ok;
    } cases[] = {
        {"usb:", true},
        {"net:", true},
        {"net:any", true},
        {"/dev/ttyUSB0", true},
        {"/dev/pilot", true},
        {"/dev/tty USB0", false},
        {"/dev/", false},
        {"/dev/../etc/x", false},
        {"/dev/..", false},
        {"ttyUSB0", false},
        {"/tmp/ttyUSB0", false},
        {"", false},
        {"usb:\n", false},
        {"usb: ", false},
        {"/dev/tty\x1b", false},
        {"USB:", false},
        {"/dev/" + std::string(300, 'x'), false},
    };
    TempFolder t;
    TargetEnvironment env;
    env.settingsFile = t.write("InstallTarget.ini", "Target=auto\nPort=usb:\n");
    for (const auto& c : cases) {
        const std::string problem = portProblem(c.port);
        EXPECT_EQ(problem.empty(), c.ok) << c.port;
        if (!c.ok) {
            EXPECT_NE(problem.find("pilot-xferのポート"), std::string::npos) << c.port;
        }
        TargetSettings s;
        s.port = c.port;
        std::string saveProblem;
        EXPECT_EQ(saveTargetSettings(env, s, saveProblem), c.ok) << c.port;
        EXPECT_EQ(saveProblem, problem) << c.port;
        EXPECT_EQ(TempFolder::read(env.settingsFile), "Target=auto\nPort=" + (c.ok ? c.port : "usb:") + "\n");
        s.port = "usb:";
        ASSERT_TRUE(saveTargetSettings(env, s, saveProblem));
    }
    const std::string shown = portProblem("/dev/tty\nUSB0");
    EXPECT_NE(shown.find("「/dev/tty\\nUSB0」"), std::string::npos) << shown;
}

TEST(TargetSettingsFile, SavedUnderItsLockOverOtherLines) {
    TempFolder t;
    TargetEnvironment env;
    env.settingsFile = t.write("InstallTarget.ini", "Theme=dark\r\nTarget=jpilot\nPort=usb:\n");
    TargetSettings s;
    s.target = TargetKind::Wine;
    std::string problem;
    ASSERT_TRUE(saveTargetSettings(env, s, problem)) << problem;
    EXPECT_EQ(TempFolder::read(env.settingsFile), "Theme=dark\r\nTarget=wine\nPort=usb:\n");
    ShortLockWait shortWait;
    FileLock other;
    ASSERT_TRUE(other.lock(env.settingsFile, problem)) << problem;
    s.target.reset();
    EXPECT_FALSE(saveTargetSettings(env, s, problem));
    EXPECT_NE(problem.find("InstallTarget.ini.lock"), std::string::npos) << problem;
    EXPECT_EQ(TempFolder::read(env.settingsFile), "Theme=dark\r\nTarget=wine\nPort=usb:\n");
}

class DetectionTest : public ::testing::Test {
protected:
    TempFolder home;
    TargetEnvironment env;
    void SetUp() override {
        setRegistryFilePath(home.file(".config/rovik/HKEY_CURRENT_USER.reg"));
        env.home = env.jpilotHome = home.path();
        env.winePrefix = home.file(".wine");
        env.pathList = home.file("bin");
        env.keepFolder = home.file("start/Install");
        env.settingsFile = home.file(".config/rovik/InstallTarget.ini");
        fs::create_directories(home.file("bin"));
    }
    void TearDown() override { setRegistryFilePath({}); }
    void addProgram(const char* name) {
        home.write(std::string("bin/") + name, "#!/bin/sh\nexit 0\n");
        fs::permissions(home.file(std::string("bin/") + name), fs::perms::owner_all);
    }
    std::optional<TargetKind> chosen() {
        std::string problem;
        auto target = chooseTarget(env, loadTargetSettings(env), problem);
        return target ? std::optional<TargetKind>(target->kind()) : std::nullopt;
    }
};

TEST_F(DetectionTest, NothingFoundGivesOneMessageNamingEveryTarget) {
    std::string problem;
    EXPECT_EQ(chooseTarget(env, {}, problem), nullptr);
    for (const char* named :
         {"Palm Desktop", "Wine", "J-Pilot", "pilot-xfer", "転送先の設定", ".jpilot/jpilot.install"})
        EXPECT_NE(problem.find(named), std::string::npos) << named;
}

// Starting HotSync is no install: the message says what was looked for and what to do again.
TEST_F(DetectionTest, NothingFoundSaysWhatFor) {
    const struct {
        TargetPurpose purpose;
        std::string first, last;
    } cases[] = {
        {TargetPurpose::Install, "インストール先が見つかりません。次のものを探しました：\n",
         "\n用意ができたら、もう一度インストールしてください。"},
        {TargetPurpose::Start, "転送先が見つかりません。次のものを探しました：\n",
         "\n用意ができたら、もう一度起動してください。"},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_EQ(chooseTarget(env, {}, problem, c.purpose), nullptr);
        EXPECT_EQ(c.first, problem.substr(0, c.first.size()));
        ASSERT_GE(problem.size(), c.last.size());
        EXPECT_EQ(c.last, problem.substr(problem.size() - c.last.size()));
    }
}

TEST_F(DetectionTest, FollowsTheOrderAndTheSavedChoice) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    addProgram("pilot-xfer");
    EXPECT_EQ(chosen(), TargetKind::PilotXfer);
    fs::create_directories(home.file(".jpilot"));
    EXPECT_EQ(chosen(), TargetKind::JPilot);
    // A prefix without Palm Desktop is passed over without asking Wine.
    fs::create_directories(home.file(".wine/dosdevices"));
    home.write(".wine/user.reg", "WINE REGISTRY Version 2\n");
    EXPECT_EQ(chosen(), TargetKind::JPilot);
    std::string problem;
    ASSERT_TRUE(writePalmDesktopStandIn(registryFilePath(), home.file("Palm"), problem));
    EXPECT_EQ(chosen(), TargetKind::PalmDesktop);
    TargetSettings saved;
    saved.target = TargetKind::PilotXfer;
    ASSERT_TRUE(saveTargetSettings(env, saved, problem)) << problem;
    EXPECT_EQ(chosen(), TargetKind::PilotXfer);
    const std::vector<TargetFinding> found = findTargets(env);
    ASSERT_EQ(found.size(), 4u);
    EXPECT_TRUE(found[0].found);
    EXPECT_FALSE(found[1].found);
    EXPECT_TRUE(found[2].found);
    EXPECT_TRUE(found[3].found);
}

// Detection reads the prefix's user.reg: Wine, which takes seconds to answer, is not started.
TEST_F(DetectionTest, WinePrefixIsFoundWithoutStartingWine) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    addProgram("wine");
    int started = 0;
    env.run = [&started](const std::vector<std::string>&, const std::vector<std::string>&) {
        ++started;
        return ProgramResult{true, 0, {}};
    };
    fs::create_directories(home.file(".wine/dosdevices"));
    const std::string head =
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
        "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1796851281\n#time=1dd88233c858f24\n";
    const struct {
        const char* what;
        std::string values;
        bool found;
    } cases[] = {
        {"both set", "\"Path\"=\"C:\\\\Program Files\\\\\\x30d1\\x30fc\\x30e0\"\n\"HotSyncPath\"=\"h\"\n",
         true},
        {"no HotSyncPath", "\"Path\"=\"C:\\\\Palm\"\n", false},
        {"Path empty", "\"Path\"=\"\"\n\"HotSyncPath\"=\"h\"\n", false},
        {"Path is no string", "\"Path\"=dword:00000001\n\"HotSyncPath\"=\"h\"\n", false},
    };
    for (const auto& c : cases) {
        home.write(".wine/user.reg", head + c.values);
        EXPECT_EQ(findTargets(env)[1].found, c.found) << c.what;
    }
    EXPECT_EQ(started, 0);
}

// user.reg as Wine's server writes it: ASCII, other characters as \x escapes of UTF-16 units.
TEST(WineUserReg, ReadsTheKeysValuesThroughWinesEscapes) {
    const std::string userReg =
        "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\User\\\\S-1-5-21\n\n"
        "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1796851281\n"
        "#time=1dd88233c858f24\n"
        "\"Path\"=\"C:\\\\Program Files\\\\\\x30d1\\x30fc\\x30e0\"\n"
        "\"Hex\"=\"\\x30d1\\x0041B\"\n"                  // four digits before a hex digit
        "\"Pair\"=\"\\xd842\\xdfb7\"\n"                  // a surrogate pair
        "\"Odd\"=\"a\\nb\\\"c\\\\d\\re\\t\\1x\\0012\"\n" // C and octal escapes: \001 then "2"
        "\"E\"=str(2):\"x%y%\"\n"
        "\"D\"=dword:00000001\n"
        "@=\"default\"\n\n"
        "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core\\\\Sub] 1796851281\n"
        "\"Path\"=\"sub\"\n";
    const auto values = parseWineUserReg(userReg, "software\\u.s. robotics\\pilot desktop\\core");
    ASSERT_TRUE(values);
    EXPECT_EQ(values->size(), 7u);
    EXPECT_EQ(regString(*values, "Path"), "C:\\Program Files\\パーム");
    EXPECT_EQ(regString(*values, "Hex"), "パAB");
    EXPECT_EQ(regString(*values, "Pair"), "\xF0\xA0\xAE\xB7");
    EXPECT_EQ(regString(*values, "Odd"), "a\nb\"c\\d\re\t\x01x\x01"
                                         "2");
    EXPECT_EQ(regString(*values, "E"), std::nullopt);
    EXPECT_EQ(regString(*values, "D"), std::nullopt);
    EXPECT_EQ(regString(*values, "@"), "default");
    EXPECT_EQ(parseWineUserReg(userReg, "Software\\Other"), std::nullopt);
}

TEST_F(DetectionTest, ForcedTargetWithoutItsProgramSaysSo) {
    TargetSettings s;
    s.target = TargetKind::Wine;
    std::string problem;
    EXPECT_EQ(makeTarget(TargetKind::Wine, env, s, problem), nullptr);
    EXPECT_NE(problem.find("wine"), std::string::npos);
}

} // namespace
} // namespace rovik
