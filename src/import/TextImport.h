#pragma once
// Tab-text import: a text file of another application (tab-separated, or two or three lines
// per question) becomes one new title at the end of the question set.
#include <string>
#include <vector>

namespace rovik {

struct DataContext;

// Import formats as the format dialog numbers them.
enum TextImportFormat { kTabSeparated = 0, kTwoLines = 1, kThreeLines = 2 };

// The title name a file gives: its base name, in CP932 (characters CP932 cannot hold are left out;
// a name that is not UTF-8 is taken as Shift-JIS).
std::string titleNameOf(const std::string& path);

// The lines one import appends: the title header line, the two category lines and one record
// "11", question, answer, reference, "0" per question of `source` in the given format.
// Lines left over in formats 1 and 2 are dropped.
std::vector<std::string> textImportLines(const std::vector<std::string>& source, int format,
                                         const std::string& titleName);

// Asks for the format, reads the file into the loading buffer, checks it and appends the new
// title: 0; 1 cancelled in the format dialog; -1 empty or unreadable; -9 refused by validation
// (error log shown). Nothing is appended unless it returns 0.
int ConvertTextImport(DataContext& ctx, const std::string& path);

// The import command for a chosen file: the append or replace question, the conversion, then the
// recent files, the title list and the status line. Imported data counts as unsaved.
void ImportTextFile(DataContext& ctx, const std::string& path);

} // namespace rovik
