#pragma once
// The one encoding decision for QA text files people write, and the conversions on each side of
// it: a UTF-8 file becomes the CP932 bytes every rule counts, and is written back as UTF-8.
#include "platform/Cp932.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace rovik {

enum class TextEncoding { Cp932, Utf8, Utf8WithBom };
// What a reader is told: decide from the bytes, or take them as the one encoding named.
enum class EncodingChoice { Auto, Cp932, Utf8 };

// A byte order mark means UTF-8; otherwise valid UTF-8 holding a multi-byte sequence is UTF-8;
// anything else is CP932. Only the bytes before a zero byte count, as for reading lines.
TextEncoding detectTextEncoding(const std::string& bytes);

// A character of a UTF-8 text that CP932 cannot hold, or a byte that is not UTF-8 at all.
struct UnmappableCharacter {
    std::size_t line = 0;  // from 1; CR LF, LF and a lone CR end a line
    std::string character; // its UTF-8 bytes, or the one broken byte
    char32_t codePoint = 0;
    bool broken = false; // not UTF-8 (only when UTF-8 was chosen rather than detected)
};

struct DecodedText {
    std::string cp932; // the text as CP932 bytes; empty when something could not be held
    TextEncoding encoding = TextEncoding::Cp932;
    std::vector<UnmappableCharacter> unmappable; // every occurrence, in order
    bool ok() const { return unmappable.empty(); }
};

// File bytes -> CP932 bytes. UTF-8 loses its byte order mark and is converted, stopping at a zero
// byte; CP932 is passed through untouched. A character CP932 cannot hold exactly (so that it
// would read back as itself) is listed, never replaced.
DecodedText decodeText(std::string bytes, EncodingChoice choice);

// CP932 bytes -> the bytes of a file in `encoding` (with the byte order mark for Utf8WithBom).
// False when they hold bytes that are not CP932 and so could not be written as UTF-8 unchanged.
bool encodeText(const std::string& cp932, TextEncoding encoding, std::string& out);

// A file name as CP932: one that is not UTF-8 is taken as the Shift-JIS bytes it already is (a
// name from an old archive); a UTF-8 one is converted, leaving out what CP932 cannot hold.
Cp932Encoding fileNameToCp932(const std::string& name);

// True when the bytes are UTF-8 throughout (strictly, as utf8SequenceAt reads it); ASCII is too.
bool isValidUtf8(const std::string& bytes);

// A text of a file that may be either, as UTF-8: valid UTF-8 as it is, anything else read as CP932.
// Nothing when it is neither (a byte CP932 has no character for).
std::optional<std::string> utf8OrCp932ToUtf8(const std::string& bytes);

// UTF-16LE bytes (no byte order mark) as UTF-8; nothing for an odd length or an unpaired surrogate.
std::optional<std::string> utf16leToUtf8(const std::string& bytes);

// A text file of ours (the error log) for display: UTF-8 after a byte order mark, else CP932.
std::string fileTextToUtf8(const std::string& bytes);

// "Shift-JIS", "UTF-8" or "UTF-8 (BOM付き)".
const char* encodingName(TextEncoding encoding);

} // namespace rovik
