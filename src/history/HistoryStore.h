#pragma once
// The history of quiz runs: an SQLite file in the user's data folder. One row per run and one
// per judged answer; a question is known by its own question and answer texts, so editing one
// record never touches another's history. Texts are UTF-8.
#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace rovik {

struct RunRecord {
    std::int64_t id = 0;
    std::string file;
    std::string title;
    std::string started; // local time, "YYYY-MM-DDTHH:MM:SS"
    bool reverse = false;
    bool random = false;
    bool wrongOnly = false;
    int categoryA = 0;
    int categoryB = 0;
    int chunkSize = 0;
    int asked = 0;
    int right = 0;
    int wrong = 0;
    std::int64_t durationMs = 0;
};

struct AnswerRecord {
    std::string question;
    std::string answer;
    bool right = false;
    std::string answered; // local time, as RunRecord::started
    std::int64_t timeMs = 0;
};

struct MissedQuestion {
    std::string question;
    std::string answer;
    int wrong = 0;
    int asked = 0;
    std::string lastAnswered;
};

// One judged answer with the run it belongs to (the CSV export).
struct AnswerRow {
    std::string started;
    std::string file;
    std::string title;
    AnswerRecord answer;
};

struct DayCount {
    std::string day; // "YYYY-MM-DD"
    int answers = 0;
};

// $XDG_DATA_HOME/rovik/history.sqlite, or ~/.local/share/rovik/...; empty when neither is known.
std::string defaultHistoryPath();

// Local time now as "YYYY-MM-DDTHH:MM:SS".
std::string localTimeNow();

class HistoryStore {
public:
    static constexpr int kSchemaVersion = 1;

    HistoryStore() = default;
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens the file, creating it and its folder, or upgrading an older schema. A file that is
    // not a history of ours (corrupt or foreign) is renamed with the date and a new one started;
    // setAsideNote() then says so. False, with error(), when there is no usable history.
    bool open(const std::string& path);
    bool isOpen() const { return m_db != nullptr; }
    const std::string& error() const { return m_error; }
    const std::string& setAsideNote() const { return m_setAsideNote; }

    // The run's row with its options; its id, or 0 (error()) when it could not be written.
    std::int64_t beginRun(const RunRecord& run);
    bool addAnswer(std::int64_t runId, const AnswerRecord& answer);
    bool finishRun(const RunRecord& run); // the counts and duration of run.id

    // Runs of the titles (any file), oldest first.
    std::vector<RunRecord> runs(const std::vector<std::string>& titles);
    std::vector<AnswerRecord> answers(std::int64_t runId);
    std::vector<DayCount> answersPerDay(const std::vector<std::string>& titles);
    // Questions answered wrong at least once, most wrong first, then the latest answered; a
    // negative limit keeps them all.
    std::vector<MissedQuestion> mostMissed(const std::vector<std::string>& titles, int limit);
    // Every title with a run, in name order.
    std::vector<std::string> titles();
    // Every answer of the titles with its run, in the order they were recorded.
    std::vector<AnswerRow> answerRows(const std::vector<std::string>& titles);
    // True when the last read above stopped on an error (error() says why): what it returned is
    // incomplete.
    bool readFailed() const { return m_readFailed; }

    // Removes the runs of the titles with their answers, in one transaction. False (error())
    // when the history could not be changed; then it is as it was.
    bool clear(const std::vector<std::string>& titles);
    bool clearAll(); // every run and answer

private:
    bool openFile(const std::string& path);
    int checkFile(); // 1 usable, 0 not ours, -1 error
    int checkTables();
    bool migrate(int from);
    bool useWal();
    bool exec(const char* sql);
    bool fail(const std::string& what);
    void close();
    sqlite3_stmt* prepare(sqlite3_stmt*& cached, const char* sql);
    void beginRead() { m_readFailed = false; }
    void endRead(bool failed);
    bool removeRuns(const std::string& where, const std::vector<std::string>& titles);

    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insertAnswer = nullptr;
    std::string m_error;
    std::string m_setAsideNote;
    bool m_readFailed = false;
};

} // namespace rovik
