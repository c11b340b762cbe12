#pragma once
// Figures made from the history's runs, shared by the statistics window and rovik-cli stats.
#include "history/HistoryStore.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rovik {

struct HistoryTotals {
    int runs = 0;
    int asked = 0;
    int right = 0;
    int wrong = 0;
    std::int64_t durationMs = 0;
};

HistoryTotals totalsOf(const std::vector<RunRecord>& runs);

// "75.0%", or "-" when nothing was asked.
std::string accuracyText(int right, int asked);

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string csvField(const std::string& value);

} // namespace rovik
