#include "app/LauncherWindow.h"
#include "data/QuestionSet.h"
#include "datalist/DataListLogic.h"
#include "editor/DataListWindow.h"
#include "hotsync/InstallCommands.h"
#include "hotsync/InstallDialog.h"
#include "hotsync/PalmDesktopFixture.h"
#include "settings/ProgramValues.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace rovik {
namespace {

namespace fs = std::filesystem;
using test::PalmDesktop;

// Runs `step` on the install dialog once it is shown modally.
void onDialog(std::function<void(TForm7&)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<TForm7*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dialog);
        step(*dialog);
    });
}

struct InstallDialogTest : ::testing::Test {
    PalmDesktop desk;
    test::ScriptedPrompter prompter;
    InstallRequest request;

    InstallDialogTest() {
        desk.install({{1, "Taro", "TaroY"}, {2, "Hanako", "HanakoS", 1}, {12, "\x8E\x52\x93\x63", "Yamada"}});
        request.readyMade = true;
        request.source = request.target = "Rovik.prc";
        test::writeFile(desk.start + "/Rovik.prc", "program");
    }
};

TEST_F(InstallDialogTest, Form7_ControlsCaptionsAndOrder) {
    TForm7 form(request, desk.start, prompter);
    EXPECT_EQ(QStringLiteral("Form7"), form.objectName());
    EXPECT_EQ(QStringLiteral("ｲﾝｽﾄｰﾙ予約"), form.windowTitle());
    EXPECT_EQ(QStringLiteral("topic9"), form.property("helpTopic").toString());
    const struct {
        const char* name;
        const char* text;
    } texts[] = {{"Label2", "ﾕｰｻﾞ："}, {"Label3", "DB名称："}, {"Button1", "ｲﾝｽﾄｰﾙ"}, {"Button2", "ｷｬﾝｾﾙ"}};
    for (const auto& t : texts) {
        QWidget* w = form.findChild<QWidget*>(t.name);
        ASSERT_NE(nullptr, w) << t.name;
        QString text = qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text()
                                                : qobject_cast<QPushButton*>(w)->text();
        EXPECT_EQ(QString::fromUtf8(t.text), text) << t.name;
    }
    const char* order[] = {"Label1", "Label2", "ComboBox1", "Label3", "Edit1", "Button1"};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_LT(form.findChild<QWidget*>(order[i])->geometry().bottom(),
                  form.findChild<QWidget*>(order[i + 1])->geometry().top())
            << order[i] << " above " << order[i + 1];
    EXPECT_EQ(form.Button1->geometry().top(), form.Button2->geometry().top());
    EXPECT_LT(form.Button1->geometry().right(), form.Button2->geometry().left());
    EXPECT_TRUE(form.Label1->wordWrap());
    EXPECT_FALSE(form.ComboBox1->isEditable());
}

TEST_F(InstallDialogTest, Form7_ListsTheUsersWithThePreselectedShown) {
    TForm7 form(request, desk.start, prompter);
    ASSERT_EQ(3, form.ComboBox1->count());
    EXPECT_EQ(QStringLiteral("Taro"), form.ComboBox1->itemText(0));
    EXPECT_EQ(QStringLiteral("Hanako"), form.ComboBox1->itemText(1));
    EXPECT_EQ(QStringLiteral("山田"), form.ComboBox1->itemText(2));
    EXPECT_EQ(QStringLiteral("Hanako"), form.ComboBox1->currentText());
    EXPECT_TRUE(fs::is_directory(desk.installFolder("HanakoS")));
}

TEST_F(InstallDialogTest, Form7_ChosenUserGetsTheFileAndTheFlag) {
    fs::create_directories(desk.installFolder("Yamada"));
    TForm7 form(request, desk.start, prompter);
    form.ComboBox1->setCurrentIndex(2);
    QTest::keyClicks(form.ComboBox1, QStringLiteral("Nobody")); // typing picks nothing new
    EXPECT_EQ(2, form.reservation().chosenIndex());
    EXPECT_EQ(QStringLiteral("山田"), form.ComboBox1->currentText()) << "what is shown is who gets it";
    form.Button1->click();
    EXPECT_EQ(QDialog::Accepted, form.result());
    EXPECT_TRUE(request.done);
    EXPECT_EQ("program", test::TempFolder::read(desk.installFolder("Yamada") + "/Rovik.prc"));
    EXPECT_EQ(1u, desk.installFlag(12));
    EXPECT_FALSE(desk.installFlag(2));
}

TEST_F(InstallDialogTest, Form7_CancelChangesNothing) {
    TForm7 form(request, desk.start, prompter);
    form.Button2->click();
    EXPECT_EQ(QDialog::Rejected, form.result());
    EXPECT_FALSE(request.done);
    EXPECT_FALSE(fs::exists(desk.installFolder("HanakoS") + "/Rovik.prc"));
    EXPECT_FALSE(desk.installFlag(2));
}

TEST_F(InstallDialogTest, Form7_NameBoxColourFollowsWhetherItCanBeEdited) {
    TForm7 form(request, desk.start, prompter);
    form.setDatabaseName(QStringLiteral("Rovik"), false);
    EXPECT_TRUE(form.Edit1->isReadOnly());
    EXPECT_EQ(form.palette().color(QPalette::Button), form.Edit1->palette().color(QPalette::Base));
    form.setDatabaseName(QStringLiteral("Quiz"), true);
    EXPECT_FALSE(form.Edit1->isReadOnly());
    EXPECT_EQ(QColor(Qt::white), form.Edit1->palette().color(QPalette::Base));
    EXPECT_EQ(QStringLiteral("Quiz"), form.databaseName());
}

TEST_F(InstallDialogTest, Form7_MissingPalmDesktopLeavesTheUserBoxEmpty) {
    fs::remove(desk.registry);
    prompter.expectMessage("Registryを開けません", "", Buttons::Ok, Icon::None);
    prompter.expectMessage("", "Starting Hotsync error", Buttons::Ok, Icon::Error);
    prompter.expectMessage("/users.datが開けません", "", Buttons::Ok, Icon::None);
    TForm7 form(request, desk.start, prompter);
    EXPECT_EQ(0, form.ComboBox1->count());
    EXPECT_TRUE(form.ComboBox1->currentText().isEmpty());
}

struct LauncherInstallTest : InstallDialogTest {
    test::CurrentFolder here{desk.start};
    TForm1 form;
    LauncherInstallTest() { form.setPrompter(&prompter); }
    QString status() { return form.StatusBar->currentMessage(); }
};

TEST_F(LauncherInstallTest, Button3ReservesTheHandheldProgram) {
    QString label, name;
    bool readOnly = false, helpKey = false;
    onDialog([&](TForm7& dialog) {
        for (auto* key : dialog.findChildren<QShortcut*>())
            helpKey |= key->key() == QKeySequence(Qt::Key_F1);
        label = dialog.Label1->text();
        name = dialog.Edit1->text();
        readOnly = dialog.Edit1->isReadOnly();
        dialog.Button1->click();
    });
    form.Button3->click();
    EXPECT_EQ(QStringLiteral("Rovikをインストール予約します。次回のHotSync時に自動インストールされます。"),
              label);
    EXPECT_EQ(QStringLiteral("Rovik"), name);
    EXPECT_TRUE(readOnly);
    EXPECT_TRUE(helpKey) << "F1 opens the dialog's help topic";
    EXPECT_EQ(QStringLiteral("Rovik.prcをｲﾝｽﾄｰﾙ予約しました。"), status());
    EXPECT_EQ("program", test::TempFolder::read(desk.installFolder("HanakoS") + "/Rovik.prc"));
    EXPECT_EQ(1u, desk.installFlag(2));
}

TEST_F(LauncherInstallTest, Button4MissingFileIsNamedAndAnEarlierSuccessLeavesTheStatusLine) {
    onDialog([](TForm7& dialog) { dialog.Button1->click(); });
    form.Button3->click();
    ASSERT_EQ(QStringLiteral("Rovik.prcをｲﾝｽﾄｰﾙ予約しました。"), status());
    QString label, name;
    onDialog([&](TForm7& dialog) {
        label = dialog.Label1->text();
        name = dialog.Edit1->text();
        prompter.expectMessage("SampleQA.pdb が見つかりません。\nSampleQA.pdb を起動フォルダ（" + desk.start +
                                   "）に置いてから、もう一度インストールしてください。",
                               "エラー", Buttons::Ok, Icon::Error);
        dialog.Button1->click(); // SampleQA.pdb is not in the start folder
    });
    form.Button4->click();
    EXPECT_EQ(
        QStringLiteral("サンプルデータをインストール予約します。次回のHotSync時に自動インストールされます。"),
        label);
    EXPECT_EQ(QStringLiteral("SampleQA"), name);
    EXPECT_EQ(QString(), status());
    EXPECT_TRUE(prompter.done());

    form.StatusBar->showMessage(QStringLiteral("before"));
    onDialog([](TForm7& dialog) { dialog.Button2->click(); });
    form.Button4->click();
    EXPECT_EQ(QStringLiteral("before"), status()) << "ｷｬﾝｾﾙ changes nothing";
}

// Palm Desktop chosen by name with its stand-in file missing or unusable: one message names the
// file and offers 転送先の設定, for the install buttons and the 起動 items alike; nothing else shows.
TEST_F(LauncherInstallTest, ChosenPalmDesktopWithoutItsStandInSaysSoOnce) {
    test::writeFile(desk.root.file("InstallTarget.ini"), "Target=palm-desktop\n");
    const std::string emptyValues = desk.registry + " の Palm Desktop の設定（Path, HotSyncPath）が空です。";
    const std::string noKey = desk.registry + " に Palm Desktop の設定がありません。";
    const struct {
        const char* name;
        std::function<void()> breakStandIn;
        std::string problem;
    } cases[] = {
        {"no HotSyncPath", [&] { desk.writeRegistry("Hanako", false); }, emptyValues},
        {"missing", [&] { desk.removeRegistry(); }, noKey},
        {"not a registry file", [&] { test::writeFile(desk.registry, std::string("\xFF\xFE\0garbage", 10)); },
         noKey},
    };
    for (const auto& c : cases) {
        c.breakStandIn();
        for (const char* item : {"Button3", "HotSyncH1", "I1"}) {
            prompter.expectMessage(
                c.problem +
                    "\n「転送先の設定...」で Palm Desktop のフォルダ（users.dat のある所）を選びます。"
                    "\n\n転送先の設定を開きますか？",
                item == std::string("Button3") ? "インストール先" : "転送先", Buttons::YesNo, Icon::Warning,
                Answer::No);
            if (QAction* action = form.findChild<QAction*>(item))
                action->trigger();
            else
                form.findChild<QPushButton*>(item)->click();
            EXPECT_TRUE(prompter.done()) << c.name << " " << item;
        }
    }
}

TEST_F(InstallDialogTest, DataListInstallWritesThePdbUnderTheEditedName) {
    QuestionSet set;
    set.lines = {"[Title]\tQuiz", "1\tquestion\tanswer\treference"};
    QString label, initial;
    bool editable = false;
    onDialog([&](TForm7& dialog) {
        label = dialog.Label1->text();
        initial = dialog.Edit1->text();
        editable = !dialog.Edit1->isReadOnly();
        dialog.Edit1->setText(QStringLiteral("Quiz1"));
        dialog.Button1->click();
    });
    InstallOutcome outcome = reservePdbInstall(nullptr, set, desk.start, "/data/Quiz.v2.txt", prompter);
    EXPECT_EQ(
        QStringLiteral("PDBファイルをインストール予約します。次回のHotSync時に自動インストールされます。"),
        label);
    EXPECT_EQ(QStringLiteral("Quiz"), initial);
    EXPECT_TRUE(editable);
    EXPECT_TRUE(outcome.done);
    EXPECT_EQ("Quiz1.pdbをｲﾝｽﾄｰﾙ予約しました。", outcome.statusText);
    const std::string pdb = test::TempFolder::read(desk.start + "/Quiz1.pdb");
    ASSERT_GE(pdb.size(), 68u);
    EXPECT_EQ("Quiz1", pdb.substr(0, 5));
    EXPECT_EQ("DataRvk2", pdb.substr(60, 8));
    EXPECT_EQ(pdb, test::TempFolder::read(desk.installFolder("HanakoS") + "/Quiz1.pdb"));
    EXPECT_EQ(1u, desk.installFlag(2));
}

TEST_F(InstallDialogTest, DataListInstallAnsweredNoChangesNothing) {
    QuestionSet set;
    set.lines = {"[Title]\tQuiz"};
    test::writeFile(desk.start + "/Quiz.pdb", "old");
    onDialog([&](TForm7& dialog) {
        prompter.expectMessage(desk.start + "/Quiz.pdbはすでに存在します。上書きしますか？", "",
                               Buttons::YesNo, Icon::Question, Answer::No);
        dialog.Button1->click();
    });
    InstallOutcome outcome = reservePdbInstall(nullptr, set, desk.start, "Quiz.txt", prompter);
    EXPECT_FALSE(outcome.done);
    EXPECT_EQ("", outcome.statusText);
    EXPECT_EQ("old", test::TempFolder::read(desk.start + "/Quiz.pdb"));
    EXPECT_FALSE(fs::exists(desk.installFolder("HanakoS") + "/Quiz.pdb"));
    EXPECT_FALSE(desk.installFlag(2));
}

// Too large for a database: the PDB save's message and status line, then the install's failure;
// an earlier success never stays on the status line.
TEST_F(InstallDialogTest, DataListInstallOfATooLargeSetSaysWhy) {
    ProgramValues values;
    values.startFolder = desk.start;
    values.settings = {"", ""};
    TForm3 form(nullptr, &prompter, &values);
    form.logic().set().lines = std::vector<std::string>(9000, "//");
    form.logic().enable(EditorCommand::PdbInstall, true);
    form.logic().setCurrentFileName("/data/Big.txt");
    form.StatusBar1->showMessage(QStringLiteral("a.pdbをｲﾝｽﾄｰﾙ予約しました。"));
    prompter.expectMessage("レコードが64KBを超えているためにファイル保存はできませんでした。", "エラー",
                           Buttons::Ok, Icon::Error); // and no second message
    onDialog([](TForm7& dialog) { dialog.Button1->click(); });
    form.PDBP1->trigger();
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(QStringLiteral("データが大きいためにファイル保存はできませんでした。"),
              form.StatusBar1->currentMessage());
}

} // namespace
} // namespace rovik
