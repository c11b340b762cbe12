#include "platform/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace rovik {
namespace fs = std::filesystem;

namespace {
std::int64_t g_failAfter = -1;

void setError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

std::string temporaryNameBeside(const std::string& path) {
    static std::mt19937_64 rng{std::random_device{}()};
    return path + ".tmp" + std::to_string(rng() % 1000000000ULL);
}

// A link is kept and the file it points to replaced; renaming over the link would cut it off.
std::string replacedFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    fs::path target = fs::canonical(path, ec);
    return ec ? path : target.string();
}

// A rename replaces a file whatever its mode, so a file the user may not write is refused here.
// The mode bits count too: a read-only file stays read-only even for a user who could override it.
bool mayReplace(const std::string& file) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (ec || !fs::exists(status) || !fs::is_regular_file(status)) return true;
    const fs::perms writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & writeBits) == fs::perms::none) return false;
#ifdef _WIN32
    return _access(file.c_str(), 2) == 0;
#else
    return access(file.c_str(), W_OK) == 0;
#endif
}

// The bytes reach the disk before the rename, so a crash cannot leave an empty file in its place.
bool syncToDisk(std::FILE* f) {
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}
} // namespace

void setWriteFailureAfterForTesting(std::int64_t bytes) {
    g_failAfter = bytes;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string* error) {
    bytes.clear();
    std::error_code ec;
    if (fs::is_directory(path, ec)) {
        setError(error, path + ": " + std::strerror(EISDIR));
        return false;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        setError(error, path + ": " + std::strerror(errno));
        return false;
    }
    // Room for the whole file at once: growing by doubling would hold up to twice its size.
    const std::uintmax_t size = fs::file_size(path, ec);
    if (!ec && size > kMaxReadBytes) {
        std::fclose(f);
        setError(error, path + ": " + std::strerror(EFBIG));
        return false;
    }
    if (!ec) bytes.reserve(static_cast<size_t>(size));
    char buf[1 << 16];
    size_t n;
    while (bytes.size() <= kMaxReadBytes && (n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.append(buf, n);
    const bool readError = std::ferror(f) != 0;
    const bool ok = !readError && bytes.size() <= kMaxReadBytes;
    if (!ok) setError(error, path + ": " + std::strerror(readError ? errno : EFBIG));
    std::fclose(f);
    if (!ok) bytes.clear();
    return ok;
}

bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    const std::string file = replacedFile(path);
    if (!mayReplace(file)) {
        setError(error, path + ": " + std::strerror(EACCES));
        return false;
    }
    const std::string temp = temporaryNameBeside(file);
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        setError(error, path + ": " + std::strerror(errno));
        return false;
    }
    size_t toWrite = bytes.size();
    bool injected = g_failAfter >= 0 && static_cast<std::int64_t>(toWrite) > g_failAfter;
    if (injected) toWrite = static_cast<size_t>(g_failAfter);
    bool ok = std::fwrite(bytes.data(), 1, toWrite, f) == toWrite && !injected;
    int savedErrno = injected ? ENOSPC : errno;
    ok = std::fflush(f) == 0 && ok;
    ok = ok && syncToDisk(f);
    ok = std::fclose(f) == 0 && ok;
    if (ok) {
        std::error_code ec;
        // The replacement keeps the old file's permissions (a private file stays private).
        fs::file_status old = fs::status(file, ec);
        if (!ec && fs::is_regular_file(old)) fs::permissions(temp, old.permissions(), ec);
        fs::rename(temp, file, ec);
        if (!ec) return true;
        savedErrno = ec.value();
    }
    std::remove(temp.c_str());
    setError(error, path + ": " + std::strerror(savedErrno ? savedErrno : EIO));
    return false;
}

bool copyFileAtomically(const std::string& from, const std::string& to, std::string* error) {
    std::string bytes;
    return readWholeFile(from, bytes, error) && writeFileAtomically(to, bytes, error);
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool folderExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace rovik
