#include "platform/Cp932AnswerTable.h"
#include "platform/Cp932Reference.h"
#include "platform/Cp932Table.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>

namespace rovik {
namespace {

// The built-in table against this build's codec, code by code: the same codes, and besides them
// exactly the eight JIS forms, one way.
TEST(Cp932_Table, BuiltInTableIsTheCodecsAnswersPlusTheJisForms) {
    const std::vector<std::uint16_t> reference = test::referenceCp932Codes();
    const std::pair<char32_t, std::uint16_t> jisForms[] = {
        {U'〜', 0x8160}, {U'−', 0x817C}, {U'¥', 0x005C}, {U'‖', 0x8161},
        {U'¢', 0x8191},  {U'£', 0x8192}, {U'¬', 0x81CA}, {U'—', 0x815C},
    };
    int differences = 0;
    for (char32_t c = 0; c < 0x10000; ++c) {
        std::uint16_t expected = reference[c];
        for (const auto& [character, code] : jisForms)
            if (c == character) expected = code;
        if (cp932CodeOf(c) != expected && ++differences <= 20)
            ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(c) << ": " << cp932CodeOf(c)
                          << " instead of " << expected;
        // The table conversion runs on reads only the codes that read back.
        const std::uint16_t roundTrip = cp932RoundTripTable()[c];
        if (roundTrip != reference[c] && ++differences <= 20)
            ADD_FAILURE() << std::hex << "round trip U+" << static_cast<unsigned>(c);
    }
    EXPECT_EQ(0, differences);
    // ASCII, 63 half-width katakana and the double-byte characters of code page 932.
    EXPECT_EQ(0xB1, cp932CodeOf(U'ｱ'));
    EXPECT_EQ(0x8160, cp932CodeOf(U'～'));
    EXPECT_EQ(kNoCp932Code, cp932CodeOf(0x1F600));
    EXPECT_EQ(kNoCp932Code, cp932CodeOf(U'ü'));
}

} // namespace
} // namespace rovik

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
