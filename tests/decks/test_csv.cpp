#include "decks/Csv.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

struct CsvCase {
    const char* name;
    std::string text;
    char separator;
    std::vector<CsvRow> rows;
};

class CsvReading : public testing::TestWithParam<CsvCase> {};

TEST_P(CsvReading, ReadsTheRowsOfRfc4180) {
    const CsvCase& c = GetParam();
    const CsvTable table = parseCsv(c.text, c.separator);
    EXPECT_EQ(table.status, CsvStatus::Ok);
    EXPECT_EQ(table.rows, c.rows);
}

// The cases of RFC 4180 section 2, then the separators and line ends spreadsheets write.
INSTANTIATE_TEST_SUITE_P(
    Cases, CsvReading,
    testing::Values(
        CsvCase{
            "crlf", "aaa,bbb,ccc\r\nzzz,yyy,xxx\r\n", ',', {{"aaa", "bbb", "ccc"}, {"zzz", "yyy", "xxx"}}},
        CsvCase{"noFinalBreak",
                "aaa,bbb,ccc\r\nzzz,yyy,xxx",
                ',',
                {{"aaa", "bbb", "ccc"}, {"zzz", "yyy", "xxx"}}},
        CsvCase{"quoted", "\"aaa\",\"bbb\",\"ccc\"\r\n", ',', {{"aaa", "bbb", "ccc"}}},
        CsvCase{"breakInQuotes",
                "\"aaa\",\"b\r\nbb\",\"ccc\"\r\nzzz,yyy,xxx",
                ',',
                {{"aaa", "b\r\nbb", "ccc"}, {"zzz", "yyy", "xxx"}}},
        CsvCase{"doubledQuote", "\"aaa\",\"b\"\"bb\",\"ccc\"", ',', {{"aaa", "b\"bb", "ccc"}}},
        CsvCase{"commaInQuotes", "\"a,b\",c", ',', {{"a,b", "c"}}},
        CsvCase{"emptyFields", ",,\n", ',', {{"", "", ""}}},
        CsvCase{"emptyQuoted", "\"\",x", ',', {{"", "x"}}},
        CsvCase{"semicolon", "a;b,c\n", ';', {{"a", "b,c"}}}, CsvCase{"tab", "a\tb\n", '\t', {{"a", "b"}}},
        CsvCase{"lfOnly", "a\nb\n", ',', {{"a"}, {"b"}}}, CsvCase{"crOnly", "a\rb", ',', {{"a"}, {"b"}}},
        CsvCase{"quoteMidField", "ab\"c,d", ',', {{"ab\"c", "d"}}},
        CsvCase{"blankLine", "a\n\nb", ',', {{"a"}, {""}, {"b"}}},
        // 表 is 0x95 0x5C in CP932: its trail byte is no separator.
        CsvCase{"cp932", "\x95\x5C,\"\x83\x5C\"", ',', {{"\x95\x5C", "\x83\x5C"}}}),
    [](const testing::TestParamInfo<CsvCase>& info) { return info.param.name; });

TEST(CsvReading, RefusesAnUnclosedQuoteNamingItsLine) {
    const CsvTable table = parseCsv("a,b\nc,\"d\ne\n", ',');
    EXPECT_EQ(table.status, CsvStatus::UnclosedQuote);
    EXPECT_EQ(table.errorLine, 2u);
}

TEST(CsvReading, RemembersTheLineEachRowStartsOn) {
    const CsvTable table = parseCsv("a\n\"b\nc\"\nd\n", ',');
    EXPECT_EQ(table.rowLines, (std::vector<std::size_t>{1, 2, 4}));
}

struct SeparatorCase {
    std::string firstLine;
    char separator;
};

class SeparatorDetection : public testing::TestWithParam<SeparatorCase> {};

TEST_P(SeparatorDetection, TakesTheOneTheFirstLineUsesMost) {
    EXPECT_EQ(detectSeparator(GetParam().firstLine), GetParam().separator);
}

INSTANTIATE_TEST_SUITE_P(Cases, SeparatorDetection,
                         testing::Values(SeparatorCase{"a,b,c\nx;y;z;w", ','},
                                         SeparatorCase{"a;b;c,d\n", ';'}, SeparatorCase{"a\tb,c\n", '\t'},
                                         SeparatorCase{"\"a;b;c\",d\n", ','}, SeparatorCase{"single", ','}));

TEST(CsvHeader, IsDetectedByColumnWords) {
    EXPECT_TRUE(looksLikeHeader({"Question", "Answer"}));
    EXPECT_TRUE(looksLikeHeader({"\xEF\xBB\xBF"
                                 "front",
                                 "back"}));
    EXPECT_TRUE(looksLikeHeader({"質問", "解答"}));
    EXPECT_TRUE(looksLikeHeader({"\x8E\xBF\x96\xE2", "x"})); // 質問 in CP932
    EXPECT_FALSE(looksLikeHeader({"dog", "犬"}));
}

} // namespace
} // namespace rovik::decks
