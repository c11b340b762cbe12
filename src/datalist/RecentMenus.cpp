#include "datalist/RecentMenus.h"

#include "data/QaTextFile.h"

#include <algorithm>

namespace rovik {

RecentMenus BuildRecentMenus(const std::vector<std::string>& settings) {
    RecentMenus menus;
    const size_t n = std::min<size_t>(settings.size(), 10);
    for (size_t i = 1; i < n; ++i) {
        const std::string& path = settings[i];
        if (hasTextExtension(path) && menus.text.size() < kRecentEntries) {
            menus.text.push_back(path);
            menus.import.push_back(path);
        }
        if (hasPdbExtension(path) && menus.pdb.size() < kRecentEntries) menus.pdb.push_back(path);
    }
    return menus;
}

} // namespace rovik
