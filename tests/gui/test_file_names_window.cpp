// The data list window's open, save and recent entries with names that break path handling:
// the path the user chose is the path used, byte for byte, also when it is not UTF-8.
#include "datalist/DataListLogic.h"
#include "editor/DataListWindow.h"
#include "settings/ProgramValues.h"
#include "support/HostileNames.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QMenu>
#include <QTableView>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace rovik {
namespace {

const std::string kValid = "tTitle\tT\t3\t3\r\ndBunrui\tA\r\nsBunrui\tB\r\n11\tq\ta\tr\t0\r\n";
const char* kAppendQuestion = "追加読込しますか？\nはい  ：編集中のデータに追加読み込み\n"
                              "いいえ：編集中のデータを削除して新規読み込み";

// Names the settings file cannot give back: raw Shift-JIS, characters outside Shift-JIS, 〜 (which
// reads back as ～).
const std::set<std::string> kUnlisted = {
    "sjis-5c-hyou", "sjis-5c-so", "sjis-5c-nou", "sjis-5c-end", "sjis-7c",   "sjis-kana",   "utf8-umlaut",
    "utf8-emoji",   "utf8-yoshi", "utf8-wave",   "utf8-nfd",    "long-sjis", "invalid-utf8"};

TEST(DataListWindowFileNames, OpenSaveAndRecentEntriesKeepTheNamesBytes) {
    for (const test::HostileName& name : test::hostileNames(ROVIK_FIXTURES)) {
        if (name.bytes.find('/') != std::string::npos) continue; // a path into a folder
        SCOPED_TRACE(name.id);
        test::TempFolder folder;
        test::CurrentFolder here(folder.path());
        ProgramValues values;
        values.startFolder = values.dataFolder = folder.path();
        values.settings = {"", ""};
        test::ScriptedPrompter prompter;
        TForm3 form(nullptr, &prompter, &values);
        const std::string stem = test::stemOf(name.bytes);
        const std::string text = folder.write(stem + ".txt", kValid);
        const std::string pdb = folder.file(stem + ".pdb");

        prompter.expectOpen(text, "Text files (*.txt)|*.TXT");
        form.N11112->trigger();
        EXPECT_EQ(1, form.StringGrid2->model()->rowCount());
        EXPECT_EQ(text, form.logic().currentFileName());

        // The characters a database name cannot hold (UTF-8 names only).
        const std::map<std::string, std::string> leftOut = {
            {"utf8-umlaut", "ü"}, {"utf8-emoji", "😀"}, {"utf8-yoshi", "𠮷"}, {"utf8-nfd", "\xE3\x82\x99"}};
        prompter.expectSave(pdb, "PDB files (*.pdb)|*.PDB");
        if (leftOut.count(name.id))
            prompter.expectMessage("ファイル名の「" + leftOut.at(name.id) +
                                       "」はPDBのデータベース名に使えないため、除いて保存します。",
                                   "確認", Buttons::Ok, Icon::Warning);
        form.PDBD1->trigger();
        EXPECT_TRUE(std::filesystem::exists(pdb));

        // The settings file is Shift-JIS text: a name it cannot hold as the same path (raw Shift-JIS,
        // characters outside it) is not listed; a listed one opens again.
        emit form.File1->aboutToShow();
        const bool listed = kUnlisted.count(name.id) == 0;
        EXPECT_EQ(listed, form.textRecent[0]->isVisible());
        EXPECT_EQ(listed, form.pdbRecent[0]->isVisible());
        if (listed) {
            prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
            form.textRecent[0]->trigger();
            EXPECT_EQ(2, form.StringGrid2->model()->rowCount());
            prompter.expectMessage(kAppendQuestion, "Open", Buttons::YesNoCancel, Icon::None, Answer::Yes);
            form.pdbRecent[0]->trigger();
            EXPECT_EQ(3, form.StringGrid2->model()->rowCount());
        }
        EXPECT_TRUE(prompter.done());
        form.logic().set().saved = true; // nothing to ask on closing
    }
}

} // namespace
} // namespace rovik
