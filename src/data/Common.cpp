#include "data/Common.h"

#include <array>
#include <sys/stat.h>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define ROVIK_KANA_SSE2 1
#endif

namespace rovik {
namespace {

// Full-width Shift-JIS codes of the half-width katakana 0xA1..0xDF.
constexpr std::array<std::uint16_t, 63> kFullWidthKana = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, // ｡｢｣､･ｦｧｨｩｪｫ
    0x8383, 0x8385, 0x8387, 0x8362, 0x815B, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349,         // ｬｭｮｯｰｱｲｳｴｵ
    0x834A, 0x834C, 0x834E, 0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C,         // ｶｷｸｹｺｻｼｽｾｿ
    0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C, 0x836D,         // ﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉ
    0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382,         // ﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓ
    0x8384, 0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393,         // ﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ
    0x814A, 0x814B};                                                                        // ﾞﾟ

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

constexpr bool isHalfWidthKana(unsigned char b) { return b >= 0xA1 && b <= 0xDF; }
constexpr bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Bit 0: half-width katakana; bit 1: a byte that can begin a double-byte character.
constexpr std::array<unsigned char, 256> byteKinds() {
    std::array<unsigned char, 256> kinds{};
    for (int b = 0; b < 256; ++b) {
        auto u = static_cast<unsigned char>(b);
        kinds[static_cast<size_t>(b)] =
            static_cast<unsigned char>((isHalfWidthKana(u) ? 1 : 0) | (isLeadByte(u) ? 2 : 0));
    }
    return kinds;
}
constexpr std::array<unsigned char, 256> kByteKinds = byteKinds();

void appendCode(std::string& out, std::uint16_t code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

bool isDoubleByteAt(const std::string& text, size_t i) {
    return i + 1 < text.size() &&
           IsDoubleByte(static_cast<unsigned char>(text[i]), static_cast<unsigned char>(text[i + 1]));
}

// Position of the first `c` that is not the trail byte of a double-byte character.
size_t findSingleByte(const std::string& text, char c) {
    for (size_t i = 0; i < text.size();) {
        if (isDoubleByteAt(text, i)) {
            i += 2;
        } else {
            if (text[i] == c) return i;
            ++i;
        }
    }
    return std::string::npos;
}

} // namespace

int ItemOf(const std::string& text, std::string& buffer, char separator, int n) {
    buffer.clear();
    size_t start = 0;
    size_t end = 0;
    for (int i = 1; i <= n; ++i) {
        size_t sep = text.find(separator, start);
        if (sep != std::string::npos) {
            end = sep;
            if (i < n) start = sep + 1;
            continue;
        }
        size_t feed = text.find('\n', start);
        if (feed != std::string::npos) {
            if (i < n) return -n;
            end = feed;
        } else {
            if (i < n) return -n;
            end = start; // a last item without line feed is empty
        }
    }
    buffer.assign(text, start, end - start);
    return 0;
}

std::string ItemText(const std::string& text, char separator, int n) {
    std::string item;
    ItemOf(text + '\n', item, separator, n);
    return item;
}

int CountItems(const std::string& text, char separator) {
    int count = 1;
    for (char c : text)
        if (c == separator) ++count;
    return count;
}

bool IsDoubleByte(unsigned char a, unsigned char b) {
    bool lead = (a >= 0x81 && a <= 0x9F) || (a >= 0xE0 && a <= 0xFC);
    return lead && b >= 0x40 && b <= 0xFC && b != 0x7F;
}

std::string ToFullWidthKana(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (size_t i = 0; i < text.size();) {
        auto b = static_cast<unsigned char>(text[i]);
        if (isDoubleByteAt(text, i)) {
            out.append(text, i, 2);
            i += 2;
            continue;
        }
        if (!isHalfWidthKana(b)) {
            out += text[i++];
            continue;
        }
        unsigned char f = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        std::uint16_t code = kFullWidthKana[b - 0xA1];
        bool voiceable = (b >= 0xB6 && b <= 0xC4) || (b >= 0xCA && b <= 0xCE);
        bool semiVoiceable = b >= 0xCA && b <= 0xCE;
        if (b == 0xB3 && f == kVoicedMark) {
            appendCode(out, 0x8394); // ヴ
            i += 2;
        } else if (voiceable && f == kVoicedMark) {
            appendCode(out, code + 1);
            i += 2;
        } else if (semiVoiceable && f == kSemiVoicedMark) {
            appendCode(out, code + 2);
            i += 2;
        } else {
            appendCode(out, code);
            i += 1;
        }
    }
    return out;
}

#ifdef ROVIK_KANA_SSE2
// Bit k is set when byte k of the 16 lies in lo..hi.
unsigned bytesInRange(__m128i bytes, unsigned char lo, unsigned char hi) {
    __m128i offset = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(lo)));
    __m128i inside = _mm_cmpeq_epi8(_mm_min_epu8(offset, _mm_set1_epi8(static_cast<char>(hi - lo))), offset);
    return static_cast<unsigned>(_mm_movemask_epi8(inside));
}
#endif

int HasHalfWidthKana(const std::string& text) {
    // Same answer as walking the characters, without a branch per byte (loading and saving scan
    // every byte). A run of lead-capable bytes always starts a character, and its bytes pair up as
    // double-byte characters; so a kana byte starts a character exactly when the run of
    // lead-capable bytes just before it has even length. `odd` carries that parity along.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    unsigned odd = 0;
    size_t i = 0;
#ifdef ROVIK_KANA_SSE2
    // Sixteen bytes at a time: the trail positions follow from the lead mask by one addition,
    // whose carry tells whether the next block starts with a trail byte.
    constexpr unsigned kEvenBits = 0x5555;
    for (; i + 16 <= n; i += 16) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        unsigned lead = bytesInRange(bytes, 0x81, 0x9F) | bytesInRange(bytes, 0xE0, 0xFC);
        unsigned kana = bytesInRange(bytes, 0xA1, 0xDF);
        unsigned starters = lead & ~odd;
        unsigned follows = ((starters << 1) | odd) & 0xFFFF;
        unsigned sum = (starters & ~kEvenBits & ~follows) + starters;
        unsigned trail = (kEvenBits ^ ((sum << 1) & 0xFFFF)) & follows;
        if (kana & ~trail) return 1;
        odd = sum >> 16;
    }
#endif
    unsigned found = 0;
    for (; i < n; ++i) {
        unsigned kind = kByteKinds[p[i]];
        found |= kind & ~odd;
        odd = (odd ^ 1u) & (kind >> 1);
    }
    return static_cast<int>(found & 1u);
}

std::int64_t FileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return static_cast<std::int64_t>(st.st_size);
}

std::string BaseName(const std::string& path) {
    std::string name = path;
    for (;;) {
        size_t back = findSingleByte(name, '\\');
        size_t slash = findSingleByte(name, '/');
        size_t sep = std::min(back, slash);
        if (sep == std::string::npos) break;
        name.erase(0, sep + 1);
    }
    size_t dot = findSingleByte(name, '.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

} // namespace rovik
