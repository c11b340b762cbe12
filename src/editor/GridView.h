#pragma once
// The data list's two grids: a table view that speaks only while it has the focus, leaves Tab to
// move between the windows' controls, and tells Enter and the context menu key to its window.
#include <QTableView>

namespace rovik {

class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(QWidget* parent = nullptr);

signals:
    // Enter or Return on the current row.
    void rowEntered();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace rovik
