#include "data/Common.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

struct ItemCase {
    const char* text;
    int n;
    int result;
    const char* item;
};

TEST(Common_ItemOf, FollowsTheLineFeedRules) {
    const ItemCase cases[] = {
        {"a\t\tc\n", 1, 0, "a"},
        {"a\t\tc\n", 2, 0, ""},
        {"a\t\tc\n", 3, 0, "c"},
        {"a\t\tc\n", 4, -4, ""},
        {"whole line\n", 1, 0, "whole line"},
        // Without a line feed an item counts only when a separator follows it.
        {"a\tb\tc\td\t0", 4, 0, "d"},
        {"a\tb\tc\td\t0", 5, 0, ""},
        {"a\tb", 3, -3, ""},
        {"abc", 1, 0, ""},
        {"", 1, 0, ""},
        {"\n", 2, -2, ""},
        {"x.pdb", 1, 0, "x"},
    };
    for (const auto& c : cases) {
        std::string buffer = "stale";
        char sep = std::string(c.text) == "x.pdb" ? '.' : '\t';
        EXPECT_EQ(c.result, ItemOf(c.text, buffer, sep, c.n)) << c.text << " item " << c.n;
        EXPECT_EQ(c.item, buffer) << c.text << " item " << c.n;
    }
}

TEST(Common_ItemText, AppendsALineFeed) {
    EXPECT_EQ("d", ItemText("a\tb\tc\td", '\t', 4));
    EXPECT_EQ("", ItemText("a\tb", '\t', 3));
    EXPECT_EQ("name", ItemText("name.list.txt", '.', 1));
}

TEST(Common_CountItems, CountsSeparatorsPlusOne) {
    EXPECT_EQ(1, CountItems("", '\t'));
    EXPECT_EQ(3, CountItems("a\t\tc", '\t'));
    EXPECT_EQ(10, CountItems(std::string(9, '\t'), '\t'));
}

TEST(Common_IsDoubleByte, ChecksLeadAndTrailRanges) {
    EXPECT_TRUE(IsDoubleByte(0x81, 0x40));
    EXPECT_TRUE(IsDoubleByte(0x9F, 0xFC));
    EXPECT_TRUE(IsDoubleByte(0xE0, 0x5C));
    EXPECT_FALSE(IsDoubleByte(0x80, 0x40));
    EXPECT_FALSE(IsDoubleByte(0xA0, 0x40));
    EXPECT_FALSE(IsDoubleByte(0x81, 0x7F));
    EXPECT_FALSE(IsDoubleByte(0x81, 0x3F));
    EXPECT_FALSE(IsDoubleByte(0xFD, 0x40));
}

struct KanaCase {
    std::string in;
    std::string out;
};

TEST(Common_ToFullWidthKana, ConvertsSinglesAndCombinations) {
    const KanaCase cases[] = {
        {"\xA1", "\x81\x42"},             // ｡ -> 。
        {"\xB1", "\x83\x41"},             // ｱ -> ア
        {"\xB0", "\x81\x5B"},             // ｰ -> ー
        {"\xDD", "\x83\x93"},             // ﾝ -> ン
        {"\xB6\xDE", "\x83\x4B"},         // ｶﾞ -> ガ
        {"\xC4\xDE", "\x83\x68"},         // ﾄﾞ -> ド
        {"\xCA\xDF", "\x83\x70"},         // ﾊﾟ -> パ
        {"\xCE\xDE", "\x83\x7B"},         // ﾎﾞ -> ボ
        {"\xB3\xDE", "\x83\x94"},         // ｳﾞ -> ヴ
        {"\xDC\xDE", "\x83\x8F\x81\x4A"}, // ﾜﾞ -> ワ゛
        {"\xDF", "\x81\x4B"},             // ﾟ alone -> ゜
        {"\xB6\xDF", "\x83\x4A\x81\x4B"}, // ｶﾟ cannot combine
        {"\x83\xA1", "\x83\xA1"},         // trail byte in the kana range is kept
        {"ab\x83", "ab\x83"},             // lead byte at the end is copied
        {"1\t\xB1\xB2", "1\t\x83\x41\x83\x43"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.out, ToFullWidthKana(c.in));
}

TEST(Common_ToFullWidthKana, HandlesTextsOfAnyLength) {
    std::string longText(50000, '\xB1');
    std::string converted = ToFullWidthKana(longText);
    ASSERT_EQ(100000u, converted.size());
    EXPECT_EQ("\x83\x41", converted.substr(99998));
}

TEST(Common_HasHalfWidthKana, SkipsDoubleByteCharacters) {
    EXPECT_EQ(0, HasHalfWidthKana("abc"));
    EXPECT_EQ(0, HasHalfWidthKana("\x83\xA1"));
    EXPECT_EQ(1, HasHalfWidthKana("a\xB1"));
    EXPECT_EQ(1, HasHalfWidthKana(std::string(20000, 'x') + "\xDF"));
}

// The scan takes shortcuts over blocks of bytes; the conversion walks character by character.
// A text holds half-width katakana exactly when converting it changes it.
TEST(Common_HasHalfWidthKana, AgreesWithTheCharacterWalkOnRandomTexts) {
    const unsigned char alphabet[] = {0x20, 0x41, 0x7F, 0x3F, 0x81, 0x9F, 0xE0,
                                      0xFC, 0xA1, 0xB1, 0xDF, 0xDE, 0x40, 0xFD};
    std::uint32_t state = 12345;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        size_t length = state % 70;
        for (size_t i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            text += static_cast<char>(alphabet[(state >> 16) % sizeof alphabet]);
        }
        state = state * 1103515245u + 12345u;
        ASSERT_EQ(ToFullWidthKana(text) != text ? 1 : 0, HasHalfWidthKana(text))
            << ::testing::PrintToString(text);
    }
}

TEST(Common_FileSize, CountsBytesOrFails) {
    test::TempFolder folder;
    EXPECT_EQ(5, FileSize(folder.write("five.txt", "12345")));
    EXPECT_EQ(0, FileSize(folder.write("empty.txt", "")));
    EXPECT_EQ(-1, FileSize(folder.file("missing.txt")));
    EXPECT_EQ(-1, FileSize(folder.path()));
}

TEST(Common_BaseName, DropsFoldersAndExtensions) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {".hidden", ""},
        {"C:\\data\\words.list.txt", "words"},
        {"/home/u/my.dir/words.txt", "words"},
        {"C:\\a.b\\name.pdb", "name"},
        {"\x95\x5C.txt", "\x95\x5C"}, // 表.txt: trail byte 0x5C is not a folder mark
        {"C:\\\x95\x5C\\\x95\x5C\x8E\xA6.TXT", "\x95\x5C\x8E\xA6"}, // C:\表\表示.TXT
        {"\x83\x2E", "\x83"},                                       // 0x2E is no trail byte: a real dot
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, BaseName(c.first)) << c.first;
}

} // namespace
} // namespace rovik
