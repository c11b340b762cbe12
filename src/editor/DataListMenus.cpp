// The data list window's menus: items with their component names, captions and hints, the recent
// entries, and the enabled states the logic decides.
#include "datalist/DataListLogic.h"
#ifdef ROVIK_DECKS
#include "decks/DeckExport.h"
#include "decks/ExportCommand.h"
#endif
#include "editor/DataListWindow.h"
#include "hotsync/TargetSettingsDialog.h"
#ifdef ROVIK_DECKS
#include "import/DeckDialogs.h"
#endif
#include "gui/Hints.h"
#include "settings/ProgramValues.h"

#include <QFontMetrics>
#include <QMenuBar>

namespace rovik {
namespace {
const char* const kTextRecentNames[] = {"N22222", "N22223", "N33332", "N44442", "N55552",
                                        "N66662", "N77772", "N88882", "N99992"};
const char* const kPdbRecentNames[] = {"P11", "P21", "P31", "P41", "P51", "P61", "P71", "P81", "P91"};
const char* const kImportRecentNames[] = {"I12", "I22", "I32", "I42", "I52", "I62", "I72", "I82", "I92"};

QMenu* addMenu(QMenu* parent, const char* name, const QString& caption, const QString& hint) {
    QMenu* menu = parent->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    setHint(menu->menuAction(), hint);
    return menu;
}

QMenu* addBarMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

constexpr int kRecentCaptionWidth = 480;

// A path is the caption as it stands: "&" must not turn into a mnemonic, and a path too long for
// the screen loses its middle (the entry still opens the whole path).
QString captionOf(const QString& path, const QFontMetrics& metrics) {
    QString caption = metrics.elidedText(path, Qt::ElideMiddle, kRecentCaptionWidth);
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}
} // namespace

QAction* TForm3::addItem(QMenu* menu, const char* name, const QString& caption, const QString& hint,
                         bool enabled) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    setHint(action, hint);
    action->setEnabled(enabled);
    return action;
}

void TForm3::createMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));
    createFileMenu();
    createTitleAndEditMenus();
    createOtherMenus();
}

void TForm3::createFileMenu() {
    File1 = addBarMenu(menuBar(), "File1", QStringLiteral("ﾌｧｲﾙ(&F)"));
    T1 = addItem(File1, "T1", QStringLiteral("新規ﾀｲﾄﾙ(&T)"), QStringLiteral("新規のタイトルを作成します。"));
    File1->addSeparator();
    Open1 = addMenu(File1, "Open1", QStringLiteral("開く・ﾃｷｽﾄ(&O)"),
                    QStringLiteral("既存のRovik用ﾃｷｽﾄﾃﾞｰﾀを開きます。"));
    N11112 = addItem(Open1, "N11112", QStringLiteral("新規..."), QString());
    PDBP2 = addMenu(File1, "PDBP2", QStringLiteral("開く・PDB(&B)"),
                    QStringLiteral("既存のRovik用PDBﾃﾞｰﾀを開きます。"));
    N13 = addItem(PDBP2, "N13", QStringLiteral("新規..."), QString());
    I1 = addMenu(File1, "I1", QStringLiteral("ｲﾝﾎﾟｰﾄ(&I)"),
                 QStringLiteral("他ｱﾌﾟﾘで作成したﾀﾌﾞ区切りﾃｷｽﾄﾃﾞｰﾀを読み込みｺﾝﾊﾞｰﾄします。"));
    N12 = addItem(I1, "N12", QStringLiteral("新規..."), QString());
    for (size_t i = 0; i < textRecent.size(); ++i) {
        textRecent[i] = addItem(Open1, kTextRecentNames[i], QString(), QString());
        pdbRecent[i] = addItem(PDBP2, kPdbRecentNames[i], QString(), QString());
        importRecent[i] = addItem(I1, kImportRecentNames[i], QString(), QString());
        for (QAction* entry : {textRecent[i], pdbRecent[i], importRecent[i]})
            entry->setVisible(false);
        connect(textRecent[i], &QAction::triggered, this,
                [this, i] { m_logic->openTextFile(textRecent[i]->data().toString().toStdString()); });
        connect(pdbRecent[i], &QAction::triggered, this,
                [this, i] { m_logic->openPdbFile(pdbRecent[i]->data().toString().toStdString()); });
        connect(importRecent[i], &QAction::triggered, this,
                [this, i] { m_logic->openImportFile(importRecent[i]->data().toString().toStdString()); });
    }
    Q1 = addItem(File1, "Q1", QStringLiteral("ごたくﾌｧｲﾙを開く(&Q)"),
                 QStringLiteral("ごたく用ファイル(5TQ)を開いてｺﾝﾊﾞｰﾄします。"));
    File1->addSeparator();
    S2 = addItem(File1, "S2", QStringLiteral("ﾃｷｽﾄ保存(&S)..."), QStringLiteral("ﾃｷｽﾄﾃﾞｰﾀとして保存します。"),
                 false);
    PDBD1 = addItem(File1, "PDBD1", QStringLiteral("PDB保存(&D)..."),
                    QStringLiteral("PDBﾌｧｲﾙにｺﾝﾊﾞｰﾄして保存します。"), false);
    PDBP1 = addItem(File1, "PDBP1", QStringLiteral("PDBｲﾝｽﾄｰﾙ(&P)..."),
                    QStringLiteral("PDBﾌｧｲﾙにｺﾝﾊﾞｰﾄ後、ｲﾝｽﾄｰﾙ予約します。"), false);
    File1->addSeparator();
#ifdef ROVIK_DECKS
    CsvImport1 = addItem(File1, "CsvImport1", QStringLiteral("CSV読み込み(&V)..."),
                         QStringLiteral("表計算ｿﾌﾄのCSVﾌｧｲﾙを読み込みｺﾝﾊﾞｰﾄします。"));
    AnkiImport1 = addItem(File1, "AnkiImport1", QStringLiteral("Ankiﾊﾟｯｹｰｼﾞ読み込み(&K)..."),
                          QStringLiteral("Ankiのﾃﾞｯｷ(apkg)を読み込みｺﾝﾊﾞｰﾄします。"));
    createExportItems();
    File1->addSeparator();
#endif
    Close1 = addItem(File1, "Close1", QStringLiteral("閉じる(&X)"), QStringLiteral("画面を閉じます。"));

    connect(File1, &QMenu::aboutToShow, this, &TForm3::BuildRecentMenus);
    connect(T1, &QAction::triggered, this, [this] { m_logic->NewTitle(); });
    connect(N11112, &QAction::triggered, this, [this] { m_logic->runOpenCommand(OpenCommand::Text); });
    connect(N13, &QAction::triggered, this, [this] { m_logic->runOpenCommand(OpenCommand::Pdb); });
    connect(N12, &QAction::triggered, this, [this] { m_logic->runOpenCommand(OpenCommand::Import); });
    connect(Q1, &QAction::triggered, this, [this] { m_logic->runOpenCommand(OpenCommand::FiveChoice); });
    connect(S2, &QAction::triggered, this, [this] { m_logic->runTextSave(); });
    connect(PDBD1, &QAction::triggered, this, [this] { m_logic->runPdbSave(); });
    connect(PDBP1, &QAction::triggered, this, &TForm3::PDBP1Click);
#ifdef ROVIK_DECKS
    connect(CsvImport1, &QAction::triggered, this, [this] {
        QtDeckImportDialogs dialogs(this);
        m_logic->runImport([&] { decks::ImportCsvFile(m_logic->context(), dialogs); });
    });
    connect(AnkiImport1, &QAction::triggered, this, [this] {
        QtDeckImportDialogs dialogs(this);
        m_logic->runImport([&] { decks::ImportAnkiFile(m_logic->context(), dialogs); });
    });
#endif
    connect(Close1, &QAction::triggered, this, &QWidget::close);
}

#ifdef ROVIK_DECKS
void TForm3::createExportItems() {
    AnkiExport1 = addItem(File1, "AnkiExport1", QStringLiteral("Ankiﾊﾟｯｹｰｼﾞ書き出し(&E)..."),
                          QStringLiteral("Anki用のﾊﾟｯｹｰｼﾞﾌｧｲﾙ(apkg)に書き出します。"), false);
    CsvExport1 = addItem(File1, "CsvExport1", QStringLiteral("CSV書き出し(&W)..."),
                         QStringLiteral("表計算ｿﾌﾄやAnkiで読めるCSVﾌｧｲﾙに書き出します。"), false);
    auto run = [this](decks::ExportCommand command) {
        decks::runExportCommand(m_logic->context(), command, m_logic->currentFileName(),
                                decks::currentTimeMs());
    };
    connect(AnkiExport1, &QAction::triggered, this, [run] { run(decks::ExportCommand::AnkiPackage); });
    connect(CsvExport1, &QAction::triggered, this, [run] { run(decks::ExportCommand::Csv); });
}
#endif

void TForm3::createTitleAndEditMenus() {
    T3 = addBarMenu(menuBar(), "T3", QStringLiteral("ﾀｲﾄﾙ(&T)"));
    C2 = addItem(T3, "C2", QStringLiteral("ﾀｲﾄﾙ切り取り(&T)"),
                 QStringLiteral("表示中のタイトルを切り取ります。"), false);
    C3 = addItem(T3, "C3", QStringLiteral("ﾀｲﾄﾙｺﾋﾟｰ(&C)"), QStringLiteral("表示中のタイトルをコピーします。"),
                 false);
    H1 = addItem(T3, "H1", QStringLiteral("ﾀｲﾄﾙ貼り付け(&H)"),
                 QStringLiteral("コピーされたタイトルを貼り付けます。"), false);
    D3 = addItem(T3, "D3", QStringLiteral("ﾀｲﾄﾙ削除(&D)"), QStringLiteral("表示中のタイトルを削除します。"),
                 false);

    Edit1 = addBarMenu(menuBar(), "Edit1", QStringLiteral("編集(&E)"));
    Undo1 = addItem(Edit1, "Undo1", QStringLiteral("元に戻す(&U)"), QStringLiteral("元に戻す"), false);
    Undo1->setShortcut(QKeySequence::Undo);
    Redo1 = addItem(Edit1, "Redo1", QStringLiteral("やり直し(&R)"), QStringLiteral("やり直し"), false);
    Redo1->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Edit1->addSeparator();
    createFindItems();
    Edit1->addSeparator();
    D1 = addItem(Edit1, "D1", QStringLiteral("ﾚｺｰﾄﾞ編集(&E)..."), QStringLiteral("ﾚｺｰﾄﾞの編集をします。"),
                 false);
    B1 = addItem(Edit1, "B1", QStringLiteral("ﾀｲﾄﾙ・分類編集(&B)..."),
                 QStringLiteral("分類とタイトルを編集します。"), false);
    Edit1->addSeparator();
    T2 = addItem(Edit1, "T2", QStringLiteral("ﾚｺｰﾄﾞ切り取り(&T)"),
                 QStringLiteral("選択されたレコードﾞを切り取ります。"), false);
    C1 = addItem(Edit1, "C1", QStringLiteral("ﾚｺｰﾄﾞｺﾋﾟｰ(&C)"),
                 QStringLiteral("選択されたレコードをコピーします。"), false);
    S1 = addItem(Edit1, "S1", QStringLiteral("ﾚｺｰﾄﾞ貼り付け(&H)"),
                 QStringLiteral("指定位置にレコードを貼り付けます。"), false);
    D2 = addItem(Edit1, "D2", QStringLiteral("ﾚｺｰﾄﾞ削除(&D)"),
                 QStringLiteral("選択されたレコードを削除します。"), false);
    Edit1->addSeparator();
    N4 = addItem(Edit1, "N4", QStringLiteral("ﾃｷｽﾄ編集(&T)..."),
                 QStringLiteral("テキストエディタを起動してデータを編集します。"), false);

    PopupMenu4 = new QMenu(this);
    PopupMenu4->setObjectName(QStringLiteral("PopupMenu4"));
    N7 = addItem(PopupMenu4, "N7", QStringLiteral("ﾚｺｰﾄﾞ切り取り"), QString(), false);
    N8 = addItem(PopupMenu4, "N8", QStringLiteral("ﾚｺｰﾄﾞｺﾋﾟｰ"), QString(), false);
    N9 = addItem(PopupMenu4, "N9", QStringLiteral("ﾚｺｰﾄﾞ貼り付け"), QString(), false);
    N10 = addItem(PopupMenu4, "N10", QStringLiteral("ﾚｺｰﾄﾞ削除"), QString(), false);

    connect(Edit1, &QMenu::aboutToShow, this, [this] { m_logic->PasteCheck(); });
    connect(Undo1, &QAction::triggered, this, [this] { m_logic->Undo(); });
    connect(Redo1, &QAction::triggered, this, [this] { m_logic->Redo(); });
    connect(D1, &QAction::triggered, this, [this] { m_logic->OpenRecordEditor(); });
    connect(B1, &QAction::triggered, this, [this] { m_logic->OpenTitleEditor(); });
    connect(N4, &QAction::triggered, this, [this] { m_logic->EditAsText(); });
    for (QAction* cut : {T2, N7})
        connect(cut, &QAction::triggered, this, &TForm3::CutRecord);
    for (QAction* copy : {C1, N8})
        connect(copy, &QAction::triggered, this, &TForm3::CopyRecord);
    for (QAction* paste : {S1, N9})
        connect(paste, &QAction::triggered, this, &TForm3::PasteRecord);
    for (QAction* remove : {D2, N10})
        connect(remove, &QAction::triggered, this, &TForm3::DeleteRecord);
    connect(C2, &QAction::triggered, this, &TForm3::CutTitle);
    connect(C3, &QAction::triggered, this, &TForm3::CopyTitle);
    connect(H1, &QAction::triggered, this, &TForm3::PasteTitle);
    connect(D3, &QAction::triggered, this, &TForm3::DeleteTitle);
}

void TForm3::createFindItems() {
    Find1 = addItem(Edit1, "Find1", QStringLiteral("検索(&F)..."), QStringLiteral("文字列を検索します。"));
    Find1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    FindNext1 =
        addItem(Edit1, "FindNext1", QStringLiteral("次を検索(&N)"), QStringLiteral("次を検索します。"));
    FindNext1->setShortcut(QKeySequence(Qt::Key_F3));
    FindPrevious1 =
        addItem(Edit1, "FindPrevious1", QStringLiteral("前を検索(&V)"), QStringLiteral("前を検索します。"));
    FindPrevious1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    Replace1 =
        addItem(Edit1, "Replace1", QStringLiteral("置換(&A)..."), QStringLiteral("文字列を置換します。"));
    Replace1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    connect(Find1, &QAction::triggered, this, [this] { openFindDialog(false); });
    connect(Replace1, &QAction::triggered, this, [this] { openFindDialog(true); });
    connect(FindNext1, &QAction::triggered, this, [this] { findAgain(false); });
    connect(FindPrevious1, &QAction::triggered, this, [this] { findAgain(true); });
}

void TForm3::createOtherMenus() {
    K1 = addBarMenu(menuBar(), "K1", QStringLiteral("起動(&K)"));
    HotSyncH1 = addItem(K1, "HotSyncH1", QStringLiteral("HotSync(&H)"),
                        QStringLiteral("ｲﾝｽﾄｰﾙするためにHotSyncを起動します。"));
    I2 = addItem(K1, "I2", QStringLiteral("ｲﾝｽﾄｰﾙﾂｰﾙ(&I)..."),
                 QStringLiteral("ｲﾝｽﾄｰﾙ予約状況を確認するために起動します。"));
#ifdef ROVIK_HISTORY
    Statistics1 = addItem(K1, "Statistics1", QStringLiteral("統計…"),
                          QStringLiteral("練習の履歴をグラフと表で表示します。"));
    connect(Statistics1, &QAction::triggered, this, &TForm3::Statistics1Click);
#endif
    QAction* targets = addItem(K1, "TargetSettings1", QStringLiteral("転送先の設定(&S)..."),
                               QStringLiteral("Palmデバイスへの転送先を選びます。"));
    connect(targets, &QAction::triggered, this, [this] {
        editInstallTargets(this, m_logic->context().values.startFolder, m_logic->context().prompter);
    });
    Help1 = addBarMenu(menuBar(), "Help1", QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    H2 = addItem(Help1, "H2", QStringLiteral("ﾄｯﾋﾟｸの検索(&H)..."), QStringLiteral("ﾍﾙﾌﾟを起動します。"));
    About1 = addItem(Help1, "About1", QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報(&A)..."),
                     QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報を表示します。"));
    connect(HotSyncH1, &QAction::triggered, this, &TForm3::HotSyncH1Click);
    connect(I2, &QAction::triggered, this, &TForm3::I2Click);
}

void TForm3::BuildRecentMenus() {
    RecentMenus menus = m_logic->BuildRecentMenus();
    const QFontMetrics metrics(Open1->font());
    auto fill = [&metrics](std::array<QAction*, 9>& entries, const std::vector<std::string>& paths) {
        for (size_t i = 0; i < entries.size(); ++i) {
            const bool used = i < paths.size();
            QString path = used ? QString::fromStdString(paths[i]) : QString();
            entries[i]->setText(captionOf(path, metrics));
            entries[i]->setData(path);
            entries[i]->setVisible(used);
        }
    };
    fill(textRecent, menus.text);
    fill(importRecent, menus.import);
    fill(pdbRecent, menus.pdb);
}

void TForm3::setCommandEnabled(EditorCommand command, bool enabled) {
    auto set = [enabled](std::initializer_list<QAction*> actions) {
        for (QAction* action : actions)
            action->setEnabled(enabled);
    };
    switch (command) {
    case EditorCommand::TextSave:
        // The exports go with the text save: both need data and nothing else.
        set({S2});
        for (QAction* exportItem : {AnkiExport1, CsvExport1})
            if (exportItem) exportItem->setEnabled(enabled);
        break;
    case EditorCommand::PdbSave:
        set({PDBD1});
        break;
    case EditorCommand::PdbInstall:
        set({PDBP1});
        break;
    case EditorCommand::RecordEdit:
        set({D1});
        break;
    case EditorCommand::TitleEdit:
        set({B1});
        break;
    case EditorCommand::RecordCut:
        set({T2, N7});
        break;
    case EditorCommand::RecordCopy:
        set({C1, N8});
        break;
    case EditorCommand::RecordPaste:
        set({S1, N9});
        break;
    case EditorCommand::RecordDelete:
        set({D2, N10});
        break;
    case EditorCommand::TextEdit:
        set({N4});
        break;
    case EditorCommand::TitleCut:
        set({C2});
        break;
    case EditorCommand::TitleCopy:
        set({C3});
        break;
    case EditorCommand::TitlePaste:
        set({H1});
        break;
    case EditorCommand::TitleDelete:
        set({D3});
        break;
    case EditorCommand::Undo:
        set({Undo1});
        break;
    case EditorCommand::Redo:
        set({Redo1});
        break;
    }
}

// The status tip names the step the item would take back or do again.
void TForm3::setHistoryNames(const std::string& undoName, const std::string& redoName) {
    auto hint = [](const char* caption, const std::string& name) {
        return name.empty()
                   ? QString::fromUtf8(caption)
                   : QString::fromUtf8(caption) + QStringLiteral(": ") + QString::fromStdString(name);
    };
    setHint(Undo1, hint("元に戻す", undoName));
    setHint(Redo1, hint("やり直し", redoName));
}

} // namespace rovik
