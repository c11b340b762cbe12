#include "cli/Cli.h"
#include "cli/DeckImportOutput.h"

#include "decks/AnkiCollection.h"
#include "decks/DeckImport.h"

#include <ostream>

namespace rovik::cli {
namespace {

const char* kUsage =
    "usage: rovik-cli import-apkg [OPTIONS] IN.apkg OUT.txt\n"
    "\n"
    "Converts an Anki package (.apkg or .colpkg holding collection.anki2, collection.anki21 or the\n"
    "zstd-compressed collection.anki21b; the newest present is read) into QA text, as the data\n"
    "list window's Anki import does, and writes it to OUT (CP932, CR LF). Each deck becomes a\n"
    "title named by its path with \"・\" between the levels (at most 30 bytes, never two alike),\n"
    "with one category A named after the deck and the deck's 15 most used tags as category B (a\n"
    "note without one gets \"その他\"). HTML becomes text; sounds and images are dropped; a cloze\n"
    "note gives one record per cloze number, its hint as the reference. What was dropped is\n"
    "counted on stderr. Characters Shift-JIS cannot hold refuse the import, one log line each.\n"
    "\n"
    "  --question N    the note type's field taken as the question, from 1 (default 1)\n"
    "  --answer N      the field taken as the answer (default 2)\n"
    "  --reference N   the field taken as the reference, or none (the default)\n"
    "  --deck NAME     import this deck (its full name, levels joined by \"::\" or \"・\");\n"
    "                  repeatable; needed when the package holds more than 15 decks\n"
    "  --list-decks    print the decks that hold notes (name and note count) and write nothing\n"
    "\n"
    "exit status: 0 written (or listed); 1 refused (the error log on stdout, or the reason on\n"
    "stderr), nothing written; 2 IN unreadable or no Anki package, OUT not writable or bad\n"
    "arguments; 3 IN or its collection larger than 256 MB\n";

int usageError(std::ostream& err) {
    err << kUsage;
    return 2;
}

int runImportApkg(const Args& args, std::istream&, std::ostream& out, std::ostream& err) {
    decks::AnkiOptions options;
    bool listDecks = false;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--question" && hasValue) {
            if (!parseColumn(args[++i], false, options.question)) return usageError(err);
        } else if (a == "--answer" && hasValue) {
            if (!parseColumn(args[++i], false, options.answer)) return usageError(err);
        } else if (a == "--reference" && hasValue) {
            if (!parseColumn(args[++i], true, options.reference)) return usageError(err);
        } else if (a == "--deck" && hasValue) {
            options.decks.push_back(args[++i]);
        } else if (a == "--list-decks") {
            listDecks = true;
        } else if (!a.empty() && a[0] != '-') {
            files.push_back(a);
        } else {
            return usageError(err);
        }
    }
    if (files.size() != (listDecks ? 1u : 2u)) return usageError(err);
    std::string bytes;
    if (int status = readDeckInput(files[0], decks::kCollectionLimit, bytes, err); status != 0) return status;
    const decks::AnkiRead read = decks::readAnkiPackage(bytes);
    if (read.status != decks::AnkiStatus::Ok) {
        err << "rovik-cli: " << files[0] << ": " << read.message << "\n";
        return read.status == decks::AnkiStatus::TooLarge ? 3 : 2;
    }
    if (listDecks) {
        for (const auto& deck : decks::ankiDecks(read.collection))
            out << deck.path << "\t" << deck.notes << "\n";
        return 0;
    }
    return finishDeckImport(decks::importAnki(read.collection, options), files[0], files[1], out, err);
}

} // namespace

const Command& importApkgCommand() {
    static const Command command{"import-apkg", "convert an Anki package's decks into QA text titles", kUsage,
                                 runImportApkg};
    return command;
}

} // namespace rovik::cli
