// What a screen reader finds: every focusable control of every window has a name, and a field with
// a label is called by its label's text.
#include "EditorWindowFixture.h"
#include "app/LauncherWindow.h"
#include "editor/ErrorLogDialog.h"
#include "editor/FindDialog.h"
#include "editor/RecordEditorWindow.h"
#include "editor/TitleEditorWindow.h"
#include "gui/AboutBox.h"
#include "gui/Announcer.h"
#include "hotsync/InstallDialog.h"
#include "hotsync/PalmDesktopFixture.h"
#include "hotsync/TargetChoice.h"
#include "hotsync/TargetSettingsDialog.h"
#include "import/ChoiceDisplayDialog.h"
#include "import/TabTextFormatDialog.h"
#include "quiz/LineSettingsDialog.h"
#include "quiz/QuizWindow.h"
#include "quiz/TitleSelectDialog.h"
#include "support/AccessibleNames.h"
#ifdef ROVIK_HISTORY
#include "quiz/StatisticsWindow.h"
#endif
#ifdef ROVIK_DECKS
#include "import/DeckDialogs.h"
#endif

#include <QAccessible>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace rovik {
namespace {

void expectAllNamed(QWidget* window) {
    ASSERT_NE(nullptr, window);
    const QStringList faults = test::unnamedControls(window);
    EXPECT_TRUE(faults.isEmpty()) << window->objectName().toStdString() << ":\n  "
                                  << faults.join(QStringLiteral("\n  ")).toStdString();
}

using AccessibleNamesTest = test::EditorWindowTest;

TEST_F(AccessibleNamesTest, DataListAndItsEditors) {
    openText("a.txt", test::titleText("T", 2));
    expectAllNamed(&form);
    selectRecord(1);
    form.logic().setCurrentRecordRow(1);
    TForm4 records(form.logic(), prompter, &form);
    expectAllNamed(&records);
    TForm5 titles(form.logic(), prompter, &form);
    expectAllNamed(&titles);
    form.Replace1->trigger();
    expectAllNamed(form.findDialog());
}

// The status line answers what the user just did: it is said as well as shown.
TEST_F(AccessibleNamesTest, DataListStatusResultsAreAnnounced) {
    openText("a.txt", test::titleText("T", 2));
    auto* announcer = form.findChild<Announcer*>();
    ASSERT_NE(nullptr, announcer);
    form.Find1->trigger();
    form.findDialog()->FindText->setText(test::u("none"));
    form.findDialog()->FindNextButton->click();
    QApplication::processEvents();
    EXPECT_EQ(test::u("見つかりません"), announcer->text());
}

TEST(Announcer, TextsOfOneTurnAreSaidTogetherAsANotification) {
    QWidget window;
    Announcer announcer(&window);
    announcer.announce(QStringLiteral("(1/2)"));
    announcer.announce(QStringLiteral("  "));
    announcer.announce(QStringLiteral("Q1"));
    EXPECT_EQ(QString(), announcer.text());
    QApplication::processEvents();
    EXPECT_EQ(QStringLiteral("(1/2) Q1"), announcer.text());
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(&announcer);
    ASSERT_NE(nullptr, node);
    EXPECT_EQ(QAccessible::Notification, node->role());
    EXPECT_EQ(QStringLiteral("(1/2) Q1"), node->text(QAccessible::Name));
    EXPECT_EQ(Qt::NoFocus, announcer.focusPolicy());
    EXPECT_EQ(QSize(0, 0), announcer.size());
}

TEST(AccessibleNames, QuizWindows) {
    TForm2 quiz;
    expectAllNamed(&quiz);
    TForm6 titles({"T"});
    expectAllNamed(&titles);
    TForm8 lines(3, 3);
    expectAllNamed(&lines);
}

TEST(AccessibleNames, LauncherAndSmallDialogs) {
    TForm1 launcher;
    expectAllNamed(&launcher);
    TAboutBox about;
    expectAllNamed(&about);
    TForm9 log;
    expectAllNamed(&log);
    TForm10 format;
    expectAllNamed(&format);
    TForm11 choice;
    expectAllNamed(&choice);
}

TEST(AccessibleNames, InstallDialogs) {
    test::PalmDesktop desk;
    desk.writeRegistry();
    desk.writeUsers(test::PalmDesktop::threeUsers());
    test::ScriptedPrompter prompter;
    InstallRequest request;
    request.readyMade = false;
    request.source = request.target = "Rovik.pdb";
    TForm7 install(request, desk.start, prompter);
    expectAllNamed(&install);
    TargetEnvironment env = TargetEnvironment::fromProcess(desk.start);
    TargetSettingsDialog settings(env, findTargets(env), prompter);
    expectAllNamed(&settings);
}

#ifdef ROVIK_HISTORY
TEST(AccessibleNames, StatisticsWindow) {
    StatisticsWindow window({{"英単語"}, 0, false, -1});
    expectAllNamed(&window);
}
#endif

#ifdef ROVIK_DECKS
TEST(AccessibleNames, CsvImportDialog) {
    CsvImportDialog dialog("question,answer\n犬,dog\n", nullptr);
    expectAllNamed(&dialog);
}
#endif

} // namespace
} // namespace rovik
