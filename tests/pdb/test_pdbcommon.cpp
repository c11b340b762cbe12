#include "pdb/Pdbcommon.h"

#include <gtest/gtest.h>

#include <ctime>

namespace rovik {
namespace {

TEST(Pdbcommon_Put, WritesMostSignificantByteFirst) {
    std::string out;
    putU16(out, 0x1234);
    putU32(out, 0x89ABCDEF);
    EXPECT_EQ(std::string("\x12\x34\x89\xAB\xCD\xEF"), out);
    setU32At(out, 1, 0x01020304);
    EXPECT_EQ(std::string("\x12\x01\x02\x03\x04\xEF"), out);
}

TEST(Pdbcommon_Read, FailsOnAShortReadAndLeavesTheValue) {
    const std::string bytes("\x00\x4E\xFF\x80\x00\x01", 6);
    std::uint16_t v16 = 7;
    std::uint32_t v32 = 7;
    EXPECT_TRUE(readU16(bytes, 0, v16));
    EXPECT_EQ(0x004E, v16);
    EXPECT_TRUE(readU16(bytes, 4, v16));
    EXPECT_EQ(0x0001, v16);
    EXPECT_TRUE(readU32(bytes, 2, v32));
    EXPECT_EQ(0xFF800001u, v32);
    const std::size_t bad16[] = {5, 6, 7, static_cast<std::size_t>(-1), static_cast<std::size_t>(-2)};
    for (std::size_t offset : bad16) {
        v16 = 7;
        EXPECT_FALSE(readU16(bytes, offset, v16)) << offset;
        EXPECT_EQ(7, v16);
    }
    const std::size_t bad32[] = {3, 6, 100, static_cast<std::size_t>(-3)};
    for (std::size_t offset : bad32) {
        v32 = 7;
        EXPECT_FALSE(readU32(bytes, offset, v32)) << offset;
        EXPECT_EQ(7u, v32);
    }
}

TEST(Pdbcommon_Date, CountsWholeDaysSince1904) {
    EXPECT_EQ(0u, palmDateOfDay(1904, 1, 1));
    EXPECT_EQ(86400u, palmDateOfDay(1904, 1, 2));
    EXPECT_EQ(366u * 86400u, palmDateOfDay(1905, 1, 1)); // 1904 is a leap year
    EXPECT_EQ(2082844800u, palmDateOfDay(1970, 1, 1));
    EXPECT_EQ(0xE73E4A80u, palmDateOfDay(2026, 12, 9));
    EXPECT_EQ(0x0000F680u, palmDateOfDay(2040, 2, 7)); // past 2^32 seconds the value wraps
}

TEST(Pdbcommon_Date, TodayIsTheStartOfTheLocalDay) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    std::uint32_t expected = palmDateOfDay(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    std::uint32_t today = palmDateToday();
    EXPECT_TRUE(today == expected || today == expected + 86400u); // midnight may pass in between
    EXPECT_EQ(0u, today % 86400u);
}

} // namespace
} // namespace rovik
