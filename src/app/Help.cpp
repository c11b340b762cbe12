#include "app/Help.h"

#include "platform/Shell.h"
#include "settings/ProgramValues.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace rovik {

QUrl helpFileUrl(int topic) {
    const std::string path = startFolderFile(programValues(), kHelpFileName);
    QUrl url = QUrl::fromLocalFile(QFileInfo(QString::fromStdString(path)).absoluteFilePath());
    if (topic > 0) url.setFragment(QStringLiteral("topic%1").arg(topic));
    return url;
}

void openHelpFile() {
    shellOpen(startFolderFile(programValues(), kHelpFileName));
}

void openHelpTopic(int topic) {
    QDesktopServices::openUrl(helpFileUrl(topic));
}

void installHelpKey(QWidget* window, int topic) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), window);
    shortcut->setObjectName(QStringLiteral("HelpKey"));
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [topic] { openHelpTopic(topic); });
}

} // namespace rovik
