#include "cli/Cli.h"

#include "data/QaTextFile.h"
#include "pdb/PdbReader.h"
#include "platform/FileIo.h"
#include "platform/TextEncoding.h"

#include <ostream>

namespace rovik::cli {
namespace {

const char* kUsage =
    "usage: rovik-cli to-text [--encoding cp932|utf-8] IN.pdb OUT.txt\n"
    "\n"
    "Turns a Palm database back into QA text: the records in order form the text, control\n"
    "bytes become '$', lines end with CR LF and one leading space (the writer's pad) is removed.\n"
    "\n"
    "  --encoding E  how OUT is written: cp932 (the default) or utf-8 (without a byte order mark)\n"
    "\n"
    "exit status: 0 written; 1 IN holds no data, or the records hold bytes that are not Shift-JIS\n"
    "and utf-8 was asked for, nothing written; 2 IN unreadable or not a Rovik database (nothing\n"
    "written), OUT not writable or bad arguments; 3 IN too large, nothing written\n";

int exitCodeOf(PdbReadStatus status) {
    switch (status) {
    case PdbReadStatus::Ok:
        return 0;
    case PdbReadStatus::TooLarge:
        return 3;
    case PdbReadStatus::ShortHeader:
    case PdbReadStatus::ShortRecordList:
    case PdbReadStatus::NotADatabase:
    case PdbReadStatus::OtherDatabase:
    case PdbReadStatus::CannotOpen:
    case PdbReadStatus::CannotWriteText:
        break;
    }
    return 2;
}

bool parseArgs(const Args& args, TextEncoding& encoding, Args& files) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--encoding" && i + 1 < args.size() &&
            (args[i + 1] == "cp932" || args[i + 1] == "utf-8"))
            encoding = args[++i] == "utf-8" ? TextEncoding::Utf8 : TextEncoding::Cp932;
        else if (!args[i].empty() && args[i][0] != '-')
            files.push_back(args[i]);
        else
            return false;
    }
    return files.size() == 2;
}

int reportFailure(PdbReadStatus status, const std::string& reason, std::ostream& err) {
    err << "rovik-cli: " << pdbReadMessage(status);
    if (!reason.empty()) err << " (" << reason << ")";
    err << "\n";
    return exitCodeOf(status);
}

// The text in memory first: a database without data, or records that cannot be written as UTF-8,
// leave OUT alone.
int runToText(const Args& args, std::istream&, std::ostream&, std::ostream& err) {
    TextEncoding encoding = TextEncoding::Cp932;
    Args files;
    if (!parseArgs(args, encoding, files)) {
        err << kUsage;
        return 2;
    }
    std::string text, reason;
    PdbReadStatus status = readPdbText(files[0], text, &reason);
    if (status != PdbReadStatus::Ok) return reportFailure(status, reason, err);
    // As opening it in the data list window says.
    if (text.empty()) {
        err << "rovik-cli: " << noDataText(files[0]) << "\n";
        return 1;
    }
    std::string bytes = text;
    if (encoding == TextEncoding::Utf8 && !encodeText(text, TextEncoding::Utf8, bytes)) {
        err << "rovik-cli: " << files[0]
            << ": Shift-JISとして読めないバイトがあるため、UTF-8では保存できません。\n";
        return 1;
    }
    if (!writeFileAtomically(files[1], bytes, &reason))
        return reportFailure(PdbReadStatus::CannotWriteText, reason, err);
    return 0;
}

} // namespace

const Command& toTextCommand() {
    static const Command command{"to-text", "convert a Palm database back into QA text", kUsage, runToText};
    return command;
}

} // namespace rovik::cli
