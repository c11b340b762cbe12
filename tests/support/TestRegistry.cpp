#include "support/TestRegistry.h"

#include "platform/FileIo.h"
#include "support/TempFolder.h"

#include <cstdio>

#ifdef _WIN32
#include <cstdint>
#include <cstdlib>
#include <windows.h>
#endif

namespace rovik::test {

#ifdef _WIN32
namespace {
// Every key the tests write lies below one of these.
const wchar_t* const kTestRoots[] = {L"Software\\U.S. Robotics", L"Software\\Other"};

std::wstring fromCp932(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(932, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

void clearTestKeys() {
    for (const wchar_t* root : kTestRoots)
        RegDeleteTreeW(HKEY_CURRENT_USER, root);
}

// A quoted REGEDIT4 string from s[pos] == '"'; pos ends after the closing quote.
std::string unquote(const std::string& s, size_t& pos) {
    std::string out;
    for (++pos; pos < s.size() && s[pos] != '"'; ++pos) {
        const unsigned char c = static_cast<unsigned char>(s[pos]);
        // The second byte of a double-byte character may be a backslash; it escapes nothing.
        if (((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && pos + 1 < s.size()) {
            out += s[pos++];
        } else if (c == '\\' && pos + 1 < s.size()) {
            ++pos;
        }
        out += s[pos];
    }
    ++pos;
    return out;
}

void loadIntoRegistry(const std::string& text) {
    HKEY key = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = text.find_first_not_of("\r\n", end);
        if (start == std::string::npos) start = text.size();
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
            if (key) RegCloseKey(key);
            key = nullptr;
            std::string path = line.substr(1, line.size() - 2);
            const std::string root = "HKEY_CURRENT_USER\\";
            if (path.rfind(root, 0) == 0) path.erase(0, root.size());
            RegCreateKeyExW(HKEY_CURRENT_USER, fromCp932(path).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr);
            continue;
        }
        if (!key || line.empty() || line[0] != '"') continue;
        size_t pos = 0;
        const std::wstring name = fromCp932(unquote(line, pos));
        if (pos >= line.size() || line[pos] != '=') continue;
        ++pos;
        if (pos < line.size() && line[pos] == '"') {
            const std::wstring value = fromCp932(unquote(line, pos));
            RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        } else if (line.compare(pos, 6, "dword:") == 0) {
            const DWORD value = static_cast<DWORD>(std::strtoul(line.c_str() + pos + 6, nullptr, 16));
            RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                           sizeof value);
        }
    }
    if (key) RegCloseKey(key);
}
} // namespace
#endif

void writeTestRegistry(const std::string& file, const std::string& text) {
    if (std::FILE* f = openFile(file, "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
#ifdef _WIN32
    clearTestKeys();
    loadIntoRegistry(text);
#endif
}

void removeTestRegistry(const std::string& file) {
    std::remove(nativePath(file).string().c_str());
#ifdef _WIN32
    clearTestKeys();
#endif
}

} // namespace rovik::test
