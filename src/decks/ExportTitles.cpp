#include "decks/ExportTitles.h"

#include "data/Common.h"
#include "data/QuestionSet.h"

#include <algorithm>
#include <set>

namespace rovik::decks {
namespace {

// The line as UTF-8, half-width katakana made full-width; false for bytes that are not CP932.
bool utf8Line(const std::string& line, const Utf8Forms& forms, std::string& out) {
    const std::string text = HasHalfWidthKana(line) ? ToFullWidthKana(line) : line;
    return encodeText(text, TextEncoding::Utf8, out, forms);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string categoryName(const std::vector<std::string>& names, int code) {
    return code >= 1 && code <= static_cast<int>(names.size()) ? names[static_cast<size_t>(code - 1)] : "";
}

// One title block, lines [first, end) of `lines`, into `title`; the failing line's index or -1.
int collectBlock(const std::vector<std::string>& lines, size_t first, size_t end, const Utf8Forms& forms,
                 ExportTitle& title) {
    std::vector<std::string> categoryA, categoryB;
    std::string text;
    for (size_t i = first; i < end; ++i) {
        if (!utf8Line(lines[i], forms, text)) return static_cast<int>(i);
        if (isTitleHeaderLine(lines[i])) {
            title.name = ItemText(text, kTab, 2);
        } else if (isCategoryALine(lines[i])) {
            categoryA.push_back(ItemText(text, kTab, 2));
        } else if (isCategoryBLine(lines[i])) {
            categoryB.push_back(ItemText(text, kTab, 2));
        } else if (!isCommentLine(lines[i])) {
            ExportRecord record{
                ItemText(text, kTab, 2), ItemText(text, kTab, 3), ItemText(text, kTab, 4), {}, {}};
            // The code item's two characters are category A and B, read as hex digits as the
            // quiz reads them; the names come from the block's category lines, which precede it.
            const std::string code = ItemText(text, kTab, 1);
            if (code.size() == 2 && hexDigit(code[0]) >= 0 && hexDigit(code[1]) >= 0) {
                record.categoryA = categoryName(categoryA, hexDigit(code[0]));
                record.categoryB = categoryName(categoryB, hexDigit(code[1]));
            }
            title.records.push_back(std::move(record));
        }
    }
    return -1;
}

std::string folded(const std::string& name) {
    std::string text = name;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

} // namespace

CollectResult collectTitles(const std::vector<std::string>& lines, int title, const Utf8Forms& forms,
                            std::vector<ExportTitle>& out) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < lines.size(); ++i)
        if (isTitleHeaderLine(lines[i])) starts.push_back(i);
    CollectResult result;
    result.titleCount = static_cast<int>(starts.size());
    if (title < 0 || title > result.titleCount || starts.empty()) {
        result.status = CollectStatus::NoSuchTitle;
        return result;
    }
    std::vector<ExportTitle> titles;
    size_t records = 0;
    for (size_t t = 0; t < starts.size(); ++t) {
        if (title != 0 && static_cast<int>(t) + 1 != title) continue;
        const size_t end = t + 1 < starts.size() ? starts[t + 1] : lines.size();
        ExportTitle collected;
        const int bad = collectBlock(lines, starts[t], end, forms, collected);
        if (bad >= 0) {
            result.status = CollectStatus::NotShiftJis;
            result.line = bad + 1;
            return result;
        }
        records += collected.records.size();
        titles.push_back(std::move(collected));
    }
    if (records == 0) {
        result.status = CollectStatus::NoRecords;
        return result;
    }
    std::vector<std::string> names;
    for (const ExportTitle& t : titles)
        names.push_back(t.name);
    const std::vector<std::string> decks = deckNames(names);
    for (size_t t = 0; t < titles.size(); ++t)
        titles[t].deck = decks[t];
    out = std::move(titles);
    return result;
}

std::string tagOf(const std::string& categoryName) {
    static const std::string kFullWidthSpace = "\xE3\x80\x80";
    std::string tag;
    for (size_t i = 0; i < categoryName.size(); ++i) {
        if (categoryName.compare(i, kFullWidthSpace.size(), kFullWidthSpace) == 0) {
            tag += '_';
            i += kFullWidthSpace.size() - 1;
        } else if (categoryName[i] == ' ' || categoryName[i] == '"') {
            tag += '_';
        } else {
            tag += categoryName[i];
        }
    }
    return tag;
}

std::vector<std::string> tagsOf(const ExportRecord& record) {
    std::vector<std::string> tags;
    for (const std::string* name : {&record.categoryA, &record.categoryB}) {
        if (name->empty()) continue;
        std::string tag = tagOf(*name);
        if (std::find(tags.begin(), tags.end(), tag) == tags.end()) tags.push_back(std::move(tag));
    }
    return tags;
}

std::vector<std::string> deckNames(const std::vector<std::string>& titleNames) {
    std::vector<std::string> decks;
    std::set<std::string> taken;
    for (const std::string& titleName : titleNames) {
        const std::string base = titleName.empty() ? "無題" : titleName;
        std::string name = base;
        for (int n = 2; taken.count(folded(name)) != 0; ++n)
            name = base + " (" + std::to_string(n) + ")";
        taken.insert(folded(name));
        decks.push_back(name);
    }
    return decks;
}

} // namespace rovik::decks
