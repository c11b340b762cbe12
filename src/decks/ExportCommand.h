#pragma once
// The data list window's export commands: which titles go out (and for CSV in which form) through
// an option dialog, the save dialog, then the file; the result goes to the status line, a failure
// to a message.
#include <cstdint>
#include <string>

namespace rovik {
struct DataContext;
}

namespace rovik::decks {

enum class ExportCommand { AnkiPackage, Csv };

// 0 written, 1 cancelled, -1 refused or failed (after its message). `currentFileName` gives the
// proposed name's stem; `nowMs` stamps an Anki package.
int runExportCommand(DataContext& ctx, ExportCommand command, const std::string& currentFileName,
                     std::int64_t nowMs);

} // namespace rovik::decks
