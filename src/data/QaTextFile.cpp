#include "data/QaTextFile.h"

#include "data/Common.h"
#include "data/DataListView.h"
#include "data/QuestionSet.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "platform/TextEncoding.h"

#include <cstring>

namespace rovik {
namespace {
bool endsWith(const std::string& text, const char* suffix) {
    std::string s(suffix);
    return text.size() >= s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
}
} // namespace

size_t countByte(const char* p, size_t size, char byte) {
    size_t count = 0;
    for (const char* const stop = p + size; p < stop; ++count) {
        p = static_cast<const char*>(std::memchr(p, byte, static_cast<size_t>(stop - p)));
        if (!p) break;
        ++p;
    }
    return count;
}

void LineSplitter::feed(const char* data, size_t size) {
    if (m_ended) return;
    if (const void* nul = std::memchr(data, '\0', size)) {
        size = static_cast<size_t>(static_cast<const char*>(nul) - data);
        m_ended = true;
    }
    size_t start = 0;
    if (m_afterCr && size > 0 && data[0] == '\n') start = 1;
    if (size > 0) m_afterCr = false;
    size_t nextFeed = std::string::npos; // the first LF at or after start, or size when none
    while (start < size) {
        // find_first_of would call memchr once per byte; two memchr calls per line are far cheaper.
        if (nextFeed == std::string::npos || nextFeed < start) {
            const void* feed = std::memchr(data + start, '\n', size - start);
            nextFeed = feed ? static_cast<size_t>(static_cast<const char*>(feed) - data) : size;
        }
        const void* ret = std::memchr(data + start, '\r', nextFeed - start);
        const size_t brk = ret ? static_cast<size_t>(static_cast<const char*>(ret) - data) : nextFeed;
        if (brk >= size) {
            m_partial.append(data + start, size - start);
            break;
        }
        if (m_partial.empty()) {
            m_lines.emplace_back(data + start, brk - start);
        } else {
            m_partial.append(data + start, brk - start);
            m_lines.push_back(std::move(m_partial));
            m_partial.clear();
        }
        start = brk + 1;
        if (data[brk] != '\r') continue;
        if (start < size)
            start += data[start] == '\n' ? 1 : 0;
        else
            m_afterCr = true;
    }
}

std::vector<std::string> LineSplitter::finish() {
    if (!m_partial.empty()) m_lines.push_back(std::move(m_partial));
    m_partial.clear();
    return std::move(m_lines);
}

std::vector<std::string> splitTextLines(const std::string& bytes) {
    LineSplitter splitter;
    // Counting the line ends first spares a large text the vector's regrowth, which costs more
    // time than the count and, at its peak, half as much memory again as the lines need.
    size_t ends = countByte(bytes.data(), bytes.size(), '\n');
    if (ends == 0) ends = countByte(bytes.data(), bytes.size(), '\r');
    splitter.reserve(ends + 1);
    splitter.feed(bytes.data(), bytes.size());
    return splitter.finish();
}

int ClassifyQuizLine(const std::string& line) {
    if (beginsWith(line, "//")) return -99;
    if (line.size() > 2047) return -1;
    if (CountItems(line, kTab) < 2) return -2;
    if (beginsWith(line, "tTitle") || beginsWith(line, "dBunrui") || beginsWith(line, "sBunrui")) return 0;
    if (CountItems(line, kTab) < 5) return -5;
    return 0;
}

bool hasPdbExtension(const std::string& path) {
    return endsWith(path, ".pdb") || endsWith(path, ".PDB");
}
bool hasTextExtension(const std::string& path) {
    return endsWith(path, ".txt") || endsWith(path, ".TXT");
}
bool hasFiveChoiceExtension(const std::string& path) {
    return endsWith(path, ".5tq") || endsWith(path, ".5TQ");
}

std::string WrittenLine(std::string& line, bool pdb) {
    if (HasHalfWidthKana(line)) line = ToFullWidthKana(line);
    if (!pdb) return line + "\r\n";
    // The handheld reads records at even sizes: pad odd ones, line feed included.
    bool pad = (line.size() + 1) % 2 == 1 && !isCommentLine(line);
    return (pad ? " " : "") + line + "\n";
}

QuestionLinesText questionLinesText(const std::vector<std::string>& lines, const std::string& path) {
    const bool pdb = hasPdbExtension(path);
    QuestionLinesText text;
    size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 3;
    text.bytes.reserve(total);
    std::string fixed;
    for (size_t i = 0; i < lines.size(); ++i) {
        fixed = lines[i];
        const bool kana = HasHalfWidthKana(fixed);
        text.bytes += WrittenLine(fixed, pdb);
        if (kana) text.converted.emplace_back(i, std::move(fixed));
    }
    return text;
}

void applyConvertedLines(QuestionSet& set, QuestionLinesText& text) {
    for (auto& [index, line] : text.converted)
        if (index < set.lines.size()) set.lines[index] = std::move(line);
    text.converted.clear();
}

std::string WriteQuestionLines(QuestionSet& set, const std::string& path) {
    QuestionLinesText text = questionLinesText(set.lines, path);
    applyConvertedLines(set, text);
    return std::move(text.bytes);
}

std::string cannotOpenText(const std::string& path) {
    return "ファイルが開けません\n" + path;
}

std::string noDataText(const std::string& path) {
    return "ファイルにデータがありません。\n" + path;
}

std::string saveFailedText(const std::string& path) {
    return "ファイルが開けません\n" + path + "\nファイルを保存できませんでした。";
}

int SaveAsText(QuestionSet& set, const std::string& path, Prompter& prompter, DataListView& view) {
    // The set's katakana is normalised only once the file holds it: a failed save changes nothing.
    QuestionLinesText text = questionLinesText(set.lines, path);
    std::string bytes;
    if (!encodeText(text.bytes, set.encoding, bytes, set.utf8Forms)) {
        prompter.error("Shift-JISとして読めないバイトがあるため、" + std::string(encodingName(set.encoding)) +
                       "では保存できません。");
        return -1;
    }
    if (!writeFileAtomically(path, bytes)) {
        prompter.ask(saveFailedText(path), "エラー", Buttons::Ok, Icon::Error);
        return -1;
    }
    applyConvertedLines(set, text);
    set.saved = true;
    std::string status = path + "が保存されました。";
    if (set.encoding != TextEncoding::Cp932) status += "(" + std::string(encodingName(set.encoding)) + ")";
    view.setStatusText(status);
    return 0;
}

} // namespace rovik
