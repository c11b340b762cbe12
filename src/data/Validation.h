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

// What loading would say of one line (UTF-8 messages, in the log's order), counting its half-width
// katakana widened as they are written; empty when it would load. The title count is not checked.
std::vector<std::string> lineProblems(const std::string& line);

// The loader's message (UTF-8) for a question record longer than the handheld takes once its
// half-width katakana are widened; nullptr for any other line.
const char* recordLengthProblem(const std::string& line);

// A line (CP932) as a message shows it: UTF-8, cut after 60 characters with "…", since a
// message box does not wrap a long line.
std::string shownLine(const std::string& line);

// The refusal of an edit that would leave line `index` (from 0, CP932) of the set a line loading
// refuses with `problems` (UTF-8): it names the line and the loader's messages.
std::string editRefusalText(std::size_t index, const std::string& line,
                            const std::vector<std::string>& problems);

// The bytes of the error log file: every log line followed by CR LF.
std::string errorLogBytes(const std::vector<std::string>& log);

// Checks the set's loading buffer: 0 when no problem was found; -9 when there was one, after
// writing the error log to `errorLogPath` (replacing it only by a complete file). When the log
// could not be written, `writeError` gets the reason (otherwise it is left alone).
int Validate(QuestionSet& set, int mode, int format, const std::string& errorLogPath,
             std::string* writeError = nullptr);

} // namespace rovik
