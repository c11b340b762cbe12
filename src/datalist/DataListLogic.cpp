#include "datalist/DataListLogic.h"

#include "data/Common.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "datalist/ClipboardCommands.h"
#include "pdb/PdbReader.h"
#include "pdb/PdbWriter.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "settings/ProgramValues.h"

#include <algorithm>
#include <filesystem>

namespace rovik {
namespace {
// The commands a shown title enables (the paste items are not among them).
constexpr EditorCommand kTitleShownCommands[] = {
    EditorCommand::RecordEdit, EditorCommand::TitleEdit,    EditorCommand::RecordCut,
    EditorCommand::RecordCopy, EditorCommand::RecordDelete, EditorCommand::TextEdit,
    EditorCommand::TitleCut,   EditorCommand::TitleCopy,    EditorCommand::TitleDelete};

EditorCommand toEditorCommand(DataCommand command) {
    switch (command) {
    case DataCommand::TextSave:
        return EditorCommand::TextSave;
    case DataCommand::PdbSave:
        return EditorCommand::PdbSave;
    case DataCommand::PdbInstall:
        break;
    }
    return EditorCommand::PdbInstall;
}

constexpr const char* kHistoryLost = "データが変わっていたため、元に戻す・やり直しの記録を消しました。";

struct OpenRule {
    const char* filter;
    bool (*accepts)(const std::string&);
    const char* wrongExtension;
};

OpenRule openRule(OpenCommand command) {
    switch (command) {
    case OpenCommand::Pdb:
        return {kPdbOpenFilter, hasPdbExtension, "ファイルは .pdb を選択してください。"};
    case OpenCommand::FiveChoice:
        return {kFiveChoiceOpenFilter, hasFiveChoiceExtension, "ファイルは .5tq を選択してください。"};
    case OpenCommand::Text:
    case OpenCommand::Import:
        break;
    }
    return {kTextOpenFilter, hasTextExtension, "ファイルは .txt を選択してください。"};
}
} // namespace

DataListLogic::DataListLogic(EditorView& window, Prompter& prompter, ProgramValues& values)
    : m_window(window), m_prompter(prompter), m_values(values), m_context{m_set, prompter, *this, values} {
    for (int i = 0; i < kEditorCommandCount; ++i)
        m_window.setCommandEnabled(static_cast<EditorCommand>(i), false);
    m_window.setCaption(kDataListCaption);
}

void DataListLogic::enable(EditorCommand command, bool enabled) {
    m_enabled[static_cast<size_t>(command)] = enabled;
    m_window.setCommandEnabled(command, enabled);
}

std::string DataListLogic::cellText(int row, int column) const {
    return RecordRows::cellText(m_set.shown, m_rows.blockLineOf(row), row, column);
}

int DataListLogic::blockLineOfRow(int row) const {
    return m_rows.blockLineOf(row);
}

int DataListLogic::setLineOfRow(int row) const {
    const int blockLine = m_rows.blockLineOf(row);
    if (blockLine < 0 || m_set.selectedTitle < 1 || m_set.selectedTitle > m_set.titleCount()) return -1;
    const int line = m_set.title(m_set.selectedTitle).start - 1 + blockLine;
    return line < static_cast<int>(m_set.lines.size()) ? line : -1;
}

void DataListLogic::FillTitleList() {
    m_titleNames.clear();
    for (int t = 1; t <= m_set.titleCount(); ++t) {
        const size_t header = static_cast<size_t>(m_set.title(t).start - 1);
        m_titleNames.push_back(header < m_set.lines.size() ? ItemText(m_set.lines[header], kTab, 2) : "");
    }
    m_titleRow = m_titleNames.empty() ? -1 : 0;
    m_window.titleListChanged();
    m_window.setTitleCurrentRow(m_titleRow);
}

int DataListLogic::FillRecordGrid() {
    setBusy(true);
    m_rows.read(m_set.shown);
    m_window.recordGridChanged();
    setBusy(false);
    if (m_rows.count() == 0) {
        m_prompter.error("ﾃﾞｰﾀがありません。", "確認");
        return -1;
    }
    m_window.setCaption(std::string(kDataListCaption) + " - " +
                        cp932ToUtf8(ItemText(m_set.shown.lines.front(), kTab, 2)));
    return 0;
}

void DataListLogic::ShowSelectedTitle() {
    if (m_set.titleCount() == 0) {
        m_prompter.error("ﾌｧｲﾙを読み込んでください。", "確認");
        clearShownTitle();
        return;
    }
    if (showTitleRecords()) m_window.focusTitleList();
}

bool DataListLogic::showTitleRecords() {
    if (m_titleRow < 0 || m_titleRow >= m_set.titleCount()) return false;
    m_set.selectedTitle = m_titleRow + 1;
    const TitleRange& range = m_set.title(m_set.selectedTitle);
    const size_t first = static_cast<size_t>(range.start - 1);
    const size_t end = std::min(static_cast<size_t>(range.last) + 1, m_set.lines.size());
    m_set.shown.name = static_cast<size_t>(m_titleRow) < m_titleNames.size() ? m_titleNames[m_titleRow] : "";
    m_set.shown.lines.assign(m_set.lines.begin() + static_cast<std::ptrdiff_t>(std::min(first, end)),
                             m_set.lines.begin() + static_cast<std::ptrdiff_t>(end));
    if (FillRecordGrid() < 0) return false;
    // The record clipboard outlives the title change: a cut record is never dropped unseen.
    for (EditorCommand command : kTitleShownCommands)
        enable(command, true);
    return true;
}

// With no title left, nothing may address the old rows.
void DataListLogic::clearShownTitle() {
    m_set.selectedTitle = -1;
    m_set.shown.clear();
    m_rows.clear();
    m_currentRecordRow = 0;
    m_window.recordGridChanged();
    m_window.setCaption(kDataListCaption);
    for (EditorCommand command : kTitleShownCommands)
        enable(command, false);
    // Paste follows the record clipboard, which outlives the title; the save commands stay,
    // since closing still offers to save.
    enable(EditorCommand::RecordPaste, !m_set.recordClipboard.empty());
    if (!m_set.lines.empty()) enable(EditorCommand::TextEdit, true);
}

// After an operation that may have changed the lines behind the window's back.
void DataListLogic::followQuestionSet() {
    RebuildTitleIndex(m_set);
    std::vector<std::string> shownNames = m_titleNames;
    FillTitleList();
    if (m_set.titleCount() == 0) {
        clearShownTitle();
        return;
    }
    const bool sameList = shownNames == m_titleNames;
    const bool selectedValid = m_set.selectedTitle >= 1 && m_set.selectedTitle <= m_set.titleCount();
    if (sameList && selectedValid) {
        selectTitleRow(m_set.selectedTitle - 1);
        reshowSelectedTitle();
        return;
    }
    showTitleRow(selectedValid ? m_set.selectedTitle - 1 : 0);
}

RecentMenus DataListLogic::BuildRecentMenus() const {
    return rovik::BuildRecentMenus(m_values.settings);
}

void DataListLogic::NewTitle() {
    const LoadMode mode = AskLoadMode(m_context);
    if (mode == LoadMode::Cancelled) return;
    const bool append = mode == LoadMode::Append;
    const int selectedBefore = m_set.selectedTitle;
    const StepStart start = startStep();
    const std::vector<std::string> before = m_set.lines;
    // A new document is Shift-JIS until a file says otherwise.
    if (!append) {
        m_set.lines.clear();
        m_set.encoding = TextEncoding::Cp932;
        m_set.utf8Forms.jisOnly = 0;
    }
    m_set.shown.categoryA.clear();
    m_set.shown.categoryB.clear();
    m_set.titles.clear();
    m_set.saved = false;
    for (auto& line : newTitleTemplate())
        m_set.lines.push_back(std::move(line));
    RebuildTitleIndex(m_set);
    FillTitleList();
    if (append && selectedBefore >= 1 && selectedBefore <= m_set.titleCount()) {
        selectTitleRow(selectedBefore - 1);
        reshowSelectedTitle();
    } else
        showTitleRow(append ? std::max(m_titleRow, 0) : 0);
    setStatusText("");
    enable(EditorCommand::TextSave, true);
    enable(EditorCommand::PdbSave, true);
    enable(EditorCommand::PdbInstall, true);
    finishChange(start, before, "新規ﾀｲﾄﾙ");
}

void DataListLogic::EditAsText() {
    // An absolute path, so the recently used entry and the data folder stay valid later.
    std::error_code ec;
    const std::string path = joinPath(pathText(std::filesystem::current_path(ec)), "$$temp.txt");
    // The editor sees the user's file as it is on disk: a UTF-8 set stays UTF-8 there.
    std::string text;
    for (const auto& line : m_set.lines)
        text += line + "\r\n";
    std::string bytes;
    if (!encodeText(text, m_set.encoding, bytes, m_set.utf8Forms)) {
        m_prompter.error("Shift-JISとして読めないバイトがあるため、" +
                         std::string(encodingName(m_set.encoding)) + "では保存できません。");
        return;
    }
    if (!writeFileAtomically(path, bytes)) {
        m_prompter.error(cannotOpenText(path));
        return;
    }
    m_prompter.ask("テキストエディタを起動します。\nエディタで編集したデータを保存する場合は「上書き保存」し"
                   "てください。",
                   "ｴﾃﾞｨﾀ起動", Buttons::Ok, Icon::None);
    // Without an editor nothing was edited: asking to read the edit back would mislead.
    if (!m_window.openDocument(path)) {
        m_prompter.error(
            "テキストエディタを起動できません。テキストファイルを開くプログラムがありません。\n" + path);
        return;
    }
    if (m_prompter.ask("編集保存したテキストデータを読み込みますか？", "確認", Buttons::YesNo, Icon::None) !=
        Answer::Yes)
        return;
    // A refused or empty edit must not cost the data in memory: keep what the window showed.
    const QuestionSet before = m_set;
    const StepStart start = startStep();
    const auto enabledBefore = m_enabled;
    const int rowBefore = m_titleRow;
    const std::string fileBefore = m_currentFileName;
    m_set.lines.clear();
    // The temporary file is no file of the user's: the data keeps its name and no recent entry.
    OpenedFile opened;
    opened.recent = "";
    opened.current = fileBefore;
    LoadQAText(m_context, path, opened);
    if (!m_set.lines.empty()) {
        // The temporary file's encoding is the editor's choice; the user's file keeps its own.
        m_set.encoding = before.encoding;
        enable(EditorCommand::TextSave, true);
        followQuestionSet();
        finishChange(start, before.lines, "ﾃｷｽﾄ編集");
        return;
    }
    m_set = before;
    m_currentFileName = fileBefore;
    FillTitleList();
    selectTitleRow(rowBefore);
    m_rows.read(m_set.shown);
    m_window.recordGridChanged();
    if (m_rows.count() > 0)
        m_window.setCaption(std::string(kDataListCaption) + " - " +
                            cp932ToUtf8(ItemText(m_set.shown.lines.front(), kTab, 2)));
    for (int i = 0; i < kEditorCommandCount; ++i)
        enable(static_cast<EditorCommand>(i), enabledBefore[i]);
}

void DataListLogic::OpenRecordEditor() {
    m_currentRecordRow = m_window.recordCurrentRow();
    if (blockLineOfRow(m_currentRecordRow) < 0) return;
    m_window.runRecordEditor("Rovik(ﾚｺｰﾄﾞ編集) - " + cp932ToUtf8(m_set.shown.name));
    m_window.setRecordCurrentRow(m_currentRecordRow);
}

void DataListLogic::OpenTitleEditor() {
    RebuildTitleIndex(m_set);
    if (m_set.titleCount() > 0)
        m_window.runTitleEditor();
    else
        m_prompter.notice("タイトルを選択してください。");
}

void DataListLogic::PasteCheck() {
    if (m_set.recordClipboard.empty()) enable(EditorCommand::RecordPaste, false);
}

bool DataListLogic::FormCloseQuery() {
    if (m_set.saved) return true;
    const Answer answer = m_prompter.ask("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None);
    if (answer == Answer::No) return true;
    if (answer != Answer::Yes) return false;
    // Closing throws the data away: only a save that wrote it lets the window go.
    return runTextSaveResult() == 0;
}

void DataListLogic::runOpenCommand(OpenCommand command) {
    const OpenRule rule = openRule(command);
    const std::string nameBefore = m_currentFileName;
    m_currentFileName.clear();
    FileDialogRequest request;
    request.filter = rule.filter;
    request.folder = m_values.dataFolder;
    std::optional<std::string> chosen = m_prompter.openFile(request);
    if (!chosen) return;
    if (!rule.accepts(*chosen)) {
        m_currentFileName = *chosen;
        m_prompter.error(rule.wrongExtension, "ﾌｧｲﾙ ｴﾗｰ");
        return;
    }
    // Until the file has loaded the data is still the old one: a save offered on the way
    // proposes the old name, never the file about to be opened.
    m_currentFileName = nameBefore;
    switch (command) {
    case OpenCommand::Text:
        openTextFile(*chosen);
        break;
    case OpenCommand::Pdb:
        openPdbFile(*chosen);
        break;
    case OpenCommand::Import:
        openImportFile(*chosen);
        break;
    case OpenCommand::FiveChoice: {
        const StepStart start = startStep();
        const std::vector<std::string> before = m_set.lines;
        m_window.runFiveChoiceImport(*chosen);
        followQuestionSet();
        finishLoad(start, before, "ｲﾝﾎﾟｰﾄ");
        break;
    }
    }
}

void DataListLogic::openTextFile(const std::string& path) {
    const StepStart start = startStep();
    const std::vector<std::string> before = m_set.lines;
    LoadQAText(m_context, path);
    followQuestionSet();
    finishLoad(start, before, "追加読み込み");
}

void DataListLogic::openPdbFile(const std::string& path) {
    const StepStart start = startStep();
    const std::vector<std::string> before = m_set.lines;
    OpenPdb(m_context, path);
    followQuestionSet();
    finishLoad(start, before, "追加読み込み");
}

void DataListLogic::openGivenFile(const std::string& path) {
    const OpenCommand command = hasPdbExtension(path) ? OpenCommand::Pdb : OpenCommand::Text;
    const OpenRule rule = openRule(command);
    m_currentFileName = path;
    if (!rule.accepts(path)) {
        m_prompter.error(rule.wrongExtension, "ﾌｧｲﾙ ｴﾗｰ");
        return;
    }
    if (command == OpenCommand::Pdb)
        openPdbFile(path);
    else
        openTextFile(path);
}

void DataListLogic::openImportFile(const std::string& path) {
    const StepStart start = startStep();
    const std::vector<std::string> before = m_set.lines;
    m_window.runImportTextFile(path);
    followQuestionSet();
    finishLoad(start, before, "ｲﾝﾎﾟｰﾄ");
}

void DataListLogic::runImport(const std::function<void()>& import) {
    const StepStart start = startStep();
    const std::vector<std::string> before = m_set.lines;
    import();
    followQuestionSet();
    finishLoad(start, before, "ｲﾝﾎﾟｰﾄ");
}

int DataListLogic::runTextSaveResult() {
    return writeSet([this] { return SaveQuestionSet(m_context, m_currentFileName, kTextSaveFilter); });
}

void DataListLogic::runPdbSave() {
    writeSet(
        [this] { return SaveQuestionSet(m_context, proposedPdbName(m_currentFileName), kPdbSaveFilter); });
}

int DataListLogic::writeSet(const std::function<int()>& write) {
    const bool kana = std::any_of(m_set.lines.begin(), m_set.lines.end(),
                                  [](const std::string& line) { return HasHalfWidthKana(line) != 0; });
    const int result = write();
    if (result != 0) return result;
    // The widening is part of the save, not a change behind the history's back.
    if (kana) m_history.makeKanaFullWidth();
    m_history.markSaved();
    reshowSelectedTitle();
    return result;
}

// The shown copy of the selected title read again after its lines changed behind it (a save
// that made katakana full-width, an append): grid, category names and caption follow, the
// record row stays.
void DataListLogic::reshowSelectedTitle() {
    if (m_set.selectedTitle < 1 || m_set.selectedTitle > m_set.titleCount()) return;
    const int row = m_window.recordCurrentRow();
    const int top = m_window.recordTopRow();
    ReloadShownBlock(m_set);
    m_rows.read(m_set.shown);
    m_window.recordGridChanged();
    if (m_rows.count() == 0) return;
    m_window.setRecordTopRow(top);
    m_window.setRecordCurrentRow(std::clamp(row, 1, m_rows.count()));
    m_window.setCaption(std::string(kDataListCaption) + " - " +
                        cp932ToUtf8(ItemText(m_set.shown.lines.front(), kTab, 2)));
}

StepStart DataListLogic::startStep(int recordRow) const {
    return {{m_titleRow, recordRow >= 0 ? recordRow : m_window.recordCurrentRow()}, m_set.encoding};
}

void DataListLogic::finishStep(const StepStart& start, const char* name, size_t first,
                               std::vector<std::string> oldLines, std::vector<std::string> newLines,
                               int recordRowAfter) {
    if (oldLines == newLines) return;
    EditStep step;
    step.name = name;
    step.first = first;
    step.oldLines = std::move(oldLines);
    step.newLines = std::move(newLines);
    step.before = start.view;
    step.after = {m_titleRow, recordRowAfter >= 0 ? recordRowAfter : m_window.recordCurrentRow()};
    step.encodingBefore = start.encoding;
    step.encodingAfter = m_set.encoding;
    m_history.push(std::move(step));
    updateHistoryCommands();
}

// A change found by comparing the lines before and after it.
void DataListLogic::finishChange(const StepStart& start, const std::vector<std::string>& before,
                                 const char* name) {
    EditStep step = diffStep(before, m_set.lines);
    finishStep(start, name, step.first, std::move(step.oldLines), std::move(step.newLines));
}

// An append keeps every line it found in front of the new ones and is a step; anything else that
// changed the lines replaced them and starts a new document.
void DataListLogic::finishLoad(const StepStart& start, const std::vector<std::string>& before,
                               const char* name) {
    if (before == m_set.lines) return;
    const bool appended = !before.empty() && m_set.lines.size() > before.size() &&
                          std::equal(before.begin(), before.end(), m_set.lines.begin());
    if (appended) {
        finishStep(start, name, before.size(), {},
                   std::vector<std::string>(m_set.lines.begin() + static_cast<std::ptrdiff_t>(before.size()),
                                            m_set.lines.end()));
        return;
    }
    m_history.clear(m_set.saved);
    updateHistoryCommands();
}

void DataListLogic::Undo() {
    if (!m_history.canUndo()) return;
    showHistoryStep(m_history.undo(m_set.lines));
}

void DataListLogic::Redo() {
    if (!m_history.canRedo()) return;
    showHistoryStep(m_history.redo(m_set.lines));
}

// The window shows the lines as the step left them, on the title and record it showed then.
void DataListLogic::showHistoryStep(const AppliedStep& applied) {
    if (applied.step) {
        m_set.saved = m_history.atSavedPosition();
        m_set.encoding = applied.encoding;
        RebuildTitleIndex(m_set);
        FillTitleList();
        if (m_set.titleCount() == 0) {
            clearShownTitle();
        } else {
            setTitleRow(std::max(applied.view.titleRow, 0));
            // The focus stays where the user was: on the title list, the next Del would
            // remove a whole title unasked.
            showTitleRecords();
            if (m_rows.count() > 0) {
                m_currentRecordRow = std::clamp(applied.view.recordRow, 1, m_rows.count());
                m_window.setRecordCurrentRow(m_currentRecordRow);
            }
        }
        if (!m_set.lines.empty()) {
            for (EditorCommand command : {EditorCommand::TextSave, EditorCommand::PdbSave,
                                          EditorCommand::PdbInstall, EditorCommand::TextEdit})
                enable(command, true);
        }
    } else {
        // The lines changed outside the history.
        setStatusText(kHistoryLost);
    }
    updateHistoryCommands();
}

void DataListLogic::reshowAfterEdit() {
    const int row = m_titleRow;
    RebuildTitleIndex(m_set);
    FillTitleList();
    setTitleRow(row);
    if (m_titleRow >= 0) m_set.shown.name = m_titleNames[static_cast<size_t>(m_titleRow)];
    reshowSelectedTitle();
}

void DataListLogic::updateHistoryCommands() {
    enable(EditorCommand::Undo, m_history.canUndo());
    enable(EditorCommand::Redo, m_history.canRedo());
    m_window.setHistoryNames(m_history.undoName(), m_history.redoName());
}

void DataListLogic::titleListClicked(int row) {
    if (m_set.titleCount() > 0 && (row < 0 || row >= static_cast<int>(m_titleNames.size()))) return;
    if (row >= 0) m_titleRow = row;
    ShowSelectedTitle();
}

void DataListLogic::titleRowChanged(int row) {
    if (row == m_titleRow) return;
    m_titleRow = row;
    if (row >= 0) ShowSelectedTitle();
}

void DataListLogic::setTitleRow(int row) {
    const int count = static_cast<int>(m_titleNames.size());
    m_titleRow = count == 0 ? -1 : std::clamp(row, 0, count - 1);
    m_window.setTitleCurrentRow(m_titleRow);
}

void DataListLogic::setStatusText(const std::string& text) {
    m_window.setStatusText(text);
}
void DataListLogic::setBusy(bool busy) {
    m_window.setBusy(busy);
}
void DataListLogic::enableCommand(DataCommand command, bool enabled) {
    enable(toEditorCommand(command), enabled);
}
void DataListLogic::setCurrentFileName(const std::string& path) {
    m_currentFileName = path;
}

void DataListLogic::fillTitleList() {
    FillTitleList();
    if (m_set.titleCount() == 0) clearShownTitle();
}

void DataListLogic::showTitleRow(int row) {
    setTitleRow(row);
    ShowSelectedTitle();
}

void DataListLogic::selectTitleRow(int row) {
    setTitleRow(row);
}
bool DataListLogic::runTextSave() {
    return runTextSaveResult() == 0;
}
void DataListLogic::showErrorLog(const std::string& path) {
    m_window.showErrorLog(path);
}

} // namespace rovik
