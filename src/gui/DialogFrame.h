#pragma once
// The frame the two editors share: a fixed dialog with system menu and minimise box, the window
// font, a menu bar above a client area of the old pixel size, and a status line at its bottom.
#include <QDialog>
#include <QMenuBar>
#include <QStatusBar>

namespace rovik {

constexpr int kStatusLineHeight = 19;

inline void setupEditorDialog(QDialog* dialog, const char* name) {
    dialog->setObjectName(QLatin1String(name));
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    dialog->setFont(font);
}

// Puts the client area (of the old client size, status line included) below the menu bar and
// fixes the dialog's size around both.
inline QWidget* addClientArea(QDialog* dialog, QMenuBar* menuBar, QStatusBar* statusBar, int width,
                              int height) {
    const int menuHeight = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, width, menuHeight);
    auto* client = new QWidget(dialog);
    client->setGeometry(0, menuHeight, width, height);
    statusBar->setParent(client);
    statusBar->setSizeGripEnabled(false);
    statusBar->setGeometry(0, height - kStatusLineHeight, width, kStatusLineHeight);
    dialog->setFixedSize(width, menuHeight + height);
    return client;
}

} // namespace rovik
