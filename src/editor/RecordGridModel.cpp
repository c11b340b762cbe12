#include "editor/RecordGridModel.h"

#include "datalist/DataListLogic.h"
#include "platform/Cp932.h"

#include <QApplication>
#include <QPalette>

namespace rovik {

RecordGridModel::RecordGridModel(const DataListLogic& logic, QObject* parent)
    : QAbstractTableModel(parent), m_logic(logic) {}

int RecordGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_logic.recordRows().count();
}

int RecordGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 4;
}

QVariant RecordGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= 4) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(cp932ToUtf8(m_logic.cellText(index.row() + 1, index.column())));
    // Column 0 is the grid's fixed column.
    if (role == Qt::BackgroundRole && index.column() == 0) return QApplication::palette().button();
    return {};
}

QVariant RecordGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    // The fixed row shows no captions, but a screen reader names each column when the cell moves.
    if (role == Qt::AccessibleTextRole && orientation == Qt::Horizontal) {
        static const char* const kColumns[] = {"番号", "質問", "解答", "参考"};
        return section >= 0 && section < 4 ? QString::fromUtf8(kColumns[section]) : QVariant();
    }
    if (role != Qt::DisplayRole) return {};
    // The vertical header is the fixed number column, frozen while the grid scrolls sideways;
    // the fixed row stays blank.
    if (orientation == Qt::Vertical)
        return QString::fromStdString(cp932ToUtf8(m_logic.cellText(section + 1, 0)));
    return QString();
}

void RecordGridModel::reload() {
    beginResetModel();
    endResetModel();
}

} // namespace rovik
