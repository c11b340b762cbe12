#include "app/LauncherWindow.h"
#include "app/StartFolder.h"
#include "gui/Fonts.h"
#include "gui/ThemeColors.h"
#include "gui/Translations.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rovik"));
    rovik::installFontSubstitutions();
    rovik::installQtTranslations(app);
    if (qEnvironmentVariable("ROVIK_PALETTE") == QLatin1String("dark")) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(rovik::darkPalette());
    }
    // A file from the desktop's "open with", made absolute before the start folder becomes current.
#ifdef _WIN32
    const QStringList args = QApplication::arguments();
    const std::string givenFile = args.size() > 1 ? QFileInfo(args[1]).absoluteFilePath().toStdString() : "";
#else
    // The bytes as given: a name that is not UTF-8 (raw Shift-JIS) would not survive a QString.
    std::string givenFile;
    if (argc > 1) {
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(argv[1], error);
        givenFile = error ? std::string(argv[1]) : absolute.string();
    }
#endif
    std::string error;
    if (!rovik::enterUserStartFolder(QApplication::applicationDirPath().toStdString(), std::getenv("HOME"),
                                     &error))
        QMessageBox::warning(nullptr, QStringLiteral("エラー"),
                             QStringLiteral("開始フォルダを用意できません。\n") +
                                 QString::fromStdString(error));
    rovik::TForm1 launcher;
    launcher.show();
    if (!givenFile.empty())
        QTimer::singleShot(0, &launcher, [&launcher, givenFile] { launcher.openDataList(givenFile); });
    return app.exec();
}
