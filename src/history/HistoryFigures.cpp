#include "history/HistoryFigures.h"

#include <cstdio>

namespace rovik {

HistoryTotals totalsOf(const std::vector<RunRecord>& runs) {
    HistoryTotals totals;
    for (const RunRecord& run : runs) {
        ++totals.runs;
        totals.asked += run.asked;
        totals.right += run.right;
        totals.wrong += run.wrong;
        totals.durationMs += run.durationMs;
    }
    return totals;
}

std::string accuracyText(int right, int asked) {
    if (asked <= 0) return "-";
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.1f%%", 100.0 * right / asked);
    return buffer;
}

std::string csvField(const std::string& value) {
    if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
    std::string quoted = "\"";
    for (char c : value)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace rovik
