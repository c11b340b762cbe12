#include "platform/TextEncoding.h"

#include "platform/Cp932.h"
#include "platform/Cp932Table.h"
#include "platform/Utf8ToCp932.h"

#include <cstring>

namespace rovik {
namespace {

const char kBom[] = "\xEF\xBB\xBF";
constexpr std::size_t kBomSize = 3;

bool hasBom(const std::string& bytes) {
    return bytes.compare(0, kBomSize, kBom) == 0;
}

// The length of the text before its first zero byte.
std::size_t textLength(const std::string& bytes, std::size_t from) {
    const void* nul = std::memchr(bytes.data() + from, '\0', bytes.size() - from);
    return nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data()) : bytes.size();
}

bool isLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// The CP932 code at `pos` and its length in bytes.
std::uint16_t codeAt(const std::string& cp932, std::size_t pos, std::size_t& length) {
    const auto b = static_cast<unsigned char>(cp932[pos]);
    if (isLeadByte(b) && pos + 1 < cp932.size()) {
        length = 2;
        return static_cast<std::uint16_t>(b << 8 | static_cast<unsigned char>(cp932[pos + 1]));
    }
    length = 1;
    return b;
}

// Where the line holding `pos` ends (before its CR or LF), for lines split as reading does.
std::size_t lineEnd(const std::string& text, std::size_t pos) {
    const std::size_t end = text.find_first_of("\r\n", pos);
    return end == std::string::npos ? text.size() : end;
}

std::size_t nextLineStart(const std::string& text, std::size_t end) {
    if (end >= text.size()) return text.size();
    return end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
}

// The offsets in a CP932 line of the characters a save writes in JIS form.
std::vector<std::size_t> jisPlaces(const std::string& line, const Utf8Forms& forms,
                                   std::unordered_map<std::string, std::size_t>& taken) {
    if (auto it = forms.jisLines.find(line); it != forms.jisLines.end()) {
        std::size_t& next = taken[line];
        const auto& places = it->second[std::min(next, it->second.size() - 1)];
        ++next;
        return places;
    }
    std::vector<std::size_t> places;
    if (forms.jisOnly == 0) return places;
    for (std::size_t pos = 0, length = 0; pos < line.size(); pos += length) {
        const int jis = jisFormIndexOfCode(codeAt(line, pos, length));
        if (jis >= 0 && (forms.jisOnly >> jis & 1u)) places.push_back(pos);
    }
    return places;
}

// A CP932 line as UTF-8, the characters at `places` in their JIS forms.
std::string lineInForms(const std::string& line, const std::vector<std::size_t>& places) {
    std::string utf8;
    std::size_t pos = 0;
    for (std::size_t place : places) {
        std::size_t length = 0;
        const int jis = jisFormIndexOfCode(codeAt(line, place, length));
        if (place < pos || jis < 0) continue;
        utf8 += cp932ToUtf8(line.substr(pos, place - pos)) + utf8Of(jisFormCharacter(jis));
        pos = place + length;
    }
    return utf8 + cp932ToUtf8(line.substr(pos));
}

std::string utf8InForms(const std::string& cp932, const Utf8Forms& forms) {
    std::string utf8;
    std::unordered_map<std::string, std::size_t> taken;
    std::size_t run = 0; // lines that need no JIS form are decoded together
    for (std::size_t start = 0; start < cp932.size();) {
        const std::size_t end = lineEnd(cp932, start);
        const std::string line = cp932.substr(start, end - start);
        const std::size_t next = nextLineStart(cp932, end);
        const std::vector<std::size_t> places = jisPlaces(line, forms, taken);
        if (!places.empty()) {
            utf8 += cp932ToUtf8(cp932.substr(run, start - run)) + lineInForms(line, places);
            utf8 += cp932.substr(end, next - end);
            run = next;
        }
        start = next;
    }
    return utf8 + cp932ToUtf8(cp932.substr(run));
}

} // namespace

void Utf8Forms::replace(Utf8Forms other) {
    for (auto& [line, places] : other.jisLines)
        jisLines[line] = std::move(places);
    jisOnly = other.jisOnly;
}

void Utf8Forms::add(Utf8Forms other) {
    for (auto& [line, places] : other.jisLines) {
        auto& mine = jisLines[line];
        mine.insert(mine.end(), places.begin(), places.end());
    }
    jisOnly |= other.jisOnly;
}

Utf8Forms utf8FormsOf(const std::string& cp932, const std::vector<JisFormAt>& jisForms) {
    Utf8Forms forms;
    if (jisForms.empty()) return forms;
    // The lines holding JIS forms (their starts and places)...
    std::vector<std::pair<std::size_t, std::vector<std::size_t>>> jisLines;
    std::size_t jisCount[kJisFormCount] = {};
    std::size_t start = 0, end = lineEnd(cp932, 0);
    for (const JisFormAt& jis : jisForms) {
        while (jis.at >= end && end < cp932.size()) {
            start = nextLineStart(cp932, end);
            end = lineEnd(cp932, start);
        }
        if (jisLines.empty() || jisLines.back().first != start) jisLines.push_back({start, {}});
        jisLines.back().second.push_back(jis.at - start);
        ++jisCount[jisFormIndex(jis.character)];
    }
    for (const auto& [lineStart, places] : jisLines)
        forms.jisLines[cp932.substr(lineStart, lineEnd(cp932, lineStart) - lineStart)];
    // ...then every line that reads as one of them, in file order: a line written in Windows'
    // forms takes its own place in the queue, so an unchanged file comes back line for line.
    auto next = jisLines.begin();
    for (start = 0; start < cp932.size(); start = nextLineStart(cp932, end)) {
        end = lineEnd(cp932, start);
        const bool hasJis = next != jisLines.end() && next->first == start;
        auto it = forms.jisLines.find(cp932.substr(start, end - start));
        if (it != forms.jisLines.end())
            it->second.push_back(hasJis ? next->second : std::vector<std::size_t>{});
        if (hasJis) ++next;
    }
    // A form is kept for new text only where the file never wrote Windows' form of it.
    std::size_t total[kJisFormCount] = {};
    for (std::size_t pos = 0, length = 0; pos < cp932.size(); pos += length) {
        const int jis = jisFormIndexOfCode(codeAt(cp932, pos, length));
        if (jis >= 0) ++total[jis];
    }
    for (std::size_t i = 0; i < kJisFormCount; ++i)
        if (jisCount[i] > 0 && jisCount[i] == total[i]) forms.jisOnly |= 1u << i;
    return forms;
}

TextEncoding detectTextEncoding(const std::string& bytes) {
    if (hasBom(bytes)) return TextEncoding::Utf8WithBom;
    return isUtf8WithMultiByte(bytes, textLength(bytes, 0)) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

DecodedText decodeText(std::string bytes, EncodingChoice choice) {
    DecodedText text;
    const bool bom = hasBom(bytes);
    if (choice != EncodingChoice::Cp932) {
        const bool detecting = choice == EncodingChoice::Auto && !bom;
        const std::size_t from = bom ? kBomSize : 0;
        Utf8Conversion conversion =
            convertUtf8ToCp932InPlace(bytes, from, textLength(bytes, from), detecting);
        // Pure ASCII reads the same either way, and was left as it was.
        if (conversion.utf8 && (conversion.multiByte || !detecting)) {
            text.encoding = bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
            text.jisForms = std::move(conversion.jisForms);
            if (conversion.unmappable.empty())
                text.cp932 = std::move(bytes);
            else
                text.unmappable = std::move(conversion.unmappable);
            return text;
        }
    }
    text.cp932 = std::move(bytes);
    return text;
}

bool encodeText(const std::string& cp932, TextEncoding encoding, std::string& out, const Utf8Forms& forms) {
    if (encoding == TextEncoding::Cp932) {
        out = cp932;
        return true;
    }
    out = encoding == TextEncoding::Utf8WithBom ? kBom : "";
    const std::string utf8 = forms.empty() ? cp932ToUtf8(cp932) : utf8InForms(cp932, forms);
    // CP932 has no code for U+FFFD: finding one means a byte the decoder had to replace.
    if (utf8.find("\xEF\xBF\xBD") != std::string::npos) {
        out.clear();
        return false;
    }
    out += utf8;
    return true;
}

Cp932Encoding fileNameToCp932(const std::string& name) {
    const auto* p = reinterpret_cast<const unsigned char*>(name.data());
    bool ascii = true;
    for (std::size_t i = 0; i < name.size();) {
        char32_t c;
        const std::size_t len = p[i] < 0x80 ? 1 : utf8SequenceAt(p + i, name.size() - i, c);
        if (len == 0) return {name, {}};
        ascii = ascii && len == 1;
        i += len;
    }
    // ASCII is the same in both: the codec need not be loaded for it.
    return ascii ? Cp932Encoding{name, {}} : utf8ToCp932(name);
}

bool isValidUtf8(const std::string& bytes) {
    for (const char ch : bytes)
        if (static_cast<unsigned char>(ch) >= 0x80) return isUtf8WithMultiByte(bytes, bytes.size());
    return true;
}

std::optional<std::string> utf8OrCp932ToUtf8(const std::string& bytes) {
    if (isValidUtf8(bytes)) return bytes;
    std::string utf8 = cp932ToUtf8(bytes);
    // CP932 has no code for U+FFFD: finding one means a byte the decoder had to replace.
    if (utf8.find("\xEF\xBF\xBD") != std::string::npos) return std::nullopt;
    return utf8;
}

std::optional<std::string> utf16leToUtf8(const std::string& bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    auto unit = [&bytes](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) |
                                     static_cast<unsigned char>(bytes[i + 1]) << 8);
    };
    std::string utf8;
    utf8.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xDC00 && c <= 0xDFFF) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 2 >= bytes.size()) return std::nullopt;
            const char32_t low = unit(i + 2);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        }
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | c >> 12);
            utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | c >> 18);
            utf8 += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

std::string fileTextToUtf8(const std::string& bytes) {
    return hasBom(bytes) ? bytes.substr(kBomSize) : cp932ToUtf8(bytes);
}

const char* encodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Utf8WithBom:
        return "UTF-8 (BOM付き)";
    case TextEncoding::Cp932:
        break;
    }
    return "Shift-JIS";
}

} // namespace rovik
