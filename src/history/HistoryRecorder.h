#pragma once
// Records the quiz engine's runs in the history store. The store is opened at the first run, so
// a window that never drills writes nothing. A history that cannot be written never stops the
// quiz: the first fault is told once through the note, the rest are kept quiet.
#include "history/HistoryStore.h"
#include "quiz/QuizRecorder.h"

#include <chrono>
#include <functional>

namespace rovik {

class HistoryRecorder : public QuizRecorder {
public:
    using Note = std::function<void(const std::string&)>;

    HistoryRecorder(std::string path, Note note);
    ~HistoryRecorder() override; // ends a run still open

    void runStarted(const QuizRunInfo& run) override;
    void questionShown() override;
    void answered(const std::string& question, const std::string& answer, bool right) override;
    void runEnded() override;

private:
    bool ready();
    void tell(const std::string& text);

    std::string m_path;
    Note m_note;
    HistoryStore m_store;
    bool m_triedOpen = false;
    bool m_told = false;
    RunRecord m_run; // id 0: no run being recorded
    std::chrono::steady_clock::time_point m_runStart, m_shown;
};

} // namespace rovik
