#pragma once
// Which recently used files each recent submenu of the data list window lists.
#include <string>
#include <vector>

namespace rovik {

// At most this many recent entries per submenu.
constexpr int kRecentEntries = 9;

struct RecentMenus {
    std::vector<std::string> text;   // "開く・ﾃｷｽﾄ(&O)": ".txt" or ".TXT"
    std::vector<std::string> import; // "ｲﾝﾎﾟｰﾄ(&I)": the same paths
    std::vector<std::string> pdb;    // "開く・PDB(&B)": ".pdb" or ".PDB"
};

// Walks lines 2 to 10 of the settings list; a path enters a submenu only when its extension is
// exactly one of that submenu's two forms. Other paths stay in the list but are shown nowhere.
RecentMenus BuildRecentMenus(const std::vector<std::string>& settings);

} // namespace rovik
