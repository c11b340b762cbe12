#include "platform/Shell.h"

#include "platform/FileIo.h"
#include "support/TempFolder.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

#ifdef _WIN32 // the Qt branch is tested through the windows that use it
namespace rovik {
namespace {

bool appears(const std::string& path) {
    for (int i = 0; i < 200 && !fileExists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return fileExists(path);
}

TEST(Shell_Windows, StartsAProgramWithItsArgumentAndDoesNotWait) {
    test::TempFolder folder;
    const std::string marker = folder.file("started marker.txt"); // a space: the argument is quoted
    ASSERT_TRUE(startDetached(ROVIK_TOUCH_FILE, marker));
    EXPECT_TRUE(appears(marker));
}

TEST(Shell_Windows, ReportsWhatCannotBeStartedOrOpened) {
    test::TempFolder folder;
    EXPECT_FALSE(startDetached(folder.file("hotsync.exe")));
    EXPECT_FALSE(startDetached("\\hotsync.exe")) << "an empty Palm folder searches nowhere";
    EXPECT_FALSE(shellOpen(folder.file("rovikhelp.html")));
}

} // namespace
} // namespace rovik
#endif
