#pragma once
// The titles of a question set as the other tools take them: UTF-8 texts, one record per question,
// category names, and the names the titles go out under (Anki decks and tags).
#include "platform/TextEncoding.h"

#include <string>
#include <vector>

namespace rovik::decks {

// One question record. Texts are UTF-8; a category is empty when the record's code names none.
struct ExportRecord {
    std::string question;
    std::string answer;
    std::string reference;
    std::string categoryA;
    std::string categoryB;
};

struct ExportTitle {
    std::string name; // the title's name, UTF-8
    std::string deck; // the name it goes out under: never empty, never the same as another's
    std::vector<ExportRecord> records;
};

enum class CollectStatus { Ok, NoSuchTitle, NotShiftJis, NoRecords };

struct CollectResult {
    CollectStatus status = CollectStatus::Ok;
    int line = 0;       // NotShiftJis: the line (from 1) holding bytes that are not CP932
    int titleCount = 0; // titles the lines hold
};

// Collects title `title` (from 1), or every title when it is 0, from CP932 lines as the data list
// holds them. Question records only: header and comment lines are not questions. Half-width
// katakana goes out full-width, as every save writes it; `forms` gives UTF-8 files back the forms
// they were written in. `out` is filled only on Ok.
CollectResult collectTitles(const std::vector<std::string>& lines, int title, const Utf8Forms& forms,
                            std::vector<ExportTitle>& out);

// A category name as one Anki tag: Anki splits tags at spaces (ASCII and full-width), so those
// become "_", and so does '"', which older Anki versions drop from tags.
std::string tagOf(const std::string& categoryName);

// The record's tags in order (category A, then B), each once, none for an empty category.
std::vector<std::string> tagsOf(const ExportRecord& record);

// Deck names for the titles' names: an empty name becomes "無題"; a name another title already
// goes out under (Anki compares them without case) gets " (2)", " (3)", ...
std::vector<std::string> deckNames(const std::vector<std::string>& titleNames);

} // namespace rovik::decks
