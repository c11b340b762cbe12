// The install targets' readers on any bytes. The first byte picks the reader: J-Pilot's install
// queue (appending keeps every byte and adds the path once), Wine's `reg export` file (every
// value comes from one line of the key), a prefix's user.reg (the same), or the target settings file (what it
// writes reads back the same).
#include "FuzzSupport.h"

#include "hotsync/JPilotTarget.h"
#include "hotsync/TargetChoice.h"
#include "hotsync/WineRegistry.h"

using namespace rovik;

namespace {
void queue(const std::string& bytes) {
    const InstallQueue q = parseInstallQueue(bytes);
    ROVIK_FUZZ_CHECK(q.usable == q.problem.empty());
    if (!q.usable) return;
    const std::string path = "/home/u/start/Install/Quiz.pdb";
    const std::string once = appendToInstallQueue(bytes, path);
    ROVIK_FUZZ_CHECK(once.compare(0, bytes.size(), bytes) == 0);
    ROVIK_FUZZ_CHECK(appendToInstallQueue(once, path) == once);
    std::size_t listed = 0;
    for (const std::string& line : parseInstallQueue(once).lines)
        listed += line == path;
    ROVIK_FUZZ_CHECK(listed >= 1);
}

void regExport(const std::string& bytes) {
    const auto values = parseRegExport(bytes, "HKEY_CURRENT_USER\\K");
    if (!values) return;
    ROVIK_FUZZ_CHECK(bytes.size() >= 2 && values->size() <= bytes.size() / 2);
    for (const RegValue& v : *values) {
        ROVIK_FUZZ_CHECK(v.type == "REG_SZ" || v.type == "REG_DWORD" || v.type == "other");
        ROVIK_FUZZ_CHECK(v.type != "REG_DWORD" || v.data.size() == 8);
    }
}

void userReg(const std::string& bytes) {
    const auto values = parseWineUserReg(bytes, "Software\\K");
    if (!values) return;
    std::size_t lines = 1;
    for (char c : bytes)
        lines += c == '\n';
    ROVIK_FUZZ_CHECK(values->size() <= lines);
    for (const RegValue& v : *values)
        ROVIK_FUZZ_CHECK(v.type == "REG_SZ" || v.type == "REG_DWORD" || v.type == "other");
}

void settings(const std::string& bytes) {
    const TargetSettings s = parseTargetSettings(bytes);
    ROVIK_FUZZ_CHECK(!s.port.empty());
    const TargetSettings again = parseTargetSettings(formatTargetSettings(s));
    ROVIK_FUZZ_CHECK(again.target == s.target && again.port == s.port);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string bytes = fuzz::inputBytes(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        queue(bytes);
        break;
    case 1:
        regExport(bytes);
        break;
    case 3:
        userReg(bytes);
        break;
    default:
        settings(bytes);
        break;
    }
    return 0;
}
