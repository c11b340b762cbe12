#pragma once
// The titles as text files other programs read: CSV for spreadsheets, and Anki's text import form.
#include "decks/ExportTitles.h"

#include <string>
#include <vector>

namespace rovik::decks {

// One field as RFC 4180 writes it: in quotes, with every quote doubled, when it holds the
// separator, a quote, CR or LF, or begins with "#" (Anki skips a line that begins with one);
// as it is otherwise.
std::string csvField(const std::string& text, char separator);

// UTF-8 with a byte order mark (spreadsheet programs take a CSV without one for the local code
// page), a header row "タイトル,分類A,分類B,質問,解答,参考", then one row per record; CR LF
// after every row, as RFC 4180 writes them.
std::string spreadsheetCsv(const std::vector<ExportTitle>& titles);

// Anki's text import form: the header lines "#separator:tab", "#html:false", "#deck column:1" and
// "#tags column:5", then one row per record: deck, question, answer, reference, tags (separated by
// spaces). Fields are plain text (Anki escapes them itself) and quoted as in CSV when they hold a
// quote. A deck name of digits only gets a trailing space, which Anki trims from deck names:
// Anki reads a number in the deck column as a deck id. Without column names Anki fills a note type's fields
// in order, so the question and the answer land in the first two fields of any note type, Basic's included.
// LF after every line.
std::string ankiText(const std::vector<ExportTitle>& titles);

} // namespace rovik::decks
