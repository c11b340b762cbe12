// The lock beside a shared file: one writer at a time, and a writer kept waiting is told why.
#include "platform/FileIo.h"
#include "platform/FileLock.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace rovik {
namespace {

struct ShortLockWait {
    ShortLockWait() { setLockWaitForTesting(std::chrono::milliseconds(200)); }
    ~ShortLockWait() { setLockWaitForTesting(std::chrono::milliseconds(-1)); }
};

TEST(FileLock, ASecondWriterIsToldAndGetsItOnceFree) {
    test::TempFolder folder;
    const std::string file = folder.file("jpilot.install");
    ShortLockWait shortWait;
    FileLock first, second;
    std::string problem;
    ASSERT_TRUE(first.lock(file, problem)) << problem;
    EXPECT_FALSE(second.lock(file, problem));
    EXPECT_NE(problem.find(folder.file("jpilot.install.lock")), std::string::npos) << problem;
    EXPECT_NE(problem.find("使用中"), std::string::npos) << problem;
    EXPECT_FALSE(second.locked());
    first.unlock();
    EXPECT_TRUE(second.lock(file, problem)) << problem;
    // The shared file itself is never created or touched by its lock.
    EXPECT_FALSE(fileExists(file));
}

TEST(FileLock, MissingFolderIsNamed) {
    test::TempFolder folder;
    FileLock lock;
    std::string problem;
    EXPECT_FALSE(lock.lock(folder.file("none/jpilot.install"), problem));
    EXPECT_NE(problem.find("none/jpilot.install.lock"), std::string::npos) << problem;
}

} // namespace
} // namespace rovik
