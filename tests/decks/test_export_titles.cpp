#include "decks/ExportTitles.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

// CP932 input, UTF-8 expectations.
const std::string kInuSjis = "\x8C\xA2";                  // 犬
const std::string kInu = "\xE7\x8A\xAC";                  // 犬
const std::string kDoubutsuSjis = "\x93\xAE\x95\xA8";     // 動物
const std::string kDoubutsu = "\xE5\x8B\x95\xE7\x89\xA9"; // 動物
const std::string kNihonSjis = "\x93\xFA\x96\x7B";        // 日本
const std::string kNihon = "\xE6\x97\xA5\xE6\x9C\xAC";    // 日本
const std::string kMeishiSjis = "\x96\xBC\x8E\x8C";       // 名詞
const std::string kMeishi = "\xE5\x90\x8D\xE8\xA9\x9E";   // 名詞

std::vector<std::string> twoTitles() {
    return {
        "// before any title",
        "tTitle\t" + kNihonSjis + "\t3\t3",
        "dBunrui\t" + kDoubutsuSjis,
        "dBunrui\tB-second",
        "sBunrui\t" + kMeishiSjis,
        "11\t" + kInuSjis + "\tdog\t\x8E\x51\x8D\x6C\t0", // 参考
        "// a comment between records",
        "21\tcat\tneko\t\t0",
        "F1\tno A name\tx\t\t0",
        "00\tno category\ty\t\t0",
        "tTitle\tSecond\t3\t3",
        "dBunrui\tA",
        "sBunrui\tB",
        "1a\t\xB1\tz\tref\t0", // half-width katakana ｱ; lower-case B code
    };
}

TEST(ExportTitles, EveryTitleWithItsRecordsAndCategoryNames) {
    std::vector<ExportTitle> titles;
    const CollectResult result = collectTitles(twoTitles(), 0, {}, titles);
    ASSERT_EQ(CollectStatus::Ok, result.status);
    EXPECT_EQ(2, result.titleCount);
    ASSERT_EQ(2u, titles.size());
    EXPECT_EQ(kNihon, titles[0].name);
    EXPECT_EQ(kNihon, titles[0].deck);
    ASSERT_EQ(4u, titles[0].records.size());
    const ExportRecord& first = titles[0].records[0];
    EXPECT_EQ(kInu, first.question);
    EXPECT_EQ("dog", first.answer);
    EXPECT_EQ("\xE5\x8F\x82\xE8\x80\x83", first.reference); // 参考
    EXPECT_EQ(kDoubutsu, first.categoryA);
    EXPECT_EQ(kMeishi, first.categoryB);
    EXPECT_EQ("cat", titles[0].records[1].question);
    EXPECT_EQ("B-second", titles[0].records[1].categoryA);
    EXPECT_EQ(kMeishi, titles[0].records[1].categoryB);
    // Codes that name no category give none.
    EXPECT_EQ("", titles[0].records[2].categoryA);
    EXPECT_EQ(kMeishi, titles[0].records[2].categoryB);
    EXPECT_EQ("", titles[0].records[3].categoryA);
    EXPECT_EQ("", titles[0].records[3].categoryB);

    EXPECT_EQ("Second", titles[1].name);
    ASSERT_EQ(1u, titles[1].records.size());
    EXPECT_EQ("\xE3\x82\xA2", titles[1].records[0].question); // ア, full-width as every save writes it
    EXPECT_EQ("A", titles[1].records[0].categoryA);
    EXPECT_EQ("", titles[1].records[0].categoryB); // code 10 has no name
}

TEST(ExportTitles, OneTitleByNumber) {
    std::vector<ExportTitle> titles;
    ASSERT_EQ(CollectStatus::Ok, collectTitles(twoTitles(), 2, {}, titles).status);
    ASSERT_EQ(1u, titles.size());
    EXPECT_EQ("Second", titles[0].name);
}

TEST(ExportTitles, RefusalsLeaveTheOutputAlone) {
    const struct {
        std::vector<std::string> lines;
        int title;
        CollectStatus status;
        int line;
    } cases[] = {
        {twoTitles(), 3, CollectStatus::NoSuchTitle, 0},
        {twoTitles(), -1, CollectStatus::NoSuchTitle, 0},
        {{"11\tq\ta\t\t0"}, 0, CollectStatus::NoSuchTitle, 0},
        {{"tTitle\tA\t3\t3", "dBunrui\tA", "// only a comment"}, 0, CollectStatus::NoRecords, 0},
        {{"tTitle\tA\t3\t3", "11\tq\ta\t\t0", "11\tbad \xFF byte\ta\t\t0"}, 0, CollectStatus::NotShiftJis, 3},
        {{"tTitle\tA\t3\t3", "11\tq\ta\t\t0", "tTitle\tB\t3\t3", "11\t\xFF\ta\t\t0"},
         1,
         CollectStatus::Ok,
         0},
    };
    for (const auto& c : cases) {
        std::vector<ExportTitle> titles{ExportTitle{"untouched", "untouched", {}}};
        const CollectResult result = collectTitles(c.lines, c.title, {}, titles);
        EXPECT_EQ(c.status, result.status) << c.lines.back();
        EXPECT_EQ(c.line, result.line) << c.lines.back();
        if (c.status != CollectStatus::Ok) {
            EXPECT_EQ("untouched", titles.at(0).name);
        }
    }
}

TEST(ExportTitles, TagsAreOneWordEach) {
    const struct {
        std::string name;
        std::string tag;
    } cases[] = {
        {"plain", "plain"},
        {"two words", "two_words"},
        {"\xE5\x90\x8D\xE8\xA9\x9E\xE3\x80\x80\xE5\x8B\x95\xE8\xA9\x9E", // 名詞　動詞
         "\xE5\x90\x8D\xE8\xA9\x9E_\xE5\x8B\x95\xE8\xA9\x9E"},
        {"say \"hi\"", "say__hi_"},
        {"a::b", "a::b"},
        {" ", "_"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.tag, tagOf(c.name)) << c.name;
}

TEST(ExportTitles, RecordTagsInOrderEachOnce) {
    EXPECT_EQ((std::vector<std::string>{"x_y", "B"}), tagsOf({"q", "a", "r", "x y", "B"}));
    EXPECT_EQ((std::vector<std::string>{"same"}), tagsOf({"q", "a", "r", "same", "same"}));
    EXPECT_EQ((std::vector<std::string>{"B"}), tagsOf({"q", "a", "r", "", "B"}));
    EXPECT_TRUE(tagsOf({"q", "a", "r", "", ""}).empty());
}

TEST(ExportTitles, DeckNamesNeverEmptyNeverTwice) {
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), deckNames({"A", "B"}));
    EXPECT_EQ((std::vector<std::string>{"A", "A (2)", "a (3)", "A (2) (2)"}),
              deckNames({"A", "A", "a", "A (2)"}));
    EXPECT_EQ((std::vector<std::string>{"\xE7\x84\xA1\xE9\xA1\x8C", "\xE7\x84\xA1\xE9\xA1\x8C (2)"}), // 無題
              deckNames({"", "\xE7\x84\xA1\xE9\xA1\x8C"}));
}

} // namespace
} // namespace rovik::decks
