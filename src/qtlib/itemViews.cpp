#include "qtlib/itemViews.h"

#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <algorithm>

namespace {

// Removes the selected rows one at a time, in the order in which they were
// selected, a row selected in several columns once. The rows are taken before
// the first removal: a view that keeps one row selected selects a neighbour
// when the selected row goes, which the user never chose.
void removeSelectedRows(QAbstractItemView *view)
{
    if (!view->model() || !view->selectionModel())
        return;
    QList<QPersistentModelIndex> rows;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes()) {
        if (std::none_of(rows.cbegin(), rows.cend(),
                         [&index](const QPersistentModelIndex &row) { return row.row() == index.row(); }))
            rows.append(index);
    }
    for (const QPersistentModelIndex &row : qAsConst(rows)) {
        if (row.isValid())
            view->model()->removeRow(row.row(), QModelIndex());
    }
}

// Delete removes the selected rows and Insert asks for a new one, whatever the
// modifiers. Tells whether the key was one of them.
template <typename View>
bool handleRowKey(View *view, QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete) {
        view->removeSelectedRow();
        return true;
    }
    if (event->key() == Qt::Key_Insert) {
        emit view->insertRequested();
        return true;
    }
    return false;
}

} // namespace

void execAddRemoveMenu(QAbstractItemView *view, const QPoint &pos, const MenuCommand &add, const MenuCommand &remove,
                       const QList<QAction *> &rowActions)
{
    QMenu menu(view);
    if (!rowActions.isEmpty()) {
        menu.addActions(rowActions);
        menu.addSeparator();
    }
    QAction *addAction = menu.addAction(QIcon(QStringLiteral(":/images/plus.png")), add.text);
    addAction->setShortcut(QKeySequence(Qt::Key_Insert));
    QObject::connect(addAction, &QAction::triggered, &menu, add.run);
    QAction *removeAction = menu.addAction(QIcon(QStringLiteral(":/images/x.png")), remove.text);
    removeAction->setShortcut(QKeySequence::Delete);
    QObject::connect(removeAction, &QAction::triggered, &menu, remove.run);
    // Views report the position in their viewport's coordinates.
    menu.exec(view->viewport()->mapToGlobal(pos));
}

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
    if (!handleRowKey(this, event))
        QAbstractItemView::keyPressEvent(event);
}

void ListView::startDrag(Qt::DropActions supportedActions)
{
    QModelIndexList indexes;
    for (const QModelIndex &index : selectedIndexes()) {
        if (model()->flags(index) & Qt::ItemIsDragEnabled)
            indexes.append(index);
    }
    if (indexes.isEmpty())
        return;
    QMimeData *mimeData = model()->mimeData(indexes);
    if (!mimeData)
        return;
    QList<QPersistentModelIndex> dragged;
    for (const QModelIndex &index : qAsConst(indexes))
        dragged.append(index);

    auto *drag = new QDrag(this);
    const QRect card = visualRect(indexes.first());
    drag->setPixmap(viewport()->grab(card));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - card.topLeft());
    drag->setMimeData(mimeData);
    m_droppedHere = false;
    const Qt::DropAction defaultAction = supportedActions & defaultDropAction() ? defaultDropAction() : Qt::CopyAction;
    if (drag->exec(supportedActions, defaultAction) == Qt::MoveAction && m_droppedHere) {
        // Rows dropped in front of the dragged ones have moved them down.
        std::sort(dragged.begin(), dragged.end(),
                  [](const QPersistentModelIndex &a, const QPersistentModelIndex &b) { return a.row() > b.row(); });
        for (const QPersistentModelIndex &index : qAsConst(dragged)) {
            if (index.isValid())
                model()->removeRow(index.row(), index.parent());
        }
    }
    m_droppedHere = false;
}

void ListView::dropEvent(QDropEvent *event)
{
    QListView::dropEvent(event);
    if (event->source() == this && event->isAccepted() && event->dropAction() == Qt::MoveAction)
        m_droppedHere = true;
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
    if (!handleRowKey(this, event))
        QAbstractItemView::keyPressEvent(event);
}

bool TableView::focusNextPrevChild(bool next)
{
    QWidget *editor = state() == EditingState ? indexWidget(currentIndex()) : nullptr;
    if (!editor)
        return QTableView::focusNextPrevChild(next);
    commitData(editor);
    closeEditor(editor, next ? QAbstractItemDelegate::EditNextItem : QAbstractItemDelegate::EditPreviousItem);
    return true;
}
