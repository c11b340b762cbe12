#include "hotsync/Hotsync.h"

#include "hotsync/PalmDesktopFixture.h"
#include "support/HostileNames.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <set>

namespace rovik {
namespace {

using test::PalmDesktop;
using test::UserRecord;
using test::usersDatBytes;

struct Users {
    std::vector<std::string> names, folders, ids;
    int preselected = -2;
};

Users parse(const std::string& bytes) {
    Users u;
    u.preselected = ParseUsersDat(bytes, u.names, u.folders, u.ids);
    return u;
}

const std::vector<UserRecord> kThree = PalmDesktop::threeUsers();

TEST(Hotsync_UsersDat, ListsUsersInFileOrderWithTheFlaggedOnePreselected) {
    Users u = parse(usersDatBytes(kThree));
    EXPECT_EQ((std::vector<std::string>{"Taro", "Hanako", "Jiro"}), u.names);
    EXPECT_EQ((std::vector<std::string>{"TaroY", "HanakoS", "JiroK"}), u.folders);
    EXPECT_EQ((std::vector<std::string>{"1", "2", "12"}), u.ids);
    EXPECT_EQ(1, u.preselected);
}

TEST(Hotsync_UsersDat, CountByteIsSigned) {
    const struct {
        int count;
        size_t users;
    } cases[] = {{0, 0}, {200, 0}, {128, 0}, {255, 0}, {1, 1}, {2, 2}, {3, 3}, {127, 3}};
    for (const auto& c : cases) {
        Users u = parse(usersDatBytes(kThree, c.count));
        EXPECT_EQ(c.users, u.names.size()) << c.count;
        EXPECT_EQ(c.users, u.ids.size()) << c.count;
        EXPECT_EQ(c.users >= 2 ? 1 : 0, u.preselected) << c.count;
    }
}

TEST(Hotsync_UsersDat, HeaderBytesOneToTwelveAreIgnored) {
    const Users plain = parse(usersDatBytes(kThree));
    const std::string headers[] = {std::string(12, '\x80'), std::string(12, '\xFF'), "abcdefghijkl",
                                   std::string("\x01\x80\x00\x80\x02\x03\x80\x00\x00\x80\x80\x01", 12)};
    for (const auto& h : headers) {
        Users u = parse(usersDatBytes(kThree, -1, h));
        EXPECT_EQ(plain.names, u.names);
        EXPECT_EQ(plain.folders, u.folders);
        EXPECT_EQ(plain.ids, u.ids);
        EXPECT_EQ(plain.preselected, u.preselected);
    }
}

TEST(Hotsync_UsersDat, SeparatorTooCloseSkipsTheCandidate) {
    // From offset 13: `gap` junk bytes, a 0x80, then a real record. A 0x80 at p+1 to p+12 skips p.
    for (size_t gap : {1, 2, 5, 12}) {
        std::string bytes = std::string(1, '\x01') + std::string(12, '\0') + std::string(gap, 'z') + '\x80' +
                            test::userRecordBytes(kThree[0]);
        Users u = parse(bytes);
        ASSERT_EQ(1u, u.names.size()) << gap;
        EXPECT_EQ("Taro", u.names[0]) << gap;
        EXPECT_EQ("1", u.ids[0]) << gap;
    }
}

TEST(Hotsync_UsersDat, SeparatorThirteenBytesOnLeavesARecord) {
    // Twelve record bytes, one more, then 0x80 at p+13: the run is 12 bytes long, so p is a record.
    const std::string record = std::string("\x02\x00\x00\x00\x03", 5) + "abc" + "\x02" + "xy" + "\x01";
    ASSERT_EQ(12u, record.size());
    Users u = parse(std::string(1, '\x01') + std::string(12, '\0') + record + "Q" + '\x80');
    EXPECT_EQ((std::vector<std::string>{"abc"}), u.names);
    EXPECT_EQ((std::vector<std::string>{"xy"}), u.folders);
    EXPECT_EQ((std::vector<std::string>{"2"}), u.ids);
    // One byte less: the 0x80 sits at p+12 and the candidate is skipped.
    EXPECT_TRUE(parse(std::string(1, '\x01') + std::string(12, '\0') + record + '\x80').names.empty());
}

TEST(Hotsync_UsersDat, FlagsAndIds) {
    const struct {
        const char* what;
        std::vector<UserRecord> users;
        int preselected;
        std::vector<std::string> ids;
    } cases[] = {
        {"no flag", {{1, "A", "a"}, {2, "B", "b"}, {3, "C", "c"}}, 0, {"1", "2", "3"}},
        {"two flagged, the later wins",
         {{1, "A", "a", 1}, {2, "B", "b"}, {3, "C", "c", 1}},
         2,
         {"1", "2", "3"}},
        {"flag other than 1", {{1, "A", "a"}, {2, "B", "b", 2}, {3, "C", "c", 0xFF}}, 0, {"1", "2", "3"}},
        {"ids low byte first",
         {{0x1234, "A", "a"}, {0xFFFF, "B", "b", 1}, {0, "C", "c"}},
         1,
         {"4660", "65535", "0"}},
    };
    for (const auto& c : cases) {
        Users u = parse(usersDatBytes(c.users));
        EXPECT_EQ(c.preselected, u.preselected) << c.what;
        EXPECT_EQ(c.ids, u.ids) << c.what;
    }
    std::string raw = usersDatBytes({{0, "A", "a"}});
    raw[13] = '\x34';
    raw[14] = '\x12';
    EXPECT_EQ((std::vector<std::string>{"4660"}), parse(raw).ids);
}

TEST(Hotsync_UsersDat, ZeroByteEndsANameEarly) {
    Users u = parse(usersDatBytes({{1, std::string("Ta\0ro", 5), std::string("F\0x", 3), 1}}));
    EXPECT_EQ((std::vector<std::string>{"Ta"}), u.names);
    EXPECT_EQ((std::vector<std::string>{"F"}), u.folders);
    EXPECT_EQ(0, u.preselected);
}

TEST(Hotsync_UsersDat, ShiftJisNamesStayBytes) {
    const std::string name = "\x8E\x52\x93\x63"; // 山田
    Users u = parse(usersDatBytes({{7, name, "Yamada", 1}}));
    EXPECT_EQ((std::vector<std::string>{name}), u.names);
}

TEST(Hotsync_UsersDat, FileEndingEarlyGivesTheUsersFoundSoFar) {
    const std::string whole = usersDatBytes(kThree);
    const std::vector<std::string> all = {"Taro", "Hanako", "Jiro"};
    for (size_t n = 0; n <= whole.size(); ++n) {
        Users u = parse(whole.substr(0, n));
        ASSERT_LE(u.names.size(), 3u) << n;
        EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + static_cast<long>(u.names.size())),
                  u.names)
            << n;
        EXPECT_EQ(u.names.size(), u.folders.size());
        EXPECT_EQ(u.names.size(), u.ids.size());
        EXPECT_EQ(u.names.size() >= 2 ? 1 : 0, u.preselected) << n;
    }
    EXPECT_EQ(3u, parse(whole).names.size());
    // A record is complete once its flag byte is there.
    size_t third = whole.size() - test::userRecordBytes(kThree[2]).size();
    EXPECT_EQ(2u, parse(whole.substr(0, third + 6 + 4 + 5)).names.size());
    EXPECT_EQ(3u, parse(whole.substr(0, third + 6 + 4 + 5 + 1)).names.size());
}

struct HotsyncTest : ::testing::Test {
    PalmDesktop desk;
    test::ScriptedPrompter prompter;
    void expectPlain(const std::string& text) { prompter.expectMessage(text, "", Buttons::Ok, Icon::None); }
    void expectStartingError() {
        prompter.expectMessage("", "Starting Hotsync error", Buttons::Ok, Icon::Error);
    }
};

TEST_F(HotsyncTest, CheckLastUserIgnoresMatchesInTheFirstSixBytes) {
    const struct {
        std::string bytes;
        std::string name;
        bool passes;
    } cases[] = {
        {"Taro" + std::string(20, '.'), "Taro", false},      // offset 0
        {".....Taro" + std::string(20, '.'), "Taro", false}, // offset 5
        {"......Taro" + std::string(20, '.'), "Taro", true}, // offset 6
        {"Taro..Taro.", "Taro", true},
        {"......Taro", "Taro", false}, // the last position is never compared
        {"1234567", "", true},         // an empty name passes from seven bytes on
        {"123456", "", false},
        {std::string(1024, '.') + "Taro", "Taro", false},
        {std::string(1019, '.') + "Taro.", "Taro", true},
        {"ab", "longer than the file", false},
    };
    for (const auto& c : cases) {
        std::string path = desk.root.write("users.dat", c.bytes);
        if (!c.passes) expectPlain(c.name + "が存在しません");
        EXPECT_EQ(c.passes ? 0 : -1, CheckLastUser(path, c.name, prompter)) << c.bytes.substr(0, 12);
        EXPECT_TRUE(prompter.done());
    }
}

TEST_F(HotsyncTest, CheckLastUserNamesAFileItCannotRead) {
    const std::string missing = desk.root.file("none.dat");
    expectPlain(missing + "が開けません");
    EXPECT_EQ(-1, CheckLastUser(missing, "Taro", prompter));
    const std::string empty = desk.root.write("empty.dat", "");
    expectPlain(empty + "が開けません");
    EXPECT_EQ(-1, CheckLastUser(empty, "", prompter));
    expectPlain(desk.palm + "が開けません");
    EXPECT_EQ(-1, CheckLastUser(desk.palm, "", prompter)); // a folder
}

// users.dat holds CP932; the stand-in's name may be UTF-8 or CP932: both meet in one encoding.
TEST_F(HotsyncTest, LastUserIsFoundInUsersDatWhateverEncodingTheRegistryHoldsItIn) {
    const std::string usersFile =
        desk.root.write("users.dat", usersDatBytes({{1, "\x8E\x52\x93\x63", "Yamada", 1}}));
    const struct {
        const char* what;
        std::string stored;  // the value's bytes in the stand-in file
        const char* missing; // the message's name, or nullptr when found
    } cases[] = {
        {"UTF-8", "\xE5\xB1\xB1\xE7\x94\xB0", nullptr},
        {"CP932", "\x8E\x52\x93\x63", nullptr},
        {"outside CP932", "J\xC3\xBCrgen", "Jürgen"},
        {"another name", "\xE7\x94\xB0\xE4\xB8\xAD", "田中"},
    };
    for (const auto& c : cases) {
        desk.writeRegistryText("[Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\n\"LastUserName\"=\"" +
                               c.stored + "\"\n");
        if (c.missing) expectPlain(std::string(c.missing) + "が存在しません");
        EXPECT_EQ(c.missing ? -1 : 0, CheckLastUser(usersFile, GetLastUserName(), prompter)) << c.what;
        EXPECT_TRUE(prompter.done()) << c.what;
    }
}

// A REGEDIT4 export of a Japanese Windows holds the names as CP932, as users.dat does: every
// hostile CP932 name is found again; bytes that are neither UTF-8 nor CP932 read as no name.
TEST_F(HotsyncTest, HostileShiftJisLastUserNamesAreFound) {
    const std::set<std::string> cp932 = {"sjis-5c-hyou", "sjis-5c-so", "sjis-5c-nou", "sjis-5c-end",
                                         "sjis-7c",      "sjis-kana",  "long-sjis"};
    for (const test::HostileName& name : test::hostileNames()) {
        if (!cp932.count(name.id) && name.id != "invalid-utf8") continue;
#ifdef _WIN32
        // The real registry holds UTF-16 text: bytes that are no text cannot be put there.
        if (!cp932.count(name.id)) continue;
#endif
        const std::string usersFile = desk.root.write("users.dat", usersDatBytes({{1, name.bytes, "F", 1}}));
        desk.writeRegistryText(
            "[Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\r\n\"LastUserName\"=\"" + name.bytes +
            "\"\r\n");
        const std::string lastUser = GetLastUserName();
        if (!cp932.count(name.id)) {
            EXPECT_EQ(lastUser, "") << name.id;
            continue;
        }
        EXPECT_NE(lastUser, "") << name.id;
        EXPECT_EQ(CheckLastUser(usersFile, lastUser, prompter), 0) << name.id;
        EXPECT_TRUE(prompter.done()) << name.id;
    }
}

TEST_F(HotsyncTest, PalmDesktopPathAndItsFailures) {
    const std::string core = "[Software\\U.S. Robotics\\Pilot Desktop\\Core]\n";
    const struct {
        const char* what;
        const char* registry; // nullptr: no registry file
        const char* message;  // nullptr: silent
        const char* path;
    } cases[] = {
        {"no registry at all", nullptr, "Registryを開けません", ""},
        {"no Core key", "[Software\\Other]\n", "Registryを開けません", ""},
        {"HotSyncPath missing", "\"Path\"=\"/p\"\n", "Registry valueを読めません", ""},
        {"HotSyncPath empty", "\"HotSyncPath\"=\"\"\n\"Path\"=\"/p\"\n", "Registry valueを読めません", ""},
        {"HotSyncPath not a string", "\"HotSyncPath\"=dword:1\n\"Path\"=\"/p\"\n",
         "Registry valueを読めません", ""},
        {"Path missing", "\"HotSyncPath\"=\"h\"\n", nullptr, ""},
        {"Path empty", "\"HotSyncPath\"=\"h\"\n\"Path\"=\"\"\n", nullptr, ""},
        {"both present", "\"HotSyncPath\"=\"h\"\n\"Path\"=\"/palm/desk\"\n", nullptr, "/palm/desk"},
    };
    for (const auto& c : cases) {
        desk.removeRegistry();
        if (c.registry) {
            std::string text = c.registry;
            desk.writeRegistryText(text.rfind('[', 0) == 0 ? text : core + text);
        }
        if (c.message) {
            expectPlain(c.message);
            expectStartingError();
        }
        EXPECT_EQ(c.path, GetPalmDesktopPath(prompter)) << c.what;
        EXPECT_TRUE(prompter.done()) << c.what;
    }
}

TEST_F(HotsyncTest, PalmDesktopPathInShiftJisBecomesANativePath) {
    desk.writeRegistryText("[Software\\U.S. Robotics\\Pilot Desktop\\Core]\n"
                           "\"HotSyncPath\"=\"h\"\n\"Path\"=\"/\x83\x5C\x83\x74\x83\x67\"\n");
    EXPECT_EQ("/ソフト", GetPalmDesktopPath(prompter));
}

TEST_F(HotsyncTest, LastUserNameIsSilentlyEmptyWhenMissing) {
    desk.writeRegistry("Hanako");
    EXPECT_EQ("Hanako", GetLastUserName());
    desk.writeRegistryText("[Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\n\"X\"=\"1\"\n");
    EXPECT_EQ("", GetLastUserName());
    desk.removeRegistry();
    EXPECT_EQ("", GetLastUserName());
}

TEST_F(HotsyncTest, ReadHotSyncUsersFromUsersDat) {
    desk.install();
    std::vector<std::string> names{"stale"}, folders{"stale"}, ids{"stale"};
    EXPECT_EQ(1, ReadHotSyncUsers(desk.palm + "/users.dat", names, folders, ids, prompter));
    EXPECT_EQ((std::vector<std::string>{"Taro", "Hanako", "Jiro"}), names);
    EXPECT_EQ((std::vector<std::string>{"TaroY", "HanakoS", "JiroK"}), folders);
    EXPECT_EQ((std::vector<std::string>{"1", "2", "12"}), ids);
}

TEST_F(HotsyncTest, ReadHotSyncUsersLeavesTheListsWhenTheFileIsMissing) {
    std::vector<std::string> names{"n"}, folders{"f"}, ids{"i"};
    EXPECT_EQ(-1, ReadHotSyncUsers(desk.palm + "/users.dat", names, folders, ids, prompter));
    EXPECT_EQ((std::vector<std::string>{"n"}), names);
    EXPECT_EQ((std::vector<std::string>{"f"}), folders);
    EXPECT_EQ((std::vector<std::string>{"i"}), ids);
}

TEST_F(HotsyncTest, InstallFlagIsADwordOneNamedAfterTheUserId) {
    desk.writeRegistry();
    EXPECT_TRUE(SetInstallFlag(12, prompter));
    EXPECT_EQ(1u, desk.installFlag(12));
#ifndef _WIN32
    EXPECT_NE(std::string::npos,
              test::TempFolder::read(desk.registry).find("\"Install12\"=dword:00000001\r\n"));
#endif
    SetInstallFlag(1, prompter);
    EXPECT_EQ(1u, desk.installFlag(1)) << "the existing Install1=0 becomes 1";
}

TEST_F(HotsyncTest, InstallFlagNeedsTheHotSyncManagerKey) {
    desk.writeRegistry("Hanako", true, false);
    const std::string before = test::TempFolder::read(desk.registry);
    expectPlain("Registryを開けません");
    EXPECT_FALSE(SetInstallFlag(3, prompter));
    EXPECT_EQ(before, test::TempFolder::read(desk.registry)) << "the key is not created";
    RegistryKey manager;
    EXPECT_FALSE(manager.open(kHotSyncManagerKey)) << "the key is not created";
}

TEST_F(HotsyncTest, StartingPalmProgramsUsesThePalmDesktopFolderAndSaysWhenItFails) {
    desk.writeRegistry();
    for (bool starts : {true, false}) {
        std::vector<std::string> started;
        StartProcess start = [&started, starts](const std::string& program) {
            started.push_back(program);
            return starts;
        };
        if (!starts) {
            prompter.expectMessage(desk.palm + "/hotsync.exe を起動できません。", "エラー", Buttons::Ok,
                                   Icon::Error);
            prompter.expectMessage(desk.palm + "/Instapp.exe を起動できません。", "エラー", Buttons::Ok,
                                   Icon::Error);
        }
        EXPECT_EQ(starts, StartHotSync(prompter, start));
        EXPECT_EQ(starts, StartInstallTool(prompter, start));
        EXPECT_TRUE(prompter.done()) << starts;
        EXPECT_EQ((std::vector<std::string>{desk.palm + "/hotsync.exe", desk.palm + "/Instapp.exe"}),
                  started);
    }
}

TEST_F(HotsyncTest, StartingWithoutHotSyncPathWarnsAndStartsFromTheRoot) {
    desk.writeRegistry("Hanako", false);
    std::vector<std::string> started;
    StartProcess start = [&started](const std::string& program) {
        started.push_back(program);
        return true;
    };
    expectPlain("Registry valueを読めません");
    expectStartingError();
    StartHotSync(prompter, start);
    expectPlain("Registry valueを読めません");
    expectStartingError();
    StartInstallTool(prompter, start);
    EXPECT_EQ((std::vector<std::string>{test::kPalmSeparator + "hotsync.exe",
                                        test::kPalmSeparator + "Instapp.exe"}),
              started);
}

TEST(Hotsync_Names, SafeFolderEntries) {
    const struct {
        const char* name;
        bool safe;
    } cases[] = {
        {"TaroY", true}, {"Quiz1.pdb", true}, {"...pdb", true}, {".pdb", true},     {"山田", true},
        {"", false},     {".", false},        {"..", false},    {"../x", false},    {"a/b", false},
        {"a\\b", false}, {"C:x", false},      {"/etc", false},  {"\\\\srv", false}, {"a\tb", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.safe, isSafeFolderEntry(c.name)) << c.name;
}

TEST(Hotsync_Names, PalmPathJoinsWithOneSeparator) {
    EXPECT_EQ("/p/users.dat", palmPath("/p", "users.dat"));
    EXPECT_EQ("/p/users.dat", palmPath("/p/", "users.dat"));
    EXPECT_EQ(test::kPalmSeparator + "users.dat", palmPath("", "users.dat"));
#ifdef _WIN32
    EXPECT_EQ("C:\\Palm\\users.dat", palmPath("C:\\Palm", "users.dat"));
    EXPECT_EQ("C:\\Palm\\users.dat", palmPath("C:\\Palm\\", "users.dat"));
#endif
}

} // namespace
} // namespace rovik
