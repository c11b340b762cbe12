// The sample data shipped in resources/start: the file a first-time user drills at once, so it
// must be valid QA text in every respect the loaders and the handheld check.
#include "data/Common.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "platform/Cp932.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>

namespace rovik {
namespace {

// ROVIK_FIXTURES is <source>/tests/fixtures; the shipped files lie in <source>/resources/start.
const std::string kSamplePath = std::string(ROVIK_FIXTURES) + "/../../resources/start/SampleQA.TXT";

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of the file, split at CR LF only (the test for lone CR or LF is separate).
std::vector<std::string> crLfLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

bool isCodeDigit(char c) {
    return (c >= '1' && c <= '9') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

struct Title {
    std::string name;
    int categoryA = 0;
    int categoryB = 0;
    int records = 0;
    std::set<int> codesA;
};

struct SampleDataTest : ::testing::Test {
    void SetUp() override {
        bytes = readBytes(kSamplePath);
        ASSERT_FALSE(bytes.empty()) << kSamplePath;
        lines = crLfLines(bytes);
    }
    std::vector<Title> titles() const {
        std::vector<Title> result;
        for (const auto& line : lines) {
            if (beginsWith(line, "tTitle")) {
                result.emplace_back();
                result.back().name = ItemText(line, kTab, 2);
            } else if (result.empty() || beginsWith(line, "//"))
                continue;
            else if (beginsWith(line, "dBunrui"))
                ++result.back().categoryA;
            else if (beginsWith(line, "sBunrui"))
                ++result.back().categoryB;
            else {
                ++result.back().records;
                result.back().codesA.insert(hexValue(line[0]));
            }
        }
        return result;
    }
    std::string bytes;
    std::vector<std::string> lines;
};

TEST_F(SampleDataTest, SampleData_PassesValidation) {
    test::TempFolder folder;
    QuestionSet set;
    set.loadingBuffer = splitTextLines(bytes);
    EXPECT_EQ(0, Validate(set, 1, 0, folder.file("ErrorLog.txt")));
    EXPECT_EQ("", test::TempFolder::read(folder.file("ErrorLog.txt")));
    EXPECT_EQ(std::vector<std::string>{}, validationLog(lines, 1, 0));
}

TEST_F(SampleDataTest, SampleData_EveryLineEndsInCrLf) {
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ("\r\n", bytes.substr(bytes.size() - 2));
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            EXPECT_EQ('\n', bytes[i + 1]) << "lone CR at byte " << i;
        } else if (bytes[i] == '\n') {
            EXPECT_EQ('\r', bytes[i - 1]) << "lone LF at byte " << i;
        }
    }
    EXPECT_EQ(std::string::npos, bytes.find('\0'));
    EXPECT_EQ(splitTextLines(bytes), lines);
}

TEST_F(SampleDataTest, SampleData_IsCp932WithoutHalfWidthKana) {
    const std::string utf8 = cp932ToUtf8(bytes);
    EXPECT_EQ(std::string::npos, utf8.find("\xEF\xBF\xBD")) << "bytes that are not CP932";
    const Cp932Encoding back = utf8ToCp932(utf8);
    EXPECT_TRUE(back.ok()) << back.unmappable;
    EXPECT_EQ(bytes, back.bytes);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(0, HasHalfWidthKana(lines[i])) << "line " << i + 1;
}

TEST_F(SampleDataTest, SampleData_HeaderLinesAreComplete) {
    int titleCount = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (beginsWith(line, "tTitle")) {
            ++titleCount;
            EXPECT_EQ(4, CountItems(line, kTab)) << "line " << i + 1;
            EXPECT_EQ("tTitle", ItemText(line, kTab, 1)) << "line " << i + 1;
            EXPECT_FALSE(ItemText(line, kTab, 2).empty()) << "line " << i + 1;
            EXPECT_EQ("3", ItemText(line, kTab, 3)) << "line " << i + 1;
            EXPECT_EQ("3", ItemText(line, kTab, 4)) << "line " << i + 1;
        } else if (beginsWith(line, "dBunrui") || beginsWith(line, "sBunrui")) {
            EXPECT_EQ(2, CountItems(line, kTab)) << "line " << i + 1;
            EXPECT_FALSE(ItemText(line, kTab, 2).empty()) << "line " << i + 1;
        }
    }
    EXPECT_GE(titleCount, 1);
    EXPECT_LE(titleCount, 15);
}

TEST_F(SampleDataTest, SampleData_RecordsPassTheHandheldLimits) {
    int records = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        EXPECT_LE(line.size(), 306u) << "line " << i + 1;
        if (beginsWith(line, "tTitle") || beginsWith(line, "dBunrui") || beginsWith(line, "sBunrui") ||
            beginsWith(line, "//"))
            continue;
        ++records;
        EXPECT_EQ(5, CountItems(line, kTab)) << "line " << i + 1;
        EXPECT_EQ("0", ItemText(line, kTab, 5)) << "line " << i + 1;
        const std::string code = ItemText(line, kTab, 1);
        ASSERT_EQ(2u, code.size()) << "line " << i + 1;
        EXPECT_TRUE(isCodeDigit(code[0])) << "line " << i + 1;
        EXPECT_TRUE(code[1] == '0' || isCodeDigit(code[1])) << "line " << i + 1;
        EXPECT_FALSE(ItemText(line, kTab, 2).empty()) << "line " << i + 1;
        EXPECT_FALSE(ItemText(line, kTab, 3).empty()) << "line " << i + 1;
    }
    EXPECT_GE(records, 30);
}

TEST_F(SampleDataTest, SampleData_RecordsNameCategoriesOfTheirTitle) {
    std::vector<Title> all = titles();
    int titleIndex = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (beginsWith(line, "tTitle")) ++titleIndex;
        if (titleIndex < 0 || beginsWith(line, "tTitle") || beginsWith(line, "dBunrui") ||
            beginsWith(line, "sBunrui") || beginsWith(line, "//"))
            continue;
        const Title& title = all[static_cast<size_t>(titleIndex)];
        EXPECT_LE(hexValue(line[0]), title.categoryA) << "line " << i + 1;
        EXPECT_LE(hexValue(line[1]), title.categoryB) << "line " << i + 1;
    }
    for (const Title& title : all) {
        EXPECT_GE(title.categoryA, 2) << cp932ToUtf8(title.name);
        EXPECT_GE(title.categoryB, 2) << cp932ToUtf8(title.name);
        EXPECT_GE(title.codesA.size(), 2u) << cp932ToUtf8(title.name);
    }
}

TEST_F(SampleDataTest, SampleData_OneTitleHoldsThirtyQuestions) {
    int most = 0;
    for (const Title& title : titles())
        most = std::max(most, title.records);
    EXPECT_GE(most, 30);
}

// The quiz finds titles and header lines by their keywords anywhere in a line, and the data list
// window counts header lines from the top of a block: keep both readings the same.
TEST_F(SampleDataTest, SampleData_ReadsTheSameInTheQuizAndTheDataList) {
    bool inRecords = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const bool header =
            beginsWith(line, "tTitle") || beginsWith(line, "dBunrui") || beginsWith(line, "sBunrui");
        if (beginsWith(line, "//")) {
            EXPECT_EQ(-99, ClassifyQuizLine(line + "\n"));
            continue;
        }
        EXPECT_EQ(0, ClassifyQuizLine(line + "\n")) << "line " << i + 1;
        if (!header) {
            for (const char* keyword : {"tTitle", "dBunrui", "sBunrui"})
                EXPECT_EQ(std::string::npos, line.find(keyword)) << "line " << i + 1;
        }
        if (beginsWith(line, "tTitle")) {
            inRecords = false;
        } else if (header) {
            EXPECT_FALSE(inRecords) << "category line after a record, line " << i + 1;
        } else {
            inRecords = true;
        }
    }
}

TEST_F(SampleDataTest, SampleData_CommentsStandOnlyBeforeTheFirstTitle) {
    bool seenTitle = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (beginsWith(lines[i], "tTitle")) seenTitle = true;
        if (seenTitle) {
            EXPECT_FALSE(beginsWith(lines[i], "//")) << "line " << i + 1;
        }
    }
}

} // namespace
} // namespace rovik
