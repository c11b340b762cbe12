#include "hotsync/WineRegistry.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace rovik {
namespace fs = std::filesystem;

namespace {
constexpr const char* kGap = "    ";

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

std::vector<RegQueryValue> parseRegQuery(const std::string& output) {
    std::vector<RegQueryValue> values;
    std::size_t from = 0;
    while (from < output.size()) {
        std::size_t end = output.find('\n', from);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(from, end - from);
        from = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Value lines are indented and read "NAME    TYPE    DATA"; key lines start at the margin.
        if (line.compare(0, 4, kGap) != 0) continue;
        const std::size_t typeAt = line.find(std::string(kGap) + "REG_", 4);
        if (typeAt == std::string::npos) continue;
        RegQueryValue value;
        value.name = line.substr(4, typeAt - 4);
        const std::size_t typeFrom = typeAt + 4;
        const std::size_t dataAt = line.find(kGap, typeFrom);
        value.type =
            line.substr(typeFrom, dataAt == std::string::npos ? std::string::npos : dataAt - typeFrom);
        if (dataAt != std::string::npos) value.data = line.substr(dataAt + 4);
        values.push_back(std::move(value));
    }
    return values;
}

std::optional<std::string> regQueryValue(const std::vector<RegQueryValue>& values, const std::string& name) {
    for (const auto& v : values)
        if (lower(v.name) == lower(name)) return v.data;
    return std::nullopt;
}

std::string mapWinePath(const std::string& prefix, const std::string& windowsPath, std::string& problem) {
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
    const std::string drive = lower(windowsPath.substr(0, 2));
    fs::path folder = fs::canonical(root / "dosdevices" / drive, ec);
    if (ec || !isInside(folder, root)) {
        problem =
            "ドライブ " + windowsPath.substr(0, 2) + " は Wine prefix " + prefix + " の中を指していません。";
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
    // Links inside the prefix may still lead out of it.
    const fs::path resolved = fs::weakly_canonical(folder, ec);
    if (ec || !isInside(resolved, root)) {
        problem = "「" + windowsPath + "」は Wine prefix " + prefix + " の外を指しています。";
        return {};
    }
    return resolved.string();
}

} // namespace rovik
