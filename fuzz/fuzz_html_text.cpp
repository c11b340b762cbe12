// HTML to text and cloze cards: one line always (no line break, no tab), and never longer than
// what it came from by more than the entities' worth.
#include "FuzzSupport.h"

#include "decks/HtmlText.h"

using namespace rovik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string html = fuzz::inputBytes(data, size);
    decks::HtmlDrops drops;
    const std::string text = decks::htmlToText(html, drops);
    ROVIK_FUZZ_CHECK(text.find_first_of("\r\n\t") == std::string::npos);
    ROVIK_FUZZ_CHECK(text.size() <= html.size());
    ROVIK_FUZZ_CHECK(drops.media >= 0 && drops.lineBreaks >= 0);
    for (const auto& card : decks::clozeCards(text)) {
        ROVIK_FUZZ_CHECK(card.number > 0);
        ROVIK_FUZZ_CHECK(card.question.find("（　）") != std::string::npos);
    }
    return 0;
}
