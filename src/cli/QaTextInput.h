#pragma once
// Reading a QA text file for the commands as loading does, with the validator's verdict.
#include "cli/Cli.h"
#include "platform/TextEncoding.h"

#include <string>
#include <vector>

namespace rovik::cli {

enum class InputVerdict { Valid, Refused, Empty, Unreadable };

struct QaTextInput {
    InputVerdict verdict = InputVerdict::Unreadable;
    std::vector<std::string> lines; // CP932 (a UTF-8 file converted)
    TextEncoding encoding = TextEncoding::Cp932;
    Utf8Forms forms;     // of a UTF-8 file: how it wrote the characters that have two forms
    std::string logFile; // when refused: the error log file's bytes, as loading writes them
};

// Reads (deciding the encoding as `choice` says) and checks the file in `mode` and `format` as
// loading (1, 0) or the tab-text import (2, format) does; an unreadable file is reported on
// `err`, a refused one's log is printed on `out` in UTF-8.
QaTextInput readQaTextInput(const std::string& path, std::ostream& out, std::ostream& err,
                            EncodingChoice choice = EncodingChoice::Auto, int mode = 1, int format = 0);

// The exit code of a verdict that is not Valid: 1 refused or empty, 2 unreadable.
int exitCodeOf(InputVerdict verdict);

// "auto", "cp932" or "utf-8"; false for anything else.
bool parseEncodingChoice(const std::string& text, EncodingChoice& choice);

// The help line of the --encoding option of commands that read QA text.
extern const char* const kEncodingHelp;

} // namespace rovik::cli
