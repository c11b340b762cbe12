#include "decks/Sha1.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

// FIPS 180 examples, and lengths around the block and padding boundaries (digests from Python's
// hashlib).
TEST(Sha1, KnownDigests) {
    const struct {
        std::string text;
        const char* hex;
    } cases[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {"The quick brown fox jumps over the lazy dog", "2fd4e1c67a2d28fced849ee1bb76e7391b93eb12"},
        {std::string(55, 'a'), "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
        {std::string(56, 'a'), "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
        {std::string(63, 'a'), "03f09f5b158a7a8cdad920bddc29b81c18a551f5"},
        {std::string(64, 'a'), "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
        {std::string(119, 'a'), "ee971065aaa017e0632a8ca6c77bb3bf8b1dfc56"},
        {std::string(120, 'a'), "f34c1488385346a55709ba056ddd08280dd4c6d6"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
        {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "c12140a0ffb4e56481b4fe0a7a25040c2eafa9ca"}, // 日本語
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.hex, sha1Hex(c.text)) << c.text.size() << " bytes";
}

TEST(Sha1, DigestBytesAreTheHexDigits) {
    const Sha1Digest d = sha1("abc");
    EXPECT_EQ(0xa9, d[0]);
    EXPECT_EQ(0x99, d[1]);
    EXPECT_EQ(0x9d, d[19]);
}

} // namespace
} // namespace rovik::decks
