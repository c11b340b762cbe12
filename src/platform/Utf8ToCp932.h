#pragma once
// UTF-8 file bytes to the CP932 bytes every rule counts, strictly: a character CP932 cannot hold
// exactly (so that it would read back as itself) is listed, never replaced.
#include "platform/TextEncoding.h"

#include <cstddef>
#include <string>
#include <vector>

namespace rovik {

// The strict UTF-8 sequence at p (no overlong forms, surrogates or values past U+10FFFF): its
// length, or 0 when the bytes there are not one.
std::size_t utf8SequenceAt(const unsigned char* p, std::size_t left, char32_t& c);

// A character of the Basic Multilingual Plane as UTF-8.
std::string utf8Of(char32_t c);

// True when bytes[0, end) are valid UTF-8 holding at least one multi-byte sequence.
bool isUtf8WithMultiByte(const std::string& bytes, std::size_t end);

struct Utf8Conversion {
    bool utf8 = true;       // false: detecting, a byte was not UTF-8, and the bytes are as they were
    bool multiByte = false; // a character beyond ASCII was met
    std::vector<UnmappableCharacter> unmappable;
    std::vector<JisFormAt> jisForms; // in order
};

// Converts bytes[from, end) to CP932 in place and, when they are taken as UTF-8, cuts the bytes to
// the converted text. With `detecting`, the first byte that is not UTF-8 stops it and the bytes
// are put back as they were, and pure ASCII is left whole; otherwise such bytes are listed as
// broken.
Utf8Conversion convertUtf8ToCp932InPlace(std::string& bytes, std::size_t from, std::size_t end,
                                         bool detecting);

} // namespace rovik
