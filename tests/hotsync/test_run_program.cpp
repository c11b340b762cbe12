// Ending a program that another thread waits for: whatever it started ends with it.
#include "hotsync/RunProgram.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace rovik {
namespace {
namespace fs = std::filesystem;
using test::TempFolder;

// Runs `script` until it has written its "started" marker, then asks `stop` to end it.
ProgramResult runAndStop(const TempFolder& home, const std::string& script, ProgramStop& stop) {
    const std::string program = home.write("tool", "#!/bin/sh\n" + script);
    fs::permissions(program, fs::perms::owner_all);
    const std::string marker = home.file("started");
    std::thread stopper([&] {
        for (int i = 0; i < 500 && !fs::exists(marker); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        stop.request();
    });
    ProgramResult result = runStoppableProgram({program}, {"MARKER=" + marker}, stop);
    stopper.join();
    return result;
}

TEST(ProgramStop, EndsTheProgramAndWhatItStarted) {
#ifdef _WIN32
    GTEST_SKIP() << "only the windows stop programs, and they are built for Linux";
#endif
    const struct {
        const char* name;
        const char* script;
    } cases[] = {
        {"waits for a child", "echo begun\n: > \"$MARKER\"\n/bin/sleep 30\necho after\n"},
        {"a background child holds the output",
         "echo begun\n(/bin/sleep 30; echo after) &\n: > \"$MARKER\"\nwait\necho after\n"},
        {"ignores TERM, so is killed after the grace period",
         "trap '' TERM\necho begun\n: > \"$MARKER\"\n/bin/sleep 30\necho after\n"},
    };
    for (const auto& c : cases) {
        TempFolder home;
        ProgramStop stop;
        const ProgramResult result = runAndStop(home, c.script, stop);
        EXPECT_TRUE(result.started) << c.name;
        EXPECT_TRUE(result.stopped) << c.name;
        EXPECT_TRUE(stop.ended()) << c.name;
        EXPECT_EQ(-1, result.exitCode) << c.name;
        EXPECT_EQ("begun\n", result.output) << c.name;
    }
}

TEST(ProgramStop, AskedBeforehandKeepsTheProgramFromStarting) {
#ifdef _WIN32
    GTEST_SKIP() << "the program is a shell script";
#endif
    TempFolder home;
    const std::string program = home.write("tool", "#!/bin/sh\n: > \"$0.ran\"\n");
    fs::permissions(program, fs::perms::owner_all);
    ProgramStop stop;
    stop.request();
    const ProgramResult result = runStoppableProgram({program}, {}, stop);
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(stop.ended());
    EXPECT_FALSE(fs::exists(program + ".ran"));

    stop.reset();
    EXPECT_FALSE(stop.ended());
    const ProgramResult again = runStoppableProgram({program}, {}, stop);
    EXPECT_TRUE(again.started);
    EXPECT_FALSE(again.stopped);
    EXPECT_EQ(0, again.exitCode);
    EXPECT_TRUE(fs::exists(program + ".ran"));
}

} // namespace
} // namespace rovik
