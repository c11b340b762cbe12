#include "quiz/MissedTableModel.h"

namespace rovik {
namespace {
constexpr int kColumns = 4;

MissedColumn columnOf(int section) {
    switch (section) {
    case 0:
        return MissedColumn::Question;
    case 1:
        return MissedColumn::Answer;
    case 2:
        return MissedColumn::Wrong;
    default:
        return MissedColumn::LastAnswered;
    }
}

// "2026-03-01T10:00:01" as "2026/03/01 10:00:01".
QString shownTime(const std::string& time) {
    QString text = QString::fromStdString(time);
    text.replace(QLatin1Char('T'), QLatin1Char(' '));
    text.replace(QLatin1Char('-'), QLatin1Char('/'));
    return text;
}
} // namespace

MissedTableModel::MissedTableModel(StatisticsModel& statistics, QObject* parent)
    : QAbstractTableModel(parent), m_statistics(statistics) {}

void MissedTableModel::refill() {
    beginResetModel();
    m_statistics.sortMissed(columnOf(m_sortColumn), m_sortOrder == Qt::AscendingOrder);
    endResetModel();
}

int MissedTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_statistics.missed().size());
}

int MissedTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant MissedTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumns) return {};
    const MissedQuestion& q = m_statistics.missed()[static_cast<size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == 2)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    switch (index.column()) {
    case 0:
        return QString::fromStdString(q.question);
    case 1:
        return QString::fromStdString(q.answer);
    case 2:
        return role == Qt::ToolTipRole
                   ? QVariant(QStringLiteral("%1回中%2回不正解").arg(q.asked).arg(q.wrong))
                   : QVariant(q.wrong);
    default:
        return shownTime(q.lastAnswered);
    }
}

QVariant MissedTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // Texts from A, counts and times from the largest.
    if (role == Qt::InitialSortOrderRole)
        return static_cast<int>(section >= 2 ? Qt::DescendingOrder : Qt::AscendingOrder);
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char* const kTitles[kColumns] = {"問題", "解答", "誤答数", "最終解答"};
    return section >= 0 && section < kColumns ? QString::fromUtf8(kTitles[section]) : QVariant();
}

void MissedTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumns) return;
    m_sortColumn = column;
    m_sortOrder = order;
    refill();
}

} // namespace rovik
