#pragma once
// Checking lines against the handheld's limits, and the error log that lists every problem.
#include <string>
#include <vector>

namespace rovik {

struct QuestionSet;

constexpr int kMaxRecordBytes = 306;
constexpr int kMaxTitles = 15;

// The error log entries for `lines` (CP932, one text per log line, without line ends): mode 1
// checks QA text, mode 2 with format 0 checks import text; anything else checks nothing.
std::vector<std::string> validationLog(const std::vector<std::string>& lines, int mode, int format);

// The bytes of the error log file: every log line followed by CR LF.
std::string errorLogBytes(const std::vector<std::string>& log);

// Checks the set's loading buffer: 0 when no problem was found; -9 when there was one, after
// writing the error log to `errorLogPath` (replacing it only by a complete file). When the log
// could not be written, `writeError` gets the reason (otherwise it is left alone).
int Validate(QuestionSet& set, int mode, int format, const std::string& errorLogPath,
             std::string* writeError = nullptr);

} // namespace rovik
