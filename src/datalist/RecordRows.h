#pragma once
// The records grid's rows over the shown title block: which block line each grid row shows.
// Rows are kept as an explicit list, so the mapping stays right wherever header lines stand.
#include <string>
#include <vector>

namespace rovik {

struct ShownTitle;

class RecordRows {
public:
    // Reads the shown block: counts its header lines, collects its category names and makes one
    // row per other line (comment lines included), in block order.
    void read(ShownTitle& shown);
    void clear() { m_blockLines.clear(); }

    int count() const { return static_cast<int>(m_blockLines.size()); }
    // Index in the shown block of row `row` (from 1); -1 when there is no such row.
    int blockLineOf(int row) const;
    // Row (from 1) that shows block line `blockLine`; 0 when none does.
    int rowOfBlockLine(int blockLine) const;

    // Cell text in CP932: column 0 the row number, columns 1-3 items 2-4 (empty when missing).
    static std::string cellText(const ShownTitle& shown, int blockLine, int row, int column);

private:
    std::vector<int> m_blockLines;
};

} // namespace rovik
