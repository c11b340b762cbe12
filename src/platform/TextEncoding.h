#pragma once
// The one encoding decision for QA text files people write, and the conversions on each side of
// it: a UTF-8 file becomes the CP932 bytes every rule counts, and is written back as UTF-8.
#include "platform/Cp932.h"

#include <cstddef>
#include <optional>
#include <string>
#include <unordered_map>
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

// A character a UTF-8 text wrote in its JIS form (〜 − ¥ ‖ ¢ £ ¬ —), which CP932 holds only in
// Windows' form (～ － \ ∥ ￠ ￡ ￢ ―), and where its code stands in the converted text.
struct JisFormAt {
    std::size_t at = 0;
    char32_t character = 0;
};

// How a UTF-8 file wrote the characters that have two forms, so that a text save gives the file
// back as the user wrote it: lines that were not changed come back exactly as they were read,
// other lines take the form the file used.
struct Utf8Forms {
    // A CP932 line as read that held JIS forms -> for each line that reads as it, in file order,
    // the byte offsets of the characters that line wrote in JIS form (none for one written all in
    // Windows' forms).
    std::unordered_map<std::string, std::vector<std::vector<std::size_t>>> jisLines;
    unsigned jisOnly = 0; // bit i: the file wrote JIS form i (see Cp932Table.h), never Windows' form

    bool empty() const { return jisLines.empty() && jisOnly == 0; }
    // Takes in the forms of another file read into the same data.
    void add(Utf8Forms other);
    // Takes in the forms of a file that replaced the data. The lines of the files before are
    // still known, so that an undo that brings them back brings back their forms too.
    void replace(Utf8Forms other);
};

struct DecodedText {
    std::string cp932; // the text as CP932 bytes; empty when something could not be held
    TextEncoding encoding = TextEncoding::Cp932;
    std::vector<UnmappableCharacter> unmappable; // every occurrence, in order
    std::vector<JisFormAt> jisForms;             // in order
    bool ok() const { return unmappable.empty(); }
};

// File bytes -> CP932 bytes. UTF-8 loses its byte order mark and is converted, stopping at a zero
// byte; CP932 is passed through untouched. A character CP932 cannot hold exactly (so that it
// would read back as itself) is listed, never replaced.
DecodedText decodeText(std::string bytes, EncodingChoice choice);

// The forms of a converted text split into lines (CR LF, LF and CR end a line, as for reading).
Utf8Forms utf8FormsOf(const std::string& cp932, const std::vector<JisFormAt>& jisForms);

// CP932 bytes -> the bytes of a file in `encoding` (with the byte order mark for Utf8WithBom),
// UTF-8 in the forms the file was read with. False when they hold bytes that are not CP932 and so
// could not be written as UTF-8 unchanged.
bool encodeText(const std::string& cp932, TextEncoding encoding, std::string& out,
                const Utf8Forms& forms = {});

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
