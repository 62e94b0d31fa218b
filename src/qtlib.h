#ifndef KORVANI_QTLIB_H
#define KORVANI_QTLIB_H

#include <QListView>
#include <QTableView>

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
};

#endif
