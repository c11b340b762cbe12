#include "quiz/QuizEngine.h"

#include "platform/Cp932.h"
#include "quiz/RecordingQuizView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

namespace rovik {
namespace {
using test::RecordingQuizView;
using test::ScriptedPrompter;
using test::TempFolder;

const char* kRetryTail = "問不正解です。\n不正解の問題をもう一度やりますか？";
const char* kContinue = "続けますか？\n\nはい  ：次の出題\nいいえ：終了する";

// Records "CODE\tQn\tAn\tRn\t0" for n = from .. from + count - 1.
std::string records(int count, const std::string& code = "11", int from = 1) {
    std::string text;
    for (int n = from; n < from + count; ++n) {
        const std::string k = std::to_string(n);
        text += code + "\tQ" + k + "\tA" + k + "\tR" + k + "\t0\r\n";
    }
    return text;
}

std::string header(const std::string& name) {
    return "tTitle\t" + name + "\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n";
}

struct QuizFixture : ::testing::Test {
    TempFolder folder;
    RecordingQuizView view;
    ScriptedPrompter prompter;
    QuizGenerator generator;
    QuizEngine engine{view, prompter, generator};

    void load(const std::string& bytes, const std::string& name = "drill.txt") {
        ASSERT_EQ(0, engine.LoadQuizFile(folder.write(name, bytes)));
    }
    void loadTitle(const std::string& bytes, int t = 1) {
        load(bytes);
        engine.LoadTitle(t);
    }
    std::string question() const { return view.text(QuizArea::Question); }
    std::string progress() const { return view.text(QuizArea::Progress); }
    void answer(bool right) {
        engine.ShowAnswer();
        right ? engine.MarkCorrect() : engine.MarkIncorrect();
    }
    // Answers `count` questions right and returns what they asked.
    std::vector<std::string> answerRight(int count) {
        std::vector<std::string> asked;
        for (int i = 0; i < count; ++i) {
            asked.push_back(question());
            answer(true);
        }
        return asked;
    }
};

std::vector<std::string> names(int from, int to) {
    std::vector<std::string> list;
    for (int n = from; n <= to; ++n)
        list.push_back("Q" + std::to_string(n));
    return list;
}

TEST_F(QuizFixture, LoadQuizFile_DropsCommentsAndLinesWithoutTab) {
    load("// note\tx\r\n" + header("T") + "lonely line\r\n" + records(2) + "// end\r\n", "set.txt");
    ASSERT_EQ(5u, engine.lines().size());
    EXPECT_EQ("tTitle\tT\t3\t3", engine.lines()[0]);
    EXPECT_EQ("11\tQ2\tA2\tR2\t0", engine.lines()[4]);
    EXPECT_EQ(1, engine.titleCount());
    EXPECT_EQ("T", engine.titleName(1));
    EXPECT_EQ("Rovik(ﾃﾞｽｸﾄｯﾌﾟ) - set.txt", view.caption);
}

TEST_F(QuizFixture, LoadQuizFile_KeepsALastLineWithoutBreak) {
    loadTitle(header("T") + records(1) + "11\tQ2\tA2\tR2\t0");
    EXPECT_EQ(2, engine.questionCount());
}

TEST_F(QuizFixture, LoadQuizFile_CannotOpenKeepsTheOldData) {
    loadTitle(header("Old") + records(3));
    const std::string missing = folder.file("missing.txt");
    prompter.expectMessage(missing, "ファイルが開けません", Buttons::Ok, Icon::None);
    EXPECT_EQ(-1, engine.LoadQuizFile(missing));
    EXPECT_EQ(1, engine.titleCount());
    EXPECT_EQ("Old", engine.titleName(1));
    EXPECT_EQ(3, engine.questionCount());
}

TEST_F(QuizFixture, LoadQuizFile_WithoutTitlesSaysSoAndLoads) {
    prompter.expectMessage("ﾌｧｲﾙを読み込んでいないか、ﾃﾞｰﾀにﾀｲﾄﾙがありません。", "確認", Buttons::Ok,
                           Icon::Error);
    load(records(4));
    EXPECT_EQ(0, engine.titleCount());
    EXPECT_EQ(4u, engine.lines().size());
    engine.LoadTitle(0); // title 0: the lines before the first title, here all of them
    EXPECT_EQ(4, engine.questionCount());
}

TEST_F(QuizFixture, ScanTitles_HasRoomForMoreThanFifteenTitles) {
    std::string text = records(2, "11", 100); // title 0
    for (int t = 1; t <= 20; ++t)
        text += header("T" + std::to_string(t)) + records(t, "11");
    load(text);
    ASSERT_EQ(20, engine.titleCount());
    EXPECT_EQ("T20", engine.titleName(20));
    EXPECT_EQ("", engine.titleName(21));
    engine.LoadTitle(20);
    EXPECT_EQ(20, engine.questionCount());
    engine.LoadTitle(0);
    EXPECT_EQ(2, engine.questionCount());
    engine.LoadTitle(21); // no such title: nothing to drill
    EXPECT_EQ(0, engine.questionCount());
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    engine.StartRun({});
    EXPECT_TRUE(view.runControls);
}

TEST_F(QuizFixture, LoadTitle_FillsCategoriesAndResetsOptions) {
    const std::string noun = toCp932("名詞"), verb = toCp932("動詞");
    load(header("X") + "tTitle\tT\t3\t3\r\ndBunrui\t" + noun + "\r\ndBunrui\t" + verb +
         "\r\nsBunrui\tB1\r\n" + records(3));
    view.texts[QuizArea::Answer] = "stale";
    engine.LoadTitle(2);
    EXPECT_EQ((std::vector<std::string>{"名詞", "動詞"}), view.categoryA);
    EXPECT_EQ((std::vector<std::string>{"B1"}), view.categoryB);
    EXPECT_EQ(1, view.resets);
    EXPECT_EQ("", view.text(QuizArea::Answer));
    EXPECT_EQ(3, engine.questionCount());
    EXPECT_EQ(QuizState::TitleLoaded, engine.state());
    EXPECT_FALSE(view.busy);
}

const char* kOnlyFiveHundred = "このタイトルには500問を超える問題があります。\n最初の500問だけを出題します。";

TEST_F(QuizFixture, LoadTitle_StopsAtFiveHundredQuestions) {
    prompter.expectMessage(kOnlyFiveHundred, "確認", Buttons::Ok, Icon::Information);
    loadTitle(header("Big") + records(510));
    EXPECT_EQ(500, engine.questionCount());
    EXPECT_EQ(502, engine.questionLine(500)); // after the three header lines
    EXPECT_EQ(-1, engine.questionLine(501));
}

TEST_F(QuizFixture, LoadTitle_SaysOncePerLoadWhenQuestionsAreLeftOut) {
    const struct {
        int records;
        int messages;
    } cases[] = {{499, 0}, {500, 0}, {501, 1}, {2000, 1}};
    for (const auto& c : cases) {
        for (int i = 0; i < c.messages; ++i)
            prompter.expectMessage(kOnlyFiveHundred, "確認", Buttons::Ok, Icon::Information);
        loadTitle(header("Big") + records(c.records));
        EXPECT_TRUE(prompter.done()) << c.records;
        EXPECT_EQ(std::min(c.records, 500), engine.questionCount()) << c.records;
    }
}

TEST_F(QuizFixture, LoadTitle_SkipsCodesThatAreNotHexadecimal) {
    prompter.expectMessage("第１項目が16進数でない問題を読み飛ばしました。\n3件（最初は6行目）", "確認",
                           Buttons::Ok, Icon::Warning);
    loadTitle("// comment\tline\r\n" + header("T") + "1A\tQa\tAa\tRa\t0\r\n1G\tQg\tAg\tRg\t0\r\n" +
              "\tQe\tAe\tRe\t0\r\n123456789\tQ9\tA9\tR9\t0\r\n2b\tQb\tAb\tRb\t0\r\n");
    ASSERT_EQ(2, engine.questionCount());
    EXPECT_EQ("1A\tQa\tAa\tRa\t0", engine.lines()[static_cast<size_t>(engine.questionLine(1))]);
    EXPECT_EQ("2b\tQb\tAb\tRb\t0", engine.lines()[static_cast<size_t>(engine.questionLine(2))]);
}

TEST_F(QuizFixture, LoadTitle_MapsQuestionsToTheirOwnLines) {
    // A category line after the records does not shift the questions onto other lines.
    loadTitle(header("T") + records(2) + "dBunrui\tLate\r\n" + records(1, "12", 3));
    ASSERT_EQ(3, engine.questionCount());
    EXPECT_EQ("12\tQ3\tA3\tR3\t0", engine.lines()[static_cast<size_t>(engine.questionLine(3))]);
    EXPECT_EQ((std::vector<std::string>{"A", "Late"}), view.categoryA);
}

TEST_F(QuizFixture, StartRun_ShowsTheFirstQuestionOfAPass) {
    loadTitle(header("T") + records(12));
    engine.StartRun({});
    EXPECT_EQ("(1/12)", progress());
    EXPECT_EQ("Q1", question());
    EXPECT_TRUE(view.answer);
    EXPECT_FALSE(view.correct);
    EXPECT_FALSE(view.incorrect);
    EXPECT_FALSE(view.runControls);
    engine.ShowAnswer();
    EXPECT_EQ("A1", view.text(QuizArea::Answer));
    EXPECT_EQ("R1", view.text(QuizArea::Reference));
    EXPECT_FALSE(view.answer);
    EXPECT_TRUE(view.correct);
    EXPECT_TRUE(view.incorrect);
    engine.MarkCorrect();
    EXPECT_EQ("(2/12)", progress());
    EXPECT_EQ("Q2", question());
    EXPECT_EQ("", view.text(QuizArea::Answer));
    EXPECT_EQ("", view.text(QuizArea::Reference));
}

TEST_F(QuizFixture, StartRun_ReverseSwapsQuestionAndAnswer) {
    loadTitle(header("T") + records(1));
    QuizOptions options;
    options.reverse = true;
    engine.StartRun(options);
    EXPECT_EQ("A1", question());
    engine.ShowAnswer();
    EXPECT_EQ("Q1", view.text(QuizArea::Answer));
    EXPECT_EQ("R1", view.text(QuizArea::Reference));
}

TEST_F(QuizFixture, EndOfPass_RetriesWrongAnswersInTheOrderAnswered) {
    loadTitle(header("T") + records(6));
    engine.StartRun({});
    for (int q = 1; q <= 6; ++q) {
        if (q == 6)
            prompter.expectMessage(std::string("2") + kRetryTail, "", Buttons::YesNo, Icon::None,
                                   Answer::Yes);
        answer(q != 2 && q != 5);
    }
    EXPECT_EQ("(1/2)", progress());
    EXPECT_EQ("Q2", question());
    answer(true);
    EXPECT_EQ("(2/2)", progress());
    EXPECT_EQ("Q5", question());
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    answer(true);
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(view.runControls);
    EXPECT_FALSE(view.answer);
    EXPECT_EQ("", question());
    EXPECT_EQ("", progress());
}

TEST_F(QuizFixture, EndOfPass_RetryPassCountsItsOwnQuestions) {
    loadTitle(header("T") + records(12));
    engine.StartRun({});
    for (int q = 1; q <= 12; ++q) {
        if (q == 12)
            prompter.expectMessage(std::string("3") + kRetryTail, "", Buttons::YesNo, Icon::None,
                                   Answer::Yes);
        answer(q % 4 != 0);
    }
    EXPECT_EQ("(1/3)", progress());
    EXPECT_EQ("Q4", question());
    prompter.expectMessage("1" + std::string(kRetryTail), "", Buttons::YesNo, Icon::None, Answer::No);
    answer(true);
    answer(false); // Q8
    answer(true);  // Q12, then declined retry without splitting: the run stops
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(2, engine.mark(engine.questionLine(8))); // wrong in the pass and in its retry
}

struct ChunkCase {
    int questions;
    int chunk;
    std::vector<int> sizes;
};

TEST_F(QuizFixture, NextChunk_SplitsTheSelection) {
    const ChunkCase cases[] = {{25, 10, {10, 10, 5}}, {20, 10, {10, 10}}, {7, 5, {5, 2}}, {3, 20, {3}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.questions) + " by " + std::to_string(c.chunk));
        loadTitle(header("T") + records(c.questions));
        QuizOptions options;
        options.chunkSize = c.chunk;
        engine.StartRun(options);
        std::vector<std::string> asked;
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            const int size = c.sizes[i];
            EXPECT_EQ("(1/" + std::to_string(size) + ")", progress());
            EXPECT_EQ(i + 1 == c.sizes.size(), engine.lastChunk());
            if (i + 1 < c.sizes.size())
                prompter.expectMessage(kContinue, "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
            else
                prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
            auto part = answerRight(size);
            asked.insert(asked.end(), part.begin(), part.end());
        }
        EXPECT_EQ(names(1, c.questions), asked);
        EXPECT_FALSE(engine.running());
    }
}

TEST_F(QuizFixture, NextChunk_DecliningToContinueStops) {
    loadTitle(header("T") + records(12));
    QuizOptions options;
    options.chunkSize = 5;
    engine.StartRun(options);
    prompter.expectMessage(kContinue, "全問正解", Buttons::YesNo, Icon::None, Answer::No);
    answerRight(5);
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(view.runControls);
}

TEST_F(QuizFixture, NextChunk_RetryDeclinedMovesToTheNextChunk) {
    loadTitle(header("T") + records(12));
    QuizOptions options;
    options.chunkSize = 5;
    engine.StartRun(options);
    prompter.expectMessage("1" + std::string(kRetryTail), "", Buttons::YesNo, Icon::None, Answer::No);
    answer(false);
    answerRight(4);
    EXPECT_EQ("(1/5)", progress());
    EXPECT_EQ("Q6", question());
}

TEST_F(QuizFixture, NextChunk_NeverRunsPastTheLastChunk) {
    // After the last chunk No to "終了しますか？" starts again from a fresh selection; declining
    // the retry of the last chunk ends the run.
    loadTitle(header("T") + records(25));
    QuizOptions options;
    options.chunkSize = 10;
    engine.StartRun(options);
    prompter.expectMessage(kContinue, "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    answerRight(10);
    prompter.expectMessage(kContinue, "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    answerRight(10);
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::No);
    answerRight(5);
    EXPECT_EQ("(1/10)", progress());
    EXPECT_EQ("Q1", question());
    prompter.expectMessage(kContinue, "全問正解", Buttons::YesNo, Icon::None, Answer::Yes)
        .expectMessage(kContinue, "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    answerRight(20);
    prompter.expectMessage("1" + std::string(kRetryTail), "", Buttons::YesNo, Icon::None, Answer::No);
    answer(false);
    answerRight(4);
    EXPECT_FALSE(engine.running());
    EXPECT_EQ("", question());
}

// Each way a run can end with No must leave the idle window, never loop or restart silently.
TEST_F(QuizFixture, EndOfRun_NoEndsTheRunInsteadOfLoopingOrRestarting) {
    const std::string retryOne = "1" + std::string(kRetryTail);
    const struct {
        const char* what;
        int records;
        int chunkSize;
        bool wrongOnly;
        std::vector<bool> answers; // the run's answers in order, right = true
        std::vector<std::pair<std::string, std::string>> questions; // text, caption; all answered No
    } cases[] = {
        {"retry of the last chunk declined",
         7,
         5,
         false,
         {true, true, true, true, false, true, false},
         {{retryOne, ""}, {retryOne, ""}}},
        {"retry of the only chunk declined", 2, 10, false, {false, true}, {{retryOne, ""}}},
        {"wrong-only run with every mark cleared",
         2,
         0,
         true,
         {true, true},
         {{"終了しますか？", "全問正解"}}},
        {"wrong-only chunked run with every mark cleared",
         2,
         5,
         true,
         {true, true},
         {{"終了しますか？", "全問正解"}}},
    };
    for (const auto& c : cases) {
        QuizEngine fresh{view, prompter, generator};
        ASSERT_EQ(0, fresh.LoadQuizFile(folder.write("run.txt", header("T") + records(c.records))));
        fresh.LoadTitle(1);
        if (c.wrongOnly) { // mark both questions wrong once, then drill only those
            prompter.expectMessage("2" + std::string(kRetryTail), "", Buttons::YesNo, Icon::None, Answer::No);
            fresh.StartRun({});
            for (int i = 0; i < 2; ++i) {
                fresh.ShowAnswer();
                fresh.MarkIncorrect();
            }
        }
        QuizOptions options;
        options.chunkSize = c.chunkSize;
        options.wrongOnly = c.wrongOnly;
        fresh.StartRun(options);
        for (const auto& [text, caption] : c.questions)
            prompter.expectMessage(text, caption, Buttons::YesNo, Icon::None, Answer::No);
        for (bool right : c.answers) {
            fresh.ShowAnswer();
            right ? fresh.MarkCorrect() : fresh.MarkIncorrect();
        }
        EXPECT_TRUE(prompter.done()) << c.what;
        EXPECT_FALSE(fresh.running()) << c.what;
        EXPECT_TRUE(view.runControls) << c.what;
        EXPECT_FALSE(view.answer) << c.what;
        EXPECT_EQ("", view.text(QuizArea::Progress)) << c.what;
    }
}

TEST_F(QuizFixture, EndOfPass_NotEndingStartsAFreshSelection) {
    loadTitle(header("T") + records(2));
    engine.StartRun({});
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::No);
    EXPECT_EQ(names(1, 2), answerRight(2));
    EXPECT_EQ("(1/2)", progress());
    EXPECT_EQ("Q1", question());
}

TEST_F(QuizFixture, StartRun_WrongOnlyInAFreshEngineFindsNothing) {
    loadTitle(header("T") + records(5));
    QuizOptions options;
    options.wrongOnly = true;
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    engine.StartRun(options);
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(view.runControls);
    EXPECT_FALSE(view.answer);
}

TEST_F(QuizFixture, MarkCorrect_ClearsTheWrongMark) {
    loadTitle(header("T") + records(3));
    const int line = engine.questionLine(2);
    for (int round = 0; round < 2; ++round) {
        engine.StartRun({});
        answer(true);
        prompter.expectMessage("1" + std::string(kRetryTail), "", Buttons::YesNo, Icon::None, Answer::No);
        answer(false);
        answer(true);
    }
    EXPECT_EQ(2, engine.mark(line));
    QuizOptions wrongOnly;
    wrongOnly.wrongOnly = true;
    engine.StartRun(wrongOnly);
    EXPECT_EQ("(1/1)", progress());
    EXPECT_EQ("Q2", question());
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    answer(true);
    EXPECT_EQ(0, engine.mark(line));
    prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
    engine.StartRun(wrongOnly);
}

TEST_F(QuizFixture, BuildSelection_FiltersByCategory) {
    const std::string codes[] = {"11", "12", "21", "22", "2A", "31", "32"};
    std::string text = header("T");
    for (const auto& code : codes)
        text += code + "\tQ" + code + "\tA\tR\t0\r\n";
    loadTitle(text);
    struct Case {
        int a, b;
        std::vector<std::string> asked;
    };
    const Case cases[] = {{2, 0, {"Q21", "Q22", "Q2A"}},
                          {0, 2, {"Q12", "Q22", "Q32"}},
                          {3, 2, {"Q32"}},
                          {0, 10, {"Q2A"}},
                          {31, 0, {}},
                          {0, 16, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE("a=" + std::to_string(c.a) + " b=" + std::to_string(c.b));
        QuizOptions options;
        options.categoryA = c.a;
        options.categoryB = c.b;
        if (c.asked.empty()) {
            prompter.expectMessage("問題がありません", "", Buttons::Ok, Icon::None);
            engine.StartRun(options);
            continue;
        }
        engine.StartRun(options);
        prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
        EXPECT_EQ(c.asked, answerRight(static_cast<int>(c.asked.size())));
    }
}

TEST_F(QuizFixture, BuildSelection_StartsAtTheFirstCodeOfTenOrMore) {
    loadTitle(header("T") + "05\tQ05\tA\tR\t0\r\n11\tQ11\tA\tR\t0\r\n09\tQ09\tA\tR\t0\r\n");
    engine.StartRun({});
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    EXPECT_EQ((std::vector<std::string>{"Q11", "Q09"}), answerRight(2));
}

TEST_F(QuizFixture, ShuffleOrder_GivesTheSameOrderAfterEveryStart) {
    const std::string text = header("T") + records(5);
    QuizOptions options;
    options.random = true;
    std::vector<std::string> orders[2];
    for (auto& order : orders) {
        generator.reset();
        loadTitle(text);
        engine.StartRun(options);
        prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
        order = answerRight(5);
    }
    // Draws 346, 130, 10982, 1090, 11656 swap positions 1<->2, 2<->1, 3<->3, 4<->1, 5<->2.
    EXPECT_EQ((std::vector<std::string>{"Q4", "Q5", "Q3", "Q1", "Q2"}), orders[0]);
    EXPECT_EQ(orders[0], orders[1]);
}

TEST_F(QuizFixture, ShuffleOrder_DrawsFromTheProgramGenerator) {
    RecordingQuizView otherView;
    QuizEngine programEngine(otherView, prompter);
    programEngine.LoadQuizFile(folder.write("p.txt", header("T") + records(5)));
    programEngine.LoadTitle(1);
    quizGenerator().reset();
    QuizOptions options;
    options.random = true;
    programEngine.StartRun(options);
    EXPECT_EQ("Q4", otherView.text(QuizArea::Question));
    QuizGenerator fresh;
    for (int i = 0; i < 5; ++i)
        fresh.next();
    EXPECT_EQ(fresh.state(), quizGenerator().state());
    programEngine.StopRun();
    quizGenerator().reset();
}

TEST_F(QuizFixture, WrongMarks_StayUnderTheirLinePositionsAcrossFiles) {
    loadTitle(header("T") + records(3));
    engine.StartRun({});
    answer(true);
    prompter.expectMessage("1" + std::string(kRetryTail), "", Buttons::YesNo, Icon::None, Answer::No);
    answer(false);
    answer(true);
    load(header("U") + records(3, "11", 7), "other.txt");
    engine.LoadTitle(1);
    QuizOptions wrongOnly;
    wrongOnly.wrongOnly = true;
    engine.StartRun(wrongOnly);
    EXPECT_EQ("Q8", question()); // the second record of the new file lies on the marked line
}

TEST_F(QuizFixture, WrongMarks_HaveRoomForMoreThanThirtyThousandLines) {
    std::string text;
    for (int t = 1; t <= 62; ++t)
        text += header("T" + std::to_string(t)) + records(500);
    load(text);
    ASSERT_GT(engine.lines().size(), 31000u);
    engine.LoadTitle(62);
    engine.StartRun({});
    prompter.expectMessage("1" + std::string(kRetryTail), "", Buttons::YesNo, Icon::None, Answer::No);
    answer(false);
    answerRight(499);
    const int line = engine.questionLine(1);
    EXPECT_GT(line, 30000);
    EXPECT_EQ(1, engine.mark(line));
}

TEST_F(QuizFixture, LoadTitle_DuringARunStopsIt) {
    loadTitle(header("T") + records(3));
    engine.StartRun({});
    engine.ShowAnswer();
    engine.LoadTitle(1);
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(view.runControls);
    EXPECT_FALSE(view.correct);
    EXPECT_FALSE(view.incorrect);
    engine.MarkIncorrect(); // no run: nothing happens
    EXPECT_EQ(0, engine.mark(engine.questionLine(1)));
}

TEST_F(QuizFixture, StopRun_ClearsEverything) {
    loadTitle(header("T") + records(3));
    engine.StartRun({});
    engine.ShowAnswer();
    engine.StopRun();
    for (QuizArea area : {QuizArea::Progress, QuizArea::Question, QuizArea::Answer, QuizArea::Reference})
        EXPECT_EQ("", view.text(area));
    EXPECT_FALSE(view.answer || view.correct || view.incorrect);
    EXPECT_TRUE(view.runControls);
    EXPECT_FALSE(engine.running());
}

// Presses buttons and answers questions at random and checks that the run never shows a
// position outside its pass.
class RandomPrompter : public Prompter {
public:
    explicit RandomPrompter(unsigned seed) : m_seed(seed) {}
    Answer ask(const std::string&, const std::string&, Buttons buttons, Icon) override {
        if (buttons == Buttons::Ok) return Answer::Ok;
        m_seed = m_seed * 1103515245u + 12345u;
        return (m_seed >> 16) % 2 ? Answer::Yes : Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return {}; }
    std::optional<int> chooseImportFormat() override { return {}; }
    std::optional<bool> chooseShowChoices() override { return {}; }

private:
    unsigned m_seed;
};

TEST(QuizEngine_Fuzz, RunsStayInsideTheirSelection) {
    TempFolder folder;
    const std::string path = folder.write("f.txt", header("T") + records(23) + records(4, "21", 24));
    for (unsigned seed = 1; seed <= 40; ++seed) {
        RecordingQuizView view;
        RandomPrompter prompter(seed);
        QuizGenerator generator;
        QuizEngine engine(view, prompter, generator);
        ASSERT_EQ(0, engine.LoadQuizFile(path));
        engine.LoadTitle(1);
        unsigned r = seed;
        for (int step = 0; step < 400; ++step) {
            r = r * 1103515245u + 12345u;
            const unsigned pick = (r >> 16) % 10;
            if (!engine.running()) {
                QuizOptions options;
                options.chunkSize = static_cast<int>(pick % 5) * 5;
                options.random = pick % 2;
                options.wrongOnly = pick % 3 == 0;
                options.categoryA = pick % 4 == 0 ? 2 : 0;
                engine.StartRun(options);
            } else if (pick == 0) {
                engine.StopRun();
            } else if (view.answer) {
                engine.ShowAnswer();
            } else if (pick < 6) {
                engine.MarkCorrect();
            } else {
                engine.MarkIncorrect();
            }
            const std::string p = view.text(QuizArea::Progress);
            if (p.empty()) continue;
            int at = 0, of = 0;
            ASSERT_EQ(2, std::sscanf(p.c_str(), "(%d/%d)", &at, &of)) << p;
            ASSERT_GE(at, 1);
            ASSERT_LE(at, of);
            ASSERT_LE(of, 27);
            ASSERT_EQ('Q', view.text(QuizArea::Question).at(0)) << "seed " << seed << " step " << step;
        }
    }
}

} // namespace
} // namespace rovik
