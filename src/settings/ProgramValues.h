#pragma once
// The values every window shares: start folder, data folder, the settings list (Rovik.ini)
// with the quiz selection line and the recently used files, and the about box texts.
#include "settings/SettingsFile.h"
#include "settings/Version.h"

#include <string>
#include <vector>

namespace rovik {

struct ProgramValues {
    std::string startFolder;           // current folder when the launcher was created
    std::string dataFolder;            // where the data list window's open dialogs start
    std::vector<std::string> settings; // lines of Rovik.ini, UTF-8 in memory
    std::string settingsProblem;       // what the launcher tells the user about Rovik.ini at start
    bool settingsKept = false;         // Rovik.ini could not be read: it is never replaced
    std::string versionText = std::string("Version ") + kVersion;
    std::string authorLine = "(C) 2026 Rovik desktop developers";
    std::string mailAddress = "rovik-desktop@example.org";
    std::string webPage = "https://example.org/rovik/";
};

// The program's one set of values.
ProgramValues& programValues();

// Start folder := current folder; data folder := start folder; settings from Rovik.ini.
// A missing or empty file gives two empty lines; an unreadable one too, with settingsProblem
// set and the file kept as it is.
void LoadSettings(ProgramValues& values);

// Writes the settings list to Rovik.ini (nothing when the list is empty). False when the file
// could not be written; `error` then holds the reason and the old file is intact.
bool SaveSettings(ProgramValues& values, std::string* error = nullptr);

// Empty when Rovik.ini may be replaced at close; else the message saying why it is left alone
// (unreadable at start, or the user may not write it).
std::string settingsNotSavedReason(const ProgramValues& values);

// Path of Rovik.ini in the start folder.
std::string settingsFilePath(const ProgramValues& values);

// Records a path as the newest recently used file (lines 2 to 10 of the settings list).
// A path Rovik.ini cannot hold unchanged (characters CP932 lacks, longer than a line) is not
// recorded: it would later open another file or none.
void AddRecentFile(ProgramValues& values, const std::string& path);

// The recently used files, newest first (empty lines skipped).
std::vector<std::string> recentFiles(const ProgramValues& values);

// Path of a file the program names itself, in the start folder.
std::string startFolderFile(const ProgramValues& values, const std::string& name);

} // namespace rovik
