#include "settings/SettingsFile.h"

#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace rovik {
namespace fs = std::filesystem;
namespace {

// Splits bytes fed in pieces at CR LF, LF or CR; stops taking lines once the list is full.
class LineSplitter {
public:
    explicit LineSplitter(std::vector<std::string>& lines) : m_lines(lines) {}

    bool full() const { return m_lines.size() >= kMaxSettingsReadLines; }

    void feed(const char* data, std::size_t size) {
        for (std::size_t i = 0; i < size && !full(); ++i) {
            const char c = data[i];
            if (m_afterCr && c == '\n') {
                m_afterCr = false;
                continue;
            }
            m_afterCr = c == '\r';
            if (c == '\r' || c == '\n') {
                endLine();
            } else if (m_line.size() < kMaxSettingsLineBytes) {
                m_line += c;
            } else {
                m_tooLong = true;
            }
            m_open = c != '\r' && c != '\n';
        }
    }

    void finish() {
        if (m_open && !full()) endLine();
    }

private:
    void endLine() {
        m_lines.push_back(m_tooLong ? std::string() : converted(m_line));
        m_line.clear();
        m_tooLong = false;
        m_open = false;
    }
    // A line that does not come back as the same bytes would be stored as another path.
    static std::string converted(const std::string& cp932) {
        std::string utf8 = cp932ToUtf8(cp932);
        Cp932Encoding back = utf8ToCp932(utf8);
        return back.ok() && back.bytes == cp932 ? utf8 : std::string();
    }

    std::vector<std::string>& m_lines;
    std::string m_line;
    bool m_afterCr = false;
    bool m_tooLong = false;
    bool m_open = false;
};

bool ownerMay(const std::string& path, fs::perms bit) {
    std::error_code ec;
    const fs::perms p = fs::status(nativePath(path), ec).permissions();
    return ec || (p & bit) != fs::perms::none;
}
} // namespace

SettingsRead readSettingsFile(const std::string& path, std::vector<std::string>& lines) {
    lines.clear();
    std::error_code ec;
    // Wide names on Windows: a start folder such as "起動" must not read as missing and be
    // overwritten at close.
    if (!fs::exists(nativePath(path), ec)) return ec ? SettingsRead::Unreadable : SettingsRead::Missing;
    if (fs::is_directory(nativePath(path), ec) || !ownerMay(path, fs::perms::owner_read))
        return SettingsRead::Unreadable;
    std::FILE* f = openFile(path, "rb");
    if (!f) return errno == ENOENT ? SettingsRead::Missing : SettingsRead::Unreadable;
    LineSplitter splitter(lines);
    char buf[1 << 14];
    std::size_t n;
    while (!splitter.full() && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
        splitter.feed(buf, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        lines.clear();
        return SettingsRead::Unreadable;
    }
    splitter.finish();
    return SettingsRead::Read;
}

std::vector<std::string> settingsFromBytes(const std::string& bytes) {
    std::vector<std::string> lines;
    LineSplitter splitter(lines);
    splitter.feed(bytes.data(), bytes.size());
    splitter.finish();
    return lines;
}

std::string settingsBytes(const std::vector<std::string>& settings) {
    std::string bytes;
    for (const auto& line : settings) {
        Cp932Encoding encoded = utf8ToCp932(line);
        if (encoded.ok()) bytes += encoded.bytes;
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace rovik
