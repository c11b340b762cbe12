#include "data/TextReading.h"

#include "data/QaTextFile.h"
#include "platform/FileIo.h"
#include "platform/Utf8ToCp932.h"

#include <cstdio>
#include <cstring>

namespace rovik {
namespace {

constexpr std::size_t kMessageLines = 10;
constexpr std::size_t kChunkBytes = 256 << 10;

// True when the first piece of a file shows it is not UTF-8: no byte order mark, and a byte that
// cannot be UTF-8 before any zero byte (a sequence the piece cuts off proves nothing).
bool isSurelyNotUtf8(const char* data, std::size_t size, bool more) {
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) return false;
    const void* nul = std::memchr(data, '\0', size);
    std::size_t limit = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - data) : size;
    if (more && !nul) limit = size >= 3 ? size - 3 : 0;
    return firstNonUtf8(reinterpret_cast<const unsigned char*>(data), size) < limit;
}

// The lines of the whole file as the first piece has them, with an eighth to spare.
std::size_t estimatedLines(const char* data, std::size_t size, std::uintmax_t fileSize) {
    const double perByte = static_cast<double>(countByte(data, size, '\n') + 1) / static_cast<double>(size);
    return static_cast<std::size_t>(perByte * static_cast<double>(fileSize) * 1.125) + 16;
}

std::string codePointText(char32_t c) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

std::string byteText(char32_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(b));
    return text;
}

} // namespace

TextRead readQaText(const std::string& path, EncodingChoice choice) {
    TextRead read;
    // A Shift-JIS file, known as such from its first piece, is split as it is read: it is never
    // held whole beside its lines. Any other file is read whole for the encoding decision.
    bool first = true;
    bool streaming = false;
    LineSplitter splitter;
    std::string bytes;
    const ChunkTaker take = [&](const char* data, std::size_t size, std::uintmax_t fileSize) {
        if (first) {
            first = false;
            const bool more = fileSize == 0 || fileSize > size;
            streaming = choice == EncodingChoice::Cp932 ||
                        (choice == EncodingChoice::Auto && isSurelyNotUtf8(data, size, more));
            if (!streaming)
                bytes.reserve(static_cast<std::size_t>(fileSize));
            else if (fileSize > size)
                splitter.reserve(estimatedLines(data, size, fileSize));
        }
        if (streaming)
            splitter.feed(data, size);
        else
            bytes.append(data, size);
    };
    if (!readFileInChunks(path, kChunkBytes, take, &read.error)) return read;
    if (streaming) {
        read.status = TextReadStatus::Ok;
        read.lines = splitter.finish();
        return read;
    }
    DecodedText text = decodeText(std::move(bytes), choice);
    read.encoding = text.encoding;
    if (!text.ok()) {
        read.status = TextReadStatus::Unmappable;
        read.log = unmappableLog(text.unmappable);
        return read;
    }
    read.status = TextReadStatus::Ok;
    read.forms = utf8FormsOf(text.cp932, text.jisForms);
    read.lines = splitTextLines(text.cp932);
    return read;
}

std::vector<std::string> unmappableLog(const std::vector<UnmappableCharacter>& characters) {
    std::vector<std::string> log;
    log.reserve(characters.size());
    for (const auto& c : characters) {
        const std::string line = std::to_string(c.line) + "行目: ";
        if (c.broken)
            log.push_back(line + "バイト" + byteText(c.codePoint) + "はUTF-8として読めません。");
        else
            log.push_back(line + "文字「" + c.character + "」(" + codePointText(c.codePoint) +
                          ")はShift-JISで表せません。");
    }
    return log;
}

std::string unmappableLogBytes(const std::vector<std::string>& log) {
    std::string bytes = "\xEF\xBB\xBF";
    for (const auto& line : log)
        bytes += line + "\r\n";
    return bytes;
}

std::string unmappableMessage(const std::vector<std::string>& log) {
    std::string text;
    for (std::size_t i = 0; i < log.size() && i < kMessageLines; ++i)
        text += (i ? "\n" : "") + log[i];
    if (log.size() > kMessageLines) text += "\n…";
    return text;
}

} // namespace rovik
