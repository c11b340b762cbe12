#include "decks/HtmlText.h"

#include "platform/Utf8ToCp932.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace rovik::decks {
namespace {

std::string lower(std::string s) {
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The element name of a tag's inside ("br/", "/div class=x" -> "br", "div").
std::string tagName(const std::string& inside, bool& closing) {
    std::size_t i = 0;
    closing = !inside.empty() && inside[0] == '/';
    if (closing) ++i;
    std::size_t start = i;
    while (i < inside.size() && std::isalnum(static_cast<unsigned char>(inside[i])))
        ++i;
    return lower(inside.substr(start, i - start));
}

bool isBlock(const std::string& name) {
    static const char* const kBlocks[] = {"div", "p",  "li", "tr", "td", "th",    "h1",         "h2", "h3",
                                          "h4",  "h5", "h6", "ul", "ol", "table", "blockquote", "pre"};
    return std::any_of(std::begin(kBlocks), std::end(kBlocks), [&](const char* b) { return name == b; });
}

// The entity at text[i] ('&'): appends its character and returns its length, or 0 when it is none
// we know (then the '&' stays as it is).
std::size_t decodeEntity(const std::string& text, std::size_t i, std::string& out) {
    std::size_t semi = text.find(';', i);
    if (semi == std::string::npos || semi - i > 10) return 0;
    const std::string name = text.substr(i + 1, semi - i - 1);
    static const std::map<std::string, std::string> kNamed{{"nbsp", " "}, {"amp", "&"},   {"lt", "<"},
                                                           {"gt", ">"},   {"quot", "\""}, {"apos", "'"}};
    if (auto it = kNamed.find(name); it != kNamed.end()) {
        out += it->second;
        return semi - i + 1;
    }
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 7) return 0;
    char32_t value = 0;
    for (char c : digits) {
        int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : hex && std::isxdigit(static_cast<unsigned char>(c))
                    ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                    : -1;
        if (d < 0) return 0;
        value = value * (hex ? 16 : 10) + static_cast<char32_t>(d);
    }
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    // A line break, tab or other control character written as an entity is a space too.
    if (value == 0xA0 || value < 0x20 || value == 0x7F) value = ' ';
    out += value < 0x10000 ? utf8Of(value)
                           : std::string{static_cast<char>(0xF0 | (value >> 18)),
                                         static_cast<char>(0x80 | ((value >> 12) & 0x3F)),
                                         static_cast<char>(0x80 | ((value >> 6) & 0x3F)),
                                         static_cast<char>(0x80 | (value & 0x3F))};
    return semi - i + 1;
}

// Folds runs of spaces into one and trims the ends (a dropped tag leaves no double space).
std::string foldSpaces(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

} // namespace

std::string htmlToText(const std::string& html, HtmlDrops& drops) {
    std::string out;
    std::size_t i = 0;
    while (i < html.size()) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t end = html.find('>', i);
            if (end == std::string::npos) { // an unclosed tag is text, not markup
                out += c;
                ++i;
                continue;
            }
            bool closing = false;
            const std::string name = tagName(html.substr(i + 1, end - i - 1), closing);
            if (name == "br" || (closing && isBlock(name))) {
                out += ' ';
                ++drops.lineBreaks;
            } else if (name == "img") {
                ++drops.media;
            } else if (!closing && (name == "script" || name == "style")) {
                const std::size_t close = lower(html).find("</" + name, end);
                i = close == std::string::npos ? html.size() : close;
                continue;
            }
            i = end + 1;
        } else if (c == '&') {
            const std::size_t used = decodeEntity(html, i, out);
            if (used == 0) out += c;
            i += used == 0 ? 1 : used;
        } else if (c == '[' && html.compare(i, 7, "[sound:") == 0 && html.find(']', i) != std::string::npos) {
            ++drops.media;
            i = html.find(']', i) + 1;
        } else if (c == '\r' || c == '\n') {
            if (!(c == '\n' && i > 0 && html[i - 1] == '\r')) {
                out += ' ';
                ++drops.lineBreaks;
            }
            ++i;
        } else {
            // Tabs and other control bytes would break the record's items (a zero byte ends it).
            out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
            ++i;
        }
    }
    return foldSpaces(out);
}

std::vector<ClozeCard> clozeCards(const std::string& text) {
    struct Deletion {
        std::size_t begin, end; // of the whole {{...}}
        int number;
        std::string text, hint;
    };
    std::vector<Deletion> deletions;
    std::size_t from = 0;
    while ((from = text.find("{{c", from)) != std::string::npos) {
        std::size_t i = from + 3;
        int number = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && number < 1000)
            number = number * 10 + (text[i++] - '0');
        const std::size_t close = text.find("}}", i);
        if (number == 0 || text.compare(i, 2, "::") != 0 || close == std::string::npos) {
            from += 3;
            continue;
        }
        std::string inside = text.substr(i + 2, close - i - 2);
        std::string hint;
        if (std::size_t sep = inside.find("::"); sep != std::string::npos) {
            hint = inside.substr(sep + 2);
            inside.erase(sep);
        }
        deletions.push_back({from, close + 2, number, inside, hint});
        from = close + 2;
    }
    std::vector<int> numbers;
    for (const auto& d : deletions)
        if (std::find(numbers.begin(), numbers.end(), d.number) == numbers.end()) numbers.push_back(d.number);
    std::sort(numbers.begin(), numbers.end());
    std::vector<ClozeCard> cards;
    for (int number : numbers) {
        ClozeCard card{number, "", "", ""};
        std::size_t at = 0;
        for (const auto& d : deletions) {
            card.question += text.substr(at, d.begin - at);
            at = d.end;
            if (d.number != number) {
                card.question += d.text;
                continue;
            }
            card.question += "（　）";
            card.answer += (card.answer.empty() ? "" : "、") + d.text;
            if (!d.hint.empty()) card.hint += (card.hint.empty() ? "" : "、") + d.hint;
        }
        card.question += text.substr(at);
        cards.push_back(std::move(card));
    }
    return cards;
}

} // namespace rovik::decks
