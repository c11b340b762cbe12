#pragma once
// A Palm Desktop of the tests' own: registry file, Palm Desktop folder with users.dat and user
// folders, and a start folder, all in one temporary folder.
#include "platform/Registry.h"
#include "support/TempFolder.h"
#include "support/TestRegistry.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace rovik::test {

// What Palm Desktop paths are joined with: a backslash on Windows, as Palm writes them.
#ifdef _WIN32
inline const std::string kPalmSeparator = "\\";
#else
inline const std::string kPalmSeparator = "/";
#endif

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct UserRecord {
    std::uint16_t id;
    std::string name;   // CP932 bytes
    std::string folder; // CP932 bytes
    std::uint8_t flag = 0;
};

// One record as users.dat lays it out, padded so that the run up to its 0x80 separator is long enough.
inline std::string userRecordBytes(const UserRecord& u) {
    std::string r;
    r += static_cast<char>(u.id & 0xFF);
    r += static_cast<char>(u.id >> 8);
    r += std::string("\x01\x00", 2);
    r += static_cast<char>(u.name.size());
    r += u.name;
    r += static_cast<char>(u.folder.size());
    r += u.folder;
    r += static_cast<char>(u.flag);
    r += std::string(8, '\x07');
    r += '\x80';
    return r;
}

// users.dat: the count byte, twelve header bytes, the records.
inline std::string usersDatBytes(const std::vector<UserRecord>& users, int count = -1,
                                 const std::string& header = std::string(12, '\0')) {
    std::string bytes(1, static_cast<char>(count < 0 ? static_cast<int>(users.size()) : count));
    bytes += header;
    for (const auto& u : users)
        bytes += userRecordBytes(u);
    return bytes;
}

inline std::string regQuote(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

class PalmDesktop {
public:
    TempFolder root;
    const std::string palm = root.file("Palm");
    const std::string start = root.file("start");
    const std::string registry = root.file("HKEY_CURRENT_USER.reg");

    PalmDesktop() {
        std::filesystem::create_directory(palm);
        std::filesystem::create_directory(start);
        setRegistryFilePath(registry);
    }
    ~PalmDesktop() {
        removeTestRegistry(registry);
        setRegistryFilePath({});
    }

    void writeRegistryText(const std::string& text) const { writeTestRegistry(registry, text); }
    void removeRegistry() const { removeTestRegistry(registry); }

    static std::vector<UserRecord> threeUsers() {
        return {{1, "Taro", "TaroY", 0}, {2, "Hanako", "HanakoS", 1}, {12, "Jiro", "JiroK", 0}};
    }

    // Registry with the Core, Preferences and HotSync Manager keys.
    void writeRegistry(const std::string& lastUser = "Hanako", bool hotSyncPath = true, bool manager = true) {
        std::string text =
            "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Core]\r\n";
        if (hotSyncPath) text += "\"HotSyncPath\"=\"" + regQuote(palm + "/hotsync.exe") + "\"\r\n";
        text += "\"Path\"=\"" + regQuote(palm) + "\"\r\n\r\n";
        text += "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\Preferences]\r\n";
        text += "\"LastUserName\"=\"" + regQuote(lastUser) + "\"\r\n\r\n";
        if (manager)
            text += "[HKEY_CURRENT_USER\\Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager]\r\n"
                    "\"Install1\"=dword:00000000\r\n";
        writeRegistryText(text);
    }

    // users.dat plus each user's folder (without its Install folder).
    void writeUsers(const std::vector<UserRecord>& users) {
        root.write("Palm/users.dat", usersDatBytes(users));
        for (const auto& u : users)
            std::filesystem::create_directories(palm + "/" + u.folder);
    }

    void install(const std::vector<UserRecord>& users = threeUsers(),
                 const std::string& lastUser = "Hanako") {
        writeRegistry(lastUser);
        writeUsers(users);
    }

    std::string installFolder(const std::string& userFolder) const {
        return palm + "/" + userFolder + "/Install";
    }

    // The DWORD "Install<id>" under the HotSync Manager key, if written.
    std::optional<std::uint32_t> installFlag(std::uint32_t id) const {
        RegistryKey key;
        if (!key.open("Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager")) return std::nullopt;
        return key.readDword("Install" + std::to_string(id));
    }
};

} // namespace rovik::test
