// Importing a 10,000-note Anki package (older form, ten decks, HTML fields and tags) and a
// 10,000-row CSV file, each against reading the same file's bytes (from the page cache: 25 and
// 54 µs). An import inflates, queries SQLite, strips HTML, converts to CP932 and checks every
// record as loading does; the targets (1300 and 175 floors) keep it near the 2-3 µs a note and
// 0.6 µs a row measured, with room for a shared machine.
#include "BenchData.h"
#include "BenchRatios.h"

#include "decks/AnkiCollection.h"
#include "decks/DeckImport.h"
#include "decks/ZipArchive.h"
#include "platform/FileIo.h"

#include <sqlite3.h>

#include <filesystem>

namespace rovik::bench {
namespace {

constexpr int kNotes = 10000;

// An older-form collection built with SQLite itself, as bytes.
std::string collectionBytes(const std::string& folder) {
    const std::string path = folder + "/collection.anki2";
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string sql =
        "CREATE TABLE col (id integer primary key, models text, decks text);"
        "CREATE TABLE notes (id integer primary key, mid integer, tags text, flds text);"
        "CREATE TABLE cards (id integer primary key, nid integer, did integer, ord integer);"
        "INSERT INTO col VALUES (1, '{\"1\":{\"name\":\"Basic\",\"flds\":[{\"name\":\"Front\",\"ord\":0},"
        "{\"name\":\"Back\",\"ord\":1}]}}', '{";
    for (int d = 0; d < 10; ++d)
        sql += std::string(d ? "," : "") + "\"" + std::to_string(100 + d) + "\":{\"name\":\"単語::第" +
               std::to_string(d + 1) + "課\"}";
    sql += "}');BEGIN;";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_stmt* note = nullptr;
    sqlite3_stmt* card = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO notes VALUES (?, 1, ?, ?)", -1, &note, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO cards VALUES (?, ?, ?, 0)", -1, &card, nullptr);
    for (int i = 0; i < kNotes; ++i) {
        const std::string n = std::to_string(i);
        const std::string tags = " tag" + std::to_string(i % 20) + " level" + std::to_string(i % 3) + " ";
        const std::string fields =
            "<b>問題" + n + "</b>&nbsp;とは？<br>\x1f<div>答え" + n + "</div>[sound:a" + n + ".mp3]";
        sqlite3_bind_int64(note, 1, 1000000 + i);
        sqlite3_bind_text(note, 2, tags.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(note, 3, fields.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(note);
        sqlite3_reset(note);
        sqlite3_bind_int64(card, 1, 2000000 + i);
        sqlite3_bind_int64(card, 2, 1000000 + i);
        sqlite3_bind_int64(card, 3, 100 + i % 10);
        sqlite3_step(card);
        sqlite3_reset(card);
    }
    sqlite3_finalize(note);
    sqlite3_finalize(card);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::string bytes;
    readWholeFile(path, bytes);
    return bytes;
}

struct DeckInput {
    std::string folder, apkgPath, csvPath;
    DeckInput() {
        folder = benchFolder("rovik-bench-decks");
        apkgPath = folder + "/deck.apkg";
        csvPath = folder + "/words.csv";
        std::string zip;
        decks::buildZip({{"collection.anki2", collectionBytes(folder)}}, zip);
        writeBytes(apkgPath, zip);
        std::string csv = "question,answer,note,category\r\n";
        for (int i = 0; i < kNotes; ++i) {
            const std::string n = std::to_string(i);
            csv += "\"問題" + n + ", とは\",答え" + n + ",\"参考\r\n" + n + "\",分類" +
                   std::to_string(i % 10) + "\r\n";
        }
        writeBytes(csvPath, csv);
    }
    ~DeckInput() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
};

DeckInput& input() {
    static DeckInput in;
    return in;
}

void readBytes(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        std::string bytes;
        if (!readWholeFile(path, bytes)) state.SkipWithError("unreadable");
        benchmark::DoNotOptimize(bytes.data());
    }
}

void BM_Floor_ReadApkg(benchmark::State& state) {
    readBytes(state, input().apkgPath);
}

void BM_Floor_ReadCsv(benchmark::State& state) {
    readBytes(state, input().csvPath);
}

void BM_ImportApkg(benchmark::State& state) {
    for (auto _ : state) {
        std::string bytes;
        readWholeFile(input().apkgPath, bytes);
        const decks::AnkiRead read = decks::readAnkiPackage(bytes);
        const decks::DeckImport result = decks::importAnki(read.collection, {});
        if (result.records != kNotes) state.SkipWithError("the deck was not imported");
        benchmark::DoNotOptimize(result.lines.data());
    }
}

void BM_ImportCsv(benchmark::State& state) {
    decks::CsvOptions options;
    options.reference = 2;
    options.categoryA = 3;
    for (auto _ : state) {
        std::string bytes;
        readWholeFile(input().csvPath, bytes);
        const decks::DeckImport result = decks::importCsv(bytes, "words", options);
        if (result.records != kNotes) state.SkipWithError("the file was not imported");
        benchmark::DoNotOptimize(result.lines.data());
    }
}

BENCHMARK(BM_Floor_ReadApkg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportApkg)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Floor_ReadCsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace rovik::bench

int main(int argc, char** argv) {
    return rovik::bench::runWithRatios(
        argc, argv,
        {{"BM_ImportApkg", "BM_Floor_ReadApkg", 1300.0}, {"BM_ImportCsv", "BM_Floor_ReadCsv", 175.0}});
}
