#include "data/PieceReader.h"

#include "platform/Utf8ToCp932.h"

#include <algorithm>
#include <cstring>

namespace rovik {
namespace {

const char kBom[] = "\xEF\xBB\xBF";

// The lines of the whole file as the first piece has them, with an eighth to spare; no more than
// the file has bytes, and nothing from a piece too small to tell.
std::size_t estimatedLines(const char* data, std::size_t size, std::uintmax_t fileSize) {
    if (size < 4096) return 0;
    const double perByte = static_cast<double>(countByte(data, size, '\n') + 1) / static_cast<double>(size);
    const double lines = perByte * static_cast<double>(fileSize) * 1.125 + 16;
    return static_cast<std::size_t>(std::min(lines, static_cast<double>(fileSize) + 1));
}

// Where a UTF-8 character cut off by the end of the piece starts: size when none is.
std::size_t cutCharacterStart(const std::string& piece) {
    const std::size_t size = piece.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto b = static_cast<unsigned char>(piece[size - back]);
        if (b < 0x80) return size;
        if (b < 0xC0) continue; // a continuation byte: look further back
        const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        return length > back ? size - back : size;
    }
    return size;
}

} // namespace

void PieceReader::decide(const char*& data, std::size_t& size, std::uintmax_t fileSize) {
    if (fileSize > size) m_splitter.reserve(estimatedLines(data, size, fileSize));
    if (m_choice == EncodingChoice::Cp932) {
        m_mode = Mode::ShiftJis;
        return;
    }
    m_mode = Mode::Utf8;
    m_bom = size >= 3 && std::memcmp(data, kBom, 3) == 0;
    if (m_bom) {
        data += 3;
        size -= 3;
    }
}

bool PieceReader::take(const char* data, std::size_t size, std::uintmax_t fileSize) {
    m_read += size;
    if (m_mode == Mode::Undecided) decide(data, size, fileSize);
    if (m_mode == Mode::ShiftJis) {
        m_splitter.feed(data, size);
    } else if (m_mode == Mode::Utf8 && !m_ended) {
        takeUtf8(data, size, fileSize != 0 && m_read >= fileSize);
    }
    return m_mode != Mode::GaveUp && !m_ended;
}

void PieceReader::takeUtf8(const char* data, std::size_t size, bool last) {
    m_piece.assign(m_carry);
    m_carry.clear();
    if (const void* nul = std::memchr(data, '\0', size)) {
        size = static_cast<std::size_t>(static_cast<const char*>(nul) - data);
        m_ended = true;
    }
    m_piece.append(data, size);
    if (!m_ended && !last) {
        const std::size_t cut = cutCharacterStart(m_piece);
        m_carry.assign(m_piece, cut, std::string::npos);
        m_piece.resize(cut);
    }
    const bool detecting = m_choice == EncodingChoice::Auto && !m_bom;
    Utf8Conversion conversion = convertUtf8ToCp932InPlace(m_piece, 0, m_piece.size(), detecting);
    if (!conversion.utf8 && !m_multiByte) {
        // Not UTF-8, and everything before was ASCII, which reads the same as Shift-JIS: the
        // conversion put the piece back as it was.
        m_mode = Mode::ShiftJis;
        m_piece += m_carry;
        m_carry.clear();
        m_splitter.feed(m_piece.data(), m_piece.size());
        return;
    }
    if (!conversion.utf8 || !conversion.unmappable.empty() || !conversion.jisForms.empty()) {
        m_mode = Mode::GaveUp;
        return;
    }
    m_multiByte |= conversion.multiByte;
    m_splitter.feed(m_piece.data(), m_piece.size());
}

bool PieceReader::done() {
    // A character cut off by the end of the file is a broken byte or no UTF-8 at all.
    if (!m_carry.empty()) m_mode = Mode::GaveUp;
    return m_mode != Mode::GaveUp;
}

TextEncoding PieceReader::encoding() const {
    if (m_mode == Mode::Undecided && m_choice == EncodingChoice::Utf8) return TextEncoding::Utf8;
    if (m_mode != Mode::Utf8) return TextEncoding::Cp932;
    if (m_bom) return TextEncoding::Utf8WithBom;
    // Pure ASCII reads the same either way and counts as Shift-JIS unless UTF-8 was chosen.
    return m_multiByte || m_choice == EncodingChoice::Utf8 ? TextEncoding::Utf8 : TextEncoding::Cp932;
}

} // namespace rovik
