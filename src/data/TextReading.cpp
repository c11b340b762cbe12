#include "data/TextReading.h"

#include "data/PieceReader.h"
#include "data/QaTextFile.h"
#include "platform/FileIo.h"

#include <cstdio>

namespace rovik {
namespace {

constexpr std::size_t kMessageLines = 10;
constexpr std::size_t kPieceBytes = 256 << 10;

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
    PieceReader pieces(choice);
    const ChunkTaker take = [&pieces](const char* data, std::size_t size, std::uintmax_t fileSize) {
        return pieces.take(data, size, fileSize);
    };
    if (!readFileInChunks(path, kPieceBytes, take, &read.error)) return read;
    if (pieces.done()) {
        read.status = TextReadStatus::Ok;
        read.encoding = pieces.encoding();
        read.lines = pieces.lines();
        return read;
    }
    std::string bytes;
    if (!readWholeFile(path, bytes, &read.error)) return read;
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
