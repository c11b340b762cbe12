// The lock beside a shared file: one writer at a time, and a writer kept waiting is told why.
#include "platform/FileIo.h"
#include "platform/FileLock.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

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

TEST(FileLock, ThreadsChangingOneFileLoseNoChange) {
    test::TempFolder folder;
    const std::string file = folder.write("count", "0");
    constexpr int kThreads = 8, kRounds = 25;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < kRounds; ++i) {
                FileLock lock;
                std::string problem, bytes;
                if (!lock.lock(file, problem)) continue;
                readWholeFile(file, bytes);
                writeFileAtomically(file, std::to_string(std::stoi(bytes) + 1));
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(test::TempFolder::read(file), std::to_string(kThreads * kRounds));
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
