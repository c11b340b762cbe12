#pragma once
// Unicode -> CP932 by a table built into the program: fast enough for whole files, and strict,
// since only a code that reads back as the same character is given, besides the JIS forms of
// eight Shift-JIS characters (〜 − ¥ ‖ ¢ £ ¬ —), which map one way.
#include <cstddef>
#include <cstdint>

namespace rovik {

constexpr std::uint16_t kNoCp932Code = 0xFFFF;
constexpr std::size_t kJisFormCount = 8;

// The CP932 code of a character (one byte below 0x100, else lead byte * 256 + trail byte), or
// kNoCp932Code when CP932 holds no code for it. The JIS forms give the code of Windows' form.
std::uint16_t cp932CodeOf(char32_t codePoint);

// Every character of the Basic Multilingual Plane at once (0x10000 entries), only with the codes
// that read back as exactly that character: the JIS forms are kNoCp932Code here.
const std::uint16_t* cp932RoundTripTable();

// The JIS forms by index (0 to kJisFormCount - 1): the index of a character or of its CP932 code,
// or -1; and the character of an index.
int jisFormIndex(char32_t codePoint);
int jisFormIndexOfCode(std::uint16_t code);
char32_t jisFormCharacter(int index);

} // namespace rovik
