#pragma once
// The find and replace commands of the data list window: they keep the last options and match,
// move the window's selection to a match (switching title when the scope is all titles) and
// record each replacement as one undo step.
#include "datalist/FindReplace.h"

#include <optional>
#include <string>

namespace rovik {

class DataListLogic;
class EditorView;
class Prompter;

constexpr const char* kNotFound = "見つかりません";
constexpr const char* kWrappedForward = "末尾まで検索したので、先頭から検索しました。";
constexpr const char* kWrappedBackward = "先頭まで検索したので、末尾から検索しました。";

class FindCommands {
public:
    FindCommands(DataListLogic& logic, EditorView& window, Prompter& prompter);

    const FindOptions& options() const { return m_options; }
    void setOptions(const FindOptions& options) { m_options = options; }
    bool hasText() const { return !m_options.text.empty(); }

    // Moves to the next (previous) match; false, with "見つかりません" on the status line, when
    // there is none.
    bool FindNext(bool backward = false);
    // Replaces the selected match (when the selection still stands on it), then finds the next.
    // False when the replacement was refused (the user is told why) or nothing was found.
    bool Replace();
    // Replaces every match of the scope as one step; the count of replacements (reported on the
    // status line), or -1 when one was refused and nothing changed.
    int ReplaceAll();

private:
    std::optional<FindMatch> startPlace() const;
    bool stillOnLastMatch() const;
    bool lastMatchIsCurrent() const;
    void select(const FindMatch& match);

    DataListLogic& m_logic;
    EditorView& m_window;
    Prompter& m_prompter;
    FindOptions m_options;
    std::optional<FindMatch> m_lastMatch;
    int m_lastTitle = -1; // where the window stood after the last match was selected
    int m_lastRow = 0;
};

} // namespace rovik
