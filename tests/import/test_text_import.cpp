#include "import/TextImport.h"

#include "data/DataContext.h"
#include "data/QuestionSet.h"
#include "platform/Cp932.h"
#include "settings/ProgramValues.h"

#include "data/RecordingDataListView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

using Events = std::vector<std::string>;
using Lines = std::vector<std::string>;

const char* kAppendQuestion = "追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                              "いいえ：編集中のデータを削除して新規読み込み";

std::string sjis(const char* utf8) {
    return toCp932(utf8);
}

Lines headerLines(const std::string& name) {
    return {"tTitle\t" + name + "\t3\t3", "dBunrui\t" + sjis("無題（分類A）"),
            "sBunrui\t" + sjis("無題（分類B）")};
}

Lines withHeader(const std::string& name, const Lines& records) {
    Lines lines = headerLines(name);
    lines.insert(lines.end(), records.begin(), records.end());
    return lines;
}

struct LinesCase {
    const char* what;
    int format;
    Lines source;
    Lines records;
};

TEST(TextImport_Lines, BuildsRecordsOfEachFormat) {
    const std::string dog = sjis("犬"), noun = sjis("名詞");
    const LinesCase cases[] = {
        {"two items", 0, {dog + "\tdog"}, {"11\t" + dog + "\tdog\t\t0"}},
        {"three items", 0, {dog + "\tdog\t" + noun}, {"11\t" + dog + "\tdog\t" + noun + "\t0"}},
        {"comment-like line", 0, {"//q\ta"}, {"11\t//q\ta\t\t0"}},
        {"pairs, leftover dropped",
         1,
         {"q1", "a1", "q2", "a2", "q3"},
         {"11\tq1\ta1\t\t0", "11\tq2\ta2\t\t0"}},
        {"pairs keep tabs and empty lines", 1, {"q\tx", ""}, {"11\tq\tx\t\t\t0"}},
        {"triples, leftovers dropped", 2, {"q1", "a1", "r1", "q2", "a2"}, {"11\tq1\ta1\tr1\t0"}},
        {"too few for one triple", 2, {"q1", "a1"}, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(withHeader("words", c.records), textImportLines(c.source, c.format, "words")) << c.what;
    }
}

TEST(TextImport_Lines, TabInATwoLineSourceGivesMoreThanFiveItems) {
    Lines lines = textImportLines({"q\tx", "a"}, 1, "t");
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("11\tq\tx\ta\t\t0", lines[3]);
}

TEST(TextImport_TitleName, IsTheBaseNameInCp932) {
#ifdef _WIN32
    EXPECT_EQ("words", titleNameOf("C:\\data\\words.list.txt"));
#else
    // Only "/" ends a folder here: a backslash is a character of the name.
    EXPECT_EQ("C:\\data\\words", titleNameOf("C:\\data\\words.list.txt"));
#endif
    EXPECT_EQ("words", titleNameOf("/home/u/data.d/words.list.txt"));
    EXPECT_EQ(sjis("単語帳"), titleNameOf("/tmp/単語帳.txt"));
}

// Names Linux allows and a title line cannot hold.
TEST(TextImport_TitleName, KeepsTheTitleLineWhole) {
    const struct {
        const char* path;
        std::string title;
    } cases[] = {
        {"/tmp/a\tb.txt", "a b"},
        {"/tmp/a\nb.txt", "a b"},
        {"/tmp/a\r\nb.txt", "a  b"},
        {"/tmp/\xf0\x9f\x98\x80.txt", "\x96\xb3\x91\xe8"}, // only an emoji: 無題
        {"/tmp/.pdb", "\x96\xb3\x91\xe8"},
#ifndef _WIN32 // a raw Shift-JIS name: there 0x5C is a folder separator
        {"/tmp/\x95\x5c\x09.txt", "\x95\x5c "}, // 表 before a tab keeps its 0x5C trail byte
#endif
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.title, titleNameOf(c.path)) << c.path;
}

class TextImportTest : public ::testing::Test {
protected:
    TextImportTest() {
        values.startFolder = folder.path();
        values.dataFolder = "/nowhere";
        values.settings = {"", ""};
    }
    std::string logPath() const { return folder.file("ErrorLog.txt"); }

    test::TempFolder folder;
    QuestionSet set;
    test::ScriptedPrompter prompter;
    test::RecordingDataListView view;
    ProgramValues values;
    DataContext ctx{set, prompter, view, values};
};

TEST_F(TextImportTest, ImportTextFile_AppendsANewUnsavedTitle) {
    const std::string path = folder.write("words.list.txt", sjis("犬") + "\tdog\r\ncat\tneko\tnoun\r\n");
    prompter.expectFormat(0);
    ImportTextFile(ctx, path);
    EXPECT_EQ(withHeader("words", {"11\t" + sjis("犬") + "\tdog\t\t0", "11\tcat\tneko\tnoun\t0"}), set.lines);
    // The import opens through the same frame as loading, which enables the save commands again.
    EXPECT_EQ(
        (Events{"busy", "idle", "enable:TextSave", "enable:PdbInstall", "enable:PdbSave", "enable:TextSave",
                "enable:PdbInstall", "current:" + path, "fill", "show:0", "status:"}),
        view.events);
    EXPECT_FALSE(set.saved);
    EXPECT_EQ(1, set.titleCount());
    EXPECT_EQ(folder.path(), values.dataFolder);
    EXPECT_EQ((Lines{"", path, ""}), values.settings);
}

TEST_F(TextImportTest, ImportTextFile_AppendModeKeepsTheSelectedTitle) {
    set.lines = {"tTitle\tOld\t3\t3", "11\tq\ta\tr\t0"};
    RebuildTitleIndex(set);
    set.selectedTitle = 1;
    const std::string path = folder.write("pairs.txt", "q1\r\na1\r\nq2\r\na2\r\n");
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes)
        .expectFormat(1);
    ImportTextFile(ctx, path);
    ASSERT_EQ(7u, set.lines.size());
    EXPECT_EQ("tTitle\tpairs\t3\t3", set.lines[2]);
    EXPECT_EQ(2, set.titleCount());
    EXPECT_EQ("select:0", view.events[view.events.size() - 2]);
}

TEST_F(TextImportTest, ImportTextFile_ReplaceModeAsksToSaveThenEmpties) {
    set.lines = {"tTitle\tOld\t3\t3"};
    const std::string path = folder.write("triples.txt", "q\na\nr\n");
    view.onTextSave = [] { return true; };
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None,
                       Answer::Yes)
        .expectFormat(2);
    ImportTextFile(ctx, path);
    EXPECT_EQ(withHeader("triples", {"11\tq\ta\tr\t0"}), set.lines);
    EXPECT_EQ("textsave", view.events.front());
}

TEST_F(TextImportTest, ImportTextFile_CancelToTheAppendQuestionChangesNothing) {
    set.lines = {"tTitle\tOld\t3\t3"};
    const std::string path = folder.write("x.txt", "q\ta\r\n");
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Cancel);
    ImportTextFile(ctx, path);
    EXPECT_EQ(Lines{"tTitle\tOld\t3\t3"}, set.lines);
    EXPECT_EQ(Events{}, view.events);
    EXPECT_EQ("/nowhere", values.dataFolder);
    EXPECT_TRUE(set.saved);
}

TEST_F(TextImportTest, ImportTextFile_MissingFileWarns) {
    prompter.expectMessage("ﾌｧｲﾙがありません。", "エラー", Buttons::Ok, Icon::Warning);
    ImportTextFile(ctx, folder.file("none.txt"));
    EXPECT_EQ(Events{}, view.events);
}

TEST_F(TextImportTest, ImportTextFile_StoppedImportLeavesTheIndexOfTheLines) {
    set.lines = {"tTitle\tOld\t3\t3", "11\tq\ta\tr\t0"};
    RebuildTitleIndex(set);
    set.shown.categoryA = {"A"};
    const std::string path = folder.write("empty.txt", "");
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes)
        .expectFormat(0)
        .expectMessage("ファイルにデータがありません。\n" + path, "確認", Buttons::Ok, Icon::Warning);
    ImportTextFile(ctx, path);
    EXPECT_EQ(2u, set.lines.size());
    EXPECT_EQ(1, set.titleCount());
    EXPECT_EQ(Lines{"A"}, set.shown.categoryA);
    EXPECT_EQ((Events{"busy", "idle"}), view.events);
    EXPECT_EQ((Lines{"", ""}), values.settings);
    EXPECT_EQ(folder.path(), values.dataFolder);
}

TEST_F(TextImportTest, ImportTextFile_CancelledFormatInReplaceModeKeepsTheOldData) {
    set.lines = {"tTitle\tOld\t3\t3"};
    RebuildTitleIndex(set);
    set.selectedTitle = 1;
    const std::string path = folder.write("x.txt", "q\ta\r\n");
    prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectMessage("編集中のデータを保存しますか？", "確認", Buttons::YesNoCancel, Icon::None, Answer::No)
        .expectFormat(std::nullopt);
    ImportTextFile(ctx, path);
    EXPECT_EQ(Lines{"tTitle\tOld\t3\t3"}, set.lines);
    EXPECT_EQ(1, set.titleCount());
    EXPECT_EQ(1, set.selectedTitle);
    EXPECT_EQ(Events{}, view.events);
}

TEST_F(TextImportTest, ConvertTextImport_CancelledFormatReadsNothing) {
    prompter.expectFormat(std::nullopt);
    EXPECT_EQ(1, ConvertTextImport(ctx, folder.write("x.txt", "q\ta\r\n")));
    EXPECT_TRUE(set.lines.empty());
    EXPECT_TRUE(set.loadingBuffer.empty());
    EXPECT_EQ(Events{}, view.events);
}

TEST_F(TextImportTest, ConvertTextImport_EmptyFileIsNamed) {
    prompter.expectFormat(1).expectMessage("ファイルにデータがありません。\n" + folder.file("x.txt"), "確認",
                                           Buttons::Ok, Icon::Warning);
    EXPECT_EQ(-1, ConvertTextImport(ctx, folder.write("x.txt", "")));
    EXPECT_TRUE(set.lines.empty());
}

struct RefusedCase {
    const char* what;
    std::string line;
    const char* message;
};

TEST_F(TextImportTest, ConvertTextImport_RefusesBadTabSeparatedLines) {
    const RefusedCase cases[] = {
        {"four items", "q\ta\tr\tx", "項目数が多すぎます。最大３項目です。"},
        {"no tab", "question only", "第２項目がありません。"},
        {"307 bytes", "q\t" + std::string(305, 'a'), "レコードが長すぎます。最大306文字です。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        view.events.clear();
        const std::string path = folder.write("bad.txt", "ok\tfine\r\n" + c.line + "\r\n");
        prompter.expectFormat(0);
        EXPECT_EQ(-9, ConvertTextImport(ctx, path));
        EXPECT_TRUE(set.lines.empty());
        EXPECT_EQ((Events{"busy", "idle", "errorlog:" + logPath()}), view.events);
        EXPECT_EQ(sjis("2行目") + "\r\n" + c.line + "\r\n" + sjis(c.message) + "\r\n" + std::string(31, '-') +
                      "\r\n",
                  test::TempFolder::read(logPath()));
    }
}

TEST_F(TextImportTest, ConvertTextImport_AcceptsARecordOfThreeHundredSixBytes) {
    const std::string line = "q\t" + std::string(298, 'a');
    prompter.expectFormat(0);
    EXPECT_EQ(0, ConvertTextImport(ctx, folder.write("ok.txt", line + "\r\n")));
    EXPECT_EQ("11\tq\t" + std::string(298, 'a') + "\t\t0", set.lines.back());
    EXPECT_EQ(306u, set.lines.back().size());
}

// Two- and three-line sources are checked as the records they make: a title loading would refuse
// never reaches the set.
TEST_F(TextImportTest, ConvertTextImport_OtherFormatsAreCheckedAsTheRecordsTheyMake) {
    prompter.expectFormat(1);
    EXPECT_EQ(0, ConvertTextImport(ctx, folder.write("ok.txt", "q\na\n")));
    EXPECT_EQ("11\tq\ta\t\t0", set.lines.back());

    set.lines.clear();
    view.events.clear();
    const std::string record = "11\t" + std::string(300, 'q') + "\t\ta\tb\t\t0";
    prompter.expectFormat(1);
    EXPECT_EQ(-9, ConvertTextImport(ctx, folder.write("long.txt", std::string(300, 'q') + "\n\ta\tb\n")));
    EXPECT_TRUE(set.lines.empty());
    EXPECT_EQ((Events{"busy", "idle", "errorlog:" + logPath()}), view.events);
    const std::string sep = std::string(31, '-') + "\r\n";
    EXPECT_EQ(sjis("4行目") + "\r\n" + record + "\r\n" + sjis("項目が多すぎます。最大５項目です。") + "\r\n" +
                  sep + sjis("4行目") + "\r\n" + record + "\r\n" + sjis("第５項目に0がありません。") +
                  "\r\n" + sep + sjis("4行目") + "\r\n" + record + "\r\n" +
                  sjis("レコードが長すぎます。最大306文字です。") + "\r\n" + sep,
              test::TempFolder::read(logPath()));
}

TEST_F(TextImportTest, ConvertTextImport_MakesHalfWidthKanaFullWidth) {
    prompter.expectFormat(0).expectMessage("半角カナを全角カナに修正しました。", "確認", Buttons::Ok,
                                           Icon::None);
    EXPECT_EQ(0, ConvertTextImport(ctx, folder.write("kana.txt", "\xB1\xB2\tx\r\n")));
    EXPECT_EQ("11\t" + sjis("アイ") + "\tx\t\t0", set.lines.back());
}

} // namespace
} // namespace rovik
