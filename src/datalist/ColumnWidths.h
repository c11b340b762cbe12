#pragma once
// Column widths of the two grids, from the width their columns can use.
namespace rovik {

struct RecordColumnWidths {
    int number;    // column 0
    int question;  // column 1
    int answer;    // column 2
    int reference; // column 3
};

constexpr int kNumberColumnWidth = 25;

// Column 0 fixed, columns 1 and 2 a third of the width each, column 3 the rest (never negative).
RecordColumnWidths recordColumnWidths(int width);

// Column 3 after the user's widths of columns 0 to 2: what they leave, never negative.
int referenceColumnWidth(int width, int number, int question, int answer);

} // namespace rovik
