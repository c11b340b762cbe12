#pragma once
// Colours the windows name (the launcher's blue note, the about box's green): kept in a light
// palette, and taken from the palette where they would not be readable (a dark theme).
#include <QColor>
#include <QPalette>

class QWidget;

namespace rovik {

// True when the widget's palette draws dark text on a light window.
bool isLightPalette(const QPalette& palette);

// `named` in a light palette; otherwise the palette's colour for `role`.
QColor themeColor(const QWidget* widget, const QColor& named, QPalette::ColorRole role);

// A dark palette for the Fusion style: ROVIK_PALETTE=dark starts the program with it.
QPalette darkPalette();

} // namespace rovik
