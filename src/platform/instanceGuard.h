#ifndef KORVANI_INSTANCEGUARD_H
#define KORVANI_INSTANCEGUARD_H

#include <QObject>

#include <memory>

class DataFolder;
class InstanceChannel;
class QLocalServer;
class QLockFile;

// Makes the process the one running Korvani, and hears the starts that come
// after it. There is one Korvani per user and data folder. A lock file says
// which Korvani runs: in $XDG_RUNTIME_DIR/korvani on Unix, or else in "run"
// beside "data", as on Windows, each a folder only the user may enter on Unix.
// That Korvani listens on a local socket beside the lock, or on Windows on a
// named pipe that only the user's processes can open.
class InstanceGuard : public QObject
{
    Q_OBJECT

public:
    explicit InstanceGuard(QObject *parent = nullptr);
    ~InstanceGuard() override;

    // Claims the single instance for the data folder, before anything in it is
    // read. False when the start is to end, with its exit code: 0 when
    // another Korvani runs, which has been asked to show its window; 1 when
    // no guard can be set up, with the reason in error.
    bool claim(const DataFolder &dataFolder, int *exitCode, QString *error);

signals:
    void showRequested();

private:
    enum class Claim { Owner, AnotherRuns, Failed };
    Claim take(const DataFolder &dataFolder, QString *error);
    bool listen(const QString &name, QString *error);

    InstanceChannel *m_channel;
    QLocalServer *m_server = nullptr;
    // Held for as long as the server's name is ours: whoever holds it may
    // replace the socket, and nobody else ever removes it.
    std::unique_ptr<QLockFile> m_lock;
};

#endif
