#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace rovik::test {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "rovik-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    m_path = made ? made : pattern;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    // Tests make folders read-only; give the rights back so the folder can go.
    for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(m_path, ec);
}

std::string TempFolder::write(const std::string& name, const std::string& bytes) const {
    std::string path = file(name);
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return path;
}

std::string TempFolder::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

namespace {
// An earlier test may have left the process in a folder that is gone by now.
std::string currentOrTemp() {
    std::error_code ec;
    fs::path here = fs::current_path(ec);
    return ec ? fs::temp_directory_path().string() : here.string();
}
} // namespace

CurrentFolder::CurrentFolder(const std::string& path) : m_previous(currentOrTemp()) {
    fs::current_path(path);
}

CurrentFolder::~CurrentFolder() {
    std::error_code ec;
    fs::current_path(m_previous, ec);
}

} // namespace rovik::test
