#pragma once
// The statistics window's table of most-missed questions: question, answer, wrong count and last
// answered, over the rows of StatisticsModel; sorting by a column is the model's.
#include "history/StatisticsModel.h"

#include <QAbstractTableModel>

namespace rovik {

class MissedTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MissedTableModel(StatisticsModel& statistics, QObject* parent = nullptr);

    // The statistics were read again: every row anew, in the present sort order.
    void refill();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    StatisticsModel& m_statistics;
    int m_sortColumn = 2;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
};

} // namespace rovik
