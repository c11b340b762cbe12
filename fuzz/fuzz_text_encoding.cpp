// The encoding decision and the UTF-8 -> CP932 conversion every QA text reader goes through:
// no crash, a CP932 text passes untouched, and a UTF-8 text that CP932 can hold comes back as
// the same UTF-8 from its CP932 bytes and the forms it was written in.
#include "FuzzSupport.h"

#include "platform/TextEncoding.h"

using namespace rovik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::inputBytes(data, size);
    const TextEncoding detected = detectTextEncoding(bytes);
    std::size_t lineEnds = 0;
    for (char c : bytes)
        lineEnds += c == '\r' || c == '\n';

    for (EncodingChoice choice : {EncodingChoice::Auto, EncodingChoice::Cp932, EncodingChoice::Utf8}) {
        const DecodedText text = decodeText(bytes, choice);
        if (choice == EncodingChoice::Auto) ROVIK_FUZZ_CHECK(text.encoding == detected);
        if (text.encoding == TextEncoding::Cp932) {
            ROVIK_FUZZ_CHECK(text.ok() && text.cp932 == bytes);
            continue;
        }
        std::size_t lastLine = 1;
        for (const auto& c : text.unmappable) {
            ROVIK_FUZZ_CHECK(c.line >= lastLine && c.line <= lineEnds + 1);
            ROVIK_FUZZ_CHECK(!c.character.empty() && c.character.size() <= 4);
            ROVIK_FUZZ_CHECK(bytes.find(c.character) != std::string::npos);
            lastLine = c.line;
        }
        if (!text.ok()) {
            ROVIK_FUZZ_CHECK(text.cp932.empty());
            continue;
        }
        // Only the text before a zero byte is read.
        std::string read = bytes.substr(0, bytes.find('\0'));
        if (text.encoding == TextEncoding::Utf8WithBom) read = read.substr(3);
        ROVIK_FUZZ_CHECK(text.cp932.size() <= read.size());
        std::string again;
        ROVIK_FUZZ_CHECK(
            encodeText(text.cp932, TextEncoding::Utf8, again, utf8FormsOf(text.cp932, text.jisForms)));
        ROVIK_FUZZ_CHECK(again == read);
    }
    return 0;
}
