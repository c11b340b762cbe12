#include "quiz/StatisticsCharts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QValueAxis>

#include <algorithm>

namespace rovik {

QChart* makeAccuracyChart(const StatisticsModel& model) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("回ごとの正答率"));
    chart->legend()->hide();
    auto* series = new QLineSeries(chart);
    series->setObjectName(QStringLiteral("AccuracySeries"));
    series->setName(QStringLiteral("正答率"));
    series->setPointsVisible(true);
    for (const AccuracyPoint& point : model.accuracy())
        series->append(static_cast<qreal>(point.msecs), point.percent);
    chart->addSeries(series);
    auto* time = new QDateTimeAxis(chart);
    TimeSpan span = model.timeSpan();
    if (span.format.empty()) { // no run yet: the last four days, a label a day
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        span = TimeSpan{now - 4 * 24 * 3600 * 1000LL, now, "M/d"};
    }
    time->setFormat(QString::fromStdString(span.format));
    time->setRange(QDateTime::fromMSecsSinceEpoch(span.from), QDateTime::fromMSecsSinceEpoch(span.to));
    time->setTickCount(5);
    // A little room beyond 0% and 100%, so that the points there are not cut in half.
    auto* percent = new QValueAxis(chart);
    percent->setRange(-5, 105);
    percent->setTickType(QValueAxis::TicksDynamic);
    percent->setTickAnchor(0);
    percent->setTickInterval(20);
    percent->setLabelFormat(QStringLiteral("%d%%"));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(percent, Qt::AlignLeft);
    series->attachAxis(time);
    series->attachAxis(percent);
    return chart;
}

QChart* makeDayChart(const StatisticsModel& model) {
    auto* chart = new QChart;
    chart->setTitle(model.earlierDaysLeftOut()
                        ? QStringLiteral("1日あたりの解答数（最近%1日）").arg(StatisticsModel::kDays)
                        : QStringLiteral("1日あたりの解答数"));
    chart->legend()->hide();
    auto* set = new QBarSet(QStringLiteral("解答数"), chart);
    set->setObjectName(QStringLiteral("DaySet"));
    int most = 0;
    for (const DayCount& day : model.days()) {
        set->append(day.answers);
        most = std::max(most, day.answers);
    }
    auto* series = new QBarSeries(chart);
    series->setObjectName(QStringLiteral("DaySeries"));
    series->append(set);
    chart->addSeries(series);
    auto* days = new QBarCategoryAxis(chart);
    for (const std::string& label : model.dayLabels())
        days->append(QString::fromStdString(label));
    const int step = countStep(most);
    auto* count = new QValueAxis(chart);
    count->setRange(0, std::max((most + step - 1) / step, 1) * step);
    count->setTickType(QValueAxis::TicksDynamic);
    count->setTickAnchor(0);
    count->setTickInterval(step);
    count->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(count, Qt::AlignLeft);
    series->attachAxis(days);
    series->attachAxis(count);
    return chart;
}

} // namespace rovik
