#pragma once
// Unicode -> CP932 by table, built once from the platform's CP932 codec: fast enough for whole
// files, and strict, since only a code that reads back as the same character is ever given.
#include <cstdint>

namespace rovik {

constexpr std::uint16_t kNoCp932Code = 0xFFFF;

// The CP932 code of a character (one byte below 0x100, else lead byte * 256 + trail byte), or
// kNoCp932Code when CP932 holds no code that reads back as exactly this character.
std::uint16_t cp932CodeOf(char32_t codePoint);

// The same for every character of the Basic Multilingual Plane at once: 0x10000 entries.
const std::uint16_t* cp932Table();

} // namespace rovik
