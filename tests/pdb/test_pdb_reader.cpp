#include "data/DataContext.h"
#include "data/QuestionSet.h"
#include "pdb/PdbReader.h"
#include "pdb/PdbWriter.h"
#include "pdb/Pdbcommon.h"
#include "settings/ProgramValues.h"

#include "data/RecordingDataListView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace rovik {
namespace {

using Events = std::vector<std::string>;
const char* kBroken = "PDBﾌｧｲﾙが壊れているため読み込めませんでした。";

// The header's first 76 bytes: a name ended by a zero byte, our type and creator.
const std::string kHeadBytes =
    std::string("R\0", 2) + std::string(58, 'h') + "DataRvk2" + std::string(8, 'h');

// A header of 78 bytes with `count` records, the given record list offsets, then `data`.
std::string rawPdb(std::uint16_t count, const std::vector<std::uint32_t>& offsets, const std::string& data) {
    std::string pdb = kHeadBytes;
    putU16(pdb, count);
    for (std::uint32_t offset : offsets) {
        putU32(pdb, offset);
        pdb += std::string("\x40\0\0\0", 4);
    }
    return pdb + data;
}

// A well-formed database of the given records, laid back to back.
std::string pdbOf(const std::vector<std::string>& records) {
    std::vector<std::uint32_t> offsets;
    std::uint32_t offset = static_cast<std::uint32_t>(78 + 8 * records.size());
    std::string data;
    for (const auto& record : records) {
        offsets.push_back(offset);
        offset += static_cast<std::uint32_t>(record.size());
        data += record;
    }
    return rawPdb(static_cast<std::uint16_t>(records.size()), offsets, data);
}

std::string textOf(const std::string& pdb, PdbReadStatus expected = PdbReadStatus::Ok) {
    std::string text = "stale";
    EXPECT_EQ(static_cast<int>(expected), static_cast<int>(pdbToText(pdb, text)));
    return text;
}

TEST(PdbReader_Text, JoinsRecordsAndRemovesOnePadSpacePerLine) {
    EXPECT_EQ("tTitle\tT\r\ndBunrui\tA\r\n dBunrui\tA\r\n//c\r\n\r\n",
              textOf(pdbOf({"tTitle\tT\n", " dBunrui\tA\n", "  dBunrui\tA\n", "//c\n", " \n"})));
    EXPECT_EQ("a\r\nb\r\nc\r\nd\r\n", textOf(pdbOf({"a\r\nb\rc", "\n", "d"})));
    // A CR that ends one record and an LF that starts the next make one line end.
    EXPECT_EQ("a\r\nb\r\n", textOf(pdbOf({"a\r", "\nb\n"})));
    // A record without a line feed runs into the next record's first line.
    EXPECT_EQ("ab\r\nc\r\n", textOf(pdbOf({"a", "b\nc\n"})));
    EXPECT_EQ("", textOf(pdbOf({})));
    EXPECT_EQ("", textOf(pdbOf({"", ""})));
    EXPECT_EQ("\r\n", textOf(pdbOf({" "})));
}

TEST(PdbReader_Text, ControlBytesBecomeDollarSigns) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        if (b != '\n' && b != '\r' && b != ' ') all += static_cast<char>(b);
    std::string expected;
    for (char c : all) {
        auto b = static_cast<unsigned char>(c);
        bool control = b <= 0x08 || b == 0x0C || (b >= 0x0E && b <= 0x1F) || b == 0x7F;
        expected += control ? '$' : c;
    }
    EXPECT_EQ(expected + "\r\n", textOf(pdbOf({all})));
    EXPECT_EQ("a$b\r\n", textOf(pdbOf({std::string("a\0b\n", 4)})));
}

TEST(PdbReader_Text, EveryTruncatedPrefixGivesAClearResult) {
    const std::string pdb = pdbOf({"tTitle\tT\t3\t3\n", " dBunrui\tA\n", "11\tq\ta\tr\t0\n"});
    const std::size_t listEnd = 78 + 8 * 2 + 4; // the last entry's offset is all that is read of it
    for (std::size_t size = 0; size <= pdb.size(); ++size) {
        std::string text;
        PdbReadStatus status = pdbToText(pdb.substr(0, size), text);
        PdbReadStatus expected = size < 78        ? PdbReadStatus::ShortHeader
                                 : size < listEnd ? PdbReadStatus::ShortRecordList
                                                  : PdbReadStatus::Ok;
        EXPECT_EQ(static_cast<int>(expected), static_cast<int>(status)) << size;
        if (expected != PdbReadStatus::Ok) {
            EXPECT_EQ("", text) << size;
        }
    }
    EXPECT_EQ("tTitle\tT\t3\t3\r\ndBunrui\tA\r\n11\tq\ta\tr\t0\r\n", textOf(pdb));
}

TEST(PdbReader_Text, BrokenOffsetsStayInsideTheFile) {
    const std::string data = "ab\ncd\n";
    const std::uint32_t d = 78 + 8 * 3; // where the data starts with three entries
    const std::string wholeFile = "R$" + std::string(58, 'h') + "DataRvk2" + std::string(8, 'h') +
                                  "$$$$$k@$$$$$$\xCA@$$$$$$$@$$$ab\r\ncd\r\n";
    struct Case {
        std::vector<std::uint32_t> offsets;
        std::string text;
    } const cases[] = {
        {{d, d + 3, d + 6}, "ab\r\ncd\r\n"},
        {{d, 0x80000000u, d + 3}, "ab\r\ncd\r\ncd\r\n"}, // 2 GB: taken as the end; record 2 is empty
        {{0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, ""},   // all past the end
        {{d + 3, d, d + 6}, "ab\r\ncd\r\n"},             // backwards: record 1 is empty
        {{d + 6, d + 3, d}, "ab\r\ncd\r\n"},             // only the last record holds anything
        {{d + 5, d + 100, 0}, "\r\n" + wholeFile},       // the last one runs over the header too
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, textOf(rawPdb(3, c.offsets, data))) << c.offsets[0];
}

// Any file has a record count at byte 76; only a header of ours makes it a database.
TEST(PdbReader_Text, OtherFilesAreNoDatabase) {
    const std::string records = pdbOf({"tTitle\tT\n"}).substr(76);
    std::string noZeroInName = kHeadBytes;
    noZeroInName[1] = 'x';
    std::string otherType = kHeadBytes;
    otherType.replace(60, 4, "TEXt");
    std::string otherCreator = kHeadBytes;
    otherCreator.replace(64, 4, "REAd");
    const std::string zeroCount = std::string(76, '\x7F') + std::string(40, '\0');
    for (const std::string& pdb : {noZeroInName + records, zeroCount})
        EXPECT_EQ("", textOf(pdb, PdbReadStatus::NotADatabase));
    // A Palm database of another application is not called broken.
    for (const std::string& pdb : {otherType + records, otherCreator + records})
        EXPECT_EQ("", textOf(pdb, PdbReadStatus::OtherDatabase));
    EXPECT_EQ("PDBﾌｧｲﾙがRovikのデータベースではないため読み込めませんでした。",
              pdbReadMessage(PdbReadStatus::OtherDatabase));
    // The npm palm-pdb library leaves two bytes between the record list and the first record.
    EXPECT_EQ("tTitle\tT\r\n", textOf(rawPdb(1, {78 + 8 + 2}, std::string("\0\0", 2) + "tTitle\tT\n")));
}

TEST(PdbReader_Text, MoreRecordsThanTheListHoldsIsBroken) {
    std::string pdb = rawPdb(5, {86, 87}, "ab");
    std::string text;
    EXPECT_EQ(static_cast<int>(PdbReadStatus::ShortRecordList), static_cast<int>(pdbToText(pdb, text)));
    EXPECT_EQ(static_cast<int>(PdbReadStatus::ShortRecordList),
              static_cast<int>(pdbToText(rawPdb(65535, {}, ""), text)));
}

TEST(PdbReader_Text, OverlappingRecordsCannotMultiplyTheFile) {
    // Every second record runs from the record list over the whole file again.
    std::vector<std::uint32_t> offsets;
    for (int i = 0; i < 65535; ++i)
        offsets.push_back(i % 2 == 0 ? 0u : 0x7FFFFFFFu);
    std::string pdb = rawPdb(65535, offsets, std::string(2000, 'x'));
    std::string text;
    EXPECT_EQ(static_cast<int>(PdbReadStatus::TooLarge), static_cast<int>(pdbToText(pdb, text)));
    EXPECT_EQ("", text);
}

TEST(PdbReader_Text, WriterAndReaderRoundTrip) {
    const std::vector<std::string> lines = {"// before the title",
                                            "tTitle\t\xB6\xDE\xCA\xDF\t3\t3",
                                            "dBunrui\tA",
                                            "sBunrui\tBB",
                                            "11\tq\ta\tr\t0",
                                            "//odd",
                                            "12\t\x96\xB3\x91\xE8\ta\tr\t0",
                                            " a",
                                            "",
                                            "\t"};
    PdbImage image = buildPdbImage(lines, "n", 0);
    std::vector<std::string> converted = lines;
    for (const auto& [index, line] : image.converted)
        converted[index] = line;
    EXPECT_EQ("tTitle\t\x83\x4B\x83\x70\t3\t3", converted[1]);
    std::string expected;
    for (const auto& line : converted)
        expected += line + "\r\n";
    EXPECT_EQ(expected, textOf(image.bytes));
    // An even-length line (line feed counted) that begins with a space loses it on the way back.
    EXPECT_EQ("ab\r\n", textOf(buildPdbImage({" ab"}, "n", 0).bytes));
}

TEST(PdbReader_Text, RandomFilesGiveAResultAndStayInside) {
    // Random counts and offsets, many pointing past the end or backwards.
    std::mt19937 rng(1904);
    int ok = 0;
    for (int k = 0; k < 3000; ++k) {
        const std::uint16_t count = static_cast<std::uint16_t>(rng() % 40);
        std::vector<std::uint32_t> offsets(rng() % 41);
        for (auto& offset : offsets)
            offset =
                rng() % 3 == 0 ? static_cast<std::uint32_t>(rng()) : static_cast<std::uint32_t>(rng() % 500);
        std::string data(rng() % 200, '\0');
        for (auto& c : data)
            c = static_cast<char>(rng());
        std::string pdb = rawPdb(count, offsets, data).substr(0, rng() % 2 ? std::string::npos : rng() % 400);
        std::string text;
        PdbReadStatus status = pdbToText(pdb, text);
        ASSERT_TRUE(status == PdbReadStatus::Ok || status == PdbReadStatus::ShortHeader ||
                    status == PdbReadStatus::ShortRecordList);
        if (status == PdbReadStatus::Ok) {
            ++ok;
            EXPECT_LE(text.size(),
                      2 * pdb.size() * count + 2); // every byte at most once per record, CR added
            EXPECT_EQ(std::string::npos, text.find('\0'));
        }
    }
    EXPECT_GT(ok, 300);
}

class PdbFileTest : public ::testing::Test {
protected:
    PdbFileTest() {
        values.startFolder = folder.path();
        values.dataFolder = "/nowhere";
        values.settings = {"", ""};
    }
    std::string tempText() const { return folder.file("$temp.txt"); }

    test::TempFolder folder;
    QuestionSet set;
    test::ScriptedPrompter prompter;
    test::RecordingDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
};

TEST_F(PdbFileTest, ReadPdbHeaderGivesTheFirst80Bytes) {
    const std::string pdb = pdbOf({"abc\n"});
    std::string header;
    EXPECT_EQ(0, ReadPdbHeader(folder.write("a.pdb", pdb), header, prompter));
    EXPECT_EQ(pdb.substr(0, 80), header);
    EXPECT_EQ(1, pdbRecordCount(header));
    EXPECT_EQ(0, ReadPdbHeader(folder.write("b.pdb", pdbOf({})), header, prompter));
    EXPECT_EQ(78u, header.size());

    prompter.expectMessage(kBroken, "エラー", Buttons::Ok, Icon::Error)
        .expectMessage("ファイルが開けません", "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-1, ReadPdbHeader(folder.write("c.pdb", std::string(77, 'x')), header, prompter));
    EXPECT_EQ(-1, ReadPdbHeader(folder.file("none.pdb"), header, prompter));
    EXPECT_EQ(-1, pdbRecordCount("short"));
}

TEST_F(PdbFileTest, ConvertPdbToTextWritesTheText) {
    const std::string pdb = folder.write("a.pdb", pdbOf({"tTitle\tT\n", " 11\tq\ta\tr\t0\n"}));
    EXPECT_EQ(0, ConvertPdbToText(pdb, tempText(), prompter));
    EXPECT_EQ("tTitle\tT\r\n11\tq\ta\tr\t0\r\n", test::TempFolder::read(tempText()));
    EXPECT_EQ(0, ConvertPdbToText(folder.write("z.pdb", pdbOf({})), tempText(), prompter));
    EXPECT_EQ("", test::TempFolder::read(tempText()));
}

TEST_F(PdbFileTest, AFailedConversionWritesNothing) {
    folder.write("$temp.txt", "earlier");
    prompter.expectMessage("ファイルが開けません", "エラー", Buttons::Ok, Icon::Error)
        .expectMessage(kBroken, "エラー", Buttons::Ok, Icon::Error)
        .expectMessage("ファイルが開けません", "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-1, ConvertPdbToText(folder.file("none.pdb"), tempText(), prompter));
    EXPECT_EQ(-1, ConvertPdbToText(folder.write("short.pdb", "tiny"), tempText(), prompter));
    EXPECT_EQ("earlier", test::TempFolder::read(tempText()));
    EXPECT_EQ(-1,
              ConvertPdbToText(folder.write("ok.pdb", pdbOf({"a\n"})), folder.file("gone/t.txt"), prompter));
}

TEST_F(PdbFileTest, TooLargeIsRefused) {
    std::vector<std::uint32_t> offsets;
    for (int i = 0; i < 65535; ++i)
        offsets.push_back(i % 2 == 0 ? 0u : 0x7FFFFFFFu);
    const std::string pdb = folder.write("big.pdb", rawPdb(65535, offsets, std::string(2000, 'x')));
    prompter.expectMessage("PDBﾌｧｲﾙが大きすぎるため読み込めませんでした。", "エラー", Buttons::Ok,
                           Icon::Error);
    EXPECT_EQ(-2, ConvertPdbToText(pdb, tempText(), prompter));
    EXPECT_FALSE(std::filesystem::exists(tempText()));
}

TEST_F(PdbFileTest, OpenPdbLoadsThroughTheTemporaryText) {
    const std::string pdb = folder.write("set.pdb", buildPdbImage(newTitleTemplate(), "n", 0).bytes);
    OpenPdb(ctx, pdb);
    EXPECT_EQ((Events{"busy", "status:PDBｺﾝﾊﾞｰﾄ中...", "idle", "status:ﾌｧｲﾙ読み込み中...", "busy", "idle",
                      "enable:TextSave", "enable:PdbInstall", "enable:PdbSave", "enable:TextSave",
                      "enable:PdbInstall", "current:" + folder.file("set.txt"), "fill", "show:0",
                      "status:", "status:"}),
              view.events);
    EXPECT_EQ(newTitleTemplate(), set.lines);
    // The database, not the temporary text, is what the user opened and may open again.
    EXPECT_EQ(pdb, values.settings.at(1));
    EXPECT_EQ(folder.path(), values.dataFolder);
}

TEST_F(PdbFileTest, OpenPdbStopsAfterAFailedConversion) {
    folder.write("$temp.txt", "tTitle\tstale\t3\t3\r\n");
    prompter.expectMessage(kBroken, "エラー", Buttons::Ok, Icon::Error);
    OpenPdb(ctx, folder.write("bad.pdb", std::string(40, '\0')));
    EXPECT_EQ((Events{"busy", "status:PDBｺﾝﾊﾞｰﾄ中...", "idle", "status:"}), view.events);
    EXPECT_TRUE(set.lines.empty());
}

TEST_F(PdbFileTest, OpenPdbOfNoRecordsSaysSoAndKeepsTheSet) {
    set.lines = {"tTitle\told\t3\t3"};
    RebuildTitleIndex(set);
    const std::string pdb = folder.write("empty.pdb", pdbOf({}));
    prompter.expectMessage("ファイルにデータがありません。\n" + pdb, "確認", Buttons::Ok, Icon::Warning);
    OpenPdb(ctx, pdb);
    EXPECT_EQ("", test::TempFolder::read(tempText()));
    EXPECT_EQ(std::vector<std::string>{"tTitle\told\t3\t3"}, set.lines);
    EXPECT_EQ(1, set.titleCount());
}

} // namespace
} // namespace rovik
