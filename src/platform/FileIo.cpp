#include "platform/FileIo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace rovik {
namespace fs = std::filesystem;

namespace {
std::int64_t g_failAfter = -1;

#ifdef _WIN32
const char* const kSeparators = "/\\";
#else
const char* const kSeparators = "/";
#endif

void setError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

// A short name in the same folder: one made by appending to the file's name would pass the
// file system's 255-byte limit for a file whose own name is close to it.
std::string temporaryNameBeside(const std::string& path) {
    static std::mt19937_64 rng{std::random_device{}()};
    const size_t slash = path.find_last_of(kSeparators);
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    return folder + ".rovik-" + std::to_string(rng() % 1000000000ULL) + ".tmp";
}

// A link is kept and the file it points to replaced; renaming over the link would cut it off.
std::string replacedFile(const std::string& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(nativePath(path), ec))) return path;
    fs::path target = fs::canonical(nativePath(path), ec);
    return ec ? path : pathText(target);
}

// How many bytes the next write may put down before the test seam fails it.
size_t writableBytes(size_t size, bool& injected) {
    injected = g_failAfter >= 0 && static_cast<std::int64_t>(size) > g_failAfter;
    return injected ? static_cast<size_t>(g_failAfter) : size;
}

#ifdef _WIN32
std::wstring wide(const std::string& path) {
    return nativePath(path).wstring();
}

// Windows' error codes in the words the rest of the program reports (as on every other system).
int errnoOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

bool writeAll(HANDLE file, const std::string& bytes, size_t count) {
    for (size_t done = 0; done < count;) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

// ReplaceFileW keeps the old file's attributes and security; a target that does not exist yet, or
// a volume that cannot replace, takes the plain rename.
bool replaceWith(const std::string& file, const std::string& temp, bool targetExists, DWORD& failure) {
    DWORD replaceFailure = ERROR_SUCCESS;
    if (targetExists) {
        if (ReplaceFileW(wide(file).c_str(), wide(temp).c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr))
            return true;
        replaceFailure = GetLastError();
    }
    if (MoveFileExW(wide(temp).c_str(), wide(file).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    failure = replaceFailure == ERROR_UNABLE_TO_MOVE_REPLACEMENT ? replaceFailure : GetLastError();
    return false;
}
#else
// The bytes reach the disk before the rename, so a crash cannot leave an empty file in its place.
bool syncToDisk(std::FILE* f) {
    return fsync(fileno(f)) == 0;
}
#endif
} // namespace

#ifdef _WIN32
// The system's own conversions: std::filesystem's throw on a byte or a surrogate they cannot take,
// where a name that cannot be found is the right answer.
fs::path nativePath(const std::string& path) {
    if (path.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
    return fs::path(wide);
}

std::string pathText(const fs::path& path) {
    // "/" as Qt writes Windows paths: one form for every path the program builds.
    const std::wstring wide = path.generic_wstring();
    if (wide.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string text(static_cast<size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                        nullptr);
    return text;
}
#else
fs::path nativePath(const std::string& path) {
    return fs::path(path);
}

std::string pathText(const fs::path& path) {
    return path.string();
}
#endif

std::FILE* openFile(const std::string& path, const char* mode) {
#ifdef _WIN32
    std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(nativePath(path).c_str(), wideMode.c_str());
#else
    return std::fopen(path.c_str(), mode);
#endif
}

void setWriteFailureAfterForTesting(std::int64_t bytes) {
    g_failAfter = bytes;
}

bool readFileInChunks(const std::string& path, std::size_t chunkSize, const ChunkTaker& take,
                      std::string* error) {
    std::error_code ec;
    if (fs::is_directory(nativePath(path), ec)) {
        setError(error, path + ": " + std::strerror(EISDIR));
        return false;
    }
    std::FILE* f = openFile(path, "rb");
    if (!f) {
        setError(error, path + ": " + std::strerror(errno));
        return false;
    }
    std::uintmax_t size = fs::file_size(nativePath(path), ec);
    if (ec) size = 0;
    if (size > kMaxReadBytes) {
        std::fclose(f);
        setError(error, path + ": " + std::strerror(EFBIG));
        return false;
    }
    // A small file needs no more room than itself; nothing is cleared that fread fills anyway.
    const std::size_t room = size > 0 && size < chunkSize ? static_cast<std::size_t>(size) + 1 : chunkSize;
    const std::unique_ptr<char[]> buf(new char[room]);
    std::uintmax_t total = 0;
    size_t n;
    while (total <= kMaxReadBytes && (n = std::fread(buf.get(), 1, room, f)) > 0) {
        total += n;
        if (total <= kMaxReadBytes && !take(buf.get(), n, size)) break;
    }
    const bool readError = std::ferror(f) != 0;
    const bool ok = !readError && total <= kMaxReadBytes;
    if (!ok) setError(error, path + ": " + std::strerror(readError ? errno : EFBIG));
    std::fclose(f);
    return ok;
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string* error) {
    bytes.clear();
    const bool ok = readFileInChunks(
        path, 1 << 16,
        [&bytes](const char* data, std::size_t size, std::uintmax_t fileSize) {
            // Room for the whole file at once: growing by doubling would hold up to twice its size.
            if (bytes.empty()) bytes.reserve(static_cast<size_t>(fileSize));
            bytes.append(data, size);
            return true;
        },
        error);
    if (!ok) bytes.clear();
    return ok;
}

// A rename replaces a file whatever its mode, so a file the user may not write is refused before.
// The mode bits count too: a read-only file stays read-only even for a user who could override it.
bool mayReplaceFile(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(wide(path).c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0;
#else
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status) || !fs::is_regular_file(status)) return true;
    const fs::perms writeBits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((status.permissions() & writeBits) == fs::perms::none) return false;
    return access(path.c_str(), W_OK) == 0;
#endif
}

#ifdef _WIN32
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    const std::string file = replacedFile(path);
    const DWORD attributes = GetFileAttributesW(wide(file).c_str());
    const bool targetExists = attributes != INVALID_FILE_ATTRIBUTES;
    // A read-only file is refused, not replaced behind the user's back.
    if (targetExists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        setError(error, path + ": " + std::strerror(attributes & FILE_ATTRIBUTE_DIRECTORY ? EISDIR : EACCES));
        return false;
    }
    const std::string temp = temporaryNameBeside(file);
    HANDLE h = CreateFileW(wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD failure = GetLastError();
        // Windows says "path not found" where a folder on the way is a file; say what it is.
        const bool notAFolder = failure == ERROR_PATH_NOT_FOUND && fileExists(folderOf(file));
        setError(error, path + ": " + std::strerror(notAFolder ? ENOTDIR : errnoOf(failure)));
        return false;
    }
    bool injected = false;
    const size_t toWrite = writableBytes(bytes.size(), injected);
    bool ok = writeAll(h, bytes, toWrite) && !injected;
    DWORD failure = injected ? ERROR_DISK_FULL : GetLastError();
    // The bytes reach the disk before the rename, so a crash cannot leave an empty file in its place.
    ok = ok && FlushFileBuffers(h);
    if (!ok && !injected) failure = GetLastError();
    ok = CloseHandle(h) && ok;
    if (ok && replaceWith(file, temp, targetExists, failure)) return true;
    // When ReplaceFileW gave up after moving the old file away, the new one is all that is left.
    if (failure != ERROR_UNABLE_TO_MOVE_REPLACEMENT) DeleteFileW(wide(temp).c_str());
    setError(error, path + ": " + std::strerror(errnoOf(failure)));
    return false;
}
#else
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
    const std::string file = replacedFile(path);
    if (!mayReplaceFile(file)) {
        setError(error, path + ": " + std::strerror(EACCES));
        return false;
    }
    const std::string temp = temporaryNameBeside(file);
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        setError(error, path + ": " + std::strerror(errno));
        return false;
    }
    bool injected = false;
    const size_t toWrite = writableBytes(bytes.size(), injected);
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
#endif

bool copyFileAtomically(const std::string& from, const std::string& to, std::string* error) {
    std::string bytes;
    return readWholeFile(from, bytes, error) && writeFileAtomically(to, bytes, error);
}

bool resolvesInside(const std::string& path, const std::string& folder, std::string* resolved) {
    std::error_code ec;
    const fs::path where = fs::weakly_canonical(nativePath(path), ec);
    if (ec) return false;
    if (resolved) *resolved = pathText(where);
    const fs::path base = fs::weakly_canonical(nativePath(folder), ec);
    if (ec) return false;
    auto at = where.begin();
    for (auto part = base.begin(); part != base.end(); ++part, ++at) {
        if (part->empty() && std::next(part) == base.end()) break; // the folder's trailing separator
        if (at == where.end() || *at != *part) return false;
    }
    return true;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return fs::is_regular_file(nativePath(path), ec);
}

bool folderExists(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(nativePath(path), ec);
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (std::string(kSeparators).find(folder.back()) != std::string::npos) return folder + name;
    return folder + "/" + name;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of(kSeparators);
    if (slash == std::string::npos) return {};
    if (slash == 0) return path.substr(0, 1);
#ifdef _WIN32
    if (slash == 2 && path[1] == ':') return path.substr(0, 3); // "C:\"
#endif
    return path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    size_t slash = path.find_last_of(kSeparators);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace rovik
