#pragma once
// The record and title clipboard commands of the data list window: cut, copy, paste and delete
// of one record of the shown title and of one whole title. They keep what they cut or copy in the
// question set's own two clipboards, change its lines in place and let the window show the result.
#include <string>

namespace rovik {

class DataListLogic;
class EditorView;
class Prompter;
struct QuestionSet;
struct ShownTitle;

// True when a record line's category codes name categories of `title` (category A 1 to its
// count, category B 0 to its count); comment lines fit everywhere.
bool recordFitsTitle(const std::string& record, const ShownTitle& title);

// Replaces the shown title's block by a fresh copy of the selected title's lines.
void ReloadShownBlock(QuestionSet& set);

class ClipboardCommands {
public:
    ClipboardCommands(DataListLogic& logic, EditorView& window, Prompter& prompter);

    // Record commands act on the records grid's current row; with no record row they never touch
    // a header line (only a paste acts then, appending to the shown title) and say so. The record
    // clipboard outlives a change of the shown title; a paste into another title takes only a
    // record whose category codes fit that title.
    void CutRecord();
    void CopyRecord();
    void PasteRecord();
    void DeleteRecord();
    // Title commands act on the title list's current row; a paste with no title left appends.
    void CutTitle();
    void CopyTitle();
    void PasteTitle();
    void DeleteTitle();

private:
    int currentRecordRow() const;
    bool recordLines(int row, int& blockLine, int& setLine) const;
    bool recordRowOrSay(int row, int& blockLine, int& setLine);
    void rememberRecordSource(bool cut);
    bool fromShownTitle() const;
    void refillRecords(int row, int topRow);
    bool titleLines(int row, int& first, int& last) const;
    void showTitleAt(int row, int topRow);

    DataListLogic& m_logic;
    EditorView& m_window;
    Prompter& m_prompter;
    int m_recordSource = -1;
    std::string m_recordSourceHeader;
    bool m_recordCut = false; // the record clipboard was filled by a cut, not a copy
};

} // namespace rovik
