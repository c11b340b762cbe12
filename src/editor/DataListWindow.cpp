#include "editor/DataListWindow.h"

#include "gui/Announcer.h"

#include "datalist/ClipboardCommands.h"
#include "datalist/ColumnWidths.h"
#include "datalist/DataListLogic.h"
#include "datalist/FindCommands.h"
#include "editor/ErrorLogDialog.h"
#include "editor/FindDialog.h"
#include "editor/GridView.h"
#include "editor/RecordEditorWindow.h"
#include "editor/RecordGridModel.h"
#include "editor/TitleEditorWindow.h"
#include "gui/AboutBox.h"
#include "gui/Help.h"
#include "gui/QtPrompter.h"
#include "gui/WindowPlace.h"
#include "hotsync/InstallCommands.h"
#include "import/FiveChoice.h"
#include "import/ImportDialogs.h"
#include "import/TextImport.h"
#include "pdb/PdbWriter.h"
#include "platform/Cp932.h"
#include "platform/Shell.h"
#include "settings/ProgramValues.h"

#ifdef ROVIK_HISTORY
#include "quiz/StatisticsWindow.h"
#endif

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStringListModel>
#include <QTableView>

#include <algorithm>

namespace rovik {
namespace {
constexpr int kWidth = 550;
constexpr int kHeight = 375;
constexpr int kTitleListWidth = 169;
constexpr int kRowHeight = 18;

QString q(const std::string& text) {
    return QString::fromStdString(text);
}

void setupGrid(QTableView* grid, int rowHeight) {
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(rowHeight);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
}
} // namespace

TForm3::TForm3(QWidget* parent, Prompter* prompter, ProgramValues* values) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form3"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    setFont(font);
    resize(kWidth, kHeight);
    createControls();
    createMenus();
    if (!prompter) {
        m_ownPrompter = std::make_unique<QtPrompter>(this);
        prompter = m_ownPrompter.get();
    }
    m_logic = std::make_unique<DataListLogic>(*this, *prompter, values ? *values : programValues());
    m_clipboard = std::make_unique<ClipboardCommands>(*m_logic, *this, *prompter);
    m_find = std::make_unique<FindCommands>(*m_logic, *this, *prompter);
    // The imports of this window ask through the format and choice dialogs.
    registerImportDialogs();

    m_titleModel = new QStringListModel(this);
    StringGrid2->setModel(m_titleModel);
    m_recordModel = new RecordGridModel(*m_logic, this);
    StringGrid1->setModel(m_recordModel);
    StringGrid1->setColumnHidden(0, true);
    connect(StringGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!m_settingTitleRow) m_logic->titleRowChanged(current.isValid() ? current.row() : -1);
            });
    createGridShortcuts();
    installHelpKey(this, "topic24");
    connect(H2, &QAction::triggered, this, [this] { openHelpFile(m_logic->context().prompter); });
    connect(About1, &QAction::triggered, this, [this] { ShowAboutBox(this); });
    FormActivate();
}

TForm3::~TForm3() {
    // The children outlive the logic while the base class tears them down: stop their events and
    // drop the grid model, which reads the logic, first.
    delete m_findDialog;
    StringGrid2->selectionModel()->disconnect(this);
    StringGrid1->viewport()->removeEventFilter(this);
    StringGrid2->viewport()->removeEventFilter(this);
    StringGrid1->setModel(nullptr);
    delete m_recordModel;
    setBusy(false);
}

void TForm3::createControls() {
    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(3);
    Splitter1->setChildrenCollapsible(false);
    setCentralWidget(Splitter1);

    StringGrid2 = new GridView(Splitter1);
    StringGrid2->setObjectName(QStringLiteral("StringGrid2"));
    StringGrid2->setAccessibleName(QStringLiteral("タイトル一覧"));
    setupGrid(StringGrid2, kRowHeight);
    StringGrid2->horizontalHeader()->hide();
    StringGrid2->horizontalHeader()->setStretchLastSection(true);
    StringGrid2->viewport()->installEventFilter(this);

    StringGrid1 = new GridView(Splitter1);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setAccessibleName(QStringLiteral("レコード一覧"));
    setupGrid(StringGrid1, kRowHeight);
    StringGrid1->horizontalHeader()->setFixedHeight(kRowHeight);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    // Column 0 (the record numbers) is shown by the vertical header, which never scrolls away.
    StringGrid1->verticalHeader()->show();
    StringGrid1->verticalHeader()->setFixedWidth(kNumberColumnWidth);
    StringGrid1->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    StringGrid1->verticalHeader()->setHighlightSections(false);
    StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    StringGrid1->viewport()->setMouseTracking(true);
    StringGrid1->viewport()->installEventFilter(this);

    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({kTitleListWidth, kWidth - kTitleListWidth});

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
    m_announcer = new Announcer(StatusBar1);

    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { updateReferenceColumn(); });
    connect(StringGrid1, &QTableView::doubleClicked, this, [this] { m_logic->OpenRecordEditor(); });
    connect(StringGrid1, &GridView::rowEntered, this, [this] { m_logic->OpenRecordEditor(); });
    connect(StringGrid1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_logic->PasteCheck();
        PopupMenu4->popup(StringGrid1->viewport()->mapToGlobal(pos));
    });
}

// The editing keys of a desktop editor on the two grids: the record commands in the records
// grid, the title commands in the title list, under the menus' own enable rules.
void TForm3::createGridShortcuts() {
    struct Key {
        QTableView* grid;
        QKeySequence keys;
        EditorCommand command;
        void (TForm3::*run)();
    };
    const Key keys[] = {
        {StringGrid1, QKeySequence::Cut, EditorCommand::RecordCut, &TForm3::CutRecord},
        {StringGrid1, QKeySequence::Copy, EditorCommand::RecordCopy, &TForm3::CopyRecord},
        {StringGrid1, QKeySequence::Paste, EditorCommand::RecordPaste, &TForm3::PasteRecord},
        {StringGrid1, QKeySequence(Qt::Key_Delete), EditorCommand::RecordDelete, &TForm3::DeleteRecord},
        {StringGrid2, QKeySequence::Cut, EditorCommand::TitleCut, &TForm3::CutTitle},
        {StringGrid2, QKeySequence::Copy, EditorCommand::TitleCopy, &TForm3::CopyTitle},
        {StringGrid2, QKeySequence::Paste, EditorCommand::TitlePaste, &TForm3::PasteTitle},
        {StringGrid2, QKeySequence(Qt::Key_Delete), EditorCommand::TitleDelete, &TForm3::DeleteTitle},
    };
    for (const Key& key : keys) {
        auto* shortcut = new QShortcut(key.keys, key.grid, nullptr, nullptr, Qt::WidgetShortcut);
        const EditorCommand command = key.command;
        const auto run = key.run;
        connect(shortcut, &QShortcut::activated, this, [this, command, run] {
            if (command == EditorCommand::RecordPaste) m_logic->PasteCheck();
            if (m_logic->isEnabled(command)) (this->*run)();
        });
    }
}

void TForm3::showModal() {
    setWindowModality(Qt::ApplicationModal);
    centreOnScreen(this);
    show();
    QEventLoop loop;
    m_modalLoop = &loop;
    loop.exec();
    m_modalLoop = nullptr;
}

// The grid's width counts the frozen number column beside the scrolling columns.
int TForm3::recordGridWidth() const {
    return StringGrid1->viewport()->width() + StringGrid1->verticalHeader()->width();
}

void TForm3::FormActivate() {
    RecordColumnWidths widths = recordColumnWidths(recordGridWidth());
    QHeaderView* header = StringGrid1->horizontalHeader();
    header->resizeSection(1, widths.question);
    header->resizeSection(2, widths.answer);
    updateReferenceColumn();
}

void TForm3::updateReferenceColumn() {
    QHeaderView* header = StringGrid1->horizontalHeader();
    if (header->count() < 4) return;
    int width = referenceColumnWidth(recordGridWidth(), StringGrid1->verticalHeader()->width(),
                                     header->sectionSize(1), header->sectionSize(2));
    header->resizeSection(3, std::max(width, header->minimumSectionSize()));
}

// Showing counts as becoming active: without a window manager no activation may follow.
void TForm3::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormActivate();
}

void TForm3::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
    QMainWindow::changeEvent(event);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    if (!m_logic) return QMainWindow::eventFilter(watched, event);
    if (watched == StringGrid1->viewport()) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::MouseMove) updateReferenceColumn();
    } else if (watched == StringGrid2->viewport()) {
        // A click runs ShowSelectedTitle even on the current row; a press that moved the row already did.
        if (event->type() == QEvent::MouseButtonPress) {
            m_pressRow = m_logic->titleRow();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            if (m_logic->titleRow() == m_pressRow) {
                auto* mouse = static_cast<QMouseEvent*>(event);
                m_logic->titleListClicked(StringGrid2->rowAt(mouse->position().toPoint().y()));
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm3::closeEvent(QCloseEvent* event) {
    if (!m_logic->FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_modalLoop) m_modalLoop->quit();
}

void TForm3::setStatusText(const std::string& text) {
    StatusBar1->showMessage(q(text));
    // Found, not found, saved, reserved: the status line is the answer to what the user just did.
    m_announcer->announce(q(text));
}

// The hourglass is on or off, as the old screen cursor was; it does not nest.
void TForm3::setBusy(bool busy) {
    if (busy == m_busy) return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TForm3::setCaption(const std::string& caption) {
    setWindowTitle(q(caption));
}

void TForm3::titleListChanged() {
    QStringList names;
    for (const auto& name : m_logic->titleNames())
        names << q(cp932ToUtf8(name));
    m_settingTitleRow = true;
    m_titleModel->setStringList(names);
    m_settingTitleRow = false;
}

void TForm3::recordGridChanged() {
    m_recordModel->reload();
    StringGrid1->setColumnHidden(0, true);
    // Like the old grid, a filled grid always stands on a row: the first record.
    if (m_recordModel->rowCount() > 0) StringGrid1->setCurrentIndex(m_recordModel->index(0, 1));
    updateReferenceColumn();
}

void TForm3::setTitleCurrentRow(int row) {
    m_settingTitleRow = true;
    QModelIndex index = m_titleModel->index(row, 0);
    if (index.isValid())
        StringGrid2->setCurrentIndex(index);
    else
        StringGrid2->selectionModel()->clearCurrentIndex();
    m_settingTitleRow = false;
}

void TForm3::focusTitleList() {
    StringGrid2->setFocus();
}

int TForm3::recordCurrentRow() const {
    QModelIndex index = StringGrid1->currentIndex();
    return index.isValid() ? index.row() + 1 : 0;
}

void TForm3::setRecordCurrentRow(int row) {
    QModelIndex index = m_recordModel->index(row - 1, 1);
    if (!index.isValid()) return;
    StringGrid1->setCurrentIndex(index);
    StringGrid1->scrollTo(index);
}

void TForm3::showErrorLog(const std::string& path) {
    TForm9 dialog(this);
    if (!dialog.loadFile(path)) {
        m_logic->context().prompter.error("ファイルが開けません");
        return;
    }
    dialog.exec();
}

bool TForm3::openDocument(const std::string& path) {
    return shellOpen(path);
}

int TForm3::recordTopRow() const {
    return StringGrid1->rowAt(0) + 1;
}

void TForm3::setRecordTopRow(int row) {
    QModelIndex index = m_recordModel->index(row - 1, 1);
    if (index.isValid()) StringGrid1->scrollTo(index, QAbstractItemView::PositionAtTop);
}

int TForm3::titleTopRow() const {
    return StringGrid2->rowAt(0);
}

void TForm3::setTitleTopRow(int row) {
    QModelIndex index = m_titleModel->index(row, 0);
    if (index.isValid()) StringGrid2->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void TForm3::runRecordEditor(const std::string& caption) {
    TForm4 editor(*m_logic, m_logic->context().prompter, this);
    editor.setWindowTitle(q(caption));
    editor.exec();
}

void TForm3::runTitleEditor() {
    Prompter& prompter = m_logic->context().prompter;
    // Titles without a selected one (an append that showed none) give the editor nothing to edit.
    if (!TitleEditor(*m_logic, prompter).canOpen()) {
        prompter.notice("タイトルを選択してください。");
        return;
    }
    TForm5 editor(*m_logic, prompter, this);
    editor.exec();
}

void TForm3::runImportTextFile(const std::string& path) {
    ImportTextFile(m_logic->context(), path);
}

void TForm3::runFiveChoiceImport(const std::string& path) {
    ImportFiveChoicePath(m_logic->context(), path);
}

void TForm3::enableCommand(DataCommand command, bool enabled) {
    m_logic->enableCommand(command, enabled);
}
void TForm3::setCurrentFileName(const std::string& path) {
    m_logic->setCurrentFileName(path);
}
void TForm3::fillTitleList() {
    m_logic->fillTitleList();
}
void TForm3::showTitleRow(int row) {
    m_logic->showTitleRow(row);
}
void TForm3::selectTitleRow(int row) {
    m_logic->selectTitleRow(row);
}
bool TForm3::runTextSave() {
    return m_logic->runTextSave();
}

void TForm3::CutRecord() {
    m_clipboard->CutRecord();
}
void TForm3::CopyRecord() {
    m_clipboard->CopyRecord();
}
void TForm3::PasteRecord() {
    m_clipboard->PasteRecord();
}
void TForm3::DeleteRecord() {
    m_clipboard->DeleteRecord();
}
void TForm3::CutTitle() {
    m_clipboard->CutTitle();
}
void TForm3::CopyTitle() {
    m_clipboard->CopyTitle();
}
void TForm3::PasteTitle() {
    m_clipboard->PasteTitle();
}
void TForm3::DeleteTitle() {
    m_clipboard->DeleteTitle();
}
void TForm3::openFindDialog(bool withReplace) {
    if (!m_findDialog) m_findDialog = new FindDialog(*m_find, this);
    m_findDialog->open(withReplace);
}

// F3 and Shift+F3 search with the dialog's options; with nothing to search the dialog opens.
void TForm3::findAgain(bool backward) {
    if (m_findDialog) m_findDialog->handOver();
    if (!m_find->hasText()) {
        openFindDialog(false);
        return;
    }
    m_find->FindNext(backward);
}

void TForm3::PDBP1Click() {
    DataContext& context = m_logic->context();
    int written = 0;
    auto write = [&](const std::string& path) {
        written = m_logic->writeSet([&] { return WritePdb(context.set, path, context.prompter); });
        return written;
    };
    InstallOutcome outcome = reservePdbInstall(this, context.values.startFolder, m_logic->currentFileName(),
                                               write, context.prompter);
    // The status line tells what happened last, as the PDB save's does; never an older success.
    if (outcome.done)
        setStatusText(outcome.statusText);
    else if (written == -2)
        setStatusText(pdbSaveStatusText(written, ""));
    else if (outcome.failed)
        setStatusText("");
}
void TForm3::HotSyncH1Click() {
    startHotSyncFrom(this, m_logic->context().prompter);
}
void TForm3::I2Click() {
    startInstallToolFrom(this, m_logic->context().prompter);
}

void TForm3::Statistics1Click() {
#ifdef ROVIK_HISTORY
    StatisticsWindow::Request request;
    for (const std::string& name : m_logic->titleNames())
        request.titles.push_back(cp932ToUtf8(name));
    request.shown = std::max(m_logic->context().set.selectedTitle - 1, 0);
    // The window's own dialogs belong over it; a prompter a test gave this window answers for it too.
    StatisticsWindow window(request, m_ownPrompter ? nullptr : &m_logic->context().prompter, this);
    window.exec();
#endif
}

} // namespace rovik
