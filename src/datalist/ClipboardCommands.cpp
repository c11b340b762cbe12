#include "datalist/ClipboardCommands.h"

#include "data/Common.h"
#include "data/QuestionSet.h"
#include "datalist/DataListLogic.h"
#include "platform/Prompter.h"

#include <algorithm>
#include <iterator>

namespace rovik {
namespace {
std::ptrdiff_t at(int index) {
    return static_cast<std::ptrdiff_t>(index);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
} // namespace

bool recordFitsTitle(const std::string& record, const ShownTitle& title) {
    if (isCommentLine(record)) return true;
    const std::string code = ItemText(record, kTab, 1);
    if (code.size() != 2) return false;
    const int a = hexDigit(code[0]);
    const int b = hexDigit(code[1]);
    return a >= 1 && a <= static_cast<int>(title.categoryA.size()) && b >= 0 &&
           b <= static_cast<int>(title.categoryB.size());
}

void ReloadShownBlock(QuestionSet& set) {
    set.shown.lines.clear();
    if (set.selectedTitle < 1 || set.selectedTitle > set.titleCount()) return;
    const TitleRange& range = set.title(set.selectedTitle);
    const int end = std::min(range.last + 1, static_cast<int>(set.lines.size()));
    if (range.start - 1 < end)
        set.shown.lines.assign(set.lines.begin() + at(range.start - 1), set.lines.begin() + at(end));
}

ClipboardCommands::ClipboardCommands(DataListLogic& logic, EditorView& window, Prompter& prompter)
    : m_logic(logic), m_window(window), m_prompter(prompter) {}

// Where the clipboard's record came from: it may always go back there.
void ClipboardCommands::rememberRecordSource(bool cut) {
    const QuestionSet& set = m_logic.set();
    m_recordCut = cut;
    m_recordSource = set.selectedTitle;
    m_recordSourceHeader = set.shown.lines.empty() ? std::string() : set.shown.lines.front();
}

bool ClipboardCommands::fromShownTitle() const {
    const QuestionSet& set = m_logic.set();
    return m_recordSource == set.selectedTitle && !set.shown.lines.empty() &&
           m_recordSourceHeader == set.shown.lines.front();
}

bool ClipboardCommands::recordRowOrSay(int row, int& blockLine, int& setLine) {
    if (recordLines(row, blockLine, setLine)) return true;
    m_prompter.notice("レコードが選択されていません。");
    return false;
}

// A grid that has rows but no current cell stands on its first row, as the old grid always did.
int ClipboardCommands::currentRecordRow() const {
    const int row = m_window.recordCurrentRow();
    return row < 1 && m_logic.recordRows().count() > 0 ? 1 : row;
}

// The lines of a record row; false for a row that stands for no record (the header row, or rows
// left over from a removed title), so no command ever reaches a header line.
bool ClipboardCommands::recordLines(int row, int& blockLine, int& setLine) const {
    const QuestionSet& set = m_logic.set();
    blockLine = m_logic.blockLineOfRow(row);
    setLine = m_logic.setLineOfRow(row);
    if (blockLine < 0 || setLine < 0 || blockLine >= static_cast<int>(set.shown.lines.size())) return false;
    const std::string& line = set.lines[static_cast<size_t>(setLine)];
    return !isHeaderLine(line) && line == set.shown.lines[static_cast<size_t>(blockLine)];
}

void ClipboardCommands::refillRecords(int row, int topRow) {
    QuestionSet& set = m_logic.set();
    RebuildTitleIndex(set);
    ReloadShownBlock(set);
    m_logic.FillRecordGrid();
    const int count = m_logic.recordRows().count();
    const int current = std::min(row, count);
    m_logic.setCurrentRecordRow(current);
    if (count == 0) return;
    m_window.setRecordTopRow(topRow);
    m_window.setRecordCurrentRow(current);
}

void ClipboardCommands::CutRecord() {
    const int row = currentRecordRow();
    int blockLine = -1;
    int setLine = -1;
    if (!recordRowOrSay(row, blockLine, setLine)) return;
    m_logic.setCurrentRecordRow(row);
    const int top = m_window.recordTopRow();
    const StepStart start = m_logic.startStep();
    QuestionSet& set = m_logic.set();
    set.saved = false;
    set.recordClipboard = set.lines[static_cast<size_t>(setLine)];
    rememberRecordSource(true);
    set.lines.erase(set.lines.begin() + at(setLine));
    refillRecords(row, top);
    m_logic.enable(EditorCommand::RecordPaste, true);
    m_logic.finishStep(start, "ﾚｺｰﾄﾞ切り取り", static_cast<size_t>(setLine), {set.recordClipboard}, {});
}

void ClipboardCommands::CopyRecord() {
    const int row = currentRecordRow();
    int blockLine = -1;
    int setLine = -1;
    if (!recordRowOrSay(row, blockLine, setLine)) return;
    m_logic.setCurrentRecordRow(row);
    m_logic.set().recordClipboard = m_logic.set().lines[static_cast<size_t>(setLine)];
    rememberRecordSource(false);
    m_logic.enable(EditorCommand::RecordPaste, true);
}

void ClipboardCommands::PasteRecord() {
    QuestionSet& set = m_logic.set();
    if (set.recordClipboard.empty() || set.shown.lines.empty()) return;
    if (!fromShownTitle() && !recordFitsTitle(set.recordClipboard, set.shown)) {
        m_prompter.ask("貼り付けるレコードの分類コード「" + ItemText(set.recordClipboard, kTab, 1) +
                           "」は、このタイトルの分類にありません。\n" +
                           std::string(m_recordCut ? "切り取った" : "コピーした") +
                           "タイトルに戻って貼り付けるか、分類を追加してください。",
                       "確認", Buttons::Ok, Icon::Warning);
        return;
    }
    int row = currentRecordRow();
    int blockLine = -1;
    int insertAt = -1;
    if (!recordLines(row, blockLine, insertAt)) {
        // A title without record rows takes the record after its header lines.
        if (m_logic.recordRows().count() > 0 || set.selectedTitle < 1 ||
            set.selectedTitle > set.titleCount() || set.shown.lines.empty())
            return;
        insertAt = std::min(set.title(set.selectedTitle).last + 1, static_cast<int>(set.lines.size()));
        row = 1;
    }
    m_logic.setCurrentRecordRow(row);
    const int top = m_window.recordTopRow();
    const StepStart start = m_logic.startStep();
    set.saved = false;
    set.lines.insert(set.lines.begin() + at(insertAt), set.recordClipboard);
    refillRecords(row, top);
    m_logic.finishStep(start, "ﾚｺｰﾄﾞ貼り付け", static_cast<size_t>(insertAt), {}, {set.recordClipboard});
}

void ClipboardCommands::DeleteRecord() {
    const int row = currentRecordRow();
    int blockLine = -1;
    int setLine = -1;
    if (!recordRowOrSay(row, blockLine, setLine)) return;
    m_logic.setCurrentRecordRow(row);
    const int top = m_window.recordTopRow();
    if (m_prompter.ask("指定されたﾚｺｰﾄﾞを削除します。", "削除確認", Buttons::YesNo, Icon::None) !=
        Answer::Yes)
        return;
    const StepStart start = m_logic.startStep();
    QuestionSet& set = m_logic.set();
    set.saved = false;
    std::string removed = std::move(set.lines[static_cast<size_t>(setLine)]);
    set.lines.erase(set.lines.begin() + at(setLine));
    refillRecords(row, top);
    m_logic.finishStep(start, "ﾚｺｰﾄﾞ削除", static_cast<size_t>(setLine), {std::move(removed)}, {});
}

bool ClipboardCommands::titleLines(int row, int& first, int& last) const {
    const QuestionSet& set = m_logic.set();
    if (row < 0 || row >= set.titleCount()) return false;
    const TitleRange& range = set.title(row + 1);
    first = range.start - 1;
    last = std::min(range.last, static_cast<int>(set.lines.size()) - 1);
    return first >= 0 && first <= last;
}

void ClipboardCommands::showTitleAt(int row, int topRow) {
    QuestionSet& set = m_logic.set();
    RebuildTitleIndex(set);
    // With the last title gone there is nothing to show and nothing to ask for: the grid empties.
    m_logic.fillTitleList();
    if (set.titleCount() == 0) return;
    m_window.setTitleTopRow(topRow);
    m_logic.selectTitleRow(row);
    set.selectedTitle = m_logic.titleRow() >= 0 ? m_logic.titleRow() + 1 : -1;
    m_logic.ShowSelectedTitle();
}

void ClipboardCommands::CutTitle() {
    const int row = m_logic.titleRow();
    int first = 0;
    int last = -1;
    if (!titleLines(row, first, last)) return;
    const int top = m_window.titleTopRow();
    const StepStart start = m_logic.startStep();
    QuestionSet& set = m_logic.set();
    set.saved = false;
    set.titleClipboard.assign(set.lines.begin() + at(first), set.lines.begin() + at(last + 1));
    set.lines.erase(set.lines.begin() + at(first), set.lines.begin() + at(last + 1));
    showTitleAt(row, top);
    m_logic.enable(EditorCommand::TitlePaste, true);
    m_logic.finishStep(start, "ﾀｲﾄﾙ切り取り", static_cast<size_t>(first), set.titleClipboard, {});
}

void ClipboardCommands::CopyTitle() {
    int first = 0;
    int last = -1;
    if (!titleLines(m_logic.titleRow(), first, last)) return;
    QuestionSet& set = m_logic.set();
    set.titleClipboard.assign(set.lines.begin() + at(first), set.lines.begin() + at(last + 1));
    m_logic.enable(EditorCommand::TitlePaste, true);
}

void ClipboardCommands::PasteTitle() {
    QuestionSet& set = m_logic.set();
    if (set.titleClipboard.empty()) return;
    int first = 0;
    int last = -1;
    // With no title to stand before, the title goes to the end of the lines.
    const int insertAt =
        titleLines(m_logic.titleRow(), first, last) ? first : static_cast<int>(set.lines.size());
    const int top = m_window.titleTopRow();
    const StepStart start = m_logic.startStep();
    set.saved = false;
    set.lines.insert(set.lines.begin() + at(insertAt), set.titleClipboard.begin(), set.titleClipboard.end());
    RebuildTitleIndex(set);
    int row = set.titleCount() - 1;
    for (int t = 1; t <= set.titleCount(); ++t)
        if (set.title(t).start - 1 == insertAt) row = t - 1;
    showTitleAt(row, top);
    m_logic.enable(EditorCommand::TitlePaste, true);
    // The set may have been empty before: there is something to save again.
    for (EditorCommand command : {EditorCommand::TextSave, EditorCommand::PdbSave, EditorCommand::PdbInstall})
        m_logic.enable(command, true);
    m_logic.finishStep(start, "ﾀｲﾄﾙ貼り付け", static_cast<size_t>(insertAt), {}, set.titleClipboard);
}

void ClipboardCommands::DeleteTitle() {
    const int row = m_logic.titleRow();
    int first = 0;
    int last = -1;
    if (!titleLines(row, first, last)) return;
    const int top = m_window.titleTopRow();
    const StepStart start = m_logic.startStep();
    QuestionSet& set = m_logic.set();
    set.saved = false;
    std::vector<std::string> removed(std::make_move_iterator(set.lines.begin() + at(first)),
                                     std::make_move_iterator(set.lines.begin() + at(last + 1)));
    set.lines.erase(set.lines.begin() + at(first), set.lines.begin() + at(last + 1));
    showTitleAt(row, top);
    m_logic.finishStep(start, "ﾀｲﾄﾙ削除", static_cast<size_t>(first), std::move(removed), {});
}

} // namespace rovik
