#include "decks/AnkiCollectionJson.h"

#include <cstdio>

namespace rovik::decks {
namespace {

std::string field(const char* name, int ord) {
    return std::string("{\"name\":") + jsonString(name) + ",\"ord\":" + std::to_string(ord) +
           ",\"sticky\":false,\"rtl\":false,\"font\":\"Arial\",\"size\":20,\"media\":[]}";
}

std::string deck(std::int64_t id, const std::string& name, std::int64_t modSeconds) {
    return jsonString(std::to_string(id)) + ":{\"id\":" + std::to_string(id) +
           ",\"mod\":" + std::to_string(modSeconds) + ",\"name\":" + jsonString(name) +
           ",\"usn\":0,\"lrnToday\":[0,0],\"revToday\":[0,0],\"newToday\":[0,0],\"timeToday\":[0,0]"
           ",\"collapsed\":false,\"browserCollapsed\":false,\"desc\":\"\",\"dyn\":0,\"conf\":1"
           ",\"extendNew\":0,\"extendRev\":0}";
}

} // namespace

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string modelsJson(std::int64_t modSeconds, std::int64_t deckId) {
    const std::string id = std::to_string(kNoteTypeId);
    const std::string back = "{{FrontSide}}\n\n<hr id=answer>\n\n{{解答}}\n{{#参考}}\n"
                             "<div class=reference>参考：{{参考}}</div>\n{{/参考}}";
    return "{" + jsonString(id) + ":{\"id\":" + id + ",\"name\":" + jsonString(kNoteTypeName) +
           ",\"type\":0,\"mod\":" + std::to_string(modSeconds) +
           ",\"usn\":0,\"sortf\":0,\"did\":" + std::to_string(deckId) +
           ",\"tmpls\":[{\"name\":" + jsonString("カード1") +
           ",\"ord\":0,\"qfmt\":" + jsonString("{{質問}}") + ",\"afmt\":" + jsonString(back) +
           ",\"bqfmt\":\"\",\"bafmt\":\"\",\"did\":null,\"bfont\":\"\",\"bsize\":0}],\"flds\":[" +
           field("質問", 0) + "," + field("解答", 1) + "," + field("参考", 2) + "],\"css\":" +
           jsonString(".card {\n font-family: sans-serif;\n font-size: 24px;\n text-align: center;\n"
                      " color: black;\n background-color: white;\n}\n\n"
                      ".reference {\n font-size: 18px;\n margin-top: 1em;\n}\n") +
           ",\"latexPre\":" +
           jsonString("\\documentclass[12pt]{article}\n\\special{papersize=3in,5in}\n"
                      "\\usepackage[utf8]{inputenc}\n\\usepackage{amssymb,amsmath}\n\\pagestyle{empty}\n"
                      "\\setlength{\\parindent}{0in}\n\\begin{document}\n") +
           ",\"latexPost\":" + jsonString("\\end{document}") +
           ",\"latexsvg\":false,\"req\":[[0,\"any\",[0]]],\"tags\":[],\"vers\":[]}}";
}

std::string decksJson(const std::vector<DeckEntry>& decks, std::int64_t modSeconds) {
    std::string out = "{" + deck(1, "Default", 0);
    for (const DeckEntry& d : decks)
        out += "," + deck(d.id, d.name, modSeconds);
    return out + "}";
}

std::string deckOptionsJson() {
    return "{\"1\":{\"id\":1,\"mod\":0,\"name\":\"Default\",\"usn\":0,\"maxTaken\":60,\"autoplay\":true,"
           "\"timer\":0,\"replayq\":true,\"dyn\":false,"
           "\"new\":{\"bury\":false,\"delays\":[1.0,10.0],\"initialFactor\":2500,\"ints\":[1,4,0],"
           "\"order\":1,\"perDay\":20,\"separate\":true},"
           "\"rev\":{\"bury\":false,\"ease4\":1.3,\"fuzz\":0.05,\"ivlFct\":1.0,\"maxIvl\":36500,"
           "\"minSpace\":1,\"perDay\":200,\"hardFactor\":1.2},"
           "\"lapse\":{\"delays\":[10.0],\"leechAction\":1,\"leechFails\":8,\"minInt\":1,\"mult\":0.0}}}";
}

std::string collectionConfJson(std::int64_t nextPosition) {
    return "{\"activeDecks\":[1],\"curDeck\":1,\"newSpread\":0,\"collapseTime\":1200,\"timeLim\":0,"
           "\"estTimes\":true,\"dueCounts\":true,\"curModel\":" +
           std::to_string(kNoteTypeId) + ",\"nextPos\":" + std::to_string(nextPosition) +
           ",\"sortType\":\"noteFld\",\"sortBackwards\":false,\"addToCur\":true}";
}

std::string tagsJson(const std::vector<std::string>& tags) {
    std::string out = "{";
    for (size_t i = 0; i < tags.size(); ++i)
        out += (i > 0 ? "," : "") + jsonString(tags[i]) + ":0";
    return out + "}";
}

} // namespace rovik::decks
