// The Anki collection reader fed small SQLite files (the seeds are collections; the fuzzer
// mutates their pages), in both schemas, then the import of what it read, and the package reader
// over the same bytes as a ZIP.
#include "FuzzSupport.h"

#include "data/Validation.h"
#include "decks/AnkiCollection.h"
#include "decks/DeckImport.h"

using namespace rovik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::inputBytes(data, size);
    for (bool newSchema : {false, true}) {
        const decks::AnkiRead read = decks::readAnkiCollection(bytes, newSchema);
        if (read.status != decks::AnkiStatus::Ok) {
            ROVIK_FUZZ_CHECK(!read.message.empty());
            continue;
        }
        const decks::DeckImport result = decks::importAnki(read.collection, {});
        if (result.outcome == decks::ImportOutcome::Done) {
            ROVIK_FUZZ_CHECK(validationLog(result.lines, 1, 0).empty());
            ROVIK_FUZZ_CHECK(result.titles >= 1 && result.titles <= 15);
        } else {
            ROVIK_FUZZ_CHECK(result.lines.empty());
        }
    }
    decks::readAnkiPackage(bytes, 1u << 20);
    return 0;
}
