#pragma once
// Reading what Wine's `reg export` writes, and finding a Windows path of a Wine prefix on disk.
#include <optional>
#include <string>
#include <vector>

namespace rovik {

struct RegValue {
    std::string name; // "@" for the key's default value
    std::string type; // "REG_SZ", "REG_DWORD", or "other"
    std::string data; // UTF-8 text, or eight hex digits for a DWORD
};

// The values of the key `key` ("HKEY_CURRENT_USER\\Software\\...", case does not matter) in the
// bytes of a `reg export` file: UTF-16LE after a byte order mark, as Wine and Windows write it (the
// console's code page of `reg query` would turn every character it lacks into "?"). Nothing when
// the bytes are not such a file.
std::optional<std::vector<RegValue>> parseRegExport(const std::string& bytes, const std::string& key);

// The values of the key `key` ("Software\\...", below HKEY_CURRENT_USER; case does not matter) in
// the bytes of a prefix's user.reg, which Wine's server keeps up to date within half a minute
// without Wine being started: ASCII, every other character written as \x escapes of its UTF-16.
// Nothing when the key is not there.
std::optional<std::vector<RegValue>> parseWineUserReg(const std::string& bytes, const std::string& key);

// The text of the string value `name` (case does not matter, as in the registry), or nothing.
std::optional<std::string> regString(const std::vector<RegValue>& values, const std::string& name);

// "C:\Program Files\Palm" as a path on disk, through the prefix's own links (dosdevices/c:, and the
// user folders Wine links into $HOME) and a case-blind match of each part. Empty with `problem`
// set when the drive is unknown, a part is "..", or the path leads outside both `prefix` and
// `home` (empty: the prefix only); the problem names where it leads.
std::string mapWinePath(const std::string& prefix, const std::string& home, const std::string& windowsPath,
                        std::string& problem);

} // namespace rovik
