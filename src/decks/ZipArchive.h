#pragma once
// ZIP archives held in memory (Anki packages are ZIPs): reading one member with a size limit, and
// building an archive whose bytes the caller writes atomically.
#include <cstdint>
#include <string>
#include <vector>

namespace rovik::decks {

enum class ZipStatus { Ok, NotZip, Missing, TooLarge, Damaged };

// The names of the archive's members, in the archive's order. False (and `error`) when the bytes
// are no readable ZIP.
bool zipMemberNames(const std::string& zipBytes, std::vector<std::string>& names,
                    std::string* error = nullptr);

// Reads member `name` into `out`. A member that would expand past `limit` bytes is refused by its
// recorded size before anything is inflated, and again while inflating (a recorded size can lie).
ZipStatus readZipMember(const std::string& zipBytes, const std::string& name, std::uint64_t limit,
                        std::string& out, std::string* error = nullptr);

struct ZipEntry {
    std::string name;
    std::string bytes;
};

// Builds a deflated archive of `entries` in memory.
bool buildZip(const std::vector<ZipEntry>& entries, std::string& zipBytes, std::string* error = nullptr);

} // namespace rovik::decks
