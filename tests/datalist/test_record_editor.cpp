#include "datalist/RecordEditor.h"

#include "datalist/EditorFixture.h"

#include <map>

namespace rovik {
namespace {

using test::joined;
using test::titleLines;
using Lines = std::vector<std::string>;

// The record editor's window as plain values; the category boxes behave like editable
// drop-down lists (a typed text that is no item selects nothing).
class FakeRecordEditorView : public RecordEditorView {
public:
    void setCategoryItems(CategoryBox box, const std::vector<std::string>& list) override {
        items[box] = list;
    }
    void selectCategory(CategoryBox box, int index) override {
        const auto& list = items[box];
        boxText[box] = index >= 0 && index < static_cast<int>(list.size()) ? list[size_t(index)] : "";
    }
    int selectedCategory(CategoryBox box) const override {
        const auto& list = items.at(box);
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == boxText.at(box)) return static_cast<int>(i);
        return -1;
    }
    std::string text(RecordBox box) const override { return texts.count(box) ? texts.at(box) : ""; }
    void setText(RecordBox box, const std::string& t) override { texts[box] = t; }
    std::string selectedText(RecordBox box) const override {
        return selections.count(box) ? selections.at(box) : "";
    }
    std::optional<RecordBox> focusedBox() const override { return focus; }
    void focusBox(RecordBox box) override { focus = box; }
    void insertText(RecordBox box, const std::string& t) override { texts[box] += t; }
    void setControlEnabled(RecordControl control, bool on) override { enabled[control] = on; }
    void setTitleLabel(const std::string& t) override { titleLabel = t; }
    void setRecordNumberLabel(const std::string& t) override { numberLabel = t; }
    void setByteCountLabel(const std::string& t, bool w) override {
        byteLabel = t;
        warning = w;
    }
    std::optional<std::string> clipboardText() const override { return clipboard; }
    void setClipboardText(const std::string& t) override { clipboard = t; }

    std::map<CategoryBox, std::vector<std::string>> items;
    std::map<CategoryBox, std::string> boxText;
    std::map<RecordBox, std::string> texts;
    std::map<RecordBox, std::string> selections;
    std::optional<RecordBox> focus;
    std::map<RecordControl, bool> enabled;
    std::string titleLabel;
    std::string numberLabel;
    std::string byteLabel;
    bool warning = false;
    std::optional<std::string> clipboard;
};

// Ten category A names A1..A10 and three category B names B1..B3.
Lines categoryTitle(const Lines& records) {
    Lines lines{"tTitle\tCats\t3\t3"};
    for (int k = 1; k <= 10; ++k)
        lines.push_back("dBunrui\tA" + std::to_string(k));
    for (int k = 1; k <= 3; ++k)
        lines.push_back("sBunrui\tB" + std::to_string(k));
    lines.insert(lines.end(), records.begin(), records.end());
    return lines;
}

class RecordEditorTest : public test::EditorLogicTest {
protected:
    void open(Lines lines, int row = 1) {
        load(std::move(lines));
        logic.setCurrentRecordRow(row);
        editor.FormCreate();
    }
    const std::string& line(int index) const { return logic.set().lines[size_t(index)]; }

    FakeRecordEditorView view;
    RecordEditor editor{logic, prompter, view};
};

TEST_F(RecordEditorTest, OpensWithTheCategoryNamesAndTheRecord) {
    open(categoryTitle({"A3\tq\ta\tr\t0"}));
    EXPECT_EQ((Lines{"---（選択不可）", "A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8", "A9", "A10"}),
              view.items[CategoryBox::A]);
    EXPECT_EQ((Lines{"なし", "B1", "B2", "B3"}), view.items[CategoryBox::B]);
    EXPECT_EQ("A10", view.boxText[CategoryBox::A]);
    EXPECT_EQ("B3", view.boxText[CategoryBox::B]);
    EXPECT_EQ("q", view.texts[RecordBox::Question]);
    EXPECT_EQ("a", view.texts[RecordBox::Answer]);
    EXPECT_EQ("r", view.texts[RecordBox::Reference]);
    EXPECT_EQ("ﾀｲﾄﾙ：Cats", view.titleLabel);
    EXPECT_EQ("ﾚｺｰﾄﾞNo./総数=1/1", view.numberLabel);
    EXPECT_EQ("文字総数=3", view.byteLabel);
    EXPECT_FALSE(view.enabled[RecordControl::Previous]);
    EXPECT_FALSE(view.enabled[RecordControl::Next]);
    EXPECT_TRUE(view.enabled[RecordControl::Store]);
    EXPECT_TRUE(view.enabled[RecordControl::Add]);
    EXPECT_FALSE(view.enabled[RecordControl::Paste]);
    EXPECT_FALSE(view.enabled[RecordControl::RecordPaste]);
    EXPECT_FALSE(editor.addMode());
}

TEST_F(RecordEditorTest, StoredCodeCharactersFollowTheCategoryBoxes) {
    struct Case {
        std::string code;
        std::string boxA; // text in the box; "typed" is no item
        std::string boxB;
        std::string stored;
    };
    const Case cases[] = {
        {"A3", "", "", "A3"},                    // untouched: the shown items
        {"A3", "---（選択不可）", "なし", "10"}, // item 0 gives 1 and 0
        {"A3", "typed", "typed", "A3"},          // no item: the record's own digits
        {"a3", "typed", "typed", "A3"},          // read as hexadecimal
        {"zz", "typed", "typed", "10"},          // no code to keep
        {"F5", "", "", "F5"},                    // beyond the names: shown empty, kept
        {"11", "A10", "B2", "A2"},
    };
    for (const Case& c : cases) {
        open(categoryTitle({c.code + "\tq\ta\tr\t0"}));
        if (!c.boxA.empty()) view.boxText[CategoryBox::A] = c.boxA;
        if (!c.boxB.empty()) view.boxText[CategoryBox::B] = c.boxB;
        editor.Button1Click();
        EXPECT_EQ(c.stored + "\tq\ta\tr\t0", line(14)) << c.code << " " << c.boxA;
        EXPECT_FALSE(logic.set().saved);
    }
}

TEST_F(RecordEditorTest, DecodeAcceptsAnyText) {
    struct Case {
        std::string line;
        std::string boxA, boxB, question, answer, reference;
    };
    const Case cases[] = {
        {"", "", "", "", "", ""},
        {"zz", "", "", "", "", ""},
        {"111\tq\ta\tr\t0", "", "", "q", "a", "r"},
        {"02\tq", "---（選択不可）", "B2", "q", "", ""},
        {"11\tq\ta\tr", "A1", "B1", "q", "a", "r"}, // four items: the reference stays
        {"1\tq\ta\tr\t0\textra", "---（選択不可）", "B1", "q", "a", "r"},
        {"11\t\x93\xfa\x96\x7b\ta\tr\t0", "A1", "B1", "日本", "a", "r"},
    };
    open(categoryTitle({"11\tq\ta\tr\t0"}));
    for (const Case& c : cases) {
        editor.DecodeRecordLine(c.line);
        EXPECT_EQ(c.boxA, view.boxText[CategoryBox::A]) << c.line;
        EXPECT_EQ(c.boxB, view.boxText[CategoryBox::B]) << c.line;
        EXPECT_EQ((Lines{c.question, c.answer, c.reference}),
                  (Lines{view.texts[RecordBox::Question], view.texts[RecordBox::Answer],
                         view.texts[RecordBox::Reference]}))
            << c.line;
        EXPECT_EQ(!c.question.empty() && !c.answer.empty(), view.enabled[RecordControl::Add]) << c.line;
    }
}

TEST_F(RecordEditorTest, OnlyFifteenCategoryNamesAreItems) {
    Lines lines{"tTitle\tT\t3\t3"};
    for (int k = 1; k <= 17; ++k)
        lines.push_back("dBunrui\tN" + std::to_string(k));
    lines.push_back("11\tq\ta\tr\t0");
    open(lines);
    ASSERT_EQ(16u, view.items[CategoryBox::A].size());
    EXPECT_EQ("N15", view.items[CategoryBox::A].back());
}

// The record line adds 7 bytes to the texts; half-width katakana count as the full-width
// characters they are saved as.
TEST_F(RecordEditorTest, ByteCountCountsTheLineAsWrittenAndRefusesWhatLoadingRefuses) {
    struct Case {
        std::string question, answer, reference;
        std::string label;
        bool warning;
        std::string stored; // the texts as stored, CP932; empty when refused
        std::string refusal;
    };
    const std::string q200(200, 'q'), a90(90, 'a');
    const std::string kana40(40, '\xB1'); // ｱ, 2 bytes each once widened
    const std::string q146(146, 'q');
    // the line shown as far as its first 60 characters
    const std::string refusal =
        "この変更はできません。4行目が読み込めない行になります。\n11\t" + std::string(57, 'q') + "…\n";
    const Case cases[] = {
        {"あ", "ab", "", "文字総数=4", false, "\x82\xa0\tab\t", ""},
        {q200, a90, "rrrrrrrrr", "文字総数=299", false, q200 + "\t" + a90 + "\trrrrrrrrr", ""},
        {q200, a90, "rrrrrrrrrr", "文字総数=300 (文字総数は最大299文字(半角)です。)", true, "",
         refusal + "レコードが長すぎます。最大306文字です。"},
        {q146, "ｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱ", "", "文字総数=226", false,
         q146 + "\t" + kana40 + "\t", ""},
        {q200 + "qqqqqqqqqqqqqqqqqqq", "ｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱ", "", "文字総数=299", false,
         q200 + "qqqqqqqqqqqqqqqqqqq\t" + kana40 + "\t", ""},
        {q200 + "qqqqqqqqqqqqqqqqqqqq", "ｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱｱ", "",
         "文字総数=300 (文字総数は最大299文字(半角)です。)", true, "",
         refusal + "レコードが長すぎます。最大306文字です。（半角カナは全角にして数えます）"},
        {"a\tb", "c\r\nd", "", "文字総数=4", false, "ab\tcd\t", ""}, // counted as stored
    };
    for (const Case& c : cases) {
        open(titleLines("T", 1));
        view.texts[RecordBox::Question] = c.question;
        view.texts[RecordBox::Answer] = c.answer;
        view.texts[RecordBox::Reference] = c.reference;
        if (!c.refusal.empty()) prompter.expectMessage(c.refusal, "確認", Buttons::Ok, Icon::Warning);
        editor.Button1Click();
        EXPECT_TRUE(prompter.done()) << c.label;
        EXPECT_EQ(c.label, view.byteLabel);
        EXPECT_EQ(c.warning, view.warning);
        if (!c.refusal.empty())
            EXPECT_EQ("11\tTq1\ta\tr\t0", line(3)) << c.label; // unchanged
        else
            EXPECT_EQ("11\t" + c.stored + "\t0", line(3)) << c.label;
    }
}

TEST_F(RecordEditorTest, TabsAndLineBreaksNeverSplitTheStoredLine) {
    open(titleLines("T", 2));
    view.texts[RecordBox::Question] = "a\tb";
    view.texts[RecordBox::Answer] = "c\r\nd\ne";
    view.texts[RecordBox::Reference] = "\tf\r";
    editor.Button1Click();
    EXPECT_EQ("11\tab\tcde\tf\t0", line(3));
    EXPECT_EQ(5u, logic.set().lines.size());
    EXPECT_EQ("c\r\nd\ne", view.texts[RecordBox::Answer]);
}

TEST_F(RecordEditorTest, CharactersShiftJisCannotHoldAreReportedAndNothingIsStored) {
    open(titleLines("T", 1));
    view.texts[RecordBox::Question] = "한국";
    view.texts[RecordBox::Reference] = "😀";
    prompter.expectMessage("「한국😀」はShift-JISにない文字のため、登録できません。", "確認", Buttons::Ok,
                           Icon::Warning);
    editor.Button3Click();
    EXPECT_EQ(titleLines("T", 1), logic.set().lines);
    EXPECT_TRUE(logic.set().saved);
    EXPECT_FALSE(editor.addMode());
}

TEST_F(RecordEditorTest, NewThenAddAppendsAtTheEndOfTheTitle) {
    open(joined({titleLines("T", 2), titleLines("U", 1)}));
    editor.Button6Click();
    EXPECT_TRUE(editor.addMode());
    EXPECT_EQ("", view.texts[RecordBox::Question]);
    EXPECT_FALSE(view.enabled[RecordControl::Store]);
    EXPECT_FALSE(view.enabled[RecordControl::Add]);
    EXPECT_EQ("ﾚｺｰﾄﾞNo./総数=", view.numberLabel);
    EXPECT_EQ("文字総数=", view.byteLabel);
    EXPECT_EQ(RecordBox::Question, view.focus);
    view.texts[RecordBox::Question] = "nq";
    editor.TextChanged();
    EXPECT_FALSE(view.enabled[RecordControl::Add]);
    view.texts[RecordBox::Answer] = "na";
    editor.TextChanged();
    EXPECT_TRUE(view.enabled[RecordControl::Add]);
    editor.Button3Click();
    EXPECT_EQ(joined({titleLines("T", 2), {"11\tnq\tna\t\t0"}, titleLines("U", 1)}), logic.set().lines);
    EXPECT_EQ(3, logic.currentRecordRow());
    EXPECT_EQ("ﾚｺｰﾄﾞNo./総数=3/3", view.numberLabel);
    EXPECT_TRUE(view.enabled[RecordControl::Previous]);
    EXPECT_FALSE(view.enabled[RecordControl::Next]);
    EXPECT_TRUE(view.enabled[RecordControl::Store]);
    EXPECT_FALSE(editor.addMode());
    EXPECT_EQ("nq", view.texts[RecordBox::Question]);
}

TEST_F(RecordEditorTest, PreviousAndNextStopAtTheEnds) {
    open(titleLines("T", 3), 2);
    EXPECT_TRUE(view.enabled[RecordControl::Previous]);
    EXPECT_TRUE(view.enabled[RecordControl::Next]);
    editor.Button4Click();
    EXPECT_EQ(1, logic.currentRecordRow());
    EXPECT_FALSE(view.enabled[RecordControl::Previous]);
    EXPECT_EQ("Tq1", view.texts[RecordBox::Question]);
    editor.Button4Click();
    EXPECT_EQ(1, logic.currentRecordRow());
    editor.Button5Click();
    editor.Button5Click();
    editor.Button5Click();
    EXPECT_EQ(3, logic.currentRecordRow());
    EXPECT_FALSE(view.enabled[RecordControl::Next]);
    EXPECT_EQ("ﾚｺｰﾄﾞNo./総数=3/3", view.numberLabel);
}

TEST_F(RecordEditorTest, StepsAskAboutTypedTextAndKeepAddMode) {
    open(titleLines("T", 2));
    editor.Button6Click();
    view.texts[RecordBox::Question] = "unstored";
    prompter.expectMessage("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question, Answer::No);
    editor.Button5Click();
    EXPECT_EQ("Tq2", view.texts[RecordBox::Question]);
    EXPECT_TRUE(editor.addMode());
    EXPECT_TRUE(view.enabled[RecordControl::Add]);
    EXPECT_FALSE(view.enabled[RecordControl::Store]);
    EXPECT_EQ(titleLines("T", 2), logic.set().lines);
}

// Which step or close asks "登録しますか？", and what each answer does with the typed text.
TEST_F(RecordEditorTest, StepsAndClosingAskBeforeDroppingTypedText) {
    enum class Act { Previous, Next, Close };
    enum class Edit { None, Answer, CategoryB, NewEmpty, NewTyped, PasteSame };
    struct Case {
        const char* what;
        Edit edit;
        Act act;
        std::optional<Answer> answer; // nothing: no question
        int row;                      // the current record row afterwards
        bool closes;
        Lines records; // the title's records afterwards
    };
    const Lines untouched{"11\tTq1\ta\tr\t0", "11\tTq2\ta\tr\t0", "11\tTq3\ta\tr\t0"};
    const Lines answerStored{"11\tTq1\ta\tr\t0", "11\tTq2\ttyped\tr\t0", "11\tTq3\ta\tr\t0"};
    const Case cases[] = {
        {"nothing typed", Edit::None, Act::Next, std::nullopt, 3, false, untouched},
        {"nothing typed", Edit::None, Act::Close, std::nullopt, 2, true, untouched},
        {"typed, cancel", Edit::Answer, Act::Next, Answer::Cancel, 2, false, untouched},
        {"typed, no", Edit::Answer, Act::Next, Answer::No, 3, false, untouched},
        {"typed, yes", Edit::Answer, Act::Previous, Answer::Yes, 1, false, answerStored},
        {"typed, close yes", Edit::Answer, Act::Close, Answer::Yes, 2, true, answerStored},
        {"typed, close no", Edit::Answer, Act::Close, Answer::No, 2, true, untouched},
        {"typed, close cancel", Edit::Answer, Act::Close, Answer::Cancel, 2, false, untouched},
        {"category chosen", Edit::CategoryB, Act::Close, Answer::Cancel, 2, false, untouched},
        {"new, empty", Edit::NewEmpty, Act::Close, std::nullopt, 2, true, untouched},
        {"new, typed, yes",
         Edit::NewTyped,
         Act::Next,
         Answer::Yes,
         4,
         false,
         {"11\tTq1\ta\tr\t0", "11\tTq2\ta\tr\t0", "11\tTq3\ta\tr\t0", "11\tnq\t\t\t0"}},
        {"the record pasted over itself", Edit::PasteSame, Act::Close, Answer::Cancel, 2, false, untouched},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        open(titleLines("T", 3), 2);
        switch (c.edit) {
        case Edit::None:
            break;
        case Edit::Answer:
            view.texts[RecordBox::Answer] = "typed";
            break;
        case Edit::CategoryB:
            view.boxText[CategoryBox::B] = "なし";
            break;
        case Edit::NewEmpty:
            editor.Button6Click();
            break;
        case Edit::NewTyped:
            editor.Button6Click();
            view.texts[RecordBox::Question] = "nq";
            break;
        case Edit::PasteSame:
            editor.CopyRecordLine();
            editor.PasteRecordLine();
            break;
        }
        if (c.answer)
            prompter.expectMessage("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question, *c.answer);
        bool closes = false;
        if (c.act == Act::Previous) editor.Button4Click();
        if (c.act == Act::Next) editor.Button5Click();
        if (c.act == Act::Close) closes = editor.FormCloseQuery();
        EXPECT_TRUE(prompter.done());
        EXPECT_EQ(c.row, logic.currentRecordRow());
        EXPECT_EQ(c.closes, closes);
        const Lines& lines = logic.set().lines;
        EXPECT_EQ(c.records, Lines(lines.begin() + 3, lines.end()));
    }
}

TEST_F(RecordEditorTest, ARefusedStoreKeepsTheEditorOpen) {
    open(titleLines("T", 1));
    view.texts[RecordBox::Question] = std::string(300, 'q');
    prompter.expectMessage("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question, Answer::Yes)
        .expectMessage("この変更はできません。4行目が読み込めない行になります。\n11\t" +
                           std::string(57, 'q') + "…\nレコードが長すぎます。最大306文字です。",
                       "確認", Buttons::Ok, Icon::Warning);
    EXPECT_FALSE(editor.FormCloseQuery());
    EXPECT_EQ(titleLines("T", 1), logic.set().lines);
}

TEST_F(RecordEditorTest, RecordCopyNextRecordPasteStoreCopiesRow2OverRow3) {
    open(categoryTitle({"11\tq1\ta1\tr1\t0", "A3\tq2\ta2\tr2\t0", "22\tq3\ta3\tr3\t0"}), 2);
    view.texts[RecordBox::Question] = "edited, not stored";
    editor.CopyRecordLine();
    EXPECT_EQ("A3\tq2\ta2\tr2\t0", view.clipboard);
    EXPECT_TRUE(editor.recordCopied());
    prompter.expectMessage("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question, Answer::No);
    editor.Button5Click();
    editor.EditMenuOpening();
    EXPECT_TRUE(view.enabled[RecordControl::RecordPaste]);
    editor.PasteRecordLine();
    EXPECT_EQ("ﾚｺｰﾄﾞNo./総数=3/3", view.numberLabel);
    editor.Button1Click();
    EXPECT_EQ("A3\tq2\ta2\tr2\t0", line(15));
    EXPECT_EQ("A3\tq2\ta2\tr2\t0", line(16));
}

TEST_F(RecordEditorTest, RecordPasteOfAnyTextShowsWhatItCan) {
    open(titleLines("T", 1));
    for (const std::string& text : {std::string("plain text"), std::string("x\ty\nz\tw"), std::string()}) {
        view.clipboard = text;
        editor.PasteRecordLine();
        EXPECT_EQ("", view.boxText[CategoryBox::A]) << text;
    }
    view.clipboard = std::nullopt;
    view.texts[RecordBox::Question] = "kept";
    editor.PasteRecordLine();
    EXPECT_EQ("kept", view.texts[RecordBox::Question]);
    view.clipboard = "22\t한\ta\t\t0";
    editor.PasteRecordLine();
    EXPECT_EQ("한", view.texts[RecordBox::Question]);
    EXPECT_EQ(titleLines("T", 1), logic.set().lines);
}

// Qt hands over LF line ends: every kind of line break would split the record's line.
TEST(CleanedClipboardText, DropsTabsAndEveryLineBreak) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\tb\r\nc", "abc"}, {"a\rb\nc", "abc"}, {"\r\n\r\n\t", ""}, {"\r\r\n\n", ""}, {"日本", "日本"},
    };
    for (const auto& [text, cleaned] : cases)
        EXPECT_EQ(cleaned, cleanedClipboardText(text)) << text;
}

TEST_F(RecordEditorTest, PasteCleansTheClipboardAndPastesIntoTheFocusedBox) {
    open(titleLines("T", 1));
    view.texts[RecordBox::Answer] = "";
    view.clipboard = "a\tb\r\nc";
    view.focus = std::nullopt;
    editor.PasteClipboard();
    EXPECT_EQ("abc", view.clipboard);
    EXPECT_EQ("", view.texts[RecordBox::Answer]);
    view.focus = RecordBox::Answer;
    editor.PasteClipboard();
    EXPECT_EQ("abc", view.texts[RecordBox::Answer]);
}

TEST_F(RecordEditorTest, CopyTakesTheFirstBoxWithASelection) {
    open(titleLines("T", 1));
    view.selections[RecordBox::Answer] = "ans";
    view.selections[RecordBox::Reference] = "ref";
    editor.CopySelection();
    EXPECT_EQ("ans", view.clipboard);
    view.selections.clear();
    view.clipboard = "before";
    editor.CopySelection();
    EXPECT_EQ("before", view.clipboard);
}

TEST_F(RecordEditorTest, MenusEnablePasteOnlyForAClipboardText) {
    open(titleLines("T", 1));
    const std::pair<std::optional<std::string>, bool> cases[] = {
        {std::nullopt, false}, {std::string(), false}, {std::string("x"), true}};
    for (const auto& [clipboard, on] : cases) {
        view.clipboard = clipboard;
        editor.EditMenuOpening();
        EXPECT_EQ(on, view.enabled[RecordControl::Paste]);
        EXPECT_FALSE(view.enabled[RecordControl::RecordPaste]);
        view.enabled[RecordControl::Paste] = !on;
        editor.PopupMenuOpening();
        EXPECT_EQ(on, view.enabled[RecordControl::Paste]);
    }
}

TEST(RecordCode, ReadsHexadecimalUpTo0xFF) {
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"11", 0x11},         {"A3", 0xA3},          {"a3", 0xA3},       {"F", 0xF},
        {"00FF", 0xFF},       {"100", std::nullopt}, {"", std::nullopt}, {"1G", std::nullopt},
        {" 1", std::nullopt}, {"x1", std::nullopt}};
    for (const auto& [item, code] : cases)
        EXPECT_EQ(code, recordCode(item)) << item;
}

} // namespace
} // namespace rovik
