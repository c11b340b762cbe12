#include "cli/QaTextInput.h"

#include "data/Loading.h"
#include "data/Validation.h"
#include "platform/Cp932.h"

#include <ostream>

namespace rovik::cli {

QaTextInput readQaTextInput(const std::string& path, std::ostream& out, std::ostream& err) {
    QaTextInput input;
    std::string error;
    if (!readTextLines(path, input.lines, &error)) {
        err << "rovik-cli: " << error << "\n";
        input.verdict = InputVerdict::Unreadable;
        return input;
    }
    if (input.lines.empty()) {
        err << "rovik-cli: " << path << ": the file holds no lines\n";
        input.verdict = InputVerdict::Empty;
        return input;
    }
    input.log = validationLog(input.lines, 1, 0);
    if (input.log.empty()) {
        input.verdict = InputVerdict::Valid;
        return input;
    }
    for (const auto& line : input.log)
        out << cp932ToUtf8(line) << "\n";
    input.verdict = InputVerdict::Refused;
    return input;
}

int exitCodeOf(InputVerdict verdict) {
    return verdict == InputVerdict::Unreadable ? 2 : 1;
}

} // namespace rovik::cli
