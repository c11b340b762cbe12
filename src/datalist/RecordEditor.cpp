#include "datalist/RecordEditor.h"

#include "data/Common.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
#include "datalist/ClipboardCommands.h"
#include "datalist/DataListLogic.h"
#include "platform/Cp932.h"
#include "platform/Prompter.h"

#include <algorithm>
#include <cstring>

namespace rovik {
namespace {
// Codes are one hexadecimal digit: names beyond the fifteenth can never be chosen.
constexpr size_t kMaxCategoryNames = 15;

char hexDigit(int value) {
    return "0123456789ABCDEF"[value & 0xF];
}

std::vector<std::string> categoryItems(const char* none, const std::vector<std::string>& names) {
    std::vector<std::string> items{none};
    for (size_t k = 0; k < names.size() && k < kMaxCategoryNames; ++k)
        items.push_back(cp932ToUtf8(names[k]));
    return items;
}

int categoryIndex(std::optional<int> code, CategoryBox box, size_t itemCount) {
    if (!code) return -1;
    const int index = box == CategoryBox::A ? *code / 16 : *code % 16;
    return static_cast<size_t>(index) < itemCount ? index : -1;
}
} // namespace

std::string cleanedClipboardText(const std::string& text) {
    return recordItemText(text);
}

std::string recordItemText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\t' && c != '\r' && c != '\n') out += c;
    return out;
}

std::optional<int> recordCode(const std::string& codeItem) {
    if (codeItem.empty()) return std::nullopt;
    int value = 0;
    for (char c : codeItem) {
        const char* digits = "0123456789ABCDEFabcdef";
        const char* found = c ? std::strchr(digits, c) : nullptr;
        if (!found) return std::nullopt;
        const int digit = static_cast<int>(found - digits);
        value = value * 16 + (digit < 16 ? digit : digit - 6);
        if (value > 0xFF) return std::nullopt;
    }
    return value;
}

std::string recordLine(char categoryA, char categoryB, const std::string& question, const std::string& answer,
                       const std::string& reference) {
    return std::string{categoryA, categoryB} + "\t" + question + "\t" + answer + "\t" + reference + "\t0";
}

RecordEditor::RecordEditor(DataListLogic& logic, Prompter& prompter, RecordEditorView& view)
    : m_logic(logic), m_prompter(prompter), m_view(view) {}

void RecordEditor::FormCreate() {
    m_addMode = false;
    m_recordCopied = false;
    const ShownTitle& shown = m_logic.set().shown;
    m_view.setCategoryItems(CategoryBox::A, categoryItems(kCategoryANone, shown.categoryA));
    m_view.setCategoryItems(CategoryBox::B, categoryItems(kCategoryBNone, shown.categoryB));
    m_view.setControlEnabled(RecordControl::Store, true);
    m_view.setControlEnabled(RecordControl::Paste, false);
    m_view.setControlEnabled(RecordControl::RecordPaste, false);
    ShowRecord();
    UpdateRecordStatus();
}

int RecordEditor::recordCount() const {
    return m_logic.recordRows().count();
}

std::string RecordEditor::currentLine() const {
    const ShownTitle& shown = m_logic.set().shown;
    const int blockLine = m_logic.blockLineOfRow(m_logic.currentRecordRow());
    return blockLine >= 0 && static_cast<size_t>(blockLine) < shown.lines.size()
               ? shown.lines[static_cast<size_t>(blockLine)]
               : std::string();
}

void RecordEditor::ShowRecord() {
    const int row = m_logic.currentRecordRow();
    m_view.setControlEnabled(RecordControl::Previous, row > 1);
    m_view.setControlEnabled(RecordControl::Next, row < recordCount());
    DecodeRecordLine(currentLine());
    m_stored = boxContents();
    m_freshBoxes = false;
}

bool RecordEditor::BoxContents::operator==(const BoxContents& other) const {
    return categoryA == other.categoryA && categoryB == other.categoryB && texts[0] == other.texts[0] &&
           texts[1] == other.texts[1] && texts[2] == other.texts[2];
}

RecordEditor::BoxContents RecordEditor::boxContents() const {
    BoxContents contents;
    contents.categoryA = m_view.selectedCategory(CategoryBox::A);
    contents.categoryB = m_view.selectedCategory(CategoryBox::B);
    contents.texts[0] = m_view.text(RecordBox::Question);
    contents.texts[1] = m_view.text(RecordBox::Answer);
    contents.texts[2] = m_view.text(RecordBox::Reference);
    return contents;
}

bool RecordEditor::hasUnstoredChanges() const {
    const BoxContents now = boxContents();
    if (m_freshBoxes) return !now.texts[0].empty() || !now.texts[1].empty() || !now.texts[2].empty();
    return !(now == m_stored);
}

// Typed text is the user's data: stepping or closing never drops it without a question.
bool RecordEditor::settleUnstoredChanges() {
    if (!hasUnstoredChanges()) return true;
    switch (m_prompter.ask("登録しますか？", "確認", Buttons::YesNoCancel, Icon::Question)) {
    case Answer::Yes:
        if (!m_addMode) return StoreRecord();
        Button3Click();
        return !m_addMode; // appended: add mode has ended
    case Answer::No:
        return true;
    default:
        return false;
    }
}

bool RecordEditor::FormCloseQuery() {
    return settleUnstoredChanges();
}

// The last item is read up to the end of the line, so a record of four items keeps its reference.
void RecordEditor::DecodeRecordLine(const std::string& line) {
    showItems(ItemText(line, kTab, 1), cp932ToUtf8(ItemText(line, kTab, 2)),
              cp932ToUtf8(ItemText(line, kTab, 3)), cp932ToUtf8(ItemText(line, kTab, 4)));
}

// A code that is no hexadecimal number, or names no item, leaves the category box empty.
void RecordEditor::showItems(const std::string& codeItem, const std::string& question,
                             const std::string& answer, const std::string& reference) {
    const std::optional<int> code = recordCode(codeItem);
    const ShownTitle& shown = m_logic.set().shown;
    const size_t itemsA = std::min(shown.categoryA.size(), kMaxCategoryNames) + 1;
    const size_t itemsB = std::min(shown.categoryB.size(), kMaxCategoryNames) + 1;
    m_view.selectCategory(CategoryBox::A, categoryIndex(code, CategoryBox::A, itemsA));
    m_view.selectCategory(CategoryBox::B, categoryIndex(code, CategoryBox::B, itemsB));
    m_view.setText(RecordBox::Question, question);
    m_view.setText(RecordBox::Answer, answer);
    m_view.setText(RecordBox::Reference, reference);
    TextChanged();
}

void RecordEditor::UpdateRecordStatus() {
    const ShownTitle& shown = m_logic.set().shown;
    m_view.setTitleLabel("ﾀｲﾄﾙ：" + cp932ToUtf8(shown.name));
    m_view.setRecordNumberLabel("ﾚｺｰﾄﾞNo./総数=" + std::to_string(m_logic.currentRecordRow()) + "/" +
                                std::to_string(recordCount()));
    updateByteCount();
}

void RecordEditor::updateByteCount() {
    // Counted as stored: half-width katakana are widened when the set is saved.
    size_t bytes = 0;
    for (RecordBox box : {RecordBox::Question, RecordBox::Answer, RecordBox::Reference})
        bytes += ToFullWidthKana(utf8ToCp932(recordItemText(m_view.text(box))).bytes).size();
    std::string text = "文字総数=" + std::to_string(bytes);
    m_byteWarning = bytes > static_cast<size_t>(kRecordTextByteLimit);
    if (m_byteWarning) text += " (文字総数は最大299文字(半角)です。)";
    m_view.setByteCountLabel(text, m_byteWarning);
}

// Item 0 stands for code 1 in category A (which has no "none") and for code 0 in category B;
// a typed text that is no item keeps the record's own digit.
char RecordEditor::categoryCharacter(CategoryBox box, std::optional<int> code) const {
    const int index = m_view.selectedCategory(box);
    if (index == 0) return box == CategoryBox::A ? '1' : '0';
    if (index >= 1 && index <= static_cast<int>(kMaxCategoryNames)) return hexDigit(index);
    if (!code) return box == CategoryBox::A ? '1' : '0';
    return hexDigit(box == CategoryBox::A ? *code / 16 : *code % 16);
}

bool RecordEditor::StoreRecord() {
    const std::optional<int> code = recordCode(ItemText(currentLine(), kTab, 1));
    std::string texts[3];
    std::string unmappable;
    const RecordBox boxes[] = {RecordBox::Question, RecordBox::Answer, RecordBox::Reference};
    for (int i = 0; i < 3; ++i) {
        Cp932Encoding encoded = utf8ToCp932(recordItemText(m_view.text(boxes[i])));
        texts[i] = std::move(encoded.bytes);
        unmappable += encoded.unmappable;
    }
    if (!unmappable.empty()) {
        m_prompter.ask("「" + unmappable + "」はShift-JISにない文字のため、登録できません。", "確認",
                       Buttons::Ok, Icon::Warning);
        return false;
    }
    QuestionSet& set = m_logic.set();
    const std::string line =
        recordLine(categoryCharacter(CategoryBox::A, code), categoryCharacter(CategoryBox::B, code), texts[0],
                   texts[1], texts[2]);
    int at = -1;
    if (m_addMode) {
        if (set.selectedTitle < 1 || set.selectedTitle > set.titleCount()) return false;
        at = std::min(set.title(set.selectedTitle).last + 1, static_cast<int>(set.lines.size()));
    } else {
        at = m_logic.setLineOfRow(m_logic.currentRecordRow());
        if (at < 0) return false;
    }
    if (refuseUnloadable(static_cast<size_t>(at), line)) {
        updateByteCount(); // shows why
        return false;
    }
    const StepStart start = m_logic.startStep(m_logic.currentRecordRow());
    std::vector<std::string> replaced;
    if (m_addMode) {
        set.lines.insert(set.lines.begin() + at, line);
    } else {
        replaced.push_back(std::move(set.lines[static_cast<size_t>(at)]));
        set.lines[static_cast<size_t>(at)] = line;
    }
    RebuildTitleIndex(set);
    ReloadShownBlock(set);
    m_logic.FillRecordGrid();
    set.saved = false;
    if (m_addMode) {
        m_logic.setCurrentRecordRow(recordCount());
        m_view.setControlEnabled(RecordControl::Previous, recordCount() > 1);
        m_view.setControlEnabled(RecordControl::Next, false);
    }
    UpdateRecordStatus();
    m_logic.finishStep(start, m_addMode ? "ﾚｺｰﾄﾞ追加" : "ﾚｺｰﾄﾞ登録", static_cast<size_t>(at),
                       std::move(replaced), {line}, m_logic.currentRecordRow());
    m_addMode = false;
    m_stored = boxContents();
    m_freshBoxes = false;
    return true;
}

// A stored line the next load would refuse would make the saved file impossible to open.
bool RecordEditor::refuseUnloadable(size_t at, const std::string& line) {
    const std::vector<std::string> problems = lineProblems(line);
    if (problems.empty()) return false;
    m_prompter.ask(editRefusalText(at, line, problems), "確認", Buttons::Ok, Icon::Warning);
    return true;
}

void RecordEditor::StartNewRecord() {
    for (RecordBox box : {RecordBox::Question, RecordBox::Answer, RecordBox::Reference})
        m_view.setText(box, "");
    TextChanged();
    m_addMode = true;
    m_freshBoxes = true;
    m_view.setControlEnabled(RecordControl::Store, false);
    m_view.setControlEnabled(RecordControl::Add, false);
    m_view.setRecordNumberLabel("ﾚｺｰﾄﾞNo./総数=");
    m_view.setByteCountLabel("文字総数=", m_byteWarning);
    m_view.focusBox(RecordBox::Question);
}

void RecordEditor::Button1Click() {
    StoreRecord();
}

void RecordEditor::Button3Click() {
    const bool addModeBefore = m_addMode;
    m_addMode = true;
    if (StoreRecord())
        m_view.setControlEnabled(RecordControl::Store, true);
    else
        m_addMode = addModeBefore;
}

void RecordEditor::Button4Click() {
    if (!settleUnstoredChanges()) return;
    m_view.setControlEnabled(RecordControl::Add, true);
    if (m_logic.currentRecordRow() > 1) m_logic.setCurrentRecordRow(m_logic.currentRecordRow() - 1);
    ShowRecord();
    UpdateRecordStatus();
}

void RecordEditor::Button5Click() {
    if (!settleUnstoredChanges()) return;
    m_view.setControlEnabled(RecordControl::Add, true);
    if (m_logic.currentRecordRow() < recordCount())
        m_logic.setCurrentRecordRow(m_logic.currentRecordRow() + 1);
    ShowRecord();
    UpdateRecordStatus();
}

void RecordEditor::TextChanged() {
    m_view.setControlEnabled(RecordControl::Add, !m_view.text(RecordBox::Question).empty() &&
                                                     !m_view.text(RecordBox::Answer).empty());
}

void RecordEditor::CopySelection() {
    for (RecordBox box : {RecordBox::Question, RecordBox::Answer, RecordBox::Reference}) {
        const std::string selected = m_view.selectedText(box);
        if (selected.empty()) continue;
        m_view.setClipboardText(selected);
        return;
    }
}

void RecordEditor::CleanClipboardText() {
    if (std::optional<std::string> text = m_view.clipboardText())
        m_view.setClipboardText(cleanedClipboardText(*text));
}

void RecordEditor::PasteClipboard() {
    CleanClipboardText();
    const std::optional<RecordBox> box = m_view.focusedBox();
    const std::optional<std::string> text = m_view.clipboardText();
    if (box && text) m_view.insertText(*box, *text);
}

void RecordEditor::CopyRecordLine() {
    m_view.setClipboardText(cp932ToUtf8(currentLine()));
    m_recordCopied = true;
}

// The clipboard may hold any text: it is shown item by item as far as it goes, never stored here.
void RecordEditor::PasteRecordLine() {
    const std::optional<std::string> text = m_view.clipboardText();
    if (!text) return;
    showItems(ItemText(*text, kTab, 1), ItemText(*text, kTab, 2), ItemText(*text, kTab, 3),
              ItemText(*text, kTab, 4));
    m_freshBoxes = true;
}

bool RecordEditor::hasClipboardText() const {
    const std::optional<std::string> text = m_view.clipboardText();
    return text && !text->empty();
}

void RecordEditor::EditMenuOpening() {
    m_view.setControlEnabled(RecordControl::Paste, hasClipboardText());
    m_view.setControlEnabled(RecordControl::RecordPaste, m_recordCopied);
}

void RecordEditor::PopupMenuOpening() {
    m_view.setControlEnabled(RecordControl::Paste, hasClipboardText());
}

} // namespace rovik
