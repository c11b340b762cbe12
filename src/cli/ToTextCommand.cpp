#include "cli/Cli.h"

#include "pdb/PdbReader.h"

#include <ostream>

namespace rovik::cli {
namespace {

const char* kUsage =
    "usage: rovik-cli to-text IN.pdb OUT.txt\n"
    "\n"
    "Turns a Palm database back into QA text: the records in order form the text, control\n"
    "bytes become '$', lines end with CR LF and one leading space (the writer's pad) is removed.\n"
    "\n"
    "exit status: 0 written; 2 IN unreadable or not a Rovik database (nothing written), OUT not\n"
    "writable or bad arguments; 3 IN too large, nothing written\n";

int exitCodeOf(PdbReadStatus status) {
    switch (status) {
    case PdbReadStatus::Ok:
        return 0;
    case PdbReadStatus::TooLarge:
        return 3;
    case PdbReadStatus::ShortHeader:
    case PdbReadStatus::ShortRecordList:
    case PdbReadStatus::NotADatabase:
    case PdbReadStatus::CannotOpen:
    case PdbReadStatus::CannotWriteText:
        break;
    }
    return 2;
}

int runToText(const Args& args, std::istream&, std::ostream&, std::ostream& err) {
    if (args.size() != 2 || args[0].empty() || args[1].empty() || args[0][0] == '-' || args[1][0] == '-') {
        err << kUsage;
        return 2;
    }
    std::string reason;
    PdbReadStatus status = convertPdbFile(args[0], args[1], &reason);
    if (status != PdbReadStatus::Ok) {
        err << "rovik-cli: " << pdbReadMessage(status);
        if (!reason.empty()) err << " (" << reason << ")";
        err << "\n";
    }
    return exitCodeOf(status);
}

} // namespace

const Command& toTextCommand() {
    static const Command command{"to-text", "convert a Palm database back into QA text", kUsage, runToText};
    return command;
}

} // namespace rovik::cli
