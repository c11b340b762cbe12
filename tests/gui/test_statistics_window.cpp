// The statistics window: what its charts and table hold, and 苦手な問題で開始 from the quiz window.
#include "gui/EditorWindowFixture.h"
#include "quiz/QuizWindow.h"
#include "settings/ProgramValues.h"
#include "support/GuiSteps.h"
#include "support/ScriptedPrompter.h"
#include "support/TempFolder.h"

#ifdef ROVIK_HISTORY
#include "history/HistoryStore.h"
#include "quiz/StatisticsWindow.h"
#include "support/ScopedEnv.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

namespace rovik {
namespace {

struct Answered {
    const char* question;
    const char* answer;
    bool right;
    const char* at;
};

void addRun(HistoryStore& store, const std::string& title, const std::string& started,
            const std::vector<Answered>& answers) {
    RunRecord run;
    run.file = "/data/drill.txt";
    run.title = title;
    run.started = started;
    run.id = store.beginRun(run);
    ASSERT_NE(0, run.id) << store.error();
    for (const Answered& a : answers) {
        ASSERT_TRUE(store.addAnswer(run.id, {a.question, a.answer, a.right, a.at, 500}));
        ++run.asked;
        ++(a.right ? run.right : run.wrong);
    }
    run.durationMs = 65000;
    ASSERT_TRUE(store.finishRun(run));
}

struct StatisticsWindowTest : ::testing::Test {
    std::string history() const { return data.file("rovik/history.sqlite"); }
    test::TempFolder data;
    test::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
};

QStringList column(const QTableView* grid, int c) {
    QStringList texts;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        texts << grid->model()->index(r, c).data().toString();
    return texts;
}

void clickHeader(QTableView* grid, int section) {
    QHeaderView* header = grid->horizontalHeader();
    test::click(header->viewport(),
                QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                       header->height() / 2));
}

TEST_F(StatisticsWindowTest, ChartsAndTableShowTheTitlesHistory) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        addRun(store, "英単語", "2026-03-01T10:00:00",
               {{"犬", "dog", false, "2026-03-01T10:00:01"},
                {"猫", "cat", false, "2026-03-01T10:00:02"},
                {"鳥", "bird", true, "2026-03-01T10:00:03"},
                {"魚", "fish", true, "2026-03-01T10:00:04"}});
        addRun(store, "英単語", "2026-03-02T09:00:00",
               {{"犬", "dog", false, "2026-03-02T09:00:01"}, {"猫", "cat", true, "2026-03-02T09:00:02"}});
        addRun(store, "英単語", "2026-03-02T09:30:00",
               {{"犬", "dog", true, "2026-03-02T09:30:01"},
                {"鳥", "bird", false, "2026-03-02T09:30:02"},
                {"魚", "fish", true, "2026-03-02T09:30:03"}});
    }
    StatisticsWindow window({{"英単語", "空のタイトル"}, 0, false, -1});
    window.show();
    EXPECT_EQ(QStringLiteral("統計 - 英単語"), window.windowTitle());
    EXPECT_TRUE(window.TitleBox->isVisible());
    EXPECT_EQ(2, window.TitleBox->count());
    EXPECT_FALSE(window.MostMissedButton->isVisible()) << "only from the quiz window";
    EXPECT_EQ(QStringLiteral("topic11"), window.property("helpTopic").toString()) << "F1";
    EXPECT_FALSE(window.NoteLabel->isVisible());
    EXPECT_EQ(QStringLiteral("練習 3回　出題 9問　正解 5問　不正解 4問　正答率 55.6%　練習時間 3分15秒"),
              window.TotalsLabel->text());

    auto* accuracy = window.AccuracyChart->chart()->findChild<QLineSeries*>("AccuracySeries");
    ASSERT_NE(nullptr, accuracy);
    const QList<QPointF> points = accuracy->points();
    ASSERT_EQ(3, points.size());
    const char* times[] = {"2026-03-01T10:00:00", "2026-03-02T09:00:00", "2026-03-02T09:30:00"};
    const double percents[] = {50, 50, 200.0 / 3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(QString::fromLatin1(times[i]),
                  QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(points[i].x())).toString(Qt::ISODate));
        EXPECT_DOUBLE_EQ(percents[i], points[i].y());
    }
    auto* days = window.DayChart->chart()->findChild<QBarSet*>("DaySet");
    ASSERT_NE(nullptr, days);
    ASSERT_EQ(2, days->count());
    EXPECT_EQ(4, days->at(0));
    EXPECT_EQ(5, days->at(1));
    auto* dayAxis = qobject_cast<QBarCategoryAxis*>(window.DayChart->chart()->axes(Qt::Horizontal).value(0));
    ASSERT_NE(nullptr, dayAxis);
    EXPECT_EQ((QStringList{"3/1", "3/2"}), dayAxis->categories());

    QTableView* grid = window.MissedGrid;
    EXPECT_EQ((QStringList{"犬", "鳥", "猫"}), column(grid, 0)) << "most wrong, then the latest answered";
    EXPECT_EQ((QStringList{"dog", "bird", "cat"}), column(grid, 1));
    EXPECT_EQ((QStringList{"2", "1", "1"}), column(grid, 2));
    EXPECT_EQ((QStringList{"2026/03/02 09:30:01", "2026/03/02 09:30:02", "2026/03/02 09:00:02"}),
              column(grid, 3));
    clickHeader(grid, 1);
    EXPECT_EQ((QStringList{"bird", "cat", "dog"}), column(grid, 1));
    clickHeader(grid, 1);
    EXPECT_EQ((QStringList{"dog", "cat", "bird"}), column(grid, 1));
    clickHeader(grid, 3); // newest first
    EXPECT_EQ((QStringList{"鳥", "犬", "猫"}), column(grid, 0));

    window.TitleBox->setCurrentIndex(1);
    emit window.TitleBox->activated(1);
    EXPECT_EQ(QStringLiteral("統計 - 空のタイトル"), window.windowTitle());
    EXPECT_TRUE(window.NoteLabel->isVisible());
    EXPECT_EQ(
        QStringLiteral("このタイトルにはまだ練習の記録がありません。練習するとここにグラフが表示されます。"),
        window.NoteLabel->text());
    accuracy = window.AccuracyChart->chart()->findChild<QLineSeries*>("AccuracySeries");
    ASSERT_NE(nullptr, accuracy);
    EXPECT_EQ(0, accuracy->count());
    EXPECT_EQ(0, window.DayChart->chart()->findChild<QBarSet*>("DaySet")->count());
    EXPECT_EQ(0, grid->model()->rowCount());
    EXPECT_FALSE(window.ExportButton->isEnabled());
    EXPECT_FALSE(window.ClearTitleButton->isEnabled());
}

TEST_F(StatisticsWindowTest, AnUnreadableHistoryIsToldInTheWindow) {
    std::filesystem::create_directories(data.file("rovik"));
    sqlite3* db = nullptr;
    sqlite3_open(history().c_str(), &db);
    sqlite3_exec(db, "CREATE TABLE runs(x); CREATE TABLE answers(y); PRAGMA user_version = 9", nullptr,
                 nullptr, nullptr);
    sqlite3_close(db);
    StatisticsWindow window({{"英単語"}, 0, true, 0});
    window.show();
    EXPECT_TRUE(window.NoteLabel->isVisible());
    EXPECT_EQ(QStringLiteral("履歴を読めません。\nthe history was written by a newer Rovik (schema 9)"),
              window.NoteLabel->text());
    EXPECT_FALSE(window.TotalsLabel->isVisible()) << "no figures to total";
    for (QPushButton* button :
         {window.MostMissedButton, window.ExportButton, window.ClearTitleButton, window.ClearAllButton})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_TRUE(window.CloseButton->isEnabled());
}

// From the quiz window: the three most-missed questions of the loaded title that the file still
// has (Q9 was removed from it), in that order, whatever the category box and 誤答のみ say.
TEST_F(StatisticsWindowTest, MostMissedRunDrillsThemInTheQuizWindow) {
    {
        HistoryStore store;
        ASSERT_TRUE(store.open(history()));
        addRun(store, "Words", "2026-03-01T10:00:00",
               {{"Q1", "A1", false, "2026-03-01T10:00:01"},
                {"Q2", "A2", false, "2026-03-01T10:00:02"},
                {"Q4", "A4", false, "2026-03-01T10:00:03"},
                {"Q9", "A9", false, "2026-03-01T10:00:04"},
                {"Q3", "A3", true, "2026-03-01T10:00:05"}});
        addRun(store, "Words", "2026-03-02T10:00:00",
               {{"Q4", "A4", false, "2026-03-02T10:00:01"},
                {"Q9", "A9", false, "2026-03-02T10:00:02"},
                {"Q2", "A2", false, "2026-03-02T10:00:03"},
                {"Q4", "A4", false, "2026-03-02T10:00:04"},
                {"Q5", "A5", false, "2026-03-02T10:00:05"}});
        addRun(store, "Other", "2026-03-02T11:00:00", {{"Q3", "A3", false, "2026-03-02T11:00:01"}});
    }
    test::TempFolder folder;
    test::CurrentFolder here{folder.path()};
    const ProgramValues saved = programValues();
    programValues().startFolder = folder.path();
    folder.write("RovikQA.TXT", "tTitle\tWords\t3\t3\r\ndBunrui\tOne\r\ndBunrui\tTwo\r\n"
                                "11\tQ1\tA1\tR1\t0\r\n11\tQ2\tA2\tR2\t0\r\n11\tQ3\tA3\tR3\t0\r\n"
                                "21\tQ4\tA4\tR4\t0\r\n21\tQ5\tA5\tR5\t0\r\n");
    test::ScriptedPrompter prompter;
    {
        TForm2 form;
        form.setPrompter(&prompter);
        test::onNextModalDialog([](QWidget* dialog) {
            auto* grid = dialog->findChild<QTableWidget*>();
            ASSERT_NE(nullptr, grid);
            test::click(grid->viewport(), grid->visualRect(grid->model()->index(0, 0)).center());
        });
        form.FormActivate();
        form.ComboBox1->setCurrentIndex(1); // 分類A: One (Q4 and Q5 are in Two)
        form.ComboBox5->setCurrentIndex(1); // 誤答のみ: nothing is marked in this window
        test::onNextModalDialog([](QWidget* dialog) {
            auto* count = dialog->findChild<QSpinBox*>("MostMissedCount");
            auto* start = dialog->findChild<QPushButton*>("MostMissedButton");
            ASSERT_NE(nullptr, count);
            ASSERT_NE(nullptr, start);
            EXPECT_TRUE(start->isVisible());
            EXPECT_TRUE(start->isEnabled());
            count->setValue(3);
            start->click();
        });
        form.Statistics1->trigger();
        EXPECT_EQ("(1/3)", form.Memo1->toPlainText().toStdString());
        QStringList asked;
        for (int i = 0; i < 3; ++i) {
            asked << form.Memo2->toPlainText();
            if (i == 2)
                prompter.expectMessage("終了しますか？", "全問正解", Buttons::YesNo, Icon::None, Answer::Yes);
            form.Button2->click();
            form.Button3->click();
        }
        EXPECT_EQ((QStringList{"Q4", "Q2", "Q5"}), asked);
        EXPECT_TRUE(form.Button1->isEnabled()) << "the run has ended";
        EXPECT_TRUE(prompter.done());
    }
    programValues() = saved;
}

struct DataListStatisticsTest : test::EditorWindowTest {
    test::TempFolder data;
    test::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
};

// From the data list: the titles of its data, the shown one first, and no quiz run to start.
TEST_F(DataListStatisticsTest, OpensOnTheShownTitle) {
    openText("drill.txt", test::titleText("Alpha", 2) + test::titleText("Beta", 2));
    selectTitle(1);
    bool opened = false;
    test::onNextModalDialog([&](QWidget* dialog) {
        auto* window = qobject_cast<StatisticsWindow*>(dialog);
        ASSERT_NE(nullptr, window);
        opened = true;
        EXPECT_EQ(2, window->TitleBox->count());
        EXPECT_EQ(QStringLiteral("Beta"), window->TitleBox->currentText());
        EXPECT_FALSE(window->MostMissedButton->isVisible());
    });
    form.Statistics1->trigger();
    EXPECT_TRUE(opened);
}

} // namespace
} // namespace rovik
#endif
