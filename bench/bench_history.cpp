// Recording 10,000 judged answers through the quiz history (recorder and store, one run) against
// the same SQLite inserts run bare on the same kind of file (target: at most 1.5).
#include "BenchData.h"
#include "BenchRatios.h"

#include "history/HistoryRecorder.h"
#include "quiz/QuizEngine.h"

#include <sqlite3.h>

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

BENCHMARK(BM_Floor_BareInserts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordAnswers)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rovik::bench

int main(int argc, char** argv) {
    const int result =
        rovik::bench::runWithRatios(argc, argv, {{"BM_RecordAnswers", "BM_Floor_BareInserts", 1.5}});
    std::error_code ec;
    std::filesystem::remove_all(rovik::bench::folder(), ec);
    return result;
}
