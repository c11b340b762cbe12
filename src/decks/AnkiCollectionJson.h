#pragma once
// The JSON texts of the older (schema 11) Anki collection's `col` row: the note type, the decks,
// the deck options, the collection settings and the tag list. Every key a current Anki demands
// when it reads the row is filled, with the values a new collection has.
#include <cstdint>
#include <string>
#include <vector>

namespace rovik::decks {

// The note type every exported note has: fields 質問, 解答 and 参考; one card showing 質問 on the
// front and 解答 with 参考 (when there is one) on the back.
constexpr std::int64_t kNoteTypeId = 1652165721000;
constexpr const char* kNoteTypeName = "Rovik 質問・解答・参考";

struct DeckEntry {
    std::int64_t id;
    std::string name;
};

// A JSON string literal of UTF-8 text.
std::string jsonString(const std::string& text);

std::string modelsJson(std::int64_t modSeconds, std::int64_t deckId);
// The default deck (id 1), which every collection has, and `decks`.
std::string decksJson(const std::vector<DeckEntry>& decks, std::int64_t modSeconds);
std::string deckOptionsJson();
std::string collectionConfJson(std::int64_t nextPosition);
// Each tag with update sequence number 0.
std::string tagsJson(const std::vector<std::string>& tags);

} // namespace rovik::decks
