#pragma once
// The help file: "rovikhelp.html" in the start folder, opened with the user's program for it.
// Each window's section carries an id (its help topic, e.g. "topic24"), which F1 opens.
#include <QUrl>

#include <functional>
#include <string>

class QWidget;

namespace rovik {

class Prompter;

// File name of the help file in the start folder.
inline constexpr const char* kHelpFileName = "rovikhelp.html";

// The help file's address, pointing at the section `topic` when one is given.
QUrl helpFileUrl(const std::string& topic = {});

// The help menu items: opens the help file through the shell. False, after a message naming
// the help file, when no program could be started for it.
bool openHelpFile(Prompter& prompter);

// F1: opens the help file at the section `topic`; failures as openHelpFile. Openers drop the
// #fragment of a file address, so a small page in the user's cache forwards to the section.
bool openHelpTopic(const std::string& topic, Prompter& prompter);

// The page that forwards to `target` (a file address with its fragment).
std::string helpForwardPage(const QUrl& target);

// The message shown when the help file could not be opened.
std::string helpNotShownText();

// Binds F1 inside `window` (and its children) to openHelpTopic(topic). Failures are told through
// `prompter` when given, else in a message box over the window.
void installHelpKey(QWidget* window, const std::string& topic, std::function<Prompter&()> prompter = {});

} // namespace rovik
