#include "cli/QaTextInput.h"

#include "data/TextReading.h"
#include "data/Validation.h"
#include "platform/Cp932.h"

#include <ostream>

namespace rovik::cli {

const char* const kEncodingHelp =
    "  --encoding E  how the text file is read: auto (the default: UTF-8 when it starts with a\n"
    "                byte order mark or is valid UTF-8 holding a non-ASCII character, else\n"
    "                Shift-JIS), cp932 or utf-8. UTF-8 is converted to CP932 before any check;\n"
    "                characters CP932 cannot hold refuse the file\n";

QaTextInput readQaTextInput(const std::string& path, std::ostream& out, std::ostream& err,
                            EncodingChoice choice, int mode, int format) {
    QaTextInput input;
    TextRead read = readQaText(path, choice);
    input.encoding = read.encoding;
    if (read.status == TextReadStatus::Unreadable) {
        err << "rovik-cli: " << read.error << "\n";
        input.verdict = InputVerdict::Unreadable;
        return input;
    }
    if (read.status == TextReadStatus::Unmappable) {
        for (const auto& line : read.log)
            out << line << "\n";
        input.logFile = unmappableLogBytes(read.log);
        input.verdict = InputVerdict::Refused;
        return input;
    }
    input.lines = std::move(read.lines);
    input.forms = std::move(read.forms);
    if (input.lines.empty()) {
        err << "rovik-cli: " << path << ": the file holds no lines\n";
        input.verdict = InputVerdict::Empty;
        return input;
    }
    const std::vector<std::string> log = validationLog(input.lines, mode, format);
    if (log.empty()) {
        input.verdict = InputVerdict::Valid;
        return input;
    }
    for (const auto& line : log)
        out << cp932ToUtf8(line) << "\n";
    input.logFile = errorLogBytes(log);
    input.verdict = InputVerdict::Refused;
    return input;
}

int exitCodeOf(InputVerdict verdict) {
    return verdict == InputVerdict::Unreadable ? 2 : 1;
}

bool parseEncodingChoice(const std::string& text, EncodingChoice& choice) {
    if (text == "auto")
        choice = EncodingChoice::Auto;
    else if (text == "cp932")
        choice = EncodingChoice::Cp932;
    else if (text == "utf-8")
        choice = EncodingChoice::Utf8;
    else
        return false;
    return true;
}

} // namespace rovik::cli
