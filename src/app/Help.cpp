#include "app/Help.h"

#include "platform/Prompter.h"
#include "platform/QtPrompter.h"
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

std::string helpNotShownText() {
    const std::string path = startFolderFile(programValues(), kHelpFileName);
    return "ヘルプを表示できません。ヘルプファイルを開くプログラムを起動できませんでした。\n" + path;
}

namespace {
bool openOrTell(const QUrl& url, Prompter& prompter) {
    if (QDesktopServices::openUrl(url)) return true;
    prompter.error(helpNotShownText());
    return false;
}
} // namespace

bool openHelpFile(Prompter& prompter) {
    return openOrTell(helpFileUrl(), prompter);
}

bool openHelpTopic(int topic, Prompter& prompter) {
    return openOrTell(helpFileUrl(topic), prompter);
}

void installHelpKey(QWidget* window, int topic, std::function<Prompter&()> prompter) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), window);
    shortcut->setObjectName(QStringLiteral("HelpKey"));
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [window, topic, prompter] {
        if (prompter) {
            openHelpTopic(topic, prompter());
            return;
        }
        QtPrompter own(window);
        openHelpTopic(topic, own);
    });
}

} // namespace rovik
