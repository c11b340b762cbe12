#pragma once
// What the title and category editor decides: what it shows of the selected title's header lines
// and how 登録 rewrites them. The window (TForm5) hands the boxes' texts over as TitleFields.
#include <array>
#include <optional>
#include <string>

namespace rovik {

class DataListLogic;
class Prompter;

constexpr int kCategoryBoxes = 15;

// The editor's boxes, UTF-8 as typed.
struct TitleFields {
    std::string title;
    std::string questionLines;
    std::string answerLines;
    std::array<std::string, kCategoryBoxes> categoryA; // box k-1 holds the name of code k
    std::array<std::string, kCategoryBoxes> categoryB;
};

// A line count box's text as a decimal integer (spaces around it allowed); nothing otherwise.
std::optional<int> lineCountOf(const std::string& text);

// Keeps the sum of the two line counts at 9 or below by reducing the larger (the question lines
// when they are equal).
void limitLineCounts(int& questionLines, int& answerLines);

class TitleEditor {
public:
    TitleEditor(DataListLogic& logic, Prompter& prompter);

    // True when a title is selected that the editor can work on.
    bool canOpen() const;
    // What the boxes show when the editor opens: item 2 of the title header line, its items 3 and
    // 4 (3 when missing or not a number) and the first fifteen category names of each kind.
    TitleFields FormCreate() const;
    // Rewrites the title header line and replaces exactly the title's category lines by lines of
    // the non-empty boxes, in box order; every other line of the title stays. The line counts
    // are written back into `fields` as stored. False, with the user told and nothing changed
    // (`fields` included),
    // when a line count is not a number, a text holds characters the data cannot keep, a line
    // would be one loading refuses, or the user keeps a category that records use from being
    // emptied.
    bool RegisterTitleAndCategories(TitleFields& fields);

private:
    bool confirmClearedCategories(const TitleFields& fields);

    DataListLogic& m_logic;
    Prompter& m_prompter;
};

} // namespace rovik
