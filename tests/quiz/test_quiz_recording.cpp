// What the engine tells a history: runs, judged answers by the record's own texts, and ends.
#include "quiz/QuizEngine.h"

#include "quiz/RecordingQuizView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

class FakeRecorder : public QuizRecorder {
public:
    void runStarted(const QuizRunInfo& run) override {
        events.push_back("start " + run.file + " " + run.title + (run.options->reverse ? " reverse" : ""));
    }
    void questionShown() override { ++shown; }
    void answered(const std::string& question, const std::string& answer, bool right) override {
        events.push_back(question + "/" + answer + (right ? " right" : " wrong"));
    }
    void runEnded() override { events.push_back("end"); }
    std::vector<std::string> events;
    int shown = 0;
};

struct RecordingCase {
    const char* name;
    bool reverse;
    std::vector<bool> judged; // the answers given, in order
    std::vector<std::string> expected;
};

class QuizRecordingTest : public ::testing::TestWithParam<RecordingCase> {};

TEST_P(QuizRecordingTest, ReportsEachJudgedAnswerByItsRecord) {
    const RecordingCase& c = GetParam();
    test::TempFolder folder;
    test::RecordingQuizView view;
    test::ScriptedPrompter prompter;
    QuizGenerator generator;
    QuizEngine engine(view, prompter, generator);
    FakeRecorder recorder;
    engine.setRecorder(&recorder);
    const std::string path = folder.write(
        "d.txt",
        "tTitle\t\x93\xfa\x96\x7b\t3\t3\r\n11\tQ1\tA1\tR1\t0\r\n11\tQ2\tA2\tR2\t0\r\n11\tQ3\tA3\tR3\t0\r\n");
    ASSERT_EQ(0, engine.LoadQuizFile(path));
    engine.LoadTitle(1);
    QuizOptions options;
    options.reverse = c.reverse;
    engine.StartRun(options);
    for (bool right : c.judged) {
        engine.ShowAnswer();
        right ? engine.MarkCorrect() : engine.MarkIncorrect();
    }
    engine.StopRun();
    std::vector<std::string> expected{"start " + path + " 日本" + (c.reverse ? " reverse" : "")};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    expected.push_back("end");
    EXPECT_EQ(expected, recorder.events);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, QuizRecordingTest,
    ::testing::Values(RecordingCase{"NoAnswer", false, {}, {}},
                      RecordingCase{"RightAndWrong", false, {true, false}, {"Q1/A1 right", "Q2/A2 wrong"}},
                      // Asked the other way round, the question keeps its own texts.
                      RecordingCase{"Reverse", true, {false}, {"Q1/A1 wrong"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QuizRecording, ARunWithoutQuestionsIsNotRecorded) {
    test::TempFolder folder;
    test::RecordingQuizView view;
    test::ScriptedPrompter prompter;
    QuizEngine engine(view, prompter);
    FakeRecorder recorder;
    engine.setRecorder(&recorder);
    ASSERT_EQ(0, engine.LoadQuizFile(folder.write("d.txt", "tTitle\tT\t3\t3\r\n")));
    engine.LoadTitle(1);
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    engine.StartRun({});
    EXPECT_TRUE(recorder.events.empty());
}

} // namespace
} // namespace rovik
