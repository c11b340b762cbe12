#include "cli/Cli.h"
#include "cli/ConsolePrompter.h"
#include "cli/QaTextInput.h"

#include "data/Loading.h"
#include "data/QuestionSet.h"
#include "pdb/PdbWriter.h"

#include <ostream>

namespace rovik::cli {
namespace {

const char* kUsage =
    "usage: rovik-cli to-pdb IN.txt OUT.pdb\n"
    "\n"
    "Loads IN as 'check' does, makes its half-width katakana full-width and writes it as a\n"
    "Palm database, one record per line; the database name comes from OUT's file name.\n"
    "\n"
    "exit status: 0 written; 1 IN refused (the error log on stdout) or empty, nothing written;\n"
    "2 IN unreadable, OUT not writable or bad arguments; 3 too large for the handheld's 64 KB\n"
    "record offsets, nothing written\n";

int runToPdb(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    if (args.size() != 2 || args[0].empty() || args[1].empty() || args[0][0] == '-' || args[1][0] == '-') {
        err << kUsage;
        return 2;
    }
    QaTextInput input = readQaTextInput(args[0], out, err);
    if (input.verdict != InputVerdict::Valid) return exitCodeOf(input.verdict);
    QuestionSet set;
    set.loadingBuffer = std::move(input.lines);
    if (FixHalfWidthKana(set)) err << "rovik-cli: 半角カナを全角カナに修正しました。\n";
    set.lines = std::move(set.loadingBuffer);
    ConsolePrompter prompter(err);
    switch (WritePdb(set, args[1], prompter)) {
    case 0:
        return 0;
    case -2:
        return 3;
    default:
        err << "rovik-cli: " << args[1] << "\n";
        return 2;
    }
}

} // namespace

const Command& toPdbCommand() {
    static const Command command{"to-pdb", "convert a QA text file into a Palm database", kUsage, runToPdb};
    return command;
}

} // namespace rovik::cli
