#pragma once
// Reading what Wine's `reg query` prints, and finding a Windows path of a Wine prefix on disk.
#include <optional>
#include <string>
#include <vector>

namespace rovik {

struct RegQueryValue {
    std::string name; // "(Default)" for the key's default value
    std::string type; // "REG_SZ", "REG_DWORD", ...
    std::string data; // as printed: text, or "0x1" for a DWORD
};

// The values `wine reg query KEY [/v NAME]` printed; lines that are no value line are skipped.
std::vector<RegQueryValue> parseRegQuery(const std::string& output);

// The data of the value `name` (case does not matter, as in the registry), or nothing.
std::optional<std::string> regQueryValue(const std::vector<RegQueryValue>& values, const std::string& name);

// "C:\Program Files\Palm" as a path inside `prefix`, through prefix/dosdevices/c: and a case-blind
// match of each part. Empty with `problem` set when the drive is unknown, a part is "..", or the
// path leads outside the prefix.
std::string mapWinePath(const std::string& prefix, const std::string& windowsPath, std::string& problem);

} // namespace rovik
