#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace rovik {

bool shellOpen(const std::string& target) {
    QString text = QString::fromStdString(target);
    QUrl url = text.contains(QStringLiteral("://")) || text.startsWith(QStringLiteral("mailto:"))
                   ? QUrl(text)
                   : QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

bool startDetached(const std::string& program, const std::string& argument) {
    QStringList args;
    if (!argument.empty()) args << QString::fromStdString(argument);
    return QProcess::startDetached(QString::fromStdString(program), args);
}

} // namespace rovik
