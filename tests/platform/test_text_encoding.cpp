#include "platform/Cp932.h"
#include "platform/Cp932Table.h"
#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <optional>

#include <vector>

namespace rovik {
namespace {

const std::string kBom = "\xEF\xBB\xBF";

struct DetectCase {
    const char* name;
    std::string bytes;
    TextEncoding expected;
};

TEST(TextEncoding_Detect, DecidesByBomThenValidMultiByteUtf8) {
    const DetectCase cases[] = {
        {"bom", kBom + "tTitle", TextEncoding::Utf8WithBom},
        {"bom_only", kBom, TextEncoding::Utf8WithBom},
        {"bom_before_broken_utf8", kBom + "\x83\x41", TextEncoding::Utf8WithBom},
        {"utf8_japanese", "tTitle\t日本\t3\t3", TextEncoding::Utf8},
        {"utf8_halfwidth_kana", "ｶﾅ", TextEncoding::Utf8},
        {"utf8_four_bytes", "😀", TextEncoding::Utf8},
        {"ascii_only", "tTitle\tT\t3\t3\r\n", TextEncoding::Cp932},
        {"empty", "", TextEncoding::Cp932},
        {"cp932_japanese", "\x93\xFA\x96\x7B", TextEncoding::Cp932}, // 日本
        {"cp932_halfwidth_kana", "\xB6\xC5", TextEncoding::Cp932},
        {"cp932_that_is_utf8", "\xD0\xB1", TextEncoding::Utf8}, // ﾐｱ reads as б
        {"utf8_then_cp932", "日本\x93\xFA", TextEncoding::Cp932},
        {"overlong", "\xC0\x80", TextEncoding::Cp932},
        {"surrogate", "\xED\xA0\x80", TextEncoding::Cp932},
        {"past_u10ffff", "\xF4\x90\x80\x80", TextEncoding::Cp932},
        {"cut_sequence", "日\xE6\x9C", TextEncoding::Cp932},
        {"utf8_only_after_zero_byte", std::string("ab\0日本", 9), TextEncoding::Cp932},
        {"cp932_only_after_zero_byte", std::string("日\0\x93\xFA", 6), TextEncoding::Utf8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, detectTextEncoding(c.bytes)) << c.name;
}

struct Expected {
    std::size_t line;
    std::string character;
    char32_t codePoint;
    bool broken;
};

struct DecodeCase {
    const char* name;
    std::string bytes;
    EncodingChoice choice;
    TextEncoding encoding;
    std::string cp932;
    std::vector<Expected> unmappable;
};

TEST(TextEncoding_Decode, ConvertsUtf8AndListsWhatCp932CannotHold) {
    const DecodeCase cases[] = {
        {"utf8", "日本\t～", EncodingChoice::Auto, TextEncoding::Utf8, "\x93\xFA\x96\x7B\t\x81\x60", {}},
        {"bom_dropped",
         kBom + "a\r\n日",
         EncodingChoice::Auto,
         TextEncoding::Utf8WithBom,
         "a\r\n\x93\xFA",
         {}},
        {"halfwidth_kana_stays_halfwidth", "ｶﾅ", EncodingChoice::Auto, TextEncoding::Utf8, "\xB6\xC5", {}},
        {"nec_and_ibm_characters",
         "①Ⅰ∵",
         EncodingChoice::Auto,
         TextEncoding::Utf8,
         "\x87\x40\x87\x54\x81\xE6",
         {}},
        {"cp932_passes_untouched",
         "\x93\xFA\xB6\xFF",
         EncodingChoice::Auto,
         TextEncoding::Cp932,
         "\x93\xFA\xB6\xFF",
         {}},
        // A CP932 byte after UTF-8 text: what was converted is put back exactly.
        {"utf8_prefix_then_cp932",
         "日本😀ｶ①ü\r\n\x93\xFA",
         EncodingChoice::Auto,
         TextEncoding::Cp932,
         "日本😀ｶ①ü\r\n\x93\xFA",
         {}},
        {"ascii_then_zero_byte",
         std::string("ab\0\x93", 4),
         EncodingChoice::Auto,
         TextEncoding::Cp932,
         std::string("ab\0\x93", 4),
         {}},
        {"zero_byte_ends_utf8",
         std::string("日\0😀", 8),
         EncodingChoice::Auto,
         TextEncoding::Utf8,
         "\x93\xFA",
         {}},
        {"first", "😀a", EncodingChoice::Auto, TextEncoding::Utf8, "", {{1, "😀", 0x1F600, false}}},
        {"last", "a\r\nb😀", EncodingChoice::Auto, TextEncoding::Utf8, "", {{2, "😀", 0x1F600, false}}},
        {"several_per_line",
         "a\nü😀\t😀\n",
         EncodingChoice::Auto,
         TextEncoding::Utf8,
         "",
         {{2, "ü", 0xFC, false}, {2, "😀", 0x1F600, false}, {2, "😀", 0x1F600, false}}},
        {"crlf_counts_once",
         "a\r\nb\r\n한",
         EncodingChoice::Auto,
         TextEncoding::Utf8,
         "",
         {{3, "한", 0xD55C, false}}},
        {"lone_cr_and_lf",
         "a\rb\nc\r\rü",
         EncodingChoice::Auto,
         TextEncoding::Utf8,
         "",
         {{5, "ü", 0xFC, false}}},
        // The JIS forms of Shift-JIS characters, as Linux and macOS write them, are taken in.
        {"jis_forms",
         "1〜3 −5 ¥100 ‖¢£¬—",
         EncodingChoice::Auto,
         TextEncoding::Utf8,
         "1\x81\x60"
         "3 \x81\x7C"
         "5 \\100 \x81\x61\x81\x91\x81\x92\x81\xCA\x81\x5C",
         {}},
        // What Shift-JIS really cannot hold is still refused.
        // Detection that fails after JIS forms were converted puts the file's bytes back.
        {"jis_forms_then_shift_jis",
         "¥〜a—\x93\xFA",
         EncodingChoice::Auto,
         TextEncoding::Cp932,
         "¥〜a—\x93\xFA",
         {}},
        {"umlaut", "aü", EncodingChoice::Auto, TextEncoding::Utf8, "", {{1, "ü", 0xFC, false}}},
        {"beyond_the_bmp", "𠮷", EncodingChoice::Auto, TextEncoding::Utf8, "", {{1, "𠮷", 0x20BB7, false}}},
        {"broken_byte_after_bom",
         kBom + "a\n\x83\x41",
         EncodingChoice::Auto,
         TextEncoding::Utf8WithBom,
         "",
         {{2, "\x83", 0x83, true}}},
        {"utf8_chosen_for_cp932",
         "\x93\xFA",
         EncodingChoice::Utf8,
         TextEncoding::Utf8,
         "",
         {{1, "\x93", 0x93, true}, {1, "\xFA", 0xFA, true}}},
        {"cp932_chosen_for_utf8", "日", EncodingChoice::Cp932, TextEncoding::Cp932, "日", {}},
        {"utf8_chosen_for_ascii", "a\tb", EncodingChoice::Utf8, TextEncoding::Utf8, "a\tb", {}},
    };
    for (const auto& c : cases) {
        DecodedText text = decodeText(c.bytes, c.choice);
        EXPECT_EQ(c.encoding, text.encoding) << c.name;
        EXPECT_EQ(c.cp932, text.cp932) << c.name;
        ASSERT_EQ(c.unmappable.size(), text.unmappable.size()) << c.name;
        for (std::size_t i = 0; i < c.unmappable.size(); ++i) {
            EXPECT_EQ(c.unmappable[i].line, text.unmappable[i].line) << c.name << " " << i;
            EXPECT_EQ(c.unmappable[i].character, text.unmappable[i].character) << c.name << " " << i;
            EXPECT_EQ(c.unmappable[i].codePoint, text.unmappable[i].codePoint) << c.name << " " << i;
            EXPECT_EQ(c.unmappable[i].broken, text.unmappable[i].broken) << c.name << " " << i;
        }
        EXPECT_EQ(c.unmappable.empty(), text.ok()) << c.name;
    }
}

struct EncodeCase {
    const char* name;
    std::string cp932;
    TextEncoding encoding;
    bool ok;
    std::string file;
};

TEST(TextEncoding_Encode, WritesTheEncodingReadAndRefusesBytesCp932CannotRead) {
    const EncodeCase cases[] = {
        {"cp932_as_is", "\x93\xFA\xFF\r\n", TextEncoding::Cp932, true, "\x93\xFA\xFF\r\n"},
        {"utf8", "\x93\xFA\x96\x7B\r\n", TextEncoding::Utf8, true, "日本\r\n"},
        {"utf8_with_bom", "a\r\n", TextEncoding::Utf8WithBom, true, kBom + "a\r\n"},
        {"empty_with_bom", "", TextEncoding::Utf8WithBom, true, kBom},
        {"broken_cp932",
         "a\xA0"
         "b",
         TextEncoding::Utf8, false, ""},
        {"cut_lead_byte", "a\x93", TextEncoding::Utf8WithBom, false, ""},
    };
    for (const auto& c : cases) {
        std::string out = "old";
        EXPECT_EQ(c.ok, encodeText(c.cp932, c.encoding, out)) << c.name;
        EXPECT_EQ(c.file, out) << c.name;
    }
}

// Characters with two forms come back as each line wrote them, also where lines read the same.
TEST(TextEncoding_Forms, AnUnchangedTextComesBackByteForByte) {
    const std::string texts[] = {
        "〜\r\n～\r\n",        "～\r\n〜\r\n〜\r\n", "¥\\¥\r\n\\\r\n表¥\r\n",
        "a\r\n〜−〜\r\n～−〜", "—―‖∥\n¢￠£￡¬￢\r",  kBom + "1〜3\r\n",
    };
    for (const auto& text : texts) {
        const DecodedText decoded = decodeText(text, EncodingChoice::Auto);
        ASSERT_TRUE(decoded.ok()) << text;
        std::string again;
        ASSERT_TRUE(
            encodeText(decoded.cp932, decoded.encoding, again, utf8FormsOf(decoded.cp932, decoded.jisForms)))
            << text;
        EXPECT_EQ(text, again);
    }
}

TEST(TextEncoding_Encode, UndoesTheDecodeOfRepresentableText) {
    const std::string texts[] = {"tTitle\t日本の地理\t3\t3\r\n11\t①～Ⅹ\tｱｲｳ\t参考\t0\r\n", kBom + "a\r\n",
                                 "abc"};
    for (const auto& text : texts) {
        DecodedText decoded = decodeText(text, EncodingChoice::Auto);
        ASSERT_TRUE(decoded.ok()) << text;
        std::string again;
        ASSERT_TRUE(encodeText(decoded.cp932, decoded.encoding, again)) << text;
        EXPECT_EQ(text, again);
    }
}

struct NameCase {
    const char* name;
    std::string fileName;
    std::string cp932;
    std::string unmappable;
};

TEST(TextEncoding_FileName, TakesANameThatIsNotUtf8AsShiftJis) {
    const NameCase cases[] = {
        {"ascii", "Sample.pdb", "Sample.pdb", ""},
        {"utf8", "日本.pdb", "\x93\xFA\x96\x7B.pdb", ""},
        {"raw_shift_jis", "\x93\xFA\x96\x7B.pdb", "\x93\xFA\x96\x7B.pdb", ""},
        {"raw_halfwidth_kana", "\xB6\xC5", "\xB6\xC5", ""},
        {"utf8_with_emoji", "a😀.pdb", "a.pdb", "😀"},
    };
    for (const auto& c : cases) {
        Cp932Encoding name = fileNameToCp932(c.fileName);
        EXPECT_EQ(c.cp932, name.bytes) << c.name;
        EXPECT_EQ(c.unmappable, name.unmappable) << c.name;
    }
}

TEST(TextEncoding_Display, ReadsOurLogsInEitherEncoding) {
    EXPECT_EQ("行目", fileTextToUtf8("\x8D\x73\x96\xDA"));
    EXPECT_EQ("😀\r\n", fileTextToUtf8(kBom + "😀\r\n"));
    EXPECT_STREQ("Shift-JIS", encodingName(TextEncoding::Cp932));
    EXPECT_STREQ("UTF-8", encodingName(TextEncoding::Utf8));
    EXPECT_STREQ("UTF-8 (BOM付き)", encodingName(TextEncoding::Utf8WithBom));
}

TEST(TextEncoding_Utf16, ConvertsPairsAndRefusesWhatIsNoText) {
    const struct {
        const char* what;
        std::string utf16le;
        std::optional<std::string> utf8;
    } cases[] = {
        {"ASCII and kana", std::string("C\0:\0\xD1\x30\xFC\x30\xE0\x30", 10), "C:パーム"},
        {"surrogate pair", "\x42\xD8\xB7\xDF", "\xF0\xA0\xAE\xB7"},
        {"zero unit kept", std::string("a\0\0\0", 4), std::string("a\0", 2)},
        {"odd length", std::string("a\0b", 3), std::nullopt},
        {"high surrogate alone", "\x40\xD8", std::nullopt},
        {"high surrogate then a letter",
         std::string("\x40\xD8"
                     "a\0",
                     4),
         std::nullopt},
        {"low surrogate alone", "\xB7\xDF", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.utf8, utf16leToUtf8(c.utf16le)) << c.what;
}

} // namespace
} // namespace rovik
