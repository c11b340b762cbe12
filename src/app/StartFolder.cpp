#include "app/StartFolder.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace rovik {
namespace {
bool fail(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

// Copies through a temporary name so that a copy cut short never stands as the user's file.
bool copyWhole(const fs::path& from, const fs::path& to, std::string* error) {
    const fs::path part = to.parent_path() / ("." + to.filename().string() + ".part");
    std::error_code ec;
    fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec);
    if (!ec) fs::rename(part, to, ec);
    if (!ec) return true;
    fs::remove(part);
    return fail(error, to.string() + ": " + ec.message());
}
} // namespace

std::optional<std::string> shippedFilesFolder(const std::string& programFolder) {
    const fs::path shipped = fs::path(programFolder) / ".." / "share" / "rovik";
    std::error_code ec;
    if (!fs::is_directory(shipped, ec)) return std::nullopt;
    return fs::weakly_canonical(shipped, ec).string();
}

std::string userStartFolder(const char* home) {
    if (!home || !*home) return {};
    return (fs::path(home) / "Rovik").string();
}

bool fillStartFolder(const std::string& shippedFolder, const std::string& startFolder, std::string* error) {
    std::error_code ec;
    fs::create_directories(startFolder, ec);
    if (ec || !fs::is_directory(startFolder))
        return fail(error, startFolder + ": " + (ec ? ec.message() : "not a folder"));
    fs::directory_iterator files(shippedFolder, ec);
    if (ec) return fail(error, shippedFolder + ": " + ec.message());
    for (const fs::directory_entry& file : files) {
        if (!file.is_regular_file(ec)) continue;
        const fs::path target = fs::path(startFolder) / file.path().filename();
        if (fs::exists(fs::symlink_status(target, ec))) continue;
        if (!copyWhole(file.path(), target, error)) return false;
    }
    return true;
}

bool enterUserStartFolder(const std::string& programFolder, const char* home, std::string* error) {
    const std::optional<std::string> shipped = shippedFilesFolder(programFolder);
    if (!shipped) return true;
    const std::string start = userStartFolder(home);
    if (start.empty()) return fail(error, "HOME is not set");
    if (!fillStartFolder(*shipped, start, error)) return false;
    std::error_code ec;
    fs::current_path(start, ec);
    return !ec || fail(error, start + ": " + ec.message());
}

} // namespace rovik
