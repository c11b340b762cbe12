#include "data/QuestionSet.h"

#include "data/Common.h"

namespace rovik {

bool isTitleHeaderLine(const std::string& line) { return beginsWith(line, "tTitle"); }
bool isCategoryALine(const std::string& line) { return beginsWith(line, "dBunrui"); }
bool isCategoryBLine(const std::string& line) { return beginsWith(line, "sBunrui"); }
bool isHeaderLine(const std::string& line) {
    return isTitleHeaderLine(line) || isCategoryALine(line) || isCategoryBLine(line);
}
bool isCommentLine(const std::string& line) { return beginsWith(line, "//"); }

int RebuildTitleIndex(QuestionSet& set) {
    set.titles.clear();
    const int count = static_cast<int>(set.lines.size());
    for (int i = 0; i < count; ++i) {
        if (!isTitleHeaderLine(set.lines[static_cast<size_t>(i)])) continue;
        if (!set.titles.empty()) set.titles.back().last = i - 1;
        set.titles.push_back({i + 1, count - 1});
    }
    return set.titles.empty() ? -1 : 0;
}

std::vector<std::string> newTitleTemplate() {
    const std::string untitled = "\x96\xB3\x91\xE8"; // 無題
    return {"tTitle\t" + untitled + "\t3\t3", "dBunrui\t" + untitled, "sBunrui\t" + untitled,
            "11\t" + untitled + "\t" + untitled + "\t" + untitled + "\t0"};
}

} // namespace rovik
