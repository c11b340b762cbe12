#include "platform/Registry.h"

#include "platform/FileIo.h"
#include "platform/FileLock.h"
#include "platform/TextEncoding.h"

#ifdef _WIN32
#include <algorithm>
#include <windows.h>
#else
#include <cstdio>
#include <cstdlib>
#include <vector>
#endif

namespace rovik {

#ifdef _WIN32

namespace {
std::wstring fromUtf8(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

// The one conversion of a registry string; an unpaired surrogate makes it not sound.
std::optional<std::string> toUtf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()),
                                nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::nullopt;
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), static_cast<int>(wide.size()),
                        bytes.data(), n, nullptr, nullptr);
    return bytes;
}
} // namespace

struct RegistryKey::Impl {
    HKEY key = nullptr;
};

std::string registryFilePath() {
    return {};
}
void setRegistryFilePath(const std::string&) {}

RegistryKey::RegistryKey() : m_impl(std::make_unique<Impl>()) {}
RegistryKey::~RegistryKey() {
    close();
}

bool RegistryKey::open(const std::string& keyPath) {
    close();
    // RegOpenKeyExW never creates the key; a key we may only read is still opened for reading.
    const std::wstring path = fromUtf8(keyPath);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_SET_VALUE, &key) != ERROR_SUCCESS &&
        RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    m_impl->key = key;
    return true;
}

bool RegistryKey::isOpen() const {
    return m_impl->key != nullptr;
}

void RegistryKey::close() {
    if (m_impl->key) RegCloseKey(m_impl->key);
    m_impl->key = nullptr;
}

std::optional<std::string> RegistryKey::readString(const std::string& name) const {
    if (!m_impl->key) return std::nullopt;
    const std::wstring valueName = fromUtf8(name);
    DWORD type = 0, size = 0;
    // Each UTF-8 byte comes from at most one UTF-16 unit: the byte limit bounds the units too.
    if (RegQueryValueExW(m_impl->key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > (kMaxRegistryValueBytes + 1) * sizeof(wchar_t))
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(m_impl->key, valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(value.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.resize(std::min<size_t>(value.size(), size / sizeof(wchar_t)));
    size_t end = value.find(L'\0');
    if (end != std::wstring::npos) value.resize(end);
    auto bytes = toUtf8(value);
    if (!bytes || bytes->size() > kMaxRegistryValueBytes) return std::nullopt;
    return bytes;
}

std::optional<std::uint32_t> RegistryKey::readDword(const std::string& name) const {
    if (!m_impl->key) return std::nullopt;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(m_impl->key, fromUtf8(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value)
        return std::nullopt;
    return value;
}

bool RegistryKey::writeDword(const std::string& name, std::uint32_t value, std::string*) {
    if (!m_impl->key) return false;
    DWORD data = value;
    return RegSetValueExW(m_impl->key, fromUtf8(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

#else // the text file standing for HKEY_CURRENT_USER

namespace {
std::string g_overridePath;

// Larger files are read only up to here (as far as whole lines go) and never rewritten.
constexpr std::size_t kMaxFileBytes = 64u << 20;

// Case-insensitive form of a key or value name (UTF-8: only ASCII letters have a case here).
std::string fold(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
    return out;
}

// Key path without trailing backslashes.
std::string trimKey(const std::string& key) {
    return key.substr(0, key.find_last_not_of('\\') + 1);
}

std::string trimSpaces(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

struct Line {
    std::string raw;     // with its line end, in the file's own encoding
    std::string text;    // without it, as UTF-8
    bool broken = false; // neither UTF-8 nor CP932: its values are not sound
};

// Each line is read in its own encoding: the settings dialog writes UTF-8, a REGEDIT4 export of a
// Japanese Windows is CP932, and a file may hold both once one was added to the other.
Line decodedLine(std::string raw, const std::string& bytes) {
    if (auto text = utf8OrCp932ToUtf8(bytes)) return {std::move(raw), std::move(*text), false};
    return {std::move(raw), cp932ToUtf8(bytes), true};
}

// The line end of a raw line ("\r\n", "\n", "\r" or nothing): its text may be longer or shorter
// than its bytes, once decoded.
std::string lineEnd(const std::string& raw) {
    const std::size_t end = raw.find_last_not_of("\r\n");
    return raw.substr(end == std::string::npos ? 0 : end + 1);
}

struct FileText {
    std::vector<Line> lines;
    std::string eol = "\r\n";
    bool complete = true; // false when the file was larger than we read
};

// Regedit of Windows 2000 and later exports UTF-16LE; such a file is read, and rewritten, as UTF-8.
// One too large to read whole is not read at all: it cannot be cut at a line end as bytes.
bool decodeUtf16File(std::string& bytes) {
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) return true;
    auto utf8 = bytes.size() > kMaxFileBytes ? std::nullopt : utf16leToUtf8(bytes.substr(2));
    if (!utf8) return false;
    bytes = std::move(*utf8);
    return true;
}

bool loadFile(const std::string& path, FileText& file) {
    std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::string bytes;
    char buf[1 << 16];
    size_t n;
    while (bytes.size() <= kMaxFileBytes && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok || !decodeUtf16File(bytes)) return false;
    if (bytes.size() > kMaxFileBytes) {
        file.complete = false;
        size_t lastEnd = bytes.find_last_of("\r\n", kMaxFileBytes);
        bytes.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }
    if (bytes.find("\r\n") == std::string::npos && bytes.find('\n') != std::string::npos) file.eol = "\n";
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", pos);
        size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end != std::string::npos && bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n')
            ++next;
        file.lines.push_back(decodedLine(bytes.substr(pos, next - pos),
                                         bytes.substr(pos, (end == std::string::npos ? next : end) - pos)));
        pos = next;
    }
    return true;
}

enum class SectionKind { None, Ours, Foreign };
struct Section {
    SectionKind kind = SectionKind::None;
    std::string key; // folded
};

Section parseSection(const std::string& text) {
    std::string t = trimSpaces(text);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') return {};
    std::string key = t.substr(1, t.size() - 2);
    if (!key.empty() && key[0] == '-') return {SectionKind::Foreign, {}}; // a deletion, not a key
    std::string folded = fold(key);
    const std::string root = "hkey_current_user";
    if (folded.rfind(root, 0) == 0 && (folded.size() == root.size() || folded[root.size()] == '\\'))
        folded.erase(0, root.size() + (folded.size() > root.size() ? 1 : 0));
    else if (folded.rfind("hkey_", 0) == 0)
        return {SectionKind::Foreign, {}};
    return {SectionKind::Ours, trimKey(folded)};
}

enum class ValueKind { String, Dword, Other, Deleted };
struct Value {
    std::string name;
    ValueKind kind = ValueKind::Other;
    std::string text;
    std::uint32_t dword = 0;
};

// Reads a quoted REGEDIT4 string starting at s[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> parseQuoted(const std::string& s, size_t& pos) {
    std::string out;
    for (size_t i = pos + 1; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out += s[++i];
        } else if (c == '"') {
            pos = i + 1;
            return out;
        } else {
            out += s[i];
        }
        if (out.size() > kMaxRegistryValueBytes) return std::nullopt;
    }
    return std::nullopt; // unterminated
}

std::optional<std::uint32_t> parseDword(const std::string& digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : digits) {
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
        if (d < 0) return std::nullopt;
        v = v * 16 + static_cast<std::uint32_t>(d);
    }
    return v;
}

// A value line, or nothing when the line is not a sound value line.
std::optional<Value> parseValue(const std::string& text) {
    size_t pos = text.find_first_not_of(" \t");
    if (pos == std::string::npos) return std::nullopt;
    Value v;
    if (text[pos] == '@') {
        ++pos;
    } else if (text[pos] == '"') {
        auto name = parseQuoted(text, pos);
        if (!name) return std::nullopt;
        v.name = *name;
    } else {
        return std::nullopt;
    }
    pos = text.find_first_not_of(" \t", pos);
    if (pos == std::string::npos || text[pos] != '=') return std::nullopt;
    pos = text.find_first_not_of(" \t", pos + 1);
    if (pos == std::string::npos) return std::nullopt;
    if (text[pos] == '"') {
        auto value = parseQuoted(text, pos);
        if (!value || !trimSpaces(text.substr(pos)).empty()) return std::nullopt;
        v.kind = ValueKind::String;
        v.text = *value;
        return v;
    }
    std::string rest = trimSpaces(text.substr(pos));
    if (rest == "-") {
        v.kind = ValueKind::Deleted;
        return v;
    }
    if (fold(rest.substr(0, 6)) == "dword:") {
        auto dword = parseDword(rest.substr(6));
        if (!dword) return std::nullopt;
        v.kind = ValueKind::Dword;
        v.dword = *dword;
        return v;
    }
    return v; // hex and other types: present, but no string and no DWORD
}

bool keyExists(const FileText& file, const std::string& foldedKey) {
    for (const Line& line : file.lines) {
        Section s = parseSection(line.text);
        if (s.kind != SectionKind::Ours) continue;
        if (foldedKey.empty() || s.key == foldedKey || s.key.rfind(foldedKey + "\\", 0) == 0) return true;
    }
    return false;
}

// Index of the line holding the effective definition of `name` in the key, or -1.
int findValueLine(const FileText& file, const std::string& foldedKey, const std::string& foldedName) {
    int found = -1;
    bool inKey = false;
    for (size_t i = 0; i < file.lines.size(); ++i) {
        const std::string& text = file.lines[i].text;
        Section s = parseSection(text);
        if (s.kind != SectionKind::None) {
            inKey = s.kind == SectionKind::Ours && s.key == foldedKey;
            continue;
        }
        if (!inKey) continue;
        auto v = parseValue(text);
        if (v && fold(v->name) == foldedName)
            found = v->kind == ValueKind::Deleted ? -1 : static_cast<int>(i);
    }
    return found;
}

std::string quote(const std::string& s) {
    std::string out = "\"";
    for (const char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string dwordLine(const std::string& name, std::uint32_t value) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(value));
    return quote(name) + "=dword:" + digits;
}
} // namespace

std::string registryFilePath() {
    if (!g_overridePath.empty()) return g_overridePath;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return {};
        folder = joinPath(home, ".config");
    }
    return joinPath(joinPath(folder, "rovik"), "HKEY_CURRENT_USER.reg");
}

void setRegistryFilePath(const std::string& path) {
    g_overridePath = path;
}

struct RegistryKey::Impl {
    bool open = false;
    std::string path;
    std::string keyPath; // as the caller wrote it
    std::string key;     // folded
    FileText file;       // as read when the key was opened
};

RegistryKey::RegistryKey() : m_impl(std::make_unique<Impl>()) {}
RegistryKey::~RegistryKey() = default;

bool RegistryKey::open(const std::string& keyPath) {
    close();
    Impl& d = *m_impl;
    d.path = registryFilePath();
    d.keyPath = trimKey(keyPath);
    d.key = fold(d.keyPath);
    if (!loadFile(d.path, d.file) || !keyExists(d.file, d.key)) {
        close();
        return false;
    }
    d.open = true;
    return true;
}

bool RegistryKey::isOpen() const {
    return m_impl->open;
}

void RegistryKey::close() {
    *m_impl = Impl{};
}

std::optional<std::string> RegistryKey::readString(const std::string& name) const {
    if (!m_impl->open) return std::nullopt;
    int line = findValueLine(m_impl->file, m_impl->key, fold(name));
    if (line < 0) return std::nullopt;
    const Line& found = m_impl->file.lines[static_cast<size_t>(line)];
    auto v = parseValue(found.text);
    if (!v || v->kind != ValueKind::String || found.broken) return std::nullopt;
    return v->text;
}

std::optional<std::uint32_t> RegistryKey::readDword(const std::string& name) const {
    if (!m_impl->open) return std::nullopt;
    int line = findValueLine(m_impl->file, m_impl->key, fold(name));
    if (line < 0) return std::nullopt;
    auto v = parseValue(m_impl->file.lines[static_cast<size_t>(line)].text);
    if (!v || v->kind != ValueKind::Dword) return std::nullopt;
    return v->dword;
}

bool RegistryKey::writeDword(const std::string& name, std::uint32_t value, std::string* problem) {
    Impl& d = *m_impl;
    if (!d.open) return false;
    // Another install may set its flag at the same moment: one writer at a time, each reading
    // the file again under the lock, since it may have changed since the key was opened.
    FileLock lock;
    std::string reason;
    if (!lock.lock(d.path, reason)) {
        if (problem) *problem = reason;
        return false;
    }
    FileText file;
    if (!loadFile(d.path, file) || !file.complete || !keyExists(file, d.key)) return false;
    int at = findValueLine(file, d.key, fold(name));
    if (at >= 0) {
        // The value keeps the spelling of its name, as the registry does.
        Line& line = file.lines[static_cast<size_t>(at)];
        const std::string newLine = dwordLine(parseValue(line.text)->name, value);
        line.raw = newLine + lineEnd(line.raw);
        line.text = newLine;
    } else {
        const std::string newLine = dwordLine(name, value);
        // After the last sound line of the key's last section; a new section when it has none.
        int insertAfter = -1;
        bool inKey = false;
        for (size_t i = 0; i < file.lines.size(); ++i) {
            Section s = parseSection(file.lines[i].text);
            if (s.kind != SectionKind::None) inKey = s.kind == SectionKind::Ours && s.key == d.key;
            if (inKey && !trimSpaces(file.lines[i].text).empty()) insertAfter = static_cast<int>(i);
        }
        std::vector<Line> added;
        if (insertAfter < 0) {
            insertAfter = static_cast<int>(file.lines.size()) - 1;
            const std::string header = "[" + d.keyPath + "]";
            added.push_back({file.eol, ""});
            added.push_back({header + file.eol, header});
        }
        added.push_back({newLine + file.eol, newLine});
        if (insertAfter >= 0) {
            Line& before = file.lines[static_cast<size_t>(insertAfter)];
            if (lineEnd(before.raw).empty()) before.raw += file.eol;
        }
        file.lines.insert(file.lines.begin() + (insertAfter + 1), added.begin(), added.end());
    }
    std::string bytes;
    for (const Line& line : file.lines)
        bytes += line.raw;
    if (!writeFileAtomically(d.path, bytes, problem)) return false;
    d.file = std::move(file);
    return true;
}

#endif

} // namespace rovik
