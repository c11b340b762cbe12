#pragma once
// The values every window shares: start folder, data folder, the settings list (Rovik.ini)
// with the quiz selection line and the recently used files, and the about box texts.
#include <string>
#include <vector>

namespace rovik {

struct ProgramValues {
    std::string startFolder;           // current folder when the launcher was created
    std::string dataFolder;            // where the data list window's open dialogs start
    std::vector<std::string> settings; // lines of Rovik.ini, UTF-8 in memory
    std::string versionText = "Version 0.51";
    std::string authorLine = "(C) 2026 Rovik desktop developers";
    std::string mailAddress = "rovik-desktop@example.org";
    std::string webPage = "https://example.org/rovik/";
};

// The program's one set of values.
ProgramValues& programValues();

// Start folder := current folder; data folder := start folder; settings from Rovik.ini
// (two empty lines when it cannot be read).
void LoadSettings(ProgramValues& values);

// The settings list of Rovik.ini's bytes: one UTF-8 line per CR LF, LF or CR ended line.
std::vector<std::string> settingsFromBytes(const std::string& bytes);

// Writes the settings list to Rovik.ini (nothing when the list is empty). False when the file
// could not be written; `error` then holds the system's reason and the old file is intact.
bool SaveSettings(ProgramValues& values, std::string* error = nullptr);

// Records a path as the newest recently used file (lines 2 to 10 of the settings list).
void AddRecentFile(ProgramValues& values, const std::string& path);

// The recently used files, newest first (empty lines skipped).
std::vector<std::string> recentFiles(const ProgramValues& values);

// Path of a file the program names itself, in the start folder.
std::string startFolderFile(const ProgramValues& values, const std::string& name);

} // namespace rovik
