#pragma once
// The file names that break path handling (tests/fixtures/hostile-names.tsv): raw Shift-JIS with
// 0x5C trail bytes, UTF-8 outside Shift-JIS, shell and control characters, long names.
#include <fstream>
#include <string>
#include <vector>

namespace rovik::test {

struct HostileName {
    std::string id;
    std::string bytes;
};

inline std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Every row of the table; `fixtures` is the tests' fixture folder.
inline std::vector<HostileName> hostileNames(const std::string& fixtures) {
    std::vector<HostileName> names;
    std::ifstream tsv(fixtures + "/hostile-names.tsv");
    std::string line;
    while (std::getline(tsv, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab = line.find('\t');
        const std::size_t end = line.find('\t', tab + 1);
        names.push_back({line.substr(0, tab), fromHex(line.substr(tab + 1, end - tab - 1))});
    }
    return names;
}

// The name without a final ".txt".
inline std::string stemOf(const std::string& name) {
    const std::string ext = ".txt";
    const bool txt = name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0;
    return txt ? name.substr(0, name.size() - ext.size()) : name;
}

} // namespace rovik::test
