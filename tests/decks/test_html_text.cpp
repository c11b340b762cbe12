#include "decks/HtmlText.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

struct HtmlCase {
    std::string html;
    const char* text;
    int media;
    int lineBreaks;
};

class HtmlToText : public testing::TestWithParam<HtmlCase> {};

TEST_P(HtmlToText, GivesOneLineOfPlainText) {
    const HtmlCase& c = GetParam();
    HtmlDrops drops;
    EXPECT_EQ(htmlToText(c.html, drops), c.text);
    EXPECT_EQ(drops.media, c.media);
    EXPECT_EQ(drops.lineBreaks, c.lineBreaks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HtmlToText,
    testing::Values(
        HtmlCase{"plain", "plain", 0, 0}, HtmlCase{"<b>bold</b> and <i>it</i>", "bold and it", 0, 0},
        HtmlCase{"a<br>b<br/>c<BR />d", "a b c d", 0, 3},
        HtmlCase{"<div>一</div><div>二</div>", "一 二", 0, 2},
        HtmlCase{"<p>x</p><ul><li>y</li></ul>", "x y", 0, 3},
        HtmlCase{"&nbsp;a&amp;b&lt;c&gt;&quot;d&quot;", "a&b<c>\"d\"", 0, 0},
        HtmlCase{"&#x5B50;&#12371;&#65;",
                 "\xE5\xAD\x90\xE3\x81\x93"
                 "A",
                 0, 0},
        HtmlCase{"&unknown; & &#xZZ; &#0;", "&unknown; & &#xZZ; &#0;", 0, 0},
        HtmlCase{"犬[sound:dog.mp3]", "犬", 1, 0},
        HtmlCase{"<img src=\"a.png\">猫<img src='b.jpg'/>", "猫", 2, 0},
        HtmlCase{"[sound:unclosed", "[sound:unclosed", 0, 0}, HtmlCase{"a\r\nb\nc\rd\te", "a b c d e", 0, 3},
        HtmlCase{"<style>b{color:red}</style>text", "text", 0, 0}, HtmlCase{"1 < 2", "1 < 2", 0, 0},
        // Found by fuzzing: the text after an unclosed tag kept its line break.
        HtmlCase{"a <b\r\nc&amp;", "a <b c&", 0, 1}, HtmlCase{"a&#xd;b&#10;c&#9;d", "a b c d", 0, 0},
        HtmlCase{std::string("a\0b\x1f"
                             "c",
                             5),
                 "a b c", 0, 0},
        HtmlCase{"", "", 0, 0}, HtmlCase{"  <b> spaced </b>  ", "spaced", 0, 0}));

struct ClozeCase {
    const char* text;
    std::vector<ClozeCard> cards;
};

class Cloze : public testing::TestWithParam<ClozeCase> {};

TEST_P(Cloze, MakesOneCardPerNumber) {
    const ClozeCase& c = GetParam();
    const std::vector<ClozeCard> cards = clozeCards(c.text);
    ASSERT_EQ(cards.size(), c.cards.size());
    for (std::size_t i = 0; i < cards.size(); ++i) {
        EXPECT_EQ(cards[i].number, c.cards[i].number);
        EXPECT_EQ(cards[i].question, c.cards[i].question);
        EXPECT_EQ(cards[i].answer, c.cards[i].answer);
        EXPECT_EQ(cards[i].hint, c.cards[i].hint);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Cloze,
    testing::Values(ClozeCase{"no deletion", {}}, ClozeCase{"{{c1::", {}}, ClozeCase{"{{cx::a}}", {}},
                    ClozeCase{
                        "{{c1::東京::首都}}は{{c2::日本}}の首都",
                        {{1, "（　）は日本の首都", "東京", "首都"}, {2, "東京は（　）の首都", "日本", ""}}},
                    ClozeCase{"{{c2::b}} {{c1::a}} {{c2::c}}",
                              {{1, "b （　） c", "a", ""}, {2, "（　） a （　）", "b、c", ""}}},
                    ClozeCase{"x{{c10::y}}z", {{10, "x（　）z", "y", ""}}}));

} // namespace
} // namespace rovik::decks
