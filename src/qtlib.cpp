#include "qtlib.h"

#include <QKeyEvent>

namespace {

// Removes the selected rows one at a time, asking the selection again after each
// removal, so that a row selected in several columns goes once and the rows
// follow the order in which they were selected.
void removeSelectedRows(QAbstractItemView *view)
{
    if (!view->model() || !view->selectionModel())
        return;
    QModelIndexList selected = view->selectionModel()->selectedIndexes();
    while (!selected.isEmpty()) {
        view->model()->removeRow(selected.first().row(), QModelIndex());
        QModelIndexList remaining = view->selectionModel()->selectedIndexes();
        // A model that refuses the removal keeps the selection as it was.
        if (remaining == selected)
            break;
        selected = remaining;
    }
}

} // namespace

ListView::ListView(QWidget *parent)
    : QListView(parent)
{
}

void ListView::removeSelectedRow()
{
    removeSelectedRows(this);
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete)
        removeSelectedRow();
    else if (event->key() == Qt::Key_Insert)
        emit insertRequested();
    else
        QAbstractItemView::keyPressEvent(event);
}

TableView::TableView(QWidget *parent)
    : QTableView(parent)
{
}

void TableView::removeSelectedRow()
{
    removeSelectedRows(this);
}

void TableView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete)
        removeSelectedRow();
    else if (event->key() == Qt::Key_Insert)
        emit insertRequested();
    else
        QAbstractItemView::keyPressEvent(event);
}
