// Rovik.ini on any bytes: the settings list, the recently used files, a new recent entry, and
// the list written out and read back, which keeps its lines.
#include "FuzzSupport.h"

#include "platform/FileIo.h"
#include "settings/ProgramValues.h"

using namespace rovik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ProgramValues values;
    values.startFolder = fuzz::scratchFolder();
    values.settings = settingsFromBytes(fuzz::inputBytes(data, size));
    for (const auto& line : values.settings)
        ROVIK_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    const std::vector<std::string> recent = recentFiles(values);
    ROVIK_FUZZ_CHECK(recent.size() <= values.settings.size());
    AddRecentFile(values, "/fuzz/new.txt");
    ROVIK_FUZZ_CHECK(values.settings.size() < 2 || recentFiles(values).front() == "/fuzz/new.txt");

    ROVIK_FUZZ_CHECK(SaveSettings(values));
    if (values.settings.empty()) return 0; // nothing is written then
    std::string written;
    ROVIK_FUZZ_CHECK(readWholeFile(startFolderFile(values, "Rovik.ini"), written));
    const std::vector<std::string> reread = settingsFromBytes(written);
    ROVIK_FUZZ_CHECK(reread.size() == values.settings.size());
    return 0;
}
