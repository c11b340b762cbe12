#pragma once
// Text utilities over Shift-JIS (CP932) byte strings. Every reader takes the items of a line
// with these; nothing parses lines into objects.
#include <cstdint>
#include <string>

namespace rovik {

constexpr char kTab = '\t';

// Item n (from 1) of `text` split at `separator`. A line feed ends the last item; in a text without
// line feed an item is found only when a separator follows it (callers rely on that).
// Returns 0, or -n when the text has fewer than n items (the buffer is then empty).
int ItemOf(const std::string& text, std::string& buffer, char separator, int n);

// Item n of `text` (a line feed is appended first); empty when missing.
std::string ItemText(const std::string& text, char separator, int n);

// Number of separator bytes plus one; the empty text has one item.
int CountItems(const std::string& text, char separator);

// True when a and b form one Shift-JIS double-byte character.
bool IsDoubleByte(unsigned char a, unsigned char b);

// The text with every half-width katakana character replaced by its full-width form
// (voiced and semi-voiced pairs combined).
std::string ToFullWidthKana(const std::string& text);

// 1 when the text holds a half-width katakana character (outside double-byte characters), else 0.
int HasHalfWidthKana(const std::string& text);

// Size of the file in bytes; -1 when it cannot be opened.
std::int64_t FileSize(const std::string& path);

// The file name without folders ("\" or "/") and without everything from its first "." on.
// Works on CP932 bytes: a trail byte 0x5C is never taken for a separator.
std::string BaseName(const std::string& path);

// True when `text` begins with `prefix`.
inline bool beginsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

} // namespace rovik
