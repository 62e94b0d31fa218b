#ifndef KORVANI_INSTANCEGUARD_H
#define KORVANI_INSTANCEGUARD_H

#include <QObject>

#include <memory>

class DataFolder;
class InstanceChannel;
class QLockFile;

// Makes the process the one running Korvani, and hears the starts that come
// after it. On Unix there is one Korvani per user and data folder: it listens
// on a local socket in the data folder's run folder, which only the user can
// enter, and a lock file beside the socket says whose it is. On Windows the program holds TCP port 33000 on
// the loopback address, as every version before did.
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
    QObject *m_server = nullptr;
    // Held for as long as the socket is ours: whoever holds it may replace the
    // socket, and nobody else ever removes it.
    std::unique_ptr<QLockFile> m_lock;
};

#endif
