#ifndef KORVANI_ITEMVIEWS_H
#define KORVANI_ITEMVIEWS_H

#include <QListView>
#include <QTableView>

#include <functional>

// An entry of a context menu: its text and what choosing it does.
struct MenuCommand
{
    QString text;
    std::function<void()> run;
};

// Runs the context menu of a list with its "Add" and "Remove" entries, after
// the given commands of the chosen row, at a position in the view's viewport,
// and discards it afterwards. Add and Remove show the Insert and Delete keys.
void execAddRemoveMenu(QAbstractItemView *view, const QPoint &pos, const MenuCommand &add, const MenuCommand &remove,
                       const QList<QAction *> &rowActions = {});

// List and table views whose Insert key asks the owner for a new row and whose
// Delete key removes the selected rows.
class ListView : public QListView
{
    Q_OBJECT

public:
    explicit ListView(QWidget *parent = nullptr);

signals:
    void insertRequested();

public slots:
    virtual void removeSelectedRow();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // A drag that ends as a move removes the dragged rows only when it was
    // dropped on this view: a file manager that moves what it was given must
    // not take the rows away with it.
    void startDrag(Qt::DropActions supportedActions) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool m_droppedHere = false;
};

class TableView : public QTableView
{
    Q_OBJECT

public:
    explicit TableView(QWidget *parent = nullptr);

signals:
    void insertRequested();

public slots:
    virtual void removeSelectedRow();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    // Tab and Shift+Tab inside a cell editor move the edit to the next or the
    // previous cell, also when a part of the editor (a completer's list, the
    // line edit of a path field) takes the key before the item delegate does.
    bool focusNextPrevChild(bool next) override;
};

#endif
