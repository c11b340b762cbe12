// One table of encodings through every reader of QA text: the data list window's open (also the
// edit-as-text reload), the tab-text import in its three formats, the quiz loader and rovik-cli's
// check, to-pdb, import-tab and quiz. Each must see the same CP932 lines, or refuse the file with
// the same log of the characters CP932 cannot hold.
#include "cli/Cli.h"
#include "data/Common.h"
#include "data/DataContext.h"
#include "data/DataListView.h"
#include "data/Loading.h"
#include "data/QaTextFile.h"
#include "data/QuestionSet.h"
#include "data/TextReading.h"
#include "import/TextImport.h"
#include "pdb/PdbReader.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Prompter.h"
#include "quiz/QuizEngine.h"
#include "settings/ProgramValues.h"

#include "data/RecordingDataListView.h"
#include "quiz/RecordingQuizView.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <sstream>
#include <utility>

namespace rovik {
namespace {

using Lines = std::vector<std::string>;
using LogEntry = std::pair<std::size_t, std::string>; // line in the body, the rest of the log line

const std::string kBom = "\xEF\xBB\xBF";
const std::string kHeader = "tTitle\tT\t3\t3";

// Keeps every message; answers Ok or No and picks the import format it was given.
class KeepingPrompter : public Prompter {
public:
    Lines told;
    int format = 0;
    Answer ask(const std::string& text, const std::string& caption, Buttons buttons, Icon) override {
        told.push_back(caption + "|" + text);
        return buttons == Buttons::Ok ? Answer::Ok : Answer::No;
    }
    std::optional<std::string> openFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFile(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<int> chooseImportFormat() override { return format; }
    std::optional<bool> chooseShowChoices() override { return true; }
};

LogEntry cannotHold(std::size_t line, const std::string& character, const std::string& codePoint) {
    return {line, "文字「" + character + "」(" + codePoint + ")はShift-JISで表せません。"};
}

struct Row {
    const char* name;
    std::string prefix; // bytes before the first line
    Lines body;         // "question<TAB>answer" lines in the file's own bytes
    std::string eol;
    TextEncoding encoding;
    Lines cp932; // the body as every reader must see it (before the half-width kana fix)
    std::vector<LogEntry> log;

    bool refused() const { return !log.empty(); }
    // A QA text file: a title header line, then one record per body line.
    std::string qaFile() const {
        std::string bytes = prefix + kHeader + eol;
        for (const auto& line : body)
            bytes += "11\t" + line + "\t\t0" + eol;
        return bytes;
    }
    std::string importFile() const {
        std::string bytes = prefix;
        for (const auto& line : body)
            bytes += line + eol;
        return bytes;
    }
    Lines qaLines() const {
        Lines lines{kHeader};
        for (const auto& line : cp932)
            lines.push_back("11\t" + line + "\t\t0");
        return lines;
    }
    // The log lines when `before` lines precede the body.
    Lines logLines(std::size_t before) const {
        Lines lines;
        for (const auto& [line, rest] : log)
            lines.push_back(std::to_string(line + before) + "行目: " + rest);
        return lines;
    }
};

Lines fixedKana(Lines lines) {
    QuestionSet set;
    set.loadingBuffer = std::move(lines);
    FixHalfWidthKana(set);
    return set.loadingBuffer;
}

// Two- and three-line sources take each line whole, where a tab would split the record: those
// formats get the rows with spaces for tabs (a tab byte is never part of a character).
std::string withoutTabs(std::string text) {
    std::replace(text.begin(), text.end(), '\t', ' ');
    return text;
}
std::string importSource(const Row& row, int format) {
    return format == 0 ? row.importFile() : withoutTabs(row.importFile());
}
std::string joined(const Lines& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\n";
    return text;
}

const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {"bom",
         kBom,
         {"問題\t答え", "q\ta"},
         "\r\n",
         TextEncoding::Utf8WithBom,
         {toCp932("問題\t答え"), "q\ta"},
         {}},
        {"no_bom", "", {"問題\t答え", "q\ta"}, "\n", TextEncoding::Utf8, {toCp932("問題\t答え"), "q\ta"}, {}},
        {"ascii_only", "", {"q\ta", "r\tb"}, "\r\n", TextEncoding::Cp932, {"q\ta", "r\tb"}, {}},
        {"cp932", "", {toCp932("問題\t答え")}, "\r\n", TextEncoding::Cp932, {toCp932("問題\t答え")}, {}},
        // Short CP932 texts can be valid UTF-8 too: ﾐｱ reads as б, ﾃｽ as ý, which CP932 cannot hold.
        {"cp932_valid_utf8", "", {"\xD0\xB1\tx"}, "\r\n", TextEncoding::Utf8, {toCp932("б\tx")}, {}},
        {"cp932_valid_utf8_refused",
         "",
         {"\xC3\xBD\tx"},
         "\r\n",
         TextEncoding::Utf8,
         {},
         {cannotHold(1, "ý", "U+00FD")}},
        {"halfwidth_kana_utf8", "", {"ｶﾅ\tx"}, "\r\n", TextEncoding::Utf8, {"\xB6\xC5\tx"}, {}},
        {"halfwidth_kana_cp932", "", {"\xB6\xC5\tx"}, "\r\n", TextEncoding::Cp932, {"\xB6\xC5\tx"}, {}},
        {"unmappable_first",
         "",
         {"😀a\tx", "q\ta"},
         "\r\n",
         TextEncoding::Utf8,
         {},
         {cannotHold(1, "😀", "U+1F600")}},
        {"unmappable_last",
         kBom,
         {"q\ta", "b\tx😀"},
         "\r\n",
         TextEncoding::Utf8WithBom,
         {},
         {cannotHold(2, "😀", "U+1F600")}},
        {"several_per_line_lf",
         "",
         {"q\ta", "ü😀\t😀"},
         "\n",
         TextEncoding::Utf8,
         {},
         {cannotHold(2, "ü", "U+00FC"), cannotHold(2, "😀", "U+1F600"), cannotHold(2, "😀", "U+1F600")}},
        {"lone_cr",
         "",
         {"q\ta", "r\tb", "s\t한"},
         "\r",
         TextEncoding::Utf8,
         {},
         {cannotHold(3, "한", "U+D55C")}},
    };
    return table;
}

class Utf8ReadersTest : public ::testing::Test {
protected:
    Utf8ReadersTest() {
        values.startFolder = folder.path();
        values.settings = {"", ""};
    }
    std::string logFile() const { return test::TempFolder::read(folder.file("ErrorLog.txt")); }

    int runCli(const cli::Args& args, std::string* out = nullptr) {
        std::istringstream in;
        std::ostringstream o, e;
        const int code = cli::run(args, in, o, e);
        if (out) *out = o.str();
        return code;
    }

    test::TempFolder folder;
    ProgramValues values;
};

TEST_F(Utf8ReadersTest, DataListOpenAndEditAsTextReload) {
    for (const Row& row : rows()) {
        QuestionSet set;
        KeepingPrompter prompter;
        test::RecordingDataListView view;
        DataContext ctx{set, prompter, view, values};
        LoadQAText(ctx, folder.write("in.txt", row.qaFile()));
        if (row.refused()) {
            EXPECT_TRUE(set.lines.empty()) << row.name;
            EXPECT_EQ(unmappableLogBytes(row.logLines(1)), logFile()) << row.name;
        } else {
            EXPECT_EQ(fixedKana(row.qaLines()), set.lines) << row.name;
            EXPECT_EQ(row.encoding, set.encoding) << row.name;
        }
    }
}

// The records each import format makes of a row's body, written out: format 0 one per line,
// format 1 one per two lines, format 2 one per three (the rest dropped); the two- and three-line
// files are given with spaces for the tabs, which those formats refuse.
const std::map<std::string, std::array<Lines, 3>>& importedRecords() {
    const std::string mondai = "\x96\xE2\x91\xE8"; // 問題
    const std::string kotae = "\x93\x9A\x82\xA6";  // 答え
    static const std::map<std::string, std::array<Lines, 3>> records = {
        {"bom",
         {Lines{"11\t" + mondai + "\t" + kotae + "\t\t0", "11\tq\ta\t\t0"},
          Lines{"11\t" + mondai + " " + kotae + "\tq a\t\t0"}, Lines{}}},
        {"no_bom",
         {Lines{"11\t" + mondai + "\t" + kotae + "\t\t0", "11\tq\ta\t\t0"},
          Lines{"11\t" + mondai + " " + kotae + "\tq a\t\t0"}, Lines{}}},
        {"ascii_only", {Lines{"11\tq\ta\t\t0", "11\tr\tb\t\t0"}, Lines{"11\tq a\tr b\t\t0"}, Lines{}}},
        {"cp932", {Lines{"11\t" + mondai + "\t" + kotae + "\t\t0"}, Lines{}, Lines{}}},
        {"cp932_valid_utf8", {Lines{"11\t\x84\x71\tx\t\t0"}, Lines{}, Lines{}}},            // б
        {"halfwidth_kana_utf8", {Lines{"11\t\x83\x4A\x83\x69\tx\t\t0"}, Lines{}, Lines{}}}, // カナ
        {"halfwidth_kana_cp932", {Lines{"11\t\x83\x4A\x83\x69\tx\t\t0"}, Lines{}, Lines{}}},
    };
    return records;
}

// The lines an import of the row in `format` appends: the new title named `title`, then its records.
Lines importedLines(const std::string& title, const Row& row, int format) {
    Lines lines{"tTitle\t" + title + "\t3\t3",
                "dBunrui\t\x96\xB3\x91\xE8\x81\x69\x95\xAA\x97\xDE\x41\x81\x6A",  // 無題（分類A）
                "sBunrui\t\x96\xB3\x91\xE8\x81\x69\x95\xAA\x97\xDE\x42\x81\x6A"}; // 無題（分類B）
    const auto found = importedRecords().find(row.name);
    if (found == importedRecords().end()) {
        ADD_FAILURE() << "no records written out for " << row.name;
        return lines;
    }
    for (const auto& record : found->second[static_cast<size_t>(format)])
        lines.push_back(record);
    return lines;
}

TEST_F(Utf8ReadersTest, TabTextImportInEachFormat) {
    for (const Row& row : rows()) {
        for (int format = 0; format <= 2; ++format) {
            QuestionSet set;
            KeepingPrompter prompter;
            prompter.format = format;
            test::RecordingDataListView view;
            DataContext ctx{set, prompter, view, values};
            const std::string path = folder.write("import.txt", importSource(row, format));
            ImportTextFile(ctx, path);
            if (row.refused()) {
                EXPECT_TRUE(set.lines.empty()) << row.name << " " << format;
                EXPECT_EQ(unmappableLogBytes(row.logLines(0)), logFile()) << row.name << " " << format;
            } else {
                EXPECT_EQ(importedLines("import", row, format), set.lines) << row.name << " " << format;
                EXPECT_EQ(row.encoding, set.encoding) << row.name << " " << format;
            }
        }
    }
}

TEST_F(Utf8ReadersTest, QuizLoader) {
    for (const Row& row : rows()) {
        KeepingPrompter prompter;
        test::RecordingQuizView view;
        QuizEngine engine(view, prompter);
        const int result = engine.LoadQuizFile(folder.write("quiz.txt", row.qaFile()));
        if (row.refused()) {
            EXPECT_EQ(-1, result) << row.name;
            EXPECT_EQ(Lines{"ファイルが開けません|" + unmappableMessage(row.logLines(1))}, prompter.told)
                << row.name;
        } else {
            EXPECT_EQ(0, result) << row.name;
            EXPECT_EQ(row.qaLines(), engine.lines()) << row.name;
        }
    }
}

TEST_F(Utf8ReadersTest, CliCheckAndToPdb) {
    for (const Row& row : rows()) {
        const std::string path = folder.write("cli.txt", row.qaFile());
        const std::string pdb = folder.file("cli.pdb");
        std::remove(pdb.c_str());
        std::string out;
        if (row.refused()) {
            EXPECT_EQ(1, runCli({"check", path}, &out)) << row.name;
            EXPECT_EQ(joined(row.logLines(1)), out) << row.name;
            EXPECT_EQ(1, runCli({"to-pdb", path, pdb})) << row.name;
            EXPECT_FALSE(fileExists(pdb)) << row.name;
            continue;
        }
        EXPECT_EQ(0, runCli({"check", path}, &out)) << row.name;
        ASSERT_EQ(0, runCli({"to-pdb", path, pdb})) << row.name;
        std::string text;
        ASSERT_EQ(PdbReadStatus::Ok, readPdbText(pdb, text)) << row.name;
        EXPECT_EQ(fixedKana(row.qaLines()), splitTextLines(text)) << row.name;
    }
}

TEST_F(Utf8ReadersTest, CliImportTabInEachFormat) {
    for (const Row& row : rows()) {
        for (int format = 0; format <= 2; ++format) {
            const std::string path = folder.write("tab.txt", importSource(row, format));
            const std::string out = folder.file("tab-out.txt");
            std::remove(out.c_str());
            const int code = runCli({"import-tab", "--format", std::to_string(format), path, out});
            if (row.refused()) {
                EXPECT_EQ(1, code) << row.name << " " << format;
                EXPECT_FALSE(fileExists(out)) << row.name << " " << format;
            } else {
                ASSERT_EQ(0, code) << row.name << " " << format;
                EXPECT_EQ(importedLines("tab", row, format), readQaText(out, EncodingChoice::Cp932).lines)
                    << row.name << " " << format;
            }
        }
    }
}

TEST_F(Utf8ReadersTest, CliQuiz) {
    for (const Row& row : rows()) {
        const std::string path = folder.write("quiz.txt", row.qaFile());
        std::string out;
        const int code = runCli({"quiz", path, "--title", "1"}, &out);
        if (row.refused()) {
            EXPECT_EQ(2, code) << row.name;
            continue;
        }
        EXPECT_EQ(0, code) << row.name;
        const std::string first = ItemText(row.cp932.front(), kTab, 1);
        EXPECT_EQ(0u, out.find("(1/" + std::to_string(row.cp932.size()) + ") " + cp932ToUtf8(first)))
            << row.name << ": " << out;
    }
}

} // namespace
} // namespace rovik
