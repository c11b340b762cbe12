#pragma once
// The question set: every line of the data being edited, in file order, plus what is derived
// from it (title index, shown title), the two clipboards and the saved flag.
#include "platform/TextEncoding.h"

#include <string>
#include <vector>

namespace rovik {

// Where a title's block lies among the lines.
struct TitleRange {
    int start = 0; // one-based position of the title header line (= index of the line after it)
    int last = 0;  // zero-based index of the block's last line
};

// A copy of the selected title's block and what the window shows of it.
struct ShownTitle {
    std::vector<std::string> lines; // from the title header line to the block's last line
    std::string name;
    int headerLineCount = 0;            // header lines of the block (title and category lines)
    std::vector<std::string> categoryA; // index k-1 names code k
    std::vector<std::string> categoryB;
    void clear() { *this = ShownTitle{}; }
};

struct QuestionSet {
    std::vector<std::string> lines;         // CP932 bytes, without line ends
    std::vector<std::string> loadingBuffer; // lines of the file being loaded
    std::vector<TitleRange> titles;         // title t (from 1) is titles[t - 1]
    int selectedTitle = -1;                 // from 1; -1 when none is selected
    ShownTitle shown;
    std::string recordClipboard;
    std::vector<std::string> titleClipboard;
    bool saved = true;
    TextEncoding encoding = TextEncoding::Cp932; // of the file last read; a text save writes it
    Utf8Forms utf8Forms;                         // how the UTF-8 files read wrote 〜, ¥ and the like

    int titleCount() const { return static_cast<int>(titles.size()); }
    const TitleRange& title(int t) const { return titles.at(static_cast<size_t>(t - 1)); }
};

// Rebuilds the title index from the lines: 0, or -1 when they hold no title header line.
int RebuildTitleIndex(QuestionSet& set);

// True for the three keyword kinds: title header, category A and category B lines.
bool isTitleHeaderLine(const std::string& line);
bool isCategoryALine(const std::string& line);
bool isCategoryBLine(const std::string& line);
bool isHeaderLine(const std::string& line);
bool isCommentLine(const std::string& line);

// The four lines of a title made from nothing.
std::vector<std::string> newTitleTemplate();

} // namespace rovik
