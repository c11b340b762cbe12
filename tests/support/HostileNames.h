#pragma once
// The names of tests/fixtures/hostile-names.tsv: names that have broken programs like ours (raw
// Shift-JIS with 0x5C trail bytes, UTF-8 outside Shift-JIS, shell and control characters, long
// names), as table rows for every test where a name or a path enters the program.
#include "support/TempFolder.h"

#include <string>
#include <vector>

namespace rovik::test {

struct HostileName {
    std::string id;
    std::string bytes; // the name itself, raw
    std::string what;
};

inline std::string fromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

// Every row of the table; `fixtures` is the tests' fixture folder.
inline std::vector<HostileName> hostileNames(const std::string& fixtures = ROVIK_FIXTURES) {
    std::vector<HostileName> names;
    const std::string text = TempFolder::read(fixtures + "/hostile-names.tsv");
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(from, end - from);
        from = end + 1;
        const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        if (line.empty() || line[0] == '#' || tab2 == std::string::npos) continue;
        names.push_back(
            {line.substr(0, tab1), fromHex(line.substr(tab1 + 1, tab2 - tab1 - 1)), line.substr(tab2 + 1)});
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
