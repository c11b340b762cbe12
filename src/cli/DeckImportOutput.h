#pragma once
// What import-csv and import-apkg share: reading the input with its size limit, and the outcome
// of an import as the other import commands report it (the log on stdout, the file written
// atomically, the exit code).
#include "decks/DeckImport.h"

#include <cstdint>
#include <iosfwd>
#include <string>

namespace rovik::cli {

// Reads IN: 0 read; 2 unreadable; 3 larger than `limit` (said on `err`).
int readDeckInput(const std::string& path, std::uintmax_t limit, std::string& bytes, std::ostream& err);

// Prints the log of a refused import and writes the lines of a done one to `outPath`:
// 0 written (the summary on `err`); 1 refused; 2 unreadable input or OUT not writable.
int finishDeckImport(const decks::DeckImport& result, const std::string& inPath, const std::string& outPath,
                     std::ostream& out, std::ostream& err);

// A column or field number from 1 ("0" or "none" for none where `allowNone`) as an index from 0.
bool parseColumn(const std::string& text, bool allowNone, int& index);

} // namespace rovik::cli
