#ifndef KORVANI_PROGRAMIMPORT_H
#define KORVANI_PROGRAMIMPORT_H

#include "records/records.h"

#include <QObject>
#include <QStringList>

class LauncherDataModel;
class QWidget;
class UserPrompts;

// Brings programs into the launcher as new entries at the end of the list:
// the files dropped onto it, and the installed programs the user picks. A
// desktop entry becomes the same entry either way.
class ProgramImport : public QObject
{
    Q_OBJECT

public:
    // Dialogs open over the given widget, which owns this object; what could
    // not be added is told through prompts.
    ProgramImport(LauncherDataModel *model, UserPrompts *prompts, QWidget *parent);

    // An entry for each file, in order, folders passed over; a box names the
    // files that could not be added and why.
    void addFiles(const QStringList &filePaths);

public slots:
    // Lets the user pick among the programs the desktop offers, and adds them.
    void addInstalledPrograms();

private:
    // The entry for a file, false with the reason when it is refused.
    bool entryFor(const QString &filePath, ApplicationData *application, QString *error) const;

    LauncherDataModel *m_model;
    UserPrompts *m_prompts;
    QWidget *m_dialogParent;
};

#endif
