// rovik-cli quiz writing the history, several at once, and rovik-cli stats reading it.
#ifdef ROVIK_HISTORY // the Windows build keeps no history
#include "history/HistoryStore.h"

#include "cli/CliRun.h"
#include "hotsync/RunProgram.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <thread>

namespace rovik {
namespace {
using test::TempFolder;

// `count` records "11\tQn\tAn\tRn\t0" under title "Words".
std::string drillFile(int count) {
    std::string text = "tTitle\tWords\t3\t3\r\n";
    for (int n = 1; n <= count; ++n) {
        const std::string k = std::to_string(n);
        text += "11\tQ" + k + "\tA" + k + "\tR" + k + "\t0\r\n";
    }
    return text;
}

// Every question answered right, then "終了しますか？" answered yes.
std::string allRight(int count) {
    std::string input;
    for (int n = 0; n < count; ++n)
        input += "\ny\n";
    return input + "y\n";
}

struct CliHistoryTest : ::testing::Test {
    TempFolder home;
    test::ScopedEnv dataHome{"XDG_DATA_HOME", home.path()};
    const std::string history = home.file("rovik/history.sqlite");
};

TEST_F(CliHistoryTest, NoHistoryWritesNothing) {
    const std::string file = home.write("d.txt", drillFile(1));
    test::CliResult r = test::runCli({"quiz", file, "--title", "1", "--no-history"}, allRight(1));
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("(1/1) Q1\nA1\n参考：R1\n全問正解\n終了しますか？\n", r.out);
    EXPECT_FALSE(std::filesystem::exists(home.file("rovik")));
}

TEST_F(CliHistoryTest, AnUnwritableHistoryIsToldOnceAndTheRunGoesOn) {
    home.write("rovik", "not a folder");
    const std::string file = home.write("d.txt", drillFile(3));
    test::CliResult r = test::runCli({"quiz", file, "--title", "1"}, allRight(3));
    EXPECT_EQ(0, r.code);
    EXPECT_EQ(
        "(1/3) Q1\nA1\n参考：R1\n(2/3) Q2\nA2\n参考：R2\n(3/3) Q3\nA3\n参考：R3\n全問正解\n終了しますか？\n",
        r.out);
    EXPECT_EQ(0u, r.err.rfind("rovik-cli: 履歴を記録できません: ", 0)) << r.err;
    EXPECT_EQ(1, std::count(r.err.begin(), r.err.end(), '\n')) << r.err;
}

// Several processes drilling at once: every answer of every one is kept.
TEST_F(CliHistoryTest, ParallelRunsKeepEveryAnswer) {
    constexpr int kProcesses = 8;
    constexpr int kQuestions = 300;
    const std::string file = home.write("d.txt", drillFile(kQuestions));
    const std::string input = home.write("input", allRight(kQuestions));
    const std::vector<std::string> environment = {"XDG_DATA_HOME=" + home.path(), "HOME=" + home.path()};
    std::vector<ProgramResult> results(kProcesses);
    std::vector<std::thread> threads;
    for (int i = 0; i < kProcesses; ++i)
        threads.emplace_back([&, i] {
            results[static_cast<std::size_t>(i)] =
                runProgram({"/bin/sh", "-c", std::string("exec \"$0\" quiz \"$1\" --title 1 < \"$2\""),
                            ROVIK_CLI_PROGRAM, file, input},
                           environment);
        });
    for (auto& t : threads)
        t.join();
    for (const ProgramResult& r : results) {
        EXPECT_EQ(0, r.exitCode) << r.output;
        EXPECT_EQ(std::string::npos, r.output.find("履歴")) << r.output;
    }
    HistoryStore store;
    ASSERT_TRUE(store.open(history));
    const std::vector<RunRecord> runs = store.runs({"Words"});
    ASSERT_EQ(static_cast<std::size_t>(kProcesses), runs.size());
    for (const RunRecord& run : runs) {
        EXPECT_EQ(file, run.file);
        EXPECT_EQ(kQuestions, run.asked);
        EXPECT_EQ(static_cast<std::size_t>(kQuestions), store.answers(run.id).size());
    }
}

// A history written with known times, read back as text and as CSV.
struct StatsCase {
    const char* name;
    std::vector<std::string> options;
    const char* expected;
};

class CliStatsTest : public CliHistoryTest, public ::testing::WithParamInterface<StatsCase> {};

TEST_P(CliStatsTest, PrintsTheHistoryOfTheTitles) {
    const std::string file =
        home.write("d.txt", "tTitle\tWords\t3\t3\r\n11\tQ1\tA1\tR1\t0\r\ntTitle\tKanji\t3\t3\r\n");
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history));
        RunRecord first{0, "/old/place.txt", "Words", "2026-03-01T10:00:00"};
        first.id = store.beginRun(first);
        store.addAnswer(first.id, {"Q1", "A1", false, "2026-03-01T10:00:05", 0});
        store.addAnswer(first.id, {"Q2", "A,2", true, "2026-03-01T10:00:09", 0});
        first.asked = 2, first.right = 1, first.wrong = 1, first.durationMs = 9000;
        store.finishRun(first);
        RunRecord second{0, "/d.txt", "Words", "2026-03-02T08:00:00"};
        second.id = store.beginRun(second);
        store.addAnswer(second.id, {"Q1", "A1", true, "2026-03-02T08:00:03", 0});
        second.asked = 1, second.right = 1, second.durationMs = 3000;
        store.finishRun(second);
        RunRecord empty{0, "/d.txt", "Kanji", "2026-03-03T08:00:00"};
        empty.id = store.beginRun(empty);
        store.finishRun(empty);
        RunRecord other{0, "/d.txt", "Other", "2026-03-03T08:00:00"};
        other.id = store.beginRun(other);
        store.addAnswer(other.id, {"X", "Y", false, "2026-03-03T08:00:03", 0});
    }
    cli::Args args{"stats", file};
    args.insert(args.end(), GetParam().options.begin(), GetParam().options.end());
    test::CliResult r = test::runCli(args);
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ("", r.err);
    EXPECT_EQ(GetParam().expected, r.out);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CliStatsTest,
    ::testing::Values(StatsCase{"Title",
                                {"--title", "1"},
                                "runs:\n"
                                "  2026-03-01T10:00:00  Words  asked 2, right 1, wrong 1, accuracy 50.0%\n"
                                "  2026-03-02T08:00:00  Words  asked 1, right 1, wrong 0, accuracy 100.0%\n"
                                "answers per day:\n"
                                "  2026-03-01  2\n"
                                "  2026-03-02  1\n"
                                "totals: 2 runs, asked 3, right 2, wrong 1, accuracy 66.7%\n"
                                "most missed:\n"
                                "  wrong 1 of 2, last 2026-03-02T08:00:03  Q1 → A1\n"},
                      StatsCase{"CsvOfEveryTitle",
                                {"--csv"},
                                "started,file,title,asked,right,wrong,accuracy,duration_ms\n"
                                "2026-03-01T10:00:00,/old/place.txt,Words,2,1,1,50.0%,9000\n"
                                "2026-03-02T08:00:00,/d.txt,Words,1,1,0,100.0%,3000\n"
                                "2026-03-03T08:00:00,/d.txt,Kanji,0,0,0,-,0\n"
                                "total,,,3,2,1,66.7%,12000\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliHistoryTest, StatsRefusesWhatItCannotRead) {
    const std::string file = home.write("d.txt", drillFile(1));
    EXPECT_EQ(2, test::runCli({"stats", file, "--title", "2"}).code);
    EXPECT_EQ(2, test::runCli({"stats", file, "--title", "0"}).code);
    EXPECT_EQ(2, test::runCli({"stats", home.file("missing.txt")}).code);
    EXPECT_EQ(2, test::runCli({"stats"}).code);
    EXPECT_FALSE(std::filesystem::exists(home.file("rovik")));
}

} // namespace
} // namespace rovik
#endif
