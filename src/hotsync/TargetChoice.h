#pragma once
// Which install target to use: the user's choice (a file of its own next to Rovik.ini), what this
// machine offers, and detection in the order Palm Desktop, Wine, J-Pilot, pilot-xfer.
#include "hotsync/InstallTarget.h"
#include "hotsync/RunProgram.h"

#include <memory>
#include <optional>

namespace rovik {

struct TargetSettings {
    std::optional<TargetKind> target; // nothing: detect
    std::string port = "usb:";        // pilot-xfer's -p
};

// Empty when pilot-xfer can take `port`: "usb:" or "net:" (each with an optional address) or a
// device under /dev/, without spaces or control characters; otherwise the message saying so.
std::string portProblem(const std::string& port);

// "Target=auto|palm-desktop|wine|jpilot|pilot-xfer" and "Port=..." lines; unknown lines and
// values (a port portProblem refuses) are ignored, so a damaged file falls back to detection.
TargetSettings parseTargetSettings(const std::string& bytes);
std::string formatTargetSettings(const TargetSettings& settings);
// The settings file's `bytes` with our lines replaced by `settings`; other lines are kept.
std::string withTargetSettings(const std::string& bytes, const TargetSettings& settings);

// What detection looks at; fromProcess() reads it from this process's environment.
struct TargetEnvironment {
    std::string home;         // $HOME
    std::string winePrefix;   // $WINEPREFIX, else ~/.wine
    std::string jpilotHome;   // $JPILOT_HOME, else $HOME
    std::string pathList;     // $PATH
    std::string keepFolder;   // where J-Pilot's reserved files wait: <start folder>/Install
    std::string settingsFile; // $XDG_CONFIG_HOME/rovik/InstallTarget.ini or ~/.config/rovik/...
    RunProgram run = runProgram;

    static TargetEnvironment fromProcess(const std::string& startFolder);
    std::string jpilotQueue() const; // <jpilotHome>/.jpilot/jpilot.install
};

// Reads the settings file; a missing or unreadable one gives the defaults.
TargetSettings loadTargetSettings(const TargetEnvironment& env);
// Read, changed and replaced under the settings file's lock; false with `problem` set (a port
// portProblem refuses is never saved).
bool saveTargetSettings(const TargetEnvironment& env, const TargetSettings& settings, std::string& problem);

struct TargetFinding {
    TargetKind kind;
    bool found = false;
    std::string detail; // UTF-8: where it was found, or what was looked for
};

// Looks for every target without starting any program (Wine's prefix is found in its user.reg).
std::vector<TargetFinding> findTargets(const TargetEnvironment& env);

// The target of `kind` whether found or not (a forced choice), or null with `problem` when its
// program is missing.
std::unique_ptr<InstallTarget> makeTarget(TargetKind kind, const TargetEnvironment& env,
                                          const TargetSettings& settings, std::string& problem);

// What a target is looked for: an install, or starting its own program (HotSync, the install tool).
enum class TargetPurpose { Install, Start };

// The chosen target, or the first one found when the choice is auto; null with `problem` (the
// message that says what was looked for and how to set each up) when there is none.
std::unique_ptr<InstallTarget> chooseTarget(const TargetEnvironment& env, const TargetSettings& settings,
                                            std::string& problem,
                                            TargetPurpose purpose = TargetPurpose::Install);

// The one message shown when no target is found.
std::string noTargetMessage(const std::vector<TargetFinding>& findings,
                            TargetPurpose purpose = TargetPurpose::Install);

} // namespace rovik
