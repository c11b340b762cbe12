#include "support/TempFolder.h"

#include "platform/FileIo.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace rovik::test {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
#ifdef _WIN32
    // No mkdtemp here: a random name that create_directory proves to be new.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
        fs::path path = fs::temp_directory_path() / ("rovik-test-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(path, ec)) m_path = pathText(path);
    }
#else
    std::string pattern = (fs::temp_directory_path() / "rovik-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    m_path = made ? made : pattern;
#endif
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Tests make folders read-only; give the rights back so the folder can go.
    const fs::path path = nativePath(m_path);
    for (auto it = fs::recursive_directory_iterator(path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path, ec);
}

std::string TempFolder::file(const std::string& name) const {
    return joinPath(m_path, name);
}

std::string TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::string path = file(name);
    std::ofstream out(nativePath(path), std::ios::binary);
    out << bytes;
    return path;
}

std::string TempFolder::read(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

namespace {
// An earlier test may have left the process in a folder that is gone by now.
std::string currentOrTemp() {
    std::error_code ec;
    fs::path here = fs::current_path(ec);
    return ec ? pathText(fs::temp_directory_path()) : pathText(here);
}
} // namespace

CurrentFolder::CurrentFolder(const std::string& path) : m_previous(currentOrTemp()) {
    fs::current_path(nativePath(path));
}

CurrentFolder::~CurrentFolder() {
    std::error_code ec;
    fs::current_path(nativePath(m_previous), ec);
}

} // namespace rovik::test
