#pragma once
// Whole-file reads and safe whole-file writes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace rovik {

// Files larger than this are refused by readWholeFile: no file the program reads comes near it,
// and reading one would only exhaust memory.
constexpr std::uintmax_t kMaxReadBytes = 256u << 20;

// Reads a whole file as bytes. False when it cannot be opened or read, or is larger than
// kMaxReadBytes; `error` gets the reason.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);

// Reads a file in pieces of at most `chunkSize` bytes, handing each to `take` with the file's size
// as the file system gave it before the read (0 when unknown), until `take` returns false. The
// same refusals as readWholeFile.
using ChunkTaker = std::function<bool(const char* data, std::size_t size, std::uintmax_t fileSize)>;
bool readFileInChunks(const std::string& path, std::size_t chunkSize, const ChunkTaker& take,
                      std::string* error = nullptr);

// Writes `bytes` to a temporary file in the target's folder and renames it over `path` only after
// the whole write, flush and close succeeded: a failure leaves an existing file untouched. A
// read-only file, or one the user may not write, is refused and left as it is.
bool writeFileAtomically(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// False for an existing file the user may not write, or one whose mode makes it read-only.
bool mayReplaceFile(const std::string& path);

// Copies a file the same way (the target is replaced only by a complete copy).
bool copyFileAtomically(const std::string& from, const std::string& to, std::string* error = nullptr);

// Paths are UTF-8 text everywhere in the program; on Windows they reach the file system as UTF-16,
// so a Japanese file name works whatever the ANSI code page is. pathText writes "/" on Windows too.
std::filesystem::path nativePath(const std::string& path);
std::string pathText(const std::filesystem::path& path);
// std::fopen for a UTF-8 path.
std::FILE* openFile(const std::string& path, const char* mode);

bool fileExists(const std::string& path);
bool folderExists(const std::string& path);
// Joins a folder and a name with "/" (Windows takes it too).
std::string joinPath(const std::string& folder, const std::string& name);
// The folder part of a path (without trailing separator); empty when there is none. Windows also
// separates with "\\".
std::string folderOf(const std::string& path);
// The file name part of a path.
std::string fileNameOf(const std::string& path);

// True when `path`, with every link on its way and at its end followed, lies in `folder` (links
// followed too) or is that folder; the part of `path` that does not exist yet is taken as written.
// `resolved` gets where `path` leads.
bool resolvesInside(const std::string& path, const std::string& folder, std::string* resolved = nullptr);

// Test seam: when set, every atomic write fails after this many bytes were written.
void setWriteFailureAfterForTesting(std::int64_t bytes); // negative = never fail

} // namespace rovik
