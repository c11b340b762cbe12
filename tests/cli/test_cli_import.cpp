#include "cli/Cli.h"

#include "data/DataContext.h"
#include "data/QuestionSet.h"
#include "import/FiveChoice.h"
#include "import/TextImport.h"
#include "platform/Cp932.h"
#include "quiz/QuizGenerator.h"
#include "settings/ProgramValues.h"

#include "data/RecordingDataListView.h"
#include "import/FiveChoiceBytes.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <fstream>
#include <sstream>

namespace rovik {
namespace {

using Result = test::CliResult;
using test::runCli;

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

const std::string kCategoryA = "dBunrui\t" + toCp932("無題（分類A）");
const std::string kCategoryB = "sBunrui\t" + toCp932("無題（分類B）");

struct ImportTabCase {
    std::vector<std::string> options;
    std::string source;
    std::vector<std::string> records;
};

TEST(CliImportTab, WritesTheImportedTitle) {
    test::TempFolder folder;
    const ImportTabCase cases[] = {
        {{}, "q1\ta1\r\nq2\ta2\tr2\r\n", {"11\tq1\ta1\t\t0", "11\tq2\ta2\tr2\t0"}},
        {{"--format", "0"}, "//q\ta\n", {"11\t//q\ta\t\t0"}},
        {{"--format", "1"}, "q1\na1\nq2\na2\nq3\n", {"11\tq1\ta1\t\t0", "11\tq2\ta2\t\t0"}},
        {{"--format", "2"}, "q1\na1\nr1\nq2\na2\n", {"11\tq1\ta1\tr1\t0"}},
    };
    for (const auto& c : cases) {
        const std::string in = folder.write("words.list.txt", c.source);
        const std::string out = folder.file("out.txt");
        cli::Args args{"import-tab"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(in);
        args.push_back(out);
        Result r = runCli(args);
        EXPECT_EQ(0, r.code) << r.err;
        std::vector<std::string> lines{"tTitle\twords\t3\t3", kCategoryA, kCategoryB};
        lines.insert(lines.end(), c.records.begin(), c.records.end());
        EXPECT_EQ(crlf(lines), test::TempFolder::read(out));
    }
}

TEST(CliImportTab, WritesWhatTheImportAppendsToAnEmptySet) {
    test::TempFolder folder;
    const std::string in =
        folder.write("mixed.txt", "\xB6\xDE\tx\r\n" + toCp932("犬") + "\tdog\tnoun\r\nq\ta");
    ASSERT_EQ(0, runCli({"import-tab", in, folder.file("cli.txt")}).code);
    QuestionSet set;
    test::ScriptedPrompter prompter;
    test::RecordingDataListView view;
    ProgramValues values;
    values.startFolder = folder.path();
    DataContext ctx{set, prompter, view, values};
    prompter.expectFormat(0).expectMessage("半角カナを全角カナに修正しました。", "確認", Buttons::Ok,
                                           Icon::None);
    ASSERT_EQ(0, ConvertTextImport(ctx, in));
    EXPECT_EQ(crlf(set.lines), test::TempFolder::read(folder.file("cli.txt")));
}

TEST(CliImportTab, RefusedFilePrintsTheErrorLogAndWritesNothing) {
    test::TempFolder folder;
    const std::string in = folder.write("bad.txt", "q\ta\r\nq\ta\tr\tx\r\n");
    Result r = runCli({"import-tab", in, folder.file("out.txt")});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("2行目\nq\ta\tr\tx\n項目数が多すぎます。最大３項目です。\n" + std::string(31, '-') + "\n",
              r.out);
    EXPECT_FALSE(std::ifstream(folder.file("out.txt")).good());
}

TEST(CliImportTab, ReportsUnusableInput) {
    test::TempFolder folder;
    const std::string out = folder.file("out.txt");
    EXPECT_EQ(1, runCli({"import-tab", folder.write("empty.txt", ""), out}).code);
    EXPECT_EQ(2, runCli({"import-tab", folder.file("missing.txt"), out}).code);
    EXPECT_EQ(2, runCli({"import-tab", "--format", "3", folder.write("a.txt", "q\ta\n"), out}).code);
    EXPECT_EQ(2, runCli({"import-tab", folder.file("a.txt")}).code);
    EXPECT_EQ(2, runCli({"import-tab", folder.file("a.txt"), folder.file("no/such/folder/out.txt")}).code);
    EXPECT_FALSE(std::ifstream(out).good());
}

TEST(CliImportTab, TwoLineSourcesAreCheckedAsTheRecordsTheyMake) {
    test::TempFolder folder;
    const std::string out = folder.file("out.txt");
    Result r = runCli(
        {"import-tab", "--format", "1", folder.write("long.txt", std::string(300, 'q') + "\na\n"), out});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("4行目\n11\t" + std::string(300, 'q') + "\ta\t\t0\nレコードが長すぎます。最大306文字です。\n" +
                  std::string(31, '-') + "\n",
              r.out);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CliImportFiveChoice, WritesTheConvertedText) {
    test::TempFolder folder;
    const std::string in = folder.write("quiz.5tq", test::fiveTq({3, 0, 2, 0, 0, 0, 0, 0}));
    for (bool show : {true, false}) {
        const std::string out = folder.file(show ? "with.txt" : "without.txt");
        cli::Args args{"import-5tq", in, out};
        if (!show) args.insert(args.begin() + 1, "--no-choices");
        Result r = runCli(args);
        ASSERT_EQ(0, r.code) << r.err;
        const std::string text = test::TempFolder::read(out);
        QuizGenerator fresh;
        EXPECT_EQ(
            fiveChoiceText(fiveChoiceLines(test::fiveTq({3, 0, 2, 0, 0, 0, 0, 0}), "quiz", show, fresh)),
            text);
        const std::string m = toCp932("　●");
        const std::string first =
            show ? "10\tQ1" + m + "C4-1" + m + "C5-1" + m + "C3-1" + m + "C1-1" + m + "C2-1" : "10\tQ1";
        EXPECT_NE(std::string::npos, text.find("\r\n" + first + "\tC1-1\t\t0\r\n"));
        EXPECT_NE(std::string::npos, text.find("\r\n30\tQ5"));
    }
    // Every run starts the generator afresh.
    ASSERT_EQ(0, runCli({"import-5tq", in, folder.file("again.txt")}).code);
    EXPECT_EQ(test::TempFolder::read(folder.file("with.txt")),
              test::TempFolder::read(folder.file("again.txt")));
}

TEST(CliImportFiveChoice, BrokenFileWritesNothing) {
    test::TempFolder folder;
    const std::string out = folder.file("out.txt");
    const std::string cut = test::fiveTq({2, 0, 0, 0, 0, 0, 0, 0}).substr(0, 2048 + 256);
    Result r = runCli({"import-5tq", folder.write("cut.5tq", cut), out});
    EXPECT_EQ(1, r.code);
    EXPECT_EQ("rovik-cli: " + folder.file("cut.5tq") +
                  ": ごたくファイルが途中で終わっています。\n問題数2問のうち1問分しかありません。\n",
              r.err);
    EXPECT_EQ(2, runCli({"import-5tq", folder.file("missing.5tq"), out}).code);
    EXPECT_EQ(2, runCli({"import-5tq", "--choices", folder.file("cut.5tq"), out}).code);
    EXPECT_FALSE(std::ifstream(out).good());
}

} // namespace
} // namespace rovik
