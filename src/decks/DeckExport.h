#pragma once
// Sending titles out to other tools: an Anki package, CSV for spreadsheets or Anki's text form,
// written whole or not at all. Messages are the user's, UTF-8.
#include "platform/TextEncoding.h"

#include <cstdint>
#include <string>
#include <vector>

namespace rovik::decks {

enum class ExportFormat { AnkiPackage, SpreadsheetCsv, AnkiText };
enum class ExportStatus { Ok, NoSuchTitle, NotShiftJis, NoRecords, CannotBuild, CannotWrite };

struct ExportResult {
    ExportStatus status = ExportStatus::Ok;
    std::string message; // what went wrong, for the user; empty on Ok
    int titles = 0;      // written
    int records = 0;     // written
    int titleCount = 0;  // titles the lines hold
};

// Writes title `title` (from 1), or every title when it is 0, of the CP932 `lines` to `path` in
// `format` (see collectTitles for what goes out). An existing file is replaced only by a
// complete one; on any failure nothing is written. `nowMs` stamps an Anki package.
ExportResult exportTitles(const std::vector<std::string>& lines, const Utf8Forms& forms, int title,
                          ExportFormat format, const std::string& path, std::int64_t nowMs);

// Milliseconds since 1970 by the system clock.
std::int64_t currentTimeMs();

} // namespace rovik::decks
