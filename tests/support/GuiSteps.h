#pragma once
// Steps widget tests take the way a user would.
#include <QPoint>
#include <QStringList>
#include <functional>

class QMenu;
class QWidget;

namespace rovik::test {

// Runs `act` on the next modal dialog once it is shown; closes it afterwards if still open.
void onNextModalDialog(std::function<void(QWidget*)> act);

// A left click (press and release) at `at` in the widget's coordinates.
void click(QWidget* widget, QPoint at);

// A menu's entries in order by object name: "-" for a separator, a submenu by its menu's name.
QStringList menuSequence(const QMenu* menu);

} // namespace rovik::test
