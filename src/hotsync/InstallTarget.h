#pragma once
// The places a finished PDB or PRC can go from this machine: Palm Desktop (registry or its
// stand-in file), Palm Desktop under Wine, J-Pilot's install queue, and pilot-xfer directly.
// Each one answers with what it did, in words the user can act on.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rovik {

enum class TargetKind { PalmDesktop, Wine, JPilot, PilotXfer };

// Detection order, which is also the order of the settings dialog and of `rovik-cli targets`.
extern const TargetKind kTargetKinds[4];

// "palm-desktop", "wine", "jpilot", "pilot-xfer": the words of the settings file and the command line.
const char* targetKeyword(TargetKind kind);
std::optional<TargetKind> targetKindFromKeyword(const std::string& keyword);
// What the user reads: "Palm Desktop", "Palm Desktop (Wine)", "J-Pilot", "pilot-xfer".
const char* targetTitle(TargetKind kind);

// A HotSync user of users.dat; name and folder are CP932 bytes as Palm Desktop stores them.
struct TargetUser {
    std::string name;
    std::string folder;
    std::uint32_t id = 0;
};

struct TargetOutcome {
    bool ok = false;
    bool installedNow = false; // pilot-xfer: on the handheld already, not reserved
    std::string text;          // UTF-8: what was done, or which step failed and why
    bool stopped = false;      // ended by the user's 中止, who has been told so
};

// True when `text` holds a byte below 0x20 or 0x7F (a line end, a tab, an escape).
bool hasControlCharacter(const std::string& text);
// `text` with each control character written as \n, \r, \t or \xNN, for messages and lists.
std::string visibleText(const std::string& text);

// Empty when the install destination `path` (links followed) stays in `folder`, the folder the
// install belongs in; otherwise the message naming where a link leads. Nothing is written there.
std::string linkLeavesFolder(const std::string& path, const std::string& folder);

class InstallTarget {
public:
    virtual ~InstallTarget() = default;
    virtual TargetKind kind() const = 0;
    // UTF-8: the folder, file or program this target uses, for lists and messages.
    virtual std::string where() const = 0;
    // Palm Desktop keeps several HotSync users; J-Pilot and pilot-xfer serve one handheld.
    virtual bool hasUsers() const { return false; }
    // The users and the one HotSync used last; empty with `problem` set when they cannot be read.
    virtual std::vector<TargetUser> users(int& preselected, std::string& problem) {
        preselected = -1;
        problem.clear();
        return {};
    }
    // Reserves or installs the finished file `file` under the name `fileName` (no folder part).
    // `user` is one of users() for targets that have users, else ignored.
    virtual TargetOutcome install(const std::string& file, const std::string& fileName,
                                  const TargetUser* user) = 0;
};

} // namespace rovik
