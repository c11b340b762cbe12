#include "decks/DeckExport.h"

#include "ApkgReader.h"
#include "support/ScopedEnv.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace rovik::decks {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kNow = 1700000000000;

const std::vector<std::string> kLines = {
    "tTitle\tFirst\t3\t3", "dBunrui\tA", "sBunrui\tB",      "11\tq1\ta1\tr1\t0", "tTitle\tSecond\t3\t3",
    "dBunrui\tA",          "sBunrui\tB", "11\tq2\ta2\t\t0", "11\tq3\ta3\t\t0",
};

std::size_t entriesIn(const std::string& folder) {
    std::size_t n = 0;
    for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it)
        ++n;
    return n;
}

// The temporary collection goes to TMPDIR: a folder of the test's own, to see it is left empty.
class DeckExportTest : public ::testing::Test {
protected:
    test::TempFolder output;
    test::TempFolder scratch;
    test::ScopedEnv tmpdir{"TMPDIR", scratch.path()};
};

TEST_F(DeckExportTest, WritesEveryFormat) {
    const struct {
        ExportFormat format;
        const char* name;
        std::string start;
    } cases[] = {
        {ExportFormat::SpreadsheetCsv, "out.csv", "\xEF\xBB\xBF"},
        {ExportFormat::AnkiText, "out.txt", "#separator:tab\n#html:false\n"},
        {ExportFormat::AnkiPackage, "out.apkg", "PK\x03\x04"},
    };
    for (const auto& c : cases) {
        const std::string path = output.file(c.name);
        const ExportResult result = exportTitles(kLines, {}, 0, c.format, path, kNow);
        ASSERT_EQ(ExportStatus::Ok, result.status) << result.message;
        EXPECT_EQ("", result.message);
        EXPECT_EQ(2, result.titles);
        EXPECT_EQ(3, result.records);
        EXPECT_EQ(2, result.titleCount);
        EXPECT_EQ(0, test::TempFolder::read(path).compare(0, c.start.size(), c.start)) << c.name;
    }
    EXPECT_EQ(0u, entriesIn(scratch.path()));
}

TEST_F(DeckExportTest, OneTitleGoesOutAsOneDeck) {
    const std::string path = output.file("second.apkg");
    const ExportResult result = exportTitles(kLines, {}, 2, ExportFormat::AnkiPackage, path, kNow);
    ASSERT_EQ(ExportStatus::Ok, result.status) << result.message;
    EXPECT_EQ(1, result.titles);
    EXPECT_EQ(2, result.records);
    const std::string read = test::readApkgIndependently(path);
    EXPECT_NE(std::string::npos, read.find("decks: Default | Second\n")) << read;
    EXPECT_NE(std::string::npos, read.find("note: Second \tq2\ta2\t\t[ A B ]\tq2\n")) << read;
    EXPECT_EQ(std::string::npos, read.find("problem")) << read;
}

TEST_F(DeckExportTest, RefusalsWriteNothingAndSayWhy) {
    const struct {
        std::vector<std::string> lines;
        int title;
        ExportStatus status;
        std::string message;
    } cases[] = {
        {kLines, 3, ExportStatus::NoSuchTitle,
         "\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB"                          // タイトル
         "3\xE3\x81\xAF\xE3\x81\x82\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93" // 3はありません
         "\xEF\xBC\x88\xE3\x82\xBF\xE3\x82\xA4\xE3\x83\x88\xE3\x83\xAB\xE6\x95\xB0 "
         "2\xEF\xBC\x89\xE3\x80\x82"},
        {{"tTitle\tEmpty\t3\t3"},
         0,
         ExportStatus::NoRecords,
         "\xE6\x9B\xB8\xE3\x81\x8D\xE5\x87\xBA\xE3\x81\x99\xE3\x83\xAC\xE3\x82\xB3\xE3\x83\xBC\xE3\x83\x89"
         "\xE3\x81\x8C\xE3\x81\x82\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\xE3\x80\x82"}, // 書き出すレコードがありません。
        {{"tTitle\tT\t3\t3", "11\t\x81\tx\t\t0"},
         0,
         ExportStatus::NotShiftJis,
         "2\xE8\xA1\x8C\xE7\x9B\xAE\xE3\x81\xAB" // 2行目に
         "Shift-JIS\xE3\x81\xA8\xE3\x81\x97\xE3\x81\xA6\xE8\xAA\xAD\xE3\x82\x81\xE3\x81\xAA\xE3\x81\x84"
         "\xE3\x83\x90\xE3\x82\xA4\xE3\x83\x88\xE3\x81\x8C\xE3\x81\x82\xE3\x82\x8B\xE3\x81\x9F\xE3\x82\x81"
         "\xE3\x80\x81\xE6\x9B\xB8\xE3\x81\x8D\xE5\x87\xBA\xE3\x81\x97\xE3\x81\xA7\xE3\x81\x8D\xE3\x81\xBE"
         "\xE3\x81\x9B\xE3\x82\x93\xE3\x81\xA7\xE3\x81\x97\xE3\x81\x9F\xE3\x80\x82"},
    };
    const std::string kept = output.write("kept.apkg", "old bytes");
    for (const auto& c : cases) {
        for (ExportFormat format : {ExportFormat::AnkiPackage, ExportFormat::SpreadsheetCsv}) {
            const ExportResult result = exportTitles(c.lines, {}, c.title, format, kept, kNow);
            EXPECT_EQ(c.status, result.status);
            EXPECT_EQ(c.message, result.message);
            EXPECT_EQ("old bytes", test::TempFolder::read(kept));
        }
    }
    EXPECT_EQ(1u, entriesIn(output.path()));
    EXPECT_EQ(0u, entriesIn(scratch.path()));
}

TEST_F(DeckExportTest, MissingFolderLeavesNothingBehind) {
    const std::string path = output.file("no such folder/out.apkg");
    for (ExportFormat format : {ExportFormat::AnkiPackage, ExportFormat::AnkiText}) {
        const ExportResult result = exportTitles(kLines, {}, 0, format, path, kNow);
        EXPECT_EQ(ExportStatus::CannotWrite, result.status);
        EXPECT_EQ(0u, result.message.find(
                          "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB" // ファイル
                          "\xE3\x81\x8C\xE9\x96\x8B\xE3\x81\x91\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\n" +
                          path + "\n"))
            << result.message;
    }
    EXPECT_EQ(0u, entriesIn(output.path()));
    EXPECT_EQ(0u, entriesIn(scratch.path()));
}

TEST_F(DeckExportTest, ReadOnlyFolderLeavesNothingBehind) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    const std::string kept = output.write("kept.apkg", "old bytes");
    fs::permissions(output.path(), fs::perms::owner_read | fs::perms::owner_exec);
    for (ExportFormat format : {ExportFormat::AnkiPackage, ExportFormat::SpreadsheetCsv}) {
        for (const std::string& path : {kept, output.file("new.apkg")}) {
            const ExportResult result = exportTitles(kLines, {}, 0, format, path, kNow);
            EXPECT_EQ(ExportStatus::CannotWrite, result.status) << path;
        }
    }
    fs::permissions(output.path(), fs::perms::owner_all);
    EXPECT_EQ(1u, entriesIn(output.path()));
    EXPECT_EQ("old bytes", test::TempFolder::read(kept));
    EXPECT_EQ(0u, entriesIn(scratch.path()));
}

TEST_F(DeckExportTest, NoTemporaryFolderNoPackage) {
    test::ScopedEnv gone{"TMPDIR", scratch.file("missing")};
    const std::string path = output.file("out.apkg");
    const ExportResult result = exportTitles(kLines, {}, 0, ExportFormat::AnkiPackage, path, kNow);
    EXPECT_EQ(ExportStatus::CannotBuild, result.status);
    EXPECT_EQ(0u, result.message.find("Anki")) << result.message;
    EXPECT_EQ(0u, entriesIn(output.path()));
}

} // namespace
} // namespace rovik::decks
