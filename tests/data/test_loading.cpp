#include "data/Common.h"
#include "data/DataContext.h"
#include "data/Loading.h"
#include "data/QuestionSet.h"
#include "data/Validation.h"
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

const char* kAppendQuestion = "追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                              "いいえ：編集中のデータを削除して新規読み込み";
const std::string kUntitled = "\x96\xB3\x91\xE8"; // 無題

std::string titleBlock(const std::string& name) {
    return "tTitle\t" + name + "\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq\ta\tr\t0\r\n";
}

class LoadingTest : public ::testing::Test {
protected:
    LoadingTest() {
        values.startFolder = folder.path();
        values.dataFolder = "/nowhere";
        values.settings = {"", ""};
    }

    std::string logPath() const { return folder.file("ErrorLog.txt"); }
    // The events of a load that succeeded, after the read: validation, commands, refresh.
    Events loadedEvents(const std::string& path, const std::string& refresh) const {
        return {"busy",
                "idle",
                "enable:TextSave",
                "enable:PdbInstall",
                "enable:PdbSave",
                "enable:TextSave",
                "enable:PdbInstall",
                "current:" + path,
                "fill",
                refresh,
                "status:"};
    }

    test::TempFolder folder;
    QuestionSet set;
    test::ScriptedPrompter prompter;
    test::RecordingDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
};

TEST_F(LoadingTest, MissingFileWarnsAndChangesNothing) {
    set.lines = {"keep"};
    prompter.expectMessage("ﾌｧｲﾙがありません。", "エラー", Buttons::Ok, Icon::Warning);
    LoadQAText(ctx, folder.file("none.txt"));
    EXPECT_EQ(Events{}, view.events);
    EXPECT_EQ((std::vector<std::string>{"keep"}), set.lines);
    EXPECT_EQ("/nowhere", values.dataFolder);
}

TEST_F(LoadingTest, IntoAnEmptySetLoadsWithoutAsking) {
    const std::string path = folder.write("one.txt", titleBlock("T1") + titleBlock("T2"));
    LoadQAText(ctx, path);
    EXPECT_EQ(loadedEvents(path, "show:0"), view.events);
    ASSERT_EQ(8u, set.lines.size());
    EXPECT_EQ("tTitle\tT1\t3\t3", set.lines[0]);
    EXPECT_EQ(2, set.titleCount());
    EXPECT_EQ(5, set.title(2).start); // one-based position of the second title header
    EXPECT_EQ(folder.path(), values.dataFolder);
    EXPECT_EQ((std::vector<std::string>{"", path, ""}), values.settings);
    EXPECT_TRUE(set.loadingBuffer.empty());
}

TEST_F(LoadingTest, AppendKeepsTheSelectedTitleRow) {
    const std::string path = folder.write("one.txt", titleBlock("T1") + titleBlock("T2"));
    LoadQAText(ctx, path);
    set.selectedTitle = 2;
    set.saved = false;
    view.events.clear();
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    LoadQAText(ctx, path);
    EXPECT_EQ(loadedEvents(path, "select:1"), view.events);
    EXPECT_EQ(16u, set.lines.size());
    EXPECT_EQ(4, set.titleCount());
    EXPECT_FALSE(set.saved); // loading leaves the saved flag alone
}

TEST_F(LoadingTest, AppendingPastFifteenTitlesIsAllowed) {
    std::string text;
    for (int i = 0; i < 15; ++i)
        text += titleBlock("T" + std::to_string(i));
    const std::string path = folder.write("fifteen.txt", text);
    LoadQAText(ctx, path);
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    LoadQAText(ctx, path);
    EXPECT_EQ(30, set.titleCount());
}

// The save question has a Cancel; only a save that wrote the file lets the old data go.
TEST_F(LoadingTest, ReplaceAsksToSaveFirst) {
    const std::string path = folder.write("new.txt", titleBlock("T1"));
    const struct {
        Answer save;
        bool saved; // what the save command reports
        bool replaced;
    } cases[] = {{Answer::No, false, true},
                 {Answer::Yes, true, true},
                 {Answer::Yes, false, false},
                 {Answer::Cancel, false, false}};
    for (const auto& c : cases) {
        set.lines = {"tTitle\told\t3\t3"};
        view.events.clear();
        view.onTextSave = [&] { return c.saved; };
        prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
            .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                           c.save);
        LoadQAText(ctx, path);
        EXPECT_TRUE(prompter.done());
        Events expected = c.replaced ? loadedEvents(path, "show:0") : Events{};
        if (c.save == Answer::Yes) expected.insert(expected.begin(), "textsave");
        EXPECT_EQ(expected, view.events);
        EXPECT_EQ(c.replaced ? 4u : 1u, set.lines.size());
        EXPECT_EQ(c.replaced ? "tTitle\tT1\t3\t3" : "tTitle\told\t3\t3", set.lines[0]);
    }
}

TEST_F(LoadingTest, CancelChangesNothing) {
    set.lines = {"tTitle\told\t3\t3"};
    const std::string path = folder.write("new.txt", titleBlock("T1"));
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Cancel);
    LoadQAText(ctx, path);
    EXPECT_EQ(Events{}, view.events);
    EXPECT_EQ((std::vector<std::string>{"tTitle\told\t3\t3"}), set.lines);
    EXPECT_EQ("/nowhere", values.dataFolder);
}

// A file that is refused, empty or unreadable replaces nothing: the old lines come back.
TEST_F(LoadingTest, AFailedLoadInReplaceModeKeepsTheOldData) {
    const struct {
        std::string name;
        std::string bytes;
        std::string told; // what the user is told besides the error log
        bool errorLog;
    } cases[] = {
        {"bad.txt", "no title\r\n", "", true},
        {"empty.txt", "", "ファイルにデータがありません。\n" + folder.file("empty.txt"), false},
        // "nul.txt" would name Windows' NUL device.
        {"zero.txt", std::string("\0tTitle\tT\r\n", 11),
         "ファイルにデータがありません。\n" + folder.file("zero.txt"), false},
    };
    for (const auto& c : cases) {
        set.lines = {"tTitle\told\t3\t3", "11\tq\ta\tr\t0"};
        RebuildTitleIndex(set);
        set.selectedTitle = 1;
        view.events.clear();
        const std::string path = folder.write(c.name, c.bytes);
        prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
            .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                           Answer::No);
        if (!c.told.empty()) prompter.expectMessage(c.told, "確認", Buttons::Ok, Icon::Warning);
        LoadQAText(ctx, path);
        EXPECT_TRUE(prompter.done()) << c.name;
        Events expected{"busy", "idle"};
        if (c.errorLog) expected.push_back("errorlog:" + logPath());
        EXPECT_EQ(expected, view.events) << c.name;
        EXPECT_EQ((std::vector<std::string>{"tTitle\told\t3\t3", "11\tq\ta\tr\t0"}), set.lines) << c.name;
        EXPECT_EQ(1, set.titleCount());
        EXPECT_EQ(1, set.selectedTitle);
        EXPECT_EQ("", values.settings.at(1)); // not a recent file
    }
}

TEST_F(LoadingTest, RefusedFileInAppendModeChangesNothing) {
    set.lines = {"tTitle\told\t3\t3"};
    RebuildTitleIndex(set);
    const std::string path = folder.write("bad.txt", "tTitle\tT\t3\t3\r\n\r\n11\tq\ta\tr\t0\r\n");
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
    LoadQAText(ctx, path);
    EXPECT_EQ((Events{"busy", "idle", "errorlog:" + logPath()}), view.events);
    EXPECT_EQ((std::vector<std::string>{"tTitle\told\t3\t3"}), set.lines);
    EXPECT_EQ(1, set.titleCount());
    EXPECT_EQ(errorLogBytes(validationLog({"tTitle\tT\t3\t3", "", "11\tq\ta\tr\t0"}, 1, 0)),
              test::TempFolder::read(logPath()));
}

TEST_F(LoadingTest, LineEndsAndTheZeroByteFollowTheTextRules) {
    const char bytes[] = "tTitle\tT\t3\t3\rdBunrui\tA\nsBunrui\tB\r\n11\tq\ta\tr\t0\0junk";
    const std::string path = folder.write("ends.txt", std::string(bytes, sizeof bytes - 1));
    LoadQAText(ctx, path);
    EXPECT_EQ((std::vector<std::string>{"tTitle\tT\t3\t3", "dBunrui\tA", "sBunrui\tB", "11\tq\ta\tr\t0"}),
              set.lines);
}

TEST_F(LoadingTest, HalfWidthKanaIsConvertedWithANotice) {
    // 296 bytes with ten half-width katakana pass: converted they hold 306, the limit.
    const std::string record =
        "11\t" + std::string(10, '\xB1') + "\ta\t" + std::string(296 - 18, 'r') + "\t0";
    ASSERT_EQ(296u, record.size());
    const std::string path = folder.write("kana.txt", "tTitle\tT\t3\t3\r\n" + record + "\r\n");
    prompter.expectMessage("半角カナを全角カナに修正しました。", "確認", Buttons::Ok, Icon::None);
    LoadQAText(ctx, path);
    ASSERT_EQ(2u, set.lines.size());
    EXPECT_EQ(306u, set.lines[1].size());
    EXPECT_EQ("11\t\x83\x41\x83\x41", set.lines[1].substr(0, 7));
}

TEST_F(LoadingTest, HalfWidthKanaWithAnErrorIsRefusedBeforeConversion) {
    const std::string path = folder.write("kana.txt", "tTitle\tT\t3\t3\r\n11\t\xB6\xDE\ta\r\n");
    LoadQAText(ctx, path);
    EXPECT_TRUE(set.lines.empty());
    EXPECT_EQ(errorLogBytes(validationLog({"tTitle\tT\t3\t3", "11\t\xB6\xDE\ta"}, 1, 0)),
              test::TempFolder::read(logPath()));
    EXPECT_NE(std::string::npos, test::TempFolder::read(logPath()).find("11\t\xB6\xDE\ta\r\n"));
}

TEST_F(LoadingTest, UnreadableFileIsNamed) {
    const std::string path = folder.path() + "/sub";
    ASSERT_TRUE(std::filesystem::create_directory(path));
    prompter.expectMessage("ファイルが開けません\n" + path, "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-1, ReadAndValidate(ctx, path));
    EXPECT_EQ((Events{"busy", "idle"}), view.events);
}

TEST_F(LoadingTest, AnErrorLogThatCannotBeWrittenIsNotShown) {
    values.startFolder = folder.file("gone");
    const std::string path = folder.write("bad.txt", "x\r\n");
    prompter.expectMessage("ファイルが開けません", "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-9, ReadAndValidate(ctx, path));
    EXPECT_EQ((Events{"busy", "idle"}), view.events);
    EXPECT_TRUE(set.lines.empty());
}

TEST(Loading_FixHalfWidthKana, ConvertsEveryLineOnlyWhenOneHoldsKana) {
    QuestionSet set;
    set.loadingBuffer = {"plain", "\x83\xA1 trail byte is not kana"};
    EXPECT_FALSE(FixHalfWidthKana(set));
    EXPECT_EQ("\x83\xA1 trail byte is not kana", set.loadingBuffer[1]);
    // Runs of lead-capable bytes decide whether a kana-range byte is a trail byte or a character.
    set.loadingBuffer = {"\x81\x88\x9F\xB1", "\x88\xB1", "\x81\x40\x82\xA0"};
    EXPECT_FALSE(FixHalfWidthKana(set));
    set.loadingBuffer = {"\x88\x9F\xB1"};
    EXPECT_TRUE(FixHalfWidthKana(set));
    EXPECT_EQ("\x88\x9F\x83\x41", set.loadingBuffer[0]);
    set.loadingBuffer = {"plain", "\xCA\xDF\xDD"}; // ﾊﾟﾝ
    EXPECT_TRUE(FixHalfWidthKana(set));
    EXPECT_EQ((std::vector<std::string>{"plain", "\x83\x70\x83\x93"}), set.loadingBuffer);
}

// The character walk the kana scan must agree with, one character at a time.
bool walkFindsKana(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        auto a = static_cast<unsigned char>(text[i]);
        if (i + 1 < text.size() && IsDoubleByte(a, static_cast<unsigned char>(text[i + 1]))) {
            i += 2;
            continue;
        }
        if (a >= 0xA1 && a <= 0xDF) return true;
        ++i;
    }
    return false;
}

TEST(Loading_FixHalfWidthKana, AgreesWithACharacterWalkOnMixedBytes) {
    // Long runs of lead-capable bytes across 16-byte blocks are where a fast scan goes wrong.
    std::mt19937 rng(20261209);
    int withKana = 0;
    for (int k = 0; k < 100000; ++k) {
        std::string line(rng() % 80, ' ');
        const unsigned leads = k % 2 == 0 ? 28 : 16; // out of 32: long or short runs of lead bytes
        for (auto& c : line) {
            unsigned r = rng() % 32;
            unsigned b = r == 0      ? rng() % 256
                         : r == 1    ? 0xA1 + rng() % 63
                         : r == 2    ? 0x40 + rng() % 0xBD
                         : r == 3    ? 'a'
                         : r < leads ? (rng() % 2 ? 0x81 + rng() % 31 : 0xE0 + rng() % 29)
                                     : 0x40 + rng() % 0x3F; // trail-capable, not kana
            c = static_cast<char>(b);
        }
        QuestionSet set;
        set.loadingBuffer = {line};
        const bool expected = walkFindsKana(line);
        withKana += expected;
        ASSERT_EQ(expected, FixHalfWidthKana(set)) << testing::PrintToString(line);
    }
    EXPECT_GT(withKana, 20000); // both answers were exercised
    EXPECT_LT(withKana, 80000) << withKana;
}

} // namespace
} // namespace rovik
