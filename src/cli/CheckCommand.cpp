#include "cli/Cli.h"
#include "cli/QaTextInput.h"

#include "platform/FileIo.h"

#include <ostream>

namespace rovik::cli {
namespace {

const std::string kUsage =
    std::string("usage: rovik-cli check FILE [--encoding auto|cp932|utf-8] [--log LOG]\n"
                "\n"
                "Checks a QA text file as loading does (line ends CR LF, LF or CR; a zero byte ends the\n"
                "text) against the handheld's limits.\n"
                "\n") +
    kEncodingHelp +
    "  --log LOG     when the file is refused, also write the error log file to LOG (CP932,\n"
    "                CR LF; UTF-8 with a byte order mark when it lists characters CP932\n"
    "                cannot hold)\n"
    "\n"
    "exit status: 0 valid; 1 refused (the error log on stdout) or empty; 2 unreadable file or\n"
    "bad arguments\n";

int runCheck(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    std::string file;
    std::string logPath;
    EncodingChoice choice = EncodingChoice::Auto;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--log" && i + 1 < args.size()) {
            logPath = args[++i];
        } else if (args[i] == "--encoding" && i + 1 < args.size() &&
                   parseEncodingChoice(args[i + 1], choice)) {
            ++i;
        } else if (file.empty() && !args[i].empty() && args[i][0] != '-') {
            file = args[i];
        } else {
            err << "rovik-cli check: unexpected argument '" << args[i] << "'\n" << kUsage;
            return 2;
        }
    }
    if (file.empty()) {
        err << kUsage;
        return 2;
    }
    QaTextInput input = readQaTextInput(file, out, err, choice);
    if (input.verdict == InputVerdict::Valid) return 0;
    if (input.verdict == InputVerdict::Refused && !logPath.empty()) {
        std::string reason;
        if (!writeFileAtomically(logPath, input.logFile, &reason)) {
            err << "rovik-cli: " << reason << "\n";
            return 2;
        }
    }
    return exitCodeOf(input.verdict);
}

} // namespace

const Command& checkCommand() {
    static const Command command{"check", "check a QA text file against the handheld's limits",
                                 kUsage.c_str(), runCheck};
    return command;
}

} // namespace rovik::cli
