#pragma once
// The help file: "rovikhelp.html" in the start folder, opened with the user's program for it.
// Each window's section carries the id "topic<N>" of its help topic number.
#include <QUrl>

#include <functional>
#include <string>

class QWidget;

namespace rovik {

class Prompter;

// File name of the help file in the start folder.
inline constexpr const char* kHelpFileName = "rovikhelp.html";

// The help file's address, pointing at the section of `topic` when it is above 0.
QUrl helpFileUrl(int topic = 0);

// The help menu items: opens the help file through the shell. False, after a message naming
// the help file, when no program could be started for it.
bool openHelpFile(Prompter& prompter);

// F1: opens the help file at the section of `topic`; failures as openHelpFile.
bool openHelpTopic(int topic, Prompter& prompter);

// The message shown when the help file could not be opened.
std::string helpNotShownText();

// Binds F1 inside `window` (and its children) to openHelpTopic(topic). Failures are told through
// `prompter` when given, else in a message box over the window.
void installHelpKey(QWidget* window, int topic, std::function<Prompter&()> prompter = {});

} // namespace rovik
