#pragma once
// Palm Desktop of the current user: its folder, last HotSync user, user list (users.dat or
// Palm's user-data library), install flags, and starting its HotSync manager and install tool.
// Names and sub-folder names of users.dat are CP932 bytes as Palm Desktop stores them; registry
// strings (folders, the last user's name) are UTF-8, as the registry layer gives them.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace rovik {

class Prompter;

extern const char* const kCoreKey;        // "Software\\U.S. Robotics\\Pilot Desktop\\Core"
extern const char* const kPreferencesKey; // "...\\Preferences"
extern const char* const kHotSyncManagerKey;

// Starts a program detached and never waits; true when it started. The GUI passes startDetached.
using StartProcess = std::function<bool(const std::string& program)>;

// The Palm Desktop folder (native path), or empty. Shows the registry messages and the empty
// "Starting Hotsync error" box when the Core key or its "HotSyncPath" is missing.
std::string GetPalmDesktopPath(Prompter& prompter);

// The last HotSync user's name (UTF-8), or empty. Shows nothing.
std::string GetLastUserName();

// 0 when `lastUser` (UTF-8) occurs, as CP932 like every name there, in the first 1024 bytes of
// the users file beyond offset 5; -1 after a message otherwise.
int CheckLastUser(const std::string& usersFile, const std::string& lastUser, Prompter& prompter);

// Clears and fills the three parallel lists and returns the preselected index; -1 when the
// users file is missing (lists unchanged) or cannot be opened (lists empty, after a message).
int ReadHotSyncUsers(const std::string& usersFile, std::vector<std::string>& names,
                     std::vector<std::string>& folders, std::vector<std::string>& ids, Prompter& prompter);

// The users.dat reading of ReadHotSyncUsers on its own, over the file's bytes.
int ParseUsersDat(const std::string& bytes, std::vector<std::string>& names,
                  std::vector<std::string>& folders, std::vector<std::string>& ids);

// Writes "Install<id>"=dword:1 under the HotSync Manager key; "Registryを開けません" when it is missing.
// A failed write shows "Registryに書き込めません". True when the flag was written.
bool SetInstallFlag(std::uint32_t userId, Prompter& prompter);

// Start hotsync.exe and Instapp.exe of the Palm Desktop folder. False, after a message naming
// the program, when it could not be started.
bool StartHotSync(Prompter& prompter, const StartProcess& start);
bool StartInstallTool(Prompter& prompter, const StartProcess& start);

// Palm Desktop folder + separator ("\\" on Windows unless the folder is written with "/") + name;
// an empty folder gives the separator and the name, so nothing is ever looked up on the search
// path or in the current folder.
std::string palmPath(const std::string& folder, const std::string& name);

// A CP932 name as a path takes it: UTF-8, as every path in the program.
std::string nativeName(const std::string& cp932);

// True when the native `name` may be joined to a folder without leaving it: not empty, no path
// separator, no drive or stream colon, not "." or "..", no control character.
bool isSafeFolderEntry(const std::string& name);

} // namespace rovik
