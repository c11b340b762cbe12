#include "pdb/Pdbcommon.h"

#include <ctime>

namespace rovik {
namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool fits(const std::string& bytes, std::size_t offset, std::size_t size) {
    return offset <= bytes.size() && bytes.size() - offset >= size;
}

std::uint8_t byteAt(const std::string& bytes, std::size_t i) {
    return static_cast<std::uint8_t>(bytes[i]);
}

} // namespace

void putU16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xFF);
}

void putU32(std::string& out, std::uint32_t v) {
    putU16(out, static_cast<std::uint16_t>(v >> 16));
    putU16(out, static_cast<std::uint16_t>(v & 0xFFFF));
}

void setU32At(std::string& out, std::size_t offset, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[offset + static_cast<std::size_t>(i)] = static_cast<char>(v >> (24 - 8 * i));
}

bool readU16(const std::string& bytes, std::size_t offset, std::uint16_t& v) {
    if (!fits(bytes, offset, 2)) return false;
    v = static_cast<std::uint16_t>(byteAt(bytes, offset) << 8 | byteAt(bytes, offset + 1));
    return true;
}

bool readU32(const std::string& bytes, std::size_t offset, std::uint32_t& v) {
    if (!fits(bytes, offset, 4)) return false;
    v = static_cast<std::uint32_t>(byteAt(bytes, offset)) << 24 |
        static_cast<std::uint32_t>(byteAt(bytes, offset + 1)) << 16 |
        static_cast<std::uint32_t>(byteAt(bytes, offset + 2)) << 8 | byteAt(bytes, offset + 3);
    return true;
}

std::uint32_t palmDateOfDay(int year, int month, int day) {
    const std::int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                              daysFromCivil(1904, 1, 1);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(days * 86400));
}

std::uint32_t palmDateToday() {
    // Converting to local time walks the time zone rules each call; the answer holds until the
    // next local midnight, so remember it for that long.
    static std::time_t validFrom = 0;
    static std::time_t validUntil = 0;
    static std::uint32_t today = 0;
    std::time_t now = std::time(nullptr);
    if (now >= validFrom && now < validUntil) return today;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    today = palmDateOfDay(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    std::tm midnight = local;
    midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
    midnight.tm_isdst = -1;
    std::tm nextMidnight = midnight;
    ++nextMidnight.tm_mday;
    validFrom = std::mktime(&midnight);
    validUntil = std::mktime(&nextMidnight);
    if (validFrom == -1 || validUntil == -1) validFrom = validUntil = 0; // nothing to remember
    return today;
}

} // namespace rovik
