#include "settings/ProgramValues.h"

#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include <filesystem>

namespace rovik {
namespace {
const char* kSettingsName = "Rovik.ini";
constexpr size_t kMaxSettingsLines = 10;
} // namespace

ProgramValues& programValues() {
    static ProgramValues values;
    return values;
}

std::string startFolderFile(const ProgramValues& values, const std::string& name) {
    return joinPath(values.startFolder, name);
}

std::string settingsFilePath(const ProgramValues& values) {
    return startFolderFile(values, kSettingsName);
}

void LoadSettings(ProgramValues& values) {
    std::error_code ec;
    values.startFolder = pathText(std::filesystem::current_path(ec));
    values.dataFolder = values.startFolder;
    values.settingsProblem.clear();
    const std::string path = settingsFilePath(values);
    const SettingsRead read = readSettingsFile(path, values.settings);
    values.settingsKept = read == SettingsRead::Unreadable;
    if (values.settingsKept)
        values.settingsProblem =
            "設定ファイルを読めません。最近使ったファイルと出題設定は保存されません。\n" + path;
    // An empty file is a new list too: with fewer than two lines no recent file could be kept.
    if (values.settings.empty()) values.settings = {"", ""};
}

std::string settingsNotSavedReason(const ProgramValues& values) {
    const std::string path = settingsFilePath(values);
    if (values.settings.empty()) return {};
    if (values.settingsKept || !mayReplaceFile(path))
        return "設定ファイルに書き込めないため、最近使ったファイルと出題設定は保存されません。\n" + path;
    return {};
}

bool SaveSettings(ProgramValues& values, std::string* error) {
    std::error_code ec;
    std::filesystem::current_path(nativePath(values.startFolder), ec);
    if (values.settings.empty()) return true;
    // A file the user could not read or may not write is left as it is, never renamed over.
    const std::string reason = settingsNotSavedReason(values);
    if (!reason.empty()) {
        if (error) *error = reason;
        return false;
    }
    return writeFileAtomically(settingsFilePath(values), settingsBytes(values.settings), error);
}

void AddRecentFile(ProgramValues& values, const std::string& path) {
    // The settings file holds Shift-JIS text: a path that would not read back as itself (raw
    // Shift-JIS bytes, a character with a second form such as 〜) would name another file.
    const Cp932Encoding encoded = utf8ToCp932(path);
    if (!encoded.ok() || cp932ToUtf8(encoded.bytes) != path) return;
    if (encoded.bytes.size() < 5 || encoded.bytes.size() > kMaxSettingsLineBytes) return;
    auto& list = values.settings;
    if (list.size() < 2) return;
    list.insert(list.begin() + 1, path);
    for (size_t i = list.size() - 1; i >= 2; --i)
        if (list[i] == list[1]) list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    if (list.size() > kMaxSettingsLines) list.erase(list.begin() + kMaxSettingsLines);
}

std::vector<std::string> recentFiles(const ProgramValues& values) {
    std::vector<std::string> files;
    for (size_t i = 1; i < values.settings.size(); ++i)
        if (!values.settings[i].empty()) files.push_back(values.settings[i]);
    return files;
}

} // namespace rovik
