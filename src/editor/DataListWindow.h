#pragma once
// The data list window: titles on the left, the shown title's records on the right, and every
// open, save, edit and install command in its menus. It forwards events to DataListLogic and
// shows what the logic decides.
#include "data/DataListView.h"
#include "datalist/EditorView.h"
#include "editor/GridView.h"

#include <QMainWindow>

#include <array>
#include <memory>

class QAction;
class QEventLoop;
class QMenu;
class QSplitter;
class QStatusBar;
class QStringListModel;
class QTableView;

namespace rovik {

class Announcer;
class ClipboardCommands;
class DataListLogic;
class FindCommands;
class FindDialog;
class Prompter;
class QtPrompter;
class RecordGridModel;
struct ProgramValues;

class TForm3 : public QMainWindow, public EditorView, public DataListView {
    Q_OBJECT
public:
    // Without a prompter the window asks through real dialogs; without values it uses the program's.
    explicit TForm3(QWidget* parent = nullptr, Prompter* prompter = nullptr, ProgramValues* values = nullptr);
    ~TForm3() override;

    // Shows the window modally over its owner until it closes.
    void showModal();

    DataListLogic& logic() { return *m_logic; }
    FindCommands& findCommands() { return *m_find; }
    // The find dialog, made at the first 検索 or 置換; nothing before.
    FindDialog* findDialog() const { return m_findDialog; }

    // Sets every column width from the grids' widths (the window became active).
    void FormActivate();

    GridView* StringGrid2;
    QSplitter* Splitter1;
    GridView* StringGrid1;
    QStatusBar* StatusBar1;
    QMenu* PopupMenu4;

    QMenu* File1;
    QAction* T1;
    QMenu* Open1;
    QAction* N11112;
    std::array<QAction*, 9> textRecent{}; // N22222, N22223, N33332, ..., N99992
    QMenu* PDBP2;
    QAction* N13;
    std::array<QAction*, 9> pdbRecent{}; // P11 to P91
    QMenu* I1;
    QAction* N12;
    std::array<QAction*, 9> importRecent{}; // I12 to I92
    QAction* Q1;
    QAction* S2;
    QAction* PDBD1;
    QAction* PDBP1;
#ifdef ROVIK_DECKS
    QAction* CsvImport1;
    QAction* AnkiImport1;
#endif
    QAction* AnkiExport1 = nullptr; // the export items exist where the decks are built
    QAction* CsvExport1 = nullptr;
    QAction* Close1;
    QMenu* T3;
    QAction* C2;
    QAction* C3;
    QAction* H1;
    QAction* D3;
    QMenu* Edit1;
    QAction* Undo1;
    QAction* Redo1;
    QAction* Find1;
    QAction* FindNext1;
    QAction* FindPrevious1;
    QAction* Replace1;
    QAction* D1;
    QAction* B1;
    QAction* T2;
    QAction* C1;
    QAction* S1;
    QAction* D2;
    QAction* N4;
    QAction* N7;
    QAction* N8;
    QAction* N9;
    QAction* N10;
    QMenu* K1;
    QAction* HotSyncH1;
    QAction* I2;
    QAction* Statistics1 = nullptr; // only where the history is kept
    QMenu* Help1;
    QAction* H2;
    QAction* About1;

    // EditorView
    void setStatusText(const std::string& text) override;
    void setBusy(bool busy) override;
    void setCommandEnabled(EditorCommand command, bool enabled) override;
    void setCaption(const std::string& caption) override;
    void titleListChanged() override;
    void recordGridChanged() override;
    void setTitleCurrentRow(int row) override;
    void focusTitleList() override;
    int recordCurrentRow() const override;
    void setRecordCurrentRow(int row) override;
    int recordTopRow() const override;
    void setRecordTopRow(int row) override;
    int titleTopRow() const override;
    void setTitleTopRow(int row) override;
    void showErrorLog(const std::string& path) override;
    bool openDocument(const std::string& path) override;
    void runRecordEditor(const std::string& caption) override;
    void runTitleEditor() override;
    void runImportTextFile(const std::string& path) override;
    void runFiveChoiceImport(const std::string& path) override;
    void setHistoryNames(const std::string& undoName, const std::string& redoName) override;

    // DataListView: the data operations' calls, forwarded to the logic.
    void enableCommand(DataCommand command, bool enabled) override;
    void setCurrentFileName(const std::string& path) override;
    void fillTitleList() override;
    void showTitleRow(int row) override;
    void selectTitleRow(int row) override;
    bool runTextSave() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    // Record and title clipboard commands, attached by the editing commands.
    void CutRecord();
    void CopyRecord();
    void PasteRecord();
    void DeleteRecord();
    void CutTitle();
    void CopyTitle();
    void PasteTitle();
    void DeleteTitle();
    // Install reservation and Palm's programs, attached by the install dialog. The help and
    // about items are attached by the opener, which owns the help file and the about box.
    void PDBP1Click();
    void HotSyncH1Click();
    void I2Click();
    void Statistics1Click(); // 統計…

private:
    void createControls();
    void createGridShortcuts();
    void createMenus();
    void createFileMenu();
    void createExportItems();
    void createTitleAndEditMenus();
    void createOtherMenus();
    void createFindItems();
    void openFindDialog(bool withReplace);
    void findAgain(bool backward);
    void BuildRecentMenus();
    void updateReferenceColumn();
    int recordGridWidth() const;
    QAction* addItem(QMenu* menu, const char* name, const QString& caption, const QString& hint,
                     bool enabled = true);

    Announcer* m_announcer = nullptr;
    std::unique_ptr<QtPrompter> m_ownPrompter;
    std::unique_ptr<DataListLogic> m_logic;
    std::unique_ptr<ClipboardCommands> m_clipboard;
    std::unique_ptr<FindCommands> m_find;
    FindDialog* m_findDialog = nullptr;
    QStringListModel* m_titleModel = nullptr;
    RecordGridModel* m_recordModel = nullptr;
    QEventLoop* m_modalLoop = nullptr;
    bool m_settingTitleRow = false;
    bool m_busy = false;
    int m_pressRow = -1;
};

} // namespace rovik
