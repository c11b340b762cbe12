// Each install target end to end in a scratch folder, their parsers, and detection.
#include "hotsync/Hotsync.h"
#include "hotsync/JPilotTarget.h"
#include "hotsync/PalmFolderTarget.h"
#include "hotsync/PilotXferTarget.h"
#include "hotsync/TargetChoice.h"
#include "hotsync/WineRegistry.h"
#include "platform/FileLock.h"
#include "platform/Registry.h"

#include "PalmDesktopFixture.h"
#include "support/HostileNames.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
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

TEST(RegistryPathName, TakesUtf8AsItIsAndCp932AsCp932) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    EXPECT_EQ(registryPathName("/home/a/パーム"), "/home/a/パーム");
    EXPECT_EQ(registryPathName("/home/a/\x83\x70\x81\x5b\x83\x80"), "/home/a/パーム");
    EXPECT_EQ(registryPathName("C:\\Palm"), "C:\\Palm");
}

// ---- Wine's reg output and drive links ---------------------------------------------------------

TEST(RegQuery, ReadsValueLines) {
    const std::string out = "\r\nHKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core\r\n"
                            "    Path    REG_SZ    C:\\Program Files\\Palm\r\n"
                            "    HotSyncPath    REG_SZ    C:\\Program Files\\Palm\\hotsync.exe\r\n"
                            "    Install3    REG_DWORD    0x1\r\n"
                            "    Empty    REG_SZ\r\n"
                            "it looks like wine32 is missing\r\n"
                            "    no type here\r\n\r\n";
    const std::vector<RegQueryValue> values = parseRegQuery(out);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(regQueryValue(values, "path"), "C:\\Program Files\\Palm");
    EXPECT_EQ(values[1].type, "REG_SZ");
    EXPECT_EQ(regQueryValue(values, "Install3"), "0x1");
    EXPECT_EQ(regQueryValue(values, "Empty"), "");
    EXPECT_EQ(regQueryValue(values, "Missing"), std::nullopt);
    EXPECT_TRUE(parseRegQuery("reg: Unable to find the specified registry key\n").empty());
}

TEST(WinePath, MapsInsideThePrefixOnly) {
#ifdef _WIN32
    GTEST_SKIP() << "the stand-in file, Wine, J-Pilot and pilot-xfer are Linux's install targets";
#endif
    TempFolder t;
    const std::string prefix = t.file("prefix");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directories(prefix + "/drive_c/Program Files/Palm");
    fs::create_directories(t.file("elsewhere"));
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    fs::create_directory_symlink("/", prefix + "/dosdevices/z:");
    fs::create_directory_symlink(t.file("elsewhere"), prefix + "/drive_c/away");
    const std::string inside = fs::canonical(prefix).string() + "/drive_c/Program Files/Palm";
    const struct {
        const char* windows;
        std::string native; // empty: refused
    } cases[] = {
        {"C:\\Program Files\\Palm", inside},
        {"c:\\PROGRAM FILES\\palm\\", inside},
        {"C:\\Program Files\\..\\..\\..", ""},
        {"Z:\\etc", ""},
        {"D:\\Palm", ""},
        {"C:\\away", ""},
        {"Palm", ""},
        {"C:Palm", ""},
    };
    for (const auto& c : cases) {
        std::string problem;
        EXPECT_EQ(mapWinePath(prefix, c.windows, problem), c.native) << c.windows;
        EXPECT_EQ(problem.empty(), !c.native.empty()) << c.windows;
    }
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

TEST_F(DetectionTest, ForcedTargetWithoutItsProgramSaysSo) {
    TargetSettings s;
    s.target = TargetKind::Wine;
    std::string problem;
    EXPECT_EQ(makeTarget(TargetKind::Wine, env, s, problem), nullptr);
    EXPECT_NE(problem.find("wine"), std::string::npos);
}

} // namespace
} // namespace rovik
