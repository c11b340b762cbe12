#pragma once
// Reads an Anki package back with an independent reader (Python's zipfile and sqlite3, through
// read_apkg.py beside this file) and returns what it printed.
#include <cstdio>
#include <string>

namespace rovik::test {

inline std::string readApkgIndependently(const std::string& path) {
    const std::string command =
        "python3 '" + std::string(ROVIK_FIXTURES) + "/../decks/read_apkg.py' '" + path + "' 2>&1";
    std::string output;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
        pclose(pipe);
    }
    return output;
}

} // namespace rovik::test
