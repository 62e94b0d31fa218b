#ifndef KORVANI_LAUNCHERDOCUMENT_H
#define KORVANI_LAUNCHERDOCUMENT_H

#include "document/fileSnapshot.h"
#include "records/launcherFile.h"

#include <QObject>
#include <QTimer>

class DataFolder;
class LauncherDataModel;
class LauncherFileMonitor;
class RemovalHistory;
class UserPrompts;

// The launcher's entries and their file: the one list of entries, what Remove
// took for Undo to put back, and the launcher file they were read from or
// saved to, which is watched while the program runs. The entries are
// unsaved while they differ from those last read or written.
//
// Another program may change the file meanwhile. Without unsaved entries the
// file is read again; with them, or at a save that finds the file changed,
// the user chooses between their version and ours, and "Keep mine" keeps
// theirs beside the file. Where nobody can answer, both are kept. Nothing of
// either is written over unasked.
class LauncherDocument : public QObject
{
    Q_OBJECT

public:
    enum class SaveOutcome { Saved, NothingToSave, Cancelled, Failed };
    // The file on disk, compared with the version last read or written.
    enum class DiskState { AsKnown, Changed, Gone };

    // The document of the data folder's launcher file, not yet read; it asks
    // and tells the user through prompts.
    LauncherDocument(const DataFolder &folder, UserPrompts *prompts, QObject *parent = nullptr);
    ~LauncherDocument() override;

    LauncherDataModel *model() const { return m_model; }
    RemovalHistory *removalHistory() const { return m_removals; }
    // The file last read or written; the data folder's launcher file at first.
    QString fileName() const { return m_fileName; }

    // Reads the launcher file: what the user should be told of it, if anything.
    QString load();
    // Reads a launcher file into the entries and watches it from now on. False
    // when there is no file or it cannot be read, which leaves the entries as
    // they were; what went wrong goes to problem.
    bool read(const QString &fileName, LauncherFileProblem *problem = nullptr);
    // Writes the entries to a file, which is watched from now on. A file that
    // could be neither read nor copied is not written over until it can be
    // read or has gone. False with the reason.
    bool write(const QString &fileName, QString *errorString = nullptr);

    // Whether the entries differ from those last read or written.
    bool isModified() const;
    DiskState diskState() const;

    // Writes the entries when they are unsaved; when the file has changed on
    // disk, asks first, or without asking keeps both. Failed and Cancelled
    // leave the entries unsaved; Failed says why.
    SaveOutcome save(bool asking, QString *error);

private:
    // The launcher file as it is now.
    FileSnapshot onDisk() const;
    void changedOnDisk(const FileSnapshot &snapshot);
    // Takes the entries read from the file as it was in snapshot, with what
    // reading them found.
    void adopt(const FileSnapshot &snapshot, const ApplicationDataList &entries, const LauncherFileProblem &problem);
    void reload();
    QString problemMessage(const LauncherFileProblem &problem) const;
    // A free name beside the file, with the date and time, for a version of
    // it that is kept there.
    QString conflictCopyName() const;
    SaveOutcome keepBoth(bool asking, QString *error);
    SaveOutcome writeOut(QString *error);

    UserPrompts *m_prompts;
    LauncherDataModel *m_model;
    RemovalHistory *m_removals;
    LauncherFileMonitor *m_monitor;
    QString m_fileName;
    // The entries as last read or written, and the version of the file they
    // were read from or written to.
    ApplicationDataList m_saved;
    FileSnapshot m_known;
    // A file that could be neither read nor copied.
    QString m_keptFile;
    bool m_asking = false;
    QTimer m_busyRetry;
    // The version of theirs that the user chose not to act on yet.
    QByteArray m_declined;
};

#endif
