// The windows without a mouse, and what a screen reader is told while the keyboard moves.
#include "EditorWindowFixture.h"
#include "editor/RecordEditorWindow.h"
#include "editor/TitleEditorWindow.h"
#include "gui/AboutBox.h"
#include "gui/Announcer.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace rovik {

class LinkRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
    Q_INVOKABLE void record(const QUrl& url) { urls.append(url); }
};

namespace {

using test::u;

// Qt joins a screen reader's bus a moment after start; offscreen it never does.
bool accessibilityActive() {
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) return false;
    QElapsedTimer waited;
    waited.start();
    while (!QAccessible::isActive() && waited.elapsed() < 5000)
        QTest::qWait(50);
    return QAccessible::isActive();
}

// Every event the accessibility layer would hand to a screen reader, while the test runs.
struct AccessibleEvents {
    struct Seen {
        QAccessible::Event type;
        QObject* object;
    };
    static inline std::vector<Seen> seen;
    static void record(QAccessibleEvent* event) { seen.push_back({event->type(), event->object()}); }
    AccessibleEvents() {
        seen.clear();
        QAccessible::setActive(true);
        m_previous = QAccessible::installUpdateHandler(&record);
    }
    ~AccessibleEvents() {
        QAccessible::installUpdateHandler(m_previous);
        QAccessible::setActive(false);
    }
    int count(QAccessible::Event type, QObject* object) const {
        return static_cast<int>(std::count_if(
            seen.begin(), seen.end(), [&](const Seen& s) { return s.type == type && s.object == object; }));
    }
    QAccessible::UpdateHandler m_previous = nullptr;
};

class KeyboardTest : public test::EditorWindowTest {
protected:
    void showWithTwoTitles() {
        openText("a.txt", test::titleText("T", 2) + test::titleText("U", 3));
        form.show();
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

TEST_F(KeyboardTest, TabMovesBetweenTheTitlesAndTheRecords) {
    showWithTwoTitles();
    form.StringGrid2->setFocus();
    QTest::keyClick(form.StringGrid2, Qt::Key_Tab);
    EXPECT_EQ(form.StringGrid1, QApplication::focusWidget());
    QTest::keyClick(form.StringGrid1, Qt::Key_Tab);
    EXPECT_EQ(form.StringGrid2, QApplication::focusWidget());
}

// The records grid took the focus event of every title chosen in the list: a reader spoke the
// first question instead of the title. Qt hands events on only with a screen reader's bus: this
// runs in test_gui_atspi (under Xvfb with the AT-SPI bus).
TEST_F(KeyboardTest, AtSpi_OnlyTheFocusedGridReportsFocus) {
    if (!accessibilityActive()) GTEST_SKIP() << "no accessibility bus; run by test_gui_atspi";
    showWithTwoTitles();
    form.StringGrid2->setFocus();
    selectTitle(0);
    AccessibleEvents events;
    QTest::keyClick(form.StringGrid2, Qt::Key_Down);
    EXPECT_EQ(titleNames()[1], form.StringGrid2->currentIndex().data().toString());
    EXPECT_EQ(u("Uq1"), cell(0, 1));
    EXPECT_EQ(1, events.count(QAccessible::Focus, form.StringGrid2));
    EXPECT_EQ(0, events.count(QAccessible::Focus, form.StringGrid1));
}

// Orca speaks a notification when it appears: each text shows the announcer again.
TEST(AnnouncerEvents, AtSpi_EachTextMakesTheNotificationAppear) {
    if (!accessibilityActive()) GTEST_SKIP() << "no accessibility bus; run by test_gui_atspi";
    QWidget window;
    Announcer announcer(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    AccessibleEvents events;
    announcer.announce(QStringLiteral("見つかりません"));
    QApplication::processEvents();
    announcer.announce(QStringLiteral("見つかりません"));
    QApplication::processEvents();
    EXPECT_EQ(2, events.count(QAccessible::ObjectShow, &announcer));
}

TEST_F(KeyboardTest, EnterOnARecordOpensTheRecordEditor) {
    showWithTwoTitles();
    selectRecord(2);
    form.StringGrid1->setFocus();
    QString question;
    test::onNextModal([&](QWidget* dialog) {
        auto* editor = qobject_cast<TForm4*>(dialog);
        ASSERT_NE(nullptr, editor);
        question = editor->Memo1->toPlainText();
    });
    QTest::keyClick(form.StringGrid1, Qt::Key_Return);
    EXPECT_EQ(u("Tq2"), question);
}

TEST_F(KeyboardTest, MenuKeyOpensTheRecordsMenuAtTheCurrentRow) {
    showWithTwoTitles();
    selectRecord(2);
    form.StringGrid1->setFocus();
    auto* menu = form.findChild<QMenu*>(QStringLiteral("PopupMenu4"));
    ASSERT_NE(nullptr, menu);
    QTest::keyClick(form.StringGrid1, Qt::Key_Menu);
    EXPECT_TRUE(menu->isVisible());
    const QRect row = form.StringGrid1->visualRect(form.StringGrid1->currentIndex());
    EXPECT_EQ(form.StringGrid1->viewport()->mapToGlobal(row.center()), menu->pos());
    menu->close();
    EXPECT_EQ(2, recordRow());
}

TEST_F(KeyboardTest, EnterInTheTitleEditorRegisters) {
    openText("a.txt", test::titleText("T", 1));
    TForm5 editor(form.logic(), prompter, &form);
    editor.show();
    editor.Edit31->setFocus();
    editor.Edit31->setText(u("New"));
    QTest::keyClick(editor.Edit31, Qt::Key_Return);
    EXPECT_EQ(QDialog::Accepted, editor.result());
    EXPECT_EQ(QStringList{u("New")}, titleNames());
}

TEST(AboutBoxKeyboard, TabReachesTheLinksAndEnterOpensThem) {
    LinkRecorder opened;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &opened, "record");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &opened, "record");
    TAboutBox box;
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.OKButton->setFocus();
    for (QLabel* link : {box.MailAddress, box.WebPage}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(link, QApplication::focusWidget()) << link->objectName().toStdString();
        QTest::keyClick(link, Qt::Key_Return);
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    ASSERT_EQ(2, opened.urls.size());
    EXPECT_EQ(QStringLiteral("mailto"), opened.urls[0].scheme());
    EXPECT_EQ(QStringLiteral("https"), opened.urls[1].scheme());
    EXPECT_TRUE(box.isVisible()); // Enter on a link is not the dialog's OK
}

} // namespace
} // namespace rovik

#include "test_keyboard_and_focus.moc"
