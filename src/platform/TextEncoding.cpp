#include "platform/TextEncoding.h"

#include "platform/Cp932.h"
#include "platform/Cp932Table.h"

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

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The strict UTF-8 sequence at p (no overlong forms, surrogates or values past U+10FFFF): its
// length, or 0 when the bytes there are not one.
std::size_t sequenceAt(const unsigned char* p, std::size_t left, char32_t& c) {
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
    bool multiByte = false;
    for (std::size_t i = 0; i < end;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        char32_t c;
        const std::size_t len = sequenceAt(p + i, end - i, c);
        if (len == 0) return false;
        multiByte = true;
        i += len;
    }
    return multiByte;
}

void appendCode(std::string& out, std::uint16_t code) {
    if (code >= 0x100) out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// Converts bytes[from, end) from UTF-8, counting lines as reading them does.
void convertUtf8(const std::string& bytes, std::size_t from, std::size_t end, DecodedText& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::string& out = text.cp932;
    out.reserve(end - from);
    std::size_t line = 1;
    for (std::size_t i = from; i < end;) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            out += static_cast<char>(b);
            // CR LF is one line end: the LF after a CR does not count again.
            if (b == '\r' || (b == '\n' && (i == from || p[i - 1] != '\r'))) ++line;
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t len = sequenceAt(p + i, end - i, c);
        if (len == 0) {
            text.unmappable.push_back({line, bytes.substr(i, 1), b, true});
            ++i;
            continue;
        }
        const std::uint16_t code = cp932CodeOf(c);
        if (code == kNoCp932Code)
            text.unmappable.push_back({line, bytes.substr(i, len), c, false});
        else
            appendCode(out, code);
        i += len;
    }
    // A refused text is not half-used by anyone.
    if (!text.unmappable.empty()) std::string().swap(out);
}

} // namespace

TextEncoding detectTextEncoding(const std::string& bytes) {
    if (hasBom(bytes)) return TextEncoding::Utf8WithBom;
    return isUtf8WithMultiByte(bytes, textLength(bytes, 0)) ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

DecodedText decodeText(std::string bytes, EncodingChoice choice) {
    DecodedText text;
    if (choice == EncodingChoice::Auto)
        text.encoding = detectTextEncoding(bytes);
    else if (choice == EncodingChoice::Utf8)
        text.encoding = hasBom(bytes) ? TextEncoding::Utf8WithBom : TextEncoding::Utf8;
    if (text.encoding == TextEncoding::Cp932) {
        text.cp932 = std::move(bytes);
        return text;
    }
    const std::size_t from = text.encoding == TextEncoding::Utf8WithBom ? kBomSize : 0;
    convertUtf8(bytes, from, textLength(bytes, from), text);
    return text;
}

bool encodeText(const std::string& cp932, TextEncoding encoding, std::string& out) {
    if (encoding == TextEncoding::Cp932) {
        out = cp932;
        return true;
    }
    out = encoding == TextEncoding::Utf8WithBom ? kBom : "";
    const std::string utf8 = cp932ToUtf8(cp932);
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
    for (std::size_t i = 0; i < name.size();) {
        char32_t c;
        const std::size_t len = p[i] < 0x80 ? 1 : sequenceAt(p + i, name.size() - i, c);
        if (len == 0) return {name, {}};
        i += len;
    }
    return utf8ToCp932(name);
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
