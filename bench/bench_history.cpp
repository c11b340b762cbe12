// Recording 10,000 judged answers through the quiz history (recorder and store, one run) against
// the same SQLite inserts run bare on the same kind of file; opening the statistics of a title with
// 1,000 runs and 100,000 answers against the same queries run bare (targets: at most 1.5 each).
#include "BenchData.h"
#include "BenchRatios.h"

#include "history/HistoryRecorder.h"
#include "history/StatisticsModel.h"
#include "quiz/QuizEngine.h"

#include <sqlite3.h>

#include <ctime>
#include <filesystem>

namespace rovik::bench {
namespace {

constexpr int kAnswers = 10000;

const std::string& folder() {
    static const std::string path = benchFolder("rovik-bench-history");
    return path;
}

// A fresh history file with its tables, as the first run finds after the first start.
std::string freshHistory(benchmark::State& state) {
    state.PauseTiming();
    const std::string path = folder() + "/history.sqlite";
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path + suffix, ec);
    {
        HistoryStore store;
        if (!store.open(path)) state.SkipWithError(store.error().c_str());
    }
    state.ResumeTiming();
    return path;
}

std::string question(int n) {
    return "問題" + std::to_string(n % 500);
}

void BM_Floor_BareInserts(benchmark::State& state) {
    for (auto _ : state) {
        const std::string path = freshHistory(state);
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db, 3000);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        sqlite3_exec(
            db,
            "INSERT INTO runs(file, title, started, reverse, random, wrong_only, category_a, category_b,"
            " chunk_size) VALUES('/d.txt', 'T', '2026-01-01T00:00:00', 0, 0, 0, 0, 0, 0)",
            nullptr, nullptr, nullptr);
        const sqlite3_int64 run = sqlite3_last_insert_rowid(db);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO answers(run_id, question, answer, correct, answered, time_ms)"
                           " VALUES(?,?,?,?,?,?)",
                           -1, &insert, nullptr);
        for (int n = 0; n < kAnswers; ++n) {
            const std::string q = question(n);
            sqlite3_bind_int64(insert, 1, run);
            sqlite3_bind_text(insert, 2, q.c_str(), -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 3, "答え", -1, SQLITE_STATIC);
            sqlite3_bind_int(insert, 4, n % 3 != 0);
            sqlite3_bind_text(insert, 5, "2026-01-01T00:00:01", -1, SQLITE_STATIC);
            sqlite3_bind_int64(insert, 6, 1000);
            if (sqlite3_step(insert) != SQLITE_DONE) state.SkipWithError("insert failed");
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqlite3_exec(db, "UPDATE runs SET asked = 10000 WHERE id = 1", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    state.counters["answers"] = kAnswers;
}

void BM_RecordAnswers(benchmark::State& state) {
    for (auto _ : state) {
        const std::string path = freshHistory(state);
        HistoryRecorder recorder(path, [&](const std::string& note) { state.SkipWithError(note.c_str()); });
        QuizOptions options;
        recorder.runStarted({"/d.txt", "T", &options});
        for (int n = 0; n < kAnswers; ++n) {
            recorder.questionShown();
            recorder.answered(question(n), "答え", n % 3 != 0);
        }
        recorder.runEnded();
    }
    state.counters["answers"] = kAnswers;
}

constexpr int kRuns = 1000;
constexpr int kAnswersPerRun = 100;

// "YYYY-MM-DDTHH:MM:SS" of 2026-01-01 plus `minutes`.
std::string timeAfter(int minutes) {
    std::tm start{};
    start.tm_year = 126;
    start.tm_mday = 1;
    start.tm_min = minutes;
    start.tm_isdst = -1;
    std::mktime(&start);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &start);
    return text;
}

// A history whose title "T" has 1,000 runs of 100 answers over 500 questions, a run every
// six hours, and a second title as much again: made once, in one transaction.
const std::string& bigHistory() {
    static const std::string path = [] {
        const std::string file = folder() + "/statistics.sqlite";
        HistoryStore store;
        store.open(file);
        sqlite3* db = nullptr;
        sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* run = nullptr;
        sqlite3_stmt* answer = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO runs(file, title, started, reverse, random, wrong_only, category_a,"
                           " category_b, chunk_size, asked, correct, wrong, duration_ms)"
                           " VALUES('/d.txt', ?, ?, 0, 0, 0, 0, 0, 0, 100, ?, ?, 60000)",
                           -1, &run, nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO answers(run_id, question, answer, correct, answered, time_ms)"
                           " VALUES(?,?,?,?,?,1000)",
                           -1, &answer, nullptr);
        for (const char* title : {"T", "U"}) {
            for (int r = 0; r < kRuns; ++r) {
                const std::string started = timeAfter(r * 360);
                int right = 0;
                for (int n = 0; n < kAnswersPerRun; ++n)
                    right += (r + n) % 3 != 0;
                sqlite3_bind_text(run, 1, title, -1, SQLITE_STATIC);
                sqlite3_bind_text(run, 2, started.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(run, 3, right);
                sqlite3_bind_int(run, 4, kAnswersPerRun - right);
                sqlite3_step(run);
                sqlite3_reset(run);
                const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
                for (int n = 0; n < kAnswersPerRun; ++n) {
                    const std::string q = question(r * kAnswersPerRun + n);
                    sqlite3_bind_int64(answer, 1, id);
                    sqlite3_bind_text(answer, 2, q.c_str(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(answer, 3, "答え", -1, SQLITE_STATIC);
                    sqlite3_bind_int(answer, 4, (r + n) % 3 != 0);
                    sqlite3_bind_text(answer, 5, started.c_str(), -1, SQLITE_TRANSIENT);
                    sqlite3_step(answer);
                    sqlite3_reset(answer);
                }
            }
        }
        sqlite3_finalize(run);
        sqlite3_finalize(answer);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        return file;
    }();
    return path;
}

// Steps through every row reading each column, as the store's readers do.
int readAll(sqlite3* db, const char* sql, const char* title) {
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    sqlite3_bind_text(statement, 1, title, -1, SQLITE_STATIC);
    int rows = 0;
    std::size_t bytes = 0;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const unsigned char* text = sqlite3_column_text(statement, c);
            bytes += text ? static_cast<std::size_t>(sqlite3_column_bytes(statement, c)) : 0;
        }
    }
    sqlite3_finalize(statement);
    benchmark::DoNotOptimize(bytes);
    return rows;
}

void BM_Floor_BareStatisticsQueries(benchmark::State& state) {
    const std::string& path = bigHistory();
    int rows = 0;
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db, 3000);
        rows = readAll(
            db,
            "SELECT id, file, title, started, reverse, random, wrong_only, category_a, category_b,"
            " chunk_size, asked, correct, wrong, duration_ms FROM runs WHERE title IN (?) ORDER BY id",
            "T");
        rows += readAll(db,
                        "SELECT substr(answered, 1, 10) AS day, count(*) FROM answers WHERE run_id IN"
                        " (SELECT id FROM runs WHERE title IN (?)) GROUP BY day ORDER BY day",
                        "T");
        rows +=
            readAll(db,
                    "SELECT question, answer, wrong, asked, (SELECT answered FROM answers WHERE id = last)"
                    " FROM (SELECT question, answer, sum(correct = 0) AS wrong, count(*) AS asked,"
                    " max(id) AS last FROM answers WHERE run_id IN (SELECT id FROM runs WHERE title IN (?))"
                    " GROUP BY question, answer) WHERE wrong > 0 ORDER BY wrong DESC, last DESC LIMIT -1",
                    "T");
        sqlite3_close(db);
    }
    state.counters["rows"] = rows;
}

void BM_OpenStatistics(benchmark::State& state) {
    const std::string& path = bigHistory();
    std::size_t rows = 0;
    for (auto _ : state) {
        StatisticsModel model(path, {"T"});
        if (!model.open() || !model.showTitle(0)) state.SkipWithError(model.problem().c_str());
        rows = model.runs().size() + model.days().size() + model.ranked().size();
        if (model.totals().asked != kRuns * kAnswersPerRun) state.SkipWithError("not every answer counted");
    }
    state.counters["rows"] = static_cast<double>(rows);
}

BENCHMARK(BM_Floor_BareInserts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordAnswers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_BareStatisticsQueries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenStatistics)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rovik::bench

int main(int argc, char** argv) {
    const int result =
        rovik::bench::runWithRatios(argc, argv,
                                    {{"BM_RecordAnswers", "BM_Floor_BareInserts", 1.5},
                                     {"BM_OpenStatistics", "BM_Floor_BareStatisticsQueries", 1.5}});
    std::error_code ec;
    std::filesystem::remove_all(rovik::bench::folder(), ec);
    return result;
}
