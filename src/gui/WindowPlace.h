#pragma once
// Windows open centred on the screen, not on their owner.
#include <QScreen>
#include <QWidget>

namespace rovik {

inline void centreOnScreen(QWidget* window) {
    if (QScreen* screen = window->screen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

} // namespace rovik
