#include "platform/TextEncoding.h"

#include "platform/Cp932.h"
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

} // namespace

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
        const std::size_t len = p[i] < 0x80 ? 1 : utf8SequenceAt(p + i, name.size() - i, c);
        if (len == 0) return {name, {}};
        i += len;
    }
    return utf8ToCp932(name);
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
