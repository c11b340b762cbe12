#include "platform/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace rovik {
namespace {

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

} // namespace

std::string cp932ToUtf8(const std::string& cp932) {
    thread_local Converter conv("UTF-8", "CP932");
    std::string out;
    out.reserve(cp932.size() * 3 / 2);
    size_t pos = 0;
    while (pos < cp932.size()) {
        pos += conv.run(cp932.data() + pos, cp932.size() - pos, out);
        if (pos >= cp932.size()) break;
        // Skip one undecodable character (a lead byte takes its trail byte with it).
        out += "\xEF\xBF\xBD";
        bool pair = isCp932Lead(static_cast<unsigned char>(cp932[pos])) && pos + 1 < cp932.size() &&
                    static_cast<unsigned char>(cp932[pos + 1]) >= 0x40;
        pos += pair ? 2 : 1;
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

std::string toCp932(const std::string& utf8) {
    return utf8ToCp932(utf8).bytes;
}

} // namespace rovik
