#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "platform/Cp932.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

const std::string kSep(31, '-');
const std::string kUntitled = "\x96\xB3\x91\xE8"; // 無題

std::vector<std::string> validTitle() {
    return {"tTitle\t" + kUntitled + "\t3\t3", "dBunrui\t" + kUntitled, "sBunrui\t" + kUntitled,
            "11\tq\ta\tr\t0"};
}

// The log as UTF-8 lines, so expectations read like the messages they are.
std::vector<std::string> logOf(const std::vector<std::string>& lines, int mode = 1, int format = 0) {
    std::vector<std::string> utf8;
    for (const auto& line : validationLog(lines, mode, format))
        utf8.push_back(cp932ToUtf8(line));
    return utf8;
}

std::vector<std::string> entry(int number, const std::string& line, const std::string& message) {
    return {std::to_string(number) + "行目", line, message, kSep};
}

std::vector<std::string> concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::string> withRecord(const std::string& record) {
    auto lines = validTitle();
    lines.push_back(record);
    return lines;
}

TEST(Validation_QaText, AValidTitleGivesNoLog) {
    EXPECT_TRUE(logOf(validTitle()).empty());
}

TEST(Validation_QaText, AMissingTitleAloneGivesTwoLines) {
    EXPECT_EQ((std::vector<std::string>{"tTitleがありません。", kSep}), logOf({"11\tq\ta\tr\t0", "// note"}));
}

struct RecordCase {
    std::string record;
    std::vector<std::string> messages; // for line 5, in order
};

TEST(Validation_QaText, RecordChecksRunIndependentlyInOrder) {
    const std::string r306 = "11\tq\ta\t" + std::string(306 - 9, 'x') + "\t0";
    const std::string r307 = "11\tq\ta\t" + std::string(307 - 9, 'x') + "\t0";
    ASSERT_EQ(306u, r306.size());
    const RecordCase cases[] = {
        {"11\tq\ta\tr\t0", {}},
        {"A0\tq\ta\tr\t0", {}},
        {"1z\tq\ta\tr\t0", {}}, // the second character is not checked
        {"1\tq\ta", {"第５項目に0がありません。", "第１項目は2文字です。"}},
        {"", {"第５項目に0がありません。", "第１項目は2文字です。"}},
        {"01\tq\ta\tr\t0", {"第１項目は1～9,A～Fです。"}},
        {"a1\tq\ta\tr\t0", {"第１項目は1～9,A～Fです。"}},
        {"G1\tq\ta\tr\t0", {"第１項目は1～9,A～Fです。"}},
        {"\x82\xA0\tq\ta\tr\t0", {"第１項目は1～9,A～Fです。"}}, // one double-byte character
        {"111\tq\ta\tr\t0", {"第１項目は2文字です。"}},
        {"11\tq\ta\tr\t1", {"第５項目に0がありません。"}},
        {"11\tq\ta\tr\t00", {"第５項目に0がありません。"}},
        {"11\tq\ta\tr\t", {"第５項目に0がありません。"}},
        {"11\tq\ta\tr\t0\t", {"項目が多すぎます。最大５項目です。"}},
        {"11\tq\ta\tr\tx\ty", {"項目が多すぎます。最大５項目です。", "第５項目に0がありません。"}},
        {r306, {}},
        {r307, {"レコードが長すぎます。最大306文字です。"}},
        // half-width katakana count widened, as they are written: 306 and 346 bytes
        {"11\tq\ta\t" + std::string(10, '\xB1') + std::string(296 - 19, 'x') + "\t0", {}},
        {"11\tq\ta\t" + std::string(40, '\xB1') + std::string(306 - 49, 'x') + "\t0",
         {"レコードが長すぎます。最大306文字です。（半角カナは全角にして数えます）"}},
        {"x\tq\ta\tr\t1\t" + std::string(310, 'y'),
         {"項目が多すぎます。最大５項目です。", "第５項目に0がありません。", "第１項目は2文字です。",
          "レコードが長すぎます。最大306文字です。"}},
        {" tTitle\tname", {"第５項目に0がありません。", "第１項目は2文字です。"}}, // a space makes a record
    };
    for (const auto& c : cases) {
        std::vector<std::string> expected;
        for (const auto& message : c.messages) {
            auto e = entry(5, cp932ToUtf8(c.record), message);
            expected.insert(expected.end(), e.begin(), e.end());
        }
        EXPECT_EQ(expected, logOf(withRecord(c.record))) << "record: " << c.record;
    }
}

TEST(Validation_QaText, HeaderLinesNeedANonEmptySecondItem) {
    const std::pair<std::string, bool> cases[] = {
        {"tTitle", false},           {"tTitle\t", false},        {"tTitle\t\t3\t3", false},
        {"tTitleXY\tname", true},    {"dBunrui", false},         {"dBunrui\t", false},
        {"dBunruiX\tname\tz", true}, {"sBunrui\t\tname", false}, {"sBunrui\tname", true},
    };
    for (const auto& [line, ok] : cases) {
        auto lines = validTitle();
        lines.insert(lines.begin() + 1, line);
        auto expected = ok ? std::vector<std::string>{} : entry(2, line, "第２項目がありません。");
        EXPECT_EQ(expected, logOf(lines)) << line;
    }
}

TEST(Validation_QaText, CommentLinesAreNotChecked) {
    auto lines = validTitle();
    lines.push_back("//" + std::string(400, 'c'));
    lines.push_back("//\t1\t2\t3\t4\t5\t6\t7\t8\t9");
    lines.push_back("//");
    EXPECT_TRUE(logOf(lines).empty());
}

TEST(Validation_QaText, SixteenTitlesGiveOneFileEntryAtTheEnd) {
    std::vector<std::string> lines;
    for (int i = 0; i < 15; ++i) {
        auto block = validTitle();
        lines.insert(lines.end(), block.begin(), block.end());
    }
    EXPECT_TRUE(logOf(lines).empty());
    lines.push_back("tTitle\tlast");
    lines.push_back("bad");
    auto expected = concat({entry(62, "bad", "第５項目に0がありません。"),
                            entry(62, "bad", "第１項目は2文字です。"),
                            {"tTitleが多すぎます。最大15件です。", kSep}});
    EXPECT_EQ(expected, logOf(lines));
}

TEST(Validation_QaText, EveryProblemOfEveryLineIsReportedInLineOrder) {
    std::vector<std::string> lines = {"// first", "", "dBunrui", "x\ty"};
    auto expected = concat({entry(2, "", "第５項目に0がありません。"),
                            entry(2, "", "第１項目は2文字です。"),
                            entry(3, "dBunrui", "第２項目がありません。"),
                            entry(4, "x\ty", "第５項目に0がありません。"),
                            entry(4, "x\ty", "第１項目は2文字です。"),
                            {"tTitleがありません。", kSep}});
    EXPECT_EQ(expected, logOf(lines));
}

TEST(Validation_QaText, TheLineIsLoggedExactlyAsRead) {
    const std::string kana = "\xB6\xDE\xB1"; // half-width ｶﾞｱ
    auto log = validationLog(withRecord(kana), 1, 0);
    ASSERT_EQ(8u, log.size()); // two entries
    EXPECT_EQ(kana, log[1]);
    EXPECT_EQ(kana, log[5]);
}

TEST(Validation_Import, ChecksEveryLineForFormatZero) {
    std::vector<std::string> lines = {"q\ta", "q\ta\tr", "q\ta\tr\tx", "q", "q\t", "// c\t", "// c\tx",
                                      "q\ta\t" + std::string(303, 'r'),
                                      // records "11", q, a, r, "0" of 306, 307 and (widened) 309 bytes
                                      "q\ta\t" + std::string(297, 'r'), "q\ta\t" + std::string(298, 'r'),
                                      "q\ta\t" + std::string(10, '\xB1') + std::string(280, 'r')};
    auto expected = concat(
        {entry(3, lines[2], "項目数が多すぎます。最大３項目です。"), entry(4, "q", "第２項目がありません。"),
         entry(5, "q\t", "第２項目がありません。"), entry(6, "// c\t", "第２項目がありません。"),
         entry(8, lines[7], "レコードが長すぎます。最大306文字です。"),
         entry(10, lines[9], "レコードが長すぎます。最大306文字です。"),
         entry(11, cp932ToUtf8(lines[10]),
               "レコードが長すぎます。最大306文字です。（半角カナは全角にして数えます）")});
    EXPECT_EQ(expected, logOf(lines, 2, 0));
}

TEST(Validation_LineProblems, OneLineAsLoadingSeesIt) {
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"11\tq\ta\tr\t0", {}},
        {"// anything\t\t\t\t\t", {}},
        {"tTitle\t", {"第２項目がありません。"}},
        {"dBunrui\t", {"第２項目がありません。"}},
        {"1\tq", {"第５項目に0がありません。", "第１項目は2文字です。"}},
        {"11\tq\ta\t" + std::string(150, '\xB1') + "\t0",
         {"レコードが長すぎます。最大306文字です。（半角カナは全角にして数えます）"}},
    };
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(expected, lineProblems(line)) << line;
}

TEST(Validation_ShownLine, CutsAfterSixtyCharactersNeverInsideOne) {
    EXPECT_EQ("tTitle\t\xE7\x84\xA1\xE9\xA1\x8C", shownLine("tTitle\t" + kUntitled)); // 無題
    EXPECT_EQ(std::string(60, 'x'), shownLine(std::string(60, 'x')));
    EXPECT_EQ(std::string(60, 'x') + "…", shownLine(std::string(61, 'x')));
    std::string kana59 = std::string(59, 'x') + "\xB1\xB1"; // ｱ is three bytes in UTF-8
    EXPECT_EQ(std::string(59, 'x') + "ｱ…", shownLine(kana59));
}

TEST(Validation_Modes, OtherFormatsAndModesCheckNothing) {
    std::vector<std::string> bad = {"", "x\ty\tz\tw"};
    EXPECT_TRUE(logOf(bad, 2, 1).empty());
    EXPECT_TRUE(logOf(bad, 2, 2).empty());
    EXPECT_TRUE(logOf(bad, 0, 0).empty());
    EXPECT_TRUE(logOf(bad, 3, 0).empty());
    EXPECT_FALSE(logOf(bad, 1, 5).empty()); // mode 1 ignores the format
}

TEST(Validation_ErrorLog, BytesAreCp932WithCrLf) {
    auto log = validationLog({"1"}, 1, 0);
    std::string expected =
        "1\x8D\x73\x96\xDA\r\n"                                            // 1行目
        "1\r\n"                                                            // the line
        "\x91\xE6\x82\x54\x8D\x80\x96\xDA\x82\xC9\x30\x82\xAA\x82\xA0\x82" // 第５項目に0が
        "\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42\r\n" +                       // ありません。
        kSep +
        "\r\n" +
        "1\x8D\x73\x96\xDA\r\n1\r\n"
        "\x91\xE6\x82\x50\x8D\x80\x96\xDA\x82\xCD\x32\x95\xB6\x8E\x9A\x82\xC5\x82\xB7\x81\x42\r\n" +
        kSep + "\r\n" + "tTitle\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42\r\n" + kSep + "\r\n";
    EXPECT_EQ(expected, errorLogBytes(log));
    // The wave dash of the code message is CP932's 0x8160.
    auto codeLog = validationLog(withRecord("01\tq\ta\tr\t0"), 1, 0);
    EXPECT_EQ("\x91\xE6\x82\x50\x8D\x80\x96\xDA\x82\xCD\x31\x81\x60\x39\x2C\x41\x81\x60\x46\x82\xC5\x82\xB7"
              "\x81\x42",
              codeLog.at(2));
}

TEST(Validation_Validate, WritesTheLogOnlyWhenSomethingIsWrong) {
    test::TempFolder folder;
    const std::string logPath = folder.write("ErrorLog.txt", "old log");
    QuestionSet set;
    set.loadingBuffer = validTitle();
    EXPECT_EQ(0, Validate(set, 1, 0, logPath));
    EXPECT_EQ("old log", test::TempFolder::read(logPath));

    set.loadingBuffer = {"tTitle"};
    std::string writeError = "untouched";
    EXPECT_EQ(-9, Validate(set, 1, 0, logPath, &writeError));
    EXPECT_EQ(errorLogBytes(validationLog({"tTitle"}, 1, 0)), test::TempFolder::read(logPath));
    EXPECT_EQ("untouched", writeError);
    EXPECT_EQ((std::vector<std::string>{"tTitle"}), set.loadingBuffer);
    EXPECT_TRUE(set.lines.empty());
}

TEST(Validation_Validate, ReportsALogThatCannotBeWritten) {
    test::TempFolder folder;
    QuestionSet set;
    set.loadingBuffer = {"x"};
    std::string writeError;
    EXPECT_EQ(-9, Validate(set, 1, 0, folder.file("missing/ErrorLog.txt"), &writeError));
    EXPECT_FALSE(writeError.empty());
    EXPECT_EQ(-9, Validate(set, 1, 0, folder.file("missing/ErrorLog.txt")));
}

} // namespace
} // namespace rovik
