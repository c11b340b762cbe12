#include "datalist/FindCommands.h"

#include "data/Common.h"
#include "data/QuestionSet.h"
#include "datalist/DataListLogic.h"
#include "platform/Prompter.h"

namespace rovik {
namespace {
// The title (from 1) whose block holds `line`; -1 when none does.
int titleOfLine(const QuestionSet& set, size_t line) {
    for (int t = 1; t <= set.titleCount(); ++t) {
        const TitleRange& range = set.title(t);
        if (line + 1 >= static_cast<size_t>(range.start) && line <= static_cast<size_t>(range.last)) return t;
    }
    return -1;
}
} // namespace

FindCommands::FindCommands(DataListLogic& logic, EditorView& window, Prompter& prompter)
    : m_logic(logic), m_window(window), m_prompter(prompter) {}

// The last match while the window still stands where the search left it (a title or category
// name leaves the record row as it was); else the start of the current record's line, so the
// search goes on from what the user selected.
std::optional<FindMatch> FindCommands::startPlace() const {
    if (stillOnLastMatch()) return m_lastMatch;
    const int line = m_logic.setLineOfRow(m_window.recordCurrentRow());
    if (line < 0) return std::nullopt;
    return FindMatch{static_cast<size_t>(line), 0, 0, 0};
}

bool FindCommands::stillOnLastMatch() const {
    return m_lastMatch && m_lastMatch->line < m_logic.set().lines.size() &&
           m_logic.set().selectedTitle == m_lastTitle && m_window.recordCurrentRow() == m_lastRow;
}

void FindCommands::select(const FindMatch& match) {
    QuestionSet& set = m_logic.set();
    const int title = titleOfLine(set, match.line);
    if (title < 1) return;
    if (title != set.selectedTitle || m_logic.titleRow() != title - 1) m_logic.showTitleRow(title - 1);
    const int blockLine = static_cast<int>(match.line) - (set.title(title).start - 1);
    const int row = m_logic.recordRows().rowOfBlockLine(blockLine);
    if (row > 0) {
        m_logic.setCurrentRecordRow(row);
        m_window.setRecordCurrentRow(row);
    }
}

bool FindCommands::FindNext(bool backward) {
    bool wrapped = false;
    const std::optional<FindMatch> found =
        findNext(m_logic.set(), m_options, startPlace(), backward, wrapped);
    if (!found) {
        m_lastMatch.reset();
        m_logic.setStatusText(kNotFound);
        return false;
    }
    select(*found);
    m_lastMatch = found;
    m_lastTitle = m_logic.set().selectedTitle;
    m_lastRow = m_window.recordCurrentRow();
    m_logic.setStatusText(wrapped ? (backward ? kWrappedBackward : kWrappedForward) : "");
    return true;
}

bool FindCommands::lastMatchIsCurrent() const {
    if (!stillOnLastMatch()) return false;
    // The line may have changed since: the match must still be there.
    const FindPattern pattern(m_options);
    const std::string& text = m_logic.set().lines[m_lastMatch->line];
    for (int item : searchedItems(text, m_options)) {
        if (item != m_lastMatch->item) continue;
        for (const auto& [offset, length] : pattern.matchesIn(ItemText(text, kTab, item)))
            if (offset == m_lastMatch->offset && length == m_lastMatch->length) return true;
    }
    return false;
}

bool FindCommands::Replace() {
    if (!lastMatchIsCurrent()) return FindNext();
    QuestionSet& set = m_logic.set();
    const FindMatch match = *m_lastMatch;
    std::string refusal;
    std::optional<std::string> line = replacedLine(set.lines[match.line], match, m_options, refusal);
    if (!line) {
        if (!refusal.empty()) m_prompter.ask(refusal, "確認", Buttons::Ok, Icon::Warning);
        return false;
    }
    const StepStart start = m_logic.startStep();
    std::string old = set.lines[match.line];
    const size_t oldSize = old.size();
    set.lines[match.line] = *line;
    set.saved = false;
    m_logic.reshowAfterEdit();
    m_logic.finishStep(start, "置換", match.line, {std::move(old)}, {*line});
    // The search goes on after the replacement.
    m_lastMatch = FindMatch{match.line, match.item, match.offset, line->size() + match.length - oldSize};
    return FindNext();
}

int FindCommands::ReplaceAll() {
    QuestionSet& set = m_logic.set();
    const std::vector<FindMatch> matches = findAll(set, m_options);
    if (matches.empty()) {
        m_logic.setStatusText(kNotFound);
        return 0;
    }
    // Every replacement is checked before any is made: a refusal changes nothing.
    std::vector<std::string> lines;
    std::vector<size_t> changed;
    for (size_t i = matches.size(); i-- > 0;) {
        const FindMatch& m = matches[i];
        if (changed.empty() || changed.back() != m.line) {
            changed.push_back(m.line);
            lines.push_back(set.lines[m.line]);
        }
        std::string refusal;
        std::optional<std::string> line = replacedLine(lines.back(), m, m_options, refusal);
        if (!line) {
            m_prompter.ask(refusal.empty() ? std::string(kNotFound) : refusal, "確認", Buttons::Ok,
                           Icon::Warning);
            return -1;
        }
        lines.back() = std::move(*line);
    }
    const StepStart start = m_logic.startStep();
    const size_t first = changed.back();
    const size_t last = changed.front();
    std::vector<std::string> oldLines(set.lines.begin() + static_cast<std::ptrdiff_t>(first),
                                      set.lines.begin() + static_cast<std::ptrdiff_t>(last + 1));
    for (size_t i = 0; i < changed.size(); ++i)
        set.lines[changed[i]] = std::move(lines[i]);
    std::vector<std::string> newLines(set.lines.begin() + static_cast<std::ptrdiff_t>(first),
                                      set.lines.begin() + static_cast<std::ptrdiff_t>(last + 1));
    set.saved = false;
    m_logic.reshowAfterEdit();
    m_logic.finishStep(start, "すべて置換", first, std::move(oldLines), std::move(newLines));
    m_lastMatch.reset();
    const int count = static_cast<int>(matches.size());
    m_logic.setStatusText(std::to_string(count) + " 件置換しました。");
    return count;
}

} // namespace rovik
