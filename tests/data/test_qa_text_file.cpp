#include "data/QaTextFile.h"

#include "data/DataListView.h"
#include "data/QuestionSet.h"
#include "platform/FileIo.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rovik {
namespace {

TEST(QaTextFile_Split, AcceptsEveryLineEnd) {
    using Lines = std::vector<std::string>;
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {std::string("\0abc", 4), {}},
        {"\r", {""}},
        {"ab\r\ncd\n\ref", {"ab", "cd", "", "ef"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, splitTextLines(c.first)) << c.first;
        // In pieces, a line end or a CR LF may fall between two of them.
        for (std::size_t cut = 0; cut <= c.first.size(); ++cut) {
            for (std::size_t second = cut; second <= c.first.size(); ++second) {
                LineSplitter splitter;
                splitter.feed(c.first.data(), cut);
                splitter.feed(c.first.data() + cut, second - cut);
                splitter.feed(c.first.data() + second, c.first.size() - second);
                EXPECT_EQ(c.second, splitter.finish()) << c.first << " cut at " << cut << ", " << second;
            }
        }
    }
}

TEST(QaTextFile_ClassifyQuizLine, DecidesInOrder) {
    const std::pair<std::string, int> cases[] = {
        {"//comment\n", -99},
        {"//" + std::string(3000, 'x') + "\n", -99},
        {"11\t" + std::string(2100, 'x') + "\tb\tc\t0\n", -1},
        {"no tab\n", -2},
        {"dBunrui\tname\n", 0},
        {"tTitle\tname\t3\t3\n", 0},
        {"11\tq\ta\n", -5},
        {"11\tq\ta\tr\t0\n", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, ClassifyQuizLine(c.first)) << c.first.substr(0, 20);
}

TEST(QaTextFile_Extensions, AcceptExactlyTwoCaseForms) {
    EXPECT_TRUE(hasTextExtension("a.txt"));
    EXPECT_TRUE(hasTextExtension("a.TXT"));
    EXPECT_FALSE(hasTextExtension("a.Txt"));
    EXPECT_TRUE(hasPdbExtension("/x/a.PDB"));
    EXPECT_FALSE(hasPdbExtension("a.pDb"));
    EXPECT_TRUE(hasFiveChoiceExtension("q.5TQ"));
    EXPECT_FALSE(hasFiveChoiceExtension("q.5Tq"));
}

TEST(QaTextFile_WrittenLine, PadsOddPdbRecordsOnly) {
    const struct {
        std::string line;
        bool pdb;
        std::string out;
    } cases[] = {
        {"ab", false, "ab\r\n"},
        {"ab", true, " ab\n"},  // 3 bytes with its line feed: padded
        {"abc", true, "abc\n"}, // 4 bytes: kept
        {"//a", true, "//a\n"}, // comments are never padded
        {"//", true, "//\n"},
        {"", true, " \n"},
        {"\xB1", true, " \x83\x41\n"}, // kana first, then the length rule
        {"\xB1"
         "a",
         true,
         "\x83\x41"
         "a\n"}, // odd before the conversion, even after
    };
    for (auto c : cases)
        EXPECT_EQ(c.out, WrittenLine(c.line, c.pdb)) << c.line;
}

TEST(QaTextFile_WriteQuestionLines, NormalisesKanaInTheSetToo) {
    QuestionSet set;
    set.lines = {"// before", "tTitle\t\xC3\xBD\xC4", "11\t\xCA\xDF\t\xB6\xDE\tr\t0"};
    EXPECT_EQ("// before\r\ntTitle\t\x83\x65\x83\x58\x83\x67\r\n11\t\x83\x70\t\x83\x4B\tr\t0\r\n",
              WriteQuestionLines(set, "x.txt"));
    EXPECT_EQ("tTitle\t\x83\x65\x83\x58\x83\x67", set.lines[1]);
}

class RecordingView : public NullDataListView {
public:
    void setStatusText(const std::string& text) override { status = text; }
    std::string status;
};

TEST(QaTextFile_SaveAsText, WritesAndReports) {
    test::TempFolder folder;
    QuestionSet set;
    set.lines = {"tTitle\tT", "11\tq\ta\tr\t0"};
    set.saved = false;
    test::ScriptedPrompter prompter;
    RecordingView view;
    std::string path = folder.file("out.txt");
    EXPECT_EQ(0, SaveAsText(set, path, prompter, view));
    EXPECT_EQ("tTitle\tT\r\n11\tq\ta\tr\t0\r\n", test::TempFolder::read(path));
    EXPECT_TRUE(set.saved);
    EXPECT_EQ(path + "が保存されました。", view.status);
}

// A write that fails part way, or a file that is read-only: the file, the lines (their half-width
// katakana too) and the saved flag stay as they were, and the user is told which file.
TEST(QaTextFile_SaveAsText, FailureChangesNothingAndTellsTheUser) {
    for (bool readOnly : {false, true}) {
        test::TempFolder folder;
        std::string path = folder.write("out.txt", "precious");
        if (readOnly) std::filesystem::permissions(path, std::filesystem::perms::owner_read);
        QuestionSet set;
        set.lines = {"tTitle\tT", "11\t\xB1\ta\tr\t0"};
        set.saved = false;
        test::ScriptedPrompter prompter;
        prompter.expectMessage("ファイルが開けません\n" + path + "\nファイルを保存できませんでした。",
                               "エラー", Buttons::Ok, Icon::Error);
        RecordingView view;
        setWriteFailureAfterForTesting(readOnly ? -1 : 2);
        EXPECT_EQ(-1, SaveAsText(set, path, prompter, view));
        setWriteFailureAfterForTesting(-1);
        EXPECT_EQ("precious", test::TempFolder::read(path));
        EXPECT_EQ("11\t\xB1\ta\tr\t0", set.lines[1]);
        EXPECT_FALSE(set.saved);
        EXPECT_EQ("", view.status);
    }
}

} // namespace
} // namespace rovik
