#include "cli/Cli.h"
#include "cli/DeckImportOutput.h"
#include "cli/QaTextInput.h"

#include "decks/DeckImport.h"
#include "import/TextImport.h"

#include <ostream>

namespace rovik::cli {
namespace {

constexpr std::uintmax_t kCsvLimit = 64u << 20;

const std::string kUsage =
    std::string("usage: rovik-cli import-csv [OPTIONS] IN.csv OUT.txt\n"
                "\n"
                "Converts a spreadsheet's CSV file (RFC 4180: quoted fields, doubled quotes, separators\n"
                "and line breaks inside quotes) into one QA text title named after IN, as the data list\n"
                "window's CSV import does, and writes it to OUT (CP932, CR LF). Line breaks and tabs\n"
                "inside a field become spaces and are counted; every record is checked as loading\n"
                "checks it (at most 306 bytes with half-width katakana counted full-width, at most 15\n"
                "categories each).\n"
                "\n"
                "  --separator S     comma, semicolon or tab (default: the one the first line uses most)\n"
                "  --header H        auto (the default: a first row naming its columns, such as\n"
                "                    question/answer or 質問/解答, is skipped), yes or no\n"
                "  --question N      the question's column, from 1 (default 1)\n"
                "  --answer N        the answer's column (default 2)\n"
                "  --reference N     the reference's column, or none (the default)\n"
                "  --category-a N    the column naming category A, or none (the default: one category)\n"
                "  --category-b N    the column naming category B, or none (the default)\n") +
    kEncodingHelp +
    "\n"
    "exit status: 0 written (what was flattened on stderr); 1 IN refused (the error log on stdout)\n"
    "or empty, nothing written; 2 IN unreadable or not text, OUT not writable or bad arguments;\n"
    "3 IN larger than 64 MB\n";

int usageError(std::ostream& err) {
    err << kUsage;
    return 2;
}

int runImportCsv(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    decks::CsvOptions options;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--separator" && hasValue) {
            const std::string& v = args[++i];
            if (v == "comma")
                options.separator = ',';
            else if (v == "semicolon")
                options.separator = ';';
            else if (v == "tab")
                options.separator = '\t';
            else
                return usageError(err);
        } else if (a == "--header" && hasValue) {
            const std::string& v = args[++i];
            if (v == "auto")
                options.header = -1;
            else if (v == "yes")
                options.header = 1;
            else if (v == "no")
                options.header = 0;
            else
                return usageError(err);
        } else if (a == "--encoding" && hasValue) {
            if (!parseEncodingChoice(args[++i], options.encoding)) return usageError(err);
        } else if (a == "--question" && hasValue) {
            if (!parseColumn(args[++i], false, options.question)) return usageError(err);
        } else if (a == "--answer" && hasValue) {
            if (!parseColumn(args[++i], false, options.answer)) return usageError(err);
        } else if (a == "--reference" && hasValue) {
            if (!parseColumn(args[++i], true, options.reference)) return usageError(err);
        } else if (a == "--category-a" && hasValue) {
            if (!parseColumn(args[++i], true, options.categoryA)) return usageError(err);
        } else if (a == "--category-b" && hasValue) {
            if (!parseColumn(args[++i], true, options.categoryB)) return usageError(err);
        } else if (!a.empty() && a[0] != '-') {
            files.push_back(a);
        } else {
            return usageError(err);
        }
    }
    if (files.size() != 2) return usageError(err);
    std::string bytes;
    if (int status = readDeckInput(files[0], kCsvLimit, bytes, err); status != 0) return status;
    return finishDeckImport(decks::importCsv(bytes, titleNameOf(files[0]), options), files[0], files[1], out,
                            err);
}

} // namespace

const Command& importCsvCommand() {
    static const Command command{"import-csv", "convert a spreadsheet's CSV file into a QA text title",
                                 kUsage.c_str(), runImportCsv};
    return command;
}

} // namespace rovik::cli
