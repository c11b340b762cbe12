#pragma once
// Reading an Anki package (.apkg/.colpkg): a ZIP holding an SQLite collection as collection.anki2
// (older), collection.anki21, or collection.anki21b (zstd-compressed, newer schema with notetypes,
// fields and decks tables). The newest one present is read; the collection is opened read-only
// from memory, so nothing is written while reading.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace rovik::decks {

// A package member, or a decompressed collection, may expand to no more than this.
constexpr std::uint64_t kCollectionLimit = 256ull << 20;

struct AnkiNoteType {
    std::string name;
    std::vector<std::string> fieldNames; // in field order
};

struct AnkiNote {
    std::int64_t id = 0;
    std::int64_t typeId = 0;
    std::int64_t deckId = 0;         // of the note's first card
    std::vector<std::string> fields; // UTF-8 HTML, split at 0x1F
    std::vector<std::string> tags;   // in the note's order
};

struct AnkiCollection {
    std::map<std::int64_t, std::vector<std::string>> decks; // id -> the levels of its name
    std::map<std::int64_t, AnkiNoteType> noteTypes;
    std::vector<AnkiNote> notes; // in id order
    std::string member;          // which collection file was read
};

enum class AnkiStatus { Ok, NotZip, NoCollection, TooLarge, NotCollection };

struct AnkiRead {
    AnkiStatus status = AnkiStatus::NotZip;
    AnkiCollection collection;
    std::string message; // UTF-8, for the user, when not Ok
};

AnkiRead readAnkiPackage(const std::string& zipBytes, std::uint64_t limit = kCollectionLimit);

// The collection in SQLite file bytes, older (`newSchema` false) or newer schema.
AnkiRead readAnkiCollection(const std::string& sqliteBytes, bool newSchema);

// zstd-compressed bytes -> `out`; false when they are no zstd data or would exceed `limit`
// (`tooLarge` says which).
bool zstdDecompress(const std::string& in, std::uint64_t limit, std::string& out, bool& tooLarge);

} // namespace rovik::decks
