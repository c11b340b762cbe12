#pragma once
// The records grid over the shown title: four columns (number, question, answer, reference),
// cells read from the logic on demand, so a title of any size shows at once.
#include <QAbstractTableModel>

namespace rovik {

class DataListLogic;

class RecordGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordGridModel(const DataListLogic& logic, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The rows were rebuilt.
    void reload();

private:
    const DataListLogic& m_logic;
};

} // namespace rovik
