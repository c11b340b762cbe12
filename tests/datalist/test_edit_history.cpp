#include "datalist/EditHistory.h"

#include <gtest/gtest.h>

namespace rovik {
namespace {

using Lines = std::vector<std::string>;

EditStep step(const char* name, size_t first, Lines oldLines, Lines newLines) {
    EditStep s;
    s.name = name;
    s.first = first;
    s.oldLines = std::move(oldLines);
    s.newLines = std::move(newLines);
    return s;
}

// A step done on `lines` and pushed, as the window's commands do.
void doStep(EditHistory& history, Lines& lines, EditStep s) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(s.first),
                lines.begin() + static_cast<std::ptrdiff_t>(s.first + s.oldLines.size()));
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(s.first), s.newLines.begin(), s.newLines.end());
    history.push(std::move(s));
}

struct DiffCase {
    Lines before;
    Lines after;
    size_t first;
    Lines oldLines;
    Lines newLines;
};

TEST(DiffStep, KeepsOnlyTheChangedLines) {
    const DiffCase cases[] = {
        {{"a", "b", "c"}, {"a", "b", "c"}, 3, {}, {}},
        {{"a", "b", "c"}, {"a", "x", "c"}, 1, {"b"}, {"x"}},
        {{"a", "b"}, {"a", "b", "c", "d"}, 2, {}, {"c", "d"}},
        {{"a", "b", "c"}, {"a", "c"}, 1, {"b"}, {}},
        {{"a", "a", "a"}, {"a", "a"}, 2, {"a"}, {}},
        {{}, {"t"}, 0, {}, {"t"}},
        {{"a", "b"}, {}, 0, {"a", "b"}, {}},
    };
    for (const auto& c : cases) {
        EditStep s = diffStep(c.before, c.after);
        EXPECT_EQ(c.first, s.first);
        EXPECT_EQ(c.oldLines, s.oldLines);
        EXPECT_EQ(c.newLines, s.newLines);
        Lines lines = c.after;
        EditHistory history;
        history.push(s);
        history.undo(lines);
        EXPECT_EQ(c.before, lines);
        history.redo(lines);
        EXPECT_EQ(c.after, lines);
    }
}

TEST(EditHistory, UndoAndRedoRestoreLinesAndViewsExactly) {
    Lines lines{"t", "1", "2", "3"};
    EditHistory history;
    EditStep cut = step("ﾚｺｰﾄﾞ切り取り", 2, {"2"}, {});
    cut.before = {0, 2};
    cut.after = {0, 2};
    doStep(history, lines, cut);
    EditStep paste = step("ﾚｺｰﾄﾞ貼り付け", 1, {}, {"2"});
    paste.before = {0, 1};
    paste.after = {0, 1};
    doStep(history, lines, paste);
    EXPECT_EQ((Lines{"t", "2", "1", "3"}), lines);
    EXPECT_EQ("ﾚｺｰﾄﾞ貼り付け", history.undoName());
    EXPECT_FALSE(history.canRedo());

    AppliedStep applied = history.undo(lines);
    ASSERT_NE(nullptr, applied.step);
    EXPECT_EQ((Lines{"t", "1", "3"}), lines);
    EXPECT_EQ(1, applied.view.recordRow);
    EXPECT_EQ("ﾚｺｰﾄﾞ切り取り", history.undoName());
    EXPECT_EQ("ﾚｺｰﾄﾞ貼り付け", history.redoName());
    history.undo(lines);
    EXPECT_EQ((Lines{"t", "1", "2", "3"}), lines);
    EXPECT_TRUE(history.atSavedPosition());
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(nullptr, history.undo(lines).step);
    history.redo(lines);
    history.redo(lines);
    EXPECT_EQ((Lines{"t", "2", "1", "3"}), lines);
    EXPECT_FALSE(history.atSavedPosition());
}

TEST(EditHistory, SavedPositionFollowsSavesAndIsLostWithItsRedoSteps) {
    struct Case {
        const char* what;
        int undos;       // after two steps and a save after the first
        bool newStep;    // a new step after the undos
        bool savedAtEnd; // atSavedPosition at the end
    };
    const Case cases[] = {
        {"back at the save", 1, false, true},
        {"before the save", 2, false, false},
        {"a new step drops the saved lines", 2, true, false},
        {"a new step after the save", 1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Lines lines{"a"};
        EditHistory history;
        doStep(history, lines, step("1", 1, {}, {"b"}));
        history.markSaved(); // saved with "b"
        doStep(history, lines, step("2", 2, {}, {"c"}));
        EXPECT_FALSE(history.atSavedPosition());
        for (int i = 0; i < c.undos; ++i)
            history.undo(lines);
        if (c.newStep) doStep(history, lines, step("3", 0, {"a"}, {"z"}));
        EXPECT_EQ(c.savedAtEnd, history.atSavedPosition());
        if (c.newStep) {
            history.undo(lines);
            EXPECT_EQ(c.undos == 1, history.atSavedPosition());
        }
    }
}

TEST(EditHistory, OldestStepsGoPastTheLimits) {
    struct Case {
        size_t byteLimit;
        size_t stepLimit;
        size_t lineBytes;
        size_t steps;
        size_t minKept; // a step costs its line and some bookkeeping
        size_t maxKept;
    };
    const Case cases[] = {
        {EditHistory::kByteLimit, EditHistory::kStepLimit, 10, 150, 150, 150}, // at least 100 steps
        {EditHistory::kByteLimit, 120, 10, 150, 120, 120},
        {20000, 1000, 1000, 50, 10, 19}, // 50 steps of 1 KB, 20 KB kept at most
        {100, 1000, 1000, 3, 1, 1},      // the newest step always stays
    };
    for (const Case& c : cases) {
        EditHistory history(c.byteLimit, c.stepLimit);
        Lines lines;
        for (size_t i = 0; i < c.steps; ++i)
            doStep(history, lines, step("add", lines.size(), {}, {std::string(c.lineBytes, 'x')}));
        if (c.minKept > 1) EXPECT_LE(history.bytes(), c.byteLimit);
        const size_t kept = history.stepCount();
        EXPECT_GE(kept, c.minKept);
        EXPECT_LE(kept, c.maxKept);
        size_t undone = 0;
        while (history.undo(lines).step)
            ++undone;
        EXPECT_EQ(kept, undone);
        EXPECT_EQ(c.steps - kept, lines.size());
        EXPECT_EQ(kept == c.steps, history.atSavedPosition()); // unless the saved start was dropped
    }
}

TEST(EditHistory, LinesChangedOutsideTheHistoryClearIt) {
    Lines lines{"a", "b"};
    EditHistory history;
    doStep(history, lines, step("x", 1, {"b"}, {"c"}));
    lines[1] = "changed elsewhere";
    EXPECT_EQ(nullptr, history.undo(lines).step);
    EXPECT_EQ((Lines{"a", "changed elsewhere"}), lines);
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
}

} // namespace
} // namespace rovik
