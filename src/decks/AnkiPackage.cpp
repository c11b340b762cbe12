#include "decks/AnkiPackage.h"

#include "decks/AnkiCollectionJson.h"
#include "decks/Sha1.h"
#include "decks/TemporaryFile.h"
#include "decks/ZipArchive.h"
#include "platform/FileIo.h"

#include <sqlite3.h>

#include <map>
#include <memory>
#include <set>

namespace rovik::decks {
namespace {

constexpr const char* kSchema = R"(
create table col (id integer primary key, crt integer not null, mod integer not null,
  scm integer not null, ver integer not null, dty integer not null, usn integer not null,
  ls integer not null, conf text not null, models text not null, decks text not null,
  dconf text not null, tags text not null);
create table notes (id integer primary key, guid text not null, mid integer not null,
  mod integer not null, usn integer not null, tags text not null, flds text not null,
  sfld integer not null, csum integer not null, flags integer not null, data text not null);
create table cards (id integer primary key, nid integer not null, did integer not null,
  ord integer not null, mod integer not null, usn integer not null, type integer not null,
  queue integer not null, due integer not null, ivl integer not null, factor integer not null,
  reps integer not null, lapses integer not null, left integer not null, odue integer not null,
  odid integer not null, flags integer not null, data text not null);
create table revlog (id integer primary key, cid integer not null, usn integer not null,
  ease integer not null, ivl integer not null, lastIvl integer not null, factor integer not null,
  time integer not null, type integer not null);
create table graves (usn integer not null, oid integer not null, type integer not null);
create index ix_notes_usn on notes (usn);
create index ix_cards_usn on cards (usn);
create index ix_revlog_usn on revlog (usn);
create index ix_cards_nid on cards (nid);
create index ix_cards_sched on cards (did, queue, due);
create index ix_revlog_cid on revlog (cid);
create index ix_notes_csum on notes (csum);
)";

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Binds the values in order and runs the statement once.
class Inserter {
public:
    Inserter(sqlite3* db, const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK) m_statement.reset(s);
    }
    bool ok() const { return m_statement != nullptr; }
    Inserter& text(const std::string& value) {
        sqlite3_bind_text(m_statement.get(), ++m_index, value.data(), static_cast<int>(value.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Inserter& number(std::int64_t value) {
        sqlite3_bind_int64(m_statement.get(), ++m_index, value);
        return *this;
    }
    bool run() {
        m_index = 0;
        const int rc = sqlite3_step(m_statement.get());
        sqlite3_reset(m_statement.get());
        return rc == SQLITE_DONE;
    }

private:
    Statement m_statement;
    int m_index = 0;
};

// Anki's GUID digits.
constexpr const char kBase91[] =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#$%&()*+,-./:;<=>?@[]^_`{|}~";

std::string spaced(const std::vector<std::string>& tags) {
    if (tags.empty()) return "";
    std::string text = " ";
    for (const std::string& tag : tags)
        text += tag + " ";
    return text;
}

struct Writer {
    sqlite3* db;
    std::int64_t nowMs;
    std::string error;

    bool fail(const char* what) {
        error = std::string(what) + ": " + sqlite3_errmsg(db);
        return false;
    }

    bool exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

    bool write(const std::vector<ExportTitle>& titles) {
        if (!exec("pragma journal_mode = memory") || !exec(kSchema) || !exec("begin")) return fail("schema");
        Inserter note(db, "insert into notes values (?,?,?,?,?,?,?,?,?,?,?)");
        Inserter card(db, "insert into cards values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        if (!note.ok() || !card.ok()) return fail("statements");
        const std::int64_t seconds = nowMs / 1000;
        std::int64_t nextId = nowMs;
        std::int64_t position = 0;
        std::vector<DeckEntry> decks;
        std::set<std::string> allTags;
        for (const ExportTitle& title : titles) {
            const std::int64_t deckId = nextId++;
            decks.push_back({deckId, title.deck});
            std::map<std::string, int> seen; // questions of this deck so far
            for (const ExportRecord& r : title.records) {
                const std::vector<std::string> tags = tagsOf(r);
                allTags.insert(tags.begin(), tags.end());
                const std::string fields = htmlEscaped(r.question) + '\x1f' + htmlEscaped(r.answer) + '\x1f' +
                                           htmlEscaped(r.reference);
                const std::int64_t noteId = nextId++;
                // The sort field and the checksum take the plain text, as Anki strips the HTML.
                note.number(noteId).text(noteGuid(title.deck, r.question, seen[r.question]++));
                note.number(kNoteTypeId).number(seconds).number(0).text(spaced(tags)).text(fields);
                note.text(r.question).number(fieldChecksum(r.question)).number(0).text("");
                if (!note.run()) return fail("notes");
                card.number(nextId++).number(noteId).number(deckId).number(0).number(seconds).number(0);
                // New, in the new queue, due in export order; never studied.
                card.number(0).number(0).number(++position);
                for (int i = 0; i < 8; ++i)
                    card.number(0);
                card.text("");
                if (!card.run()) return fail("cards");
            }
        }
        Inserter col(db, "insert into col values (1,?,?,?,11,0,0,0,?,?,?,?,?)");
        if (!col.ok()) return fail("col");
        col.number(seconds / 86400 * 86400).number(nowMs).number(nowMs);
        col.text(collectionConfJson(position + 1)).text(modelsJson(seconds, decks.front().id));
        col.text(decksJson(decks, seconds)).text(deckOptionsJson());
        col.text(tagsJson(std::vector<std::string>(allTags.begin(), allTags.end())));
        if (!col.run()) return fail("col");
        if (!exec("commit")) return fail("commit");
        return true;
    }
};

} // namespace

std::string htmlEscaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

std::uint32_t fieldChecksum(const std::string& plainText) {
    const Sha1Digest d = sha1(plainText);
    return std::uint32_t(d[0]) << 24 | std::uint32_t(d[1]) << 16 | std::uint32_t(d[2]) << 8 | d[3];
}

std::string noteGuid(const std::string& deck, const std::string& question, int occurrence) {
    const Sha1Digest d = sha1(deck + '\x1f' + question + '\x1f' + std::to_string(occurrence));
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value = value << 8 | d[i];
    std::string digits;
    do {
        digits.insert(digits.begin(), kBase91[value % 91]);
        value /= 91;
    } while (value != 0);
    return digits;
}

bool buildAnkiCollection(const std::vector<ExportTitle>& titles, std::int64_t nowMs, std::string& bytes,
                         std::string* error) {
    auto failed = [error](const std::string& text) {
        if (error) *error = text;
        return false;
    };
    if (titles.empty()) return failed("no titles");
    TemporaryFile file(".anki2");
    if (file.path().empty()) return failed("temporary file: " + file.error());
    {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(file.path().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        Db db(raw);
        if (rc != SQLITE_OK) return failed(std::string("SQLite: ") + sqlite3_errstr(rc));
        Writer writer{db.get(), nowMs, {}};
        if (!writer.write(titles)) return failed("SQLite " + writer.error);
    }
    std::string reason;
    if (!readWholeFile(file.path(), bytes, &reason)) return failed(reason);
    return true;
}

bool buildAnkiPackage(const std::vector<ExportTitle>& titles, std::int64_t nowMs, std::string& zipBytes,
                      std::string* error) {
    std::string collection;
    if (!buildAnkiCollection(titles, nowMs, collection, error)) return false;
    return buildZip({{"collection.anki2", std::move(collection)}, {"media", "{}"}}, zipBytes, error);
}

} // namespace rovik::decks
