#include "data/DataContext.h"
#include "data/QuestionSet.h"
#include "pdb/PdbWriter.h"
#include "pdb/Pdbcommon.h"
#include "settings/ProgramValues.h"

#include "data/RecordingDataListView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rovik {
namespace {

using Events = std::vector<std::string>;
const std::string kUntitled = "\x96\xB3\x91\xE8"; // 無題
const std::string kUntitledUtf8 = "無題";
const std::string kTooLarge = "レコードが64KBを超えているためにファイル保存はできませんでした。";

std::vector<std::uint32_t> recordOffsets(const std::string& pdb) {
    std::uint16_t n = 0;
    EXPECT_TRUE(readU16(pdb, 76, n));
    std::vector<std::uint32_t> offsets(n);
    for (std::size_t i = 0; i < n; ++i)
        EXPECT_TRUE(readU32(pdb, 78 + 8 * i, offsets[i]));
    return offsets;
}

std::string templatePdb(std::uint32_t date) {
    std::string pdb = kUntitled + '\0' + std::string(26, ' ') + '\0';
    pdb += std::string("\0\0\0\x01", 4);
    for (int i = 0; i < 3; ++i)
        putU32(pdb, date);
    pdb += std::string(12, '\0') + "DataRvk2" + std::string(8, '\0') + std::string("\0\x04", 2);
    for (std::uint32_t offset : {110u, 126u, 140u, 154u}) {
        putU32(pdb, offset);
        pdb += std::string("\x40\0\0\0", 4);
    }
    pdb += "tTitle\t" + kUntitled + "\t3\t3\n";
    pdb += " dBunrui\t" + kUntitled + "\n";
    pdb += " sBunrui\t" + kUntitled + "\n";
    pdb += "11\t" + kUntitled + "\t" + kUntitled + "\t" + kUntitled + "\t0\n";
    return pdb;
}

TEST(PdbWriter_Image, TheNewTitleTemplateIsByteExact) {
    PdbImage image = buildPdbImage(newTitleTemplate(), kUntitled, 0xE73E4A80u);
    EXPECT_FALSE(image.tooLarge);
    EXPECT_EQ(templatePdb(0xE73E4A80u), image.bytes);
    EXPECT_EQ((std::vector<std::uint32_t>{110, 126, 140, 154}), recordOffsets(image.bytes));
}

TEST(PdbWriter_Image, PadsOddRecordsButNeverComments) {
    const std::vector<std::string> lines = {"//odd", "ab", "//x", "abc", "", "\xB1"};
    PdbImage image = buildPdbImage(lines, "n", 0);
    const std::size_t data = 78 + 8 * lines.size();
    // "//odd\n" 6, " ab\n" 4, "//x\n" 4, "abc\n" 4, "\n" -> " \n" 2, ｱ -> ア "\x83\x41\n" -> pad 4
    EXPECT_EQ((std::vector<std::uint32_t>{126, 132, 136, 140, 144, 146}), recordOffsets(image.bytes));
    ASSERT_EQ(126u, data);
    EXPECT_EQ("//odd\n ab\n//x\nabc\n \n \x83\x41\n", image.bytes.substr(data));
    ASSERT_EQ(1u, image.converted.size());
    EXPECT_EQ(5u, image.converted[0].first);
    EXPECT_EQ("\x83\x41", image.converted[0].second);
    for (std::size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(std::string("\x40\0\0\0", 4), image.bytes.substr(78 + 8 * i + 4, 4)) << i;
}

TEST(PdbWriter_Image, AnOddCommentLeavesTheNextRecordWhereItEnds) {
    PdbImage image = buildPdbImage({"//abcd", "11"}, "n", 0);
    EXPECT_EQ((std::vector<std::uint32_t>{94, 101}), recordOffsets(image.bytes));
    EXPECT_EQ("//abcd\n 11\n", image.bytes.substr(94));
}

TEST(PdbWriter_Image, NoRecordMayStartPast64KB) {
    // Two comment records: the second starts right after the first.
    auto image = buildPdbImage({"//" + std::string(65440 - 2, 'c'), "11"}, "n", 0);
    EXPECT_FALSE(image.tooLarge);
    EXPECT_EQ((std::vector<std::uint32_t>{94, 65535}), recordOffsets(image.bytes));
    image = buildPdbImage({"//" + std::string(65441 - 2, 'c'), "11"}, "n", 0);
    EXPECT_TRUE(image.tooLarge);
    EXPECT_TRUE(image.bytes.empty());
    EXPECT_TRUE(image.converted.empty());
    // Half-width katakana counts as converted: here it pushes the second record past 64 KB.
    image = buildPdbImage({"//" + std::string(65440 - 2, '\xB1'), "11"}, "n", 0);
    EXPECT_TRUE(image.tooLarge);
    EXPECT_TRUE(image.converted.empty());
    // The last record may run past 64 KB: only starts count.
    image = buildPdbImage({"//" + std::string(70000, 'c')}, "n", 0);
    EXPECT_FALSE(image.tooLarge);
    // 8183 lines push the first record past 64 KB by the record list alone.
    EXPECT_TRUE(buildPdbImage(std::vector<std::string>(8183, "//"), "n", 0).tooLarge);
    EXPECT_EQ(78u, buildPdbImage({}, "n", 0).bytes.size());
}

TEST(PdbWriter_Image, TheNameFieldHoldsAZeroThenSpacesAndEndsWithZero) {
    EXPECT_EQ(std::string("ab\0", 3) + std::string(28, ' ') + '\0',
              buildPdbImage({}, "ab", 0).bytes.substr(0, 32));
    EXPECT_EQ(std::string(31, 'x') + '\0', buildPdbImage({}, std::string(31, 'x'), 0).bytes.substr(0, 32));
    EXPECT_EQ(std::string(30, 'x') + std::string(2, '\0'),
              buildPdbImage({}, std::string(30, 'x'), 0).bytes.substr(0, 32));
    EXPECT_EQ(std::string(1, '\0') + std::string(30, ' ') + '\0',
              buildPdbImage({}, "", 0).bytes.substr(0, 32));
}

TEST(PdbWriter_Name, FollowsTheByteRules) {
    const std::string a28(28, 'a');
    const std::string hyo = "\x95\x5C"; // 表: its trail byte is a backslash
    const std::pair<std::string, std::string> cases[] = {
        {"name.pdb", "name"},
        {"two.dots.pdb", "two"},
        {".pdb", ""},
        {"noext", "noext"},
        {"C:\\dir\\name.pdb", "name"},
        {"dir:name.pdb", "name"},
        {"x.y\\name.pdb", "name"},
        {hyo + ".pdb", hyo},
        {"a" + hyo + "b.pdb", "a" + hyo + "b"},
        {std::string(40, 'a') + ".pdb", std::string(31, 'a')},
        {a28 + hyo + "bbbbbbbbbb", a28 + hyo},
        {a28 + "a" + hyo + "bbbbbbbbbb", a28 + "a" + hyo},
        {a28 + "aa" + hyo + "bbbbbbbbbb", a28 + "aa"},
        {std::string(27, 'a') + hyo + "bbbbbbbb", std::string(27, 'a') + hyo + "bb"},
        {std::string(26, 'a') + hyo + hyo + "bbbbbbbb", std::string(26, 'a') + hyo + hyo},
        {"\x9F\x95" + std::string(".pdb"), "\x14\x14"},
        {"a\xE9\x4C" + std::string("b.pdb"), "a\x14\x14" + std::string("b")},
        {"\x88\x9F\x95\x5C.pdb", "\x88\x14\x14\x5C"}, // a trail byte and the next lead byte match too
        {a28 + "a\x9F\x95" + "zzzz", a28 + "a\x14\x14"},
    };
    for (const auto& [fileName, name] : cases)
        EXPECT_EQ(name, databaseNameFromCp932(fileName)) << fileName;
}

TEST(PdbWriter_Name, ComesFromTheFileNameInCp932) {
    EXPECT_EQ(kUntitled, databaseNameOf("/tmp/folder.x/無題.pdb").bytes);
    EXPECT_EQ("", databaseNameOf("/tmp/無題.pdb").unmappable);
    DatabaseName name = databaseNameOf("/tmp/a😀b.pdb");
    EXPECT_EQ("ab", name.bytes);
    EXPECT_EQ("😀", name.unmappable);
    EXPECT_EQ("", databaseNameOf("/tmp/ab.😀.pdb").unmappable); // only the name part counts
}

class WritePdbTest : public ::testing::Test {
protected:
    test::TempFolder folder;
    QuestionSet set;
    test::ScriptedPrompter prompter;
};

TEST_F(WritePdbTest, WritesTheTemplateDatedToday) {
    set.lines = newTitleTemplate();
    set.saved = false;
    const std::string path = folder.file(kUntitledUtf8 + ".pdb");
    const std::uint32_t before = palmDateToday();
    ASSERT_EQ(0, WritePdb(set, path, prompter));
    const std::string pdb = test::TempFolder::read(path);
    std::uint32_t date = 0;
    ASSERT_TRUE(readU32(pdb, 36, date));
    EXPECT_TRUE(date == before || date == before + 86400u);
    EXPECT_EQ(templatePdb(date), pdb);
    EXPECT_TRUE(set.saved);
}

TEST_F(WritePdbTest, ConvertsHalfWidthKanaInTheSet) {
    set.lines = {"tTitle\t\xB6\xDE", "11\tq\ta\tr\t0"};
    set.saved = false;
    ASSERT_EQ(0, WritePdb(set, folder.file("k.pdb"), prompter));
    EXPECT_EQ("tTitle\t\x83\x4B", set.lines[0]);
    EXPECT_EQ("tTitle\t\x83\x4B\n 11\tq\ta\tr\t0\n", test::TempFolder::read(folder.file("k.pdb")).substr(94));
}

TEST_F(WritePdbTest, TooLargeLeavesNoFileAndTheSetAsItWas) {
    set.lines = std::vector<std::string>(9000, "11\t\xB1\ta\tr\t0");
    set.saved = false;
    prompter.expectMessage(kTooLarge, "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-2, WritePdb(set, folder.file("big.pdb"), prompter));
    EXPECT_FALSE(std::filesystem::exists(folder.file("big.pdb")));
    EXPECT_EQ("11\t\xB1\ta\tr\t0", set.lines[0]);
    EXPECT_FALSE(set.saved);

    const std::string existing = folder.write("old.pdb", "old database");
    prompter.expectMessage(kTooLarge, "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-2, WritePdb(set, existing, prompter));
    EXPECT_EQ("old database", test::TempFolder::read(existing));
}

TEST_F(WritePdbTest, ARecordLongerThanLoadingAllowsOnceWidenedIsNotWritten) {
    // 306 bytes as they stand, 346 with the forty ｱ widened
    const std::string record = "11\tq\ta\t" + std::string(40, '\xB1') + std::string(257, 'r') + "\t0";
    set.lines = {"tTitle\tT\t3\t3", "//" + std::string(400, 'c'), record};
    set.saved = false;
    std::string kana40;
    for (int i = 0; i < 40; ++i)
        kana40 += "ｱ";
    prompter.expectMessage("3行目のレコードが長すぎるため、ファイル保存はできませんでした。\n11\tq\ta\t" +
                               kana40 + std::string(13, 'r') +
                               "…\nレコードが長すぎます。最大306文字です。（半角カナは全角にして数えます）",
                           "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-2, WritePdb(set, folder.file("long.pdb"), prompter));
    EXPECT_FALSE(std::filesystem::exists(folder.file("long.pdb")));
    EXPECT_EQ(record, set.lines[2]);
    EXPECT_FALSE(set.saved);
}

TEST_F(WritePdbTest, AFileThatCannotBeCreatedChangesNothing) {
    set.lines = {"11\t\xB1\ta\tr\t0"};
    set.saved = false;
    prompter.expectMessage("ファイルが開けません\n" + folder.file("missing/x.pdb") +
                               "\nファイルを保存できませんでした。",
                           "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-1, WritePdb(set, folder.file("missing/x.pdb"), prompter));
    EXPECT_EQ("11\t\xB1\ta\tr\t0", set.lines[0]);
    EXPECT_FALSE(set.saved);
}

TEST_F(WritePdbTest, AFileNameCp932CannotHoldIsReported) {
    set.lines = newTitleTemplate();
    prompter.expectMessage("ファイル名の「😀」はPDBのデータベース名に使えないため、除いて保存します。", "確認",
                           Buttons::Ok, Icon::Warning);
    ASSERT_EQ(0, WritePdb(set, folder.file("a😀b.pdb"), prompter));
    EXPECT_EQ(std::string("ab\0", 3), test::TempFolder::read(folder.file("a😀b.pdb")).substr(0, 3));
}

class SaveQuestionSetTest : public WritePdbTest {
protected:
    SaveQuestionSetTest() {
        values.settings = {"", ""};
        values.dataFolder = folder.path();
        set.lines = newTitleTemplate();
        set.lines[0] = "tTitle\t\xB1\t3\t3";
        set.saved = false;
    }
    test::RecordingDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
};

TEST_F(SaveQuestionSetTest, RoutesByTheExactExtensionForms) {
    struct Case {
        const char* name;
        const char* status; // empty: refused
    } const cases[] = {
        {"a.txt", "が保存されました。"},
        {"b.TXT", "が保存されました。"},
        {"c.pdb", "を作成しました。"},
        {"d.PDB", "を作成しました。"},
        {"e.Txt", ""},
        {"f.pDb", ""},
        {"noext", ""},
        {"g.txt.bak", ""},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file(c.name);
        view.events.clear();
        values.settings = {"", ""};
        prompter.expectSave(path);
        if (*c.status == '\0')
            prompter.expectMessage("ファイルの拡張子は .txtとしてください。", "ﾌｧｲﾙ ｴﾗｰ", Buttons::Ok,
                                   Icon::Error);
        int result = SaveQuestionSet(ctx, "proposed.txt");
        if (*c.status == '\0') {
            EXPECT_EQ(-1, result) << c.name;
            EXPECT_FALSE(std::filesystem::exists(path)) << c.name;
            EXPECT_EQ(Events{}, view.events) << c.name;
            EXPECT_EQ((std::vector<std::string>{"", ""}), values.settings) << c.name;
        } else {
            EXPECT_EQ(0, result) << c.name;
            EXPECT_TRUE(std::filesystem::exists(path)) << c.name;
            EXPECT_EQ(Events{"status:" + path + c.status}, view.events) << c.name;
            EXPECT_EQ(path, values.settings.at(1)) << c.name;
        }
    }
    EXPECT_EQ("tTitle\t\x83\x41\t3\t3", set.lines[0]); // the saves normalised the set
}

TEST_F(SaveQuestionSetTest, AsksWithTheFilterAndProposedName) {
    prompter.expectSave(std::nullopt, kTextSaveFilter).expectSave(std::nullopt, kPdbSaveFilter);
    EXPECT_EQ(1, SaveQuestionSet(ctx, "/data/set.txt"));
    EXPECT_EQ(1, SaveQuestionSet(ctx, "set.pdb"));
    ASSERT_EQ(2u, prompter.dialogRequests.size());
    EXPECT_EQ("/data/set.txt", prompter.dialogRequests[0].fileName);
    EXPECT_EQ("/data", prompter.dialogRequests[0].folder);
    EXPECT_EQ("set.pdb", prompter.dialogRequests[1].fileName);
    EXPECT_EQ(folder.path(), prompter.dialogRequests[1].folder);
    EXPECT_EQ(Events{}, view.events);
    EXPECT_FALSE(set.saved);
    EXPECT_EQ((std::vector<std::string>{"", ""}), values.settings);
}

TEST_F(SaveQuestionSetTest, AFailedSaveIsNoRecentFile) {
    set.lines = std::vector<std::string>(9000, "//");
    const std::string path = folder.file("big.pdb");
    prompter.expectSave(path).expectMessage(kTooLarge, "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-2, SaveQuestionSet(ctx, "big.pdb"));
    EXPECT_EQ(Events{"status:データが大きいためにファイル保存はできませんでした。"}, view.events);
    EXPECT_EQ("", values.settings.at(1));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(PdbWriter_ProposedName, CutsAtTheFirstDot) {
    EXPECT_EQ("data.pdb", proposedPdbName("/home/u/data.txt"));
    EXPECT_EQ("$temp.pdb", proposedPdbName("/start/$temp.txt"));
    EXPECT_EQ("a.pdb", proposedPdbName("/x.y/a.b.txt"));
    EXPECT_EQ(".pdb", proposedPdbName("/x/noext"));
    EXPECT_EQ(".pdb", proposedPdbName(""));
}

} // namespace
} // namespace rovik
