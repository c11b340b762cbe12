#include "datalist/EditHistory.h"

#include "data/Common.h"

#include <algorithm>

namespace rovik {
namespace {
std::ptrdiff_t at(size_t index) {
    return static_cast<std::ptrdiff_t>(index);
}

size_t bytesOf(const std::vector<std::string>& lines) {
    size_t bytes = lines.size() * sizeof(std::string);
    for (const auto& line : lines)
        bytes += line.capacity();
    return bytes;
}

size_t bytesOf(const EditStep& step) {
    return sizeof(EditStep) + step.name.capacity() + bytesOf(step.oldLines) + bytesOf(step.newLines);
}

// Replaces `from` at `first` by `to`; false (lines untouched) when `from` is not there.
bool replaceLines(std::vector<std::string>& lines, size_t first, const std::vector<std::string>& from,
                  const std::vector<std::string>& to) {
    if (first > lines.size() || from.size() > lines.size() - first) return false;
    if (!std::equal(from.begin(), from.end(), lines.begin() + at(first))) return false;
    const size_t common = std::min(from.size(), to.size());
    std::copy(to.begin(), to.begin() + at(common), lines.begin() + at(first));
    if (to.size() > from.size())
        lines.insert(lines.begin() + at(first + common), to.begin() + at(common), to.end());
    else
        lines.erase(lines.begin() + at(first + common), lines.begin() + at(first + from.size()));
    return true;
}

const std::string kNoName;
} // namespace

EditStep diffStep(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    const size_t shorter = std::min(before.size(), after.size());
    size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    EditStep step;
    step.first = prefix;
    step.oldLines.assign(before.begin() + at(prefix), before.end() - at(suffix));
    step.newLines.assign(after.begin() + at(prefix), after.end() - at(suffix));
    return step;
}

EditHistory::EditHistory(size_t byteLimit, size_t stepLimit)
    : m_byteLimit(byteLimit), m_stepLimit(std::max<size_t>(stepLimit, 1)) {}

void EditHistory::push(EditStep step) {
    while (m_steps.size() > m_position) {
        m_bytes -= bytesOf(m_steps.back());
        m_steps.pop_back();
    }
    // The saved lines lay on the redo side: no position holds them any more.
    if (m_savedAt > static_cast<long>(m_position)) m_savedAt = -1;
    m_bytes += bytesOf(step);
    m_steps.push_back(std::move(step));
    ++m_position;
    while (m_steps.size() > 1 && (m_steps.size() > m_stepLimit || m_bytes > m_byteLimit))
        dropOldest();
}

void EditHistory::dropOldest() {
    m_bytes -= bytesOf(m_steps.front());
    m_steps.pop_front();
    --m_position;
    // The saved position went with the dropped step: it can never be reached again.
    m_savedAt = m_savedAt > 0 ? m_savedAt - 1 : -1;
}

AppliedStep EditHistory::undo(std::vector<std::string>& lines) {
    if (!canUndo()) return {};
    const EditStep& step = m_steps[m_position - 1];
    if (!replaceLines(lines, step.first, step.newLines, step.oldLines)) {
        clear(false);
        return {};
    }
    --m_position;
    return {&step, step.before, step.encodingBefore};
}

AppliedStep EditHistory::redo(std::vector<std::string>& lines) {
    if (!canRedo()) return {};
    const EditStep& step = m_steps[m_position];
    if (!replaceLines(lines, step.first, step.oldLines, step.newLines)) {
        clear(false);
        return {};
    }
    ++m_position;
    return {&step, step.after, step.encodingAfter};
}

void EditHistory::makeKanaFullWidth() {
    for (EditStep& step : m_steps) {
        m_bytes -= bytesOf(step);
        for (auto* lines : {&step.oldLines, &step.newLines})
            for (auto& line : *lines)
                if (HasHalfWidthKana(line)) line = ToFullWidthKana(line);
        m_bytes += bytesOf(step);
    }
}

void EditHistory::clear(bool saved) {
    m_steps.clear();
    m_position = 0;
    m_bytes = 0;
    m_savedAt = saved ? 0 : -1;
}

const std::string& EditHistory::undoName() const {
    return canUndo() ? m_steps[m_position - 1].name : kNoName;
}

const std::string& EditHistory::redoName() const {
    return canRedo() ? m_steps[m_position].name : kNoName;
}

} // namespace rovik
