#pragma once
// What the data list window's logic asks of the window itself. TForm3 implements it; tests
// observe it. Texts are UTF-8; the window reads lists and cells back from the logic.
#include <string>

namespace rovik {

// Every command whose enabled state the logic decides. Record commands stand for both the
// Edit menu item and the record menu item.
enum class EditorCommand {
    TextSave,     // S2
    PdbSave,      // PDBD1
    PdbInstall,   // PDBP1
    RecordEdit,   // D1
    TitleEdit,    // B1
    RecordCut,    // T2, N7
    RecordCopy,   // C1, N8
    RecordPaste,  // S1, N9
    RecordDelete, // D2, N10
    TextEdit,     // N4
    TitleCut,     // C2
    TitleCopy,    // C3
    TitlePaste,   // H1
    TitleDelete,  // D3
    Undo,         // Undo1
    Redo,         // Redo1
};
constexpr int kEditorCommandCount = static_cast<int>(EditorCommand::Redo) + 1;

class EditorView {
public:
    virtual ~EditorView() = default;
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setBusy(bool busy) = 0;
    virtual void setCommandEnabled(EditorCommand command, bool enabled) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // The title names or the record rows changed: reread them from the logic.
    virtual void titleListChanged() = 0;
    virtual void recordGridChanged() = 0;
    // Moves the title list's current row (-1: none) without reporting it back as a user change.
    virtual void setTitleCurrentRow(int row) = 0;
    virtual void focusTitleList() = 0;
    // Records grid current row, counted from 1 as the grid shows it; 0 when there is none.
    virtual int recordCurrentRow() const = 0;
    virtual void setRecordCurrentRow(int row) = 0;
    // Top visible row of the records grid (from 1) and of the title list (from 0); setting one
    // scrolls the grid or list back to it. Windows without scrolling keep the defaults.
    virtual int recordTopRow() const { return 1; }
    virtual void setRecordTopRow(int) {}
    virtual int titleTopRow() const { return 0; }
    virtual void setTitleTopRow(int) {}
    virtual void showErrorLog(const std::string& path) = 0;
    // Hands a document to the program the system opens it with; false when refused.
    virtual bool openDocument(const std::string& path) = 0;
    // Hooks of the editors and imports that open their own windows.
    virtual void runRecordEditor(const std::string& caption) = 0;
    virtual void runTitleEditor() = 0;
    virtual void runImportTextFile(const std::string& path) = 0;
    virtual void runFiveChoiceImport(const std::string& path) = 0;
    // The names of the steps undo and redo would take back or do again ("" when none).
    virtual void setHistoryNames(const std::string&, const std::string&) {}
};

} // namespace rovik
