#include "editor/DataListLogic.h"

#include "app/ProgramValues.h"
#include "data/Common.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "pdb/PdbReader.h"
#include "pdb/PdbWriter.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"

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

DataListLogic::DataListLogic(DataListWindow& window, Prompter& prompter, ProgramValues& values)
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
    if (m_titleRow < 0 || m_titleRow >= m_set.titleCount()) return;
    m_set.selectedTitle = m_titleRow + 1;
    const TitleRange& range = m_set.title(m_set.selectedTitle);
    const size_t first = static_cast<size_t>(range.start - 1);
    const size_t end = std::min(static_cast<size_t>(range.last) + 1, m_set.lines.size());
    m_set.shown.name = static_cast<size_t>(m_titleRow) < m_titleNames.size() ? m_titleNames[m_titleRow] : "";
    m_set.shown.lines.assign(m_set.lines.begin() + static_cast<std::ptrdiff_t>(std::min(first, end)),
                             m_set.lines.begin() + static_cast<std::ptrdiff_t>(end));
    if (FillRecordGrid() < 0) return;
    m_set.recordClipboard.clear();
    for (EditorCommand command : kTitleShownCommands)
        enable(command, true);
    m_window.focusTitleList();
}

// The open question the Parts leave: with no title left, nothing may address the old rows.
void DataListLogic::clearShownTitle() {
    m_set.selectedTitle = -1;
    m_set.shown.clear();
    m_set.recordClipboard.clear();
    m_rows.clear();
    m_currentRecordRow = 0;
    m_window.recordGridChanged();
    m_window.setCaption(kDataListCaption);
    for (EditorCommand command : kTitleShownCommands)
        enable(command, false);
    enable(EditorCommand::RecordPaste, false);
    if (m_set.lines.empty()) {
        enable(EditorCommand::TextSave, false);
        enable(EditorCommand::PdbSave, false);
        enable(EditorCommand::PdbInstall, false);
    } else {
        enable(EditorCommand::TextEdit, true);
    }
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
    m_set.shown.categoryA.clear();
    m_set.shown.categoryB.clear();
    m_set.titles.clear();
    m_set.saved = false;
    for (auto& line : newTitleTemplate())
        m_set.lines.push_back(std::move(line));
    RebuildTitleIndex(m_set);
    FillTitleList();
    if (append && selectedBefore >= 1 && selectedBefore <= m_set.titleCount())
        selectTitleRow(selectedBefore - 1);
    else
        showTitleRow(append ? std::max(m_titleRow, 0) : 0);
    setStatusText("");
    enable(EditorCommand::TextSave, true);
    enable(EditorCommand::PdbSave, true);
    enable(EditorCommand::PdbInstall, true);
}

void DataListLogic::EditAsText() {
    // An absolute path, so the recently used entry and the data folder stay valid later.
    std::error_code ec;
    const std::string path = joinPath(pathText(std::filesystem::current_path(ec)), "$$temp.txt");
    std::string bytes;
    for (const auto& line : m_set.lines)
        bytes += line + "\r\n";
    if (!writeFileAtomically(path, bytes)) {
        m_prompter.error("ファイルが開けません");
        return;
    }
    m_prompter.ask("テキストエディタを起動します。\nエディタで編集したデータを保存する場合は「上書き保存」し"
                   "てください。",
                   "ｴﾃﾞｨﾀ起動", Buttons::Ok, Icon::None);
    m_window.openDocument(path);
    if (m_prompter.ask("編集保存したテキストデータを読み込みますか？", "確認", Buttons::YesNo, Icon::None) !=
        Answer::Yes)
        return;
    // A refused or empty edit must not cost the data in memory: keep what the window showed.
    const QuestionSet before = m_set;
    const auto enabledBefore = m_enabled;
    const int rowBefore = m_titleRow;
    const std::string fileBefore = m_currentFileName;
    m_set.lines.clear();
    LoadQAText(m_context, path);
    if (!m_set.lines.empty()) {
        enable(EditorCommand::TextSave, true);
        followQuestionSet();
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
    if (m_prompter.ask("データを保存しますか？", "確認", Buttons::YesNo, Icon::None) != Answer::Yes)
        return true;
    // A cancelled dialog closes, as the user chose; a save that failed keeps the data on screen.
    const int result = runTextSaveResult();
    return result == 0 || result == 1;
}

void DataListLogic::runOpenCommand(OpenCommand command) {
    const OpenRule rule = openRule(command);
    m_currentFileName.clear();
    FileDialogRequest request;
    request.filter = rule.filter;
    request.folder = m_values.dataFolder;
    std::optional<std::string> chosen = m_prompter.openFile(request);
    if (!chosen) return;
    m_currentFileName = *chosen;
    if (!rule.accepts(*chosen)) {
        m_prompter.error(rule.wrongExtension, "ﾌｧｲﾙ ｴﾗｰ");
        return;
    }
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
    case OpenCommand::FiveChoice:
        m_window.runFiveChoiceImport(*chosen);
        followQuestionSet();
        break;
    }
}

void DataListLogic::openTextFile(const std::string& path) {
    LoadQAText(m_context, path);
    followQuestionSet();
}

void DataListLogic::openPdbFile(const std::string& path) {
    OpenPdb(m_context, path);
    followQuestionSet();
}

void DataListLogic::openImportFile(const std::string& path) {
    m_window.runImportTextFile(path);
    followQuestionSet();
}

int DataListLogic::runTextSaveResult() {
    return SaveQuestionSet(m_context, m_currentFileName, kTextSaveFilter);
}

void DataListLogic::runPdbSave() {
    SaveQuestionSet(m_context, proposedPdbName(m_currentFileName), kPdbSaveFilter);
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
