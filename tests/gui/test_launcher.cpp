#include "app/LauncherWindow.h"
#include "settings/ProgramValues.h"
#include "support/GuiSteps.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <filesystem>
#include <gtest/gtest.h>

namespace rovik {
namespace {

struct LauncherTest : ::testing::Test {
    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
};

TEST_F(LauncherTest, ControlsHaveTheirCaptionsAndPlaces) {
    TForm1 form;
    EXPECT_EQ(QStringLiteral("Rovik(ﾒﾆｭｰ)"), form.windowTitle());
    const struct {
        const char* name;
        const char* text;
        QRect place;
    } buttons[] = {
        {"Button1", "デスクトップ版  Rovik", {32, 32, 217, 25}},
        {"Button2", "データ一覧・編集・インストール", {32, 80, 217, 25}},
        {"Button3", "RovikをPalmデバイスへインストール", {8, 56, 217, 25}},
        {"Button4", "ｻﾝﾌﾟﾙﾃﾞｰﾀをPalmﾃﾞﾊﾞｲｽへｲﾝｽﾄｰﾙ", {8, 96, 217, 25}},
    };
    for (const auto& b : buttons) {
        auto* button = form.findChild<QPushButton*>(b.name);
        ASSERT_NE(nullptr, button) << b.name;
        EXPECT_EQ(QString::fromUtf8(b.text), button->text()) << b.name;
        EXPECT_EQ(b.place, button->geometry()) << b.name;
    }
    auto* label = form.findChild<QLabel*>("Label1");
    ASSERT_NE(nullptr, label);
    EXPECT_EQ(QStringLiteral(
                  "以下は初めてｲﾝｽﾄｰﾙあるいはﾊﾞｰｼﾞｮﾝｱｯﾌﾟ版をｲﾝｽﾄｰﾙする場合に使用します。(上書きされます。)"),
              label->text());
    EXPECT_TRUE(label->wordWrap());
    EXPECT_EQ(form.findChild<QWidget*>("Panel1"), form.findChild<QPushButton*>("Button3")->parentWidget());
    EXPECT_NE(nullptr, form.findChild<QStatusBar*>("StatusBar"));
    EXPECT_EQ(12, form.font().pixelSize());
}

TEST_F(LauncherTest, MenusHaveTheirCaptionsAndHints) {
    TForm1 form;
    const struct {
        const char* menu;
        const char* menuCaption;
        const char* name;
        const char* caption;
        const char* hint;
    } items[] = {
        {"File1", "ﾌｧｲﾙ(&F)", "Exit1", "終了(&X)", "終了します。"},
        {"K1", "起動(&K)", "HotSyncH1", "HotSync(&H)", "ｲﾝｽﾄｰﾙするためにHotSyncを起動します。"},
        {"K1", "起動(&K)", "I1", "ｲﾝｽﾄｰﾙﾂｰﾙ(&I)...", "ｲﾝｽﾄｰﾙ予約状況を確認するために起動します。"},
        {"Help1", "ﾍﾙﾌﾟ(&H)", "ReadMeR1", "ﾄﾋﾟｯｸの検索(&H)...", "ヘルプを起動します。"},
        {"Help1", "ﾍﾙﾌﾟ(&H)", "About1", "ﾊﾞｰｼﾞｮﾝ情報(&A)...", "Rovikのバージョン、連絡先を表示します。"},
    };
    for (const auto& item : items) {
        auto* menu = form.findChild<QMenu*>(item.menu);
        ASSERT_NE(nullptr, menu) << item.menu;
        EXPECT_EQ(QString::fromUtf8(item.menuCaption), menu->title());
        auto* action = form.findChild<QAction*>(item.name);
        ASSERT_NE(nullptr, action) << item.name;
        EXPECT_EQ(QString::fromUtf8(item.caption), action->text()) << item.name;
        EXPECT_EQ(QString::fromUtf8(item.hint), action->statusTip()) << item.name;
        EXPECT_EQ(QString::fromUtf8("|") + QString::fromUtf8(item.hint), action->property("hint").toString());
    }
    const struct {
        const char* menu;
        QStringList entries;
    } menus[] = {
        {"File1", {"Exit1"}},
        {"K1", {"HotSyncH1", "I1", "TargetSettings1"}},
        {"Help1", {"ReadMeR1", "About1"}},
    };
    QList<QAction*> bar = form.menuBar()->actions();
    ASSERT_EQ(3, bar.size());
    for (int i = 0; i < 3; ++i) {
        auto* menu = form.findChild<QMenu*>(menus[i].menu);
        ASSERT_NE(nullptr, menu) << menus[i].menu;
        EXPECT_EQ(menu->menuAction(), bar[i]) << menus[i].menu;
        EXPECT_EQ(menus[i].entries, test::menuSequence(menu)) << menus[i].menu;
    }
}

TEST_F(LauncherTest, HintsReachTheStatusLine) {
    TForm1 form;
    form.show();
    auto* action = form.findChild<QAction*>("I1");
    action->showStatusText(form.menuBar()); // what an open menu does on hover
    EXPECT_EQ(QStringLiteral("ｲﾝｽﾄｰﾙ予約状況を確認するために起動します。"),
              form.findChild<QStatusBar*>("StatusBar")->currentMessage());
}

TEST_F(LauncherTest, ClosingWritesTheSettingsFile) {
    {
        TForm1 form;
        EXPECT_EQ(folder.path(), programValues().startFolder);
        programValues().settings[0] = "0\t-1\t-1\t-1\t-1\t-1\t-1";
        form.show();
        EXPECT_TRUE(form.close());
    }
    EXPECT_EQ("0\t-1\t-1\t-1\t-1\t-1\t-1\r\n\r\n", test::TempFolder::read(folder.file("Rovik.ini")));
}

TEST_F(LauncherTest, FailedSettingsWriteKeepsTheWindowOpen) {
    TForm1 form;
    test::ScriptedPrompter prompter;
    form.setPrompter(&prompter);
    form.show();
    programValues().startFolder = folder.file("gone");
    prompter.expectMessage(folder.file("gone") + "/Rovik.ini: No such file or directory", "エラー",
                           Buttons::Ok, Icon::Error);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    std::filesystem::create_directory(folder.file("gone"));
    EXPECT_TRUE(form.close()) << "the next request to close tries again";
    EXPECT_TRUE(std::filesystem::exists(folder.file("gone/Rovik.ini")));
}

// A start folder that never becomes writable must not keep the program open for good: the
// second close in a row leaves without the settings and without a second message.
TEST_F(LauncherTest, SecondCloseInARowLeavesWithoutTheSettings) {
    TForm1 form;
    test::ScriptedPrompter prompter;
    form.setPrompter(&prompter);
    form.show();
    programValues().startFolder = folder.file("gone");
    prompter.expectMessage(folder.file("gone") + "/Rovik.ini: No such file or directory", "エラー",
                           Buttons::Ok, Icon::Error);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(prompter.done());
    EXPECT_FALSE(std::filesystem::exists(folder.file("gone")));
}

// Rovik.ini that cannot be read, or may not be written: named at start and at close, where the
// launcher stays open; the next close leaves it as it is. (Mode bits decide, so this holds for
// root too.)
TEST_F(LauncherTest, SettingsFileThatCannotBeReadOrWrittenIsNamedAndKept) {
    namespace fs = std::filesystem;
    const std::string path = folder.file("Rovik.ini");
    const std::string unreadable =
        "設定ファイルを読めません。最近使ったファイルと出題設定は保存されません。\n" + path;
    const std::string unwritable =
        "設定ファイルに書き込めないため、最近使ったファイルと出題設定は保存されません。\n" + path;
    const struct {
        const char* what;
        fs::perms mode;
        std::vector<std::string> messages;
    } cases[] = {
        {"mode 000", fs::perms::none, {unreadable, unwritable}},
        {"mode 444", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read, {unwritable}},
    };
    for (const auto& c : cases) {
        folder.write("Rovik.ini", "old\r\n\r\n");
        fs::permissions(path, c.mode);
        test::ScriptedPrompter prompter;
        for (const std::string& text : c.messages)
            prompter.expectMessage(text, "確認", Buttons::Ok, Icon::Warning);
        {
            TForm1 form;
            form.setPrompter(&prompter);
            form.show();
            QApplication::processEvents();
            EXPECT_FALSE(form.close()) << c.what;
            EXPECT_TRUE(form.isVisible()) << c.what;
            EXPECT_TRUE(form.close()) << c.what;
        }
        EXPECT_TRUE(prompter.done()) << c.what;
        fs::permissions(path, fs::perms::owner_all);
        EXPECT_EQ("old\r\n\r\n", test::TempFolder::read(path)) << c.what;
    }
}

} // namespace
} // namespace rovik
