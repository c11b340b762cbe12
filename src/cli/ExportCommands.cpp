#include "cli/Cli.h"
#include "cli/QaTextInput.h"

#include "data/Common.h"
#include "data/QaTextFile.h"
#include "data/Validation.h"
#include "decks/DeckExport.h"
#include "pdb/PdbReader.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include <ostream>

namespace rovik::cli {
namespace {

const char* const kInputHelp =
    "FILE is a QA text file, or a PDB (.pdb/.PDB) turned into text first, and is checked as\n"
    "loading does; question records go out, comment lines do not; half-width katakana goes out\n"
    "full-width.\n";

const char* const kOptionsHelp = "  --title N     only title N (from 1); every title without it\n";

const char* const kExitHelp =
    "exit status: 0 written; 1 FILE refused (the error log on stdout), empty, without questions or\n"
    "holding bytes that are not Shift-JIS; 2 FILE unreadable, no title N, OUT not writable or bad\n"
    "arguments; 3 FILE too large. Nothing is written unless the status is 0.\n";

const std::string kApkgUsage =
    std::string("usage: rovik-cli export-apkg FILE OUT.apkg [--title N] [--encoding auto|cp932|utf-8]\n"
                "\n"
                "Writes titles as an Anki package (older collection form, which every Anki reads): one\n"
                "deck per title named after it, one note per question of the note type\n"
                "\"Rovik 質問・解答・参考\" (fields 質問, 解答, 参考; the card shows 質問, then 解答 and\n"
                "参考), the question's category A and B names as tags (spaces and '\"' become '_').\n") +
    kInputHelp + "\n" + kOptionsHelp + kEncodingHelp + "\n" + kExitHelp;

const std::string kCsvUsage =
    std::string(
        "usage: rovik-cli export-csv FILE OUT.csv [--title N] [--anki] [--encoding auto|cp932|utf-8]\n"
        "\n"
        "Writes titles as UTF-8 CSV for spreadsheets: a byte order mark, the header row\n"
        "タイトル,分類A,分類B,質問,解答,参考 and a row per question, quoted as RFC 4180 says,\n"
        "CR LF after each row.\n") +
    kInputHelp + "\n" + kOptionsHelp +
    "  --anki        Anki's text import form instead: the lines #separator:tab, #html:false,\n"
    "                #deck column:1 and #tags column:5, then a tab-separated line per question:\n"
    "                deck (the title), question, answer, reference, tags\n" +
    kEncodingHelp + "\n" + kExitHelp;

struct ExportArgs {
    Args files;
    int title = 0;
    bool anki = false;
    EncodingChoice encoding = EncodingChoice::Auto;
};

bool parseTitle(const std::string& text, int& title) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    title = std::stoi(text);
    return title >= 1;
}

bool parseArgs(const Args& args, bool csv, ExportArgs& parsed) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--title" && i + 1 < args.size() && parseTitle(args[i + 1], parsed.title))
            ++i;
        else if (args[i] == "--encoding" && i + 1 < args.size() &&
                 parseEncodingChoice(args[i + 1], parsed.encoding))
            ++i;
        else if (csv && args[i] == "--anki")
            parsed.anki = true;
        else if (!args[i].empty() && args[i][0] != '-')
            parsed.files.push_back(args[i]);
        else
            return false;
    }
    return parsed.files.size() == 2;
}

struct ExportInput {
    int exitCode = 0; // not 0: refused or unreadable, already reported
    std::vector<std::string> lines;
    Utf8Forms forms;
};

// A PDB is read as opening it in the data list window does: its text, then loading's checks.
ExportInput readPdbInput(const std::string& path, std::ostream& out, std::ostream& err) {
    ExportInput input;
    std::string text, reason;
    const PdbReadStatus status = readPdbText(path, text, &reason);
    if (status != PdbReadStatus::Ok) {
        err << "rovik-cli: " << path << ": " << pdbReadMessage(status)
            << (reason.empty() ? "" : " (" + reason + ")") << "\n";
        input.exitCode = status == PdbReadStatus::TooLarge ? 3 : 2;
        return input;
    }
    input.lines = splitTextLines(text);
    if (input.lines.empty()) {
        err << "rovik-cli: " << noDataText(path) << "\n";
        input.exitCode = 1;
        return input;
    }
    const std::vector<std::string> log = validationLog(input.lines, 1, 0);
    for (const auto& line : log)
        out << cp932ToUtf8(line) << "\n";
    if (!log.empty()) input.exitCode = 1;
    return input;
}

ExportInput readInput(const ExportArgs& args, std::ostream& out, std::ostream& err) {
    const std::string& path = args.files[0];
    if (hasPdbExtension(path)) return readPdbInput(path, out, err);
    ExportInput input;
    const std::int64_t size = FileSize(path);
    if (size > static_cast<std::int64_t>(kMaxReadBytes)) {
        err << "rovik-cli: " << path << ": " << size << " bytes, more than the " << kMaxReadBytes
            << " a file may have\n";
        input.exitCode = 3;
        return input;
    }
    QaTextInput text = readQaTextInput(path, out, err, args.encoding);
    if (text.verdict != InputVerdict::Valid) {
        input.exitCode = exitCodeOf(text.verdict);
        return input;
    }
    input.lines = std::move(text.lines);
    input.forms = std::move(text.forms);
    return input;
}

int exitCodeOf(decks::ExportStatus status) {
    switch (status) {
    case decks::ExportStatus::Ok:
        return 0;
    case decks::ExportStatus::NotShiftJis:
    case decks::ExportStatus::NoRecords:
        return 1;
    case decks::ExportStatus::NoSuchTitle:
    case decks::ExportStatus::CannotBuild:
    case decks::ExportStatus::CannotWrite:
        break;
    }
    return 2;
}

int runExport(const Args& args, bool csv, const std::string& usage, std::ostream& out, std::ostream& err) {
    ExportArgs parsed;
    if (!parseArgs(args, csv, parsed)) {
        err << usage;
        return 2;
    }
    const ExportInput input = readInput(parsed, out, err);
    if (input.exitCode != 0) return input.exitCode;
    const decks::ExportFormat format = !csv          ? decks::ExportFormat::AnkiPackage
                                       : parsed.anki ? decks::ExportFormat::AnkiText
                                                     : decks::ExportFormat::SpreadsheetCsv;
    const decks::ExportResult result = decks::exportTitles(input.lines, input.forms, parsed.title, format,
                                                           parsed.files[1], decks::currentTimeMs());
    if (result.status != decks::ExportStatus::Ok)
        err << "rovik-cli: " << parsed.files[0] << ": " << result.message << "\n";
    return exitCodeOf(result.status);
}

int runExportApkg(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    return runExport(args, false, kApkgUsage, out, err);
}

int runExportCsv(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    return runExport(args, true, kCsvUsage, out, err);
}

} // namespace

const Command& exportApkgCommand() {
    static const Command command{"export-apkg", "write titles as an Anki package (.apkg)", kApkgUsage.c_str(),
                                 runExportApkg};
    return command;
}

const Command& exportCsvCommand() {
    static const Command command{"export-csv", "write titles as CSV for spreadsheets or Anki's text import",
                                 kCsvUsage.c_str(), runExportCsv};
    return command;
}

} // namespace rovik::cli
