#pragma once
// Reading and writing Rovik.ini's bytes: CP932 lines ended by CR LF, read with limits so a
// damaged or foreign file can neither stall the program nor bring in a changed path.
#include <string>
#include <vector>

namespace rovik {

// Line 1 and up to 9 + 9 recently used files: more is never read.
constexpr std::size_t kMaxSettingsReadLines = 19;
// A settings line holds one path at most; a longer line is read as an empty line.
constexpr std::size_t kMaxSettingsLineBytes = 4096;

enum class SettingsRead { Read, Missing, Unreadable };

// Reads the settings lines of a file (UTF-8, limits as above). Lines CP932 cannot round-trip
// become empty lines. Unreadable: it exists but cannot be read (or its owner may not read it).
SettingsRead readSettingsFile(const std::string& path, std::vector<std::string>& lines);

// The settings list of Rovik.ini's bytes, with the same limits and conversion.
std::vector<std::string> settingsFromBytes(const std::string& bytes);

// The bytes written for a settings list: CP932, CR LF after each line. A line CP932 cannot hold
// is written empty, never as a changed path.
std::string settingsBytes(const std::vector<std::string>& settings);

} // namespace rovik
