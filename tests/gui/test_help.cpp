// The help file is opened through the shell: the tests take the "file" scheme over and record
// every address that would have been handed to the user's program. A handler naming no method
// stands for a desktop where no program can open the address.
#include "app/Help.h"
#include "app/TAboutBox.h"
#include "app/TForm1.h"
#include "app/Translations.h"
#include "quiz/TForm2.h"
#include "settings/ProgramValues.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QTranslator>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

namespace rovik {

class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
    Q_INVOKABLE void record(const QUrl& url) { urls.append(url); }
};

namespace {

struct HelpTest : ::testing::Test {
    void SetUp() override {
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "record");
        savedStartFolder = programValues().startFolder;
        programValues().startFolder = folder.path();
    }
    void TearDown() override {
        programValues().startFolder = savedStartFolder;
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }
    QUrl helpFile(const QString& fragment = {}) const {
        QUrl url = QUrl::fromLocalFile(
            QDir(QString::fromStdString(folder.path())).absoluteFilePath(QStringLiteral("rovikhelp.html")));
        if (!fragment.isEmpty()) url.setFragment(fragment);
        return url;
    }
    static QShortcut* helpKeyOf(QWidget& window) {
        auto* key = window.findChild<QShortcut*>(QStringLiteral("HelpKey"));
        EXPECT_NE(nullptr, key);
        return key;
    }

    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
    static void openNothing(const char* scheme) {
        static QObject nobody;
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &nobody, "noSuchMethod");
    }

    OpenedUrls opened;
    std::string savedStartFolder;
    test::ScriptedPrompter prompter;
};

TEST_F(HelpTest, Help_FileUrlPointsAtTheTopicSection) {
    EXPECT_EQ(helpFile(), helpFileUrl());
    EXPECT_EQ(helpFile(), helpFileUrl(0));
    EXPECT_EQ(helpFile(QStringLiteral("topic23")), helpFileUrl(23));
    EXPECT_EQ(QStringLiteral("topic9"), helpFileUrl(9).fragment());
}

TEST_F(HelpTest, Help_MenuItemOpensTheWholeFile) {
    EXPECT_TRUE(openHelpFile(prompter));
    ASSERT_EQ(1, opened.urls.size());
    EXPECT_EQ(helpFile(), opened.urls[0]);
    EXPECT_FALSE(opened.urls[0].hasFragment());
}

TEST_F(HelpTest, Help_TopicOpensItsSection) {
    for (int topic : {23, 24, 25, 26, 10, 9}) {
        opened.urls.clear();
        EXPECT_TRUE(openHelpTopic(topic, prompter));
        ASSERT_EQ(1, opened.urls.size()) << topic;
        EXPECT_EQ(helpFile(QStringLiteral("topic%1").arg(topic)), opened.urls[0]) << topic;
    }
}

TEST_F(HelpTest, Help_F1KeyOfAWindowOpensItsTopic) {
    QWidget window;
    installHelpKey(&window, 25);
    QShortcut* key = helpKeyOf(window);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(QKeySequence(Qt::Key_F1), key->key());
    EXPECT_EQ(Qt::WindowShortcut, key->context());
    emit key->activated();
    ASSERT_EQ(1, opened.urls.size());
    EXPECT_EQ(helpFile(QStringLiteral("topic25")), opened.urls[0]);
}

TEST_F(HelpTest, Help_LauncherOpensTheFileAndTopic23) {
    TForm1 form;
    auto* item = form.findChild<QAction*>(QStringLiteral("ReadMeR1"));
    ASSERT_NE(nullptr, item);
    item->trigger();
    QShortcut* key = helpKeyOf(form);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(QKeySequence(Qt::Key_F1), key->key());
    emit key->activated();
    ASSERT_EQ(2, opened.urls.size());
    EXPECT_EQ(helpFile(), opened.urls[0]);
    EXPECT_EQ(helpFile(QStringLiteral("topic23")), opened.urls[1]);
}

// Every way to the help file names the file when no program could open it.
TEST_F(HelpTest, Help_NoProgramForTheFileSaysSoAndNamesIt) {
    openNothing("file");
    const std::string text =
        "ヘルプを表示できません。ヘルプファイルを開くプログラムを起動できませんでした。\n" + folder.path() +
        "/rovikhelp.html";
    EXPECT_EQ(text, helpNotShownText());
    TForm1 launcher;
    launcher.setPrompter(&prompter);
    TForm2 quiz;
    quiz.setPrompter(&prompter);
    const struct {
        const char* what;
        std::function<void()> open;
    } ways[] = {
        {"launcher menu", [&] { launcher.findChild<QAction*>(QStringLiteral("ReadMeR1"))->trigger(); }},
        {"launcher F1", [&] { emit helpKeyOf(launcher)->activated(); }},
        {"quiz menu", [&] { quiz.findChild<QAction*>(QStringLiteral("ReadMe1"))->trigger(); }},
        {"quiz F1", [&] { emit helpKeyOf(quiz)->activated(); }},
        {"topic", [&] { EXPECT_FALSE(openHelpTopic(9, prompter)); }},
    };
    for (const auto& way : ways) {
        prompter.expectMessage(text, "エラー", Buttons::Ok, Icon::Error);
        way.open();
        EXPECT_TRUE(prompter.done()) << way.what;
    }
}

TEST_F(HelpTest, AboutBox_LinksNameWhatCouldNotBeOpened) {
    const struct {
        const char* label;
        const char* scheme;
        std::string shown;
    } links[] = {{"MailAddress", "mailto", programValues().mailAddress},
                 {"WebPage", "https", programValues().webPage}};
    for (const auto& link : links) {
        TAboutBox box;
        box.setPrompter(&prompter);
        auto* label = box.findChild<QLabel*>(QString::fromLatin1(link.label));
        ASSERT_NE(nullptr, label) << link.label;
        const QString target = label->text().section(QLatin1Char('"'), 1, 1);
        QDesktopServices::setUrlHandler(QString::fromLatin1(link.scheme), &opened, "record");
        EXPECT_TRUE(box.openLink(target)) << link.label;
        openNothing(link.scheme);
        prompter.expectMessage("「" + link.shown +
                                   "」を開くプログラム（メールソフト、ブラウザ）を起動できません。",
                               "エラー", Buttons::Ok, Icon::Error);
        emit label->linkActivated(target);
        EXPECT_TRUE(prompter.done()) << link.label;
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(link.scheme));
    }
    ASSERT_EQ(2, opened.urls.size());
    EXPECT_EQ(QStringLiteral("mailto"), opened.urls[0].scheme());
}

TEST_F(HelpTest, AboutBox_IsCentredOnTheScreen) {
    QWidget opener;
    opener.setGeometry(10, 10, 100, 80);
    TAboutBox box(&opener);
    box.show();
    const QPoint centre = box.screen()->availableGeometry().center();
    EXPECT_LE((box.frameGeometry().center() - centre).manhattanLength(), 2);
}

TEST(Translations, StandardButtonsSpeakJapanese) {
    EXPECT_EQ(QStringLiteral("&Yes"), QCoreApplication::translate("QPlatformTheme", "&Yes"));
    ASSERT_TRUE(installQtTranslations(*QCoreApplication::instance())) << "qt6-translations-l10n installed?";
    for (const char* english : {"&Yes", "&No", "Cancel", "Save As"}) {
        const char* context = english == std::string("Save As") ? "QFileDialog" : "QPlatformTheme";
        EXPECT_NE(QString::fromLatin1(english), QCoreApplication::translate(context, english)) << english;
    }
    for (auto* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
}

} // namespace
} // namespace rovik

#include "test_help.moc"
