#include "platform/Cp932AnswerTable.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

// The Windows codec is compared with the iconv one's table; one build of iconv has nothing to
// compare with.
#ifdef _WIN32
namespace rovik {
namespace {

// The table another build of the codec wrote (the iconv one, when the Windows build is tested):
// ROVIK_CP932_TABLE names it.
std::vector<std::string> tableFromFile(const char* path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Cp932_Table, AgreesWithTheOtherBuildInBothDirections) {
    const char* path = std::getenv("ROVIK_CP932_TABLE");
    if (!path || !*path) GTEST_SKIP() << "ROVIK_CP932_TABLE names no table to compare with";
    const std::vector<std::string> theirs = tableFromFile(path);
    const std::vector<std::string> ours = test::cp932TableLines();
    ASSERT_EQ(ours.size(), theirs.size()) << path;
    std::vector<std::string> differences;
    for (size_t i = 0; i < ours.size(); ++i)
        if (ours[i] != theirs[i])
            differences.push_back(theirs[i] + " | here " + ours[i].substr(ours[i].rfind(' ') + 1));
    for (const auto& d : differences)
        ADD_FAILURE() << d;
}

} // namespace
} // namespace rovik
#endif
