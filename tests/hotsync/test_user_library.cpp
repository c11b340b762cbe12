#include "hotsync/Hotsync.h"

#include "hotsync/PalmDesktopFixture.h"
#include "platform/FileIo.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#ifdef _WIN32 // Palm's user-data library is a Windows DLL
namespace rovik {
namespace {

struct UserLibraryTest : ::testing::Test {
    test::PalmDesktop desk;
    test::ScriptedPrompter prompter;
    std::vector<std::string> names, folders, ids;

    UserLibraryTest() { desk.install(); }
    int read() { return ReadHotSyncUsers(desk.palm + "/users.dat", names, folders, ids, prompter); }
};

TEST_F(UserLibraryTest, UsersComeFromTheLibraryInThePalmFolder) {
    ASSERT_TRUE(std::filesystem::copy_file(ROVIK_FAKE_USERDATA, nativePath(desk.palm + "/USERDATA.DLL")));
    const auto before = std::filesystem::current_path();
    EXPECT_EQ(0, read()) << "the first user is preselected";
    EXPECT_EQ((std::vector<std::string>{"Library", "\x8E\x52\x93\x63"}), names) << "asked again while empty";
    EXPECT_EQ((std::vector<std::string>{"LibDir", "Yamada"}), folders);
    EXPECT_EQ((std::vector<std::string>{"5", "300"}), ids);
    EXPECT_EQ(before, std::filesystem::current_path()) << "the current folder is restored";
}

TEST_F(UserLibraryTest, UsersDatIsReadWhenTheLibraryCannotBeLoaded) {
    const struct {
        const char* what;
        const char* library; // nullptr: none
    } cases[] = {{"no library", nullptr}, {"not a DLL", "MZ but no more"}};
    for (const auto& c : cases) {
        std::filesystem::remove(nativePath(desk.palm + "/USERDATA.DLL"));
        if (c.library) desk.root.write("Palm/USERDATA.DLL", c.library);
        EXPECT_EQ(1, read()) << c.what;
        EXPECT_EQ((std::vector<std::string>{"Taro", "Hanako", "Jiro"}), names) << c.what;
        EXPECT_EQ((std::vector<std::string>{"1", "2", "12"}), ids) << c.what;
    }
}

} // namespace
} // namespace rovik
#endif
