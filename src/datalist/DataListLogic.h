#pragma once
// Everything the data list window decides, without a screen: the question set it owns, the title
// list and record rows it shows, which commands are enabled, the open, save, new-title and
// edit-as-text commands and the close question. The data operations reach the window through the
// DataListView this class implements; the window itself is an EditorView.
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/QuestionSet.h"
#include "datalist/EditHistory.h"
#include "datalist/EditorView.h"
#include "datalist/RecentMenus.h"
#include "datalist/RecordRows.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace rovik {

class Prompter;
struct ProgramValues;

// The four "新規..." open commands and the ごたく command.
enum class OpenCommand { Text, Pdb, Import, FiveChoice };

constexpr const char* kDataListCaption = "Rovik(ﾃﾞｰﾀ一覧)";
constexpr const char* kTextOpenFilter = "Text files (*.txt)|*.TXT";
constexpr const char* kPdbOpenFilter = "PDB file (*.pdb)|*.PDB";
constexpr const char* kFiveChoiceOpenFilter = "ごたくfiles (*.5TQ)|*.5tq";

// Where a step began: what the window showed.
struct StepStart {
    EditView view;
    TextEncoding encoding = TextEncoding::Cp932;
};

class DataListLogic : public DataListView {
public:
    DataListLogic(EditorView& window, Prompter& prompter, ProgramValues& values);

    QuestionSet& set() { return m_set; }
    const QuestionSet& set() const { return m_set; }
    DataContext& context() { return m_context; }
    const std::string& currentFileName() const { return m_currentFileName; }
    bool isEnabled(EditorCommand command) const { return m_enabled[static_cast<size_t>(command)]; }
    void enable(EditorCommand command, bool enabled);

    // What the window shows.
    const std::vector<std::string>& titleNames() const { return m_titleNames; } // CP932
    int titleRow() const { return m_titleRow; }
    const RecordRows& recordRows() const { return m_rows; }
    std::string cellText(int row, int column) const; // CP932; row from 1

    // Row mapping: the shown block's line and the question set's line that grid row `row`
    // (from 1) stands for; -1 when the row does not exist.
    int blockLineOfRow(int row) const;
    int setLineOfRow(int row) const;
    // The current record row (from 1) that record commands and the record editor work on.
    int currentRecordRow() const { return m_currentRecordRow; }
    void setCurrentRecordRow(int row) { m_currentRecordRow = row; }

    // Operations of the window.
    void FillTitleList();
    int FillRecordGrid();
    void ShowSelectedTitle();
    RecentMenus BuildRecentMenus() const;
    void NewTitle();
    void EditAsText();
    void OpenRecordEditor();
    void OpenTitleEditor();
    void PasteCheck();
    // The close question (Yes, No, Cancel); false keeps the window open: cancelled, or the save
    // was cancelled or failed.
    bool FormCloseQuery();

    // Undo and redo. Every change to the lines made from this window is one step: its command
    // notes where it began and hands over the lines it replaced.
    const EditHistory& history() const { return m_history; }
    // The record rows default to the records grid's current row; the record editor, which moves
    // its own row, names its rows.
    StepStart startStep(int recordRow = -1) const;
    void finishStep(const StepStart& start, const char* name, size_t first, std::vector<std::string> oldLines,
                    std::vector<std::string> newLines, int recordRowAfter = -1);
    void Undo();
    void Redo();
    // Runs a write of the set (a save or an install) and returns its result. Once it wrote the
    // lines, the history's saved position is here, and the history and the shown title follow the
    // lines as written (half-width katakana full-width).
    int writeSet(const std::function<int()>& write);
    // The lines changed in place (same count): title names, shown title and grid follow; the
    // title and record rows stay.
    void reshowAfterEdit();

    // Commands.
    void runOpenCommand(OpenCommand command);
    void openTextFile(const std::string& path); // LoadQAText, then the window follows the set
    void openPdbFile(const std::string& path);
    void openImportFile(const std::string& path); // the tab-text import, then the same
    // Another import (CSV, Anki) run by `import`, as one undoable step like the imports above.
    void runImport(const std::function<void()>& import);
    void runPdbSave();
    // A file named on the command line: opened as text or PDB by its extension, as if chosen
    // in the matching open dialog.
    void openGivenFile(const std::string& path);

    // Events of the title list: a click (row -1 when no row was hit) and a change of current row.
    void titleListClicked(int row);
    void titleRowChanged(int row);

    // DataListView: what the data operations ask of the window.
    void setStatusText(const std::string& text) override;
    void setBusy(bool busy) override;
    void enableCommand(DataCommand command, bool enabled) override;
    void setCurrentFileName(const std::string& path) override;
    void fillTitleList() override;
    void showTitleRow(int row) override;
    void selectTitleRow(int row) override;
    bool runTextSave() override;
    void showErrorLog(const std::string& path) override;

private:
    int runTextSaveResult();
    bool showTitleRecords(); // ShowSelectedTitle without moving the focus; false when nothing shown
    void clearShownTitle();
    void reshowSelectedTitle();
    void followQuestionSet();
    void setTitleRow(int row);
    void finishLoad(const StepStart& start, const std::vector<std::string>& before, const char* name);
    void finishChange(const StepStart& start, const std::vector<std::string>& before, const char* name);
    void showHistoryStep(const AppliedStep& applied);
    void updateHistoryCommands();

    EditorView& m_window;
    Prompter& m_prompter;
    ProgramValues& m_values;
    QuestionSet m_set;
    DataContext m_context;
    std::string m_currentFileName;
    std::vector<std::string> m_titleNames;
    int m_titleRow = -1;
    RecordRows m_rows;
    int m_currentRecordRow = 0;
    std::array<bool, kEditorCommandCount> m_enabled{};
    EditHistory m_history;
};

} // namespace rovik
