#include "import/FiveChoice.h"

#include "data/DataContext.h"
#include "data/QuestionSet.h"
#include "platform/Cp932.h"
#include "quiz/QuizGenerator.h"
#include "settings/ProgramValues.h"

#include "data/RecordingDataListView.h"
#include "import/FiveChoiceBytes.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rovik {
namespace {

using Lines = std::vector<std::string>;
using test::fiveTq;
using test::questionBlock;

std::string field(const std::string& text, std::size_t size, char filler) {
    return test::fixedField(text, size, filler);
}

std::string record(const std::string& code, int n) {
    const std::string k = std::to_string(n);
    return code + "\tQ" + k + "\tC1-" + k + "\t\t0";
}

TEST(FiveChoice_Lines, CodesFollowTheCategoryCounts) {
    QuizGenerator generator;
    Lines lines = fiveChoiceLines(fiveTq({3, 0, 2, 0, 0, 0, 0, 0}), "quiz", false, generator);
    Lines expected{"tTitle\tquiz\t7\t2"};
    for (int k = 1; k <= 8; ++k)
        expected.push_back("dBunrui\tCat" + std::to_string(k));
    for (int n = 1; n <= 3; ++n)
        expected.push_back(record("10", n));
    for (int n = 4; n <= 5; ++n)
        expected.push_back(record("30", n));
    EXPECT_EQ(expected, lines);
}

TEST(FiveChoice_Lines, CountBytesAreLowByteFirst) {
    QuizGenerator generator;
    std::string bytes = fiveTq({0, 0, 0, 0, 0, 0, 0, 144});
    EXPECT_EQ('\x90', bytes[7 * 256 + 18]);
    EXPECT_EQ('\x00', bytes[7 * 256 + 19]);
    Lines lines = fiveChoiceLines(bytes, "n", false, generator);
    ASSERT_EQ(1u + 8u + 144u, lines.size());
    EXPECT_EQ(record("80", 144), lines.back());
}

TEST(FiveChoice_Lines, ShowsTheChoicesShuffledAndAnswersWithChoiceOne) {
    QuizGenerator generator;
    Lines lines = fiveChoiceLines(fiveTq({1, 0, 0, 0, 0, 0, 0, 0}), "q", true, generator);
    // Draws 346, 130, 10982, 1090, 11656 give the order 4, 5, 3, 1, 2.
    const std::string m = toCp932("　●");
    EXPECT_EQ("10\tQ1" + m + "C4-1" + m + "C5-1" + m + "C3-1" + m + "C1-1" + m + "C2-1" + "\tC1-1\t\t0",
              lines.back());
}

TEST(FiveChoice_Lines, DrawsFiveValuesPerQuestionEitherWay) {
    for (bool show : {true, false}) {
        QuizGenerator generator, expected;
        fiveChoiceLines(fiveTq({2, 1, 0, 0, 0, 0, 0, 0}), "q", show, generator);
        for (int i = 0; i < 15; ++i)
            expected.next();
        EXPECT_EQ(expected.state(), generator.state()) << show;
    }
}

TEST(FiveChoice_Lines, FullFieldsMakeA311ByteRecord) {
    QuizGenerator generator;
    test::FiveChoiceQuestion q{std::string(116, 'q'), Lines(5, std::string(28, 'c'))};
    std::string bytes = fiveTq({0, 0, 0, 0, 0, 0, 0, 0});
    bytes[18] = 1;
    bytes += questionBlock(q);
    EXPECT_EQ(311u, fiveChoiceLines(bytes, "q", true, generator).back().size());
}

struct TrimCase {
    const char* what;
    std::string stored; // field content after inversion (for texts) or as stored (names)
    std::string text;
};

TEST(FiveChoice_Lines, TrimsNamesAtTheirEnd) {
    const TrimCase cases[] = {
        {"padded name", field("ABC", 16, ' '), "ABC"},
        {"sixteen spaces", std::string(16, ' '), " "},
        {"sixteen zero bytes", std::string(16, '\0'), ""},
        {"inner space kept", field("A B", 16, ' '), "A B"},
        {"zero before the end", std::string("AB\0CD", 5) + std::string(11, ' '), "AB"},
        {"full name", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
    };
    for (const auto& c : cases) {
        QuizGenerator generator;
        std::string bytes = fiveTq({0, 0, 0, 0, 0, 0, 0, 0});
        bytes.replace(0, 16, c.stored);
        EXPECT_EQ("dBunrui\t" + c.text, fiveChoiceLines(bytes, "t", false, generator)[1]) << c.what;
    }
}

TEST(FiveChoice_Lines, TrimsTextsAtTheirEnd) {
    const TrimCase cases[] = {
        {"only filler keeps one byte", std::string(28, '\xA0'), "\xA0"},
        {"zero ends the text", std::string("ab\0cd", 5) + std::string(23, '\xA0'), "ab"},
        {"a full-width character survives", "x" + toCp932("漢") + std::string(25, '\xA0'),
         "x" + toCp932("漢")},
        {"control bytes become spaces", "a\tb\nc\rd" + std::string(21, '\xA0'), "a b c d"},
    };
    for (const auto& c : cases) {
        QuizGenerator generator;
        test::FiveChoiceQuestion q = test::numberedQuestion(1);
        q.choices[0] = c.stored;
        std::string bytes = fiveTq({0, 0, 0, 0, 0, 0, 0, 0});
        bytes[18] = 1;
        bytes += questionBlock(q);
        EXPECT_EQ("10\tQ1\t" + c.text + "\t\t0", fiveChoiceLines(bytes, "t", false, generator).back())
            << c.what;
    }
}

TEST(FiveChoice_Read, EveryTruncatedPrefixIsRefused) {
    test::TempFolder folder;
    const std::string whole = fiveTq({2, 0, 0, 0, 0, 0, 0, 1});
    for (std::size_t size : {0, 1, 2047, 2048, 2049, 2303, 2304, 2559, 2560, 2815}) {
        FiveChoiceFile file = readFiveChoiceFile(folder.write("cut.5tq", whole.substr(0, size)));
        EXPECT_EQ(size < 2048 ? FiveChoiceStatus::ShortHeader : FiveChoiceStatus::ShortQuestions, file.status)
            << size;
        EXPECT_TRUE(file.bytes.empty());
    }
    FiveChoiceFile file = readFiveChoiceFile(folder.write("whole.5tq", whole + "trailing bytes"));
    EXPECT_EQ(FiveChoiceStatus::Ok, file.status);
    EXPECT_EQ(whole, file.bytes);
    EXPECT_EQ(3u, file.announced);
}

TEST(FiveChoice_Read, MessagesSayWhatIsWrong) {
    test::TempFolder folder;
    FiveChoiceFile file = readFiveChoiceFile(
        folder.write("absurd.5tq", fiveTq({0xFFFF, 0xFFFF, 0, 0, 0, 0, 0, 0}).substr(0, 2048 + 3 * 256)));
    EXPECT_EQ(FiveChoiceStatus::ShortQuestions, file.status);
    EXPECT_EQ(131070u, file.announced);
    EXPECT_EQ(3u, file.present);
    EXPECT_EQ("ごたくファイルが途中で終わっています。\n問題数131070問のうち3問分しかありません。",
              fiveChoiceMessage(file));
    file = readFiveChoiceFile(folder.file("missing.5tq"));
    EXPECT_EQ(FiveChoiceStatus::CannotOpen, file.status);
    EXPECT_EQ("ファイルが開けません", fiveChoiceMessage(file));
    file = readFiveChoiceFile(folder.path());
    EXPECT_EQ(FiveChoiceStatus::CannotOpen, file.status);
    file = readFiveChoiceFile(folder.write("tiny.5tq", "tiny"));
    EXPECT_EQ("ごたくファイルではありません。\nファイルが分類の見出し（2048バイト）より短いです。",
              fiveChoiceMessage(file));
}

class FiveChoiceTest : public ::testing::Test {
protected:
    FiveChoiceTest() {
        values.startFolder = start.path();
        values.dataFolder = "/data";
        values.settings = {"", ""};
        quizGenerator().reset();
    }
    ~FiveChoiceTest() override { quizGenerator().reset(); }

    test::TempFolder start, data;
    QuestionSet set;
    test::ScriptedPrompter prompter;
    test::RecordingDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
};

TEST_F(FiveChoiceTest, ConvertFiveChoice_MakesTheTextWithoutWritingIt) {
    start.write("quiz.txt", "old contents");
    const std::string path = data.write("quiz.5tq", fiveTq({1, 0, 0, 0, 0, 0, 0, 0}));
    prompter.expectChoice(false);
    std::string expected = "tTitle\tquiz\t7\t2\r\n";
    for (int k = 1; k <= 8; ++k)
        expected += "dBunrui\tCat" + std::to_string(k) + "\r\n";
    expected += record("10", 1) + "\r\n";
    EXPECT_EQ(expected, ConvertFiveChoice(ctx, path, quizGenerator()));
    EXPECT_EQ("old contents", test::TempFolder::read(start.file("quiz.txt")));
    EXPECT_EQ(start.file("quiz.txt"), fiveChoiceTextPath(values, path));
    QuizGenerator fresh;
    for (int i = 0; i < 5; ++i)
        fresh.next();
    EXPECT_EQ(fresh.state(), quizGenerator().state());
}

TEST_F(FiveChoiceTest, ConvertFiveChoice_CancelledChoiceReadsNothing) {
    prompter.expectChoice(std::nullopt);
    EXPECT_EQ(std::nullopt, ConvertFiveChoice(ctx, data.write("quiz.5tq", fiveTq({1, 0, 0, 0, 0, 0, 0, 0})),
                                              quizGenerator()));
    EXPECT_FALSE(test::TempFolder::read(start.file("quiz.txt")).size());
    EXPECT_EQ(1u, quizGenerator().state());
}

TEST_F(FiveChoiceTest, ConvertFiveChoice_BrokenFileWritesNothing) {
    struct Case {
        std::string name;
        std::string bytes;
        std::string message;
        std::string caption;
    } cases[] = {
        {"short.5tq", fiveTq({4, 0, 0, 0, 0, 0, 0, 0}).substr(0, 2048 + 256 * 2),
         "ごたくファイルが途中で終わっています。\n問題数4問のうち2問分しかありません。", "ﾌｧｲﾙ ｴﾗｰ"},
        {"head.5tq", std::string(100, 'x'),
         "ごたくファイルではありません。\nファイルが分類の見出し（2048バイト）より短いです。", "ﾌｧｲﾙ ｴﾗｰ"},
    };
    for (const auto& c : cases) {
        prompter.expectChoice(true).expectMessage(c.message, c.caption, Buttons::Ok, Icon::Error);
        EXPECT_EQ(std::nullopt, ConvertFiveChoice(ctx, data.write(c.name, c.bytes), quizGenerator()));
    }
    prompter.expectChoice(true).expectMessage("ファイルが開けません", "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(std::nullopt, ConvertFiveChoice(ctx, data.file("missing.5tq"), quizGenerator()));
    EXPECT_EQ(1u, quizGenerator().state());
    EXPECT_FALSE(test::TempFolder::read(start.file("short.txt")).size());
    EXPECT_FALSE(test::TempFolder::read(start.file("head.txt")).size());
}

TEST_F(FiveChoiceTest, ImportFiveChoiceFile_OpensTheProducedText) {
    const std::string path = data.write("quiz.5tq", fiveTq({3, 0, 2, 0, 0, 0, 0, 0}));
    prompter.expectOpen(path, "ごたくfiles (*.5TQ)|*.5tq").expectChoice(true);
    ImportFiveChoiceFile(ctx);
    ASSERT_EQ(1u, prompter.dialogRequests.size());
    EXPECT_EQ("/data", prompter.dialogRequests[0].folder);
    EXPECT_EQ("", prompter.dialogRequests[0].fileName);
    ASSERT_EQ(14u, set.lines.size());
    EXPECT_EQ("tTitle\tquiz\t7\t2", set.lines[0]);
    EXPECT_EQ("30", set.lines[13].substr(0, 2));
    EXPECT_EQ(1, set.titleCount());
    EXPECT_EQ(data.path(), values.dataFolder);
}

TEST_F(FiveChoiceTest, ImportFiveChoiceFile_RecordOf311BytesIsRefusedOnLoading) {
    std::string bytes = fiveTq({0, 0, 0, 0, 0, 0, 0, 0});
    bytes[18] = 1;
    bytes += questionBlock({std::string(116, 'q'), Lines(5, std::string(28, 'c'))});
    const std::string path = data.write("long.5tq", bytes);
    prompter.expectOpen(path).expectChoice(true);
    ImportFiveChoiceFile(ctx);
    EXPECT_TRUE(set.lines.empty());
    const std::string log = test::TempFolder::read(start.file("ErrorLog.txt"));
    EXPECT_NE(std::string::npos, log.find(toCp932("レコードが長すぎます。最大306文字です。")));
    EXPECT_NE(std::string::npos, log.find(toCp932("10行目")));
    EXPECT_EQ(data.path(), values.dataFolder);
}

TEST_F(FiveChoiceTest, ImportFiveChoiceFile_EmptyCategoryNameIsRefusedOnLoading) {
    std::string bytes = fiveTq({1, 0, 0, 0, 0, 0, 0, 0});
    bytes.replace(256, 16, std::string(16, '\0'));
    const std::string path = data.write("noname.5tq", bytes);
    prompter.expectOpen(path).expectChoice(false);
    ImportFiveChoiceFile(ctx);
    EXPECT_TRUE(set.lines.empty());
    EXPECT_EQ(toCp932("3行目") + "\r\ndBunrui\t\r\n" + toCp932("第２項目がありません。") + "\r\n" +
                  std::string(31, '-') + "\r\n",
              test::TempFolder::read(start.file("ErrorLog.txt")));
}

// The text file is written only once the user has confirmed the import, and an existing file of
// its name is replaced only when the user agrees.
TEST_F(FiveChoiceTest, ImportFiveChoiceFile_WritesOnlyWhatTheUserConfirmed) {
    const char* append = "追加読込しますか？\nはい  "
                         "：編集中のデータに追加読み込み\nいいえ：編集中のデータを削除して新規読み込み";
    const struct {
        bool existing;
        Answer appendAnswer;
        Answer replaceAnswer; // Ok: not asked
        bool written;
        size_t lines;
    } cases[] = {
        {false, Answer::Cancel, Answer::Ok, false, 1}, {true, Answer::Cancel, Answer::Ok, false, 1},
        {true, Answer::Yes, Answer::No, false, 1},     {true, Answer::Yes, Answer::Yes, true, 11},
        {false, Answer::Yes, Answer::Ok, true, 11},
    };
    for (const auto& c : cases) {
        set = QuestionSet{};
        set.lines = {"tTitle\tOld\t3\t3"};
        std::filesystem::remove(start.file("quiz.txt"));
        if (c.existing) start.write("quiz.txt", "mine");
        const std::string path = data.write("quiz.5tq", fiveTq({1, 0, 0, 0, 0, 0, 0, 0}));
        prompter.expectOpen(path).expectChoice(false).expectMessage(append, "Open", Buttons::YesNoCancel,
                                                                    Icon::None, c.appendAnswer);
        if (c.replaceAnswer != Answer::Ok)
            prompter.expectMessage(start.file("quiz.txt") + "はすでに存在します。上書きしますか？", "確認",
                                   Buttons::YesNo, Icon::Question, c.replaceAnswer);
        ImportFiveChoiceFile(ctx);
        EXPECT_TRUE(prompter.done());
        const std::string text = test::TempFolder::read(start.file("quiz.txt"));
        EXPECT_EQ(c.written, text.rfind("tTitle", 0) == 0) << text;
        if (!c.written) {
            EXPECT_EQ(c.existing ? "mine" : "", text);
        }
        EXPECT_EQ(c.lines, set.lines.size());
        EXPECT_EQ("tTitle\tOld\t3\t3", set.lines[0]);
    }
}

TEST_F(FiveChoiceTest, ImportFiveChoiceFile_RefusesOtherExtensions) {
    for (const char* name : {"quiz.5Tq", "quiz.txt", "quiz"}) {
        prompter.expectOpen(data.write(name, fiveTq({1, 0, 0, 0, 0, 0, 0, 0})))
            .expectMessage("ファイルは .5tq を選択してください。", "ﾌｧｲﾙ ｴﾗｰ", Buttons::Ok, Icon::Error);
        ImportFiveChoiceFile(ctx);
    }
    prompter.expectOpen(data.write("QUIZ.5TQ", fiveTq({1, 0, 0, 0, 0, 0, 0, 0}))).expectChoice(std::nullopt);
    ImportFiveChoiceFile(ctx);
    prompter.expectOpen(std::nullopt);
    ImportFiveChoiceFile(ctx);
    EXPECT_TRUE(set.lines.empty());
    EXPECT_EQ("/data", values.dataFolder);
}

} // namespace
} // namespace rovik
