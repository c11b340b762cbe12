#include "decks/MiniJson.h"

#include "platform/Utf8ToCp932.h"

#include <cctype>

namespace rovik::decks {
namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    bool value(JsonValue& out, int depth) {
        if (depth > 64) return false;
        skipSpace();
        if (m_at >= m_text.size()) return false;
        const char c = m_text[m_at];
        if (c == '{') return object(out, depth);
        if (c == '[') return array(out, depth);
        if (c == '"') {
            out.kind = JsonValue::Kind::String;
            return string(out.text);
        }
        if (literal("true") || literal("false")) {
            out.kind = JsonValue::Kind::Bool;
            out.text = m_text[m_at - 1] == 'e' && m_text[m_at - 4] == 't' ? "true" : "false";
            return true;
        }
        if (literal("null")) return true;
        const std::size_t start = m_at;
        while (m_at < m_text.size() && (std::isdigit(static_cast<unsigned char>(m_text[m_at])) ||
                                        std::string("+-.eE").find(m_text[m_at]) != std::string::npos))
            ++m_at;
        if (m_at == start) return false;
        out.kind = JsonValue::Kind::Number;
        out.text = m_text.substr(start, m_at - start);
        return true;
    }

    bool atEnd() {
        skipSpace();
        return m_at == m_text.size();
    }

private:
    void skipSpace() {
        while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at])))
            ++m_at;
    }
    bool literal(const char* word) {
        const std::string w(word);
        if (m_text.compare(m_at, w.size(), w) != 0) return false;
        m_at += w.size();
        return true;
    }
    bool hex4(char32_t& v) {
        if (m_at + 4 > m_text.size()) return false;
        v = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = m_text[m_at++];
            if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
            v = v * 16 + static_cast<char32_t>(std::isdigit(static_cast<unsigned char>(c))
                                                   ? c - '0'
                                                   : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
        }
        return true;
    }
    bool string(std::string& out) {
        ++m_at; // the opening quote
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_at >= m_text.size()) return false;
            const char e = m_text[m_at++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                char32_t v = 0;
                if (!hex4(v)) return false;
                if (v >= 0xD800 && v <= 0xDBFF && m_text.compare(m_at, 2, "\\u") == 0) {
                    m_at += 2;
                    char32_t low = 0;
                    if (!hex4(low) || low < 0xDC00 || low > 0xDFFF) return false;
                    v = 0x10000 + ((v - 0xD800) << 10) + (low - 0xDC00);
                    out += std::string{
                        static_cast<char>(0xF0 | (v >> 18)), static_cast<char>(0x80 | ((v >> 12) & 0x3F)),
                        static_cast<char>(0x80 | ((v >> 6) & 0x3F)), static_cast<char>(0x80 | (v & 0x3F))};
                } else if (v >= 0xD800 && v <= 0xDFFF) {
                    return false;
                } else {
                    out += utf8Of(v);
                }
                break;
            }
            default:
                out += e;
                break; // \" \\ \/
            }
        }
        return false;
    }
    bool object(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Object;
        ++m_at;
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == '}') return ++m_at, true;
        while (true) {
            skipSpace();
            std::string key;
            if (m_at >= m_text.size() || m_text[m_at] != '"' || !string(key)) return false;
            skipSpace();
            if (m_at >= m_text.size() || m_text[m_at++] != ':') return false;
            JsonValue member;
            if (!value(member, depth + 1)) return false;
            out.members[key] = std::move(member);
            skipSpace();
            if (m_at >= m_text.size()) return false;
            const char c = m_text[m_at++];
            if (c == '}') return true;
            if (c != ',') return false;
        }
    }
    bool array(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Array;
        ++m_at;
        skipSpace();
        if (m_at < m_text.size() && m_text[m_at] == ']') return ++m_at, true;
        while (true) {
            JsonValue item;
            if (!value(item, depth + 1)) return false;
            out.items.push_back(std::move(item));
            skipSpace();
            if (m_at >= m_text.size()) return false;
            const char c = m_text[m_at++];
            if (c == ']') return true;
            if (c != ',') return false;
        }
    }

    const std::string& m_text;
    std::size_t m_at = 0;
};

} // namespace

const JsonValue* JsonValue::find(const std::string& key) const {
    if (kind != Kind::Object) return nullptr;
    auto it = members.find(key);
    return it == members.end() ? nullptr : &it->second;
}

std::optional<JsonValue> parseJson(const std::string& text) {
    Parser parser(text);
    JsonValue value;
    if (!parser.value(value, 0) || !parser.atEnd()) return std::nullopt;
    return value;
}

} // namespace rovik::decks
