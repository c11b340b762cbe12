#include "data/Loading.h"
#include "data/QuestionSet.h"
#include "data/TextReading.h"
#include "pdb/PdbReader.h"
#include "pdb/PdbWriter.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

// ROVIK_FIXTURES is <source>/tests/fixtures; the shipped files lie in <source>/resources/start.
const std::string kSamplePath = std::string(ROVIK_FIXTURES) + "/../../resources/start/SampleQA.TXT";

std::string pdbOf(const std::string& path) {
    QuestionSet set;
    TextRead read = readQaText(path);
    EXPECT_EQ(TextReadStatus::Ok, read.status) << path;
    set.loadingBuffer = std::move(read.lines);
    FixHalfWidthKana(set);
    return buildPdbImage(set.loadingBuffer, "SampleQA", 0xC0000000u).bytes;
}

TEST(PdbFromUtf8, Utf8AndCp932VersionsGiveByteIdenticalDatabases) {
    std::string cp932;
    ASSERT_TRUE(readWholeFile(kSamplePath, cp932));
    test::TempFolder folder;
    const std::string utf8 = cp932ToUtf8(cp932);
    ASSERT_EQ(std::string::npos, utf8.find("\xEF\xBF\xBD"));
    const std::string expected = pdbOf(kSamplePath);
    ASSERT_GT(expected.size(), 1000u);
    EXPECT_EQ(expected, pdbOf(folder.write("u.txt", utf8)));
    EXPECT_EQ(expected, pdbOf(folder.write("b.txt", "\xEF\xBB\xBF" + utf8)));
    // Half-width katakana too: fixed the same way from either encoding.
    EXPECT_EQ(pdbOf(folder.write("k1.txt", "tTitle\t\xB6\xC5\t3\t3\r\n")),
              pdbOf(folder.write("k2.txt", "tTitle\tｶﾅ\t3\t3\r\n")));
}

} // namespace
} // namespace rovik
