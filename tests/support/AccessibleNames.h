#pragma once
// What a screen reader finds in a window: walks its accessibility tree and names every focusable
// control whose accessible name is empty, is only its object name, or is not the text of the
// label tied to it (a QLabel buddy). Give it any top-level window.
#include <QStringList>

class QWidget;

namespace rovik::test {

// One line per fault ("objectName (role): what is wrong"); empty when every control is named.
QStringList unnamedControls(QWidget* window);

// The accessible name of a widget, as a screen reader gets it.
QString accessibleName(QWidget* widget);

} // namespace rovik::test
