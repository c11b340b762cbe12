#include "datalist/FindReplace.h"

#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "datalist/RecordEditor.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <array>

namespace rovik {
namespace {

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

std::string utf8Of(unsigned codePoint) {
    std::string s;
    if (codePoint < 0x80) {
        s += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        s += static_cast<char>(0xC0 | (codePoint >> 6));
        s += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (codePoint >> 12));
        s += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
    return s;
}

unsigned keyOf(const std::string& cp932) {
    if (cp932.size() == 1) return static_cast<unsigned char>(cp932[0]);
    if (cp932.size() == 2)
        return static_cast<unsigned>(static_cast<unsigned char>(cp932[0])) << 8 |
               static_cast<unsigned char>(cp932[1]);
    return 0;
}

// Full-width ASCII and the ideographic space lie in 0x8140..0x829F; half-width katakana in
// 0xA1..0xDF. Both tables come from the converter, so they agree with what the user typed.
constexpr unsigned kWideFirst = 0x8140;
constexpr unsigned kWideEnd = 0x82A0;
constexpr const char* kFullWidthKana =
    "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテト"
    "ナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン゛゜";

struct WidthTables {
    std::array<unsigned char, kWideEnd - kWideFirst> narrow{}; // 0: no narrow form
    std::array<unsigned, 0xE0 - 0xA1> wideKana{};
    WidthTables() {
        auto addNarrow = [this](unsigned codePoint, unsigned char ascii) {
            const unsigned key = keyOf(utf8ToCp932(utf8Of(codePoint)).bytes);
            if (key >= kWideFirst && key < kWideEnd) narrow[key - kWideFirst] = ascii;
        };
        for (unsigned c = 0x21; c <= 0x7E; ++c)
            addNarrow(0xFF01 + (c - 0x21), static_cast<unsigned char>(c));
        addNarrow(0x3000, ' ');
        const std::string kana = utf8ToCp932(kFullWidthKana).bytes;
        for (size_t i = 0; i < wideKana.size() && 2 * i + 1 < kana.size(); ++i)
            wideKana[i] = keyOf(kana.substr(2 * i, 2));
    }
};

const WidthTables& widthTables() {
    static const WidthTables tables;
    return tables;
}

unsigned folded(unsigned key, bool matchCase, bool matchWidth) {
    if (!matchWidth) {
        const WidthTables& tables = widthTables();
        if (key >= 0xA1 && key <= 0xDF)
            key = tables.wideKana[key - 0xA1];
        else if (key >= kWideFirst && key < kWideEnd && tables.narrow[key - kWideFirst])
            key = tables.narrow[key - kWideFirst];
    }
    if (!matchCase) {
        if (key >= 'a' && key <= 'z') key -= 'a' - 'A';
        if (key >= 0x8281 && key <= 0x829A) key -= 0x8281 - 0x8260; // ａ-ｚ to Ａ-Ｚ
    }
    return key;
}

// The characters of a CP932 text as compare keys, with the byte where each starts (and the end).
void readKeys(const std::string& text, bool matchCase, bool matchWidth, std::vector<unsigned>& keys,
              std::vector<size_t>& starts) {
    keys.clear();
    starts.clear();
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        starts.push_back(i);
        if (isLeadByte(b) && i + 1 < text.size()) {
            keys.push_back(folded(static_cast<unsigned>(b) << 8 | static_cast<unsigned char>(text[i + 1]),
                                  matchCase, matchWidth));
            i += 2;
        } else {
            keys.push_back(folded(b, matchCase, matchWidth));
            ++i;
        }
    }
    starts.push_back(text.size());
}

// Where item `item` (from 1) of a tab-separated line lies; nothing past the last item.
std::optional<std::pair<size_t, size_t>> itemSpan(const std::string& line, int item) {
    size_t start = 0;
    for (int k = 1; k < item; ++k) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string::npos) return std::nullopt;
        start = tab + 1;
    }
    const size_t tab = line.find('\t', start);
    return std::make_pair(start, tab == std::string::npos ? line.size() : tab);
}

std::vector<FindMatch> lineMatches(const QuestionSet& set, size_t line, const FindOptions& options,
                                   const FindPattern& pattern) {
    std::vector<FindMatch> matches;
    const std::string& text = set.lines[line];
    for (int item : searchedItems(text, options)) {
        const auto span = itemSpan(text, item);
        if (!span) continue;
        for (const auto& [offset, length] :
             pattern.matchesIn(text.substr(span->first, span->second - span->first)))
            matches.push_back({line, item, offset, length});
    }
    return matches;
}

// True when `m` lies after `from` (after its end when `from` is a match) or before it.
bool after(const FindMatch& from, const FindMatch& m) {
    return m.item != from.item ? m.item > from.item
                               : m.offset >= from.offset + std::max<size_t>(from.length, 1);
}
bool before(const FindMatch& m, const FindMatch& from) {
    return m.item != from.item ? m.item < from.item : m.offset < from.offset;
}
} // namespace

FindPattern::FindPattern(const FindOptions& options)
    : m_matchCase(options.matchCase), m_matchWidth(options.matchWidth) {
    const Cp932Encoding encoded = utf8ToCp932(options.text);
    if (!encoded.unmappable.empty()) return;
    std::vector<size_t> starts;
    readKeys(encoded.bytes, m_matchCase, m_matchWidth, m_keys, starts);
}

std::vector<std::pair<size_t, size_t>> FindPattern::matchesIn(const std::string& text) const {
    std::vector<std::pair<size_t, size_t>> matches;
    if (m_keys.empty() || text.size() < m_keys.size()) return matches;
    thread_local std::vector<unsigned> keys;
    thread_local std::vector<size_t> starts;
    readKeys(text, m_matchCase, m_matchWidth, keys, starts);
    const size_t n = m_keys.size();
    for (size_t i = 0; i + n <= keys.size();) {
        if (keys[i] == m_keys[0] &&
            std::equal(m_keys.begin() + 1, m_keys.end(), keys.begin() + static_cast<std::ptrdiff_t>(i + 1))) {
            matches.emplace_back(starts[i], starts[i + n] - starts[i]);
            i += n;
        } else {
            ++i;
        }
    }
    return matches;
}

std::vector<int> searchedItems(const std::string& line, const FindOptions& options) {
    if (isHeaderLine(line)) return options.names ? std::vector<int>{2} : std::vector<int>{};
    if (isCommentLine(line)) return {};
    std::vector<int> items;
    if (options.question) items.push_back(2);
    if (options.answer) items.push_back(3);
    if (options.reference) items.push_back(4);
    return items;
}

std::pair<size_t, size_t> scopeLines(const QuestionSet& set, FindScope scope) {
    if (scope == FindScope::AllTitles) return {0, set.lines.size()};
    if (set.selectedTitle < 1 || set.selectedTitle > set.titleCount()) return {0, 0};
    const TitleRange& range = set.title(set.selectedTitle);
    const size_t end = std::min(static_cast<size_t>(range.last) + 1, set.lines.size());
    return {std::min(static_cast<size_t>(range.start - 1), end), end};
}

std::vector<FindMatch> findAll(const QuestionSet& set, const FindOptions& options) {
    std::vector<FindMatch> matches;
    const FindPattern pattern(options);
    if (pattern.empty()) return matches;
    const auto [first, end] = scopeLines(set, options.scope);
    for (size_t line = first; line < end; ++line) {
        std::vector<FindMatch> found = lineMatches(set, line, options, pattern);
        matches.insert(matches.end(), found.begin(), found.end());
    }
    return matches;
}

std::optional<FindMatch> findNext(const QuestionSet& set, const FindOptions& options,
                                  const std::optional<FindMatch>& from, bool backward, bool& wrapped) {
    wrapped = false;
    const FindPattern pattern(options);
    const auto [first, end] = scopeLines(set, options.scope);
    if (pattern.empty() || first >= end) return std::nullopt;
    const bool inScope = from && from->line >= first && from->line < end;
    if (!backward) {
        const size_t start = inScope ? from->line : first;
        for (size_t line = start; line < end; ++line)
            for (const FindMatch& m : lineMatches(set, line, options, pattern))
                if (!inScope || line > start || after(*from, m)) return m;
        if (!inScope) return std::nullopt;
        wrapped = true;
        for (size_t line = first; line <= start; ++line)
            for (const FindMatch& m : lineMatches(set, line, options, pattern))
                if (line < start || !after(*from, m)) return m;
        return std::nullopt;
    }
    const size_t start = inScope ? from->line : end - 1;
    for (size_t line = start + 1; line-- > first;) {
        std::vector<FindMatch> matches = lineMatches(set, line, options, pattern);
        for (auto m = matches.rbegin(); m != matches.rend(); ++m)
            if (!inScope || line < start || before(*m, *from)) return *m;
    }
    if (!inScope) return std::nullopt;
    wrapped = true;
    for (size_t line = end; line-- > start;) {
        std::vector<FindMatch> matches = lineMatches(set, line, options, pattern);
        for (auto m = matches.rbegin(); m != matches.rend(); ++m)
            if (line > start || !before(*m, *from)) return *m;
    }
    return std::nullopt;
}

std::optional<std::string> replacedLine(const std::string& line, const FindMatch& match,
                                        const FindOptions& options, std::string& refusal) {
    const auto span = itemSpan(line, match.item);
    if (!span || match.offset + match.length > span->second - span->first) return std::nullopt;
    if (options.replacement.find_first_of("\t\r\n") != std::string::npos) {
        refusal = "置換する文字列にタブや改行は使えません。";
        return std::nullopt;
    }
    const Cp932Encoding replacement = utf8ToCp932(options.replacement);
    if (!replacement.unmappable.empty()) {
        refusal = "「" + replacement.unmappable + "」はShift-JISにない文字のため、登録できません。";
        return std::nullopt;
    }
    std::string result = line;
    result.replace(span->first + match.offset, match.length, replacement.bytes);
    // A line loading would refuse makes the saved file impossible to open; problems the line
    // already had are not the replacement's doing.
    std::vector<std::string> problems = lineProblems(result);
    if (!problems.empty() && problems != lineProblems(line)) {
        refusal = editRefusalText(match.line, result, problems);
        return std::nullopt;
    }
    return result;
}

} // namespace rovik
