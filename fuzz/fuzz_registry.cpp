// The registry file on any bytes: the keys and values Palm Desktop access reads, then the
// install flag written into it, which must read back while every other value stays as it was.
#include "FuzzSupport.h"

#include "hotsync/Hotsync.h"
#include "platform/Registry.h"

using namespace rovik;

namespace {
struct Seen {
    std::optional<std::string> hotSyncPath, path, lastUser;
    std::optional<std::uint32_t> install;
    bool operator==(const Seen& o) const {
        return hotSyncPath == o.hotSyncPath && path == o.path && lastUser == o.lastUser;
    }
};

Seen readValues() {
    Seen seen;
    RegistryKey core, preferences, manager;
    if (core.open(kCoreKey)) {
        seen.hotSyncPath = core.readString("HotSyncPath");
        seen.path = core.readString("Path");
        ROVIK_FUZZ_CHECK(!seen.path || seen.path->size() <= kMaxRegistryValueBytes);
    }
    if (preferences.open(kPreferencesKey)) seen.lastUser = preferences.readString("LastUserName");
    if (manager.open(kHotSyncManagerKey)) seen.install = manager.readDword("Install7");
    return seen;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    setRegistryFilePath(fuzz::writeScratchFile("hkcu.reg", fuzz::inputBytes(data, size)));
    const Seen before = readValues();
    fuzz::QuietPrompter prompter;
    GetPalmDesktopPath(prompter);
    GetLastUserName();

    RegistryKey manager;
    if (!manager.open(kHotSyncManagerKey)) return 0;
    manager.readString("Install7");
    if (!manager.writeDword("Install7", 1)) return 0;
    const Seen after = readValues();
    ROVIK_FUZZ_CHECK(after.install == 1u);
    ROVIK_FUZZ_CHECK(after == before);
    return 0;
}
