#include "decks/TemporaryFile.h"

#include "platform/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace rovik::decks {

TemporaryFile::TemporaryFile(const std::string& suffix) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        m_error = ec.message();
        return;
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path = pathText(folder / ("rovik-" + std::to_string(random()) + suffix));
        // "x": made here, never an existing file taken over.
        if (std::FILE* f = openFile(path, "wbx")) {
            std::fclose(f);
            m_path = path;
            return;
        }
        if (errno != EEXIST) {
            m_error = std::strerror(errno);
            return;
        }
    }
    m_error = "no free temporary file name";
}

TemporaryFile::~TemporaryFile() {
    if (m_path.empty()) return;
    std::error_code ec;
    std::filesystem::remove(nativePath(m_path), ec);
}

} // namespace rovik::decks
