#pragma once
// Anki packages (.apkg) of titles, in the older collection form (`collection.anki2`, schema 11)
// that every Anki version reads: one deck per title, one note per record with the note type of
// AnkiCollectionJson.h, the record's category names as the note's tags, one new card per note.
#include "decks/ExportTitles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rovik::decks {

// Text for a field that Anki shows as HTML: "&", "<" and ">" escaped.
std::string htmlEscaped(const std::string& text);

// Anki's duplicate key of a note: the first 8 hex digits of the SHA-1 of its first field's plain
// text, as a number.
std::uint32_t fieldChecksum(const std::string& plainText);

// The note's GUID: the first 64 bits of the SHA-1 of deck, question and how many notes of that
// deck had the same question before it, in Anki's base-91 digits. The same record exported again
// gets the same GUID, so Anki updates its note instead of adding a second one.
std::string noteGuid(const std::string& deck, const std::string& question, int occurrence);

// The collection file's bytes: built in a temporary SQLite file (removed afterwards), with ids
// counted up from `nowMs` (milliseconds since 1970) and times taken from it. False and `error`
// when SQLite or the temporary file fails.
bool buildAnkiCollection(const std::vector<ExportTitle>& titles, std::int64_t nowMs, std::string& bytes,
                         std::string* error = nullptr);

// The package: the collection as member `collection.anki2` and an empty media list, member
// `media` holding "{}".
bool buildAnkiPackage(const std::vector<ExportTitle>& titles, std::int64_t nowMs, std::string& zipBytes,
                      std::string* error = nullptr);

} // namespace rovik::decks
