#ifndef KORVANI_LAUNCHSERVICE_H
#define KORVANI_LAUNCHSERVICE_H

#include <QObject>
#include <QProcess>

class ApplicationData;
class LaunchProcess;

// Launches entries: writes an entry's batch file, runs it through the command
// interpreter, watches the interpreter and decides what the user is told.
// Showing it is the caller's part.
class LaunchService : public QObject
{
    Q_OBJECT

public:
    explicit LaunchService(QObject *parent = nullptr);

    void launch(const ApplicationData &application);

    // The user has seen the launch's report: the interpreter is ended, and
    // released once it has.
    void release(LaunchProcess *process);

signals:
    // The launch wrote to its error channel; asked once per launch.
    void errorOutput(LaunchProcess *process);
    // A launch that could not run, and why.
    void failed(const QString &message);

public slots:
    void processOutputError();
    void processFinished();
    void processFailed(QProcess::ProcessError error);
};

#endif
