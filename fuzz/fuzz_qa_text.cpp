// QA text loading as the data list window does it: lines, validation and its error log, the
// half-width katakana fix, the title index; the quiz loader's view of each line; and reading the
// file in pieces, which must give what reading it whole gives whenever it does not give up.
#include "FuzzSupport.h"

#include "data/Common.h"
#include "data/Loading.h"
#include "data/PieceReader.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "platform/TextEncoding.h"

using namespace rovik;

namespace {
void checkPieces(const std::string& bytes, std::size_t pieceSize) {
    for (EncodingChoice choice : {EncodingChoice::Auto, EncodingChoice::Cp932, EncodingChoice::Utf8}) {
        PieceReader pieces(choice);
        for (std::size_t at = 0; at < bytes.size(); at += pieceSize)
            if (!pieces.take(bytes.data() + at, std::min(pieceSize, bytes.size() - at), bytes.size())) break;
        if (!pieces.done()) continue;
        const DecodedText whole = decodeText(bytes, choice);
        ROVIK_FUZZ_CHECK(whole.ok() && whole.jisForms.empty());
        ROVIK_FUZZ_CHECK(pieces.encoding() == whole.encoding);
        ROVIK_FUZZ_CHECK(pieces.lines() == splitTextLines(whole.cp932));
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::inputBytes(data, size);
    checkPieces(bytes, size > 0 ? 1 + data[0] % 16 : 1);
    QuestionSet set;
    set.loadingBuffer = splitTextLines(bytes);
    std::size_t kept = 0;
    for (const auto& line : set.loadingBuffer) {
        ROVIK_FUZZ_CHECK(line.find_first_of(std::string("\r\n\0", 3)) == std::string::npos);
        kept += line.size();
        const int kind = ClassifyQuizLine(line + "\n");
        ROVIK_FUZZ_CHECK(kind == 0 || kind == -1 || kind == -2 || kind == -5 || kind == -99);
    }
    ROVIK_FUZZ_CHECK(kept <= bytes.size());

    const std::vector<std::string> log = validationLog(set.loadingBuffer, 1, 0);
    const std::string logBytes = errorLogBytes(log);
    ROVIK_FUZZ_CHECK(logBytes.size() >= 2 * log.size());
    validationLog(set.loadingBuffer, 2, 0);

    FixHalfWidthKana(set);
    for (const auto& line : set.loadingBuffer)
        ROVIK_FUZZ_CHECK(!HasHalfWidthKana(line));
    set.lines = std::move(set.loadingBuffer);
    RebuildTitleIndex(set);
    for (int t = 1; t <= set.titleCount(); ++t) {
        const TitleRange& range = set.title(t);
        ROVIK_FUZZ_CHECK(range.start >= 1 && range.start - 1 <= range.last);
        ROVIK_FUZZ_CHECK(range.last < static_cast<int>(set.lines.size()));
        ROVIK_FUZZ_CHECK(isTitleHeaderLine(set.lines[static_cast<std::size_t>(range.start - 1)]));
    }
    // What a save of these lines would write, for both kinds of file.
    WriteQuestionLines(set, "a.txt");
    WriteQuestionLines(set, "a.pdb");
    return 0;
}
