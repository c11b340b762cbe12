#pragma once
// Reading a QA text file through the one encoding decision: every rule after it sees CP932 lines.
#include "platform/TextEncoding.h"

#include <string>
#include <vector>

namespace rovik {

enum class TextReadStatus { Ok, Unreadable, Unmappable };

struct TextRead {
    TextReadStatus status = TextReadStatus::Unreadable;
    std::vector<std::string> lines; // CP932 without line ends (CR LF, LF and CR end a line)
    TextEncoding encoding = TextEncoding::Cp932;
    Utf8Forms forms;              // of a UTF-8 file
    std::vector<std::string> log; // Unmappable: one UTF-8 error log line per character
    std::string error;            // Unreadable: the system's reason
};

// Reads the file, decides its encoding as `choice` says and converts UTF-8 to CP932. A text
// holding characters CP932 cannot hold gives no lines, only the log.
TextRead readQaText(const std::string& path, EncodingChoice choice = EncodingChoice::Auto);

// One error log line per character, e.g. "12行目: 文字「😀」(U+1F600)はShift-JISで表せません。".
std::vector<std::string> unmappableLog(const std::vector<UnmappableCharacter>& characters);

// The error log file of those lines: UTF-8 with a byte order mark, since CP932 cannot hold
// them, and CR LF after each.
std::string unmappableLogBytes(const std::vector<std::string>& log);

// The same lines for a message box: the first ten, then "…" when there are more.
std::string unmappableMessage(const std::vector<std::string>& log);

} // namespace rovik
