#include "decks/Csv.h"

#include "platform/Cp932.h"

#include <algorithm>
#include <cctype>

namespace rovik::decks {

CsvTable parseCsv(const std::string& text, char separator) {
    CsvTable table;
    CsvRow row;
    std::string field;
    bool quoted = false;     // inside a quoted part
    bool fieldStart = true;  // nothing of the field read yet
    bool rowStarted = false; // the current row has something (a last line break adds no row)
    std::size_t line = 1, rowLine = 1, quoteLine = 0;
    auto endRow = [&] {
        row.push_back(std::move(field));
        field.clear();
        table.rows.push_back(std::move(row));
        table.rowLines.push_back(rowLine);
        row.clear();
        fieldStart = true;
        rowStarted = false;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    field += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == '\n' || (c == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n'))) ++line;
                field += c;
            }
            continue;
        }
        if (c == '"' && fieldStart) {
            quoted = true;
            quoteLine = line;
            fieldStart = false;
            rowStarted = true;
        } else if (c == separator) {
            row.push_back(std::move(field));
            field.clear();
            fieldStart = true;
            rowStarted = true;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            endRow();
            rowLine = ++line;
        } else {
            field += c;
            fieldStart = false;
            rowStarted = true;
        }
    }
    if (quoted) {
        table.status = CsvStatus::UnclosedQuote;
        table.errorLine = quoteLine;
        return table;
    }
    if (rowStarted || !row.empty()) endRow();
    return table;
}

char detectSeparator(const std::string& text) {
    int tabs = 0, semicolons = 0, commas = 0;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == '\n') break;
        tabs += c == '\t';
        semicolons += c == ';';
        commas += c == ',';
    }
    if (tabs > 0 && tabs >= semicolons && tabs >= commas) return '\t';
    if (semicolons > commas) return ';';
    return ',';
}

bool looksLikeHeader(const CsvRow& row) {
    static const char* const kWords[] = {"question", "answer", "reference", "front",      "back", "category",
                                         "tags",     "notes",  "term",      "definition", "word", "meaning",
                                         "質問",     "解答",   "参考",      "問題",       "答え", "回答",
                                         "表面",     "裏面",   "分類",      "単語",       "意味"};
    for (const auto& cell : row) {
        std::string text = cell;
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
        while (!text.empty() && text.back() == ' ')
            text.pop_back();
        // Only ASCII is lowered: CP932 trail bytes include the letters.
        if (std::all_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            for (auto& c : text)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        for (const char* word : kWords)
            if (text == word || text == toCp932(word)) return true;
    }
    return false;
}

} // namespace rovik::decks
