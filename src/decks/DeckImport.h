#pragma once
// CSV rows and Anki notes -> QA text title lines (CP932), under the rules a loaded file meets: every
// record is checked as loading checks it, every character must fit Shift-JIS, and what does not fit
// is logged with the CSV row or Anki note it came from. Nothing is cut silently: what is dropped on
// the way (media, extra tags, line breaks, tabs) is counted.
#include "decks/AnkiCollection.h"
#include "decks/Csv.h"
#include "platform/TextEncoding.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rovik::decks {

constexpr std::size_t kTitleNameBytes = 30;    // a title name fitted to the handheld's list
constexpr std::size_t kCategoryNameBytes = 15; // as a Palm category name

struct DropCounts {
    int media = 0;      // [sound:...] and images
    int extraTags = 0;  // tags beyond the one taken as category B
    int lineBreaks = 0; // line breaks (and <br>, block ends) made spaces
    int tabs = 0;       // tabs made spaces
    int emptyRows = 0;  // CSV rows with nothing in them
};

enum class ImportOutcome { Done, Refused, Unreadable };

struct DeckImport {
    ImportOutcome outcome = ImportOutcome::Refused;
    std::vector<std::string> lines;   // Done: the new titles' lines (CP932)
    std::vector<std::string> log;     // Refused by the records' checks: error log lines (CP932)
    std::vector<std::string> charLog; // Refused for characters Shift-JIS cannot hold (UTF-8)
    std::string message;              // Refused/Unreadable without a log: why (UTF-8)
    DropCounts drops;
    int titles = 0;
    int records = 0;
};

// What was dropped, for the status line (UTF-8), e.g. "2タイトル 31件を読み込みました（除外: メディア 3、改行
// 2）".
std::string importSummary(const DeckImport& result);

// A CP932 name shortened to `limit` bytes without splitting a double-byte character.
std::string fitName(const std::string& cp932, std::size_t limit);

// --- CSV ---
struct CsvOptions {
    EncodingChoice encoding = EncodingChoice::Auto;
    char separator = 0; // 0: detected
    int header = -1;    // -1: detected, 0: none, 1: the first row names the columns
    // Columns from 0; -1 for none. Question and answer are required.
    int question = 0, answer = 1, reference = -1, categoryA = -1, categoryB = -1;
};

struct CsvPreview {
    ImportOutcome outcome = ImportOutcome::Done;
    std::string message;
    bool unmappable = false; // refused for characters Shift-JIS cannot hold (the message lists them)
    TextEncoding encoding = TextEncoding::Cp932;
    char separator = ',';
    bool header = false;
    std::vector<CsvRow> rows; // UTF-8, for showing; the header row included
    std::size_t columns = 0;
};

// Reads the file's bytes as `options` say (detecting what is left open) for the mapping dialog.
CsvPreview previewCsv(const std::string& fileBytes, const CsvOptions& options, std::size_t maxRows = 8);

// One title named `titleName` (CP932) from the CSV file's bytes.
DeckImport importCsv(const std::string& fileBytes, const std::string& titleName, const CsvOptions& options);

// --- Anki ---
struct AnkiDeckInfo {
    std::int64_t id = 0;
    std::string path; // UTF-8, levels joined with "::"
    int notes = 0;
};

// The decks that hold notes, by name.
std::vector<AnkiDeckInfo> ankiDecks(const AnkiCollection& collection);

struct AnkiOptions {
    int question = 0, answer = 1, reference = -1; // fields of the note type, from 0
    std::vector<std::string> decks;               // chosen decks ("親::子" or "親・子"); empty: all
};

// One title per deck. More than 15 decks with none chosen is refused, naming the count.
DeckImport importAnki(const AnkiCollection& collection, const AnkiOptions& options);

} // namespace rovik::decks
