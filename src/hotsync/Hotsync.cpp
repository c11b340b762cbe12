#include "hotsync/Hotsync.h"

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "platform/Registry.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace rovik {

const char* const kCoreKey = "Software\\U.S. Robotics\\Pilot Desktop\\Core";
const char* const kPreferencesKey = "Software\\U.S. Robotics\\Pilot Desktop\\Preferences";
const char* const kHotSyncManagerKey = "Software\\U.S. Robotics\\Pilot Desktop\\HotSync Manager";

namespace {
// users.dat holds at most 127 records of a few hundred bytes; beyond this the file has ended.
constexpr std::size_t kMaxUsersFileBytes = 16u << 20;
constexpr std::size_t kLastUserWindow = 1024;

// Messages of this part carry no title and no icon of their own.
void message(Prompter& prompter, const std::string& text) {
    prompter.ask(text, "", Buttons::Ok, Icon::None);
}

// Reads at most `limit` bytes from the start of a file. False when it cannot be opened or read.
bool readPrefix(const std::string& path, std::size_t limit, std::string& bytes) {
    bytes.clear();
    if (folderExists(path)) return false;
    std::FILE* f = openFile(path, "rb");
    if (!f) return false;
    // Grow with what is there rather than allocating the whole limit for a small file.
    char buffer[1 << 16];
    std::size_t n = 0;
    while (bytes.size() < limit &&
           (n = std::fread(buffer, 1, std::min(sizeof buffer, limit - bytes.size()), f)) > 0)
        bytes.append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

std::string readStringValue(const char* key, const char* name, bool& opened) {
    RegistryKey reg;
    opened = reg.open(key);
    if (!opened) return {};
    return reg.readString(name).value_or(std::string());
}

// Text of at most `length` bytes from `at`, ended early by a zero byte.
std::string zeroEnded(const std::string& bytes, std::size_t at, std::size_t length) {
    std::string text = bytes.substr(at, length);
    std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    return text;
}

#ifdef _WIN32
using UmGetUserCountFn = short(WINAPI*)();
using UmGetUserIDFn = long(WINAPI*)(short, DWORD*);
using UmGetUserTextFn = long(WINAPI*)(DWORD, char*, short*);

// GetProcAddress answers with a generic function pointer; the export's own type is ours to state.
template <typename Fn> Fn exportOf(HMODULE lib, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
}

// Asks the library a few times while it answers with an empty text.
std::string askUserText(UmGetUserTextFn fn, DWORD id) {
    char buffer[256] = {0};
    for (int attempt = 0; attempt < 3 && buffer[0] == '\0'; ++attempt) {
        short size = sizeof buffer - 1;
        fn(id, buffer, &size);
        buffer[sizeof buffer - 1] = '\0';
    }
    return buffer;
}

// Reads the users through USERDATA.DLL in the Palm Desktop folder; false when it cannot be used.
bool readUsersFromLibrary(const std::string& folder, std::vector<std::string>& names,
                          std::vector<std::string>& folders, std::vector<std::string>& ids) {
    HMODULE lib = LoadLibraryW(nativePath(palmPath(folder, "USERDATA.DLL")).c_str());
    if (!lib) return false;
    auto count = exportOf<UmGetUserCountFn>(lib, "UmGetUserCount");
    auto userId = exportOf<UmGetUserIDFn>(lib, "UmGetUserID");
    auto userName = exportOf<UmGetUserTextFn>(lib, "UmGetUserName");
    auto userDir = exportOf<UmGetUserTextFn>(lib, "UmGetUserDirectory");
    bool usable = count && userId && userName && userDir;
    if (usable) {
        short n = count();
        for (short i = 0; i < n; ++i) {
            DWORD id = 0;
            userId(i, &id);
            ids.push_back(std::to_string(id));
            names.push_back(askUserText(userName, id));
            folders.push_back(askUserText(userDir, id));
        }
    }
    FreeLibrary(lib);
    return usable;
}
#endif
} // namespace

std::string palmPath(const std::string& folder, const std::string& name) {
#ifdef _WIN32
    // Palm writes its folder with backslashes; a folder the program built itself uses "/".
    const bool slashes = folder.find('/') != std::string::npos && folder.find('\\') == std::string::npos;
    const char separator = slashes ? '/' : '\\';
#else
    const char separator = '/';
#endif
    if (!folder.empty() && (folder.back() == separator || folder.back() == '/')) return folder + name;
    return folder + separator + name;
}

std::string nativeName(const std::string& cp932) {
    return cp932ToUtf8(cp932);
}

bool isSafeFolderEntry(const std::string& name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c == '/' || c == '\\' || c == ':' || c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

std::string GetPalmDesktopPath(Prompter& prompter) {
    bool opened = false;
    std::string hotSyncPath = readStringValue(kCoreKey, "HotSyncPath", opened);
    if (!opened || hotSyncPath.empty()) {
        message(prompter, opened ? "Registry valueを読めません" : "Registryを開けません");
        prompter.ask("", "Starting Hotsync error", Buttons::Ok, Icon::Error);
        return {};
    }
    return readStringValue(kCoreKey, "Path", opened);
}

std::string GetLastUserName() {
    bool opened = false;
    return readStringValue(kPreferencesKey, "LastUserName", opened);
}

int CheckLastUser(const std::string& usersFile, const std::string& lastUser, Prompter& prompter) {
    std::string bytes;
    if (!readPrefix(usersFile, kLastUserWindow, bytes) || bytes.empty()) {
        message(prompter, usersFile + "が開けません");
        return -1;
    }
    // users.dat holds its names in CP932; a name CP932 cannot hold cannot be among them.
    const Cp932Encoding name = utf8ToCp932(lastUser);
    // Offsets 0 to 5 hold the header, never a name; the last offset is left out as Palm's check does.
    const std::size_t L = name.bytes.size();
    for (std::size_t i = 6; name.ok() && i + L < bytes.size(); ++i)
        if (bytes.compare(i, L, name.bytes) == 0) return 0;
    message(prompter, lastUser + "が存在しません");
    return -1;
}

int ParseUsersDat(const std::string& bytes, std::vector<std::string>& names,
                  std::vector<std::string>& folders, std::vector<std::string>& ids) {
    names.clear();
    folders.clear();
    ids.clear();
    const std::size_t size = bytes.size();
    auto at = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const int count = size > 0 ? static_cast<signed char>(bytes[0]) : 0;
    int preselected = 0;
    std::size_t p = 13;
    for (int record = 0; record < count && p < size;) {
        std::size_t k = 0;
        while (p + 1 + k < size && at(p + 1 + k) != 0x80)
            ++k;
        if (k >= 12) {
            // The fields may run past the separator; a file that ends inside them has no more users.
            std::size_t n = p + 4 < size ? at(p + 4) : 0;
            std::size_t mAt = p + 5 + n;
            if (mAt >= size) break;
            std::size_t m = at(mAt);
            std::size_t flagAt = mAt + 1 + m;
            if (flagAt >= size) break;
            ids.push_back(std::to_string(at(p) | (at(p + 1) << 8)));
            names.push_back(zeroEnded(bytes, p + 5, n));
            folders.push_back(zeroEnded(bytes, mAt + 1, m));
            if (at(flagAt) == 1) preselected = record;
            ++record;
        }
        p += k + 2;
    }
    return preselected;
}

int ReadHotSyncUsers(const std::string& usersFile, std::vector<std::string>& names,
                     std::vector<std::string>& folders, std::vector<std::string>& ids, Prompter& prompter) {
    if (!fileExists(usersFile)) return -1;
    names.clear();
    folders.clear();
    ids.clear();
#ifdef _WIN32
    // The library finds Palm's files from the current folder; put it back before returning.
    std::error_code ec;
    const std::filesystem::path previous = std::filesystem::current_path(ec);
    std::string folder = GetPalmDesktopPath(prompter);
    if (!ec && !folder.empty() && SetCurrentDirectoryW(nativePath(folder).c_str())) {
        bool read = readUsersFromLibrary(folder, names, folders, ids);
        SetCurrentDirectoryW(previous.c_str());
        if (read) return 0;
        names.clear();
        folders.clear();
        ids.clear();
    }
#endif
    std::string bytes;
    if (!readPrefix(usersFile, kMaxUsersFileBytes, bytes)) {
        message(prompter, usersFile + "が開けません");
        return -1;
    }
    return ParseUsersDat(bytes, names, folders, ids);
}

bool SetInstallFlag(std::uint32_t userId, Prompter& prompter) {
    RegistryKey reg;
    if (!reg.open(kHotSyncManagerKey)) {
        message(prompter, "Registryを開けません");
        return false;
    }
    // Without the flag HotSync ignores the copied file: a failed write must not pass silently.
    if (reg.writeDword("Install" + std::to_string(userId), 1)) return true;
    message(prompter, "Registryに書き込めません");
    return false;
}

namespace {
bool startPalmProgram(Prompter& prompter, const StartProcess& start, const char* name) {
    const std::string program = palmPath(GetPalmDesktopPath(prompter), name);
    if (start(program)) return true;
    prompter.error(program + " を起動できません。");
    return false;
}
} // namespace

bool StartHotSync(Prompter& prompter, const StartProcess& start) {
    return startPalmProgram(prompter, start, "hotsync.exe");
}

bool StartInstallTool(Prompter& prompter, const StartProcess& start) {
    return startPalmProgram(prompter, start, "Instapp.exe");
}

} // namespace rovik
