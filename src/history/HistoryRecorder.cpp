#include "history/HistoryRecorder.h"

#include "quiz/QuizEngine.h"

namespace rovik {
namespace {
std::int64_t millisecondsSince(std::chrono::steady_clock::time_point from) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - from)
        .count();
}
} // namespace

HistoryRecorder::HistoryRecorder(std::string path, Note note)
    : m_path(std::move(path)), m_note(std::move(note)) {}

HistoryRecorder::~HistoryRecorder() {
    runEnded();
}

void HistoryRecorder::tell(const std::string& text) {
    if (m_told) return;
    m_told = true;
    if (m_note) m_note(text);
}

bool HistoryRecorder::ready() {
    if (!m_triedOpen) {
        m_triedOpen = true;
        if (!m_store.open(m_path))
            tell("履歴を記録できません: " + m_store.error());
        else if (!m_store.setAsideNote().empty())
            tell(m_store.setAsideNote());
    }
    return m_store.isOpen();
}

void HistoryRecorder::runStarted(const QuizRunInfo& info) {
    runEnded();
    m_run = RunRecord{};
    m_runStart = m_shown = std::chrono::steady_clock::now();
    if (!ready()) return;
    m_run.file = info.file;
    m_run.title = info.title;
    m_run.started = localTimeNow();
    if (const QuizOptions* options = info.options) {
        m_run.reverse = options->reverse;
        m_run.random = options->random;
        m_run.wrongOnly = options->wrongOnly;
        m_run.categoryA = options->categoryA;
        m_run.categoryB = options->categoryB;
        m_run.chunkSize = options->chunkSize;
    }
    m_run.id = m_store.beginRun(m_run);
    if (m_run.id == 0) tell("履歴を記録できません: " + m_store.error());
}

void HistoryRecorder::questionShown() {
    m_shown = std::chrono::steady_clock::now();
}

void HistoryRecorder::answered(const std::string& question, const std::string& answer, bool right) {
    if (m_run.id == 0) return;
    ++m_run.asked;
    ++(right ? m_run.right : m_run.wrong);
    if (!m_store.addAnswer(m_run.id,
                           AnswerRecord{question, answer, right, localTimeNow(), millisecondsSince(m_shown)}))
        tell("履歴を記録できません: " + m_store.error());
}

void HistoryRecorder::runEnded() {
    if (m_run.id == 0) return;
    m_run.durationMs = millisecondsSince(m_runStart);
    if (!m_store.finishRun(m_run)) tell("履歴を記録できません: " + m_store.error());
    m_run.id = 0;
}

} // namespace rovik
