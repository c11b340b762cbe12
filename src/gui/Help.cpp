#include "gui/Help.h"

#include "gui/QtPrompter.h"
#include "platform/Prompter.h"
#include "settings/ProgramValues.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QProcess>
#include <QSaveFile>
#include <QShortcut>
#include <QStandardPaths>
#include <QWidget>

namespace rovik {

QUrl helpFileUrl(const std::string& topic) {
    const std::string path = startFolderFile(programValues(), kHelpFileName);
    QUrl url = QUrl::fromLocalFile(QFileInfo(QString::fromStdString(path)).absoluteFilePath());
    if (!topic.empty()) url.setFragment(QString::fromStdString(topic));
    return url;
}

std::string helpNotShownText() {
    const std::string path = startFolderFile(programValues(), kHelpFileName);
    return "ヘルプを表示できません。ヘルプファイルを開くプログラムを起動できませんでした。\n" + path;
}

std::string helpForwardPage(const QUrl& target) {
    // Fully encoded, the address holds no quote, angle bracket or backslash; only & needs escaping.
    QString address = target.toString(QUrl::FullyEncoded);
    const QString inHtml = address.toHtmlEscaped();
    const QString page = QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\"><head><meta charset=\"UTF-8\">\n"
                                        "<meta http-equiv=\"refresh\" content=\"0; url=%1\">\n"
                                        "<title>Rovik ヘルプ</title>\n"
                                        "<script>location.replace(\"%2\");</script>\n"
                                        "</head><body><p><a href=\"%1\">Rovik ヘルプ</a></p></body></html>\n")
                             .arg(inHtml, address);
    return page.toStdString();
}

namespace {

// On other desktops than Windows and macOS the desktop's opener is xdg-open; handing it the file
// ourselves works where Qt finds no desktop to ask.
bool handToOpener(const QString& file) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (QProcess::startDetached(QStringLiteral("xdg-open"), {file})) return true;
#endif
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

bool openOrTell(const QString& file, Prompter& prompter) {
    if (handToOpener(file)) return true;
    prompter.error(helpNotShownText());
    return false;
}

// Per user, so no one else can swap the page; written whole, so an opener never reads half of it.
QString writeForwardPage(const std::string& topic) {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/rovik");
    if (!QDir().mkpath(folder)) return {};
    QSaveFile file(folder + QStringLiteral("/help-%1.html").arg(QString::fromStdString(topic)));
    if (!file.open(QIODevice::WriteOnly)) return {};
    const std::string page = helpForwardPage(helpFileUrl(topic));
    file.write(page.data(), static_cast<qint64>(page.size()));
    return file.commit() ? file.fileName() : QString();
}

} // namespace

bool openHelpFile(Prompter& prompter) {
    return openOrTell(helpFileUrl().toLocalFile(), prompter);
}

bool openHelpTopic(const std::string& topic, Prompter& prompter) {
    const QString forward = writeForwardPage(topic);
    // Without a page the file at its top is still better than nothing.
    return openOrTell(forward.isEmpty() ? helpFileUrl().toLocalFile() : forward, prompter);
}

void installHelpKey(QWidget* window, const std::string& topic, std::function<Prompter&()> prompter) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_F1), window);
    shortcut->setObjectName(QStringLiteral("HelpKey"));
    shortcut->setContext(Qt::WindowShortcut);
    window->setProperty("helpTopic", QString::fromStdString(topic));
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
