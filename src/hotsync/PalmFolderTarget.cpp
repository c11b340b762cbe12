#include "hotsync/PalmFolderTarget.h"

#include "hotsync/Hotsync.h"
#include "hotsync/WineRegistry.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/Registry.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <random>

namespace rovik {
namespace fs = std::filesystem;

namespace {
// users.dat holds at most 127 records of a few hundred bytes.
constexpr std::size_t kMaxUsersDatBytes = 16u << 20;

std::uint32_t toId(const std::string& text) {
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || v > 0xFFFFFFFFu) return 0;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return v > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(v);
}
} // namespace

std::vector<TargetUser> PalmFolderTarget::users(int& preselected, std::string& problem) {
    preselected = -1;
    const std::string folder = palmFolder(problem);
    if (folder.empty()) return {};
    const std::string usersFile = palmPath(folder, "users.dat");
    std::string bytes;
    std::string reason;
    if (!readWholeFile(usersFile, bytes, &reason) || bytes.size() > kMaxUsersDatBytes) {
        problem = usersFile + " を読めません。" + (reason.empty() ? "" : "\n" + reason);
        return {};
    }
    std::vector<std::string> names, folders, ids;
    const int chosen = ParseUsersDat(bytes, names, folders, ids);
    std::vector<TargetUser> users;
    for (std::size_t i = 0; i < names.size(); ++i)
        users.push_back({names[i], folders[i], toId(ids[i])});
    if (users.empty()) {
        problem = usersFile + " にHotSyncユーザがいません。";
        return users;
    }
    preselected = chosen >= 0 && chosen < static_cast<int>(users.size()) ? chosen : 0;
    return users;
}

TargetOutcome PalmFolderTarget::install(const std::string& file, const std::string& fileName,
                                        const TargetUser* user) {
    TargetOutcome outcome;
    if (!user) {
        outcome.text = "HotSyncユーザが選ばれていません。";
        return outcome;
    }
    const std::string sub = nativeName(user->folder);
    if (!isSafeFolderEntry(sub)) {
        outcome.text = "ユーザ「" + cp932ToUtf8(user->name) + "」のフォルダ名「" + cp932ToUtf8(user->folder) +
                       "」はPalm Desktopのフォルダの外を指すため使えません。";
        return outcome;
    }
    if (!isSafeFolderEntry(fileName)) {
        outcome.text = "ファイル名「" + fileName + "」は使えません。";
        return outcome;
    }
    std::string problem;
    const std::string folder = palmFolder(problem);
    if (folder.empty()) {
        outcome.text = problem;
        return outcome;
    }
    const std::string installFolder = palmPath(palmPath(folder, sub), "Install");
    const std::string installed = palmPath(installFolder, fileName);
    // The user's folder, its Install folder and the file may be links: none may lead out of
    // Palm Desktop's folder. The user's folder is checked before Install is made in it.
    outcome.text = linkLeavesFolder(palmPath(folder, sub), folder);
    if (!outcome.text.empty()) return outcome;
    std::error_code ec;
    if (!folderExists(palmPath(folder, sub)) ||
        (!folderExists(installFolder) && !fs::create_directory(nativePath(installFolder), ec))) {
        outcome.text = "Can't make install dir. " + installFolder;
        return outcome;
    }
    outcome.text = linkLeavesFolder(installed, folder);
    if (!outcome.text.empty()) return outcome;
    std::string reason;
    if (!copyFileAtomically(file, installed, &reason)) {
        outcome.text = fileName + " を " + installFolder + " にコピーできません。\n" + reason;
        return outcome;
    }
    if (!setInstallFlag(user->id, problem)) {
        outcome.text =
            fileName +
            " をインストールフォルダにコピーしましたが、インストールフラグを設定できませんでした。\n"
            "インストール予約は完了していません。\n" +
            problem;
        return outcome;
    }
    outcome.ok = true;
    outcome.text = fileName + "を" + cp932ToUtf8(user->name) + "にｲﾝｽﾄｰﾙ予約しました。" +
                   (kind() == TargetKind::Wine ? "(Wine)" : "");
    return outcome;
}

std::string PalmDesktopTarget::where() const {
#ifdef _WIN32
    return "HKEY_CURRENT_USER\\" + std::string(kCoreKey);
#else
    return registryFilePath();
#endif
}

std::string PalmDesktopTarget::palmFolder(std::string& problem) {
    RegistryKey key;
    if (!key.open(kCoreKey)) {
        problem = where() + " に Palm Desktop の設定がありません。";
        return {};
    }
    const std::string path = key.readString("Path").value_or(std::string());
    if (path.empty() || key.readString("HotSyncPath").value_or(std::string()).empty()) {
        problem = where() + " の Palm Desktop の設定（Path, HotSyncPath）が空です。";
        return {};
    }
    return path;
}

bool PalmDesktopTarget::setInstallFlag(std::uint32_t id, std::string& problem) {
    RegistryKey key;
    if (!key.open(kHotSyncManagerKey)) {
        problem = "Registryを開けません";
        return false;
    }
    std::string reason;
    if (key.writeDword("Install" + std::to_string(id), 1, &reason)) return true;
    problem = "Registryに書き込めません" + (reason.empty() ? "" : "\n" + reason);
    return false;
}

WineTarget::WineTarget(std::string wine, std::string prefix, RunProgram run, std::string home)
    : m_wine(std::move(wine)), m_prefix(std::move(prefix)), m_run(std::move(run)), m_home(std::move(home)) {}

ProgramResult WineTarget::reg(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{m_wine, "reg"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    // UTF-8 arguments whatever the user's locale; Wine's debug chatter stays out of the answer.
    return m_run(argv, {"WINEPREFIX=" + m_prefix, "WINEDEBUG=-all", "LC_ALL=C.UTF-8"});
}

// `reg export` writes UTF-16, which keeps every character; `reg query` prints the console's code
// page, which turns a folder such as "C:\Program Files\パーム" into "???". The file goes to the
// prefix's own temporary folder, which every prefix has and Wine names the same way everywhere.
std::optional<std::vector<RegValue>> WineTarget::exportKey(const std::string& key, std::string& problem) {
    // Another copy of the program may export at the same moment: a name of this run's own.
    static const unsigned run = std::random_device{}();
    static std::atomic<unsigned> exports{0};
    const std::string name = "rovik-" + std::to_string(run) + "-" + std::to_string(++exports) + ".reg";
    const std::string folder = mapWinePath(m_prefix, {}, "C:\\windows\\temp", problem);
    if (folder.empty()) return std::nullopt;
    const std::string file = joinPath(folder, name);
    const ProgramResult result = reg({"export", "HKCU\\" + key, "C:\\windows\\temp\\" + name, "/y"});
    std::string bytes;
    const bool read = readWholeFile(file, bytes);
    std::error_code ec;
    fs::remove(nativePath(file), ec);
    if (!result.started) {
        problem = m_wine + " を起動できません。";
        return std::nullopt;
    }
    std::optional<std::vector<RegValue>> values;
    if (result.exitCode == 0 && read) values = parseRegExport(bytes, "HKEY_CURRENT_USER\\" + key);
    if (!values)
        problem = "Wine prefix " + m_prefix +
                  " に Palm Desktop が見つかりません（wine reg export の終了コード " +
                  std::to_string(result.exitCode) + "）。";
    return values;
}

std::string WineTarget::windowsPalmFolder(std::string& problem) {
    if (!m_windowsFolder.empty()) return m_windowsFolder;
    const std::optional<std::vector<RegValue>> core = exportKey(kCoreKey, problem);
    if (!core) return {};
    const std::string path = regString(*core, "Path").value_or(std::string());
    if (path.empty() || regString(*core, "HotSyncPath").value_or(std::string()).empty()) {
        problem = "Wine prefix " + m_prefix + " の Palm Desktop の設定（Path, HotSyncPath）が空です。";
        return {};
    }
    m_windowsFolder = path;
    return path;
}

std::string WineTarget::palmFolder(std::string& problem) {
    const std::string windowsPath = windowsPalmFolder(problem);
    if (windowsPath.empty()) return {};
    const std::string folder = mapWinePath(m_prefix, m_home, windowsPath, problem);
    if (!folder.empty() && !folderExists(folder)) {
        problem = "Palm Desktop のフォルダ " + folder + " がありません。";
        return {};
    }
    return folder;
}

bool WineTarget::setInstallFlag(std::uint32_t id, std::string& problem) {
    const ProgramResult result = reg({"add", "HKCU\\" + std::string(kHotSyncManagerKey), "/v",
                                      "Install" + std::to_string(id), "/t", "REG_DWORD", "/d", "1", "/f"});
    if (result.started && result.exitCode == 0) return true;
    problem = "wine reg add が失敗しました（終了コード " + std::to_string(result.exitCode) + "）。\n" +
              result.output;
    return false;
}

namespace {
std::string escapedRegString(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out;
}

// The key a "[...]" line names, without a leading "HKEY_CURRENT_USER\", in lower case; empty otherwise.
std::string sectionKey(const std::string& line) {
    std::string text = line;
    if (!text.empty() && text.back() == '\r') text.pop_back();
    if (text.size() < 2 || text.front() != '[' || text.back() != ']') return {};
    text = text.substr(1, text.size() - 2);
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string hkcu = "hkey_current_user\\";
    if (text.compare(0, hkcu.size(), hkcu) == 0) text.erase(0, hkcu.size());
    return text;
}

// The name a value line sets ("Name"=...), in lower case; empty for any other line.
std::string valueNameOf(const std::string& line) {
    const std::size_t open = line.find_first_not_of(" \t");
    if (open == std::string::npos || line[open] != '"') return {};
    const std::size_t close = line.find('"', open + 1);
    if (close == std::string::npos) return {};
    const std::size_t equals = line.find_first_not_of(" \t", close + 1);
    if (equals == std::string::npos || line[equals] != '=') return {};
    std::string name = line.substr(open + 1, close - open - 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
}

// A name for a message: control characters, and every byte of a name that is not UTF-8, as \xNN.
std::string printableName(const std::string& name) {
    const bool utf8 = isValidUtf8(name);
    std::string out;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || (b >= 0x80 && !utf8)) {
            static const char kHex[] = "0123456789ABCDEF";
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::string lowerKey(const char* key) {
    std::string text = key;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}
} // namespace

bool writePalmDesktopStandIn(const std::string& registryFile, const std::string& folder,
                             std::string& problem) {
    // The file is one line per value: a folder with a line break would end its value early.
    if (!isValidUtf8(folder) ||
        std::any_of(folder.begin(), folder.end(), [](char c) { return c >= 0 && c < 0x20; })) {
        problem = "フォルダ名「" + printableName(folder) +
                  "」は改行などの制御文字か、UTF-8でない文字を含むため、設定ファイルに書けません。";
        return false;
    }
    std::error_code ec;
    fs::create_directories(nativePath(folderOf(registryFile)), ec);
    // An install setting its flag rewrites the same file: one writer at a time.
    FileLock lock;
    if (!lock.lock(registryFile, problem)) return false;
    std::string bytes;
    if (fileExists(registryFile) && !readWholeFile(registryFile, bytes, &problem)) return false;
    // A UTF-16 export of regedit is rewritten as UTF-8, as the registry layer reads it.
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
        auto text = utf16leToUtf8(bytes.substr(2));
        if (!text) {
            problem = registryFile + " はUTF-16として読めません。";
            return false;
        }
        bytes = *text;
    }
    if (bytes.empty()) bytes = "REGEDIT4\n\n";
    const std::string eol = bytes.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    if (bytes.back() != '\n') bytes += eol;
    const std::string core = lowerKey(kCoreKey), manager = lowerKey(kHotSyncManagerKey);
    const std::string pathLine = "\"Path\"=\"" + escapedRegString(folder) + "\"" + eol;
    const std::string hotSyncLine =
        "\"HotSyncPath\"=\"" + escapedRegString(palmPath(folder, "hotsync.exe")) + "\"" + eol;
    // Only the two values change; every other line, of the Core key too, stays as it was.
    std::string kept;
    bool inCore = false, hasCore = false, hasManager = false, wrotePath = false, wroteHotSync = false;
    std::size_t coreEnd = 0; // where a missing value goes: after the Core key's last line
    std::size_t from = 0;
    while (from < bytes.size()) {
        const std::size_t end = bytes.find('\n', from) + 1;
        const std::string line = bytes.substr(from, end - from);
        from = end;
        const std::string text = line.substr(0, line.find_first_of("\r\n"));
        const std::string key = sectionKey(text);
        if (!key.empty()) {
            inCore = key == core;
            hasCore = hasCore || inCore;
            hasManager = hasManager || key == manager;
        }
        const std::string name = inCore ? valueNameOf(text) : std::string();
        if (name == "path" || name == "hotsyncpath") {
            bool& written = name == "path" ? wrotePath : wroteHotSync;
            if (!written) kept += name == "path" ? pathLine : hotSyncLine;
            written = true;
        } else {
            kept += line;
        }
        if (inCore && text.find_first_not_of(" \t") != std::string::npos) coreEnd = kept.size();
    }
    const std::string missing = (wrotePath ? "" : pathLine) + (wroteHotSync ? "" : hotSyncLine);
    if (hasCore)
        kept.insert(coreEnd, missing);
    else
        kept += eol + "[" + std::string(kCoreKey) + "]" + eol + missing;
    if (!hasManager) kept += eol + "[" + std::string(kHotSyncManagerKey) + "]" + eol;
    return writeFileAtomically(registryFile, kept, &problem);
}

} // namespace rovik
