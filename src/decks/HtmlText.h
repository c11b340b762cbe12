#pragma once
// Anki fields are HTML: the handheld shows one line of plain text, so markup goes, entities are
// decoded and media references are dropped (counted, so the status line can say so).
#include <string>
#include <vector>

namespace rovik::decks {

struct HtmlDrops {
    int media = 0;      // [sound:...] references and <img> elements
    int lineBreaks = 0; // <br>, block ends and line break characters made spaces
};

// UTF-8 HTML -> one line of UTF-8 text: tags removed, <br> and block ends become a space,
// &nbsp; &amp; &lt; &gt; &quot; &apos; and numeric entities decoded, runs of spaces folded.
std::string htmlToText(const std::string& html, HtmlDrops& drops);

// One card of a cloze note: its number, the question with that deletion shown as （　） (the
// other deletions as their text), the deleted text, and the hint (empty when none).
struct ClozeCard {
    int number = 0;
    std::string question;
    std::string answer;
    std::string hint;
};

// The cards of a field holding {{cN::text}} or {{cN::text::hint}} deletions, ordered by number
// (deletions sharing a number make one card, their texts joined with "、"). Empty when the field
// holds none. Works on text already made plain.
std::vector<ClozeCard> clozeCards(const std::string& text);

} // namespace rovik::decks
