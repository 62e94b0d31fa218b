#include "platform/dataFolder.h"
#include "platform/instanceGuard.h"
#include "testSupport.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Debian's user nobody and group nogroup.
const uid_t nobody = 65534;

struct stat statusOf(const QString &path)
{
    struct stat status = {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

// The local sockets in a folder.
QStringList sockets(const QString &folder)
{
    QStringList found;
    for (const QString &name : QDir(folder).entryList(QDir::System | QDir::Hidden)) {
        if (S_ISSOCK(statusOf(QDir(folder).filePath(name)).st_mode))
            found.append(QDir(folder).filePath(name));
    }
    return found;
}

QString lockFile(const QString &folder)
{
    const QStringList locks = QDir(folder).entryList({QStringLiteral("*.lock")}, QDir::Files | QDir::Hidden);
    return locks.isEmpty() ? QString() : QDir(folder).filePath(locks.first());
}

} // namespace

// The real program, copied into a folder of its own that is its data folder;
// each test gives it, and itself, a runtime folder of its own.
class TestInstanceGuard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void secondStartAndAnotherUser();
    void staleChannelIsTakenOver_data();
    void staleChannelIsTakenOver();
    void floodDuringSave();
    void requests_data();
    void requests();
    void guardThatCannotBeSetUp_data();
    void guardThatCannotBeSetUp();

private:
    QProcess *start(const QString &program, const QStringList &arguments = QStringList());

    QTemporaryDir m_programDir;
    QString m_program;
    std::unique_ptr<QTemporaryDir> m_runtime;
    QString m_channelFolder;
    QList<QProcess *> m_processes;
};

QProcess *TestInstanceGuard::start(const QString &program, const QStringList &arguments)
{
    auto *process = new QProcess(this);
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
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime->path()));
    m_channelFolder = m_runtime->filePath(QStringLiteral("korvani"));
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

void TestInstanceGuard::secondStartAndAnotherUser()
{
    QProcess *first = start(m_program);
    QTRY_COMPARE_WITH_TIMEOUT(sockets(m_channelFolder).size(), 1, 30000);
    QProcess *second = start(m_program);
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(first->state(), QProcess::Running);
    // The second start left the first one's socket alone.
    QCOMPARE(sockets(m_channelFolder).size(), 1);
    QCOMPARE(statusOf(m_channelFolder).st_mode & 0777, mode_t(0700));

    if (::geteuid() != 0)
        QSKIP("starting Korvani as the user nobody as well needs root");
    QTemporaryDir theirFolder;
    const QString theirProgram = copyExecutable(QStringLiteral(KORVANI_EXECUTABLE), theirFolder.path());
    QVERIFY(!theirProgram.isEmpty());
    for (const QString &path : {theirFolder.path(), theirProgram})
        QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody, nobody), 0);
    // Without a runtime folder their channel lies beside their data.
    QProcess *theirs = start(QStringLiteral("env"),
                             {QStringLiteral("-u"), QStringLiteral("XDG_RUNTIME_DIR"),
                              QStringLiteral("HOME=") + theirFolder.path(), QStringLiteral("setpriv"),
                              QStringLiteral("--reuid=%1").arg(nobody), QStringLiteral("--regid=%1").arg(nobody),
                              QStringLiteral("--clear-groups"), theirProgram});
    const QString theirChannelFolder = theirFolder.filePath(QStringLiteral("run"));
    QTRY_COMPARE_WITH_TIMEOUT(sockets(theirChannelFolder).size(), 1, 30000);
    QCOMPARE(theirs->state(), QProcess::Running);
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(statusOf(theirChannelFolder).st_uid, nobody);
    QCOMPARE(statusOf(theirChannelFolder).st_mode & 0777, mode_t(0700));
    cleanup();
}

void TestInstanceGuard::staleChannelIsTakenOver_data()
{
    QTest::addColumn<bool>("numberReused");
    QTest::newRow("killed") << false;
    // After a crash the lock's process number may pass to a live program of
    // the same name, which holds no lock on the file.
    QTest::newRow("its number reused") << true;
}

void TestInstanceGuard::staleChannelIsTakenOver()
{
    QFETCH(bool, numberReused);

    QProcess *killed = start(m_program);
    QTRY_COMPARE_WITH_TIMEOUT(sockets(m_channelFolder).size(), 1, 30000);
    killed->kill();
    QVERIFY(killed->waitForFinished(10000));
    QVERIFY(!lockFile(m_channelFolder).isEmpty());
    if (numberReused) {
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        writeFile(lockFile(m_channelFolder),
                  QByteArray::number(QCoreApplication::applicationPid()) + '\n' + QFile::encodeName(name) + "\n\n");
    }

    QProcess *next = start(m_program);
    QTRY_COMPARE_WITH_TIMEOUT(readAll(lockFile(m_channelFolder)).split('\n').value(0).toLongLong(), next->processId(),
                              30000);
    QProcess *third = start(m_program);
    QVERIFY(third->waitForFinished(30000));
    QCOMPARE(third->exitCode(), 0);
    QCOMPARE(next->state(), QProcess::Running);
}

// Idle connections, more than the program may open files, held while it saves
// at a SIGTERM.
void TestInstanceGuard::floodDuringSave()
{
    const QString launcherFile = m_programDir.filePath(QStringLiteral("data/shortchut.json"));
    const QString settingsFile = m_programDir.filePath(QStringLiteral("data/settings.ini"));
    const QByteArray entries = R"([{"name":"Kept","tag":4}])";
    writeFile(launcherFile, entries);
    QFile::remove(settingsFile);
    QProcess *process = start(QStringLiteral("prlimit"), {QStringLiteral("--nofile=128"), m_program});
    QVERIFY(process->waitForStarted());
    const qint64 pid = process->processId();
    QTRY_VERIFY_WITH_TIMEOUT(caughtSignals(pid) & (quint64(1) << (SIGTERM - 1)), 30000);

    const QString channel = sockets(m_channelFolder).value(0);
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
    // The settings are written; the entries, with nothing unsaved, are left as they are.
    QVERIFY(QFile::exists(settingsFile));
    QCOMPARE(readAll(launcherFile), entries);
}

void TestInstanceGuard::requests_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("shown");

    QTest::newRow("the request") << QByteArray("korvani show\n") << 1;
    QTest::newRow("other words") << QByteArray("GET / HTTP/1.0\r\n\r\n") << 0;
    QTest::newRow("nothing") << QByteArray() << 0;
}

void TestInstanceGuard::requests()
{
    QFETCH(QByteArray, sent);
    QFETCH(int, shown);

    // A folder that others may enter is made the user's alone.
    QVERIFY(QDir().mkpath(m_channelFolder));
    QCOMPARE(::chmod(QFile::encodeName(m_channelFolder).constData(), 0777), 0);
    QTemporaryDir data;
    InstanceGuard guard;
    int exitCode = -1;
    QString error;
    QVERIFY(guard.claim(DataFolder(data.path()), &exitCode, &error));
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

    if (obstacle == QLatin1String("file")) {
        writeFile(m_channelFolder);
    } else if (obstacle == QLatin1String("foreign")) {
        if (::geteuid() != 0)
            QSKIP("giving a folder to another user needs root");
        QVERIFY(QDir().mkpath(m_channelFolder));
        QCOMPARE(::chown(QFile::encodeName(m_channelFolder).constData(), nobody, nobody), 0);
    } else {
        const QString deep = m_runtime->filePath(QString(100, QLatin1Char('r')));
        QVERIFY(QDir().mkpath(deep));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(deep));
    }
    QTemporaryDir data;
    InstanceGuard guard;
    int exitCode = 0;
    QString error;
    QVERIFY(!guard.claim(DataFolder(data.path()), &exitCode, &error));
    QCOMPARE(exitCode, 1);
    QVERIFY2(error.endsWith(reason), qPrintable(error));
}

QTEST_MAIN(TestInstanceGuard)
#include "TestInstanceGuard.moc"
