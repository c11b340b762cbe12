#pragma once
// Conversion between CP932 (Shift-JIS as Windows writes it) bytes and UTF-8.
#include <string>

namespace rovik {

// CP932 bytes -> UTF-8. Bytes that are not valid CP932 become U+FFFD; never fails.
std::string cp932ToUtf8(const std::string& cp932);

struct Cp932Encoding {
    std::string bytes;      // the CP932 text (characters that could not be held are left out)
    std::string unmappable; // UTF-8 characters CP932 cannot hold, in order, without repeats
    bool ok() const { return unmappable.empty(); }
};

// UTF-8 -> CP932. Characters CP932 cannot hold are reported in `unmappable`, never replaced by "?".
Cp932Encoding utf8ToCp932(const std::string& utf8);

// UTF-8 -> CP932 for program texts known to be representable (messages written into files).
std::string toCp932(const std::string& utf8);

} // namespace rovik
