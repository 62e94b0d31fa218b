#ifndef KORVANI_ENTRYEDITING_H
#define KORVANI_ENTRYEDITING_H

#include <QObject>

class LauncherDataModel;
class QModelIndex;
class QWidget;

// Opens the entry editor for the launcher, on an entry of the list or on a new
// one, and writes what the user saves back into the list.
class EntryEditing : public QObject
{
    Q_OBJECT

public:
    // The editor opens over the given widget, which owns this object.
    EntryEditing(LauncherDataModel *model, QWidget *parent);

    // The entry at an index of the model, or of a filter over it.
    void edit(const QModelIndex &index);
    // Appends a new entry with these marks and star, which the tab the user
    // added it in shows, and opens the editor on it. Unless it is saved, it
    // goes again.
    void add(int tag, bool favorite);

private:
    bool runEditor(const QModelIndex &entry);

    LauncherDataModel *m_model;
    QWidget *m_dialogParent;
};

#endif
