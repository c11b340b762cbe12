#pragma once
// What the statistics window shows of one title, read from the history: the accuracy of each run
// over time, the answers per day, the totals and the most-missed questions; and the window's
// commands that change or write the history (clearing, the CSV export). The window draws it.
#include "history/HistoryFigures.h"
#include "history/HistoryStore.h"
#include "quiz/QuizEngine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rovik {

class Prompter;

struct AccuracyPoint {
    std::string started;
    std::int64_t msecs = 0; // local time, milliseconds since 1970
    double percent = 0;
};

// The time axis: its range in milliseconds since 1970 and a Qt date format for its labels.
struct TimeSpan {
    std::int64_t from = 0;
    std::int64_t to = 0;
    std::string format;
};

enum class MissedColumn { Question, Answer, Wrong, LastAnswered };

// "YYYY-MM-DDTHH:MM:SS" in local time as milliseconds since 1970; false for any other text.
bool localTimeMsecs(const std::string& text, std::int64_t& msecs);

// The axis over the points, padded so that a single point or points a second apart still show.
TimeSpan timeSpanOf(const std::vector<AccuracyPoint>& points);

// "3/1" for "2026-03-01"; with `withYear`, "2026/3/1".
std::string dayLabel(const std::string& day, bool withYear);

// The step between the labels of a count axis up to `most`: 1, 2 or 5 times a power of ten, at
// most five steps.
int countStep(int most);

// "1時間2分", "5分12秒" or "12秒".
std::string durationText(std::int64_t milliseconds);

// The totals as one line: runs, questions asked, right, wrong, accuracy and time.
std::string totalsText(const HistoryTotals& totals);

class StatisticsModel {
public:
    static constexpr int kDays = 30; // days in the chart of answers per day

    // The titles (UTF-8) the window offers; with none, every title the history holds.
    StatisticsModel(std::string historyPath, std::vector<std::string> titles);

    // Opens the history; false, with problem(), when it cannot be read.
    bool open();
    // Why the history cannot be shown, in the window's words; empty when it can.
    const std::string& problem() const { return m_problem; }
    // Said once when the history file was set aside and a new one started.
    const std::string& note() const { return m_store.setAsideNote(); }

    const std::vector<std::string>& titles() const { return m_titles; }
    // Reads the figures of titles()[index]; false, with problem(), when they cannot be read.
    bool showTitle(int index);
    int shownTitle() const { return m_shown; }
    std::string shownTitleName() const;

    const std::vector<RunRecord>& runs() const { return m_runs; }
    // Runs with at least one answer, by their start (a clock set back puts a run among the earlier).
    const std::vector<AccuracyPoint>& accuracy() const { return m_accuracy; }
    TimeSpan timeSpan() const { return timeSpanOf(m_accuracy); }
    // The latest kDays days with answers, oldest first.
    const std::vector<DayCount>& days() const { return m_days; }
    std::vector<std::string> dayLabels() const;
    bool earlierDaysLeftOut() const { return m_earlierDays; }
    const HistoryTotals& totals() const { return m_totals; }
    // The table's rows in its present order, and the same rows most missed first.
    const std::vector<MissedQuestion>& missed() const { return m_missed; }
    const std::vector<MissedQuestion>& ranked() const { return m_ranked; }
    // Equal values keep the most-missed order.
    void sortMissed(MissedColumn column, bool ascending);
    // The most-missed questions as the quiz knows them, most missed first.
    std::vector<QuestionKey> mostMissedKeys() const;

    // 履歴を消去: after a Yes/No question, the shown title's runs, or every run. True when the
    // history changed (the figures are read again).
    bool clearShownTitle(Prompter& prompter);
    bool clearAll(Prompter& prompter);
    // The shown title's answers with their runs as UTF-8 CSV with a header row, through the save
    // dialog. The path written, or empty.
    std::string exportCsv(Prompter& prompter);

private:
    bool readFailed();
    void clearFigures();
    bool removeAfterQuestion(Prompter& prompter, const std::string& question, bool all);

    std::string m_path;
    HistoryStore m_store;
    std::vector<std::string> m_titles;
    bool m_titlesFromHistory;
    std::string m_problem;
    int m_shown = -1;
    std::vector<RunRecord> m_runs;
    std::vector<AccuracyPoint> m_accuracy;
    std::vector<DayCount> m_days;
    bool m_earlierDays = false;
    HistoryTotals m_totals;
    std::vector<MissedQuestion> m_ranked, m_missed;
};

} // namespace rovik
