#pragma once
// Writing the question set as a Palm database: one record per line, and the save command that
// sends a chosen name to the text save or to this writer by its extension.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace rovik {

class Prompter;
struct DataContext;
struct QuestionSet;

constexpr std::uint32_t kMaxPdbRecordOffset = 65535;

// The database name of a path (UTF-8, or raw Shift-JIS when not UTF-8; folders end only at the platform's
// separators, so every character of the file name counts), as CP932 bytes:
// up to the first ".", at most 31 bytes without splitting a character, 泄/餃 pairs in the first 30 bytes made
// 0x14 0x14.
struct DatabaseName {
    std::string bytes;
    std::string unmappable; // characters of the file name CP932 cannot hold (left out), UTF-8
};
DatabaseName databaseNameOf(const std::string& path);

// The byte rules above applied to a CP932 file name.
std::string databaseNameFromCp932(const std::string& fileName);

// A database built in memory. `tooLarge` when a record would start past 64 KB; `bytes` is then empty.
struct PdbImage {
    std::string bytes;
    // The lines whose half-width katakana was made full-width: (index, converted line).
    std::vector<std::pair<std::size_t, std::string>> converted;
    bool tooLarge = false;
};
PdbImage buildPdbImage(const std::vector<std::string>& lines, const std::string& databaseName,
                       std::uint32_t date);

// Writes the set as a PDB at `path`: 0; -1 after saveFailedText when it cannot be written
// (an existing file stays as it was); -2 after its message when a record would start past 64 KB
// or a question record is longer than loading allows (nothing is written). On success the set's lines hold
// their full-width katakana and the saved flag is set. A file name CP932 cannot hold is reported before
// writing.
int WritePdb(QuestionSet& set, const std::string& path, Prompter& prompter);

// The status line text after WritePdb returned `result` for `path` (empty after -1).
std::string pdbSaveStatusText(int result, const std::string& path);

constexpr const char* kTextSaveFilter = "Text files (*.txt)|*.TXT";
constexpr const char* kPdbSaveFilter = "PDB files (*.pdb)|*.PDB";

// The name the PDB save proposes for the current file name: its file name cut before the first
// "." (empty when it has none) followed by ".pdb".
std::string proposedPdbName(const std::string& currentFileName);

// The save dialog with `proposedName`, then SaveAsText for ".txt"/".TXT" or WritePdb for
// ".pdb"/".PDB" (other forms get the extension message). A saved path goes to the recently used
// files. Returns the save's result, 1 when cancelled, -1 for a wrong extension.
int SaveQuestionSet(DataContext& ctx, const std::string& proposedName, const std::string& filter);
// As above with the filter that fits the proposed name (the PDB filter for a ".pdb" name).
int SaveQuestionSet(DataContext& ctx, const std::string& proposedName);

} // namespace rovik
