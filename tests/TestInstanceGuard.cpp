#include "platform/instanceGuard.h"
#include "testSupport.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Debian's user nobody and group nogroup.
const uid_t nobody = 65534;

// A program started with a limit on its open files, as a small session sets;
// none beyond the test's own when it is 0.
class LimitedProcess : public QProcess
{
public:
    LimitedProcess(rlim_t openFiles, QObject *parent)
        : QProcess(parent)
        , m_openFiles(openFiles)
    {
    }

protected:
    void setupChildProcess() override
    {
        const rlimit limit = {m_openFiles, m_openFiles};
        if (m_openFiles > 0)
            ::setrlimit(RLIMIT_NOFILE, &limit);
    }

private:
    rlim_t m_openFiles;
};

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The local sockets in a folder.
QStringList sockets(const QString &folder)
{
    QStringList found;
    for (const QString &name : entries(folder)) {
        struct stat status = {};
        const QString path = QDir(folder).filePath(name);
        if (::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISSOCK(status.st_mode))
            found.append(path);
    }
    return found;
}

struct stat statusOf(const QString &path)
{
    struct stat status = {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

// The lock file of a channel folder.
QString lockFile(const QString &folder)
{
    const QStringList locks = QDir(folder).entryList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden);
    return locks.isEmpty() ? QString() : QDir(folder).filePath(locks.first());
}

// The process number written in the lock file of a channel folder.
qint64 lockHolder(const QString &folder)
{
    return readAll(lockFile(folder)).split('\n').value(0).toLongLong();
}

// Sets $XDG_RUNTIME_DIR of this process while it lives.
class RuntimeFolder
{
public:
    explicit RuntimeFolder(const QString &path)
        : m_previous(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path));
    }
    ~RuntimeFolder() { qputenv("XDG_RUNTIME_DIR", m_previous); }

private:
    QByteArray m_previous;
};

} // namespace

// The real program, copied into a folder of its own that is its data folder,
// with a runtime folder of each test's own.
class TestInstanceGuard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void secondStartWhileTheOldPortIsHeld();
    void staleChannelIsTakenOver_data();
    void staleChannelIsTakenOver();
    void twoUsersRunAtOnce();
    void floodDuringSave();
    void requests_data();
    void requests();
    void guardThatCannotBeSetUp_data();
    void guardThatCannotBeSetUp();

private:
    QProcess *start(const QString &program, const QProcessEnvironment &environment,
                    const QStringList &arguments = QStringList(), rlim_t openFiles = 0);

    QTemporaryDir m_programDir;
    QString m_program;
    std::unique_ptr<QTemporaryDir> m_runtime;
    QString m_channelFolder;
    QProcessEnvironment m_environment;
    QList<QProcess *> m_processes;
};

QProcess *TestInstanceGuard::start(const QString &program, const QProcessEnvironment &environment,
                                   const QStringList &arguments, rlim_t openFiles)
{
    auto *process = new LimitedProcess(openFiles, this);
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(program, arguments);
    m_processes.append(process);
    return process;
}

void TestInstanceGuard::initTestCase()
{
    QVERIFY(m_programDir.isValid());
    m_program = copyExecutable(QStringLiteral(KORVANI_EXECUTABLE), m_programDir.path());
    QVERIFY(!m_program.isEmpty());
}

void TestInstanceGuard::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    m_channelFolder = m_runtime->filePath(QStringLiteral("korvani"));
    m_environment = QProcessEnvironment::systemEnvironment();
    m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime->path());
}

void TestInstanceGuard::cleanup()
{
    for (QProcess *process : qAsConst(m_processes)) {
        process->kill();
        process->waitForFinished(10000);
        delete process;
    }
    m_processes.clear();
}

void TestInstanceGuard::secondStartWhileTheOldPortIsHeld()
{
    // Any program may hold the port that earlier versions kept for themselves.
    QTcpServer portHolder;
    if (!portHolder.listen(QHostAddress(QHostAddress::LocalHost), 33000)) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress(QHostAddress::LocalHost), 33000);
        QVERIFY(probe.waitForConnected(5000));
    }

    QProcess *first = start(m_program, m_environment);
    QTRY_COMPARE_WITH_TIMEOUT(sockets(m_channelFolder).size(), 1, 30000);
    QProcess *second = start(m_program, m_environment);
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    // The second start left the first one's socket alone.
    QCOMPARE(sockets(m_channelFolder).size(), 1);
    QCOMPARE(statusOf(m_channelFolder).st_mode & 0777, mode_t(0700));
}

void TestInstanceGuard::staleChannelIsTakenOver_data()
{
    QTest::addColumn<bool>("numberReused");
    QTest::newRow("killed") << false;
    // After a crash the lock's process number may go to a live program of the
    // same name, which holds no lock on the file.
    QTest::newRow("its number reused") << true;
}

void TestInstanceGuard::staleChannelIsTakenOver()
{
    QFETCH(bool, numberReused);

    QProcess *killed = start(m_program, m_environment);
    QTRY_COMPARE_WITH_TIMEOUT(sockets(m_channelFolder).size(), 1, 30000);
    killed->kill();
    QVERIFY(killed->waitForFinished(10000));
    QCOMPARE(entries(m_channelFolder).size(), 2);
    if (numberReused) {
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        writeFile(lockFile(m_channelFolder),
                  QByteArray::number(QCoreApplication::applicationPid()) + '\n' + QFile::encodeName(name) + "\n\n");
    }

    QProcess *next = start(m_program, m_environment);
    QTRY_COMPARE_WITH_TIMEOUT(lockHolder(m_channelFolder), next->processId(), 30000);
    QProcess *third = start(m_program, m_environment);
    QVERIFY(third->waitForFinished(30000));
    QCOMPARE(third->exitCode(), 0);
    QCOMPARE(next->state(), QProcess::Running);
}

void TestInstanceGuard::twoUsersRunAtOnce()
{
    if (::geteuid() != 0)
        QSKIP("starting Korvani as the user nobody as well needs root");
    QTemporaryDir theirFolder;
    QVERIFY(theirFolder.isValid());
    const QString theirProgram = copyExecutable(QStringLiteral(KORVANI_EXECUTABLE), theirFolder.path());
    QVERIFY(!theirProgram.isEmpty());
    for (const QString &path : {theirFolder.path(), theirProgram})
        QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody, nobody), 0);
    // Without a runtime folder their channel lies beside their data.
    QProcessEnvironment theirEnvironment = QProcessEnvironment::systemEnvironment();
    theirEnvironment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    theirEnvironment.insert(QStringLiteral("HOME"), theirFolder.path());
    const QString theirChannelFolder = theirFolder.filePath(QStringLiteral("run"));

    QProcess *mine = start(m_program, m_environment);
    QProcess *theirs = start(QStringLiteral("setpriv"), theirEnvironment,
                             {QStringLiteral("--reuid=%1").arg(nobody), QStringLiteral("--regid=%1").arg(nobody),
                              QStringLiteral("--clear-groups"), QStringLiteral("--"), theirProgram});
    QTRY_COMPARE_WITH_TIMEOUT(sockets(m_channelFolder).size(), 1, 30000);
    QTRY_COMPARE_WITH_TIMEOUT(sockets(theirChannelFolder).size(), 1, 30000);
    QCOMPARE(mine->state(), QProcess::Running);
    QCOMPARE(theirs->state(), QProcess::Running);
    const struct stat theirStatus = statusOf(theirChannelFolder);
    QCOMPARE(theirStatus.st_uid, nobody);
    QCOMPARE(theirStatus.st_mode & 0777, mode_t(0700));
    cleanup();
}

// Idle connections, more than the program may open files, held while it saves
// at a SIGTERM.
void TestInstanceGuard::floodDuringSave()
{
    const QString launcherFile = m_programDir.filePath(QStringLiteral("data/shortchut.json"));
    writeFile(launcherFile, R"([{"name":"Kept","tag":4}])");
    QProcess *process = start(m_program, m_environment, QStringList(), 128);
    QVERIFY(process->waitForStarted());
    const qint64 pid = process->processId();
    QTRY_VERIFY_WITH_TIMEOUT(caughtSignals(pid) & (quint64(1) << (SIGTERM - 1)), 30000);
    const QString channel = sockets(m_channelFolder).value(0);
    QVERIFY(!channel.isEmpty());

    QObject flood;
    for (int i = 0; i < 300; ++i) {
        auto *socket = new QLocalSocket(&flood);
        socket->connectToServer(channel);
        QVERIFY(socket->waitForConnected(10000));
    }
    QCOMPARE(::kill(pid_t(pid), SIGTERM), 0);
    QVERIFY(process->waitForFinished(30000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);
    const QByteArray saved = readAll(launcherFile);
    QVERIFY2(saved.contains("\"preScript\"") && saved.contains("\"Kept\""), saved.constData());
}

void TestInstanceGuard::requests_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("shown");

    QTest::newRow("the request") << QByteArray("korvani show\n") << 1;
    QTest::newRow("other words") << QByteArray("GET / HTTP/1.0\r\n\r\n") << 0;
    QTest::newRow("cut short") << QByteArray("korvani") << 0;
    QTest::newRow("nothing") << QByteArray() << 0;
}

void TestInstanceGuard::requests()
{
    QFETCH(QByteArray, sent);
    QFETCH(int, shown);

    QTemporaryDir data;
    // A folder that others may enter is made the user's alone.
    QVERIFY(QDir().mkpath(m_channelFolder));
    QVERIFY(::chmod(QFile::encodeName(m_channelFolder).constData(), 0777) == 0);
    RuntimeFolder runtime(m_runtime->path());
    InstanceGuard guard;
    int exitCode = -1;
    QVERIFY(guard.claim(data.path(), &exitCode));
    QCOMPARE(statusOf(m_channelFolder).st_mode & 0777, mode_t(0700));

    QSignalSpy requests(&guard, SIGNAL(showRequested()));
    QLocalSocket socket;
    socket.connectToServer(sockets(m_channelFolder).value(0));
    QVERIFY(socket.waitForConnected(5000));
    socket.write(sent);
    // Every connection is closed after one request, or after a moment of silence.
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(requests.count(), shown);
}

void TestInstanceGuard::guardThatCannotBeSetUp_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<QString>("reason");

    QTest::newRow("a file in the way") << "file"
                                       << "It is not a folder.";
    QTest::newRow("another user's folder") << "foreign"
                                           << "It belongs to another user.";
    QTest::newRow("a path too long") << "long"
                                     << "Its path is too long for a local socket.";
}

void TestInstanceGuard::guardThatCannotBeSetUp()
{
    QFETCH(QString, obstacle);
    QFETCH(QString, reason);

    QTemporaryDir data;
    QString runtimePath = m_runtime->path();
    if (obstacle == QLatin1String("file")) {
        writeFile(m_channelFolder);
    } else if (obstacle == QLatin1String("foreign")) {
        if (::geteuid() != 0)
            QSKIP("giving a folder to another user needs root");
        QVERIFY(QDir().mkpath(m_channelFolder));
        QCOMPARE(::chown(QFile::encodeName(m_channelFolder).constData(), nobody, nobody), 0);
    } else {
        runtimePath = m_runtime->filePath(QString(100, QLatin1Char('r')));
        QVERIFY(QDir().mkpath(runtimePath));
    }
    RuntimeFolder runtime(runtimePath);
    InstanceGuard guard;
    ModalAnswerer answerer;
    int exitCode = 0;
    QVERIFY(!guard.claim(data.path(), &exitCode));
    QCOMPARE(exitCode, 1);
    QCOMPARE(answerer.messages().size(), 1);
    QVERIFY2(answerer.messages().first().endsWith(reason), qPrintable(answerer.messages().first()));
}

QTEST_MAIN(TestInstanceGuard)
#include "TestInstanceGuard.moc"
