#include "data/Validation.h"

#include "data/Common.h"
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

constexpr const char* kTooLong = "レコードが長すぎます。最大306文字です。";
constexpr const char* kTooLongWidened =
    "レコードが長すぎます。最大306文字です。（半角カナは全角にして数えます）";

// Half-width katakana are widened when the line is stored or saved, so the limit counts them
// widened; the message says so when only the widening crosses it. Widening at most doubles a
// line, so short lines need no conversion.
const char* lengthProblem(const std::string& line) {
    constexpr std::size_t limit = kMaxRecordBytes;
    if (line.size() > limit) return kTooLong;
    if (line.size() * 2 <= limit || !HasHalfWidthKana(line)) return nullptr;
    return ToFullWidthKana(line).size() > limit ? kTooLongWidened : nullptr;
}

template <typename Report> void checkRecord(const std::string& line, Report report) {
    const TabScan tabs(line);
    if (tabs.itemCount() > 5) report("項目が多すぎます。最大５項目です。");
    std::string_view item;
    if (!tabs.item(5, item) || item != "0") report("第５項目に0がありません。");
    tabs.item(1, item);
    if (item.size() == 2) {
        if (!isCategoryCode(item[0])) report("第１項目は1～9,A～Fです。");
    } else {
        report("第１項目は2文字です。");
    }
    if (const char* problem = lengthProblem(line)) report(problem);
}

// The checks of one line of QA text; the title count is the caller's.
template <typename Report> void checkQaLine(const std::string& line, Report report) {
    if (mayBeHeader(line)) {
        if (TabScan(line).itemMissingOrEmpty(2)) report("第２項目がありません。");
    } else if (!mayBeComment(line)) {
        checkRecord(line, report);
    }
}

void checkQaText(LogWriter& log, const std::vector<std::string>& lines) {
    int titles = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (mayBeHeader(line) && isTitleHeaderLine(line)) ++titles;
        checkQaLine(line, [&](const char* message) { log.lineEntry(i, line, message); });
    }
    if (titles == 0) log.fileEntry("tTitleがありません。");
    if (titles > kMaxTitles) log.fileEntry("tTitleが多すぎます。最大15件です。");
}

// An import line becomes the record "11", its three items and "0": seven bytes more than its
// items, and its half-width katakana widened.
std::size_t importRecordSize(const TabScan& tabs) {
    std::size_t size = 7;
    std::string_view item;
    for (int n = 1; n <= 3; ++n)
        if (tabs.item(n, item)) size += ToFullWidthKana(std::string(item)).size();
    return size;
}

void checkImportText(LogWriter& log, const std::vector<std::string>& lines) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const TabScan tabs(line);
        if (tabs.itemCount() > 3) log.lineEntry(i, line, "項目数が多すぎます。最大３項目です。");
        if (tabs.itemMissingOrEmpty(2)) log.lineEntry(i, line, "第２項目がありません。");
        constexpr std::size_t limit = kMaxRecordBytes;
        if (line.size() > limit)
            log.lineEntry(i, line, kTooLong);
        else if (line.size() * 2 + 7 > limit && importRecordSize(tabs) > limit)
            log.lineEntry(i, line, HasHalfWidthKana(line) ? kTooLongWidened : kTooLong);
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

std::vector<std::string> lineProblems(const std::string& line) {
    std::vector<std::string> problems;
    checkQaLine(line, [&](const char* message) { problems.emplace_back(message); });
    return problems;
}

const char* recordLengthProblem(const std::string& line) {
    return mayBeHeader(line) || mayBeComment(line) ? nullptr : lengthProblem(line);
}

std::string shownLine(const std::string& line) {
    constexpr std::size_t kShownCharacters = 60;
    const std::string text = cp932ToUtf8(line);
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (characters++ == kShownCharacters) return text.substr(0, i) + "…";
    }
    return text;
}

std::string editRefusalText(std::size_t index, const std::string& line,
                            const std::vector<std::string>& problems) {
    std::string text = "この変更はできません。" + std::to_string(index + 1) +
                       "行目が読み込めない行になります。\n" + shownLine(line);
    for (const auto& problem : problems)
        text += "\n" + problem;
    return text;
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
