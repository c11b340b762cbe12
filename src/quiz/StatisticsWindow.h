#pragma once
// The statistics window (統計): one title's history as a chart of the accuracy of each run, a
// chart of the answers per day, the totals and a table of the most-missed questions; it clears
// and exports the history. Opened from the quiz window, it also offers 苦手な問題で開始.
#include "history/StatisticsModel.h"

#include <QDialog>

#include <memory>
#include <optional>

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTableView;

namespace rovik {

class MissedTableModel;
class Prompter;

class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kHelpTopic = "topic11";

    struct Request {
        std::vector<std::string> titles; // UTF-8; none: every title the history holds
        int shown = 0;                   // index into titles shown first
        bool offerMostMissed = false;    // opened from the quiz window
        int quizTitle = -1;              // index of the title the quiz can drill now; -1 none
    };

    // Without a prompter the window asks through real dialogs.
    StatisticsWindow(Request request, Prompter* prompter = nullptr, QWidget* parent = nullptr);
    ~StatisticsWindow() override;

    StatisticsModel& model() { return *m_model; }
    // After 苦手な問題で開始 closed the window: how many questions to drill.
    std::optional<int> mostMissedCount() const { return m_mostMissedCount; }

    QLabel* TitleLabel;
    QComboBox* TitleBox;
    QLabel* TotalsLabel;
    QLabel* NoteLabel;
    QChartView* AccuracyChart;
    QChartView* DayChart;
    QTableView* MissedGrid;
    QLabel* CountLabel;
    QSpinBox* MostMissedCount;
    QPushButton* MostMissedButton;
    QPushButton* ExportButton;
    QPushButton* ClearTitleButton;
    QPushButton* ClearAllButton;
    QPushButton* CloseButton;
    QStatusBar* StatusBar;

private:
    void createControls();
    QLayout* createCommandRow();
    void fillTitles();
    void showTitle(int index);
    void showFigures();
    void updateCommands();
    void startMostMissed();
    void clearTitle();
    void clearAll();
    void exportCsv();

    Request m_request;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter* m_prompter;
    std::unique_ptr<StatisticsModel> m_model;
    MissedTableModel* m_table = nullptr;
    std::optional<int> m_mostMissedCount;
};

} // namespace rovik
