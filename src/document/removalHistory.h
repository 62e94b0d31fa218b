#ifndef KORVANI_REMOVALHISTORY_H
#define KORVANI_REMOVALHISTORY_H

#include "records/records.h"

#include <QList>
#include <QObject>

class LauncherDataModel;

// Removes entries from the list so that they can be put back: each removal is
// one step, and undo() puts the entries of the last step back where they were,
// as many steps back as were made while the program runs. A new list read into
// the model forgets them.
class RemovalHistory : public QObject
{
    Q_OBJECT

public:
    explicit RemovalHistory(LauncherDataModel *model, QObject *parent = nullptr);

    // Removes the entries at these rows of the model as one step.
    void remove(QList<int> rows);
    bool canUndo() const { return !m_steps.isEmpty(); }

signals:
    void canUndoChanged(bool canUndo);

public slots:
    void undo();

private slots:
    void forget();

private:
    struct Removed
    {
        int row;
        ApplicationData application;
    };

    LauncherDataModel *m_model;
    QList<QList<Removed>> m_steps; // each in the order of the rows
};

#endif
