#include "FuzzSupport.h"

#include <filesystem>
#include <unistd.h>

namespace rovik::fuzz {
namespace {
// The folder goes with the process (a finding's abort keeps it, which does no harm).
struct Scratch {
    std::string path;
    Scratch() {
        // Readers that only take paths read the input from a file: keep that off the disk.
        std::string base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = base + "/rovik-fuzz-XXXXXX";
        if (!mkdtemp(path.data())) std::abort();
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};
} // namespace

const std::string& scratchFolder() {
    static const Scratch scratch;
    return scratch.path;
}

std::string writeScratchFile(const std::string& name, const std::string& bytes) {
    const std::string path = scratchFolder() + "/" + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ROVIK_FUZZ_CHECK(f != nullptr);
    ROVIK_FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
    ROVIK_FUZZ_CHECK(std::fclose(f) == 0);
    return path;
}

} // namespace rovik::fuzz
