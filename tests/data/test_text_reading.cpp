#include "data/DataContext.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/TextReading.h"
#include "platform/Cp932.h"
#include "settings/ProgramValues.h"

#include "data/RecordingDataListView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

using Lines = std::vector<std::string>;

const std::string kBom = "\xEF\xBB\xBF";
const char* kAppendQuestion = "追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                              "いいえ：編集中のデータを削除して新規読み込み";
const std::string kUtf8Text = "tTitle\t日本の地理\t3\t3\r\ndBunrui\t都道府県\r\nsBunrui\t～\r\n"
                              "11\t北海道の道庁所在地は？\t札幌市\t①\t0\r\n";
const Lines kCp932Lines = {toCp932("tTitle\t日本の地理\t3\t3"), toCp932("dBunrui\t都道府県"),
                           toCp932("sBunrui\t～"), toCp932("11\t北海道の道庁所在地は？\t札幌市\t①\t0")};

TEST(TextReading_Log, OneLinePerCharacterWithLineAndCodePoint) {
    const std::vector<UnmappableCharacter> characters = {
        {12, "😀", 0x1F600, false}, {3, "ü", 0xFC, false}, {1, "\x83", 0x83, true}};
    const Lines log = unmappableLog(characters);
    EXPECT_EQ((Lines{"12行目: 文字「😀」(U+1F600)はShift-JISで表せません。",
                     "3行目: 文字「ü」(U+00FC)はShift-JISで表せません。",
                     "1行目: バイト0x83はUTF-8として読めません。"}),
              log);
    EXPECT_EQ(kBom + log[0] + "\r\n" + log[1] + "\r\n" + log[2] + "\r\n", unmappableLogBytes(log));
}

TEST(TextReading_Log, TheMessageShowsTenLines) {
    Lines log;
    for (int i = 1; i <= 12; ++i)
        log.push_back(std::to_string(i));
    EXPECT_EQ("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n…", unmappableMessage(log));
    EXPECT_EQ("1\n2", unmappableMessage({"1", "2"}));
}

struct ReadCase {
    const char* name;
    std::string bytes;
    EncodingChoice choice;
    TextReadStatus status;
    TextEncoding encoding;
    Lines lines;
    Lines log;
};

TEST(TextReading_Read, SplitsTheConvertedTextOrReturnsTheLog) {
    const ReadCase cases[] = {
        {"utf8", kUtf8Text, EncodingChoice::Auto, TextReadStatus::Ok, TextEncoding::Utf8, kCp932Lines, {}},
        {"bom",
         kBom + kUtf8Text,
         EncodingChoice::Auto,
         TextReadStatus::Ok,
         TextEncoding::Utf8WithBom,
         kCp932Lines,
         {}},
        {"cp932",
         "a\r\n\x93\xFA",
         EncodingChoice::Auto,
         TextReadStatus::Ok,
         TextEncoding::Cp932,
         {"a", "\x93\xFA"},
         {}},
        {"emoji",
         "a\n\n😀",
         EncodingChoice::Auto,
         TextReadStatus::Unmappable,
         TextEncoding::Utf8,
         {},
         {"3行目: 文字「😀」(U+1F600)はShift-JISで表せません。"}},
        {"cp932_forced", "日", EncodingChoice::Cp932, TextReadStatus::Ok, TextEncoding::Cp932, {"日"}, {}},
    };
    test::TempFolder folder;
    for (const auto& c : cases) {
        TextRead read = readQaText(folder.write("in.txt", c.bytes), c.choice);
        EXPECT_EQ(c.status, read.status) << c.name;
        EXPECT_EQ(c.encoding, read.encoding) << c.name;
        EXPECT_EQ(c.lines, read.lines) << c.name;
        EXPECT_EQ(c.log, read.log) << c.name;
    }
    TextRead missing = readQaText(folder.file("none.txt"));
    EXPECT_EQ(TextReadStatus::Unreadable, missing.status);
    EXPECT_NE("", missing.error);
}

// Files past the reader's 256 KB pieces are split as they are read, unless a later piece shows
// something the whole file must decide: each way gives the lines the whole file has.
TEST(TextReading_Read, LargeFilesGiveTheSameLinesWhicheverWayTheyAreRead) {
    const std::size_t piece = 256 << 10;
    const std::string ascii(piece - 1, 'a');         // its CR LF straddles the first piece's end
    const std::string sjisLine = "\x93\xFA\x96\x7B"; // 日本
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        Lines lines;
        TextReadStatus status = TextReadStatus::Ok;
        Lines log = {};
        std::size_t jisLines = 0;
    };
    std::string manyCp932, manyUtf8;
    Lines manyLines;
    for (int i = 0; i < 70000; ++i) {
        manyCp932 += sjisLine + "\r\n";
        manyUtf8 += "日本\r\n";
        manyLines.push_back(sjisLine);
    }
    Lines manyThenAscii = manyLines;
    manyThenAscii.push_back(ascii);
    manyThenAscii.push_back("z");
    Lines manyThenJis = manyLines;
    manyThenJis.push_back("1\x81\x60"
                          "3");
    Lines manyThenA = manyLines;
    manyThenA.push_back("a");
    Lines rawUtf8ThenSjis(70000, "日本");
    rawUtf8ThenSjis.push_back(sjisLine);
    const Case cases[] = {
        {"shift_jis", manyCp932 + ascii + "\r\nz", TextEncoding::Cp932, manyThenAscii},
        {"ascii_then_shift_jis", ascii + "\r\n" + sjisLine, TextEncoding::Cp932, {ascii, sjisLine}},
        {"ascii_then_utf8", ascii + "\r\n日本", TextEncoding::Utf8, {ascii, sjisLine}},
        {"utf8_cut_by_the_piece",
         std::string(piece - 1, 'a') + "日\n",
         TextEncoding::Utf8,
         {std::string(piece - 1, 'a') + "\x93\xFA"}},
        {"utf8", manyUtf8, TextEncoding::Utf8, manyLines},
        {"utf8_then_shift_jis", manyUtf8 + sjisLine, TextEncoding::Cp932, rawUtf8ThenSjis},
        {"jis_form_in_a_later_piece",
         manyUtf8 + "1〜3",
         TextEncoding::Utf8,
         manyThenJis,
         TextReadStatus::Ok,
         {},
         1},
        {"emoji_in_a_later_piece",
         manyUtf8 + "😀",
         TextEncoding::Utf8,
         {},
         TextReadStatus::Unmappable,
         {"70001行目: 文字「😀」(U+1F600)はShift-JISで表せません。"}},
        {"zero_byte_in_a_later_piece", manyUtf8 + std::string("a\0\x93\n", 4), TextEncoding::Utf8, manyThenA},
        {"bom_then_shift_jis",
         "\xEF\xBB\xBF" + sjisLine,
         TextEncoding::Utf8WithBom,
         {},
         TextReadStatus::Unmappable,
         {"1行目: バイト0x93はUTF-8として読めません。", "1行目: バイト0xFAはUTF-8として読めません。",
          "1行目: バイト0x96はUTF-8として読めません。"}},
    };
    test::TempFolder folder;
    for (const auto& c : cases) {
        TextRead read = readQaText(folder.write("big.txt", c.bytes));
        EXPECT_EQ(c.status, read.status) << c.name;
        EXPECT_EQ(c.encoding, read.encoding) << c.name;
        EXPECT_EQ(c.lines, read.lines) << c.name;
        EXPECT_EQ(c.log, read.log) << c.name;
        EXPECT_EQ(c.jisLines, read.forms.jisLines.size()) << c.name;
    }
}

class Utf8LoadingTest : public ::testing::Test {
protected:
    Utf8LoadingTest() {
        values.startFolder = folder.path();
        values.settings = {"", ""};
    }
    std::string save(const std::string& name) {
        const std::string path = folder.file(name);
        EXPECT_EQ(0, SaveAsText(set, path, prompter, view));
        return test::TempFolder::read(path);
    }

    test::TempFolder folder;
    QuestionSet set;
    test::ScriptedPrompter prompter;
    test::RecordingDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
};

// A UTF-8 file was loaded as CP932 mojibake and a save rewrote its bytes for good.
TEST_F(Utf8LoadingTest, Utf8FileLoadsAsCp932AndSavesBackByteIdentical) {
    for (const std::string& text : {kUtf8Text, kBom + kUtf8Text}) {
        set = QuestionSet{};
        LoadQAText(ctx, folder.write("u.txt", text));
        EXPECT_EQ(kCp932Lines, set.lines);
        view.events.clear();
        EXPECT_EQ(text, save("out.txt"));
        const std::string name = text == kUtf8Text ? "UTF-8" : "UTF-8 (BOM付き)";
        EXPECT_EQ(Lines{"status:" + folder.file("out.txt") + "が保存されました。(" + name + ")"},
                  view.events);
    }
}

TEST_F(Utf8LoadingTest, TheEncodingFollowsTheFileLastReadAndANewSetIsShiftJis) {
    LoadQAText(ctx, folder.write("u.txt", kUtf8Text));
    EXPECT_EQ(TextEncoding::Utf8, set.encoding);
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    LoadQAText(ctx, folder.write("s.txt", "tTitle\tT\t3\t3\r\n"));
    EXPECT_EQ(TextEncoding::Cp932, set.encoding);
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    LoadQAText(ctx, folder.write("b.txt", kBom + "tTitle\tT\t3\t3\r\n"));
    EXPECT_EQ(TextEncoding::Utf8WithBom, set.encoding);
    // A refused file changes nothing, its encoding neither.
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    LoadQAText(ctx, folder.write("x.txt", "tTitle\t😀\t3\t3\r\n"));
    EXPECT_EQ(TextEncoding::Utf8WithBom, set.encoding);
    // A replacing open that is refused keeps the old data, and with it its encoding.
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    LoadQAText(ctx, folder.write("x.txt", "tTitle\t😀\t3\t3\r\n"));
    EXPECT_EQ(TextEncoding::Utf8WithBom, set.encoding);
    // A replacing open of a Shift-JIS file makes the set Shift-JIS.
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::No);
    LoadQAText(ctx, folder.file("s.txt"));
    EXPECT_EQ(TextEncoding::Cp932, set.encoding);
}

TEST_F(Utf8LoadingTest, UnmappableCharactersRefuseTheFileWithAUtf8Log) {
    const std::string text = "tTitle\tT\t3\t3\r\n11\tq😀\ta\tü\t0\r\n";
    const std::string path = folder.write("emoji.txt", text);
    const std::string log = folder.write("ErrorLog.txt", "old");
    LoadQAText(ctx, path);
    EXPECT_EQ((Lines{"busy", "idle", "errorlog:" + log}), view.events);
    EXPECT_TRUE(set.lines.empty());
    EXPECT_EQ(kBom + "2行目: 文字「😀」(U+1F600)はShift-JISで表せません。\r\n"
                     "2行目: 文字「ü」(U+00FC)はShift-JISで表せません。\r\n",
              test::TempFolder::read(log));
    EXPECT_EQ(text, test::TempFolder::read(path));
}

TEST_F(Utf8LoadingTest, LimitsCountTheCp932Bytes) {
    // 300 UTF-8 bytes of 100 kanji are 200 CP932 bytes: within the 306-byte record limit.
    std::string kanji;
    for (int i = 0; i < 100; ++i)
        kanji += "漢";
    LoadQAText(ctx, folder.write("long.txt", "tTitle\tT\t3\t3\r\n11\t" + kanji + "\ta\tr\t0\r\n"));
    ASSERT_EQ(2u, set.lines.size());
    EXPECT_EQ(209u, set.lines[1].size());
}

TEST_F(Utf8LoadingTest, HalfWidthKanaOfAUtf8FileIsFixedAndSavedAsUtf8) {
    prompter.expectMessage("半角カナを全角カナに修正しました。", "確認", Buttons::Ok, Icon::None);
    LoadQAText(ctx, folder.write("kana.txt", "tTitle\tｶﾅ\t3\t3\r\n"));
    EXPECT_EQ(Lines{"tTitle\t\x83\x4A\x83\x69\t3\t3"}, set.lines);
    EXPECT_EQ("tTitle\tカナ\t3\t3\r\n", save("kana-out.txt"));
}

// A wave dash refused the whole file; once taken in, a save must not turn it into ～.
TEST_F(Utf8LoadingTest, JisFormsAreTakenInAndComeBackAsTheFileWroteThem) {
    const std::string text = "tTitle\t1〜3の問題\t3\t3\r\n"
                             "dBunrui\t基本\r\n"
                             "sBunrui\t全部\r\n"
                             "11\t−5℃\t¥100\t1～3\t0\r\n"
                             "11\t〜\t\\\t—\t0\r\n"
                             "11\t〜\t\\\t—\t0\r\n"
                             "11\t～\t¥\t―\t0\r\n";
    LoadQAText(ctx, folder.write("jis.txt", text));
    ASSERT_EQ(7u, set.lines.size());
    EXPECT_EQ("11\t\x81\x7C"
              "5\x81\x8E\t\\100\t1\x81\x60"
              "3\t0",
              set.lines[3]);
    EXPECT_EQ(text, save("same.txt"));
    // New text takes the form the file used, where it used only one: − (never －) and 〜 in the
    // title line that is changed; ～, the backslash and ― were written both ways, so Windows' forms.
    set.lines[0] = "tTitle\t1\x81\x60"
                   "5\x81\x7C\t3\t3";
    set.lines.push_back("11\t\x81\x60\t\\\t\x81\x5C\t\x95\x5C\x81\x7C\t0"); // ～ \ ― 表−
    EXPECT_EQ("tTitle\t1～5−\t3\t3\r\n"
              "dBunrui\t基本\r\n"
              "sBunrui\t全部\r\n"
              "11\t−5℃\t¥100\t1～3\t0\r\n"
              "11\t〜\t\\\t—\t0\r\n"
              "11\t〜\t\\\t—\t0\r\n"
              "11\t～\t¥\t―\t0\r\n"
              "11\t～\t\\\t―\t表−\t0\r\n",
              save("changed.txt"));
}

TEST_F(Utf8LoadingTest, BytesThatAreNotCp932AreNotSavedAsUtf8) {
    LoadQAText(ctx, folder.write("u.txt", kUtf8Text));
    set.lines.push_back("11\tq\xA0\ta\t\t0");
    const std::string out = folder.write("out.txt", "old");
    prompter.expectMessage("Shift-JISとして読めないバイトがあるため、UTF-8では保存できません。", "エラー",
                           Buttons::Ok, Icon::Error);
    EXPECT_EQ(-1, SaveAsText(set, out, prompter, view));
    EXPECT_EQ("old", test::TempFolder::read(out));
}

} // namespace
} // namespace rovik
