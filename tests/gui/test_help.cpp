// The help file is opened through the shell: the tests take the "file" scheme over and record
// every address that would have been handed to the user's program.
#include "app/Help.h"
#include "app/TForm1.h"
#include "settings/ProgramValues.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QShortcut>
#include <QWidget>
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
    OpenedUrls opened;
    std::string savedStartFolder;
};

TEST_F(HelpTest, Help_FileUrlPointsAtTheTopicSection) {
    EXPECT_EQ(helpFile(), helpFileUrl());
    EXPECT_EQ(helpFile(), helpFileUrl(0));
    EXPECT_EQ(helpFile(QStringLiteral("topic23")), helpFileUrl(23));
    EXPECT_EQ(QStringLiteral("topic9"), helpFileUrl(9).fragment());
}

TEST_F(HelpTest, Help_MenuItemOpensTheWholeFile) {
    openHelpFile();
    ASSERT_EQ(1, opened.urls.size());
    EXPECT_EQ(helpFile(), opened.urls[0]);
    EXPECT_FALSE(opened.urls[0].hasFragment());
}

TEST_F(HelpTest, Help_TopicOpensItsSection) {
    for (int topic : {23, 24, 25, 26, 10, 9}) {
        opened.urls.clear();
        openHelpTopic(topic);
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

} // namespace
} // namespace rovik

#include "test_help.moc"
