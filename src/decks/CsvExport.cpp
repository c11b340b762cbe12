#include "decks/CsvExport.h"

#include <algorithm>

namespace rovik::decks {
namespace {

std::string row(const std::vector<std::string>& fields, char separator, const char* lineEnd) {
    std::string text;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) text += separator;
        text += csvField(fields[i], separator);
    }
    return text + lineEnd;
}

std::string joinedTags(const ExportRecord& record) {
    std::string text;
    for (const std::string& tag : tagsOf(record))
        text += (text.empty() ? "" : " ") + tag;
    return text;
}

std::string deckColumn(const std::string& deck) {
    const bool digits = std::all_of(deck.begin(), deck.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits ? deck + " " : deck;
}

} // namespace

std::string csvField(const std::string& text, char separator) {
    const bool plain = text.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string::npos;
    if (plain && (text.empty() || text[0] != '#')) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string spreadsheetCsv(const std::vector<ExportTitle>& titles) {
    std::string text =
        "\xEF\xBB\xBF" + row({"タイトル", "分類A", "分類B", "質問", "解答", "参考"}, ',', "\r\n");
    for (const ExportTitle& title : titles)
        for (const ExportRecord& r : title.records)
            text +=
                row({title.name, r.categoryA, r.categoryB, r.question, r.answer, r.reference}, ',', "\r\n");
    return text;
}

std::string ankiText(const std::vector<ExportTitle>& titles) {
    std::string text = "#separator:tab\n#html:false\n#deck column:1\n#tags column:5\n";
    for (const ExportTitle& title : titles)
        for (const ExportRecord& r : title.records)
            text +=
                row({deckColumn(title.deck), r.question, r.answer, r.reference, joinedTags(r)}, '\t', "\n");
    return text;
}

} // namespace rovik::decks
