#include "data/Validation.h"

#include "data/QuestionSet.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"

#include <string_view>

namespace rovik {
namespace {

const std::string& separatorLine() {
    static const std::string line(31, '-');
    return line;
}

// The tabs of a line, found in one pass: how many, and where the first six are.
class TabScan {
public:
    explicit TabScan(std::string_view line) : m_line(line) {
        std::size_t from = 0;
        for (; m_count < kKept; ++m_count) {
            std::size_t tab = line.find('\t', from);
            if (tab == std::string_view::npos) return;
            m_at[m_count] = tab;
            from = tab + 1;
        }
        for (std::size_t i = from; i < line.size(); ++i)
            m_count += line[i] == '\t';
    }
    int itemCount() const { return m_count + 1; }

    // Item n (1 to 6) as ItemText sees it, without copying. False when the line has fewer items.
    bool item(int n, std::string_view& out) const {
        if (m_count < n - 1) return false;
        std::size_t start = n == 1 ? 0 : m_at[n - 2] + 1;
        std::size_t end = m_count >= n ? m_at[n - 1] : m_line.find('\n', start);
        if (end == std::string_view::npos) end = m_line.size();
        out = m_line.substr(start, end - start);
        return true;
    }
    bool itemMissingOrEmpty(int n) const {
        std::string_view out;
        return !item(n, out) || out.empty();
    }

private:
    static constexpr int kKept = 6;
    std::string_view m_line;
    int m_count = 0;
    std::size_t m_at[kKept] = {};
};

// The keyword tests are cheap to skip by the first byte, and there are many lines.
bool mayBeHeader(const std::string& line) {
    return !line.empty() && (line[0] == 't' || line[0] == 'd' || line[0] == 's') && isHeaderLine(line);
}
bool mayBeComment(const std::string& line) {
    return !line.empty() && line[0] == '/' && isCommentLine(line);
}

bool isCategoryCode(char c) {
    return (c >= '1' && c <= '9') || (c >= 'A' && c <= 'F');
}

class LogWriter {
public:
    explicit LogWriter(std::vector<std::string>& log) : m_log(log) {}
    void lineEntry(std::size_t index, const std::string& line, const char* message) {
        m_log.push_back(std::to_string(index + 1) + toCp932("行目"));
        m_log.push_back(line);
        m_log.push_back(toCp932(message));
        m_log.push_back(separatorLine());
    }
    void fileEntry(const char* message) {
        m_log.push_back(toCp932(message));
        m_log.push_back(separatorLine());
    }

private:
    std::vector<std::string>& m_log;
};

void checkRecord(LogWriter& log, std::size_t index, const std::string& line) {
    const TabScan tabs(line);
    if (tabs.itemCount() > 5) log.lineEntry(index, line, "項目が多すぎます。最大５項目です。");
    std::string_view item;
    if (!tabs.item(5, item) || item != "0") log.lineEntry(index, line, "第５項目に0がありません。");
    tabs.item(1, item);
    if (item.size() == 2) {
        if (!isCategoryCode(item[0])) log.lineEntry(index, line, "第１項目は1～9,A～Fです。");
    } else {
        log.lineEntry(index, line, "第１項目は2文字です。");
    }
    if (line.size() > static_cast<std::size_t>(kMaxRecordBytes))
        log.lineEntry(index, line, "レコードが長すぎます。最大306文字です。");
}

void checkQaText(LogWriter& log, const std::vector<std::string>& lines) {
    int titles = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (mayBeHeader(line)) {
            if (isTitleHeaderLine(line)) ++titles;
            if (TabScan(line).itemMissingOrEmpty(2)) log.lineEntry(i, line, "第２項目がありません。");
        } else if (!mayBeComment(line)) {
            checkRecord(log, i, line);
        }
    }
    if (titles == 0) log.fileEntry("tTitleがありません。");
    if (titles > kMaxTitles) log.fileEntry("tTitleが多すぎます。最大15件です。");
}

void checkImportText(LogWriter& log, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const TabScan tabs(line);
        if (tabs.itemCount() > 3) log.lineEntry(i, line, "項目数が多すぎます。最大３項目です。");
        if (tabs.itemMissingOrEmpty(2)) log.lineEntry(i, line, "第２項目がありません。");
        if (line.size() > static_cast<std::size_t>(kMaxRecordBytes))
            log.lineEntry(i, line, "レコードが長すぎます。最大306文字です。");
    }
}

} // namespace

std::vector<std::string> validationLog(const std::vector<std::string>& lines, int mode, int format) {
    std::vector<std::string> log;
    LogWriter writer(log);
    if (mode == 1) checkQaText(writer, lines);
    if (mode == 2 && format == 0) checkImportText(writer, lines);
    return log;
}

std::string errorLogBytes(const std::vector<std::string>& log) {
    std::string bytes;
    for (const auto& line : log) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

int Validate(QuestionSet& set, int mode, int format, const std::string& errorLogPath,
             std::string* writeError) {
    std::vector<std::string> log = validationLog(set.loadingBuffer, mode, format);
    if (log.empty()) return 0;
    std::string reason;
    if (!writeFileAtomically(errorLogPath, errorLogBytes(log), &reason) && writeError) *writeError = reason;
    return -9;
}

} // namespace rovik
