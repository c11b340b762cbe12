#pragma once
// Finding the install target for a window: under a note, since detection may start Wine, and
// with one message that says what is missing and offers 転送先の設定.
#include "hotsync/TargetChoice.h"

class QWidget;

namespace rovik {

class ProgramWait;
class Prompter;

// The note's text while targets are looked for.
extern const char* const kCheckingNote;

// The target, or null after that message or after 中止. Its programs are the ones `wait` stops.
std::unique_ptr<InstallTarget> resolveTarget(QWidget* parent, const std::string& startFolder,
                                             Prompter& prompter, ProgramWait& wait, TargetPurpose purpose);

} // namespace rovik
