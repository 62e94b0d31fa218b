#ifndef KORVANI_LAUNCHERFILEMONITOR_H
#define KORVANI_LAUNCHERFILEMONITOR_H

#include "document/fileSnapshot.h"

#include <QObject>
#include <QTimer>

class QFileSystemWatcher;

// Watches the launcher file while the program runs: another program may write
// it in place or rename a new file over it, as editors and sync tools do.
// Once the file has been quiet for a moment, it is read once, and that
// snapshot is told; what it means is the document's to decide.
class LauncherFileMonitor : public QObject
{
    Q_OBJECT

public:
    explicit LauncherFileMonitor(QObject *parent = nullptr);

    // Watches this file from now on, instead of any other.
    void watch(const QString &fileName);
    QString fileName() const { return m_fileName; }

    // The file as it is now.
    FileSnapshot snapshot() const;

signals:
    // The file or its folder changed, and has been quiet since: the file as
    // it is now, read once.
    void changed(const FileSnapshot &snapshot);

private:
    void pathChanged();

    QFileSystemWatcher *m_watcher;
    QTimer m_settle;
    QString m_fileName;
};

#endif
