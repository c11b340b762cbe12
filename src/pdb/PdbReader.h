#pragma once
// Reading a Palm database back into QA text: the bytes of all records, in record order, form the
// text. A file whose header is not a Rovik database's, or a broken one, gives a clear result and
// nothing outside the file is ever read.
#include <cstdint>
#include <string>

namespace rovik {

class Prompter;
struct DataContext;

// Why a database could not be read or turned into text.
enum class PdbReadStatus {
    Ok,
    CannotOpen,      // the database cannot be opened or read
    ShortHeader,     // the file ends before the record count
    ShortRecordList, // the file ends inside the record list
    NotADatabase,    // no zero byte in the name field: no Palm database at all
    OtherDatabase,   // a Palm database of a type and creator other than DataRvk2
    TooLarge,        // the file or its records' text is larger than kMaxPdbTextBytes
    CannotWriteText, // the text file cannot be written
};

// Files and texts past this size are refused rather than read into memory.
constexpr std::uint64_t kMaxPdbTextBytes = 64u * 1024 * 1024;

// The message for a status (UTF-8); empty for Ok.
std::string pdbReadMessage(PdbReadStatus status);
// The operation result for a status: 0, -2 for TooLarge, else -1.
int pdbReadResult(PdbReadStatus status);

// The first 80 bytes of the file (fewer when it is shorter): 0, or -1 after the message when it
// cannot be opened or ends before the record count.
int ReadPdbHeader(const std::string& path, std::string& header, Prompter& prompter);

// The number of records of a header; -1 when the header ends before it.
int pdbRecordCount(const std::string& header);

// The records of a database's bytes as QA text: control bytes other than tab, LF, VT and CR
// become "$", lines end with CR LF, and one leading space (the writer's pad) is taken off each line.
PdbReadStatus pdbToText(const std::string& pdb, std::string& text);

// Reads the database at `pdbPath` into its text (CP932). `reason` gets the system's words for a
// file error.
PdbReadStatus readPdbText(const std::string& pdbPath, std::string& text, std::string* reason = nullptr);

// Reads the database at `pdbPath` and writes its text to `textPath` (an existing file is replaced
// only by a complete one). `reason` gets the system's words for a file error.
PdbReadStatus convertPdbFile(const std::string& pdbPath, const std::string& textPath,
                             std::string* reason = nullptr);

// As convertPdbFile, showing the message of a failure: 0, -1 (nothing written) or -2 (too large).
int ConvertPdbToText(const std::string& pdbPath, const std::string& textPath, Prompter& prompter);

// Converts the database into "$temp.txt" in the start folder and loads that through LoadQAText.
// A failed conversion ends here, so a stale "$temp.txt" is never loaded in its place.
void OpenPdb(DataContext& ctx, const std::string& path);

} // namespace rovik
