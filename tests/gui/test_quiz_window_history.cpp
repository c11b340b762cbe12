// The quiz window's history: its runs reach the user's history file, and a history that cannot
// be written is told once on the status line while the drill goes on.
#include "quiz/QuizWindow.h"
#include "settings/ProgramValues.h"
#include "support/GuiSteps.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#ifdef ROVIK_HISTORY
#include "history/HistoryStore.h"
#include "support/ScopedEnv.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace rovik {
namespace {

struct QuizWindowHistoryTest : ::testing::Test {
    QuizWindowHistoryTest() {
        saved = programValues();
        programValues().startFolder = folder.path();
        programValues().settings = {"", ""};
    }
    ~QuizWindowHistoryTest() override { programValues() = saved; }

    std::unique_ptr<TForm2> openWindow() {
        folder.write("RovikQA.TXT", "tTitle\tWords\t3\t3\r\n11\tQ1\tA1\tR1\t0\r\n11\tQ2\tA2\tR2\t0\r\n"
                                    "11\tQ3\tA3\tR3\t0\r\n");
        auto form = std::make_unique<TForm2>();
        form->setPrompter(&prompter);
        test::onNextModalDialog([](QWidget* dialog) {
            auto* grid = dialog->findChild<QTableWidget*>();
            ASSERT_NE(nullptr, grid);
            test::click(grid->viewport(), grid->visualRect(grid->model()->index(0, 0)).center());
        });
        form->FormActivate();
        return form;
    }
    static void answer(TForm2& form, bool right) {
        ASSERT_TRUE(form.Button2->isEnabled());
        form.Button2->click();
        (right ? form.Button3 : form.Button4)->click();
    }

    test::TempFolder folder;
    test::TempFolder data;
    test::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
    test::CurrentFolder here{folder.path()};
    ProgramValues saved;
    test::ScriptedPrompter prompter;
};

// Closed in the middle of a run: what was judged is kept in the user's data folder.
TEST_F(QuizWindowHistoryTest, RecordsTheRunInTheDataFolder) {
    {
        auto form = openWindow();
        form->Button1->click();
        answer(*form, false);
        answer(*form, true);
        EXPECT_EQ("", form->StatusBar->currentMessage().toStdString());
    }
    HistoryStore store;
    ASSERT_TRUE(store.open(data.file("rovik/history.sqlite")));
    const std::vector<RunRecord> runs = store.runs({"Words"});
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(folder.file("RovikQA.TXT"), runs[0].file);
    EXPECT_EQ(2, runs[0].asked);
    EXPECT_EQ(1, runs[0].wrong);
    EXPECT_EQ(2u, store.answers(runs[0].id).size());
}

TEST_F(QuizWindowHistoryTest, AnUnwritableHistoryIsToldOnTheStatusLine) {
    data.write("rovik", "not a folder");
    auto form = openWindow();
    form->Button1->click();
    const std::string note = form->StatusBar->currentMessage().toStdString();
    EXPECT_EQ(0u, note.rfind("履歴を記録できません: ", 0)) << note;
    EXPECT_EQ(note, form->StatusBar->toolTip().toStdString());
    answer(*form, true);
    answer(*form, true);
    EXPECT_EQ("Q3", form->Memo2->toPlainText().toStdString());
    form->StatusBar->clearMessage();
    prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
    answer(*form, true);
    EXPECT_EQ("", form->StatusBar->currentMessage().toStdString());
}

} // namespace
} // namespace rovik
#endif
