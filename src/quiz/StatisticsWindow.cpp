#include "quiz/StatisticsWindow.h"

#include "gui/Help.h"
#include "gui/QtPrompter.h"
#include "quiz/MissedTableModel.h"
#include "quiz/StatisticsCharts.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace rovik {
namespace {
constexpr int kDefaultCount = 10;
constexpr int kMostCount = 500; // the quiz drills at most 500 questions of a title

QChartView* makeChartView(QWidget* parent, const char* name, const QString& accessibleName) {
    auto* view = new QChartView(parent);
    view->setObjectName(QLatin1String(name));
    view->setAccessibleName(accessibleName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(360, 240);
    // Nothing to do in a chart with keys: Tab passes it by.
    view->setFocusPolicy(Qt::NoFocus);
    view->viewport()->setFocusPolicy(Qt::NoFocus);
    return view;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

// The view owns the chart it shows but lets go of the one it showed before.
void replaceChart(QChartView* view, QChart* chart) {
    QChart* old = view->chart();
    view->setChart(chart);
    delete old;
}
} // namespace

StatisticsWindow::StatisticsWindow(Request request, Prompter* prompter, QWidget* parent)
    : QDialog(parent), m_request(std::move(request)) {
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QStringLiteral("統計"));
    if (!prompter) m_ownPrompter = std::make_unique<QtPrompter>(this);
    m_prompter = prompter ? prompter : m_ownPrompter.get();
    m_model = std::make_unique<StatisticsModel>(defaultHistoryPath(), m_request.titles);
    createControls();
    setProperty("helpTopic", kHelpTopic);
    installHelpKey(this, kHelpTopic, [this]() -> Prompter& { return *m_prompter; });

    m_model->open();
    if (!m_model->note().empty()) StatusBar->showMessage(QString::fromStdString(m_model->note()));
    fillTitles();
    const int count = static_cast<int>(m_model->titles().size());
    showTitle(m_request.shown >= 0 && m_request.shown < count ? m_request.shown : 0);
}

StatisticsWindow::~StatisticsWindow() = default;

void StatisticsWindow::createControls() {
    TitleLabel = new QLabel(QStringLiteral("タイトル(&T)"), this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleBox = new QComboBox(this);
    TitleBox->setObjectName(QStringLiteral("TitleBox"));
    TitleBox->setAccessibleName(QStringLiteral("タイトル"));
    TitleBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    TitleLabel->setBuddy(TitleBox);
    TotalsLabel = new QLabel(this);
    TotalsLabel->setObjectName(QStringLiteral("TotalsLabel"));
    TotalsLabel->setAccessibleName(QStringLiteral("合計"));
    TotalsLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    NoteLabel = new QLabel(this);
    NoteLabel->setObjectName(QStringLiteral("NoteLabel"));
    NoteLabel->setAccessibleName(QStringLiteral("お知らせ"));
    NoteLabel->setWordWrap(true);

    AccuracyChart = makeChartView(this, "AccuracyChart", QStringLiteral("回ごとの正答率のグラフ"));
    DayChart = makeChartView(this, "DayChart", QStringLiteral("1日あたりの解答数のグラフ"));

    MissedGrid = new QTableView(this);
    MissedGrid->setObjectName(QStringLiteral("MissedGrid"));
    MissedGrid->setAccessibleName(QStringLiteral("よく間違える問題"));
    m_table = new MissedTableModel(*m_model, this);
    MissedGrid->setModel(m_table);
    MissedGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    MissedGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MissedGrid->horizontalHeader()->setSortIndicator(2, Qt::DescendingOrder);
    MissedGrid->setSortingEnabled(true);
    MissedGrid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    MissedGrid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    MissedGrid->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    MissedGrid->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(TitleLabel);
    titleRow->addWidget(TitleBox);
    titleRow->addStretch();
    auto* charts = new QHBoxLayout;
    charts->addWidget(AccuracyChart);
    charts->addWidget(DayChart);
    auto* missedLabel = new QLabel(QStringLiteral("よく間違える問題(&M)"), this);
    missedLabel->setObjectName(QStringLiteral("MissedLabel"));
    missedLabel->setBuddy(MissedGrid);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(titleRow);
    layout->addWidget(TotalsLabel);
    layout->addWidget(NoteLabel);
    layout->addLayout(charts, 3);
    layout->addWidget(missedLabel);
    layout->addWidget(MissedGrid, 2);
    layout->addLayout(createCommandRow());
    layout->addWidget(StatusBar);
    resize(820, 640);

    connect(TitleBox, qOverload<int>(&QComboBox::activated), this, &StatisticsWindow::showTitle);
}

QLayout* StatisticsWindow::createCommandRow() {
    CountLabel = new QLabel(QStringLiteral("出題数(&N)"), this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    MostMissedCount = new QSpinBox(this);
    MostMissedCount->setObjectName(QStringLiteral("MostMissedCount"));
    MostMissedCount->setRange(1, kMostCount);
    MostMissedCount->setValue(kDefaultCount);
    CountLabel->setBuddy(MostMissedCount);
    MostMissedButton = makeButton(this, "MostMissedButton", QStringLiteral("苦手な問題で開始"));
    MostMissedButton->setToolTip(
        QStringLiteral("よく間違える問題から指定した数だけ、クイズ画面で出題します。"));
    ExportButton = makeButton(this, "ExportButton", QStringLiteral("CSV出力(&S)..."));
    ClearTitleButton = makeButton(this, "ClearTitleButton", QStringLiteral("履歴を消去"));
    ClearTitleButton->setToolTip(QStringLiteral("表示中のタイトルの履歴を消去します。"));
    ClearAllButton = makeButton(this, "ClearAllButton", QStringLiteral("すべての履歴を消去"));
    ClearAllButton->setToolTip(QStringLiteral("すべてのタイトルの履歴を消去します。"));
    CloseButton = makeButton(this, "CloseButton", QStringLiteral("閉じる(&X)"));

    auto* row = new QHBoxLayout;
    for (QWidget* control : {static_cast<QWidget*>(CountLabel), static_cast<QWidget*>(MostMissedCount),
                             static_cast<QWidget*>(MostMissedButton)}) {
        row->addWidget(control);
        control->setVisible(m_request.offerMostMissed);
    }
    row->addStretch();
    for (QPushButton* button : {ExportButton, ClearTitleButton, ClearAllButton, CloseButton})
        row->addWidget(button);

    connect(MostMissedButton, &QPushButton::clicked, this, &StatisticsWindow::startMostMissed);
    connect(ExportButton, &QPushButton::clicked, this, &StatisticsWindow::exportCsv);
    connect(ClearTitleButton, &QPushButton::clicked, this, &StatisticsWindow::clearTitle);
    connect(ClearAllButton, &QPushButton::clicked, this, &StatisticsWindow::clearAll);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
    return row;
}

void StatisticsWindow::fillTitles() {
    TitleBox->clear();
    for (const std::string& title : m_model->titles())
        TitleBox->addItem(QString::fromStdString(title));
    // The selector is there only when there is something to choose.
    const bool several = m_model->titles().size() > 1;
    TitleLabel->setVisible(several);
    TitleBox->setVisible(several);
}

void StatisticsWindow::showTitle(int index) {
    m_model->showTitle(index);
    showFigures();
}

void StatisticsWindow::showFigures() {
    const int shown = m_model->shownTitle();
    if (shown >= 0) TitleBox->setCurrentIndex(shown);
    const QString name = QString::fromStdString(m_model->shownTitleName());
    setWindowTitle(name.isEmpty() ? QStringLiteral("統計") : QStringLiteral("統計 - ") + name);
    QString note;
    if (!m_model->problem().empty())
        note = QString::fromStdString(m_model->problem());
    else if (m_model->titles().empty())
        note = QStringLiteral("練習の履歴はまだありません。");
    else if (m_model->runs().empty())
        note = QStringLiteral(
            "このタイトルにはまだ練習の記録がありません。練習するとここにグラフが表示されます。");
    NoteLabel->setText(note);
    NoteLabel->setVisible(!note.isEmpty());
    // A history that cannot be read stands out; a title not drilled yet is only a note.
    NoteLabel->setStyleSheet(m_model->problem().empty() ? QString() : QStringLiteral("color: #a00000;"));
    TotalsLabel->setText(QString::fromStdString(totalsText(m_model->totals())));
    TotalsLabel->setVisible(m_model->problem().empty());
    replaceChart(AccuracyChart, makeAccuracyChart(*m_model));
    replaceChart(DayChart, makeDayChart(*m_model));
    m_table->refill();
    updateCommands();
}

void StatisticsWindow::updateCommands() {
    const bool readable = m_model->problem().empty();
    const bool hasRuns = readable && !m_model->runs().empty();
    const bool quizTitle = m_request.quizTitle >= 0 && m_model->shownTitle() == m_request.quizTitle &&
                           m_model->titles() == m_request.titles;
    MostMissedButton->setEnabled(quizTitle && !m_model->ranked().empty());
    MostMissedCount->setEnabled(MostMissedButton->isEnabled());
    ExportButton->setEnabled(hasRuns);
    ClearTitleButton->setEnabled(hasRuns);
    ClearAllButton->setEnabled(readable && !m_model->titles().empty());
}

void StatisticsWindow::startMostMissed() {
    m_mostMissedCount = MostMissedCount->value();
    accept();
}

void StatisticsWindow::clearTitle() {
    if (!m_model->clearShownTitle(*m_prompter)) return;
    fillTitles();
    showFigures();
    StatusBar->showMessage(QStringLiteral("履歴を消去しました。"));
}

void StatisticsWindow::clearAll() {
    if (!m_model->clearAll(*m_prompter)) return;
    fillTitles();
    showFigures();
    StatusBar->showMessage(QStringLiteral("すべての履歴を消去しました。"));
}

void StatisticsWindow::exportCsv() {
    const std::string path = m_model->exportCsv(*m_prompter);
    if (!path.empty())
        StatusBar->showMessage(QStringLiteral("CSVファイルに書き出しました: ") +
                               QString::fromStdString(path));
}

} // namespace rovik
