#pragma once
// Every answer of the CP932 codec as text lines, so that two builds of it can be compared through a
// file: "D <CP932 bytes> <UTF-8 bytes>" for each single byte and each lead byte with each second
// byte, "E <code point> <CP932 bytes or ->" for each character of the Basic Multilingual Plane and
// a few beyond it. Bytes are written in hex.
#include "platform/Cp932.h"

#include <cstdio>
#include <string>
#include <vector>

namespace rovik::test {

inline std::string hexBytes(const std::string& bytes) {
    std::string out;
    char digits[3];
    for (unsigned char c : bytes) {
        std::snprintf(digits, sizeof digits, "%02X", c);
        out += digits;
    }
    return out.empty() ? "-" : out;
}

inline std::string utf8Of(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

inline bool isLeadByteOf932(int b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

inline std::vector<std::string> cp932TableLines() {
    std::vector<std::string> lines;
    auto decoded = [&lines](const std::string& bytes) {
        lines.push_back("D " + hexBytes(bytes) + " " + hexBytes(cp932ToUtf8(bytes)));
    };
    for (int b = 0; b < 0x100; ++b) {
        decoded(std::string(1, static_cast<char>(b)));
        if (!isLeadByteOf932(b)) continue;
        for (int t = 0; t < 0x100; ++t)
            decoded(std::string{static_cast<char>(b), static_cast<char>(t)});
    }
    auto encoded = [&lines](char32_t c) {
        Cp932Encoding e = utf8ToCp932(utf8Of(c));
        char point[16];
        std::snprintf(point, sizeof point, "%04X", static_cast<unsigned>(c));
        lines.push_back(std::string("E ") + point + " " + (e.ok() ? hexBytes(e.bytes) : "unmappable"));
    };
    for (char32_t c = 0; c < 0x10000; ++c)
        if (c < 0xD800 || c > 0xDFFF) encoded(c);
    for (char32_t c : {U'\U00010000', U'\U0001F600', U'\U00020B9F', U'\U0010FFFF'})
        encoded(c);
    return lines;
}

} // namespace rovik::test
