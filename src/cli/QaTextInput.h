#pragma once
// Reading a QA text file for the commands as loading does, with the validator's verdict.
#include "cli/Cli.h"

#include <string>
#include <vector>

namespace rovik::cli {

enum class InputVerdict { Valid, Refused, Empty, Unreadable };

struct QaTextInput {
    InputVerdict verdict = InputVerdict::Unreadable;
    std::vector<std::string> lines; // CP932, as read
    std::vector<std::string> log;   // the error log lines when refused (CP932)
};

// Reads and checks (mode 1) the file; an unreadable file is reported on `err`, a refused one's
// log is printed on `out` in UTF-8.
QaTextInput readQaTextInput(const std::string& path, std::ostream& out, std::ostream& err);

// The exit code of a verdict that is not Valid: 1 refused or empty, 2 unreadable.
int exitCodeOf(InputVerdict verdict);

} // namespace rovik::cli
