// The PDB reader on any bytes: record count, record list, the records as text; then the text
// read back as lines and written as a database again, which must read back.
#include "FuzzSupport.h"

#include "data/QaTextFile.h"
#include "pdb/PdbReader.h"
#include "pdb/PdbWriter.h"

using namespace rovik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string pdb = fuzz::inputBytes(data, size);
    const int count = pdbRecordCount(pdb);
    ROVIK_FUZZ_CHECK(count >= -1 && count <= 0xFFFF);
    std::string text;
    const PdbReadStatus status = pdbToText(pdb, text);
    ROVIK_FUZZ_CHECK(pdbReadResult(status) <= 0);
    ROVIK_FUZZ_CHECK(status == PdbReadStatus::Ok || !pdbReadMessage(status).empty());
    if (status != PdbReadStatus::Ok) return 0;
    ROVIK_FUZZ_CHECK(count >= 0);
    ROVIK_FUZZ_CHECK(text.empty() || text.compare(text.size() - 2, 2, "\r\n") == 0);
    for (unsigned char c : text)
        ROVIK_FUZZ_CHECK(c >= 0x20 ? c != 0x7F : (c == '\t' || c == '\n' || c == 0x0B || c == '\r'));

    const std::vector<std::string> lines = splitTextLines(text);
    const PdbImage image = buildPdbImage(lines, "Fuzz", 0);
    if (image.tooLarge) return 0;
    std::string again;
    ROVIK_FUZZ_CHECK(pdbToText(image.bytes, again) == PdbReadStatus::Ok);
    ROVIK_FUZZ_CHECK(splitTextLines(again).size() == lines.size());
    return 0;
}
