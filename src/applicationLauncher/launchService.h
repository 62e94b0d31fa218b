#ifndef KORVANI_LAUNCHSERVICE_H
#define KORVANI_LAUNCHSERVICE_H

#include "platform/dataFolder.h"

#include <QObject>
#include <QProcess>

class ApplicationData;
class LaunchProcess;

// Launches entries: writes an entry's batch file, runs it through the command
// interpreter, watches the interpreter and decides what the user is told.
// Showing it is the caller's part.
//
// A launch is reported once, when it wrote to its error channel (once that
// has been quiet for a moment, or the interpreter has ended) or when its
// interpreter ended with a failure. The report goes on changing until the
// user has seen it: more output comes, the interpreter ends.
class LaunchService : public QObject
{
    Q_OBJECT

public:
    // Batch files go to the data folder's launch folder, and launches start
    // in its folder.
    explicit LaunchService(const DataFolder &folder, QObject *parent = nullptr);

    void launch(const ApplicationData &application);

    // The user has seen the launch's report, and chose to stop its
    // interpreter or to let it run on. Nothing of it is reported any more.
    void closeReport(LaunchProcess *process, bool stop);

signals:
    // A launch's report is to be shown.
    void reportReady(LaunchProcess *process);
    // A launch that could not run, and why.
    void failed(const QString &message);

public slots:
    void processOutputError(LaunchProcess *process);
    void processFinished(LaunchProcess *process);
    void processFailed(LaunchProcess *process, QProcess::ProcessError error);

private slots:
    void processErrorQuiet(LaunchProcess *process);

private:
    void askReport(LaunchProcess *process);

    DataFolder m_folder;
};

#endif
