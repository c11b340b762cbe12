#include "datalist/RecordRows.h"

#include "data/Common.h"
#include "data/QuestionSet.h"

#include <algorithm>

namespace rovik {

void RecordRows::read(ShownTitle& shown) {
    m_blockLines.clear();
    shown.categoryA.clear();
    shown.categoryB.clear();
    shown.headerLineCount = 0;
    const int size = static_cast<int>(shown.lines.size());
    for (int i = 0; i < size; ++i) {
        const std::string& line = shown.lines[static_cast<size_t>(i)];
        if (!isHeaderLine(line)) {
            m_blockLines.push_back(i);
            continue;
        }
        ++shown.headerLineCount;
        if (isCategoryALine(line)) shown.categoryA.push_back(ItemText(line, kTab, 2));
        if (isCategoryBLine(line)) shown.categoryB.push_back(ItemText(line, kTab, 2));
    }
}

int RecordRows::blockLineOf(int row) const {
    if (row < 1 || row > count()) return -1;
    return m_blockLines[static_cast<size_t>(row - 1)];
}

int RecordRows::rowOfBlockLine(int blockLine) const {
    auto it = std::lower_bound(m_blockLines.begin(), m_blockLines.end(), blockLine);
    if (it == m_blockLines.end() || *it != blockLine) return 0;
    return static_cast<int>(it - m_blockLines.begin()) + 1;
}

std::string RecordRows::cellText(const ShownTitle& shown, int blockLine, int row, int column) {
    if (column == 0) return std::to_string(row);
    if (blockLine < 0 || blockLine >= static_cast<int>(shown.lines.size()) || column > 3) return {};
    return ItemText(shown.lines[static_cast<size_t>(blockLine)], kTab, column + 1);
}

} // namespace rovik
