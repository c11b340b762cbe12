#include "platform/Cp932.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace rovik {
namespace {

size_t utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 1;
}

bool isCp932Lead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// One undecodable character: a lead byte takes its trail byte with it.
size_t badCharacterLength(const std::string& cp932, size_t pos) {
    bool pair = isCp932Lead(static_cast<unsigned char>(cp932[pos])) && pos + 1 < cp932.size() &&
                static_cast<unsigned char>(cp932[pos + 1]) >= 0x40;
    return pair ? 2 : 1;
}

const char* const kReplacement = "\xEF\xBF\xBD";

#ifdef _WIN32
constexpr UINT kCp932 = 932;

// Windows gives 0x80, 0xA0 and 0xFD to 0xFF characters of their own (U+0080, private-use U+F8F0
// to U+F8F3); they are not Shift-JIS, iconv refuses them, and so do we.
bool isStrayByte(unsigned char b) {
    return b == 0x80 || b == 0xA0 || b >= 0xFD;
}

std::wstring decode(const char* bytes, int length, UINT codePage) {
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, length, nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes, length, wide.data(), n);
    return wide;
}

std::string encodeUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

// Characters that iconv's CP932 takes one way, as the JIS forms of what Windows writes: the same
// bytes on both systems (reading gives back Windows' form, there as here).
wchar_t windowsFormOf(wchar_t c) {
    switch (c) {
    case 0x00A2:
        return 0xFFE0; // ¢ -> ￠
    case 0x00A3:
        return 0xFFE1; // £ -> ￡
    case 0x00A5:
        return 0x005C; // ¥ -> the yen sign of JIS X 0201
    case 0x00AC:
        return 0xFFE2; // ¬ -> ￢
    case 0x2014:
        return 0x2015; // em dash -> horizontal bar
    case 0x2016:
        return 0x2225; // ‖ -> ∥
    case 0x203E:
        return 0x007E; // overline -> the overline of JIS X 0201
    case 0x2212:
        return 0xFF0D; // minus -> full-width hyphen-minus
    case 0x301C:
        return 0xFF5E; // wave dash -> full-width tilde
    default:
        return c;
    }
}

// The characters Windows writes as the stray bytes above; they would not read back.
bool isStrayCharacter(wchar_t c) {
    return c == 0x0080 || (c >= 0xF8F0 && c <= 0xF8F3);
}

// UTF-16 -> CP932 without Windows' best-fit guesses ("ä" would become "a"); false when a character
// has no CP932 form.
bool encodeCp932(std::wstring wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    for (wchar_t& c : wide) {
        if (isStrayCharacter(c)) return false;
        c = windowsFormOf(c);
    }
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), out.data(),
                        n, nullptr, &usedDefault);
    return !usedDefault;
}

bool hasStrayByte(const std::string& cp932) {
    for (size_t i = 0; i < cp932.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(cp932[i]);
        if (isStrayByte(b)) return true;
        if (isCp932Lead(b)) ++i;
    }
    return false;
}
#else
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns the number of input bytes consumed.
    size_t run(const char* in, size_t inLen, std::string& out) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t left = inLen;
        char buf[4096];
        while (left > 0) {
            char* dst = buf;
            size_t room = sizeof buf;
            size_t r = iconv(m_cd, &src, &left, &dst, &room);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        return inLen - left;
    }

private:
    iconv_t m_cd;
};

#endif

} // namespace

#ifdef _WIN32

std::string cp932ToUtf8(const std::string& cp932) {
    if (cp932.empty()) return {};
    // Whole text at once when it is sound, character by character to place the replacements.
    if (cp932.size() < 0x7FFFFFFF && !hasStrayByte(cp932)) {
        std::wstring wide = decode(cp932.data(), static_cast<int>(cp932.size()), kCp932);
        if (!wide.empty()) return encodeUtf8(wide);
    }
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    for (size_t pos = 0; pos < cp932.size();) {
        unsigned char b = static_cast<unsigned char>(cp932[pos]);
        size_t len = isCp932Lead(b) && pos + 1 < cp932.size() ? 2 : 1;
        std::wstring wide =
            isStrayByte(b) ? std::wstring() : decode(cp932.data() + pos, static_cast<int>(len), kCp932);
        if (wide.empty()) {
            out += kReplacement;
            pos += badCharacterLength(cp932, pos);
        } else {
            out += encodeUtf8(wide);
            pos += len;
        }
    }
    return out;
}

Cp932Encoding utf8ToCp932(const std::string& utf8) {
    Cp932Encoding result;
    if (utf8.size() < 0x7FFFFFFF) {
        std::wstring wide = decode(utf8.data(), static_cast<int>(utf8.size()), CP_UTF8);
        if ((!wide.empty() || utf8.empty()) && encodeCp932(wide, result.bytes)) return result;
    }
    // Find the characters CP932 cannot hold, one at a time.
    result.bytes.clear();
    result.bytes.reserve(utf8.size());
    std::string bytes;
    for (size_t pos = 0; pos < utf8.size();) {
        size_t len = std::min(utf8Length(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        std::wstring wide = decode(utf8.data() + pos, static_cast<int>(len), CP_UTF8);
        if (!wide.empty() && encodeCp932(wide, bytes)) {
            result.bytes += bytes;
        } else {
            std::string bad = utf8.substr(pos, len);
            if (result.unmappable.find(bad) == std::string::npos) result.unmappable += bad;
        }
        pos += len;
    }
    return result;
}

#else

std::string cp932ToUtf8(const std::string& cp932) {
    thread_local Converter conv("UTF-8", "CP932");
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    size_t pos = 0;
    while (pos < cp932.size()) {
        pos += conv.run(cp932.data() + pos, cp932.size() - pos, out);
        if (pos >= cp932.size()) break;
        out += kReplacement;
        pos += badCharacterLength(cp932, pos);
    }
    return out;
}

Cp932Encoding utf8ToCp932(const std::string& utf8) {
    thread_local Converter conv("CP932", "UTF-8");
    Cp932Encoding result;
    result.bytes.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        pos += conv.run(utf8.data() + pos, utf8.size() - pos, result.bytes);
        if (pos >= utf8.size()) break;
        size_t len = std::min(utf8Length(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        std::string bad = utf8.substr(pos, len);
        if (result.unmappable.find(bad) == std::string::npos) result.unmappable += bad;
        pos += len;
    }
    return result;
}

#endif

std::string toCp932(const std::string& utf8) {
    return utf8ToCp932(utf8).bytes;
}

} // namespace rovik
