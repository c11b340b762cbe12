#pragma once
// The help file: "rovikhelp.html" in the start folder, opened with the user's program for it.
// Each window's section carries the id "topic<N>" of its help topic number.
#include <QUrl>

class QWidget;

namespace rovik {

// File name of the help file in the start folder.
inline constexpr const char* kHelpFileName = "rovikhelp.html";

// The help file's address, pointing at the section of `topic` when it is above 0.
QUrl helpFileUrl(int topic = 0);

// The help menu items: opens the help file through the shell; whatever the shell reports stands.
void openHelpFile();

// F1: opens the help file at the section of `topic`.
void openHelpTopic(int topic);

// Binds F1 inside `window` (and its children) to openHelpTopic(topic).
void installHelpKey(QWidget* window, int topic);

} // namespace rovik
