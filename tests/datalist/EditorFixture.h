#pragma once
// A data list logic over a question set given as lines, with a window that remembers how far
// its grid and title list are scrolled: the base of the editing commands' tests.
#include "data/QuestionSet.h"
#include "datalist/DataListLogic.h"
#include "datalist/FakeEditorView.h"
#include "settings/ProgramValues.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rovik::test {

class ScrollingWindow : public FakeEditorView {
public:
    int recordTopRow() const override { return recordTop; }
    void setRecordTopRow(int row) override { recordTop = row; }
    int titleTopRow() const override { return titleTop; }
    void setTitleTopRow(int row) override { titleTop = row; }
    int recordTop = 1;
    int titleTop = 0;
};

// Title `name` with category lines A and B and `records` records "11", name + "q" + i, "a", "r", "0".
inline std::vector<std::string> titleLines(const std::string& name, int records) {
    std::vector<std::string> lines{"tTitle\t" + name + "\t3\t3", "dBunrui\tA", "sBunrui\tB"};
    for (int i = 1; i <= records; ++i)
        lines.push_back("11\t" + name + "q" + std::to_string(i) + "\ta\tr\t0");
    return lines;
}

inline std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> blocks) {
    std::vector<std::string> lines;
    for (const auto& block : blocks)
        lines.insert(lines.end(), block.begin(), block.end());
    return lines;
}

class EditorLogicTest : public ::testing::Test {
protected:
    // Puts the lines into the question set and shows title row `row` with its first record row current.
    void load(std::vector<std::string> lines, int row = 0) {
        logic.set().lines = std::move(lines);
        RebuildTitleIndex(logic.set());
        logic.FillTitleList();
        logic.showTitleRow(row);
        window.recordRow = logic.recordRows().count() > 0 ? 1 : 0;
        logic.setCurrentRecordRow(window.recordRow);
    }
    // Column 1 (the question) of every record row.
    std::vector<std::string> questions() const {
        std::vector<std::string> texts;
        for (int r = 1; r <= logic.recordRows().count(); ++r)
            texts.push_back(logic.cellText(r, 1));
        return texts;
    }

    ProgramValues values;
    ScriptedPrompter prompter;
    ScrollingWindow window;
    DataListLogic logic{window, prompter, values};
};

} // namespace rovik::test
