#ifndef KORVANI_ENTRYEDITING_H
#define KORVANI_ENTRYEDITING_H

#include <QModelIndex>
#include <QObject>

class LauncherDataModel;
class QWidget;
class UserPrompts;

// Opens the entry editor for the launcher, on an entry of the list or on a new
// one, and writes what the user saves back into the list.
class EntryEditing : public QObject
{
    Q_OBJECT

public:
    // The editor opens over the given widget, which owns this object, and
    // looks programs' templates up in templateFolder.
    EntryEditing(LauncherDataModel *model, const QString &templateFolder, UserPrompts *prompts, QWidget *parent);

    // The entry at an index of the model, or of a filter over it.
    void edit(const QModelIndex &index);
    // Appends a new entry with these marks and star, which the tab the user
    // added it in shows, and opens the editor on it. Unless it is saved, it
    // goes again: the entry's index when it stays, else an invalid one.
    QModelIndex add(int tag, bool favorite);

private:
    // True when the user saved.
    bool runEditor(const QModelIndex &entry);

    LauncherDataModel *m_model;
    QString m_templateFolder;
    UserPrompts *m_prompts;
    QWidget *m_dialogParent;
};

#endif
