#pragma once
// A small RFC 4180 reader: spreadsheets export quoted fields, doubled quotes, and separators and
// line breaks inside quotes. Works on bytes; the separators, quote and line ends are ASCII, which
// no CP932 trail byte is, so it reads CP932 and UTF-8 text alike.
#include <cstddef>
#include <string>
#include <vector>

namespace rovik::decks {

using CsvRow = std::vector<std::string>;

enum class CsvStatus { Ok, UnclosedQuote };

struct CsvTable {
    CsvStatus status = CsvStatus::Ok;
    std::vector<CsvRow> rows;
    std::vector<std::size_t> rowLines; // the text line (from 1) each row starts on
    std::size_t errorLine = 0;         // UnclosedQuote: the line the open quote starts on
};

// Splits `text` into rows at CR LF, LF or a lone CR outside quotes; a last line break adds no row.
// A quote opens a quoted part only at a field's start; inside one, "" is a quote. Quotes in the
// middle of an unquoted field are kept as text (as spreadsheets read them).
CsvTable parseCsv(const std::string& text, char separator);

// The separator the first line uses most outside quotes: tab, semicolon or comma (comma when none).
char detectSeparator(const std::string& text);

// True when the first row names its columns: one of its cells is a column word spreadsheets and
// Anki exports use (question, answer, front, back, 質問, 解答, 問題, 答え, 表面, 裏面, ...), in UTF-8
// or CP932.
bool looksLikeHeader(const CsvRow& row);

} // namespace rovik::decks
