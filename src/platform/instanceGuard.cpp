#include "platform/instanceGuard.h"

#include "platform/dataFolder.h"
#include "platform/fileAccess.h"
#include "platform/instanceChannel.h"

#include <QLockFile>

#ifdef Q_OS_WIN
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#else
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

const int connectWaitMs = 2000;

#ifndef Q_OS_WIN
// How long a start waits for the Korvani that holds the lock to answer; it
// listens a moment after it took the lock.
const int answerWaitMs = 5000;

QString failure(const QString &path, const QString &reason)
{
    return InstanceGuard::tr("Korvani does not start, as it cannot set up %1, which makes sure that it runs only "
                             "once for you.")
               .arg(QDir::toNativeSeparators(path))
        + QStringLiteral("\n\n") + reason;
}

// Named for the user and the data folder, links resolved, so that two copies
// with their own data each run, and two ways to one folder do not.
QString channelName(const QString &dataFolder)
{
    QString folder = QFileInfo(dataFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QDir(dataFolder).absolutePath());
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256);
    return QStringLiteral("korvani-%1-%2").arg(::geteuid()).arg(QString::fromLatin1(hash.toHex().left(16)));
}

bool askOwnerToShow(const QString &name)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    return socket.waitForConnected(connectWaitMs) && InstanceChannel::askToShow(&socket);
}
#endif

} // namespace

InstanceGuard::InstanceGuard(QObject *parent)
    : QObject(parent)
    , m_channel(new InstanceChannel(this))
{
    connect(m_channel, &InstanceChannel::showRequested, this, &InstanceGuard::showRequested);
}

InstanceGuard::~InstanceGuard()
{
    // The socket goes before the lock: once the lock is free, the name may
    // already be another Korvani's.
    delete m_server;
}

bool InstanceGuard::claim(const DataFolder &dataFolder, int *exitCode, QString *error)
{
    switch (take(dataFolder, error)) {
    case Claim::Owner:
        return true;
    case Claim::AnotherRuns:
        *exitCode = 0;
        return false;
    case Claim::Failed:
        break;
    }
    *exitCode = 1;
    return false;
}

#ifdef Q_OS_WIN
InstanceGuard::Claim InstanceGuard::take(const DataFolder &, QString *)
{
    const quint16 port = 33000;
    auto *server = new QTcpServer(this);
    if (server->listen(QHostAddress(QHostAddress::LocalHost), port)) {
        connect(server, &QTcpServer::newConnection, this, [this, server] {
            while (QTcpSocket *connection = server->nextPendingConnection())
                m_channel->serve(connection);
        });
        m_server = server;
        return Claim::Owner;
    }
    delete server;
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    if (socket.waitForConnected(connectWaitMs))
        InstanceChannel::askToShow(&socket);
    return Claim::AnotherRuns;
}
#else
InstanceGuard::Claim InstanceGuard::take(const DataFolder &dataFolder, QString *error)
{
    // Made first, so that the first start names the folder as later ones do.
    QDir().mkpath(dataFolder.root());
    const QString folder = dataFolder.runFolder();
    const QString name = QDir(folder).filePath(channelName(dataFolder.root()));
    QString reason;
    if (!Platform::makePrivateFolder(folder, &reason)) {
        *error = failure(folder, reason);
        return Claim::Failed;
    }
    if (QFile::encodeName(name).size() >= int(sizeof(sockaddr_un::sun_path))) {
        *error = failure(name, tr("Its path is too long for a local socket."));
        return Claim::Failed;
    }

    m_lock = std::make_unique<QLockFile>(name + QStringLiteral(".lock"));
    // A lock is stale when its process has ended, however old it is.
    m_lock->setStaleLockTime(0);
    QElapsedTimer waited;
    waited.start();
    bool removed = false;
    while (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError) {
            *error = failure(name + QStringLiteral(".lock"), tr("It cannot be written."));
            return Claim::Failed;
        }
        if (askOwnerToShow(name))
            return Claim::AnotherRuns;
        if (!waited.hasExpired(answerWaitMs)) {
            QThread::msleep(50);
            continue;
        }
        // The lock's process number may have passed to another Korvani since
        // its own ended. The lock of a live Korvani cannot be removed.
        if (removed || !m_lock->removeStaleLockFile()) {
            *error = failure(name, tr("Another Korvani holds it but does not answer."));
            return Claim::Failed;
        }
        removed = true;
    }
    return listen(name, error) ? Claim::Owner : Claim::Failed;
}

bool InstanceGuard::listen(const QString &name, QString *error)
{
    // Whoever holds the lock owns the name: a socket there was left behind by
    // a Korvani that was killed.
    QLocalServer::removeServer(name);
    auto *server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(name)) {
        *error = failure(name, server->errorString());
        delete server;
        return false;
    }
    connect(server, &QLocalServer::newConnection, this, [this, server] {
        while (QLocalSocket *connection = server->nextPendingConnection())
            m_channel->serve(connection);
    });
    m_server = server;
    return true;
}
#endif
