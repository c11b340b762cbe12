// 苦手な問題で開始 in the engine: finding questions by their history key, and a run over exactly
// those questions that the option boxes' filters do not narrow.
#include "quiz/QuizEngine.h"

#include "quiz/RecordingQuizView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {
using test::RecordingQuizView;
using test::ScriptedPrompter;
using test::TempFolder;

// Title "T" with categories 1 and 2: 犬/dog and 猫/cat in 11, 鳥/bird in 21, 犬/dog again in 21
// (a second record with the same texts), 魚/fish in 22.
const char* kFile = "tTitle\tT\t3\t3\r\ndBunrui\tA1\r\ndBunrui\tA2\r\nsBunrui\tB1\r\nsBunrui\tB2\r\n"
                    "11\t\x8C\xA2\tdog\tr1\t0\r\n"
                    "11\t\x94\x4C\tcat\tr2\t0\r\n"
                    "21\t\x92\xB9\tbird\tr3\t0\r\n"
                    "21\t\x8C\xA2\tdog\tr4\t0\r\n"
                    "22\t\x8B\x9B\tfish\tr5\t0\r\n";

struct RunOverTest : ::testing::Test {
    RunOverTest() {
        EXPECT_EQ(0, engine.LoadQuizFile(folder.write("drill.txt", kFile)));
        engine.LoadTitle(1);
    }
    // Answers every question of the pass right and gives the questions asked.
    std::vector<std::string> drill() {
        std::vector<std::string> asked;
        while (engine.running() && engine.state() == QuizState::QuestionShown) {
            asked.push_back(view.text(QuizArea::Question));
            engine.ShowAnswer();
            if (engine.passSize() == static_cast<int>(asked.size()))
                prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
            engine.MarkCorrect();
        }
        return asked;
    }
    TempFolder folder;
    RecordingQuizView view;
    ScriptedPrompter prompter;
    QuizGenerator generator;
    QuizEngine engine{view, prompter, generator};
};

TEST_F(RunOverTest, FindsQuestionsByTheirTexts) {
    const std::vector<QuestionKey> keys = {{"魚", "fish"}, {"犬", "wolf"}, {"猫", "cat"},
                                           {"犬", "dog"},  {"猫", "cat"},  {"鳥", "bird"}};
    const struct {
        int limit;
        std::vector<int> questions;
    } cases[] = {
        {10, {5, 2, 1, 3}}, // 犬/wolf is no longer in the file; 猫/cat once; 犬/dog is the first record
        {3, {5, 2, 1}},
        {1, {5}},
        {0, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.questions, engine.findQuestions(keys, c.limit)) << c.limit;
    EXPECT_TRUE(engine.findQuestions({}, 10).empty());
    const QuestionKey key = engine.questionKey(3);
    EXPECT_EQ("鳥", key.question);
    EXPECT_EQ("bird", key.answer);
}

// Category boxes and 誤答のみ (which would find nothing in a new window) do not narrow the run;
// direction comes from the options; declining to end draws the same questions again.
TEST_F(RunOverTest, DrillsExactlyTheGivenQuestions) {
    QuizOptions options;
    options.categoryA = 1;
    options.categoryB = 1;
    options.wrongOnly = true;
    engine.StartRunOver({5, 3}, options);
    EXPECT_EQ("(1/2)", view.text(QuizArea::Progress));
    EXPECT_EQ((std::vector<std::string>{"魚", "鳥"}), drill());
    EXPECT_FALSE(engine.running());

    options.reverse = true;
    engine.StartRunOver({2}, options);
    EXPECT_EQ("cat", view.text(QuizArea::Question));
    engine.ShowAnswer();
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::No);
    engine.MarkCorrect();
    EXPECT_EQ("cat", view.text(QuizArea::Question)) << "a fresh selection of the same questions";
    engine.StopRun();

    engine.StartRun(QuizOptions{});
    EXPECT_EQ("(1/5)", view.text(QuizArea::Progress)) << "開始 draws from the whole title again";
}

TEST_F(RunOverTest, NothingLeftIsTheUsualMessage) {
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    engine.StartRunOver({}, QuizOptions{});
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(view.runControls);
    EXPECT_TRUE(prompter.done());
}

// A wrong answer in such a run marks the question for 誤答のみ as any wrong answer does.
TEST_F(RunOverTest, WrongAnswersMarkTheQuestion) {
    engine.StartRunOver({4}, QuizOptions{});
    engine.ShowAnswer();
    prompter.expectMessage("1問不正解です。\n不正解の問題をもう一度やりますか？", "", Buttons::YesNo,
                           Icon::None, Answer::No);
    engine.MarkIncorrect();
    EXPECT_EQ(1, engine.mark(engine.questionLine(4)));
    EXPECT_EQ(0, engine.mark(engine.questionLine(1)));
}

} // namespace
} // namespace rovik
