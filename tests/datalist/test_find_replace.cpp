#include "datalist/FindReplace.h"

#include "data/QuestionSet.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

using Spans = std::vector<std::pair<size_t, size_t>>;

FindOptions optionsFor(const char* text, bool matchCase = false, bool matchWidth = false) {
    FindOptions options;
    options.text = text;
    options.matchCase = matchCase;
    options.matchWidth = matchWidth;
    return options;
}

TEST(FindPattern, MatchesWholeShiftJisCharactersWithCaseAndWidthAsAsked) {
    struct Case {
        const char* what;
        std::string text; // CP932
        const char* pattern;
        bool matchCase;
        bool matchWidth;
        Spans expected;
    };
    const Case cases[] = {
        {"case folded", "abcABC", "abc", false, false, {{0, 3}, {3, 3}}},
        {"case kept", "abcABC", "abc", true, false, {{0, 3}}},
        {"full-width letters as narrow", "\x82\x60\x82\x61\x82\x62", "abc", false, false, {{0, 6}}},
        {"full-width lower case", "\x82\x81", "A", false, false, {{0, 2}}},
        {"width kept", "\x82\x60\x82\x61\x82\x62", "abc", false, true, {}},
        {"half-width katakana as full-width", "x\xB1\xB2", "アイ", false, false, {{1, 2}}},
        {"half-width katakana kept apart", "x\xB1\xB2", "アイ", false, true, {}},
        {"ideographic space as a space",
         "a\x81\x40"
         "b",
         "a b",
         false,
         false,
         {{0, 4}}},
        {"no match in a trail byte",
         "\x83\x41"
         "A",
         "A",
         true,
         true,
         {{2, 1}}},
        {"backslash is no trail byte of 表", "\x95\x5C\\", "\\", true, true, {{2, 1}}},
        {"double-byte pattern", "\x83\x41\x83\x41", "ア", false, false, {{0, 2}, {2, 2}}},
        {"character Shift-JIS lacks", "abc", "😀", false, false, {}},
        {"empty pattern", "abc", "", false, false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected,
                  FindPattern(optionsFor(c.pattern, c.matchCase, c.matchWidth)).matchesIn(c.text));
    }
}

TEST(FindItems, RecordTextsOrNamesAsTheFieldsSay) {
    struct Case {
        std::string line;
        bool question, answer, reference, names;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"11\tq\ta\tr\t0", true, true, true, false, {2, 3, 4}},
        {"11\tq\ta\tr\t0", false, true, false, true, {3}},
        {"tTitle\tT\t3\t3", true, true, true, false, {}},
        {"tTitle\tT\t3\t3", true, true, true, true, {2}},
        {"dBunrui\tA", false, false, false, true, {2}},
        {"// comment", true, true, true, true, {}},
    };
    for (const Case& c : cases) {
        FindOptions options;
        options.question = c.question;
        options.answer = c.answer;
        options.reference = c.reference;
        options.names = c.names;
        EXPECT_EQ(c.expected, searchedItems(c.line, options)) << c.line;
    }
}

class FindInSet : public ::testing::Test {
protected:
    FindInSet() {
        set.lines = {"tTitle\tOne\t3\t3", "dBunrui\tA", "11\tx1\ta\tr\t0", "11\tq\tx2\tr\t0",
                     "tTitle\tTwo\t3\t3", "dBunrui\tA", "11\tq\ta\tx3\t0", "11\tx4x5\ta\tr\t0"};
        RebuildTitleIndex(set);
        set.selectedTitle = 1;
    }
    FindOptions options(FindScope scope) {
        FindOptions o = optionsFor("x");
        o.scope = scope;
        return o;
    }
    QuestionSet set;
};

TEST_F(FindInSet, FindAllCountsTheScope) {
    EXPECT_EQ(2u, findAll(set, options(FindScope::ShownTitle)).size());
    const std::vector<FindMatch> all = findAll(set, options(FindScope::AllTitles));
    ASSERT_EQ(5u, all.size());
    EXPECT_EQ((FindMatch{7, 2, 2, 1}), all[4]);
}

TEST_F(FindInSet, NextAndPreviousWrapWithinTheScope) {
    struct Case {
        FindScope scope;
        std::optional<FindMatch> from;
        bool backward;
        FindMatch expected;
        bool wrapped;
    };
    const Case cases[] = {
        {FindScope::ShownTitle, FindMatch{2, 0, 0, 0}, false, {2, 2, 0, 1}, false},
        {FindScope::ShownTitle, FindMatch{2, 2, 0, 1}, false, {3, 3, 0, 1}, false},
        {FindScope::ShownTitle, FindMatch{3, 3, 0, 1}, false, {2, 2, 0, 1}, true},
        {FindScope::AllTitles, FindMatch{3, 3, 0, 1}, false, {6, 4, 0, 1}, false},
        {FindScope::AllTitles, FindMatch{7, 2, 0, 1}, false, {7, 2, 2, 1}, false},
        {FindScope::AllTitles, FindMatch{7, 2, 2, 1}, false, {2, 2, 0, 1}, true},
        {FindScope::AllTitles, FindMatch{7, 2, 2, 1}, true, {7, 2, 0, 1}, false},
        {FindScope::AllTitles, FindMatch{2, 2, 0, 1}, true, {7, 2, 2, 1}, true},
        {FindScope::ShownTitle, FindMatch{2, 2, 0, 1}, true, {3, 3, 0, 1}, true},
        {FindScope::ShownTitle, std::nullopt, false, {2, 2, 0, 1}, false},
    };
    for (const Case& c : cases) {
        bool wrapped = true;
        const std::optional<FindMatch> found = findNext(set, options(c.scope), c.from, c.backward, wrapped);
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(c.expected, *found) << found->line << " " << found->item << " " << found->offset;
        EXPECT_EQ(c.wrapped, wrapped);
    }
}

TEST_F(FindInSet, NothingToFindIsNoMatch) {
    bool wrapped = false;
    EXPECT_FALSE(findNext(set, optionsFor("zzz"), FindMatch{2, 0, 0, 0}, false, wrapped));
    EXPECT_TRUE(findAll(set, optionsFor("zzz")).empty());
}

TEST(ReplacedLine, RefusesWhatWouldBreakTheLine) {
    struct Case {
        std::string line;
        FindMatch match;
        const char* replacement;
        std::optional<std::string> expected;
        std::string refusal;
    };
    const std::string longText(148, 'a');
    const std::string refused = "この変更はできません。1行目が読み込めない行になります。\n";
    const Case cases[] = {
        {"11\tabc\ta\tr\t0", {0, 2, 1, 1}, "XY", "11\taXYc\ta\tr\t0", ""},
        {"11\tabc\ta\tr\t0", {0, 2, 1, 1}, "", "11\tac\ta\tr\t0", ""},
        {"11\tabc\ta\tr\t0", {0, 2, 1, 1}, "x\ty", std::nullopt, "置換する文字列にタブや改行は使えません。"},
        {"11\tabc\ta\tr\t0",
         {0, 2, 1, 1},
         "x\r\ny",
         std::nullopt,
         "置換する文字列にタブや改行は使えません。"},
        {"11\tabc\ta\tr\t0",
         {0, 2, 1, 1},
         "😀",
         std::nullopt,
         "「😀」はShift-JISにない文字のため、登録できません。"},
        {"11\t" + longText + "\t" + longText + "\tr\t0",
         {0, 4, 0, 1},
         "rrrrrrr",
         std::nullopt,
         refused + "11\t" + std::string(57, 'a') + "…\nレコードが長すぎます。最大306文字です。"},
        {"11\t" + longText + "\t" + longText + "\tr\t0",
         {0, 4, 0, 1},
         "",
         "11\t" + longText + "\t" + longText + "\t\t0",
         ""},
        // 305 bytes, and 315 once the half-width ｱ are widened
        {"11\t" + longText + "\t" + std::string(140, 'a') + "\tr\t0",
         {0, 4, 0, 1},
         "ｱｱｱｱｱｱｱｱｱｱ",
         std::nullopt,
         refused + "11\t" + std::string(57, 'a') +
             "…\nレコードが長すぎます。最大306文字です。（半角カナは全角にして数えます）"},
        {"tTitle\tT\t3\t3",
         {0, 2, 0, 1},
         "",
         std::nullopt,
         refused + "tTitle\t\t3\t3\n第２項目がありません。"},
        {"dBunrui\t\x8A\xEE\x96\x7B",
         {0, 2, 0, 4},
         "",
         std::nullopt,
         refused + "dBunrui\t\n第２項目がありません。"},
        {"sBunrui\t\x8A\xEE\x96\x7B",
         {0, 2, 0, 4},
         "",
         std::nullopt,
         refused + "sBunrui\t\n第２項目がありません。"},
        {"tTitle\tT\t3\t3", {0, 2, 0, 1}, "New", "tTitle\tNew\t3\t3", ""},
    };
    for (const Case& c : cases) {
        FindOptions options;
        options.replacement = c.replacement;
        std::string refusal;
        EXPECT_EQ(c.expected, replacedLine(c.line, c.match, options, refusal)) << c.replacement;
        EXPECT_EQ(c.refusal, refusal) << c.replacement;
    }
}

} // namespace
} // namespace rovik
