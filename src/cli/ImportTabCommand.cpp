#include "cli/Cli.h"
#include "cli/QaTextInput.h"

#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "import/TextImport.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include <ostream>

namespace rovik::cli {
namespace {

const std::string kUsage =
    std::string("usage: rovik-cli import-tab [--format 0|1|2] [--encoding auto|cp932|utf-8] IN.txt OUT.txt\n"
                "\n"
                "Converts another application's text file into one QA text title named after IN, as the\n"
                "data list window's import does, and writes it to OUT (CP932, CR LF).\n"
                "\n"
                "  --format 0    one question per line: question, answer and an optional reference,\n"
                "                separated by tabs (the default; checked: at most 3 items, an answer, a\n"
                "                record of at most 306 bytes with half-width katakana counted full-width)\n"
                "  --format 1    no tabs: a question line, then its answer line (a line left over is\n"
                "                dropped)\n"
                "  --format 2    no tabs: question, answer and reference lines (lines left over are\n"
                "                dropped); formats 1 and 2 are checked as the records they make\n") +
    kEncodingHelp +
    "\n"
    "exit status: 0 written; 1 IN refused (the error log on stdout) or empty, nothing written;\n"
    "2 IN unreadable, OUT not writable or bad arguments\n";

int usageError(std::ostream& err) {
    err << kUsage;
    return 2;
}

int runImportTab(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    int format = kTabSeparated;
    EncodingChoice choice = EncodingChoice::Auto;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--format" && i + 1 < args.size()) {
            const std::string& value = args[++i];
            if (value != "0" && value != "1" && value != "2") return usageError(err);
            format = value[0] - '0';
        } else if (args[i] == "--encoding" && i + 1 < args.size()) {
            if (!parseEncodingChoice(args[++i], choice)) return usageError(err);
        } else if (!args[i].empty() && args[i][0] != '-') {
            files.push_back(args[i]);
        } else {
            return usageError(err);
        }
    }
    if (files.size() != 2) return usageError(err);
    QaTextInput input = readQaTextInput(files[0], out, err, choice, 2, format);
    if (input.verdict != InputVerdict::Valid) return exitCodeOf(input.verdict);
    QuestionSet set;
    set.loadingBuffer = std::move(input.lines);
    if (FixHalfWidthKana(set)) err << "rovik-cli: 半角カナを全角カナに修正しました。\n";
    set.lines = textImportLines(set.loadingBuffer, format, titleNameOf(files[0]));
    // Two- and three-line sources are checked as the records they make, as loading would.
    if (format != 0) {
        const std::vector<std::string> log = validationLog(set.lines, 1, 0);
        for (const auto& line : log)
            out << cp932ToUtf8(line) << "\n";
        if (!log.empty()) return 1;
    }
    std::string error;
    if (!writeFileAtomically(files[1], WriteQuestionLines(set, files[1]), &error)) {
        err << "rovik-cli: " << error << "\n";
        return 2;
    }
    return 0;
}

} // namespace

const Command& importTabCommand() {
    static const Command command{"import-tab", "convert another application's text file into a QA text title",
                                 kUsage.c_str(), runImportTab};
    return command;
}

} // namespace rovik::cli
