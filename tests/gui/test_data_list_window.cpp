#include "app/LauncherWindow.h"
#include "datalist/DataListLogic.h"
#include "editor/DataListWindow.h"
#include "editor/ErrorLogDialog.h"
#include "pdb/PdbWriter.h"
#include "settings/ProgramValues.h"
#include "support/GuiSteps.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace rovik {
namespace {

using test::click;
using test::onNextModalDialog;
using test::ScriptedPrompter;

const char* kAppendQuestion = "追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                              "いいえ：編集中のデータを削除して新規読み込み";

std::string titleBlock(const std::string& name, int records) {
    std::string text = "tTitle\t" + name + "\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n";
    for (int i = 1; i <= records; ++i)
        text += "11\t" + name + "q" + std::to_string(i) + "\ta\tr\t0\r\n";
    return text;
}

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct DataListWindowTest : ::testing::Test {
    DataListWindowTest() {
        values.startFolder = folder.path();
        values.dataFolder = folder.path();
        values.settings = {"", ""};
    }

    QAction* action(const char* name) { return form.findChild<QAction*>(name); }
    QAbstractItemModel* titles() { return form.StringGrid2->model(); }
    QAbstractItemModel* records() { return form.StringGrid1->model(); }
    QString cell(int row, int column) { return records()->index(row, column).data().toString(); }
    void openText(const std::string& path) {
        prompter.expectOpen(path, "Text files (*.txt)|*.TXT");
        form.N11112->trigger();
    }

    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
    ProgramValues values;
    ScriptedPrompter prompter;
    TForm3 form{nullptr, &prompter, &values};
};

TEST_F(DataListWindowTest, ControlsAndWindowSettings) {
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧)"), form.windowTitle());
    EXPECT_EQ(12, form.font().pixelSize());
    EXPECT_EQ(QSize(550, 375), form.size());
    ASSERT_NE(nullptr, form.findChild<QSplitter*>("Splitter1"));
    EXPECT_EQ(3, form.Splitter1->handleWidth());
    EXPECT_EQ(form.StringGrid2, form.Splitter1->widget(0));
    EXPECT_EQ(form.StringGrid1, form.Splitter1->widget(1));
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(169, form.Splitter1->sizes().at(0));
    ASSERT_NE(nullptr, form.findChild<QStatusBar*>("StatusBar1"));
    EXPECT_EQ(form.StatusBar1, form.statusBar());
    for (QTableView* grid : {form.StringGrid1, form.StringGrid2}) {
        EXPECT_EQ(QAbstractItemView::SelectRows, grid->selectionBehavior());
        EXPECT_EQ(18, grid->verticalHeader()->defaultSectionSize());
        EXPECT_EQ(QAbstractItemView::NoEditTriggers, grid->editTriggers());
    }
    EXPECT_EQ(4, records()->columnCount());
    EXPECT_EQ(0, records()->rowCount());
    EXPECT_EQ(1, titles()->columnCount());
    EXPECT_TRUE(form.StringGrid2->horizontalHeader()->isHidden());
    EXPECT_EQ(Qt::CustomContextMenu, form.StringGrid1->contextMenuPolicy());
}

TEST_F(DataListWindowTest, MenuItemsHaveNamesCaptionsHintsAndStartStates) {
    const struct {
        const char* name;
        const char* caption;
        const char* hint;
        bool enabled;
    } items[] = {
        {"T1", "新規ﾀｲﾄﾙ(&T)", "新規のタイトルを作成します。", true},
        {"Open1", "開く・ﾃｷｽﾄ(&O)", "既存のRovik用ﾃｷｽﾄﾃﾞｰﾀを開きます。", true},
        {"N11112", "新規...", "", true},
        {"PDBP2", "開く・PDB(&B)", "既存のRovik用PDBﾃﾞｰﾀを開きます。", true},
        {"N13", "新規...", "", true},
        {"I1", "ｲﾝﾎﾟｰﾄ(&I)", "他ｱﾌﾟﾘで作成したﾀﾌﾞ区切りﾃｷｽﾄﾃﾞｰﾀを読み込みｺﾝﾊﾞｰﾄします。", true},
        {"N12", "新規...", "", true},
        {"Q1", "ごたくﾌｧｲﾙを開く(&Q)", "ごたく用ファイル(5TQ)を開いてｺﾝﾊﾞｰﾄします。", true},
        {"S2", "ﾃｷｽﾄ保存(&S)...", "ﾃｷｽﾄﾃﾞｰﾀとして保存します。", false},
        {"PDBD1", "PDB保存(&D)...", "PDBﾌｧｲﾙにｺﾝﾊﾞｰﾄして保存します。", false},
        {"PDBP1", "PDBｲﾝｽﾄｰﾙ(&P)...", "PDBﾌｧｲﾙにｺﾝﾊﾞｰﾄ後、ｲﾝｽﾄｰﾙ予約します。", false},
#ifdef ROVIK_DECKS
        {"CsvImport1", "CSV読み込み(&V)...", "表計算ｿﾌﾄのCSVﾌｧｲﾙを読み込みｺﾝﾊﾞｰﾄします。", true},
        {"AnkiImport1", "Ankiﾊﾟｯｹｰｼﾞ読み込み(&K)...", "Ankiのﾃﾞｯｷ(apkg)を読み込みｺﾝﾊﾞｰﾄします。", true},
        {"AnkiExport1", "Ankiﾊﾟｯｹｰｼﾞ書き出し(&E)...", "Anki用のﾊﾟｯｹｰｼﾞﾌｧｲﾙ(apkg)に書き出します。", false},
        {"CsvExport1", "CSV書き出し(&W)...", "表計算ｿﾌﾄやAnkiで読めるCSVﾌｧｲﾙに書き出します。", false},
#endif
        {"Close1", "閉じる(&X)", "画面を閉じます。", true},
        {"C2", "ﾀｲﾄﾙ切り取り(&T)", "表示中のタイトルを切り取ります。", false},
        {"C3", "ﾀｲﾄﾙｺﾋﾟｰ(&C)", "表示中のタイトルをコピーします。", false},
        {"H1", "ﾀｲﾄﾙ貼り付け(&H)", "コピーされたタイトルを貼り付けます。", false},
        {"D3", "ﾀｲﾄﾙ削除(&D)", "表示中のタイトルを削除します。", false},
        {"D1", "ﾚｺｰﾄﾞ編集(&E)...", "ﾚｺｰﾄﾞの編集をします。", false},
        {"B1", "ﾀｲﾄﾙ・分類編集(&B)...", "分類とタイトルを編集します。", false},
        {"T2", "ﾚｺｰﾄﾞ切り取り(&T)", "選択されたレコードﾞを切り取ります。", false},
        {"C1", "ﾚｺｰﾄﾞｺﾋﾟｰ(&C)", "選択されたレコードをコピーします。", false},
        {"S1", "ﾚｺｰﾄﾞ貼り付け(&H)", "指定位置にレコードを貼り付けます。", false},
        {"D2", "ﾚｺｰﾄﾞ削除(&D)", "選択されたレコードを削除します。", false},
        {"N4", "ﾃｷｽﾄ編集(&T)...", "テキストエディタを起動してデータを編集します。", false},
        {"N7", "ﾚｺｰﾄﾞ切り取り", "", false},
        {"N8", "ﾚｺｰﾄﾞｺﾋﾟｰ", "", false},
        {"N9", "ﾚｺｰﾄﾞ貼り付け", "", false},
        {"N10", "ﾚｺｰﾄﾞ削除", "", false},
        {"HotSyncH1", "HotSync(&H)", "ｲﾝｽﾄｰﾙするためにHotSyncを起動します。", true},
        {"I2", "ｲﾝｽﾄｰﾙﾂｰﾙ(&I)...", "ｲﾝｽﾄｰﾙ予約状況を確認するために起動します。", true},
#ifdef ROVIK_HISTORY
        {"Statistics1", "統計…", "練習の履歴をグラフと表で表示します。", true},
#endif
        {"H2", "ﾄｯﾋﾟｸの検索(&H)...", "ﾍﾙﾌﾟを起動します。", true},
        {"About1", "ﾊﾞｰｼﾞｮﾝ情報(&A)...", "ﾊﾞｰｼﾞｮﾝ情報を表示します。", true},
    };
    for (const auto& item : items) {
        QAction* a = action(item.name);
        ASSERT_NE(nullptr, a) << item.name;
        EXPECT_EQ(u(item.caption), a->text()) << item.name;
        EXPECT_EQ(u(item.hint), a->statusTip()) << item.name;
        EXPECT_EQ(item.enabled, a->isEnabled()) << item.name;
    }
    const struct {
        const char* name;
        const char* caption;
    } menus[] = {{"File1", "ﾌｧｲﾙ(&F)"},
                 {"T3", "ﾀｲﾄﾙ(&T)"},
                 {"Edit1", "編集(&E)"},
                 {"K1", "起動(&K)"},
                 {"Help1", "ﾍﾙﾌﾟ(&H)"}};
    QList<QAction*> bar = form.menuBar()->actions();
    ASSERT_EQ(5, bar.size());
    for (int i = 0; i < 5; ++i) {
        auto* menu = form.findChild<QMenu*>(menus[i].name);
        ASSERT_NE(nullptr, menu) << menus[i].name;
        EXPECT_EQ(menu->menuAction(), bar[i]);
        EXPECT_EQ(u(menus[i].caption), menu->title());
    }
    const char* recent[] = {"N22222", "N22223", "N33332", "N44442", "N55552", "N66662", "N77772",
                            "N88882", "N99992", "P11",    "P91",    "I12",    "I92"};
    for (const char* name : recent) {
        ASSERT_NE(nullptr, action(name)) << name;
        EXPECT_FALSE(action(name)->isVisible()) << name;
    }
    EXPECT_EQ(form.PopupMenu4, form.findChild<QMenu*>("PopupMenu4"));
    EXPECT_EQ((QList<QAction*>{form.N7, form.N8, form.N9, form.N10}), form.PopupMenu4->actions());
}

// Every menu's entries in order, separators included: a reordering is a change the user sees.
TEST_F(DataListWindowTest, MenusHoldTheirEntriesInOrder) {
    const struct {
        const char* menu;
        QStringList entries;
    } menus[] = {
#ifdef ROVIK_DECKS
        {"File1",
         {"T1", "-", "Open1", "PDBP2", "I1", "Q1", "-", "S2", "PDBD1", "PDBP1", "-", "CsvImport1",
          "AnkiImport1", "AnkiExport1", "CsvExport1", "-", "Close1"}},
#else
        {"File1", {"T1", "-", "Open1", "PDBP2", "I1", "Q1", "-", "S2", "PDBD1", "PDBP1", "-", "Close1"}},
#endif
        {"Open1",
         {"N11112", "N22222", "N22223", "N33332", "N44442", "N55552", "N66662", "N77772", "N88882",
          "N99992"}},
        {"PDBP2", {"N13", "P11", "P21", "P31", "P41", "P51", "P61", "P71", "P81", "P91"}},
        {"I1", {"N12", "I12", "I22", "I32", "I42", "I52", "I62", "I72", "I82", "I92"}},
        {"T3", {"C2", "C3", "H1", "D3"}},
        {"Edit1",
         {"Undo1", "Redo1", "-", "Find1", "FindNext1", "FindPrevious1", "Replace1", "-", "D1", "B1", "-",
          "T2", "C1", "S1", "D2", "-", "N4"}},
#ifdef ROVIK_HISTORY
        {"K1", {"HotSyncH1", "I2", "Statistics1", "TargetSettings1"}},
#else
        {"K1", {"HotSyncH1", "I2", "TargetSettings1"}},
#endif
        {"Help1", {"H2", "About1"}},
        {"PopupMenu4", {"N7", "N8", "N9", "N10"}},
    };
    for (const auto& m : menus) {
        auto* menu = form.findChild<QMenu*>(m.menu);
        ASSERT_NE(nullptr, menu) << m.menu;
        EXPECT_EQ(m.entries, test::menuSequence(menu)) << m.menu;
    }
}

TEST_F(DataListWindowTest, HintsGoToTheStatusLine) {
    form.T1->showStatusText(form.menuBar());
    EXPECT_EQ(u("新規のタイトルを作成します。"), form.StatusBar1->currentMessage());
    form.Open1->menuAction()->showStatusText(form.menuBar());
    EXPECT_EQ(u("既存のRovik用ﾃｷｽﾄﾃﾞｰﾀを開きます。"), form.StatusBar1->currentMessage());
}

TEST_F(DataListWindowTest, ClickOnTheEmptyTitleListAsksForAFile) {
    form.show();
    QApplication::processEvents();
    prompter.expectMessage("ﾌｧｲﾙを読み込んでください。", "確認", Buttons::Ok, Icon::Error);
    click(form.StringGrid2->viewport(), {10, 5});
    EXPECT_TRUE(prompter.done());
}

TEST_F(DataListWindowTest, OpenTextShowsTitlesAndTwentyThousandRecords) {
    const std::string path =
        folder.write("big.txt", titleBlock("Big", 20000) + titleBlock("\x93\xfa\x96\x7b", 2));
    openText(path);
    ASSERT_EQ(2, titles()->rowCount());
    EXPECT_EQ(u("Big"), titles()->index(0, 0).data().toString());
    EXPECT_EQ(u("日本"), titles()->index(1, 0).data().toString());
    EXPECT_EQ(0, form.StringGrid2->currentIndex().row());
    ASSERT_EQ(20000, records()->rowCount());
    EXPECT_EQ(u("1"), cell(0, 0));
    EXPECT_EQ(u("Bigq1"), cell(0, 1));
    EXPECT_EQ(u("a"), cell(0, 2));
    EXPECT_EQ(u("r"), cell(0, 3));
    EXPECT_EQ(u("20000"), cell(19999, 0));
    EXPECT_EQ(u("Bigq20000"), cell(19999, 1));
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - Big"), form.windowTitle());
    EXPECT_TRUE(form.S2->isEnabled());
    EXPECT_TRUE(form.PDBD1->isEnabled());
    EXPECT_TRUE(form.PDBP1->isEnabled());
    for (QAction* a : {form.D1, form.B1, form.T2, form.C1, form.D2, form.N4, form.N7, form.N8, form.N10,
                       form.C2, form.C3, form.D3})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    for (QAction* a : {form.S1, form.N9, form.H1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_EQ(nullptr, QApplication::overrideCursor());

    // Choosing the second title by keyboard or click shows it.
    form.StringGrid2->setCurrentIndex(titles()->index(1, 0));
    EXPECT_EQ(2, records()->rowCount());
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - 日本"), form.windowTitle());
}

TEST_F(DataListWindowTest, OpenAppendReplaceAndCancel) {
    openText(folder.write("a.txt", titleBlock("A", 1) + titleBlock("B", 2)));
    form.StringGrid2->setCurrentIndex(titles()->index(1, 0));

    prompter.expectOpen(folder.write("c.txt", titleBlock("C", 3)), "Text files (*.txt)|*.TXT")
        .expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    form.N11112->trigger();
    EXPECT_EQ(3, titles()->rowCount());
    EXPECT_EQ(1, form.StringGrid2->currentIndex().row());
    EXPECT_EQ(2, records()->rowCount());

    prompter.expectOpen(folder.file("c.txt"), "Text files (*.txt)|*.TXT")
        .expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Cancel);
    form.N11112->trigger();
    EXPECT_EQ(3, titles()->rowCount());

    prompter.expectOpen(folder.file("c.txt"), "Text files (*.txt)|*.TXT")
        .expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    form.N11112->trigger();
    EXPECT_EQ(1, titles()->rowCount());
    EXPECT_EQ(u("C"), titles()->index(0, 0).data().toString());
    EXPECT_EQ(3, records()->rowCount());
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - C"), form.windowTitle());
}

TEST_F(DataListWindowTest, RefusedFileShowsTheErrorLogAndKeepsTheWindow) {
    openText(folder.write("a.txt", titleBlock("A", 2)));
    QString shown;
    QString caption;
    onNextModalDialog([&](QWidget* dialog) {
        caption = dialog->windowTitle();
        auto* logBox = dialog->findChild<QTextEdit*>("RichEdit1");
        ASSERT_NE(nullptr, logBox);
        EXPECT_TRUE(logBox->isReadOnly());
        shown = logBox->toPlainText();
        EXPECT_NE(nullptr, dialog->findChild<QPushButton*>("Button1"));
    });
    prompter.expectOpen(folder.write("bad.txt", "tTitle\tX\r\n1\tq\ta\tr\t0\r\n"), "Text files (*.txt)|*.TXT")
        .expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    form.N11112->trigger();
    EXPECT_EQ(u("エラーログ"), caption);
    EXPECT_EQ(u("2行目\n1\tq\ta\tr\t0\n第１項目は2文字です。\n-------------------------------\n"), shown);
    EXPECT_EQ(1, titles()->rowCount());
    EXPECT_EQ(2, records()->rowCount());
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - A"), form.windowTitle());
    for (QAction* a : {form.S2, form.PDBD1, form.PDBP1, form.D1, form.T2, form.N7, form.C2, form.D3})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
}

TEST_F(DataListWindowTest, ErrorLogDialogShowsTheFileReadOnly) {
    TForm9 dialog;
    EXPECT_EQ(u("エラーログ"), dialog.windowTitle());
    EXPECT_EQ(u("ＯＫ"), dialog.Button1->text());
    EXPECT_TRUE(dialog.RichEdit1->isReadOnly());
    EXPECT_EQ(Qt::ScrollBarAlwaysOn, dialog.RichEdit1->horizontalScrollBarPolicy());
    EXPECT_EQ(Qt::ScrollBarAlwaysOn, dialog.RichEdit1->verticalScrollBarPolicy());
    EXPECT_TRUE(dialog.loadFile(folder.write("log.txt", "1\x8d\x73\x96\xda\r\n-\r\n")));
    EXPECT_EQ(u("1行目\n-\n"), dialog.RichEdit1->toPlainText());
    EXPECT_FALSE(dialog.loadFile(folder.file("missing.txt")));
    EXPECT_EQ(QString(), dialog.RichEdit1->toPlainText());
    dialog.show();
    dialog.Button1->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(QDialog::Accepted, dialog.result());
}

TEST_F(DataListWindowTest, SaveAsTextAndPdbWithTheExtensionRules) {
    const std::string path = folder.write("src.txt", titleBlock("S", 2));
    openText(path);
    prompter.expectSave(folder.file("out.TXT"), "Text files (*.txt)|*.TXT");
    form.S2->trigger();
    EXPECT_EQ(path, prompter.dialogRequests.back().fileName);
    EXPECT_EQ(titleBlock("S", 2), test::TempFolder::read(folder.file("out.TXT")));
    EXPECT_EQ(QString::fromStdString(folder.file("out.TXT") + "が保存されました。"),
              form.StatusBar1->currentMessage());

    prompter.expectSave(folder.file("out.pdb"), "PDB files (*.pdb)|*.PDB");
    form.PDBD1->trigger();
    EXPECT_EQ("src.pdb", prompter.dialogRequests.back().fileName);
    EXPECT_EQ(QString::fromStdString(folder.file("out.pdb") + "を作成しました。"),
              form.StatusBar1->currentMessage());
    // Five records; the first (odd length with its line feed) starts with the pad space.
    EXPECT_EQ(" tTitle\tS", test::TempFolder::read(folder.file("out.pdb")).substr(78 + 8 * 5, 9));

    for (const char* name : {"out.Txt", "out.pDb", "out"}) {
        prompter.expectSave(folder.file(name))
            .expectMessage("ファイルの拡張子は .txtとしてください。", "ﾌｧｲﾙ ｴﾗｰ", Buttons::Ok, Icon::Error);
        form.S2->trigger();
        EXPECT_FALSE(std::filesystem::exists(folder.file(name))) << name;
    }
}

TEST_F(DataListWindowTest, RecentSubmenusFollowTheSettings) {
    const std::string a = folder.write("a.txt", titleBlock("A", 1));
    const std::string p = folder.file("p.pdb");
    values.settings = {"", a, folder.file("b.Txt"), p, folder.file("q&r.PDB")};
    emit form.File1->aboutToShow();
    EXPECT_TRUE(form.textRecent[0]->isVisible());
    EXPECT_EQ(QString::fromStdString(a), form.textRecent[0]->text());
    EXPECT_FALSE(form.textRecent[1]->isVisible());
    EXPECT_TRUE(form.importRecent[0]->isVisible());
    EXPECT_EQ(QString::fromStdString(a), form.importRecent[0]->text());
    EXPECT_FALSE(form.importRecent[1]->isVisible());
    EXPECT_EQ(QString::fromStdString(p), form.pdbRecent[0]->text());
    EXPECT_EQ(QString::fromStdString(folder.file("q&&r.PDB")), form.pdbRecent[1]->text());
    EXPECT_FALSE(form.pdbRecent[2]->isVisible());

    // An entry opens its path.
    form.textRecent[0]->trigger();
    EXPECT_EQ(1, titles()->rowCount());
    EXPECT_EQ(a, form.logic().currentFileName());

    // Opening PDB entries goes through the temporary text.
    ASSERT_EQ(0, WritePdb(form.logic().set(), p, prompter));
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    form.pdbRecent[0]->trigger();
    EXPECT_EQ(2, titles()->rowCount());
    EXPECT_EQ(p.substr(0, p.size() - 4) + ".txt", form.logic().currentFileName());

    // A path that has gone gives the loader's warning.
    values.settings = {"", folder.file("gone.txt")};
    emit form.File1->aboutToShow();
    prompter.expectMessage("ﾌｧｲﾙがありません。", "エラー", Buttons::Ok, Icon::Warning);
    form.textRecent[0]->trigger();
    EXPECT_EQ(2, titles()->rowCount());
}

TEST_F(DataListWindowTest, NewTitleThenCloseAsksToSave) {
    form.T1->trigger();
    ASSERT_EQ(1, titles()->rowCount());
    EXPECT_EQ(u("無題"), titles()->index(0, 0).data().toString());
    ASSERT_EQ(1, records()->rowCount());
    EXPECT_EQ((QStringList{u("1"), u("無題"), u("無題"), u("無題")}),
              (QStringList{cell(0, 0), cell(0, 1), cell(0, 2), cell(0, 3)}));
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧) - 無題"), form.windowTitle());
    EXPECT_TRUE(form.S2->isEnabled());

    // A cancelled question or save dialog keeps the window and the data.
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::Yes)
        .expectSave(std::nullopt, "Text files (*.txt)|*.TXT");
    EXPECT_FALSE(form.close());
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                           Answer::Cancel);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(1, titles()->rowCount());
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::No);
    EXPECT_TRUE(form.close());
}

TEST_F(DataListWindowTest, CloseWithoutChangesAsksNothing) {
    openText(folder.write("a.txt", titleBlock("A", 1)));
    EXPECT_TRUE(form.close());
}

TEST_F(DataListWindowTest, CloseStaysOpenWhenTheSaveFails) {
    form.show();
    form.T1->trigger();
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::Yes)
        .expectSave(folder.file("missing/x.txt"), "Text files (*.txt)|*.TXT")
        .expectMessage("ファイルが開けません\n" + folder.file("missing/x.txt") +
                           "\nファイルを保存できませんでした。",
                       "エラー", Buttons::Ok, Icon::Error);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    prompter.expectMessage("データを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::No);
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
}

TEST_F(DataListWindowTest, ColumnsFillTheGridWidth) {
    form.show();
    QApplication::processEvents();
    openText(folder.write("a.txt", titleBlock("A", 3)));
    form.FormActivate();
    QHeaderView* header = form.StringGrid1->horizontalHeader();
    // The number column is the vertical header: frozen beside the columns that scroll.
    QHeaderView* numbers = form.StringGrid1->verticalHeader();
    const int width = form.StringGrid1->viewport()->width() + numbers->width();
    ASSERT_GT(width, 100);
    EXPECT_TRUE(numbers->isVisible());
    EXPECT_TRUE(form.StringGrid1->isColumnHidden(0));
    EXPECT_EQ(25, numbers->width());
    EXPECT_EQ(u("2"), records()->headerData(1, Qt::Vertical).toString());
    EXPECT_EQ(width / 3, header->sectionSize(1));
    EXPECT_EQ(width / 3, header->sectionSize(2));
    EXPECT_EQ(width - 25 - 2 * (width / 3), header->sectionSize(3));
    EXPECT_EQ(form.StringGrid2->viewport()->width(), form.StringGrid2->horizontalHeader()->sectionSize(0));

    // The user widens column 1; column 3 shrinks as soon as the mouse moves over the grid.
    header->resizeSection(1, width / 3 + 40);
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5),
                     form.StringGrid1->viewport()->mapToGlobal(QPointF(5, 5)), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(form.StringGrid1->viewport(), &move);
    EXPECT_EQ(width - 25 - 2 * (width / 3) - 40, header->sectionSize(3));
    // Activation puts the thirds back.
    form.FormActivate();
    EXPECT_EQ(width / 3, header->sectionSize(1));
}

TEST_F(DataListWindowTest, EditMenuRunsThePasteCheck) {
    openText(folder.write("a.txt", titleBlock("A", 3)));
    form.logic().enable(EditorCommand::RecordPaste, true);
    EXPECT_TRUE(form.S1->isEnabled());
    EXPECT_TRUE(form.N9->isEnabled());
    emit form.Edit1->aboutToShow();
    EXPECT_FALSE(form.S1->isEnabled());
    EXPECT_FALSE(form.N9->isEnabled());
}

TEST_F(DataListWindowTest, RecordEditorEntryKeepsTheCurrentRow) {
    openText(folder.write("a.txt", titleBlock("A", 3)));
    form.StringGrid1->setCurrentIndex(records()->index(2, 1));
    onNextModalDialog([](QWidget*) {}); // the record editor, closed at once
    form.D1->trigger();
    EXPECT_EQ(3, form.logic().currentRecordRow());
    EXPECT_EQ(2, form.StringGrid1->currentIndex().row());
}

TEST_F(DataListWindowTest, RecordEditorOpensOnTheFirstRecordRightAfterLoading) {
    openText(folder.write("a.txt", titleBlock("A", 3)));
    EXPECT_EQ(0, form.StringGrid1->currentIndex().row());
    bool opened = false;
    onNextModalDialog([&](QWidget*) { opened = true; });
    form.D1->trigger();
    EXPECT_TRUE(opened);
    EXPECT_EQ(1, form.logic().currentRecordRow());
}

TEST(DataListWindowLauncher, Button2OpensTheWindowModallyOverTheLauncher) {
    test::TempFolder folder;
    test::CurrentFolder here(folder.path());
    ScriptedPrompter prompter;
    TForm1 launcher;
    launcher.setPrompter(&prompter);
    launcher.show();
    QString title;
    QWidget* owner = nullptr;
    bool modal = false;
    onNextModalDialog([&](QWidget* window) {
        title = window->windowTitle();
        owner = window->parentWidget();
        modal = window->isModal();
        EXPECT_NE(nullptr, qobject_cast<TForm3*>(window));
    });
    launcher.Button2->click();
    EXPECT_EQ(u("Rovik(ﾃﾞｰﾀ一覧)"), title);
    EXPECT_EQ(&launcher, owner);
    EXPECT_TRUE(modal);
    EXPECT_EQ(nullptr, launcher.findChild<TForm3*>());
}

// A path far wider than the screen loses its middle in the menu; the entry still opens all of it.
TEST_F(DataListWindowTest, ALongRecentPathIsElidedInItsMenu) {
    const std::string path = "/" + std::string(5000, 'x') + "/a.txt";
    values.settings = {"", path};
    emit form.File1->aboutToShow();
    const QString caption = form.textRecent[0]->text();
    EXPECT_LE(QFontMetrics(form.Open1->font()).horizontalAdvance(caption), 480);
    EXPECT_TRUE(caption.endsWith(QStringLiteral("a.txt")));
    EXPECT_EQ(QString::fromStdString(path), form.textRecent[0]->data().toString());
}

} // namespace
} // namespace rovik
