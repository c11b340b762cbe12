#pragma once
// What the install reservation dialog decides: reading the users at start-up, the chosen user,
// and installing a ready-made file or a freshly written PDB into that user's install folder.
#include "hotsync/InstallTarget.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rovik {

class Prompter;

// Filled by the opening window, read back after the dialog closed.
struct InstallRequest {
    std::string source; // on entry a ready-made file name; afterwards the full path copied from
    std::string target; // on entry the same name; afterwards the full path in the install folder
    bool readyMade = false;
    bool done = false;         // set when the file was copied and flagged; the opening window clears it
    bool failed = false;       // set when an install was tried and did not complete
    std::string doneText;      // another target's own words for what it did (empty for Palm Desktop)
    bool installedNow = false; // pilot-xfer: on the handheld already
};

// Runs a target's install away from the window's event loop and waits for it (pilot-xfer waits
// for the HotSync button); without one it runs in place. An outcome marked stopped was ended by
// the user, who has been told.
using RunOutside = std::function<TargetOutcome(const std::function<TargetOutcome()>& install)>;

// How each opening fills the dialog.
struct InstallOpening {
    const char* fileName;     // ready-made file in the start folder; empty for a written PDB
    const char* databaseName; // text of the name box
    const char* explanation;  // Label1
};
extern const InstallOpening kRovikOpening;
extern const InstallOpening kSampleDataOpening;
extern const char* const kPdbExplanation;
// pilot-xfer installs at once: every opening's explanation says so instead.
extern const char* const kPilotXferExplanation;

// The status line text after a successful reservation of `fileName`.
std::string installStatusText(const std::string& fileName);

// Writes the question set as a PDB to a path; 0 on success (the data list window passes WritePdb).
using WritePdbFunction = std::function<int(const std::string& path)>;

class InstallReservation {
public:
    InstallReservation(InstallRequest& request, std::string startFolder, Prompter& prompter,
                       WritePdbFunction writePdb = {});

    // Another target than Palm Desktop of this system: its users (or none), its install.
    // Call before FormCreate; the target outlives this object.
    void useTarget(InstallTarget* target, RunOutside runOutside = {});
    // True when the user box shows the target instead of users (J-Pilot, pilot-xfer).
    bool showsTargetOnly() const { return m_target && !m_target->hasUsers(); }
    // UTF-8: the target and where it is, for the user box.
    std::string targetLabel() const;

    // Start-up: Palm Desktop folder, last-user check, users, preselected user's install folder.
    void FormCreate();
    // A new entry of the user box was chosen.
    void ComboBox1Change(int index);
    // ｲﾝｽﾄｰﾙ with the name box text (UTF-8). True when the dialog closes; false keeps it open
    // after a refused name so the user can correct it.
    bool Button1Click(const std::string& databaseName);

    // The user box: filled only when start-up went through; names are CP932.
    bool showsUsers() const { return m_showsUsers; }
    const std::vector<std::string>& userNames() const { return m_names; }
    const std::vector<std::string>& userFolders() const { return m_folders; }
    const std::vector<std::string>& userIds() const { return m_ids; }
    int chosenIndex() const { return m_chosen; }
    const std::string& chosenUserName() const { return m_userName; }
    std::uint32_t chosenUserId() const { return m_userId; }
    const std::string& palmDesktopFolder() const { return m_palmFolder; }
    const std::string& installFolder() const { return m_installFolder; }

private:
    void choose(int index);
    std::string userInstallFolder() const;
    bool makeInstallFolder();
    bool refuseUnsafeUserFolder();
    bool refuseDatabaseName(const std::string& databaseName);
    bool refuseMissingReadyMade();
    void failInstall(const std::string& text);
    bool writeFreshPdb();
    bool usesOtherTarget() const { return m_target && m_target->kind() != TargetKind::PalmDesktop; }
    void formCreateForTarget();
    void installThroughTarget(const std::string& targetName);

    InstallRequest& m_request;
    std::string m_startFolder;
    Prompter& m_prompter;
    WritePdbFunction m_writePdb;

    std::vector<std::string> m_names, m_folders, m_ids;
    bool m_showsUsers = false;
    int m_chosen = -1;
    std::string m_palmFolder, m_userName, m_userFolder, m_installFolder;
    std::uint32_t m_userId = 0;
    InstallTarget* m_target = nullptr;
    RunOutside m_runOutside;
};

} // namespace rovik
