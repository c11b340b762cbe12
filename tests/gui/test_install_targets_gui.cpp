// The install buttons with the other targets, the one message when none is found, and 転送先の設定.
#include "app/LauncherWindow.h"
#include "editor/DataListWindow.h"
#include "hotsync/InstallDialog.h"
#include "hotsync/PalmDesktopFixture.h"
#include "hotsync/TargetChoice.h"
#include "hotsync/TargetSettingsDialog.h"
#include "support/ScriptedPrompter.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

namespace rovik {
namespace {
namespace fs = std::filesystem;
using test::TempFolder;

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        m_had = std::getenv(name) != nullptr;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { m_had ? setenv(m_name, m_old.c_str(), 1) : unsetenv(m_name); }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

void onDialog(std::function<void(TForm7&)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<TForm7*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, dialog);
        step(*dialog);
    });
}

// A new user: no Palm Desktop, no Wine prefix, no J-Pilot, nothing on the PATH.
struct NewUserTest : ::testing::Test {
    test::PalmDesktop desk;
    ScopedEnv home{"HOME", desk.root.path()};
    ScopedEnv path{"PATH", desk.root.file("bin")};
    ScopedEnv wine{"WINEPREFIX", desk.root.file(".wine")};
    ScopedEnv jpilot{"JPILOT_HOME", desk.root.path()};
    test::CurrentFolder here{desk.start};
    test::ScriptedPrompter prompter;
    TForm1 form;

    NewUserTest() {
        fs::create_directories(desk.root.file("bin"));
        test::writeFile(desk.start + "/Rovik.prc", "program");
        form.setPrompter(&prompter);
    }
    std::string noTarget() {
        return noTargetMessage(findTargets(TargetEnvironment::fromProcess(desk.start)));
    }
    QString status() { return form.StatusBar->currentMessage(); }
    // A wine whose `reg export` of Palm Desktop's key gives `palm` (as the .reg file writes it,
    // backslashes doubled) as UTF-16, whose `reg add` succeeds, and which notes any other start.
    void writeExportingWine(const std::string& palm) {
        const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core]\r\n"
                                 "\"Path\"=\"" +
                                 palm + "\"\r\n\"HotSyncPath\"=\"" + palm + "\\\\hotsync.exe\"\r\n";
        std::string utf16 = "\xFF\xFE";
        for (char c : text)
            utf16 += std::string{c, '\0'};
        desk.root.write("palm-export.reg", utf16);
        desk.root.write(
            "bin/wine",
            "#!/bin/sh\n"
            "if [ \"$1 $2\" = \"reg export\" ]; then\n"
            "  /bin/cp \"$HOME/palm-export.reg\" \"$WINEPREFIX/drive_c/windows/temp/${4##*\\\\}\"\n"
            "  exit 0\n"
            "fi\n"
            "[ \"$1\" = reg ] && exit 0\n"
            "printf '%s\\n' \"$@\" > \"$0.started\"\n");
        fs::permissions(desk.root.file("bin/wine"), fs::perms::owner_all);
    }
};

TEST_F(NewUserTest, OneMessageSaysWhatWasLookedForAndNothingElse) {
    prompter.expectMessage(noTarget() + "\n\n転送先の設定を開きますか？", "インストール先", Buttons::YesNo,
                           Icon::Warning, Answer::No);
    form.Button3->click();
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(QString(), status());
    EXPECT_NE(noTarget().find("J-Pilot"), std::string::npos);
    const std::string toStart =
        noTargetMessage(findTargets(TargetEnvironment::fromProcess(desk.start)), TargetPurpose::Start);
    for (const char* item : {"HotSyncH1", "I1"}) {
        prompter.expectMessage(toStart + "\n\n転送先の設定を開きますか？", "転送先", Buttons::YesNo,
                               Icon::Warning, Answer::No);
        form.findChild<QAction*>(item)->trigger();
        EXPECT_TRUE(prompter.done()) << item;
    }
}

TEST_F(NewUserTest, BothWindowsOfferTheSettingsUnderStart) {
    TForm3 list(nullptr, &prompter);
    for (QWidget* window : {static_cast<QWidget*>(&form), static_cast<QWidget*>(&list)}) {
        auto* item = window->findChild<QAction*>("TargetSettings1");
        ASSERT_NE(nullptr, item) << window->objectName().toStdString();
        EXPECT_EQ(QStringLiteral("転送先の設定(&S)..."), item->text());
    }
}

TEST_F(NewUserTest, JPilotQueueThroughTheDialog) {
    fs::create_directories(desk.root.file(".jpilot"));
    QString explanation, label, box, tip;
    bool boxEnabled = true;
    int boxRoom = 0, boxText = 0;
    onDialog([&](TForm7& dialog) {
        explanation = dialog.Label1->text();
        label = dialog.Label2->text();
        box = dialog.ComboBox1->currentText();
        tip = dialog.ComboBox1->toolTip();
        boxEnabled = dialog.ComboBox1->isEnabled();
        boxRoom = dialog.ComboBox1->width() - 20; // less the arrow
        boxText = dialog.ComboBox1->fontMetrics().horizontalAdvance(box);
        dialog.Button1->click();
    });
    form.Button3->click();
    EXPECT_EQ(QStringLiteral("Rovikをインストール予約します。次回のHotSync時に自動インストールされます。"),
              explanation);
    EXPECT_EQ(QStringLiteral("転送先："), label);
    // The queue's path is longer than the box: its middle goes, the name and the file stay.
    EXPECT_TRUE(box.startsWith(QStringLiteral("J-Pilot ("))) << box.toStdString();
    EXPECT_TRUE(box.endsWith(QStringLiteral("jpilot.install)"))) << box.toStdString();
    EXPECT_LE(boxText, boxRoom) << box.toStdString();
    EXPECT_EQ(QString::fromStdString("J-Pilot (" + desk.root.file(".jpilot/jpilot.install") + ")"), tip);
    EXPECT_FALSE(boxEnabled);
    EXPECT_EQ(QStringLiteral("Rovik.prcをJ-Pilotにｲﾝｽﾄｰﾙ予約しました。"), status());
    const std::string kept = fs::canonical(desk.start).string() + "/Install/Rovik.prc";
    EXPECT_EQ(kept + "\n", TempFolder::read(desk.root.file(".jpilot/jpilot.install")));
    EXPECT_EQ("program", TempFolder::read(kept));
}

TEST_F(NewUserTest, PilotXferRunsWhileANoteAsksForTheHotSyncButton) {
    desk.root.write("bin/pilot-xfer", "#!/bin/sh\n/bin/sleep 0.5\necho installed\nexit 0\n");
    fs::permissions(desk.root.file("bin/pilot-xfer"), fs::perms::owner_all);
    QString note, explanation;
    onDialog([&](TForm7& dialog) {
        explanation = dialog.Label1->text();
        QTimer::singleShot(100, [&] {
            if (QWidget* w = QApplication::activeModalWidget()) note = w->objectName();
        });
        prompter.expectMessage("Rovik.prcをpilot-xferでｲﾝｽﾄｰﾙしました。\n\ninstalled\n", "ｲﾝｽﾄｰﾙ",
                               Buttons::Ok, Icon::Information);
        dialog.Button1->click();
    });
    form.Button3->click();
    EXPECT_EQ(QStringLiteral("今すぐPalmデバイスへインストールします。HotSyncボタンを押してください。"),
              explanation);
    EXPECT_EQ(QStringLiteral("InstallWait"), note);
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(QStringLiteral("Rovik.prcをpilot-xferでｲﾝｽﾄｰﾙしました。"), status());
}

// A handheld not on the cradle: pilot-xfer waits for ever. Each way of saying 中止 ends it, the
// windows go on, and nothing claims an install.
TEST_F(NewUserTest, PilotXferWaitingForeverIsStopped) {
    desk.root.write("bin/pilot-xfer", "#!/bin/sh\n/bin/sleep 30\necho installed\nexit 0\n");
    fs::permissions(desk.root.file("bin/pilot-xfer"), fs::perms::owner_all);
    const struct {
        const char* name;
        std::function<void(QDialog&)> stop;
    } ways[] = {
        {"中止", [](QDialog& note) { note.findChild<QPushButton*>("ButtonStop")->click(); }},
        {"Escape", [](QDialog& note) { QTest::keyClick(&note, Qt::Key_Escape); }},
        {"close box", [](QDialog& note) { note.close(); }},
    };
    for (const auto& way : ways) {
        form.StatusBar->showMessage(QStringLiteral("before"));
        QString button;
        onDialog([&](TForm7& dialog) {
            QTimer::singleShot(400, [&] {
                auto* note = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(nullptr, note);
                ASSERT_EQ(QStringLiteral("InstallWait"), note->objectName());
                auto* stop = note->findChild<QPushButton*>("ButtonStop");
                ASSERT_NE(nullptr, stop);
                button = stop->text();
                way.stop(*note);
            });
            prompter.expectMessage("中止しました", "確認", Buttons::Ok, Icon::None);
            dialog.Button1->click();
        });
        form.Button3->click();
        EXPECT_TRUE(prompter.done()) << way.name;
        EXPECT_EQ(QStringLiteral("中止"), button) << way.name;
        EXPECT_EQ(QString(), status()) << way.name;
    }
}

// Asking Wine for Palm Desktop's folder takes seconds: 起動 waits under a note that 中止 ends.
// 転送先の設定 finds the prefix from its files and opens at once.
TEST_F(NewUserTest, WineIsAskedUnderANote) {
    const std::string prefix = desk.root.file(".wine");
    fs::create_directories(prefix + "/drive_c/windows/temp");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    desk.root.write(".wine/user.reg", "[Software\\U.S. Robotics\\Pilot Desktop\\Core]\n");
    desk.root.write("bin/wine", "#!/bin/sh\n/bin/sleep 30\nexit 1\n");
    fs::permissions(desk.root.file("bin/wine"), fs::perms::owner_all);
    const struct {
        const char* item;
        const char* settings;
        bool asksWine;
    } cases[] = {
        {"TargetSettings1", "", false}, {"HotSyncH1", "Target=wine\n", true}, {"I1", "Target=wine\n", true}};
    for (const auto& c : cases) {
        desk.root.write("InstallTarget.ini", c.settings);
        QString note, opened;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            if (modal->objectName() == QStringLiteral("InstallWait") && note.isEmpty()) {
                note = modal->findChild<QLabel*>("LabelWait")->text();
                modal->findChild<QPushButton*>("ButtonStop")->click();
            } else if (modal->objectName() == QStringLiteral("TargetSettings")) {
                opened = modal->objectName();
                static_cast<QDialog*>(modal)->reject();
            }
        });
        watch.start(50);
        if (c.asksWine) prompter.expectMessage("中止しました", "確認", Buttons::Ok, Icon::None);
        form.findChild<QAction*>(c.item)->trigger();
        EXPECT_TRUE(prompter.done()) << c.item;
        EXPECT_EQ(c.asksWine ? QStringLiteral("確認しています…") : QString(), note) << c.item;
        EXPECT_EQ(!c.asksWine, !opened.isEmpty()) << c.item;
    }
}

// Wine starts whatever it is given and complains only on its terminal: a Palm program missing
// from the prefix is said; one that is there (in any case) is started.
TEST_F(NewUserTest, WineStartsOnlyPalmProgramsThatAreThere) {
    const std::string prefix = desk.root.file(".wine");
    fs::create_directories(prefix + "/drive_c/Palm");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    fs::create_directories(prefix + "/drive_c/windows/temp");
    writeExportingWine("C:\\\\Palm");
    fs::permissions(desk.root.file("bin/wine"), fs::perms::owner_all);
    desk.root.write("InstallTarget.ini", "Target=wine\n");
    const std::string palm = fs::canonical(prefix).string() + "/drive_c/Palm/";
    for (const char* item : {"HotSyncH1", "I1"}) {
        const std::string program = item == std::string("I1") ? "Instapp.exe" : "hotsync.exe";
        prompter.expectMessage("wine C:\\Palm\\" + program + " を起動できません。\n" + palm + program +
                                   " がありません。",
                               "エラー", Buttons::Ok, Icon::Error);
        form.findChild<QAction*>(item)->trigger();
        EXPECT_TRUE(prompter.done()) << item;
        EXPECT_FALSE(fs::exists(desk.root.file("bin/wine.started"))) << item;
    }
    desk.root.write(".wine/drive_c/Palm/HotSync.exe", "MZ");
    form.HotSyncH1->trigger();
    const std::string started = desk.root.file("bin/wine.started");
    for (int i = 0; i < 250 && TempFolder::read(started).empty(); ++i)
        QTest::qWait(20);
    EXPECT_EQ("C:\\Palm\\hotsync.exe\n", TempFolder::read(started));
}

// Palm Desktop under Wine with a long user name: the launcher's narrow status line keeps the
// start of the result and the "(Wine)" at its end.
TEST_F(NewUserTest, LongWineResultKeepsItsEndsOnTheLauncher) {
    const std::string prefix = desk.root.file(".wine");
    const std::string user = "Hanako-Yamamoto-of-the-Nishi-Tokyo-Office";
    fs::create_directories(prefix + "/drive_c/Palm/HanakoY");
    fs::create_directories(prefix + "/dosdevices");
    fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    desk.root.write(".wine/drive_c/Palm/users.dat", test::usersDatBytes({{3, user, "HanakoY", 1}}));
    fs::create_directories(prefix + "/drive_c/windows/temp");
    writeExportingWine("C:\\\\Palm");
    desk.root.write("InstallTarget.ini", "Target=wine\n");
    onDialog([](TForm7& dialog) { dialog.Button1->click(); });
    form.Button3->click();
    ASSERT_EQ("program", TempFolder::read(prefix + "/drive_c/Palm/HanakoY/Install/Rovik.prc"));
    const QString shown = status();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Rovik.prcをHanako"))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("予約しました。(Wine)"))) << shown.toStdString();
    EXPECT_LE(form.StatusBar->fontMetrics().horizontalAdvance(shown), 277 - 12) << shown.toStdString();
}

TEST_F(NewUserTest, SettingsDialogSavesTheChoiceAndWritesTheStandInFile) {
    fs::create_directories(desk.palm);
    test::writeFile(desk.palm + "/users.dat", test::usersDatBytes(test::PalmDesktop::threeUsers()));
    TargetEnvironment env = TargetEnvironment::fromProcess(desk.start);
    TargetSettingsDialog dialog(env, findTargets(env), prompter);
    EXPECT_EQ(QStringLiteral("転送先の設定"), dialog.windowTitle());
    for (const char* name : {"RadioAuto", "RadioPalmDesktop", "RadioWine", "RadioJPilot", "RadioPilotXfer"})
        ASSERT_NE(nullptr, dialog.findChild<QRadioButton*>(name)) << name;
    EXPECT_TRUE(dialog.RadioAuto->isChecked());
    EXPECT_TRUE(dialog.RadioTarget[2]->text().contains(QStringLiteral("見つかりません")));
    dialog.RadioTarget[3]->setChecked(true);
    dialog.EditPort->setText(QStringLiteral("/dev/ttyUSB1"));
    dialog.EditPalmFolder->setText(QString::fromStdString(desk.palm));
    dialog.ButtonOk->click();
    EXPECT_EQ(QDialog::Accepted, dialog.result());
    EXPECT_EQ("Target=pilot-xfer\nPort=/dev/ttyUSB1\n", TempFolder::read(env.settingsFile));
    const std::vector<TargetFinding> found = findTargets(env);
    EXPECT_TRUE(found[0].found) << "the stand-in file now names the folder";
}

TEST_F(NewUserTest, SettingsDialogRefusesABadPortAndStaysOpen) {
    const TargetEnvironment env = TargetEnvironment::fromProcess(desk.start);
    TargetSettingsDialog dialog(env, findTargets(env), prompter);
    dialog.EditPort->setText(QStringLiteral("/dev/tty USB0"));
    prompter.expectMessage(
        "pilot-xferのポート「/dev/tty USB0」は使えません。\nusb:、net: または /dev/ の下のデバイス"
        "（例 /dev/ttyUSB0）を、空白や制御文字を含めずに指定してください。",
        "エラー", Buttons::Ok, Icon::Error);
    dialog.ButtonOk->click();
    EXPECT_TRUE(prompter.done());
    EXPECT_NE(QDialog::Accepted, dialog.result());
    EXPECT_FALSE(fs::exists(desk.root.file(".config/rovik/InstallTarget.ini")));
}

TEST_F(NewUserTest, SettingsDialogRefusesAMissingFolder) {
    const TargetEnvironment env = TargetEnvironment::fromProcess(desk.start);
    TargetSettingsDialog dialog(env, findTargets(env), prompter);
    dialog.EditPalmFolder->setText(QString::fromStdString(desk.root.file("nowhere")));
    prompter.expectMessage("フォルダ " + desk.root.file("nowhere") + " がありません。", "エラー", Buttons::Ok,
                           Icon::Error);
    dialog.ButtonOk->click();
    EXPECT_TRUE(prompter.done());
    EXPECT_FALSE(fs::exists(desk.registry));
    EXPECT_FALSE(fs::exists(desk.root.file("InstallTarget.ini")));
}

} // namespace
} // namespace rovik
