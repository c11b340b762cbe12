// The help file is handed to the desktop's opener: the tests put an "xdg-open" of their own first
// on PATH that records every address it is handed.
#include "FakeOpener.h"
#include "app/LauncherWindow.h"
#include "editor/ErrorLogDialog.h"
#include "gui/AboutBox.h"
#include "gui/Help.h"
#include "gui/Translations.h"
#include "import/ChoiceDisplayDialog.h"
#include "import/TabTextFormatDialog.h"
#include "quiz/QuizWindow.h"
#include "settings/ProgramValues.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QTranslator>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

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
        savedStartFolder = programValues().startFolder;
        programValues().startFolder = folder.path();
    }
    void TearDown() override { programValues().startFolder = savedStartFolder; }
    std::string helpFile() const { return folder.path() + "/rovikhelp.html"; }
    // The address a forward page handed to the opener sends the browser to.
    static QString forwardedTo(const QString& page) {
        const QString html = QString::fromStdString(test::TempFolder::read(page.toStdString()));
        return QRegularExpression(QStringLiteral("content=\"0; url=([^\"]*)\"")).match(html).captured(1);
    }
    static QShortcut* helpKeyOf(QWidget& window) {
        auto* key = window.findChild<QShortcut*>(QStringLiteral("HelpKey"));
        EXPECT_NE(nullptr, key);
        return key;
    }

    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
    test::FakeOpener opener;
    static void openNothing(const char* scheme) {
        static QObject nobody;
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &nobody, "noSuchMethod");
    }

    OpenedUrls opened;
    std::string savedStartFolder;
    test::ScriptedPrompter prompter;
};

TEST_F(HelpTest, Help_FileUrlPointsAtTheTopicSection) {
    const QString file = QStringLiteral("file://") + QString::fromStdString(helpFile());
    EXPECT_EQ(file, helpFileUrl().toString());
    EXPECT_EQ(file + QStringLiteral("#topic23"), helpFileUrl("topic23").toString());
}

TEST_F(HelpTest, Help_MenuItemHandsTheWholeFileToTheOpener) {
    EXPECT_TRUE(openHelpFile(prompter));
    EXPECT_EQ(QStringList{QString::fromStdString(helpFile())}, opener.handed());
}

TEST(HelpForwardPage, ForwardsToTheAddressWithItsFragment) {
    const std::string expected =
        "<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"UTF-8\">\n"
        "<meta http-equiv=\"refresh\" content=\"0; url=file:///a%20b/x.html?q=1&amp;r#topic9\">\n"
        "<title>Rovik ヘルプ</title>\n"
        "<script>location.replace(\"file:///a%20b/x.html?q=1&r#topic9\");</script>\n"
        "</head><body><p><a href=\"file:///a%20b/x.html?q=1&amp;r#topic9\">Rovik ヘルプ</a></p>"
        "</body></html>\n";
    EXPECT_EQ(expected, helpForwardPage(QUrl(QStringLiteral("file:///a b/x.html?q=1&r#topic9"))));
}

// xdg-open drops the fragment of a file address: the opener gets a page that carries it.
TEST_F(HelpTest, Help_F1TopicArrivesThroughAForwardPage) {
    const struct {
        const char* topic;
        std::string subfolder;
        const char* encoded;
    } cases[] = {
        {"topic24", "", ""},
        {"about", "", ""},
        {"topic10-title", "ヘルプ #1 100%", "/%E3%83%98%E3%83%AB%E3%83%97%20%231%20100%25"},
    };
    int calls = 0;
    for (const auto& c : cases) {
        const std::string start = folder.path() + (c.subfolder.empty() ? "" : "/" + c.subfolder);
        std::filesystem::create_directories(std::filesystem::u8path(start));
        programValues().startFolder = start;
        EXPECT_TRUE(openHelpTopic(c.topic, prompter)) << c.topic;
        const QStringList handed = opener.handed(++calls);
        ASSERT_EQ(calls, handed.size()) << c.topic;
        const QString page = handed.last();
        EXPECT_EQ(QString::fromStdString(opener.cacheFolder() + "/rovik/help-" + c.topic + ".html"), page);
        EXPECT_EQ(QStringLiteral("file://") + QString::fromStdString(folder.path()) +
                      QString::fromLatin1(c.encoded) + QStringLiteral("/rovikhelp.html#") +
                      QString::fromLatin1(c.topic),
                  forwardedTo(page))
            << c.topic;
    }
}

TEST_F(HelpTest, Help_F1KeyOfAWindowOpensItsTopic) {
    QWidget window;
    installHelpKey(&window, "topic25");
    QShortcut* key = helpKeyOf(window);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(QKeySequence(Qt::Key_F1), key->key());
    EXPECT_EQ(Qt::WindowShortcut, key->context());
    EXPECT_EQ(QStringLiteral("topic25"), window.property("helpTopic").toString());
    emit key->activated();
    const QStringList handed = opener.handed();
    ASSERT_EQ(1, handed.size());
    EXPECT_EQ(QStringLiteral("file://") + QString::fromStdString(helpFile()) + QStringLiteral("#topic25"),
              forwardedTo(handed[0]));
}

// The windows that had no F1: each has its own section (the help file test checks the ids exist).
TEST_F(HelpTest, Help_DialogsHaveTheirTopics) {
    const struct {
        const char* topic;
        std::function<std::unique_ptr<QWidget>()> make;
    } windows[] = {
        {"errorlog", [] { return std::make_unique<TForm9>(); }},
        {"import-text", [] { return std::make_unique<TForm10>(); }},
        {"import-5tq", [] { return std::make_unique<TForm11>(); }},
        {"about", [] { return std::make_unique<TAboutBox>(); }},
    };
    for (const auto& w : windows) {
        auto window = w.make();
        ASSERT_NE(nullptr, helpKeyOf(*window)) << w.topic;
        EXPECT_EQ(QString::fromLatin1(w.topic), window->property("helpTopic").toString());
    }
}

TEST_F(HelpTest, Help_LauncherOpensTheFileAndTopic23) {
    TForm1 form;
    auto* item = form.findChild<QAction*>(QStringLiteral("ReadMeR1"));
    ASSERT_NE(nullptr, item);
    item->trigger();
    ASSERT_EQ(1, opener.handed(1).size());
    QShortcut* key = helpKeyOf(form);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(QKeySequence(Qt::Key_F1), key->key());
    emit key->activated();
    const QStringList handed = opener.handed(2);
    ASSERT_EQ(2, handed.size());
    EXPECT_EQ(QString::fromStdString(helpFile()), handed[0]);
    EXPECT_EQ(QStringLiteral("file://") + QString::fromStdString(helpFile()) + QStringLiteral("#topic23"),
              forwardedTo(handed[1]));
}

// Every way to the help file names the file when no program could open it.
TEST_F(HelpTest, Help_NoProgramForTheFileSaysSoAndNamesIt) {
    test::NoOpener none;
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
        {"topic", [&] { EXPECT_FALSE(openHelpTopic("topic9", prompter)); }},
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
