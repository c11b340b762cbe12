#pragma once
// Names that have broken programs like ours (tests/fixtures/hostile-names.tsv): one a line, as hex
// bytes, so raw Shift-JIS, control characters and invalid UTF-8 survive. Tests take them as rows.
#include <fstream>
#include <string>
#include <vector>

namespace rovik::test {

struct HostileName {
    std::string id;
    std::string bytes;
    std::string what;
};

inline std::vector<HostileName> hostileNames() {
    std::vector<HostileName> names;
    std::ifstream in(std::string(ROVIK_FIXTURES) + "/hostile-names.tsv", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        HostileName name{line.substr(0, tab1), {}, line.substr(tab2 + 1)};
        for (std::size_t i = tab1 + 1; i + 1 < tab2; i += 2)
            name.bytes += static_cast<char>(std::stoi(line.substr(i, 2), nullptr, 16));
        names.push_back(name);
    }
    return names;
}

} // namespace rovik::test
