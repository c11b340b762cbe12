#include "decks/ExportCommand.h"

#include "ApkgReader.h"
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/QuestionSet.h"
#include "platform/FileIo.h"
#include "settings/ProgramValues.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik::decks {
namespace {

constexpr std::int64_t kNow = 1700000000000;

class StatusView : public NullDataListView {
public:
    void setStatusText(const std::string& text) override { status = text; }
    std::string status = "untouched";
};

const std::string kScope = "書き出すタイトル";
const std::string kForm = "形式";
const std::vector<std::string> kForms = {"表計算ソフト用CSV（カンマ区切り）",
                                         "Anki読み込み用テキスト（タブ区切り）"};

class ExportCommandTest : public ::testing::Test {
protected:
    ExportCommandTest() {
        set.lines = {"tTitle\t\x93\xFA\x96\x7B\t3\t3", "dBunrui\tA", "sBunrui\tB", "11\tq1\ta1\t\t0",
                     "tTitle\tSecond\t3\t3",           "dBunrui\tA", "sBunrui\tB", "11\tq2\ta2\t\t0"};
        RebuildTitleIndex(set);
        set.selectedTitle = 2;
        set.shown.name = "Second";
        values.dataFolder = folder.path();
    }
    int run(ExportCommand command) {
        return runExportCommand(context, command, "/somewhere/words.txt", kNow);
    }
    std::vector<OptionGroup> scope(int chosen, const std::string& shown = "Second") const {
        return {{kScope, {"表示中のタイトル（" + shown + "）", "全タイトル（2タイトル）"}, chosen}};
    }

    test::TempFolder folder;
    QuestionSet set;
    test::ScriptedPrompter prompter;
    StatusView view;
    ProgramValues values;
    DataContext context{set, prompter, view, values};
};

TEST_F(ExportCommandTest, ShownTitleToAnAnkiPackage) {
    const std::string path = folder.file("words.apkg");
    prompter.expectOptions("Ankiﾊﾟｯｹｰｼﾞ書き出し", scope(0), std::vector<int>{0})
        .expectSave(path, "Anki package (*.apkg)|*.apkg");
    EXPECT_EQ(0, run(ExportCommand::AnkiPackage));
    ASSERT_EQ(1u, prompter.dialogRequests.size());
    EXPECT_EQ("words.apkg", prompter.dialogRequests[0].fileName);
    EXPECT_EQ(folder.path(), prompter.dialogRequests[0].folder);
    EXPECT_EQ("apkg", prompter.dialogRequests[0].defaultSuffix);
    EXPECT_EQ(path + "に書き出しました。（1タイトル、1問）", view.status);
    const std::string read = test::readApkgIndependently(path);
    EXPECT_NE(std::string::npos, read.find("decks: Default | Second\n")) << read;
    EXPECT_NE(std::string::npos, read.find("note: Second \tq2\ta2\t\t[ A B ]\tq2\n")) << read;
}

TEST_F(ExportCommandTest, EveryTitleInEitherCsvForm) {
    const struct {
        int form;
        const char* name;
        const char* filter;
        std::string start;
    } cases[] = {
        {0, "all.csv", "CSV files (*.csv)|*.csv", "\xEF\xBB\xBF"},
        {1, "all.txt", "Text files (*.txt)|*.txt",
         "#separator:tab\n#html:false\n#deck column:1\n#tags column:5\n"
         "\xE6\x97\xA5\xE6\x9C\xAC\tq1\ta1\t\tA B\nSecond\tq2\ta2\t\tA B\n"},
    };
    for (const auto& c : cases) {
        const std::string path = folder.file(c.name);
        prompter.expectOptions("CSV書き出し", {scope(0)[0], {kForm, kForms, 0}}, std::vector<int>{1, c.form})
            .expectSave(path, c.filter);
        EXPECT_EQ(0, run(ExportCommand::Csv));
        EXPECT_EQ(path + "に書き出しました。（2タイトル、2問）", view.status);
        EXPECT_EQ(0, test::TempFolder::read(path).compare(0, c.start.size(), c.start)) << c.name;
    }
}

TEST_F(ExportCommandTest, CancelledDialogsWriteNothing) {
    prompter.expectOptions("CSV書き出し", {scope(0)[0], {kForm, kForms, 0}}, std::nullopt);
    EXPECT_EQ(1, run(ExportCommand::Csv));
    prompter.expectOptions("Ankiﾊﾟｯｹｰｼﾞ書き出し", scope(0), std::vector<int>{1}).expectSave(std::nullopt);
    EXPECT_EQ(1, run(ExportCommand::AnkiPackage));
    EXPECT_EQ("untouched", view.status);
}

TEST_F(ExportCommandTest, WithoutAShownTitleEveryTitleIsProposed) {
    set.selectedTitle = -1;
    prompter.expectOptions("Ankiﾊﾟｯｹｰｼﾞ書き出し", scope(1, "なし"), std::vector<int>{0})
        .expectMessage("タイトルを選択してください。", "確認", Buttons::Ok, Icon::None);
    EXPECT_EQ(-1, run(ExportCommand::AnkiPackage));
}

TEST_F(ExportCommandTest, FailuresAreSaidAndLeaveNoFile) {
    const std::string path = folder.file("missing/out.apkg");
    prompter.expectOptions("Ankiﾊﾟｯｹｰｼﾞ書き出し", scope(0), std::vector<int>{1})
        .expectSave(path)
        .expectMessage("ファイルが開けません\n" + path +
                           "\nファイルを保存できませんでした。\nNo such file or directory",
                       "エラー", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-1, run(ExportCommand::AnkiPackage));
    EXPECT_EQ("untouched", view.status);

    set.lines[3] = "11\tbad \xFF\ta1\t\t0";
    prompter.expectOptions("CSV書き出し", {scope(0)[0], {kForm, kForms, 0}}, std::vector<int>{1, 0})
        .expectSave(folder.file("bad.csv"))
        .expectMessage("4行目にShift-JISとして読めないバイトがあるため、書き出しできませんでした。", "エラー",
                       Buttons::Ok, Icon::Error);
    EXPECT_EQ(-1, run(ExportCommand::Csv));
    EXPECT_FALSE(fileExists(folder.file("bad.csv")));
}

TEST_F(ExportCommandTest, NoDataAsksForAFile) {
    set.lines.clear();
    RebuildTitleIndex(set);
    prompter.expectMessage("ﾌｧｲﾙを読み込んでください。", "確認", Buttons::Ok, Icon::Error);
    EXPECT_EQ(-1, run(ExportCommand::Csv));
}

} // namespace
} // namespace rovik::decks
