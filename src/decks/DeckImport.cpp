#include "decks/DeckImport.h"

#include "data/Common.h"
#include "data/TextReading.h"
#include "data/Validation.h"
#include "decks/HtmlText.h"
#include "platform/Cp932.h"

#include <algorithm>
#include <map>

namespace rovik::decks {
namespace {

const std::string& separatorLine() {
    static const std::string line(31, '-');
    return line;
}

char hexDigit(int code) {
    return "0123456789ABCDEF"[code & 15];
}

// Collects what goes into the title lines: CP932 conversion with one log line per character it
// cannot hold, and the record checks with the row or note each record came from.
class Collector {
public:
    explicit Collector(DeckImport& result) : m_result(result) {}

    // `utf8` as CP932; characters it cannot hold are logged against `origin` (UTF-8).
    std::string cp932(const std::string& utf8, const std::string& origin) {
        DecodedText decoded = decodeText(utf8, EncodingChoice::Utf8);
        for (const auto& line : unmappableLog(decoded.unmappable))
            m_result.charLog.push_back(origin + line.substr(line.find(':')));
        return decoded.cp932;
    }

    void addRecord(int categoryA, int categoryB, const std::string& question, const std::string& answer,
                   const std::string& reference, const std::string& origin) {
        addLine(std::string{hexDigit(categoryA), hexDigit(categoryB)} + "\t" + question + "\t" + answer +
                    "\t" + reference + "\t0",
                origin);
        ++m_result.records;
    }

    // The header lines of a title (named after `origin`), checked as loading checks them: a file
    // or deck name that gives an empty title or category name is logged, never kept.
    void addTitle(const std::string& name, const std::vector<std::string>& categoriesA,
                  const std::vector<std::string>& categoriesB, const std::string& origin) {
        addLine("tTitle\t" + name + "\t3\t3", origin);
        for (const auto& c : categoriesA)
            addLine("dBunrui\t" + c, origin);
        for (const auto& c : categoriesB)
            addLine("sBunrui\t" + c, origin);
        ++m_result.titles;
    }

private:
    void addLine(const std::string& line, const std::string& origin) {
        for (const auto& problem : lineProblems(line)) {
            m_result.log.push_back(toCp932(origin));
            m_result.log.push_back(line);
            m_result.log.push_back(toCp932(problem));
            m_result.log.push_back(separatorLine());
        }
        m_result.lines.push_back(ToFullWidthKana(line));
    }

public:
    // Decides the outcome once everything is collected.
    void finish() {
        if (!m_result.charLog.empty() || !m_result.log.empty()) {
            m_result.outcome = ImportOutcome::Refused;
            m_result.lines.clear();
        } else if (m_result.records == 0) {
            m_result.outcome = ImportOutcome::Refused;
            m_result.message = "読み込む問題がありません。";
            m_result.lines.clear();
        } else {
            m_result.outcome = ImportOutcome::Done;
        }
    }

private:
    DeckImport& m_result;
};

// Line breaks and tabs of a field become spaces (a record is one line of items), counted.
std::string flatten(const std::string& text, DropCounts& drops) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++drops.lineBreaks;
            out += ' ';
        } else if (c == '\t') {
            ++drops.tabs;
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}

std::string cell(const CsvRow& row, int column) {
    return column >= 0 && static_cast<std::size_t>(column) < row.size()
               ? row[static_cast<std::size_t>(column)]
               : std::string();
}

// The code (1 to 15) of `name` among `names`, adding it; 0 when a 16th would be needed.
int categoryCode(std::vector<std::string>& names, const std::string& name) {
    auto it = std::find(names.begin(), names.end(), name);
    if (it != names.end()) return static_cast<int>(it - names.begin()) + 1;
    if (names.size() >= 15) return 0;
    names.push_back(name);
    return static_cast<int>(names.size());
}

struct DecodedCsv {
    ImportOutcome outcome = ImportOutcome::Done;
    std::string message;
    std::vector<std::string> charLog;
    TextEncoding encoding = TextEncoding::Cp932;
    CsvTable table;
    char separator = ',';
    bool header = false;
};

DecodedCsv decodeCsv(const std::string& fileBytes, const CsvOptions& options) {
    DecodedCsv csv;
    if (fileBytes.find('\0') != std::string::npos) {
        csv.outcome = ImportOutcome::Unreadable;
        csv.message = "CSVファイルではありません（バイナリのデータです）。";
        return csv;
    }
    DecodedText text = decodeText(fileBytes, options.encoding);
    csv.encoding = text.encoding;
    if (!text.ok()) {
        csv.outcome = ImportOutcome::Refused;
        csv.charLog = unmappableLog(text.unmappable);
        return csv;
    }
    csv.separator = options.separator ? options.separator : detectSeparator(text.cp932);
    csv.table = parseCsv(text.cp932, csv.separator);
    if (csv.table.status == CsvStatus::UnclosedQuote) {
        csv.outcome = ImportOutcome::Refused;
        csv.message = std::to_string(csv.table.errorLine) + "行目で始まる引用符（\"）が閉じられていません。";
        return csv;
    }
    if (csv.table.rows.empty()) {
        csv.outcome = ImportOutcome::Refused;
        csv.message = "CSVファイルにデータがありません。";
        return csv;
    }
    csv.header = options.header < 0 ? looksLikeHeader(csv.table.rows.front()) : options.header == 1;
    return csv;
}

} // namespace

std::string fitName(const std::string& cp932, std::size_t limit) {
    std::size_t end = 0;
    while (end < cp932.size()) {
        const std::size_t step =
            end + 1 < cp932.size() && IsDoubleByte(static_cast<unsigned char>(cp932[end]),
                                                   static_cast<unsigned char>(cp932[end + 1]))
                ? 2
                : 1;
        if (end + step > limit) break;
        end += step;
    }
    return cp932.substr(0, end);
}

std::string importSummary(const DeckImport& result) {
    std::string text =
        std::to_string(result.titles) + "タイトル " + std::to_string(result.records) + "件を読み込みました";
    std::vector<std::string> parts;
    const DropCounts& d = result.drops;
    if (d.media) parts.push_back("メディア " + std::to_string(d.media));
    if (d.extraTags) parts.push_back("余分なタグ " + std::to_string(d.extraTags));
    if (d.lineBreaks) parts.push_back("改行 " + std::to_string(d.lineBreaks));
    if (d.tabs) parts.push_back("タブ " + std::to_string(d.tabs));
    if (d.emptyRows) parts.push_back("空の行 " + std::to_string(d.emptyRows));
    if (parts.empty()) return text + "。";
    text += "（除外: ";
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i ? "、" : "") + parts[i];
    return text + "）。";
}

CsvPreview previewCsv(const std::string& fileBytes, const CsvOptions& options, std::size_t maxRows) {
    CsvPreview preview;
    DecodedCsv csv = decodeCsv(fileBytes, options);
    preview.outcome = csv.outcome;
    preview.unmappable = !csv.charLog.empty();
    preview.message = preview.unmappable ? unmappableMessage(csv.charLog) : csv.message;
    preview.encoding = csv.encoding;
    preview.separator = csv.separator;
    preview.header = csv.header;
    for (std::size_t i = 0; i < csv.table.rows.size(); ++i) {
        preview.columns = std::max(preview.columns, csv.table.rows[i].size());
        if (i >= maxRows) continue;
        CsvRow row;
        for (const auto& c : csv.table.rows[i])
            row.push_back(cp932ToUtf8(c));
        preview.rows.push_back(std::move(row));
    }
    return preview;
}

DeckImport importCsv(const std::string& fileBytes, const std::string& titleName, const CsvOptions& options) {
    DeckImport result;
    DecodedCsv csv = decodeCsv(fileBytes, options);
    if (csv.outcome != ImportOutcome::Done) {
        result.outcome = csv.outcome;
        result.message = csv.message;
        result.charLog = std::move(csv.charLog);
        return result;
    }
    if (options.question < 0 || options.answer < 0) {
        result.message = "質問と解答の列を選んでください。";
        return result;
    }
    std::size_t columns = 0;
    for (const auto& row : csv.table.rows)
        if (std::any_of(row.begin(), row.end(), [](const std::string& c) { return !c.empty(); }))
            columns = std::max(columns, row.size());
    // A file of blank rows is said to hold no question below.
    for (int column :
         {options.question, options.answer, options.reference, options.categoryA, options.categoryB})
        if (columns > 0 && column >= 0 && static_cast<std::size_t>(column) >= columns) {
            result.message = "列" + std::to_string(column + 1) + "がありません（ファイルの列は" +
                             std::to_string(columns) + "個です）。";
            return result;
        }
    Collector collect(result);
    std::vector<std::string> namesA, namesB;
    const std::string other = toCp932("その他");
    if (options.categoryA < 0) namesA.push_back(toCp932("無題（分類A）"));
    if (options.categoryB < 0) namesB.push_back(toCp932("無題（分類B）"));
    const std::size_t first = csv.header ? 1 : 0;
    for (std::size_t i = first; i < csv.table.rows.size(); ++i) {
        const CsvRow& row = csv.table.rows[i];
        const std::string origin = "CSV " + std::to_string(csv.table.rowLines[i]) + "行目";
        if (std::all_of(row.begin(), row.end(), [](const std::string& c) { return c.empty(); })) {
            ++result.drops.emptyRows;
            continue;
        }
        auto category = [&](int column, std::vector<std::string>& names, const char* kind) {
            if (column < 0) return 1;
            std::string name = fitName(flatten(cell(row, column), result.drops), kCategoryNameBytes);
            const int code = categoryCode(names, name.empty() ? other : name);
            if (code == 0) {
                result.log.push_back(toCp932(origin));
                result.log.push_back(toCp932(std::string(kind) + "が多すぎます。最大15件です。"));
                result.log.push_back(separatorLine());
            }
            return code;
        };
        const int a = category(options.categoryA, namesA, "分類A");
        const int b = category(options.categoryB, namesB, "分類B");
        if (a == 0 || b == 0) continue; // logged: its record would only repeat it
        collect.addRecord(a, b, flatten(cell(row, options.question), result.drops),
                          flatten(cell(row, options.answer), result.drops),
                          flatten(cell(row, options.reference), result.drops), origin);
    }
    // The title's header lines come first in its block.
    std::vector<std::string> recordLines;
    recordLines.swap(result.lines);
    collect.addTitle(titleName, namesA, namesB, "CSV");
    for (auto& line : recordLines)
        result.lines.push_back(std::move(line));
    collect.finish();
    return result;
}

std::vector<AnkiDeckInfo> ankiDecks(const AnkiCollection& collection) {
    std::map<std::int64_t, int> counts;
    for (const auto& note : collection.notes)
        ++counts[note.deckId];
    std::vector<AnkiDeckInfo> decks;
    for (const auto& [id, count] : counts) {
        AnkiDeckInfo info{id, "", count};
        auto deck = collection.decks.find(id);
        if (deck == collection.decks.end()) {
            info.path = "Default";
        } else {
            for (std::size_t i = 0; i < deck->second.size(); ++i)
                info.path += (i ? "::" : "") + deck->second[i];
        }
        decks.push_back(std::move(info));
    }
    std::sort(decks.begin(), decks.end(), [](const auto& a, const auto& b) { return a.path < b.path; });
    return decks;
}

namespace {

std::string shownPath(const std::string& path) {
    std::string out;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = path.find("::", from);
        out += path.substr(from, at == std::string::npos ? std::string::npos : at - from);
        if (at == std::string::npos) return out;
        out += "・";
        from = at + 2;
    }
}

// The text of field `index` of a note, made plain; false when the note has no such field.
bool fieldText(const AnkiNote& note, int index, DropCounts& drops, std::string& out) {
    out.clear();
    if (index < 0) return true;
    if (static_cast<std::size_t>(index) >= note.fields.size()) return false;
    HtmlDrops html;
    out = htmlToText(note.fields[static_cast<std::size_t>(index)], html);
    drops.media += html.media;
    drops.lineBreaks += html.lineBreaks;
    return true;
}

// A title name not taken yet: shortened to fit, then numbered "(2)", "(3)", ... when taken.
std::string uniqueTitleName(const std::string& cp932, std::vector<std::string>& taken) {
    std::string name = fitName(cp932, kTitleNameBytes);
    for (int n = 2; std::find(taken.begin(), taken.end(), name) != taken.end(); ++n) {
        const std::string suffix = "(" + std::to_string(n) + ")";
        name = fitName(cp932, kTitleNameBytes - suffix.size()) + suffix;
    }
    taken.push_back(name);
    return name;
}

} // namespace

DeckImport importAnki(const AnkiCollection& collection, const AnkiOptions& options) {
    DeckImport result;
    std::vector<AnkiDeckInfo> decks = ankiDecks(collection);
    if (!options.decks.empty()) {
        std::vector<AnkiDeckInfo> chosen;
        for (const auto& deck : decks)
            for (const auto& name : options.decks)
                if (name == deck.path || name == shownPath(deck.path)) {
                    chosen.push_back(deck);
                    break;
                }
        for (const auto& name : options.decks)
            if (std::none_of(decks.begin(), decks.end(),
                             [&](const auto& d) { return name == d.path || name == shownPath(d.path); })) {
                result.message = "デッキ「" + name + "」がありません。";
                return result;
            }
        decks.swap(chosen);
    }
    if (decks.empty()) {
        result.message = "読み込む問題がありません（ノートのあるデッキがありません）。";
        return result;
    }
    if (decks.size() > static_cast<std::size_t>(kMaxTitles)) {
        result.message = "デッキが" + std::to_string(decks.size()) +
                         "個あります。読み込めるのは15個までです。読み込むデッキを選んでください。";
        return result;
    }
    Collector collect(result);
    std::vector<std::string> takenNames;
    std::vector<std::string> titleLines;
    for (const auto& deck : decks) {
        std::vector<const AnkiNote*> notes;
        for (const auto& note : collection.notes)
            if (note.deckId == deck.id) notes.push_back(&note);
        // Category B: the title's 15 most used tags (14 when some note needs "その他").
        std::vector<std::pair<std::string, int>> tagCounts;
        for (const AnkiNote* note : notes)
            for (const auto& tag : note->tags) {
                auto it = std::find_if(tagCounts.begin(), tagCounts.end(),
                                       [&](const auto& t) { return t.first == tag; });
                if (it == tagCounts.end())
                    tagCounts.emplace_back(tag, 1);
                else
                    ++it->second;
            }
        std::stable_sort(tagCounts.begin(), tagCounts.end(),
                         [](const auto& x, const auto& y) { return x.second > y.second; });
        auto topTags = [&](std::size_t n) {
            std::vector<std::string> top;
            for (std::size_t i = 0; i < tagCounts.size() && i < n; ++i)
                top.push_back(tagCounts[i].first);
            return top;
        };
        auto firstTopTag = [](const AnkiNote& note, const std::vector<std::string>& top) {
            for (const auto& tag : note.tags) {
                auto it = std::find(top.begin(), top.end(), tag);
                if (it != top.end()) return static_cast<int>(it - top.begin());
            }
            return -1;
        };
        std::vector<std::string> top = topTags(15);
        if (std::any_of(notes.begin(), notes.end(),
                        [&](const AnkiNote* n) { return firstTopTag(*n, top) < 0; }) &&
            top.size() == 15)
            top = topTags(14);
        const bool needsOther = std::any_of(notes.begin(), notes.end(),
                                            [&](const AnkiNote* n) { return firstTopTag(*n, top) < 0; });
        const std::string deckOrigin = "デッキ「" + shownPath(deck.path) + "」";
        const std::string titleName =
            uniqueTitleName(collect.cp932(shownPath(deck.path), deckOrigin), takenNames);
        std::vector<std::string> namesB;
        for (const auto& tag : top)
            namesB.push_back(fitName(collect.cp932(tag, deckOrigin + "のタグ"), kCategoryNameBytes));
        if (needsOther) namesB.push_back(toCp932("その他"));
        const std::string leaf =
            deck.path.substr(deck.path.rfind("::") == std::string::npos ? 0 : deck.path.rfind("::") + 2);
        const std::vector<std::string> namesA{fitName(collect.cp932(leaf, deckOrigin), kCategoryNameBytes)};

        result.lines.clear();
        for (const AnkiNote* note : notes) {
            const int tag = firstTopTag(*note, top);
            const int b = tag >= 0 ? tag + 1 : static_cast<int>(namesB.size());
            result.drops.extraTags += static_cast<int>(note->tags.size()) - (tag >= 0 ? 1 : 0);
            std::string origin = "ノート " + std::to_string(note->id);
            auto type = collection.noteTypes.find(note->typeId);
            if (type != collection.noteTypes.end()) origin += "（" + type->second.name + "）";
            std::string question, answer, reference;
            if (!fieldText(*note, options.question, result.drops, question)) {
                result.log.push_back(toCp932(origin));
                result.log.push_back(toCp932("質問のフィールドがありません（フィールドは" +
                                             std::to_string(note->fields.size()) + "個です）。"));
                result.log.push_back(separatorLine());
                continue;
            }
            fieldText(*note, options.reference, result.drops, reference);
            const std::vector<ClozeCard> cards = clozeCards(question);
            if (!cards.empty()) {
                for (const auto& card : cards)
                    collect.addRecord(1, b, collect.cp932(card.question, origin),
                                      collect.cp932(card.answer, origin),
                                      collect.cp932(card.hint.empty() ? reference : card.hint, origin),
                                      origin + " c" + std::to_string(card.number));
                continue;
            }
            if (!fieldText(*note, options.answer, result.drops, answer)) {
                result.log.push_back(toCp932(origin));
                result.log.push_back(toCp932("解答のフィールドがありません（フィールドは" +
                                             std::to_string(note->fields.size()) + "個です）。"));
                result.log.push_back(separatorLine());
                continue;
            }
            collect.addRecord(1, b, collect.cp932(question, origin), collect.cp932(answer, origin),
                              collect.cp932(reference, origin), origin);
        }
        std::vector<std::string> records;
        records.swap(result.lines);
        collect.addTitle(titleName, namesA, namesB, deckOrigin);
        for (auto& line : result.lines)
            titleLines.push_back(std::move(line));
        for (auto& line : records)
            titleLines.push_back(std::move(line));
        result.lines.clear();
    }
    result.lines = std::move(titleLines);
    collect.finish();
    return result;
}

} // namespace rovik::decks
