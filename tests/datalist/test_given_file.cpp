// A file named on the program's command line ("open with" on the desktop) opens in the data list
// window as if chosen in the open dialog of its kind.
#include "datalist/DataListLogic.h"
#include "pdb/PdbWriter.h"
#include "settings/ProgramValues.h"

#include "datalist/FakeEditorView.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

const std::string kTwoTitles = "tTitle\tT1\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq1\ta\tr\t0\r\n"
                               "tTitle\tT2\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq2\ta\tr\t0\r\n";

struct GivenFileTest : ::testing::Test {
    GivenFileTest() {
        values.startFolder = folder.path();
        values.dataFolder = folder.path();
        values.settings = {"", ""};
    }
    // Writes the two titles as a PDB named `name` in the folder.
    std::string writePdb(const std::string& name) {
        QuestionSet set;
        set.lines = {"tTitle\tT1\t3\t3", "dBunrui\tA", "sBunrui\tB", "11\tq1\ta\tr\t0",
                     "tTitle\tT2\t3\t3", "dBunrui\tA", "sBunrui\tB", "11\tq2\ta\tr\t0"};
        RebuildTitleIndex(set);
        test::ScriptedPrompter quiet;
        EXPECT_EQ(0, WritePdb(set, folder.file(name), quiet));
        return folder.file(name);
    }

    test::TempFolder folder;
    test::CurrentFolder current{folder.path()};
    ProgramValues values;
    test::ScriptedPrompter prompter;
    test::FakeEditorView window;
    DataListLogic logic{window, prompter, values};
};

TEST_F(GivenFileTest, TextAndPdbOpenByTheirExtension) {
    const struct {
        std::string name;
        bool pdb;
    } cases[] = {{"mine.TXT", false}, {"mine.txt", false}, {"mine.pdb", true}, {"mine.PDB", true}};
    for (const auto& c : cases) {
        test::ScriptedPrompter casePrompter;
        DataListLogic caseLogic{window, casePrompter, values};
        const std::string path = c.pdb ? writePdb(c.name) : folder.write(c.name, kTwoTitles);
        caseLogic.openGivenFile(path);
        EXPECT_EQ((std::vector<std::string>{"T1", "T2"}), caseLogic.titleNames()) << c.name;
        // A PDB is read through the temporary text; the data takes the database's name as text.
        EXPECT_EQ(c.pdb ? folder.file("mine.txt") : path, caseLogic.currentFileName()) << c.name;
        EXPECT_EQ(path, values.settings[1]) << c.name;
    }
}

TEST_F(GivenFileTest, OtherFilesAreRefusedWithTheOpenDialogsMessage) {
    const struct {
        std::string name;
        const char* text;
        const char* caption;
        Icon icon;
    } cases[] = {
        {"mine.Txt", "ファイルは .txt を選択してください。", "ﾌｧｲﾙ ｴﾗｰ", Icon::Error},
        {"mine.5tq", "ファイルは .txt を選択してください。", "ﾌｧｲﾙ ｴﾗｰ", Icon::Error},
        {"mine", "ファイルは .txt を選択してください。", "ﾌｧｲﾙ ｴﾗｰ", Icon::Error},
        {"gone.TXT", "ﾌｧｲﾙがありません。", "エラー", Icon::Warning},
    };
    for (const auto& c : cases) {
        if (c.name != "gone.TXT") folder.write(c.name, kTwoTitles);
        prompter.expectMessage(c.text, c.caption, Buttons::Ok, c.icon);
        logic.openGivenFile(folder.file(c.name));
        EXPECT_TRUE(prompter.done()) << c.name;
        EXPECT_TRUE(logic.titleNames().empty()) << c.name;
        EXPECT_TRUE(logic.set().lines.empty()) << c.name;
    }
}

} // namespace
} // namespace rovik
