#include "app/ProgramValues.h"

#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include <filesystem>

namespace rovik {
namespace {
const char* kSettingsName = "Rovik.ini";
constexpr size_t kMaxSettingsLines = 10;

// Settings lines end at CR LF, LF or CR, like every text file the program reads.
std::vector<std::string> settingsLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t brk = bytes.find_first_of("\r\n", start);
        if (brk == std::string::npos) brk = bytes.size();
        lines.push_back(bytes.substr(start, brk - start));
        start = brk + (bytes.compare(brk, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}
} // namespace

ProgramValues& programValues() {
    static ProgramValues values;
    return values;
}

std::string startFolderFile(const ProgramValues& values, const std::string& name) {
    return joinPath(values.startFolder, name);
}

void LoadSettings(ProgramValues& values) {
    std::error_code ec;
    values.startFolder = pathText(std::filesystem::current_path(ec));
    values.dataFolder = values.startFolder;
    values.settings.clear();
    std::string bytes;
    if (!readWholeFile(startFolderFile(values, kSettingsName), bytes)) {
        values.settings = {"", ""};
        return;
    }
    values.settings = settingsFromBytes(bytes);
}

std::vector<std::string> settingsFromBytes(const std::string& bytes) {
    std::vector<std::string> settings;
    for (const auto& line : settingsLines(bytes))
        settings.push_back(cp932ToUtf8(line));
    return settings;
}

bool SaveSettings(ProgramValues& values, std::string* error) {
    std::error_code ec;
    std::filesystem::current_path(nativePath(values.startFolder), ec);
    if (values.settings.empty()) return true;
    std::string bytes;
    for (const auto& line : values.settings) {
        // A path CP932 cannot hold is written without the characters it cannot hold; the
        // entry then simply fails to open later, which is all a recent entry can lose.
        bytes += toCp932(line);
        bytes += "\r\n";
    }
    return writeFileAtomically(startFolderFile(values, kSettingsName), bytes, error);
}

void AddRecentFile(ProgramValues& values, const std::string& path) {
    if (toCp932(path).size() < 5) return;
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
