#include "datalist/ColumnWidths.h"

#include <algorithm>

namespace rovik {

RecordColumnWidths recordColumnWidths(int width) {
    const int third = std::max(width, 0) / 3;
    return {kNumberColumnWidth, third, third, referenceColumnWidth(width, kNumberColumnWidth, third, third)};
}

int referenceColumnWidth(int width, int number, int question, int answer) {
    return std::max(0, width - number - question - answer);
}

} // namespace rovik
