#pragma once
// Unicode -> CP932 as the platform's codec answers it, code by code: the reference the program's
// built-in table is generated from (make_cp932_codes) and compared with (test_cp932_table).
#include "platform/Cp932AnswerTable.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rovik::test {

constexpr std::uint16_t kNoCode = 0xFFFF;

inline std::string bytesOfCode(std::uint16_t code) {
    if (code < 0x100) return std::string(1, static_cast<char>(code));
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// The one code point of a short UTF-8 text; 0 when it is not exactly one character of U+0080 to
// U+FFFF.
inline char32_t singleCodePointOf(const std::string& utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const std::size_t n = utf8.size();
    if (n == 2 && (p[0] & 0xE0) == 0xC0) return (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
    if (n == 3 && (p[0] & 0xF0) == 0xE0) return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
    return 0;
}

// Every character of the Basic Multilingual Plane with the CP932 code that reads back as exactly
// it (kNoCode when none does). A character with two codes (NEC and IBM extensions) takes the
// code the codec itself writes for it.
inline std::vector<std::uint16_t> referenceCp932Codes() {
    std::vector<std::uint16_t> table(0x10000, kNoCode);
    for (char32_t c = 0; c < 0x80; ++c)
        table[c] = static_cast<std::uint16_t>(c);
    std::vector<std::uint16_t> codes;
    for (unsigned b = 0x80; b <= 0xFF; ++b)
        if (!isLeadByteOf932(b)) codes.push_back(static_cast<std::uint16_t>(b));
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
        if (!isLeadByteOf932(lead)) continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
            if (trail != 0x7F) codes.push_back(static_cast<std::uint16_t>(lead << 8 | trail));
    }
    // One call decodes every code: a line feed after each keeps them apart, and an undecodable
    // code becomes a single U+FFFD.
    std::string all;
    for (std::uint16_t code : codes)
        all += bytesOfCode(code) + "\n";
    const std::string decoded = cp932ToUtf8(all);
    std::map<char32_t, std::vector<std::uint16_t>> codesOf;
    std::size_t start = 0;
    for (std::uint16_t code : codes) {
        const std::size_t end = decoded.find('\n', start);
        if (end == std::string::npos) break;
        const char32_t c = singleCodePointOf(decoded.substr(start, end - start));
        if (c >= 0x80 && c != 0xFFFD) codesOf[c].push_back(code);
        start = end + 1;
    }
    for (const auto& [c, found] : codesOf) {
        table[c] = found.front();
        if (found.size() == 1) continue;
        const std::string preferred = utf8ToCp932(utf8Of(c)).bytes;
        for (std::uint16_t code : found)
            if (bytesOfCode(code) == preferred) table[c] = code;
    }
    return table;
}

} // namespace rovik::test
