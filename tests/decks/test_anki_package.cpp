#include "decks/AnkiPackage.h"

#include "ApkgReader.h"
#include "decks/ZipArchive.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

constexpr std::int64_t kNow = 1700000000000;

TEST(AnkiPackage, HtmlEscapesOnlyWhatAnkiWouldRead) {
    const struct {
        std::string text;
        std::string escaped;
    } cases[] = {
        {"plain", "plain"},
        {"a & b", "a &amp; b"},
        {"<b>x</b>", "&lt;b&gt;x&lt;/b&gt;"},
        {"&amp;", "&amp;amp;"},
        {"\"quoted\" 'single'", "\"quoted\" 'single'"},
        {"\xE7\x8A\xAC<", "\xE7\x8A\xAC&lt;"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.escaped, htmlEscaped(c.text)) << c.text;
}

TEST(AnkiPackage, ChecksumIsTheFirstEightHexDigitsOfSha1) {
    EXPECT_EQ(0xa9993e36u, fieldChecksum("abc"));
    EXPECT_EQ(0xda39a3eeu, fieldChecksum(""));
}

TEST(AnkiPackage, GuidsAreStableBase91AndTellOccurrencesApart) {
    const std::string guid = noteGuid("deck", "question", 0);
    EXPECT_EQ(guid, noteGuid("deck", "question", 0));
    EXPECT_NE(guid, noteGuid("deck", "question", 1));
    EXPECT_NE(guid, noteGuid("other", "question", 0));
    EXPECT_LE(guid.size(), 10u);
    EXPECT_EQ(std::string::npos, guid.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                        "0123456789!#$%&()*+,-./:;<=>?@[]^_`{|}~"));
}

std::vector<ExportTitle> sample() {
    const std::string inuNeko = "\xE7\x8A\xAC & <\xE7\x8C\xAB>"; // 犬 & <猫>
    return {
        {"\xE6\x97\xA5\xE6\x9C\xAC", // 日本
         "\xE6\x97\xA5\xE6\x9C\xAC",
         {{inuNeko, "dog", "ref", "\xE5\x8B\x95\xE7\x89\xA9",
           "\xE5\x90\x8D\xE8\xA9\x9E \xE4\xBA\x8C"}, // 動物, 名詞 二
          {"q2", "a2", "", "", ""},
          {inuNeko, "again", "", "", ""}}},
        {"Second", "Second", {{"123", "num", "", "A", "A"}}},
    };
}

TEST(AnkiPackage, AnIndependentReaderFindsDecksNoteTypeNotesAndTags) {
    std::string zip;
    std::string error;
    ASSERT_TRUE(buildAnkiPackage(sample(), kNow, zip, &error)) << error;
    test::TempFolder folder;
    const std::string path = folder.write("out.apkg", zip);
    EXPECT_EQ(
        "members: collection.anki2 media\n"
        "media: {}\n"
        "integrity: ok\n"
        "tables: cards col graves notes revlog\n"
        "ver: 11\n"
        "tags: A \xE5\x8B\x95\xE7\x89\xA9 \xE5\x90\x8D\xE8\xA9\x9E_\xE4\xBA\x8C\n"
        "model: Rovik \xE8\xB3\xAA\xE5\x95\x8F\xE3\x83\xBB\xE8\xA7\xA3\xE7\xAD\x94\xE3\x83\xBB"
        "\xE5\x8F\x82\xE8\x80\x83 fields: \xE8\xB3\xAA\xE5\x95\x8F,\xE8\xA7\xA3\xE7\xAD\x94,"
        "\xE5\x8F\x82\xE8\x80\x83\n"
        "template: \xE3\x82\xAB\xE3\x83\xBC\xE3\x83\x89"
        "1 front: {{\xE8\xB3\xAA\xE5\x95\x8F}} back has: "
        "{{\xE8\xA7\xA3\xE7\xAD\x94}},{{\xE5\x8F\x82\xE8\x80\x83}}\n"
        "decks: Default | \xE6\x97\xA5\xE6\x9C\xAC | Second\n"
        "note: \xE6\x97\xA5\xE6\x9C\xAC \t\xE7\x8A\xAC &amp; &lt;\xE7\x8C\xAB&gt;\tdog\tref\t"
        "[ \xE5\x8B\x95\xE7\x89\xA9 \xE5\x90\x8D\xE8\xA9\x9E_\xE4\xBA\x8C ]\t\xE7\x8A\xAC & <\xE7\x8C\xAB>\n"
        "note: \xE6\x97\xA5\xE6\x9C\xAC \tq2\ta2\t\t[]\tq2\n"
        "note: \xE6\x97\xA5\xE6\x9C\xAC \t\xE7\x8A\xAC &amp; &lt;\xE7\x8C\xAB&gt;\tagain\t\t[]\t"
        "\xE7\x8A\xAC & <\xE7\x8C\xAB>\n"
        "note: Second \t123\tnum\t\t[ A ]\t123\n",
        test::readApkgIndependently(path));
}

TEST(AnkiPackage, PackageHoldsTheCollectionAndAnEmptyMediaList) {
    std::string zip;
    ASSERT_TRUE(buildAnkiPackage(sample(), kNow, zip));
    std::vector<std::string> names;
    ASSERT_TRUE(zipMemberNames(zip, names));
    EXPECT_EQ((std::vector<std::string>{"collection.anki2", "media"}), names);
    std::string collection;
    ASSERT_EQ(ZipStatus::Ok, readZipMember(zip, "collection.anki2", 1 << 24, collection));
    EXPECT_EQ(0, collection.compare(0, 16, std::string("SQLite format 3\0", 16)));
}

TEST(AnkiPackage, NoTitlesNoPackage) {
    std::string zip = "untouched";
    std::string error;
    EXPECT_FALSE(buildAnkiPackage({}, kNow, zip, &error));
    EXPECT_EQ("untouched", zip);
    EXPECT_FALSE(error.empty());
}

} // namespace
} // namespace rovik::decks
