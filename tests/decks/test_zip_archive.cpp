#include "decks/ZipArchive.h"

#include "platform/FileIo.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

std::string fixture(const std::string& name) {
    std::string bytes;
    EXPECT_TRUE(readWholeFile(std::string(ROVIK_FIXTURES) + "/decks/" + name, bytes)) << name;
    return bytes;
}

TEST(ZipArchive, ReadsTheMembersTheZipToolWrote) {
    const std::string zip = fixture("two-members.zip");
    std::vector<std::string> names;
    ASSERT_TRUE(zipMemberNames(zip, names));
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt"}));
    std::string out;
    EXPECT_EQ(readZipMember(zip, "a.txt", 1000, out), ZipStatus::Ok);
    EXPECT_EQ(out, "first member\n");
    EXPECT_EQ(readZipMember(zip, "b.txt", 1000, out), ZipStatus::Ok);
    EXPECT_EQ(out, "\xE4\xBA\x8C\xE7\x95\xAA\xE7\x9B\xAE");
    EXPECT_EQ(readZipMember(zip, "c.txt", 1000, out), ZipStatus::Missing);
}

TEST(ZipArchive, RefusesAMemberThatExpandsPastTheLimit) {
    const std::string zip = fixture("zeros-1mib.zip");
    std::string out = "untouched";
    std::string error;
    EXPECT_EQ(readZipMember(zip, "zeros.bin", 65536, out, &error), ZipStatus::TooLarge);
    EXPECT_NE(error.find("1048576"), std::string::npos) << error;
    EXPECT_EQ(readZipMember(zip, "zeros.bin", 1048576, out), ZipStatus::Ok);
    EXPECT_EQ(out, std::string(1048576, '\0'));
}

TEST(ZipArchive, BadBytesAreNoZip) {
    const std::string whole = fixture("two-members.zip");
    const std::vector<std::string> cases = {"", "PK\x03\x04", "not a zip at all",
                                            whole.substr(0, whole.size() / 2),
                                            whole.substr(0, whole.size() - 10)};
    for (const std::string& bytes : cases) {
        std::string out;
        std::vector<std::string> names;
        std::string error;
        EXPECT_FALSE(zipMemberNames(bytes, names, &error)) << bytes.size();
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(readZipMember(bytes, "a.txt", 1000, out), ZipStatus::NotZip) << bytes.size();
    }
}

TEST(ZipArchive, BuiltArchiveReadsBack) {
    const std::vector<ZipEntry> entries = {
        {"collection.anki2", std::string("SQLite format 3\0", 16)}, {"media", "{}"}, {"empty", ""}};
    std::string zip;
    ASSERT_TRUE(buildZip(entries, zip));
    ASSERT_EQ(zip.compare(0, 4, "PK\x03\x04"), 0);
    std::vector<std::string> names;
    ASSERT_TRUE(zipMemberNames(zip, names));
    EXPECT_EQ(names, (std::vector<std::string>{"collection.anki2", "media", "empty"}));
    for (const ZipEntry& e : entries) {
        std::string out;
        EXPECT_EQ(readZipMember(zip, e.name, 100, out), ZipStatus::Ok);
        EXPECT_EQ(out, e.bytes);
    }
}

} // namespace
} // namespace rovik::decks
