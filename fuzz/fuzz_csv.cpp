// The CSV reader and the CSV import: every separator and header choice, the preview, and the
// lines an import gives must load.
#include "FuzzSupport.h"

#include "data/Validation.h"
#include "decks/Csv.h"
#include "decks/DeckImport.h"

using namespace rovik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::inputBytes(data, size);
    for (char separator : {',', ';', '\t'}) {
        const decks::CsvTable table = decks::parseCsv(bytes, separator);
        ROVIK_FUZZ_CHECK(table.rows.size() == table.rowLines.size());
        if (table.status == decks::CsvStatus::Ok) {
            std::size_t kept = 0;
            for (const auto& row : table.rows)
                for (const auto& cell : row)
                    kept += cell.size();
            ROVIK_FUZZ_CHECK(kept <= bytes.size());
        }
    }
    decks::detectSeparator(bytes);
    decks::previewCsv(bytes, {});
    decks::CsvOptions options;
    options.reference = 2;
    options.categoryA = size > 0 ? data[0] % 4 - 1 : -1;
    options.categoryB = 3;
    const decks::DeckImport result = decks::importCsv(bytes, "t", options);
    if (result.outcome == decks::ImportOutcome::Done) {
        ROVIK_FUZZ_CHECK(validationLog(result.lines, 1, 0).empty());
        ROVIK_FUZZ_CHECK(result.titles == 1);
    } else {
        ROVIK_FUZZ_CHECK(result.lines.empty());
    }
    return 0;
}
