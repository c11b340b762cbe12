#include "decks/DeckImport.h"

#include "platform/Cp932.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

std::vector<std::string> utf8Lines(const std::vector<std::string>& cp932) {
    std::vector<std::string> lines;
    for (const auto& line : cp932)
        lines.push_back(cp932ToUtf8(line));
    return lines;
}

const std::string kTitle = "\x92\x50\x8C\xEA"; // 単語 in CP932

struct EncodingCase {
    const char* name;
    std::string bytes;
    EncodingChoice choice;
};

class CsvEncodings : public testing::TestWithParam<EncodingCase> {};

// The same two rows, as Excel (CP932), LibreOffice (UTF-8) and with a byte order mark write them.
TEST_P(CsvEncodings, GiveTheSameRecords) {
    CsvOptions options;
    options.encoding = GetParam().choice;
    const DeckImport result = importCsv(GetParam().bytes, kTitle, options);
    ASSERT_EQ(result.outcome, ImportOutcome::Done) << result.message;
    EXPECT_EQ(
        utf8Lines(result.lines),
        (std::vector<std::string>{"tTitle\t単語\t3\t3", "dBunrui\t無題（分類A）", "sBunrui\t無題（分類B）",
                                  "11\t犬\tdog\t\t0", "11\t表\"示\"\tshow, display\t\t0"}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CsvEncodings,
    testing::Values(
        EncodingCase{"cp932", "\x8C\xA2,dog\r\n\"\x95\x5C\"\"\x8E\xA6\"\"\",\"show, display\"\r\n",
                     EncodingChoice::Auto},
        EncodingCase{"utf8", "犬,dog\n\"表\"\"示\"\"\",\"show, display\"\n", EncodingChoice::Auto},
        EncodingCase{"utf8Bom", "\xEF\xBB\xBF犬,dog\r\n\"表\"\"示\"\"\",\"show, display\"\r\n",
                     EncodingChoice::Auto},
        EncodingCase{"cp932Chosen", "\x8C\xA2,dog\n\"\x95\x5C\"\"\x8E\xA6\"\"\",\"show, display\"\n",
                     EncodingChoice::Cp932}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return info.param.name; });

TEST(CsvImport, MapsColumnsSkipsTheHeaderAndCountsWhatItFlattens) {
    const std::string csv = "Category;Question;Answer;Note;Level\n"
                            "動物;\"犬\n(いぬ)\";dog;\"a\tb\";初級\n"
                            "\n"
                            "動物;猫;cat;;中級\n"
                            "植物;桜;cherry;;初級\n";
    CsvOptions options;
    options.question = 1;
    options.answer = 2;
    options.reference = 3;
    options.categoryA = 0;
    options.categoryB = 4;
    const DeckImport result = importCsv(csv, kTitle, options);
    ASSERT_EQ(result.outcome, ImportOutcome::Done) << result.message;
    EXPECT_EQ(utf8Lines(result.lines),
              (std::vector<std::string>{"tTitle\t単語\t3\t3", "dBunrui\t動物", "dBunrui\t植物",
                                        "sBunrui\t初級", "sBunrui\t中級", "11\t犬 (いぬ)\tdog\ta b\t0",
                                        "12\t猫\tcat\t\t0", "21\t桜\tcherry\t\t0"}));
    EXPECT_EQ(result.drops.lineBreaks, 1);
    EXPECT_EQ(result.drops.tabs, 1);
    EXPECT_EQ(result.drops.emptyRows, 1);
    EXPECT_EQ(importSummary(result), "1タイトル 3件を読み込みました（除外: 改行 1、タブ 1、空の行 1）。");
}

TEST(CsvImport, RefusesAColumnTheFileDoesNotHave) {
    CsvOptions options;
    options.reference = 2;
    const DeckImport result = importCsv("a,b\nc,d\n", kTitle, options);
    EXPECT_EQ(result.outcome, ImportOutcome::Refused);
    EXPECT_EQ(result.message, "列3がありません（ファイルの列は2個です）。");
}

TEST(CsvImport, HeaderChoiceOverridesDetection) {
    CsvOptions options;
    options.header = 1;
    DeckImport result = importCsv("a,b\nc,d\n", kTitle, options);
    EXPECT_EQ(result.records, 1);
    options.header = 0;
    result = importCsv("question,answer\nc,d\n", kTitle, options);
    EXPECT_EQ(result.records, 2);
}

struct BadCsv {
    const char* name;
    std::string bytes;
    ImportOutcome outcome;
    const char* message;
};

class BadCsvs : public testing::TestWithParam<BadCsv> {};

TEST_P(BadCsvs, AreRefusedWithAMessageAndNoLines) {
    const DeckImport result = importCsv(GetParam().bytes, kTitle, {});
    EXPECT_EQ(result.outcome, GetParam().outcome);
    EXPECT_EQ(result.message, GetParam().message);
    EXPECT_TRUE(result.lines.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadCsvs,
    testing::Values(BadCsv{"empty", "", ImportOutcome::Refused, "CSVファイルにデータがありません。"},
                    BadCsv{"onlyBreaks", "\r\n\r\n", ImportOutcome::Refused, "読み込む問題がありません。"},
                    BadCsv{"unclosedQuote", "a,b\nc,\"d\n", ImportOutcome::Refused,
                           "2行目で始まる引用符（\"）が閉じられていません。"},
                    BadCsv{"binary", std::string("PK\x03\x04\0\0\x14", 7), ImportOutcome::Unreadable,
                           "CSVファイルではありません（バイナリのデータです）。"}),
    [](const testing::TestParamInfo<BadCsv>& info) { return info.param.name; });

TEST(CsvImport, RefusesCharactersShiftJisCannotHoldOneLogLineEach) {
    const DeckImport result = importCsv("犬,dog\n😀,smile 😀\n", kTitle, {});
    EXPECT_EQ(result.outcome, ImportOutcome::Refused);
    EXPECT_EQ(result.charLog,
              (std::vector<std::string>{"2行目: 文字「😀」(U+1F600)はShift-JISで表せません。",
                                        "2行目: 文字「😀」(U+1F600)はShift-JISで表せません。"}));
}

TEST(CsvImport, LogsARecordTooLongAfterWideningWithItsRow) {
    // 150 half-width katakana take 300 bytes once widened: with the other items past 306.
    const std::string kana(150, '\xB1');
    const DeckImport result = importCsv("a,b\n" + kana + ",x\n", kTitle, {{EncodingChoice::Cp932}});
    EXPECT_EQ(result.outcome, ImportOutcome::Refused);
    ASSERT_EQ(result.log.size(), 4u);
    EXPECT_EQ(cp932ToUtf8(result.log[0]), "CSV 2行目");
    EXPECT_EQ(cp932ToUtf8(result.log[2]),
              "レコードが長すぎます。最大306文字です。（半角カナは全角にして数えます）");
}

TEST(CsvImport, LogsAnEmptyTitleNameAsLoadingWould) {
    const DeckImport result = importCsv("q,a\n", "", {});
    EXPECT_EQ(result.outcome, ImportOutcome::Refused);
    EXPECT_EQ(
        utf8Lines(result.log),
        (std::vector<std::string>{"CSV", "tTitle\t\t3\t3", "第２項目がありません。", std::string(31, '-')}));
}

TEST(CsvImport, LogsASixteenthCategory) {
    std::string csv;
    for (int i = 0; i < 16; ++i)
        csv += "q,a,c" + std::to_string(i) + "\n";
    CsvOptions options;
    options.categoryA = 2;
    const DeckImport result = importCsv(csv, kTitle, options);
    EXPECT_EQ(result.outcome, ImportOutcome::Refused);
    EXPECT_EQ(
        utf8Lines(result.log),
        (std::vector<std::string>{"CSV 16行目", "分類Aが多すぎます。最大15件です。", std::string(31, '-')}));
}

TEST(CsvPreview, ShowsTheDetectedChoicesAndFirstRows) {
    const CsvPreview preview = previewCsv("\x8E\xBF\x96\xE2\t\x89\xF0\x93\x9A\nx\ty\tz\n", {});
    EXPECT_EQ(preview.separator, '\t');
    EXPECT_TRUE(preview.header);
    EXPECT_EQ(preview.encoding, TextEncoding::Cp932);
    EXPECT_EQ(preview.columns, 3u);
    ASSERT_EQ(preview.rows.size(), 2u);
    EXPECT_EQ(preview.rows[0], (CsvRow{"質問", "解答"}));
}

} // namespace
} // namespace rovik::decks
