#pragma once
// The ways the windows open the install reservation dialog, and the 起動 menu items.
#include "hotsync/InstallReservation.h"

#include <string>

class QWidget;

namespace rovik {

class Prompter;
struct QuestionSet;

struct InstallOutcome {
    bool done = false;      // the file was copied into the install folder and flagged
    std::string statusText; // for the opener's status line when done, else empty
    bool failed = false;    // an install was tried and did not complete
};

// The launcher's Button3/Button4: a ready-made file of the start folder, fixed database name.
InstallOutcome reserveReadyMadeInstall(QWidget* parent, const InstallOpening& opening,
                                       const std::string& startFolder, Prompter& prompter);

// The data list window's "PDBｲﾝｽﾄｰﾙ(&P)...": the name box starts with the base name of
// `currentFileName` and is editable; `writePdb` writes the question set to the chosen path.
InstallOutcome reservePdbInstall(QWidget* parent, const std::string& startFolder,
                                 const std::string& currentFileName, const WritePdbFunction& writePdb,
                                 Prompter& prompter);
// The same with WritePdb over `set`.
InstallOutcome reservePdbInstall(QWidget* parent, QuestionSet& set, const std::string& startFolder,
                                 const std::string& currentFileName, Prompter& prompter);

// The 起動 menu items "HotSync(&H)" and "ｲﾝｽﾄｰﾙﾂｰﾙ(&I)...": start Palm's programs detached.
// Under Wine they start with wine; with J-Pilot chosen J-Pilot starts; with no target found
// one message says what to set up. Finding the target waits under a note over `parent`.
void startHotSyncFrom(QWidget* parent, Prompter& prompter);
void startInstallToolFrom(QWidget* parent, Prompter& prompter);

} // namespace rovik
