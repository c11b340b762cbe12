#include "hotsync/WineRegistry.h"

#include "platform/TextEncoding.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace rovik {
namespace fs = std::filesystem;

namespace {

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// True when `inner` is `outer` or below it (both canonical).
bool isInside(const fs::path& inner, const fs::path& outer) {
    auto o = outer.begin(), i = inner.begin();
    for (; o != outer.end(); ++o, ++i)
        if (i == inner.end() || *i != *o) return false;
    return true;
}

// A quoted string of an export line from line[pos] == '"'; pos ends after the closing quote. Wine
// writes a line break, a carriage return and a zero inside a value as \n, \r and \0.
bool unquote(const std::string& line, std::size_t& pos, std::string& out) {
    if (pos >= line.size() || line[pos] != '"') return false;
    out.clear();
    for (std::size_t i = pos + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\' || i + 1 == line.size()) {
            out += c;
            continue;
        }
        const char next = line[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == '0' ? '\0' : next;
    }
    return false;
}

int hexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : -1;
}

// A string as Wine's server writes it into user.reg, from just after its opening `close` (a quote,
// or none for a key name up to `close`): \xHHHH (one to four hex digits) is a UTF-16 unit, \ooo an
// octal one, \n and the like a control character. pos ends after the closing character.
std::optional<std::string> wineString(const std::string& line, std::size_t& pos, char close) {
    std::string units; // UTF-16LE
    auto put = [&units](unsigned unit) {
        units += static_cast<char>(unit & 0xFF);
        units += static_cast<char>(unit >> 8 & 0xFF);
    };
    static const std::string kEscapes = "abtnvfre", kCodes = "\a\b\t\n\v\f\r\x1b";
    for (; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == close) {
            ++pos;
            return utf16leToUtf8(units);
        }
        if (c != '\\' || pos + 1 == line.size()) {
            put(static_cast<unsigned char>(c));
            continue;
        }
        const char e = line[++pos];
        unsigned unit = 0;
        if (e == 'x') {
            int digits = 0;
            for (; digits < 4 && pos + 1 < line.size() && hexDigit(line[pos + 1]) >= 0; ++digits)
                unit = unit * 16 + static_cast<unsigned>(hexDigit(line[++pos]));
            if (digits == 0) return std::nullopt;
        } else if (e >= '0' && e <= '7') {
            unit = static_cast<unsigned>(e - '0');
            for (int digits = 1;
                 digits < 3 && pos + 1 < line.size() && line[pos + 1] >= '0' && line[pos + 1] <= '7';
                 ++digits)
                unit = unit * 8 + static_cast<unsigned>(line[++pos] - '0');
        } else if (kEscapes.find(e) != std::string::npos) {
            unit = static_cast<unsigned char>(kCodes[kEscapes.find(e)]);
        } else {
            unit = static_cast<unsigned char>(e);
        }
        put(unit);
    }
    return std::nullopt;
}

// The entry of `folder` named `part` regardless of case; `part` itself when none is there.
fs::path caseBlindEntry(const fs::path& folder, const std::string& part) {
    std::error_code ec;
    if (fs::exists(folder / part, ec)) return folder / part;
    const std::string wanted = lower(part);
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (lower(it->path().filename().string()) == wanted) return it->path();
    return folder / part;
}
} // namespace

std::optional<std::vector<RegValue>> parseRegExport(const std::string& bytes, const std::string& key) {
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) return std::nullopt;
    const std::optional<std::string> text = utf16leToUtf8(bytes.substr(2));
    if (!text) return std::nullopt;
    std::vector<RegValue> values;
    const std::string wanted = "[" + lower(key) + "]";
    bool inKey = false;
    std::size_t from = 0;
    while (from < text->size()) {
        std::size_t end = text->find('\n', from);
        if (end == std::string::npos) end = text->size();
        std::string line = text->substr(from, end - from);
        from = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inKey = lower(line) == wanted;
            continue;
        }
        if (!inKey) continue;
        RegValue value;
        std::size_t pos = 0;
        if (line.compare(0, 1, "@") == 0) {
            value.name = "@";
            pos = 1;
        } else if (!unquote(line, pos, value.name)) {
            continue;
        }
        if (pos >= line.size() || line[pos] != '=') continue;
        ++pos;
        value.type = "other";
        if (line.compare(pos, 1, "\"") == 0) {
            if (!unquote(line, pos, value.data) || pos != line.size()) continue;
            value.type = "REG_SZ";
        } else if (lower(line.substr(pos, 6)) == "dword:" && line.size() == pos + 14) {
            value.type = "REG_DWORD";
            value.data = line.substr(pos + 6);
        }
        values.push_back(std::move(value));
    }
    return values;
}

std::optional<std::vector<RegValue>> parseWineUserReg(const std::string& bytes, const std::string& key) {
    std::optional<std::vector<RegValue>> values;
    bool inKey = false;
    std::size_t from = 0;
    while (from < bytes.size()) {
        std::size_t end = bytes.find('\n', from);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(from, end - from);
        from = end + 1;
        std::size_t pos = 1;
        if (!line.empty() && line[0] == '[') {
            const std::optional<std::string> name = wineString(line, pos, ']');
            inKey = name && lower(*name) == lower(key);
            if (inKey && !values) values.emplace();
            continue;
        }
        if (!inKey || line.empty() || (line[0] != '"' && line[0] != '@')) continue;
        RegValue value{"@", "other", {}};
        if (line[0] == '"') {
            const std::optional<std::string> name = wineString(line, pos, '"');
            if (!name) continue;
            value.name = *name;
        }
        if (pos >= line.size() || line[pos] != '=') continue;
        ++pos;
        if (line.compare(pos, 1, "\"") == 0) {
            ++pos;
            const std::optional<std::string> text = wineString(line, pos, '"');
            if (!text) continue;
            value.type = "REG_SZ";
            value.data = *text;
        } else if (line.compare(pos, 6, "dword:") == 0) {
            value.type = "REG_DWORD";
            value.data = line.substr(pos + 6);
        }
        values->push_back(std::move(value));
    }
    return values;
}

std::optional<std::string> regString(const std::vector<RegValue>& values, const std::string& name) {
    std::optional<std::string> found;
    for (const auto& v : values)
        if (lower(v.name) == lower(name)) found = v.type == "REG_SZ" ? std::optional(v.data) : std::nullopt;
    return found;
}

std::string mapWinePath(const std::string& prefix, const std::string& home, const std::string& windowsPath,
                        std::string& problem) {
    problem.clear();
    if (windowsPath.size() < 2 || !std::isalpha(static_cast<unsigned char>(windowsPath[0])) ||
        windowsPath[1] != ':' || (windowsPath.size() > 2 && windowsPath[2] != '\\')) {
        problem = "「" + windowsPath + "」はドライブ名で始まるパスではありません。";
        return {};
    }
    std::error_code ec;
    const fs::path root = fs::canonical(prefix, ec);
    if (ec) {
        problem = "Wine prefix " + prefix + " がありません。";
        return {};
    }
    // The prefix's own links decide where a drive is: c: is drive_c, z: is "/" by default.
    const std::string drive = lower(windowsPath.substr(0, 2));
    fs::path folder = fs::canonical(root / "dosdevices" / drive, ec);
    if (ec) {
        problem = "ドライブ " + windowsPath.substr(0, 2) + " は Wine prefix " + prefix + " にありません。";
        return {};
    }
    std::size_t from = 3;
    while (from < windowsPath.size()) {
        std::size_t end = windowsPath.find('\\', from);
        if (end == std::string::npos) end = windowsPath.size();
        const std::string part = windowsPath.substr(from, end - from);
        from = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == ".." || part.find('/') != std::string::npos) {
            problem = "「" + windowsPath + "」は使えないフォルダ名を含んでいます。";
            return {};
        }
        folder = caseBlindEntry(folder, part);
    }
    // Wine links the user's folders (Documents, Desktop, ...) into $HOME: those are the user's
    // own too. Anything else outside the prefix is not Palm Desktop's to write into.
    const fs::path resolved = fs::weakly_canonical(folder, ec);
    const fs::path homeFolder = home.empty() ? fs::path() : fs::canonical(home, ec);
    if (!resolved.empty() &&
        (isInside(resolved, root) || (!homeFolder.empty() && isInside(resolved, homeFolder))))
        return resolved.string();
    problem = "「" + windowsPath + "」は " + resolved.string() + " を指しています。Wine prefix " + prefix +
              (home.empty() ? "" : " とホームフォルダ " + home) + " の外には書き込みません。";
    return {};
}

} // namespace rovik
