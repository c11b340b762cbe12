#include "support/TestRegistry.h"

#include "platform/FileIo.h"
#include "platform/TextEncoding.h"
#include "support/TempFolder.h"

#include <cstdio>

#ifdef _WIN32
#include <cstdint>
#include <cwchar>
#include <windows.h>
#endif

namespace rovik::test {

#ifdef _WIN32
namespace {
// Every key the tests write lies below one of these.
const wchar_t* const kTestRoots[] = {L"Software\\U.S. Robotics", L"Software\\Other"};

// A line as the registry layer reads the stand-in file: UTF-8 when it is valid UTF-8, else CP932.
std::wstring decodedLine(const std::string& text) {
    if (text.empty()) return {};
    const UINT codePage = isValidUtf8(text) ? CP_UTF8 : 932;
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

void clearTestKeys() {
    for (const wchar_t* root : kTestRoots)
        RegDeleteTreeW(HKEY_CURRENT_USER, root);
}

// A quoted REGEDIT4 string from s[pos] == '"'; pos ends after the closing quote.
std::wstring unquote(const std::wstring& s, size_t& pos) {
    std::wstring out;
    for (++pos; pos < s.size() && s[pos] != L'"'; ++pos) {
        if (s[pos] == L'\\' && pos + 1 < s.size()) ++pos;
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
        const std::wstring line = decodedLine(text.substr(start, end - start));
        start = text.find_first_not_of("\r\n", end);
        if (start == std::string::npos) start = text.size();
        if (line.size() > 2 && line.front() == L'[' && line.back() == L']') {
            if (key) RegCloseKey(key);
            key = nullptr;
            std::wstring path = line.substr(1, line.size() - 2);
            const std::wstring root = L"HKEY_CURRENT_USER\\";
            if (path.rfind(root, 0) == 0) path.erase(0, root.size());
            RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr);
            continue;
        }
        if (!key || line.empty() || line[0] != L'"') continue;
        size_t pos = 0;
        const std::wstring name = unquote(line, pos);
        if (pos >= line.size() || line[pos] != L'=') continue;
        ++pos;
        if (pos < line.size() && line[pos] == L'"') {
            const std::wstring value = unquote(line, pos);
            RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        } else if (line.compare(pos, 6, L"dword:") == 0) {
            const DWORD value = static_cast<DWORD>(std::wcstoul(line.c_str() + pos + 6, nullptr, 16));
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
