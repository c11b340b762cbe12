// The recorder between the engine and the store: what a run leaves, and a history that cannot be
// written telling so once while the quiz goes on.
#include "history/HistoryRecorder.h"

#include "quiz/QuizEngine.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {
using test::TempFolder;

TEST(HistoryRecorder, RecordsARunWithItsCounts) {
    TempFolder folder;
    const std::string path = folder.file("rovik/history.sqlite");
    std::vector<std::string> notes;
    {
        HistoryRecorder recorder(path, [&](const std::string& note) { notes.push_back(note); });
        QuizOptions options;
        options.chunkSize = 5;
        recorder.runStarted({"/d.txt", "T", &options});
        recorder.questionShown();
        recorder.answered("Q1", "A1", false);
        recorder.questionShown();
        recorder.answered("Q1", "A1", true);
        recorder.runEnded();
    }
    EXPECT_TRUE(notes.empty());
    HistoryStore store;
    ASSERT_TRUE(store.open(path));
    const std::vector<RunRecord> runs = store.runs({"T"});
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ("/d.txt", runs[0].file);
    EXPECT_EQ(5, runs[0].chunkSize);
    EXPECT_EQ(2, runs[0].asked);
    EXPECT_EQ(1, runs[0].right);
    EXPECT_EQ(1, runs[0].wrong);
    ASSERT_EQ(2u, store.answers(runs[0].id).size());
    EXPECT_FALSE(store.answers(runs[0].id)[0].right);
}

struct UnwritableCase {
    const char* name;
    void (*prepare)(TempFolder& folder, std::string& path);
};

class HistoryUnwritableTest : public ::testing::TestWithParam<UnwritableCase> {};

TEST_P(HistoryUnwritableTest, TellsOnceAndGoesOn) {
    TempFolder folder;
    std::string path;
    GetParam().prepare(folder, path);
    std::vector<std::string> notes;
    HistoryRecorder recorder(path, [&](const std::string& note) { notes.push_back(note); });
    QuizOptions options;
    for (int run = 0; run < 3; ++run) {
        recorder.runStarted({"/d.txt", "T", &options});
        for (int i = 0; i < 5; ++i)
            recorder.answered("Q", "A", i % 2 == 0);
        recorder.runEnded();
    }
    ASSERT_EQ(1u, notes.size());
    EXPECT_EQ(0u, notes[0].rfind("履歴を記録できません: ", 0)) << notes[0];
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HistoryUnwritableTest,
    ::testing::Values(
        // A file where the data folder would be: no user, root included, can write there.
        UnwritableCase{"FolderIsAFile",
                       [](TempFolder& folder, std::string& path) {
                           path = folder.write("rovik", "x") + "/history.sqlite";
                       }},
        UnwritableCase{"NoDataFolderKnown", [](TempFolder&, std::string& path) { path.clear(); }},
        // A history of a newer program is left alone, not written.
        UnwritableCase{"NewerHistory",
                       [](TempFolder& folder, std::string& path) {
                           path = folder.file("history.sqlite");
                           {
                               HistoryStore store;
                               store.open(path);
                           }
                           std::string bytes = TempFolder::read(path);
                           // user_version is the big-endian word at offset 60 of the header.
                           bytes[63] = 9;
                           folder.write("history.sqlite", bytes);
                       }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace rovik
