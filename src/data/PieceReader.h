#pragma once
// Reading a QA text file piece by piece into lines, so that a large file is never held whole
// beside its lines. Only the plain cases go this way: Shift-JIS, and UTF-8 that converts cleanly
// without a JIS form. Anything the whole-file reading must see (a byte that is not UTF-8 after
// UTF-8 text, a character CP932 cannot hold, a JIS form whose line must be remembered, a cut
// sequence at the end) makes the reader give up, and the file is read whole instead.
#include "data/QaTextFile.h"
#include "platform/TextEncoding.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rovik {

class PieceReader {
public:
    explicit PieceReader(EncodingChoice choice) : m_choice(choice) {}

    // Takes the next piece; false once it has given up or the text has ended (no more is needed).
    bool take(const char* data, std::size_t size, std::uintmax_t fileSize);
    // After the last piece: false when the file must be read whole.
    bool done();
    TextEncoding encoding() const;
    std::vector<std::string> lines() { return m_splitter.finish(); }

private:
    enum class Mode { Undecided, ShiftJis, Utf8, GaveUp };
    void decide(const char*& data, std::size_t& size, std::uintmax_t fileSize);
    void takeUtf8(const char* data, std::size_t size, bool last);

    EncodingChoice m_choice;
    Mode m_mode = Mode::Undecided;
    bool m_bom = false;
    bool m_multiByte = false; // a UTF-8 character beyond ASCII was met
    bool m_ended = false;     // a zero byte ended the text
    std::string m_piece;      // the UTF-8 piece being converted
    std::string m_carry;      // a character the last piece cut off
    std::uintmax_t m_read = 0;
    LineSplitter m_splitter;
};

} // namespace rovik
