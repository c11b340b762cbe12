#pragma once
// Hints have a short part and a long part separated by "|": the short part is the tooltip,
// the long part (or the whole hint without "|") goes to the active window's status line.
#include <QString>

class QAction;
class QWidget;

namespace rovik {
QString longHint(const QString& hint);
QString shortHint(const QString& hint);
void setHint(QAction* action, const QString& hint);
void setHint(QWidget* widget, const QString& hint);
}
