#include "gui/Hints.h"

#include <QAction>
#include <QWidget>

namespace rovik {

QString longHint(const QString& hint) {
    int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QString shortHint(const QString& hint) {
    int bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

// Qt delivers status tips to the window's QStatusBar on hover: that is the hint routing.
void setHint(QAction* action, const QString& hint) {
    action->setStatusTip(longHint(hint));
    action->setToolTip(shortHint(hint));
    action->setProperty("hint", hint);
}

void setHint(QWidget* widget, const QString& hint) {
    widget->setStatusTip(longHint(hint));
    if (!shortHint(hint).isEmpty()) widget->setToolTip(shortHint(hint));
    widget->setProperty("hint", hint);
}

} // namespace rovik
