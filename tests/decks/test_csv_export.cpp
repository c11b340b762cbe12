#include "decks/CsvExport.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

TEST(CsvExport, FieldQuotingFollowsRfc4180) {
    const struct {
        std::string text;
        char separator;
        std::string field;
    } cases[] = {
        {"plain", ',', "plain"},
        {"", ',', ""},
        {"a,b", ',', "\"a,b\""},
        {"say \"hi\"", ',', "\"say \"\"hi\"\"\""},
        {"\"", ',', "\"\"\"\""},
        {"line\r\nbreak", ',', "\"line\r\nbreak\""},
        {"lf\nonly", ',', "\"lf\nonly\""},
        {"cr\ronly", ',', "\"cr\ronly\""},
        {"a\tb", ',', "a\tb"},
        {"a\tb", '\t', "\"a\tb\""},
        {"a,b", '\t', "a,b"},
        {"#hash", ',', "\"#hash\""},
        {"mid#hash", ',', "mid#hash"},
        {"\xE6\x97\xA5,\xE6\x9C\xAC", ',', "\"\xE6\x97\xA5,\xE6\x9C\xAC\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.field, csvField(c.text, c.separator)) << c.text;
}

std::vector<ExportTitle> sample() {
    return {
        {"\xE6\x97\xA5\xE6\x9C\xAC",
         "\xE6\x97\xA5\xE6\x9C\xAC", // 日本
         {{"q,1", "say \"a\"", "", "cat A", "B"}, {"q2", "a2", "r2", "", ""}}},
        {"2024", "2024", {{"#q", "<b>", "&", "A", "A"}}},
    };
}

TEST(CsvExport, SpreadsheetCsvHasABomAHeaderAndOneRowPerRecord) {
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB," // タイトル
        "\xE5\x88\x86\xE9\xA1\x9E"
        "A,\xE5\x88\x86\xE9\xA1\x9E"
        "B,"                                                                             // 分類A,分類B
        "\xE8\xB3\xAA\xE5\x95\x8F,\xE8\xA7\xA3\xE7\xAD\x94,\xE5\x8F\x82\xE8\x80\x83\r\n" // 質問,解答,参考
        "\xE6\x97\xA5\xE6\x9C\xAC,cat A,B,\"q,1\",\"say \"\"a\"\"\",\r\n"
        "\xE6\x97\xA5\xE6\x9C\xAC,,,q2,a2,r2\r\n"
        "2024,A,A,\"#q\",<b>,&\r\n",
        spreadsheetCsv(sample()));
}

TEST(CsvExport, AnkiTextHasItsHeaderLinesDeckAndTagColumns) {
    EXPECT_EQ("#separator:tab\n#html:false\n#deck column:1\n#tags column:5\n"
              "\xE6\x97\xA5\xE6\x9C\xAC\tq,1\t\"say \"\"a\"\"\"\t\tcat_A B\n"
              "\xE6\x97\xA5\xE6\x9C\xAC\tq2\ta2\tr2\t\n"
              "2024 \t\"#q\"\t<b>\t&\tA\n",
              ankiText(sample()));
}

} // namespace
} // namespace rovik::decks
