#ifndef KORVANI_LAUNCHERFILEMONITOR_H
#define KORVANI_LAUNCHERFILEMONITOR_H

#include "records/launcherFile.h"

#include <QObject>
#include <QTimer>

class QFileSystemWatcher;

// The launcher file as this program last read or wrote it, and whether the
// entries have changed since. While the program runs, the file is watched:
// another program may write it in place or rename a new file over it, as
// editors and sync tools do, and that is told, so that nothing of theirs is
// overwritten unnoticed.
class LauncherFileMonitor : public QObject
{
    Q_OBJECT

public:
    enum class DiskState {
        AsKnown, // what was read or written last, or still no file
        Changed, // something else than that
        Gone, // it was there, and is no more
    };

    explicit LauncherFileMonitor(QObject *parent = nullptr);

    // As readLauncherFile; the file is remembered and watched from now on.
    bool read(const QString &fileName, ApplicationDataList *list, LauncherFileProblem *problem);
    // As writeLauncherFile; what was written is remembered. A file that could
    // be neither read nor copied is not written over until it can be read or
    // has gone.
    bool write(const QString &fileName, const ApplicationDataList &list, QString *errorString);

    // Compares the file on disk with what was read or written last.
    DiskState diskState() const;
    // A number that tells versions of the file on disk apart.
    qint64 diskVersion() const;
    // A free name beside the file, with the date and time, for a version of
    // it that is kept there.
    QString conflictCopyName() const;
    // Keeps the file as it now is on disk under that name; false with the reason.
    bool keepDiskVersion(const QString &copyName, QString *errorString) const;
    // Writes the entries under that name, leaving the file alone; false with the reason.
    bool keepEntriesAs(const QString &copyName, const ApplicationDataList &list, QString *errorString) const;

    QString fileName() const { return m_fileName; }
    bool hasUnsavedEdits() const { return m_unsavedEdits; }
    // After edits that were taken back at once, such as a new entry that was
    // not kept: the state from before them.
    void setUnsavedEdits(bool edits) { m_unsavedEdits = edits; }

public slots:
    // The entries have changed since the file was read or written.
    void markEdited();

signals:
    // The file on disk no longer holds what was read or written last.
    void changedOnDisk();

private slots:
    void pathChanged();
    void checkDisk();

private:
    struct Fingerprint
    {
        bool exists = false;
        qint64 size = 0;
        quint64 hash = 0;
        bool operator==(const Fingerprint &other) const
        {
            return exists == other.exists && size == other.size && hash == other.hash;
        }
    };
    static Fingerprint fingerprint(const QByteArray &content);
    Fingerprint onDisk() const;
    void remember(const QString &fileName, const Fingerprint &known);

    QFileSystemWatcher *m_watcher;
    QTimer m_settle;
    QString m_fileName;
    Fingerprint m_known;
    // A file that could be neither read nor copied.
    QString m_keptFile;
    bool m_unsavedEdits = false;
};

#endif
