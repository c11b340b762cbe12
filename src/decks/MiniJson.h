#pragma once
// Just enough JSON for the older Anki collections' col.models and col.decks: objects, arrays,
// strings (with \u escapes), numbers kept as text, true/false/null. Depth is limited.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace rovik::decks {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    std::string text; // String: the decoded UTF-8; Number: as written; Bool: "true"/"false"
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    // The member `key` of an object; nullptr when absent or not an object.
    const JsonValue* find(const std::string& key) const;
};

// Nothing when `text` is no complete JSON value (or nests deeper than 64).
std::optional<JsonValue> parseJson(const std::string& text);

} // namespace rovik::decks
