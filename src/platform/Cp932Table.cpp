#include "platform/Cp932Table.h"

#include <array>
#include <cstddef>

namespace rovik {
namespace {

struct CodeOf {
    std::uint16_t character;
    std::uint16_t code;
};

// Generated from iconv's CP932 (tests/platform/make_cp932_codes); a test compares it with the
// codec on every build.
constexpr CodeOf kCodes[] = {
#include "platform/Cp932Codes.inc"
};

// Text written on Linux or macOS holds the JIS forms of these Shift-JIS characters; CP932 reads
// the codes back as Windows' forms (～ － ∥ ￠ ￡ ￢ ― and the backslash), so they map one way.
constexpr CodeOf kJisForms[kJisFormCount] = {
    {0x301C, 0x8160}, // 〜 wave dash
    {0x2212, 0x817C}, // − minus sign
    {0x00A5, 0x005C}, // ¥ yen sign
    {0x2016, 0x8161}, // ‖ double vertical line
    {0x00A2, 0x8191}, // ¢
    {0x00A3, 0x8192}, // £
    {0x00AC, 0x81CA}, // ¬
    {0x2014, 0x815C}, // — em dash
};

constexpr std::array<std::uint16_t, 0x10000> makeTable() {
    std::array<std::uint16_t, 0x10000> table{};
    for (std::size_t c = 0; c < table.size(); ++c)
        table[c] = c < 0x80 ? static_cast<std::uint16_t>(c) : kNoCp932Code;
    for (const CodeOf& entry : kCodes)
        table[entry.character] = entry.code;
    return table;
}

// Only codes that read back as their character; the JIS forms are looked up beside it, so the
// fast path of conversion meets them as exceptions and can note where the file used them.
// Built by the compiler: no process pays for it.
constexpr std::array<std::uint16_t, 0x10000> kTable = makeTable();

} // namespace

const std::uint16_t* cp932RoundTripTable() {
    return kTable.data();
}

std::uint16_t cp932CodeOf(char32_t codePoint) {
    if (codePoint >= 0x10000) return kNoCp932Code;
    if (kTable[codePoint] != kNoCp932Code) return kTable[codePoint];
    const int jis = jisFormIndex(codePoint);
    return jis < 0 ? kNoCp932Code : kJisForms[jis].code;
}

int jisFormIndex(char32_t codePoint) {
    for (std::size_t i = 0; i < kJisFormCount; ++i)
        if (kJisForms[i].character == codePoint) return static_cast<int>(i);
    return -1;
}

int jisFormIndexOfCode(std::uint16_t code) {
    for (std::size_t i = 0; i < kJisFormCount; ++i)
        if (kJisForms[i].code == code) return static_cast<int>(i);
    return -1;
}

char32_t jisFormCharacter(int index) {
    return kJisForms[index].character;
}

} // namespace rovik
