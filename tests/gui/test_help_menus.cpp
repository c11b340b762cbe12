// Each window's help section names every item of its menus, as the window shows it: a new menu
// item cannot be forgotten in the help.
#include "EditorWindowFixture.h"
#include "app/LauncherWindow.h"
#include "editor/RecordEditorWindow.h"
#include "editor/TitleEditorWindow.h"
#include "quiz/QuizWindow.h"
#include "support/TempFolder.h"

#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace rovik {
namespace {

// The words of the help file's section `id` (to the next section), without tags.
QString helpSectionText(const QString& id) {
    const QString html = QString::fromStdString(
        test::TempFolder::read(std::string(ROVIK_FIXTURES) + "/../../resources/start/rovikhelp.html"));
    const int start = html.indexOf(QStringLiteral("<h2 id=\"%1\"").arg(id));
    if (start < 0) return {};
    QString section = html.mid(start, html.indexOf(QStringLiteral("<h2"), start + 1) - start);
    return section.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
}

// Every caption of the window's menu bar: the menus and their items (a submenu by its own caption).
QStringList menuCaptions(QWidget* window) {
    QStringList captions;
    auto* bar = window->findChild<QMenuBar*>();
    if (!bar) return captions;
    for (QAction* top : bar->actions()) {
        captions << top->text();
        if (!top->menu()) continue;
        for (QAction* item : top->menu()->actions())
            if (!item->isSeparator() && !item->text().isEmpty()) captions << item->text();
    }
    for (QString& caption : captions)
        caption.remove(QLatin1Char('&'));
    return captions;
}

void expectHelpNamesMenus(QWidget* window, const QString& section) {
    const QString text = helpSectionText(section);
    ASSERT_FALSE(text.isEmpty()) << "rovikhelp.html has no section id=\"" << section.toStdString() << "\"";
    for (const QString& caption : menuCaptions(window))
        EXPECT_TRUE(text.contains(caption))
            << "menu item \"" << caption.toStdString() << "\" of " << window->objectName().toStdString()
            << " is missing from rovikhelp.html, section #" << section.toStdString();
}

using HelpMenusTest = test::EditorWindowTest;

TEST_F(HelpMenusTest, EveryMenuItemIsInItsWindowsHelpSection) {
    TForm1 launcher;
    expectHelpNamesMenus(&launcher, QStringLiteral("topic23"));
    TForm2 quiz;
    expectHelpNamesMenus(&quiz, QStringLiteral("topic10"));
    openText("a.txt", test::titleText("T", 1));
    expectHelpNamesMenus(&form, QStringLiteral("topic24"));
    selectRecord(1);
    form.logic().setCurrentRecordRow(1);
    TForm4 records(form.logic(), prompter, &form);
    expectHelpNamesMenus(&records, QStringLiteral("topic25"));
    TForm5 titles(form.logic(), prompter, &form);
    expectHelpNamesMenus(&titles, QStringLiteral("topic26"));
}

} // namespace
} // namespace rovik
