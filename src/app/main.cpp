#include "app/TForm1.h"
#include "app/Translations.h"
#include "platform/Fonts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rovik"));
    rovik::installFontSubstitutions();
    rovik::installQtTranslations(app);
    rovik::TForm1 launcher;
    launcher.show();
    return app.exec();
}
