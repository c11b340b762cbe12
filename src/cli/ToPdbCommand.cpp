#include "cli/Cli.h"
#include "cli/ConsolePrompter.h"
#include "cli/QaTextInput.h"

#include "data/Loading.h"
#include "data/QuestionSet.h"
#include "pdb/PdbWriter.h"

#include <ostream>

namespace rovik::cli {
namespace {

const std::string kUsage =
    std::string("usage: rovik-cli to-pdb [--encoding auto|cp932|utf-8] IN.txt OUT.pdb\n"
                "\n"
                "Loads IN as 'check' does, makes its half-width katakana full-width and writes it as a\n"
                "Palm database (always CP932), one record per line; the database name comes from OUT's\n"
                "file name (a name that is not UTF-8 is taken as Shift-JIS).\n"
                "\n") +
    kEncodingHelp +
    "\n"
    "exit status: 0 written; 1 IN refused (the error log on stdout) or empty, nothing written;\n"
    "2 IN unreadable, OUT not writable or bad arguments; 3 too large for the handheld's 64 KB\n"
    "record offsets, nothing written\n";

bool parseArgs(const Args& args, EncodingChoice& choice, Args& files) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--encoding" && i + 1 < args.size() && parseEncodingChoice(args[i + 1], choice))
            ++i;
        else if (!args[i].empty() && args[i][0] != '-')
            files.push_back(args[i]);
        else
            return false;
    }
    return files.size() == 2;
}

int runToPdb(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    EncodingChoice choice = EncodingChoice::Auto;
    Args files;
    if (!parseArgs(args, choice, files)) {
        err << kUsage;
        return 2;
    }
    QaTextInput input = readQaTextInput(files[0], out, err, choice);
    if (input.verdict != InputVerdict::Valid) return exitCodeOf(input.verdict);
    QuestionSet set;
    set.loadingBuffer = std::move(input.lines);
    if (FixHalfWidthKana(set)) err << "rovik-cli: 半角カナを全角カナに修正しました。\n";
    set.lines = std::move(set.loadingBuffer);
    ConsolePrompter prompter(err);
    switch (WritePdb(set, files[1], prompter)) {
    case 0:
        return 0;
    case -2:
        return 3;
    default:
        err << "rovik-cli: " << files[1] << "\n";
        return 2;
    }
}

} // namespace

const Command& toPdbCommand() {
    static const Command command{"to-pdb", "convert a QA text file into a Palm database", kUsage.c_str(),
                                 runToPdb};
    return command;
}

} // namespace rovik::cli
