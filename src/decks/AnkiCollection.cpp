#include "decks/AnkiCollection.h"

#include "decks/MiniJson.h"
#include "decks/ZipArchive.h"

#include <sqlite3.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace rovik::decks {
namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
struct StmtCloser {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtCloser>;

AnkiRead failure(AnkiStatus status, std::string message) {
    AnkiRead read;
    read.status = status;
    read.message = std::move(message);
    return read;
}

// An SQLite database over a copy of the bytes, read-only: nothing reaches the disk.
Db openInMemory(const std::string& bytes) {
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(raw);
        return nullptr;
    }
    Db db(raw);
    auto* copy = static_cast<unsigned char*>(sqlite3_malloc64(bytes.size()));
    if (!copy && !bytes.empty()) return nullptr;
    if (!bytes.empty()) std::memcpy(copy, bytes.data(), bytes.size());
    // A collection saved in WAL mode (header bytes 18 and 19 are 2) opens from memory only as a
    // rollback-journal database; its pages are the same.
    for (std::size_t at : {18u, 19u})
        if (bytes.size() > at && copy[at] == 2) copy[at] = 1;
    if (sqlite3_deserialize(raw, "main", copy, static_cast<sqlite3_int64>(bytes.size()),
                            static_cast<sqlite3_int64>(bytes.size()),
                            SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_READONLY) != SQLITE_OK)
        return nullptr;
    return db;
}

Stmt prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) {
        sqlite3_finalize(s);
        return nullptr;
    }
    return Stmt(s);
}

std::string columnText(sqlite3_stmt* s, int column) {
    const auto* text = sqlite3_column_text(s, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              static_cast<std::size_t>(sqlite3_column_bytes(s, column)))
                : std::string();
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = text.find(separator, from);
        parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return parts;
        from = at + separator.size();
    }
}

std::int64_t toInt(const std::string& text) {
    try {
        return std::stoll(text);
    } catch (...) {
        return 0;
    }
}

// Which of the tables a collection needs is missing ("" when none).
std::string missingTable(sqlite3* db, bool newSchema) {
    const std::vector<std::string> needed =
        newSchema ? std::vector<std::string>{"notes", "cards", "notetypes", "fields", "decks"}
                  : std::vector<std::string>{"col", "notes", "cards"};
    Stmt s = prepare(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?");
    if (!s) return needed.front();
    for (const auto& table : needed) {
        sqlite3_reset(s.get());
        sqlite3_bind_text(s.get(), 1, table.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(s.get()) != SQLITE_ROW) return table;
    }
    return "";
}

bool readOlderTypesAndDecks(sqlite3* db, AnkiCollection& c) {
    Stmt s = prepare(db, "SELECT models, decks FROM col LIMIT 1");
    if (!s || sqlite3_step(s.get()) != SQLITE_ROW) return false;
    const auto models = parseJson(columnText(s.get(), 0));
    const auto decks = parseJson(columnText(s.get(), 1));
    if (!models || !decks || models->kind != JsonValue::Kind::Object ||
        decks->kind != JsonValue::Kind::Object)
        return false;
    for (const auto& [id, model] : models->members) {
        AnkiNoteType type;
        if (const JsonValue* name = model.find("name")) type.name = name->text;
        const JsonValue* fields = model.find("flds");
        if (fields) {
            std::vector<std::pair<std::int64_t, std::string>> ordered;
            for (const auto& field : fields->items) {
                const JsonValue* ord = field.find("ord");
                const JsonValue* name = field.find("name");
                ordered.emplace_back(ord ? toInt(ord->text) : static_cast<std::int64_t>(ordered.size()),
                                     name ? name->text : "");
            }
            std::stable_sort(ordered.begin(), ordered.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (auto& f : ordered)
                type.fieldNames.push_back(std::move(f.second));
        }
        c.noteTypes[toInt(id)] = std::move(type);
    }
    for (const auto& [id, deck] : decks->members) {
        const JsonValue* name = deck.find("name");
        c.decks[toInt(id)] = split(name ? name->text : id, "::");
    }
    return true;
}

bool readNewerTypesAndDecks(sqlite3* db, AnkiCollection& c) {
    Stmt types = prepare(db, "SELECT id, name FROM notetypes");
    Stmt fields = prepare(db, "SELECT ntid, name FROM fields ORDER BY ntid, ord");
    Stmt decks = prepare(db, "SELECT id, name FROM decks");
    if (!types || !fields || !decks) return false;
    while (sqlite3_step(types.get()) == SQLITE_ROW)
        c.noteTypes[sqlite3_column_int64(types.get(), 0)].name = columnText(types.get(), 1);
    while (sqlite3_step(fields.get()) == SQLITE_ROW)
        c.noteTypes[sqlite3_column_int64(fields.get(), 0)].fieldNames.push_back(columnText(fields.get(), 1));
    while (sqlite3_step(decks.get()) == SQLITE_ROW)
        c.decks[sqlite3_column_int64(decks.get(), 0)] = split(columnText(decks.get(), 1), "\x1f");
    return true;
}

} // namespace

bool zstdDecompress(const std::string& in, std::uint64_t limit, std::string& out, bool& tooLarge) {
    tooLarge = false;
    out.clear();
    std::unique_ptr<ZSTD_DStream, size_t (*)(ZSTD_DStream*)> stream(ZSTD_createDStream(), ZSTD_freeDStream);
    if (!stream || ZSTD_isError(ZSTD_initDStream(stream.get()))) return false;
    ZSTD_inBuffer input{in.data(), in.size(), 0};
    std::string chunk(ZSTD_DStreamOutSize(), '\0');
    std::size_t lastResult = 1;
    while (input.pos < input.size) {
        ZSTD_outBuffer output{chunk.data(), chunk.size(), 0};
        lastResult = ZSTD_decompressStream(stream.get(), &output, &input);
        if (ZSTD_isError(lastResult)) return false;
        if (out.size() + output.pos > limit) {
            tooLarge = true;
            out.clear();
            return false;
        }
        out.append(chunk.data(), output.pos);
        if (output.pos == 0 && input.pos < input.size && lastResult != 0) continue;
    }
    // Flush what the decoder still holds for a frame that ended with the input.
    while (lastResult != 0) {
        ZSTD_outBuffer output{chunk.data(), chunk.size(), 0};
        lastResult = ZSTD_decompressStream(stream.get(), &output, &input);
        if (ZSTD_isError(lastResult) || output.pos == 0) return lastResult == 0;
        if (out.size() + output.pos > limit) {
            tooLarge = true;
            out.clear();
            return false;
        }
        out.append(chunk.data(), output.pos);
    }
    return true;
}

AnkiRead readAnkiCollection(const std::string& sqliteBytes, bool newSchema) {
    const char* const kNotCollection = "Ankiのコレクションではありません";
    Db db = openInMemory(sqliteBytes);
    if (!db)
        return failure(AnkiStatus::NotCollection,
                       std::string(kNotCollection) + "（SQLiteのファイルとして開けません）。");
    Stmt check = prepare(db.get(), "SELECT count(*) FROM sqlite_master");
    if (!check || sqlite3_step(check.get()) != SQLITE_ROW)
        return failure(AnkiStatus::NotCollection,
                       std::string(kNotCollection) + "（SQLiteのファイルとして開けません）。");
    if (const std::string missing = missingTable(db.get(), newSchema); !missing.empty())
        return failure(AnkiStatus::NotCollection,
                       std::string(kNotCollection) + "（" + missing + "テーブルがありません）。");
    AnkiRead read;
    AnkiCollection& c = read.collection;
    if (!(newSchema ? readNewerTypesAndDecks(db.get(), c) : readOlderTypesAndDecks(db.get(), c)))
        return failure(AnkiStatus::NotCollection,
                       std::string(kNotCollection) + "（ノートタイプかデッキが読めません）。");
    std::map<std::int64_t, std::int64_t> deckOf; // note -> the deck of its first card
    Stmt cards = prepare(db.get(), "SELECT nid, did FROM cards ORDER BY nid, ord DESC");
    Stmt notes = prepare(db.get(), "SELECT id, mid, tags, flds FROM notes ORDER BY id");
    if (!cards || !notes)
        return failure(AnkiStatus::NotCollection,
                       std::string(kNotCollection) + "（notesかcardsの列が足りません）。");
    while (sqlite3_step(cards.get()) == SQLITE_ROW)
        deckOf[sqlite3_column_int64(cards.get(), 0)] = sqlite3_column_int64(cards.get(), 1);
    while (sqlite3_step(notes.get()) == SQLITE_ROW) {
        AnkiNote note;
        note.id = sqlite3_column_int64(notes.get(), 0);
        note.typeId = sqlite3_column_int64(notes.get(), 1);
        auto deck = deckOf.find(note.id);
        note.deckId = deck == deckOf.end() ? 1 : deck->second;
        for (auto& tag : split(columnText(notes.get(), 2), " "))
            if (!tag.empty()) note.tags.push_back(std::move(tag));
        note.fields = split(columnText(notes.get(), 3), "\x1f");
        c.notes.push_back(std::move(note));
    }
    read.status = AnkiStatus::Ok;
    return read;
}

AnkiRead readAnkiPackage(const std::string& zipBytes, std::uint64_t limit) {
    std::vector<std::string> names;
    if (!zipMemberNames(zipBytes, names))
        return failure(AnkiStatus::NotZip,
                       "Ankiパッケージ（ZIP）として読めません。ファイルが壊れているか途中で切れています。");
    // The newest form first: newer exports also carry a collection.anki2 asking to update Anki.
    for (const char* member : {"collection.anki21b", "collection.anki21", "collection.anki2"}) {
        if (std::find(names.begin(), names.end(), member) == names.end()) continue;
        std::string bytes;
        const std::string mb = std::to_string(limit >> 20);
        switch (readZipMember(zipBytes, member, limit, bytes)) {
        case ZipStatus::Ok:
            break;
        case ZipStatus::TooLarge:
            return failure(AnkiStatus::TooLarge,
                           std::string(member) + "は展開すると" + mb + "MBを超えます。読み込みません。");
        default:
            return failure(AnkiStatus::NotZip,
                           std::string(member) + "が読めません。ファイルが壊れています。");
        }
        const bool compressed = std::strcmp(member, "collection.anki21b") == 0;
        if (compressed) {
            std::string plain;
            bool tooLarge = false;
            if (!zstdDecompress(bytes, limit, plain, tooLarge))
                return tooLarge ? failure(AnkiStatus::TooLarge, std::string(member) + "は展開すると" + mb +
                                                                    "MBを超えます。読み込みません。")
                                : failure(AnkiStatus::NotCollection,
                                          std::string(member) + "のzstd圧縮が壊れています。");
            bytes.swap(plain);
        }
        AnkiRead read = readAnkiCollection(bytes, compressed);
        read.collection.member = member;
        return read;
    }
    return failure(AnkiStatus::NoCollection,
                   "Ankiのコレクション（collection.anki2、anki21、anki21b）がありません。");
}

} // namespace rovik::decks
