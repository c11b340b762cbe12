// users.dat on any bytes: the user lists as the install dialog reads them (directly and through
// the file), the last-user check against each name found, and the folder-name safety check.
#include "FuzzSupport.h"

#include "hotsync/Hotsync.h"

using namespace rovik;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes = fuzz::inputBytes(data, size);
    std::vector<std::string> names, folders, ids;
    const int preselected = ParseUsersDat(bytes, names, folders, ids);
    ROVIK_FUZZ_CHECK(names.size() == folders.size() && names.size() == ids.size());
    ROVIK_FUZZ_CHECK(names.size() <= 127);
    ROVIK_FUZZ_CHECK(preselected == 0 || (preselected > 0 && preselected < static_cast<int>(names.size())));
    for (const auto& id : ids)
        ROVIK_FUZZ_CHECK(!id.empty() && std::stoul(id) <= 0xFFFF);

    // ReadHotSyncUsers reads the file with a 16 MB buffer before this parse: too slow per input,
    // so the broken-input test covers it. The last-user check reads the same file's first 1 KB.
    const std::string path = fuzz::writeScratchFile("users.dat", bytes);
    fuzz::QuietPrompter prompter;
    for (std::size_t i = 0; i < names.size() && i < 4; ++i) {
        const int found = CheckLastUser(path, names[i], prompter);
        ROVIK_FUZZ_CHECK(found == 0 || found == -1);
        isSafeFolderEntry(nativeName(folders[i]));
    }
    return 0;
}
