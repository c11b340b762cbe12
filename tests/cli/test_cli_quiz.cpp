#include "cli/Cli.h"

#include "support/TempFolder.h"

#include "cli/CliRun.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rovik {
namespace {

using Result = test::CliResult;

Result runQuiz(const std::string& file, cli::Args options, const std::string& input) {
    cli::Args args{"quiz", file};
    args.insert(args.end(), options.begin(), options.end());
    return test::runCli(args, input);
}

// A title with category lines and `count` records "CODE\tQn\tAn\tRn\t0".
std::string drillFile(int count, const std::string& code = "11") {
    std::string text = "tTitle\tFirst\t3\t3\r\ndBunrui\tA1\r\ndBunrui\tA2\r\nsBunrui\tB1\r\n";
    for (int n = 1; n <= count; ++n) {
        const std::string k = std::to_string(n);
        text += (n % 2 ? code : "21") + "\tQ" + k + "\tA" + k + "\tR" + k + "\t0\r\n";
    }
    return text;
}

// The lines printed for question n answered with "y"/"n".
std::string asked(int n, int at, int of) {
    const std::string k = std::to_string(n);
    return "(" + std::to_string(at) + "/" + std::to_string(of) + ") Q" + k + "\nA" + k + "\n参考：R" + k +
           "\n";
}

const char* kEndQuestion = "全問正解\n終了しますか？\n";

TEST(CliQuiz, DrillsAPassAndItsRetry) {
    test::TempFolder folder;
    const std::string file = folder.write("d.txt", drillFile(3));
    Result r = runQuiz(file, {"--title", "1"}, "\ny\n\nn\n\ny\ny\n\ny\ny\n");
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ(asked(1, 1, 3) + asked(2, 2, 3) + asked(3, 3, 3) +
                  "1問不正解です。\n不正解の問題をもう一度やりますか？\n" + asked(2, 1, 1) + kEndQuestion,
              r.out);
    EXPECT_EQ("", r.err);
}

TEST(CliQuiz, ReverseAsksTheAnswer) {
    test::TempFolder folder;
    Result r = runQuiz(folder.write("d.txt", drillFile(1)), {"--title", "1", "--reverse"}, "\ny\ny\n");
    EXPECT_EQ("(1/1) A1\nQ1\n参考：R1\n" + std::string(kEndQuestion), r.out);
}

TEST(CliQuiz, FiltersByCategory) {
    test::TempFolder folder;
    Result r =
        runQuiz(folder.write("d.txt", drillFile(4)), {"--title", "1", "--category-a", "2"}, "\ny\n\ny\ny\n");
    EXPECT_EQ(asked(2, 1, 2) + asked(4, 2, 2) + kEndQuestion, r.out);
}

TEST(CliQuiz, ChunksOfTen) {
    test::TempFolder folder;
    const std::string file = folder.write("d.txt", drillFile(25));
    std::string input; // answer shown, 正解, and "y" to go on after each chunk
    for (int q = 1; q <= 25; ++q)
        input += "\ny\n" + std::string(q == 10 || q == 20 || q == 25 ? "y\n" : "");
    Result r = runQuiz(file, {"--title", "1", "--chunk", "10"}, input);
    std::string expected;
    for (int q = 1; q <= 25; ++q) {
        expected += asked(q, (q - 1) % 10 + 1, q <= 20 ? 10 : 5);
        if (q == 10 || q == 20) expected += "全問正解\n続けますか？\n\nはい  ：次の出題\nいいえ：終了する\n";
    }
    EXPECT_EQ(expected + kEndQuestion, r.out);
}

TEST(CliQuiz, RandomOrderIsTheSameInEveryRun) {
    test::TempFolder folder;
    const std::string file = folder.write("d.txt", drillFile(5));
    Result first = runQuiz(file, {"--title", "1", "--random"}, "");
    Result second = runQuiz(file, {"--title", "1", "--random"}, "");
    EXPECT_EQ("(1/5) Q4\n", first.out);
    EXPECT_EQ(first.out, second.out);
}

TEST(CliQuiz, WrongOnlyFindsNothingInANewRun) {
    test::TempFolder folder;
    Result r = runQuiz(folder.write("d.txt", drillFile(3)), {"--title", "1", "--wrong-only"}, "\ny\n");
    EXPECT_EQ(0, r.code);
    EXPECT_EQ("問題がありません\n", r.out);
}

TEST(CliQuiz, EndOfInputStops) {
    test::TempFolder folder;
    const std::string file = folder.write("d.txt", drillFile(3));
    struct Case {
        std::string input;
        std::string out;
    } cases[] = {
        {"", "(1/3) Q1\n"},
        {"\n", asked(1, 1, 3)},
        {"\nmaybe\n", asked(1, 1, 3) + "y か n を入力してください。\n"},
        {"\nn\n\ny\n\ny\n", asked(1, 1, 3) + asked(2, 2, 3) + asked(3, 3, 3) +
                                "1問不正解です。\n不正解の問題をもう一度やりますか？\n"},
    };
    for (const auto& c : cases) {
        Result r = runQuiz(file, {"--title", "1"}, c.input);
        EXPECT_EQ(0, r.code);
        EXPECT_EQ(c.out, r.out) << c.input;
    }
}

TEST(CliQuiz, DrillsAPdbThroughText) {
    test::TempFolder folder;
    const std::string text = folder.write("d.txt", drillFile(2));
    std::istringstream in;
    std::ostringstream out, err;
    ASSERT_EQ(0, cli::run({"to-pdb", text, folder.file("d.pdb")}, in, out, err)) << err.str();
    Result r = runQuiz(folder.file("d.pdb"), {"--title", "1"}, "\ny\n\ny\ny\n");
    EXPECT_EQ(0, r.code) << r.err;
    EXPECT_EQ(asked(1, 1, 2) + asked(2, 2, 2) + kEndQuestion, r.out);
}

TEST(CliQuiz, RefusesWhatItCannotDrill) {
    test::TempFolder folder;
    const std::string file = folder.write("d.txt", drillFile(2));
    Result missing = runQuiz(folder.file("none.txt"), {"--title", "1"}, "");
    EXPECT_EQ(2, missing.code);
    EXPECT_EQ("rovik-cli: ファイルが開けません: " + folder.file("none.txt") + "\n", missing.err);
    Result noTitle = runQuiz(file, {"--title", "2"}, "");
    EXPECT_EQ(2, noTitle.code);
    EXPECT_EQ("rovik-cli: " + file + " has no title 2 (titles: 1)\n", noTitle.err);
    EXPECT_EQ(2, runQuiz(folder.write("bad.pdb", "not a database"), {"--title", "1"}, "").code);
    for (const cli::Args& options :
         {cli::Args{}, cli::Args{"--title", "x"}, cli::Args{"--title", "1", "--chunk", "7"},
          cli::Args{"--title", "1", "--shuffle"}}) {
        Result r = runQuiz(file, options, "");
        EXPECT_EQ(2, r.code);
        EXPECT_EQ(0u, r.err.find("usage: rovik-cli quiz"));
    }
}

} // namespace
} // namespace rovik
