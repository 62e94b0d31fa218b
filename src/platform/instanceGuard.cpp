#include "platform/instanceGuard.h"

#include "platform/dataFolder.h"
#include "platform/fileAccess.h"
#include "platform/instanceChannel.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QThread>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <sddl.h>

#include <vector>
#else
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

const int connectWaitMs = 2000;
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

// The user this Korvani runs for, as the system knows them; empty, with the
// system's error pending, when it cannot be told.
QString userId()
{
#ifdef Q_OS_WIN
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return QString();
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<char> user(size);
    wchar_t *sid = nullptr;
    QString id;
    if (GetTokenInformation(token, TokenUser, user.data(), size, &size)
        && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(user.data())->User.Sid, &sid)) {
        id = QString::fromWCharArray(sid);
        LocalFree(sid);
    }
    CloseHandle(token);
    return id;
#else
    return QString::number(::geteuid());
#endif
}

// Named for the user and the data folder, links resolved, so that two copies
// with their own data each run, and two ways to one folder do not.
QString channelName(const QString &user, const QString &dataFolder)
{
    QString folder = QFileInfo(dataFolder).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QDir(dataFolder).absolutePath());
#ifdef Q_OS_WIN
    // So are two spellings of one folder: Windows ignores case in file names.
    folder = folder.toCaseFolded();
#endif
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256);
    return QStringLiteral("korvani-%1-%2").arg(user, QString::fromLatin1(hash.toHex().left(16)));
}

bool askOwnerToShow(const QString &server)
{
    QLocalSocket socket;
    socket.connectToServer(server);
    return socket.waitForConnected(connectWaitMs) && InstanceChannel::askToShow(&socket);
}

} // namespace

InstanceGuard::InstanceGuard(QObject *parent)
    : QObject(parent)
    , m_channel(new InstanceChannel(this))
{
    connect(m_channel, &InstanceChannel::showRequested, this, &InstanceGuard::showRequested);
}

InstanceGuard::~InstanceGuard()
{
    // The server goes before the lock: once the lock is free, the name may
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

InstanceGuard::Claim InstanceGuard::take(const DataFolder &dataFolder, QString *error)
{
    // Made first, so that the first start names the folder as later ones do.
    QDir().mkpath(dataFolder.root());
    const QString folder = dataFolder.runFolder();
    const QString user = userId();
    if (user.isEmpty()) {
        *error = failure(folder, qt_error_string());
        return Claim::Failed;
    }
    const QString name = channelName(user, dataFolder.root());
    const QString lockName = QDir(folder).filePath(name + QStringLiteral(".lock"));
    QString reason;
    if (!Platform::makePrivateFolder(folder, &reason)) {
        *error = failure(folder, reason);
        return Claim::Failed;
    }
#ifdef Q_OS_WIN
    // Pipes have a namespace of their own, which all users share.
    const QString server = name;
#else
    // The socket lies beside its lock.
    const QString server = QDir(folder).filePath(name);
    if (QFile::encodeName(server).size() >= int(sizeof(sockaddr_un::sun_path))) {
        *error = failure(server, tr("Its path is too long for a local socket."));
        return Claim::Failed;
    }
#endif

    m_lock = std::make_unique<QLockFile>(lockName);
    // A lock is stale when its process has ended, however old it is.
    m_lock->setStaleLockTime(0);
    QElapsedTimer waited;
    waited.start();
    bool removed = false;
    while (!m_lock->tryLock(0)) {
        if (m_lock->error() != QLockFile::LockFailedError) {
            *error = failure(lockName, tr("It cannot be written."));
            return Claim::Failed;
        }
        if (askOwnerToShow(server))
            return Claim::AnotherRuns;
        if (!waited.hasExpired(answerWaitMs)) {
            QThread::msleep(50);
            continue;
        }
        // The lock's process number may have passed to another Korvani since
        // its own ended. The lock of a live Korvani cannot be removed.
        if (removed || !m_lock->removeStaleLockFile()) {
            *error = failure(server, tr("Another Korvani holds it but does not answer."));
            return Claim::Failed;
        }
        removed = true;
    }
    return listen(server, error) ? Claim::Owner : Claim::Failed;
}

bool InstanceGuard::listen(const QString &name, QString *error)
{
    // Whoever holds the lock owns the name: a socket there was left behind by
    // a Korvani that was killed. (A pipe goes with its process.)
    QLocalServer::removeServer(name);
    auto *server = new QLocalServer(this);
    // Only the user's own processes may connect: on Windows, where the pipe's
    // name is seen by every user, that alone keeps the others out.
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
