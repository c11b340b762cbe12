#pragma once
// The data list window's CSV and Anki imports: the file dialog, the append-or-replace question,
// the choices dialog, then the new titles through the same refusals as a loaded file (the error
// log file and dialog), and what was dropped on the status line.
#include "decks/DeckImport.h"

#include <optional>
#include <string>

namespace rovik {
struct DataContext;
}

namespace rovik::decks {

// The choice dialogs; the Qt ones sit beside the other import dialogs, tests script them.
class DeckImportDialogs {
public:
    virtual ~DeckImportDialogs() = default;
    // The separator, encoding, header and column choices for the file's bytes; nothing when
    // cancelled.
    virtual std::optional<CsvOptions> chooseCsvOptions(const std::string& fileBytes,
                                                       const CsvOptions& initial) = 0;
    // The fields and decks (every deck that holds notes is listed; with more than 15 none is
    // preselected); nothing when cancelled.
    virtual std::optional<AnkiOptions> chooseAnkiOptions(const AnkiCollection& collection,
                                                         const std::vector<AnkiDeckInfo>& decks) = 0;
};

// Imports a chosen file; nothing changes unless it returns true.
bool ImportCsvPath(DataContext& ctx, const std::string& path, DeckImportDialogs& dialogs);
bool ImportAnkiPath(DataContext& ctx, const std::string& path, DeckImportDialogs& dialogs);

// The menu commands: a file dialog, then the import above.
void ImportCsvFile(DataContext& ctx, DeckImportDialogs& dialogs);
void ImportAnkiFile(DataContext& ctx, DeckImportDialogs& dialogs);

} // namespace rovik::decks
