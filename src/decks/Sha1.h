#pragma once
// SHA-1 (FIPS 180-4): Anki keys duplicate checks on it (a note's checksum) and our note GUIDs come
// from it. Small enough to keep here rather than link a crypto library for one digest.
#include <array>
#include <cstdint>
#include <string>

namespace rovik::decks {

using Sha1Digest = std::array<std::uint8_t, 20>;

// The digest of `bytes`.
Sha1Digest sha1(const std::string& bytes);

// The digest as 40 lower-case hex digits.
std::string sha1Hex(const std::string& bytes);

} // namespace rovik::decks
