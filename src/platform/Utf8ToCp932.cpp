#include "platform/Utf8ToCp932.h"

#include "platform/Cp932.h"
#include "platform/Cp932Table.h"

#include <algorithm>
#include <cstring>

namespace rovik {
namespace {

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Skips a run of ASCII eight bytes at a time; returns where it ends.
const unsigned char* skipAscii(const unsigned char* p, const unsigned char* stop) {
    std::uint64_t word;
    while (stop - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080ULL) == 0))
        p += 8;
    while (p < stop && *p < 0x80)
        ++p;
    return p;
}

} // namespace

std::string utf8Of(char32_t c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    std::string s;
    if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
    } else {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    s += static_cast<char>(0x80 | (c & 0x3F));
    return s;
}

std::size_t utf8SequenceAt(const unsigned char* p, std::size_t left, char32_t& c) {
    const unsigned char b = p[0];
    std::size_t len;
    unsigned char low = 0x80, high = 0xBF; // the allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2;
        c = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3;
        c = b & 0x0Fu;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4;
        c = b & 0x07u;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (left < len || p[1] < low || p[1] > high) return 0;
    for (std::size_t i = 1; i < len; ++i) {
        if (!isContinuation(p[i])) return 0;
        c = c << 6 | (p[i] & 0x3Fu);
    }
    return len;
}

bool isUtf8WithMultiByte(const std::string& bytes, std::size_t end) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* const stop = p + end;
    bool multiByte = false;
    while ((p = skipAscii(p, stop)) < stop) {
        char32_t c;
        const std::size_t len = utf8SequenceAt(p, static_cast<std::size_t>(stop - p), c);
        if (len == 0) return false;
        multiByte = true;
        p += len;
    }
    return multiByte;
}

namespace {

// A character that could not be converted, and where the converted text had got to.
struct Found {
    std::size_t at;
    std::string character;
    char32_t codePoint;
    bool broken;
};

struct Conversion {
    bool utf8 = true;       // false: detecting, a byte was not UTF-8 and the text is as it was
    bool multiByte = false; // a character beyond ASCII was met
    std::size_t length = 0; // of the converted text, at the start of the bytes
    std::vector<Found> found;
    std::vector<JisFormAt> jisForms;
};

// Converts bytes[from, end) from UTF-8 to CP932 in place, from the start of the bytes: no character
// takes more bytes in CP932 than in UTF-8, so the written part never overtakes the part still to
// be read, and no second buffer of the file's size is needed.
class InPlaceConverter {
public:
    InPlaceConverter(std::string& bytes, std::size_t from, std::size_t end)
        : m_begin(reinterpret_cast<unsigned char*>(&bytes[0])), m_p(m_begin + from), m_stop(m_begin + end),
          m_o(m_begin), m_table(cp932RoundTripTable()) {}

    // With `detecting`, the first byte that is not UTF-8 ends it and puts the text back as it was:
    // a CP932 text shows one early, so detection and conversion take one pass.
    Conversion run(bool detecting) {
        while (m_p < m_stop) {
            convertCommon();
            if (m_p < m_stop && !convertOne(detecting)) {
                undo();
                m_result.utf8 = false;
                return std::move(m_result);
            }
        }
        m_result.length = at();
        return std::move(m_result);
    }

private:
    // ASCII, and the three-byte characters of Japanese text that CP932 holds, in one tight loop;
    // stops at anything else. ASCII goes eight bytes at a time where it can (each word loaded
    // before it is stored). It works on locals: stores through a byte pointer could alias members.
    void convertCommon() {
        const unsigned char* p = m_p;
        unsigned char* o = m_o;
        const unsigned char* const stop = m_stop;
        const std::uint16_t* const table = m_table;
        bool multiByte = false;
        while (p < stop) {
            const unsigned char b = *p;
            if (b < 0x80) {
                std::uint64_t word;
                if (stop - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080ULL) == 0)) {
                    std::memcpy(o, &word, 8);
                    o += 8;
                    p += 8;
                } else {
                    *o++ = b;
                    ++p;
                }
                continue;
            }
            // Leads E1 to EC and EE, EF can be neither overlong nor a surrogate.
            if (static_cast<unsigned>(b - 0xE1) > 0xEF - 0xE1 || b == 0xED || stop - p < 3) break;
            const unsigned second = p[1] ^ 0x80u, third = p[2] ^ 0x80u; // continuation bytes: < 0x40
            if ((second | third) > 0x3Fu) break;
            const std::uint16_t code = table[(b & 0x0Fu) << 12 | second << 6 | third];
            if (code == kNoCp932Code) break;
            // Two bytes are stored either way: o never passes p, so the second store lands on input
            // already read, and after a one-byte code the next store overwrites it.
            const bool twoBytes = code >= 0x100;
            o[0] = static_cast<unsigned char>(twoBytes ? code >> 8 : code);
            o[1] = static_cast<unsigned char>(code & 0xFF);
            o += twoBytes ? 2 : 1;
            p += 3;
            multiByte = true;
        }
        m_result.multiByte |= multiByte;
        m_p = p;
        m_o = o;
    }
    // Any other character; false when detecting and it is not UTF-8.
    bool convertOne(bool detecting) {
        char32_t c = 0;
        const std::size_t len = utf8SequenceAt(m_p, static_cast<std::size_t>(m_stop - m_p), c);
        if (len == 0 && detecting) return false;
        m_result.multiByte = true;
        const std::uint16_t code = len == 0 ? kNoCp932Code : cp932CodeOf(c);
        if (code != kNoCp932Code && m_table[c] == kNoCp932Code) m_result.jisForms.push_back({at(), c});
        if (code != kNoCp932Code)
            put(code);
        else if (len == 0)
            m_result.found.push_back({at(), std::string(1, static_cast<char>(*m_p)), *m_p, true});
        else
            m_result.found.push_back({at(), std::string(m_p, m_p + len), c, false});
        m_p += len == 0 ? 1 : len;
        return true;
    }
    void put(std::uint16_t code) {
        if (code >= 0x100) *m_o++ = static_cast<unsigned char>(code >> 8);
        *m_o++ = static_cast<unsigned char>(code & 0xFF);
    }
    std::size_t at() const { return static_cast<std::size_t>(m_o - m_begin); }
    // Everything converted so far reads back exactly but the JIS forms, whose places were noted,
    // and the characters left out were kept: together they are the bytes that were there.
    void undo() {
        // ASCII alone was copied onto itself: nothing to put back (and no codec to load).
        if (!m_result.multiByte) return;
        std::string original;
        std::size_t pos = 0;
        auto jis = m_result.jisForms.begin();
        auto found = m_result.found.begin();
        while (jis != m_result.jisForms.end() || found != m_result.found.end()) {
            const bool jisFirst =
                found == m_result.found.end() || (jis != m_result.jisForms.end() && jis->at < found->at);
            const std::size_t at = jisFirst ? jis->at : found->at;
            original += cp932ToUtf8(std::string(m_begin + pos, m_begin + at));
            if (jisFirst) {
                original += utf8Of((jis++)->character);
                pos = at + (cp932CodeOf(jis[-1].character) >= 0x100 ? 2 : 1);
            } else {
                original += (found++)->character;
                pos = at;
            }
        }
        original += cp932ToUtf8(std::string(m_begin + pos, m_o));
        std::memcpy(m_begin, original.data(),
                    std::min(original.size(), static_cast<std::size_t>(m_p - m_begin)));
    }

    unsigned char* const m_begin;
    const unsigned char* m_p;
    const unsigned char* const m_stop;
    unsigned char* m_o;
    const std::uint16_t* const m_table;
    Conversion m_result;
};

// The characters with their lines. Conversion keeps every CR and LF and makes no new ones, so
// the converted text up to where each was found holds the same line ends as the file.
std::vector<UnmappableCharacter> unmappableOf(const std::string& converted, std::vector<Found> found) {
    std::vector<UnmappableCharacter> characters;
    std::size_t line = 1;
    std::size_t pos = 0;
    for (Found& f : found) {
        for (; pos < f.at; ++pos) {
            const char b = converted[pos];
            if (b == '\r' || (b == '\n' && (pos == 0 || converted[pos - 1] != '\r'))) ++line;
        }
        characters.push_back({line, std::move(f.character), f.codePoint, f.broken});
    }
    return characters;
}

} // namespace

Utf8Conversion convertUtf8ToCp932InPlace(std::string& bytes, std::size_t from, std::size_t end,
                                         bool detecting) {
    Conversion conversion = InPlaceConverter(bytes, from, end).run(detecting);
    Utf8Conversion result;
    result.utf8 = conversion.utf8;
    result.multiByte = conversion.multiByte;
    // Detected ASCII is no UTF-8 text either: it stays whole, past a zero byte too.
    if (!conversion.utf8 || (detecting && !conversion.multiByte)) return result;
    bytes.resize(conversion.length);
    result.jisForms = std::move(conversion.jisForms);
    if (!conversion.found.empty()) result.unmappable = unmappableOf(bytes, std::move(conversion.found));
    return result;
}

} // namespace rovik
