#pragma once
// The undo and redo history of the data list window. A step keeps only the lines it replaced and
// the lines it put in their place, with what the window showed before and after; the history
// follows which of its positions was last saved.
#include "platform/TextEncoding.h"

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

namespace rovik {

// What the window showed: the title list row (from 0, -1: none) and the record row (from 1).
struct EditView {
    int titleRow = -1;
    int recordRow = 0;
};

struct EditStep {
    std::string name; // as the menu shows it, e.g. "ﾀｲﾄﾙ削除"
    size_t first = 0; // the first replaced line
    std::vector<std::string> oldLines;
    std::vector<std::string> newLines;
    EditView before;
    EditView after;
    // A step that replaced the whole set (a new document) changed the file's encoding too.
    TextEncoding encodingBefore = TextEncoding::Cp932;
    TextEncoding encodingAfter = TextEncoding::Cp932;
    bool empty() const { return oldLines.empty() && newLines.empty(); }
};

// The step that turns `before` into `after`: only the lines between their common start and end.
EditStep diffStep(const std::vector<std::string>& before, const std::vector<std::string>& after);

// Where undo and redo of a step leave the lines, and how the window should show them.
struct AppliedStep {
    const EditStep* step = nullptr; // nothing: there was no step, or it no longer fitted the lines
    EditView view;
    TextEncoding encoding = TextEncoding::Cp932; // of the lines as the step left them
};

class EditHistory {
public:
    static constexpr size_t kByteLimit = 64u * 1024u * 1024u;
    static constexpr size_t kStepLimit = 1000;

    explicit EditHistory(size_t byteLimit = kByteLimit, size_t stepLimit = kStepLimit);

    // Adds a step done on the lines; redo steps go, and the oldest steps go past either limit
    // (the newest step always stays).
    void push(EditStep step);
    // Undoes or redoes one step on `lines`. A step whose lines are no longer where it left them
    // (the lines changed outside the history) clears the history instead.
    AppliedStep undo(std::vector<std::string>& lines);
    AppliedStep redo(std::vector<std::string>& lines);
    // A new document: no steps, saved as `saved` says.
    void clear(bool saved = true);
    // The lines as they now stand were saved: undoing or redoing back here makes the data saved
    // again, and no other position is saved any more.
    void markSaved() { m_savedAt = static_cast<long>(m_position); }
    // A save made the lines' half-width katakana full-width: every step's lines follow, so the
    // steps still fit the lines they were done on.
    void makeKanaFullWidth();
    bool atSavedPosition() const { return m_savedAt == static_cast<long>(m_position); }

    bool canUndo() const { return m_position > 0; }
    bool canRedo() const { return m_position < m_steps.size(); }
    const std::string& undoName() const;
    const std::string& redoName() const;
    size_t stepCount() const { return m_steps.size(); }
    size_t bytes() const { return m_bytes; }

private:
    void dropOldest();

    std::deque<EditStep> m_steps;
    size_t m_position = 0; // steps before it are done
    long m_savedAt = 0;    // the position whose lines are saved; -1 when none is
    size_t m_bytes = 0;
    size_t m_byteLimit;
    size_t m_stepLimit;
};

} // namespace rovik
