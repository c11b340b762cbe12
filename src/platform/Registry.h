#pragma once
// Keys and values under HKEY_CURRENT_USER. On Windows the real registry; elsewhere a
// REGEDIT4-style text file stands for it:
//   [Software\Vendor\Key]            (a leading "HKEY_CURRENT_USER\" is allowed)
//   "Name"="text with \\ and \" escaped"
//   "Flag"=dword:00000001
// Keys are never created by opening them. Key names, value names and strings are UTF-8 text: the
// real registry's UTF-16 is converted once; the file is read line by line in the encoding each line
// is in (UTF-8 when it is valid UTF-8, else CP932, as a REGEDIT4 export of a Japanese Windows is; a
// UTF-16 export is read too), and lines it adds are UTF-8.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace rovik {

// The file standing for HKEY_CURRENT_USER: $XDG_CONFIG_HOME/rovik/HKEY_CURRENT_USER.reg, or
// ~/.config/rovik/HKEY_CURRENT_USER.reg. Unused on Windows.
std::string registryFilePath();
// Points the registry layer at another file (tests); an empty path restores the default.
void setRegistryFilePath(const std::string& path);

// A string value longer than this (in UTF-8 bytes) counts as missing: no path or name Palm Desktop keeps is
// near it.
constexpr std::size_t kMaxRegistryValueBytes = 32767;

class RegistryKey {
public:
    RegistryKey();
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Opens an existing key below HKEY_CURRENT_USER ("Software\\A\\B"). False when it does not exist.
    bool open(const std::string& keyPath);
    bool isOpen() const;
    void close();

    // The string value as UTF-8, or nothing when it is missing, not a string or not sound (a byte
    // neither UTF-8 nor CP932, an unpaired surrogate).
    std::optional<std::string> readString(const std::string& name) const;
    // The DWORD value, or nothing when it is missing or not a DWORD.
    std::optional<std::uint32_t> readDword(const std::string& name) const;
    // Writes a DWORD value into the open key. False when the key is not open or the write failed;
    // `problem` then says why when it is known (the stand-in file locked too long, a failed write).
    bool writeDword(const std::string& name, std::uint32_t value, std::string* problem = nullptr);

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
};

} // namespace rovik
