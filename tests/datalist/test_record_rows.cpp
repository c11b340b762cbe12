#include "data/QuestionSet.h"
#include "datalist/ColumnWidths.h"
#include "datalist/RecentMenus.h"
#include "datalist/RecordRows.h"

#include <gtest/gtest.h>

#include <ostream>

namespace rovik {
namespace {

struct BlockCase {
    const char* name;
    std::vector<std::string> block;
    std::vector<int> rowLines; // block line of rows 1, 2, ...
    int headerLines;
    std::vector<std::string> categoryA;
    std::vector<std::string> categoryB;
};

void PrintTo(const BlockCase& c, std::ostream* out) {
    *out << c.name;
}

class RecordRowsRead : public ::testing::TestWithParam<BlockCase> {};

TEST_P(RecordRowsRead, MapsRowsToBlockLines) {
    const BlockCase& c = GetParam();
    ShownTitle shown;
    shown.lines = c.block;
    shown.categoryA = {"stale"};
    RecordRows rows;
    rows.read(shown);
    ASSERT_EQ(static_cast<int>(c.rowLines.size()), rows.count());
    for (size_t r = 0; r < c.rowLines.size(); ++r) {
        EXPECT_EQ(c.rowLines[r], rows.blockLineOf(static_cast<int>(r) + 1)) << "row " << r + 1;
        EXPECT_EQ(static_cast<int>(r) + 1, rows.rowOfBlockLine(c.rowLines[r]));
    }
    EXPECT_EQ(-1, rows.blockLineOf(0));
    EXPECT_EQ(-1, rows.blockLineOf(rows.count() + 1));
    EXPECT_EQ(c.headerLines, shown.headerLineCount);
    EXPECT_EQ(c.categoryA, shown.categoryA);
    EXPECT_EQ(c.categoryB, shown.categoryB);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, RecordRowsRead,
    ::testing::Values(
        BlockCase{"HeadersFirst",
                  {"tTitle\tT\t3\t3", "dBunrui\tA1", "dBunrui\tA2", "sBunrui\tB1", "11\tq\ta\tr\t0",
                   "12\tq\ta\tr\t0"},
                  {4, 5},
                  4,
                  {"A1", "A2"},
                  {"B1"}},
        // A comment line is a numbered row; the rows after it keep their lines.
        BlockCase{"CommentInsideBlock",
                  {"tTitle\tT", "dBunrui\tA", "11\tq1\ta\tr\t0", "//note\tx\ty\tz", "11\tq2\ta\tr\t0"},
                  {2, 3, 4},
                  2,
                  {"A"},
                  {}},
        BlockCase{"HeaderLinesOnly", {"tTitle\tT", "dBunrui\tA", "sBunrui\tB"}, {}, 3, {"A"}, {"B"}},
        // A category line after a record is still a header line; the rows skip it.
        BlockCase{"HeaderAfterRecord",
                  {"tTitle\tT", "11\tq1\ta\tr\t0", "dBunrui\tA", "11\tq2\ta\tr\t0"},
                  {1, 3},
                  2,
                  {"A"},
                  {}},
        // Only a line that begins with a keyword is a header line.
        BlockCase{"KeywordInsideText",
                  {"tTitle\tT", "11\ttTitle\tdBunrui\tr\t0", " tTitle\tx", ""},
                  {1, 2, 3},
                  1,
                  {},
                  {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordRows, CellTextShowsNumberAndItemsTwoToFour) {
    ShownTitle shown;
    shown.lines = {"tTitle\tT", "11\tquestion\tanswer\treference\t0", "//only"};
    RecordRows rows;
    rows.read(shown);
    const std::vector<std::vector<std::string>> expected = {{"1", "question", "answer", "reference"},
                                                            {"2", "", "", ""}};
    for (int row = 1; row <= 2; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(expected[row - 1][column],
                      RecordRows::cellText(shown, rows.blockLineOf(row), row, column))
                << row << "," << column;
    EXPECT_EQ("", RecordRows::cellText(shown, -1, 5, 1));
    EXPECT_EQ("", RecordRows::cellText(shown, 1, 1, 4));
}

TEST(RecordRows, CellTextOfALongLineIsWhole) {
    ShownTitle shown;
    const std::string question(5000, 'q');
    shown.lines = {"tTitle\tT", "11\t" + question + "\ta\tr\t0"};
    RecordRows rows;
    rows.read(shown);
    EXPECT_EQ(question, RecordRows::cellText(shown, rows.blockLineOf(1), 1, 1));
}

TEST(ColumnWidths, ThirdsAndTheRest) {
    struct Case {
        int width;
        RecordColumnWidths expected;
    };
    for (const Case& c : {Case{300, {25, 100, 100, 75}}, Case{361, {25, 120, 120, 96}},
                          Case{60, {25, 20, 20, 0}}, Case{0, {25, 0, 0, 0}}, Case{-5, {25, 0, 0, 0}}}) {
        RecordColumnWidths w = recordColumnWidths(c.width);
        EXPECT_EQ(c.expected.number, w.number) << c.width;
        EXPECT_EQ(c.expected.question, w.question) << c.width;
        EXPECT_EQ(c.expected.answer, w.answer) << c.width;
        EXPECT_EQ(c.expected.reference, w.reference) << c.width;
    }
    EXPECT_EQ(50, referenceColumnWidth(400, 25, 225, 100));
    EXPECT_EQ(0, referenceColumnWidth(400, 25, 400, 100));
}

TEST(RecentMenus, ExactCaseExtensionsOnly) {
    const std::vector<std::string> settings = {"0\t0\t0\t0\t0\t0\t0",
                                               "/d/a.txt",
                                               "/d/b.TXT",
                                               "/d/c.Txt",
                                               "/d/d.tXT",
                                               "/d/e.pdb",
                                               "/d/f.PDB",
                                               "/d/g.Pdb",
                                               "/d.txt/noext",
                                               "",
                                               "/d/past-line-10.txt"};
    RecentMenus menus = BuildRecentMenus(settings);
    const std::vector<std::string> text = {"/d/a.txt", "/d/b.TXT"};
    EXPECT_EQ(text, menus.text);
    EXPECT_EQ(text, menus.import);
    EXPECT_EQ((std::vector<std::string>{"/d/e.pdb", "/d/f.PDB"}), menus.pdb);
}

TEST(RecentMenus, LineOneIsNeverAnEntry) {
    RecentMenus menus = BuildRecentMenus({"/d/quiz.txt", "/d/a.pdb"});
    EXPECT_TRUE(menus.text.empty());
    EXPECT_EQ(std::vector<std::string>{"/d/a.pdb"}, menus.pdb);
    EXPECT_TRUE(BuildRecentMenus({}).pdb.empty());
}

TEST(RecentMenus, NineEntriesAtMost) {
    std::vector<std::string> settings = {""};
    for (int i = 0; i < 12; ++i)
        settings.push_back("/d/" + std::to_string(i) + ".txt");
    RecentMenus menus = BuildRecentMenus(settings);
    ASSERT_EQ(9u, menus.text.size());
    EXPECT_EQ("/d/0.txt", menus.text.front());
    EXPECT_EQ("/d/8.txt", menus.text.back());
}

} // namespace
} // namespace rovik
