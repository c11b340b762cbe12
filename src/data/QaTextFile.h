#pragma once
// Reading and writing the lines of a QA text file.
#include <string>
#include <utility>
#include <vector>

namespace rovik {

class DataListView;
class Prompter;
struct QuestionSet;

// Splits file bytes into lines: CR LF, a lone LF and a lone CR end a line, a last line without
// line end is still a line, a zero byte ends the text.
std::vector<std::string> splitTextLines(const std::string& bytes);

// The same for text that arrives in pieces (a line end may fall between two of them), so that a
// large file need not be held whole beside its lines.
class LineSplitter {
public:
    void reserve(std::size_t lines) { m_lines.reserve(lines); }
    void feed(const char* data, std::size_t size);
    std::vector<std::string> finish();

private:
    std::vector<std::string> m_lines;
    std::string m_partial;  // the start of a line the last piece ended in
    bool m_afterCr = false; // the last piece ended with CR: a LF first in the next belongs to it
    bool m_ended = false;   // a zero byte was met
};

// How many times `byte` occurs in p[0, size).
std::size_t countByte(const char* p, std::size_t size, char byte);

// How the desktop quiz's loader sees a line (with its trailing line feed): -99 comment,
// -1 longer than 2047 bytes, -2 fewer than 2 items, -5 a record of fewer than 5 items, else 0.
int ClassifyQuizLine(const std::string& line);

// One line as written: its half-width katakana made full-width in place, then for a PDB record a
// pad space in front of odd-length lines (line feed counted, comments never) and a line feed,
// for a text file CR LF.
std::string WrittenLine(std::string& line, bool pdb);

// The bytes of every line of the set as written to `path`: half-width katakana made full-width
// (also in the set), a pad space for odd-length lines of a ".pdb"/".PDB" path, and CR LF line
// ends for text files (a single LF in a PDB).
std::string WriteQuestionLines(QuestionSet& set, const std::string& path);

// The same bytes without touching the lines; `converted` lists the lines whose katakana the
// bytes hold full-width (index, converted line), for applyConvertedLines once the write succeeded.
struct QuestionLinesText {
    std::string bytes;
    std::vector<std::pair<std::size_t, std::string>> converted;
};
QuestionLinesText questionLinesText(const std::vector<std::string>& lines, const std::string& path);
void applyConvertedLines(QuestionSet& set, QuestionLinesText& text);

// The message for a file that cannot be read, and for one that holds no line.
std::string cannotOpenText(const std::string& path);
std::string noDataText(const std::string& path);
// The message of a save that failed: the system's "ファイルが開けません", the path, and what failed.
std::string saveFailedText(const std::string& path);

// True when the path ends in exactly ".pdb" or ".PDB" (likewise for the other two).
bool hasPdbExtension(const std::string& path);
bool hasTextExtension(const std::string& path);
bool hasFiveChoiceExtension(const std::string& path);

// Saves the set as a QA text file in the encoding it was read in (the status line names it when it
// is not Shift-JIS): 0, or -1 after saveFailedText when it cannot be written, or after a message
// when lines hold bytes that are not CP932 and so could not be written as UTF-8 (an existing file
// and the set are then left as they were).
int SaveAsText(QuestionSet& set, const std::string& path, Prompter& prompter, DataListView& view);

} // namespace rovik
