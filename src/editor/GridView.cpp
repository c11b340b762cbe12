#include "editor/GridView.h"

#include <QKeyEvent>

namespace rovik {

GridView::GridView(QWidget* parent) : QTableView(parent) {
    setTabKeyNavigation(false);
}

// QTableView reports a focus change to screen readers for every new current cell, focused or not:
// a title chosen in the title list made the records grid claim the focus, and the reader spoke
// the first question instead of the title.
void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (hasFocus())
        QTableView::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous);
}

void GridView::keyPressEvent(QKeyEvent* event) {
    const bool menuKey = event->key() == Qt::Key_Menu ||
                         (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
    if (menuKey && contextMenuPolicy() == Qt::CustomContextMenu) {
        const QRect cell = visualRect(currentIndex());
        emit customContextMenuRequested(cell.isValid() ? cell.center() : QPoint(0, 0));
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        emit rowEntered();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace rovik
