#include "history/HistoryStore.h"

#include "platform/FileIo.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <thread>

namespace rovik {
namespace {

// Long enough to outlast another program's write, short enough never to be seen as a hang.
constexpr int kBusyTimeoutMs = 3000;

// Each step takes the schema from version i to i + 1; a new version only adds a step.
const char* const kMigrations[] = {
    "CREATE TABLE runs(id INTEGER PRIMARY KEY, file TEXT NOT NULL, title TEXT NOT NULL,"
    " started TEXT NOT NULL, reverse INTEGER NOT NULL, random INTEGER NOT NULL,"
    " wrong_only INTEGER NOT NULL, category_a INTEGER NOT NULL, category_b INTEGER NOT NULL,"
    " chunk_size INTEGER NOT NULL, asked INTEGER NOT NULL DEFAULT 0,"
    " correct INTEGER NOT NULL DEFAULT 0, wrong INTEGER NOT NULL DEFAULT 0,"
    " duration_ms INTEGER NOT NULL DEFAULT 0);"
    "CREATE INDEX runs_title ON runs(title);"
    "CREATE TABLE answers(id INTEGER PRIMARY KEY, run_id INTEGER NOT NULL REFERENCES runs(id),"
    " question TEXT NOT NULL, answer TEXT NOT NULL, correct INTEGER NOT NULL,"
    " answered TEXT NOT NULL, time_ms INTEGER NOT NULL);"
    "CREATE INDEX answers_run ON answers(run_id);"
    "CREATE INDEX answers_question ON answers(question, answer);",
};
static_assert(sizeof kMigrations / sizeof kMigrations[0] == HistoryStore::kSchemaVersion);

std::string text(sqlite3_stmt* statement, int column) {
    const unsigned char* value = sqlite3_column_text(statement, column);
    return value ? reinterpret_cast<const char*>(value) : "";
}

// "title IN (?,?,...)" for n titles; never matches when there are none.
std::string titleFilter(std::size_t n) {
    if (n == 0) return "0";
    std::string sql = "title IN (";
    for (std::size_t i = 0; i < n; ++i)
        sql += i ? ",?" : "?";
    return sql + ")";
}

void bindTitles(sqlite3_stmt* statement, const std::vector<std::string>& titles) {
    for (std::size_t i = 0; i < titles.size(); ++i)
        sqlite3_bind_text(statement, static_cast<int>(i) + 1, titles[i].c_str(), -1, SQLITE_TRANSIENT);
}

// A name beside the file that no file has yet: "<name>.<date>", then "<name>.<date>.2", ...
std::string setAsideName(const std::string& path) {
    const std::string base = path + "." + localTimeNow().substr(0, 10);
    std::string name = base;
    for (int n = 2; fileExists(name); ++n)
        name = base + "." + std::to_string(n);
    return name;
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) {
        sqlite3_prepare_v2(db, sql.c_str(), -1, &m_statement, nullptr);
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    sqlite3_stmt* get() const { return m_statement; }
    bool step() {
        m_result = m_statement ? sqlite3_step(m_statement) : SQLITE_ERROR;
        return m_result == SQLITE_ROW;
    }
    // After the last step: the rows ended on an error, not at the end.
    bool failed() const { return m_result != SQLITE_DONE && m_result != SQLITE_ROW; }

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_result = SQLITE_DONE;
};

} // namespace

std::string defaultHistoryPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string folder;
    if (data && data[0] == '/') {
        folder = data;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) return {};
        folder = joinPath(joinPath(home, ".local"), "share");
    }
    return joinPath(joinPath(folder, "rovik"), "history.sqlite");
}

std::string localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S", &local);
    return buffer;
}

HistoryStore::~HistoryStore() {
    close();
}

void HistoryStore::close() {
    sqlite3_finalize(m_insertAnswer);
    m_insertAnswer = nullptr;
    sqlite3_close(m_db);
    m_db = nullptr;
}

bool HistoryStore::fail(const std::string& what) {
    m_error = what + (m_db ? std::string(": ") + sqlite3_errmsg(m_db) : std::string());
    return false;
}

bool HistoryStore::exec(const char* sql) {
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool HistoryStore::open(const std::string& path) {
    close();
    m_error.clear();
    m_setAsideNote.clear();
    if (path.empty()) {
        m_error = "no data folder (neither XDG_DATA_HOME nor HOME is set)";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(nativePath(folderOf(path)), ec);
    if (!openFile(path)) return false;
    const int usable = checkFile();
    if (usable < 0) {
        close();
        return false;
    }
    if (usable == 0) {
        close();
        // Kept, never deleted: it may be someone's data, or be mended by hand.
        const std::string aside = setAsideName(path);
        std::filesystem::rename(nativePath(path), nativePath(aside), ec);
        if (ec) {
            m_error = path + " is not a history file and cannot be renamed: " + ec.message();
            return false;
        }
        for (const char* suffix : {"-wal", "-shm"})
            if (fileExists(path + suffix))
                std::filesystem::rename(nativePath(path + suffix), nativePath(aside + suffix), ec);
        m_setAsideNote =
            "履歴ファイルが読めないため " + fileNameOf(aside) + " として残し、新しい履歴を始めました";
        if (!openFile(path) || checkFile() != 1) {
            close();
            return false;
        }
    }
    if (!useWal() || !exec("PRAGMA synchronous=NORMAL")) {
        fail("cannot use " + path);
        close();
        return false;
    }
    sqlite3_stmt* version = nullptr;
    int from = 0;
    // Another program may be creating the same file: read the version inside the write lock.
    if (!exec("BEGIN IMMEDIATE")) {
        fail("cannot write " + path);
        close();
        return false;
    }
    if (sqlite3_prepare_v2(m_db, "PRAGMA user_version", -1, &version, nullptr) == SQLITE_OK &&
        sqlite3_step(version) == SQLITE_ROW)
        from = sqlite3_column_int(version, 0);
    sqlite3_finalize(version);
    if (!migrate(from) || !exec("COMMIT")) {
        fail("cannot write " + path);
        exec("ROLLBACK");
        close();
        return false;
    }
    return true;
}

bool HistoryStore::useWal() {
    // Switching needs the file to itself, and SQLite does not wait for that (another program
    // opening the new file at the same moment holds a read lock): try again for a while.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    for (;;) {
        Statement statement(m_db, "PRAGMA journal_mode=WAL");
        if (statement.step() && text(statement.get(), 0) == "wal") return true;
        if (sqlite3_errcode(m_db) != SQLITE_BUSY || std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool HistoryStore::openFile(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        fail("cannot open " + path);
        close();
        return false;
    }
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    return true;
}

int HistoryStore::checkFile() {
    // One read transaction: another program creating the tables between the two reads would
    // otherwise look like a file of someone else's (version 0 with tables).
    exec("BEGIN");
    const int usable = checkTables();
    exec("COMMIT");
    return usable;
}

int HistoryStore::checkTables() {
    int version = 0;
    {
        Statement statement(m_db, "PRAGMA user_version");
        if (!statement.step()) {
            const int code = sqlite3_errcode(m_db);
            if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) return 0;
            fail("cannot read the history");
            return -1;
        }
        version = sqlite3_column_int(statement.get(), 0);
    }
    std::set<std::string> tables;
    {
        Statement statement(m_db, "SELECT name FROM sqlite_master WHERE type = 'table'");
        while (statement.step())
            tables.insert(text(statement.get(), 0));
        const int code = sqlite3_errcode(m_db);
        if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT) return 0;
    }
    if (version > kSchemaVersion) {
        m_error = "the history was written by a newer Rovik (schema " + std::to_string(version) + ")";
        return -1;
    }
    // Version 0 is a file without our tables yet; anything else in it is someone else's.
    if (version == 0) return tables.empty() ? 1 : 0;
    return tables.count("runs") && tables.count("answers") ? 1 : 0;
}

bool HistoryStore::migrate(int from) {
    for (int v = from; v < kSchemaVersion; ++v) {
        if (!exec(kMigrations[v])) return false;
        const std::string setVersion = "PRAGMA user_version = " + std::to_string(v + 1);
        if (!exec(setVersion.c_str())) return false;
    }
    return true;
}

sqlite3_stmt* HistoryStore::prepare(sqlite3_stmt*& cached, const char* sql) {
    if (!cached && sqlite3_prepare_v2(m_db, sql, -1, &cached, nullptr) != SQLITE_OK) return nullptr;
    sqlite3_reset(cached);
    sqlite3_clear_bindings(cached);
    return cached;
}

std::int64_t HistoryStore::beginRun(const RunRecord& run) {
    if (!m_db) return 0;
    Statement statement(m_db,
                        "INSERT INTO runs(file, title, started, reverse, random, wrong_only, category_a,"
                        " category_b, chunk_size) VALUES(?,?,?,?,?,?,?,?,?)");
    sqlite3_stmt* s = statement.get();
    sqlite3_bind_text(s, 1, run.file.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 2, run.title.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(s, 3, run.started.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(s, 4, run.reverse);
    sqlite3_bind_int(s, 5, run.random);
    sqlite3_bind_int(s, 6, run.wrongOnly);
    sqlite3_bind_int(s, 7, run.categoryA);
    sqlite3_bind_int(s, 8, run.categoryB);
    sqlite3_bind_int(s, 9, run.chunkSize);
    if (!s || sqlite3_step(s) != SQLITE_DONE) return fail("cannot record the run"), 0;
    return sqlite3_last_insert_rowid(m_db);
}

bool HistoryStore::addAnswer(std::int64_t runId, const AnswerRecord& answer) {
    if (!m_db) return false;
    sqlite3_stmt* s =
        prepare(m_insertAnswer, "INSERT INTO answers(run_id, question, answer, correct, answered, time_ms)"
                                " VALUES(?,?,?,?,?,?)");
    if (!s) return fail("cannot record the answer");
    sqlite3_bind_int64(s, 1, runId);
    sqlite3_bind_text(s, 2, answer.question.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_text(s, 3, answer.answer.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_int(s, 4, answer.right);
    sqlite3_bind_text(s, 5, answer.answered.c_str(), -1, SQLITE_STATIC);
    sqlite3_bind_int64(s, 6, answer.timeMs);
    const bool done = sqlite3_step(s) == SQLITE_DONE;
    sqlite3_reset(s);
    return done || fail("cannot record the answer");
}

bool HistoryStore::finishRun(const RunRecord& run) {
    if (!m_db) return false;
    Statement statement(m_db,
                        "UPDATE runs SET asked = ?, correct = ?, wrong = ?, duration_ms = ? WHERE id = ?");
    sqlite3_stmt* s = statement.get();
    sqlite3_bind_int(s, 1, run.asked);
    sqlite3_bind_int(s, 2, run.right);
    sqlite3_bind_int(s, 3, run.wrong);
    sqlite3_bind_int64(s, 4, run.durationMs);
    sqlite3_bind_int64(s, 5, run.id);
    return (s && sqlite3_step(s) == SQLITE_DONE) || fail("cannot record the run's end");
}

std::vector<RunRecord> HistoryStore::runs(const std::vector<std::string>& titles) {
    std::vector<RunRecord> result;
    beginRead();
    if (!m_db) return result;
    Statement statement(
        m_db, "SELECT id, file, title, started, reverse, random, wrong_only, category_a, category_b,"
              " chunk_size, asked, correct, wrong, duration_ms FROM runs WHERE " +
                  titleFilter(titles.size()) + " ORDER BY id");
    bindTitles(statement.get(), titles);
    while (statement.step()) {
        sqlite3_stmt* s = statement.get();
        RunRecord run;
        run.id = sqlite3_column_int64(s, 0);
        run.file = text(s, 1);
        run.title = text(s, 2);
        run.started = text(s, 3);
        run.reverse = sqlite3_column_int(s, 4) != 0;
        run.random = sqlite3_column_int(s, 5) != 0;
        run.wrongOnly = sqlite3_column_int(s, 6) != 0;
        run.categoryA = sqlite3_column_int(s, 7);
        run.categoryB = sqlite3_column_int(s, 8);
        run.chunkSize = sqlite3_column_int(s, 9);
        run.asked = sqlite3_column_int(s, 10);
        run.right = sqlite3_column_int(s, 11);
        run.wrong = sqlite3_column_int(s, 12);
        run.durationMs = sqlite3_column_int64(s, 13);
        result.push_back(run);
    }
    endRead(statement.failed());
    return result;
}

std::vector<AnswerRecord> HistoryStore::answers(std::int64_t runId) {
    std::vector<AnswerRecord> result;
    beginRead();
    if (!m_db) return result;
    Statement statement(m_db,
                        "SELECT question, answer, correct, answered, time_ms FROM answers WHERE run_id = ?"
                        " ORDER BY id");
    sqlite3_bind_int64(statement.get(), 1, runId);
    while (statement.step()) {
        sqlite3_stmt* s = statement.get();
        result.push_back(AnswerRecord{text(s, 0), text(s, 1), sqlite3_column_int(s, 2) != 0, text(s, 3),
                                      sqlite3_column_int64(s, 4)});
    }
    endRead(statement.failed());
    return result;
}

std::vector<DayCount> HistoryStore::answersPerDay(const std::vector<std::string>& titles) {
    std::vector<DayCount> result;
    beginRead();
    if (!m_db) return result;
    Statement statement(m_db, "SELECT substr(answered, 1, 10) AS day, count(*) FROM answers WHERE run_id IN"
                              " (SELECT id FROM runs WHERE " +
                                  titleFilter(titles.size()) + ") GROUP BY day ORDER BY day");
    bindTitles(statement.get(), titles);
    while (statement.step())
        result.push_back(DayCount{text(statement.get(), 0), sqlite3_column_int(statement.get(), 1)});
    endRead(statement.failed());
    return result;
}

std::vector<MissedQuestion> HistoryStore::mostMissed(const std::vector<std::string>& titles, int limit) {
    std::vector<MissedQuestion> result;
    beginRead();
    if (!m_db) return result;
    // The latest answer by insertion, not by clock: a clock set back must not reorder them.
    Statement statement(
        m_db, "SELECT question, answer, wrong, asked, (SELECT answered FROM answers WHERE id = last)"
              " FROM (SELECT question, answer, sum(correct = 0) AS wrong, count(*) AS asked,"
              " max(id) AS last FROM answers WHERE run_id IN (SELECT id FROM runs WHERE " +
                  titleFilter(titles.size()) +
                  ") GROUP BY question, answer) WHERE wrong > 0 ORDER BY wrong DESC, last DESC LIMIT ?");
    bindTitles(statement.get(), titles);
    sqlite3_bind_int(statement.get(), static_cast<int>(titles.size()) + 1, limit);
    while (statement.step()) {
        sqlite3_stmt* s = statement.get();
        result.push_back(MissedQuestion{text(s, 0), text(s, 1), sqlite3_column_int(s, 2),
                                        sqlite3_column_int(s, 3), text(s, 4)});
    }
    endRead(statement.failed());
    return result;
}

void HistoryStore::endRead(bool failed) {
    if (failed) {
        m_readFailed = true;
        fail("cannot read the history");
    }
}

std::vector<std::string> HistoryStore::titles() {
    std::vector<std::string> result;
    beginRead();
    if (!m_db) return result;
    Statement statement(m_db, "SELECT DISTINCT title FROM runs ORDER BY title");
    while (statement.step())
        result.push_back(text(statement.get(), 0));
    endRead(statement.failed());
    return result;
}

std::vector<AnswerRow> HistoryStore::answerRows(const std::vector<std::string>& titles) {
    std::vector<AnswerRow> result;
    beginRead();
    if (!m_db) return result;
    Statement statement(m_db, "SELECT runs.started, runs.file, runs.title, question, answer, answers.correct,"
                              " answered, time_ms FROM answers JOIN runs ON runs.id = answers.run_id WHERE " +
                                  titleFilter(titles.size()) + " ORDER BY answers.id");
    bindTitles(statement.get(), titles);
    while (statement.step()) {
        sqlite3_stmt* s = statement.get();
        result.push_back(AnswerRow{text(s, 0), text(s, 1), text(s, 2),
                                   AnswerRecord{text(s, 3), text(s, 4), sqlite3_column_int(s, 5) != 0,
                                                text(s, 6), sqlite3_column_int64(s, 7)}});
    }
    endRead(statement.failed());
    return result;
}

bool HistoryStore::clear(const std::vector<std::string>& titles) {
    return removeRuns(titleFilter(titles.size()), titles);
}

bool HistoryStore::clearAll() {
    return removeRuns("1", {});
}

bool HistoryStore::removeRuns(const std::string& where, const std::vector<std::string>& titles) {
    if (!m_db) return false;
    if (!exec("BEGIN IMMEDIATE")) return fail("cannot change the history");
    Statement answers(m_db, "DELETE FROM answers WHERE run_id IN (SELECT id FROM runs WHERE " + where + ")");
    bindTitles(answers.get(), titles);
    Statement runs(m_db, "DELETE FROM runs WHERE " + where);
    bindTitles(runs.get(), titles);
    answers.step();
    runs.step();
    if (answers.failed() || runs.failed()) {
        fail("cannot change the history");
        exec("ROLLBACK");
        return false;
    }
    return exec("COMMIT") || (exec("ROLLBACK"), fail("cannot change the history"));
}

} // namespace rovik
