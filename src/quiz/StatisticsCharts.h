#pragma once
// The statistics window's two charts, drawn from the figures of one title: the accuracy of each
// run over time (a line, "AccuracySeries") and the answers per day (bars, "DaySet").
#include "history/StatisticsModel.h"

class QChart;

namespace rovik {

QChart* makeAccuracyChart(const StatisticsModel& model);
QChart* makeDayChart(const StatisticsModel& model);

} // namespace rovik
