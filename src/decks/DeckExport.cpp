#include "decks/DeckExport.h"

#include "data/QaTextFile.h"
#include "decks/AnkiPackage.h"
#include "decks/CsvExport.h"
#include "decks/ExportTitles.h"
#include "platform/FileIo.h"

#include <chrono>

namespace rovik::decks {
namespace {

ExportResult failure(ExportStatus status, std::string message) {
    ExportResult result;
    result.status = status;
    result.message = std::move(message);
    return result;
}

std::string collectMessage(const CollectResult& collected, int title) {
    switch (collected.status) {
    case CollectStatus::NoSuchTitle:
        return "タイトル" + std::to_string(title) + "はありません（タイトル数 " +
               std::to_string(collected.titleCount) + "）。";
    case CollectStatus::NotShiftJis:
        return std::to_string(collected.line) +
               "行目にShift-JISとして読めないバイトがあるため、書き出しできませんでした。";
    case CollectStatus::NoRecords:
        return "書き出すレコードがありません。";
    case CollectStatus::Ok:
        break;
    }
    return {};
}

ExportStatus statusOf(CollectStatus status) {
    switch (status) {
    case CollectStatus::NoSuchTitle:
        return ExportStatus::NoSuchTitle;
    case CollectStatus::NotShiftJis:
        return ExportStatus::NotShiftJis;
    case CollectStatus::NoRecords:
        return ExportStatus::NoRecords;
    case CollectStatus::Ok:
        break;
    }
    return ExportStatus::Ok;
}

} // namespace

ExportResult exportTitles(const std::vector<std::string>& lines, const Utf8Forms& forms, int title,
                          ExportFormat format, const std::string& path, std::int64_t nowMs) {
    std::vector<ExportTitle> titles;
    const CollectResult collected = collectTitles(lines, title, forms, titles);
    if (collected.status != CollectStatus::Ok) {
        ExportResult result = failure(statusOf(collected.status), collectMessage(collected, title));
        result.titleCount = collected.titleCount;
        return result;
    }
    std::string bytes;
    std::string reason;
    switch (format) {
    case ExportFormat::AnkiPackage:
        if (!buildAnkiPackage(titles, nowMs, bytes, &reason))
            return failure(ExportStatus::CannotBuild, "Ankiパッケージを作成できませんでした。\n" + reason);
        break;
    case ExportFormat::SpreadsheetCsv:
        bytes = spreadsheetCsv(titles);
        break;
    case ExportFormat::AnkiText:
        bytes = ankiText(titles);
        break;
    }
    if (!writeFileAtomically(path, bytes, &reason)) {
        // The system's words say why; the path is said already.
        if (reason.rfind(path + ": ", 0) == 0) reason.erase(0, path.size() + 2);
        return failure(ExportStatus::CannotWrite,
                       saveFailedText(path) + (reason.empty() ? "" : "\n" + reason));
    }
    ExportResult result;
    result.titleCount = collected.titleCount;
    result.titles = static_cast<int>(titles.size());
    for (const ExportTitle& t : titles)
        result.records += static_cast<int>(t.records.size());
    return result;
}

std::int64_t currentTimeMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

} // namespace rovik::decks
