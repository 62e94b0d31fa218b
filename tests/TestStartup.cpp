#include "platform/instanceChannel.h"

#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_LINUX
#include <csignal>
#endif

// Starts the real program, copied into a folder of its own so that whatever it
// reads or writes stays beside that copy.
class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void secondStartExitsAtOnce();
    void portIsReleasedOnExit();
    void instanceChannel_data();
    void instanceChannel();
#ifdef Q_OS_LINUX
    void workingDirectoryIsProgramFolder();
    void endSignalSavesAndEnds_data();
    void endSignalSavesAndEnds();
#endif

private:
    QProcess *start(const QString &workingDirectory);
    static bool portTaken();
#ifdef Q_OS_LINUX
    // The signals a process has a handler for, one bit each, as /proc tells.
    static quint64 caughtSignals(qint64 pid);
#endif

    QTemporaryDir m_programDir;
    QTemporaryDir m_otherDir;
    QString m_program;
    QList<QProcess *> m_processes;
};

bool TestStartup::portTaken()
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), 33000);
    return socket.waitForConnected(200);
}

QProcess *TestStartup::start(const QString &workingDirectory)
{
    auto *process = new QProcess(this);
    process->setWorkingDirectory(workingDirectory);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(m_program, QStringList());
    m_processes.append(process);
    return process;
}

void TestStartup::initTestCase()
{
    QVERIFY(m_programDir.isValid());
    QVERIFY(m_otherDir.isValid());
    m_program = m_programDir.filePath(QStringLiteral("korvani"));
    QVERIFY(QFile::copy(QStringLiteral(KORVANI_EXECUTABLE), m_program));
    QVERIFY(QFile::setPermissions(m_program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    if (portTaken())
        QSKIP("port 33000 is held by another program; the single-instance guard cannot be tested");
}

void TestStartup::cleanup()
{
    for (QProcess *process : qAsConst(m_processes)) {
        process->kill();
        process->waitForFinished(5000);
        delete process;
    }
    m_processes.clear();
    QTRY_VERIFY_WITH_TIMEOUT(!portTaken(), 10000);
}

void TestStartup::secondStartExitsAtOnce()
{
    QProcess *first = start(m_otherDir.path());
    QVERIFY(first->waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(portTaken(), 10000);

    QProcess *second = start(m_otherDir.path());
    QVERIFY(second->waitForFinished(10000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);
    QCOMPARE(second->readAllStandardOutput(), QByteArray());

    QCOMPARE(first->state(), QProcess::Running);
}

void TestStartup::portIsReleasedOnExit()
{
    QProcess *first = start(m_otherDir.path());
    QTRY_VERIFY_WITH_TIMEOUT(portTaken(), 10000);
    first->kill();
    QVERIFY(first->waitForFinished(5000));

    QProcess *next = start(m_otherDir.path());
    QTRY_VERIFY_WITH_TIMEOUT(portTaken(), 10000);
    QVERIFY(!next->waitForFinished(500));
    QCOMPARE(next->state(), QProcess::Running);
}

void TestStartup::instanceChannel_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("shown");

    QTest::newRow("the request") << QByteArray("korvani show\n") << 1;
    QTest::newRow("other words") << QByteArray("GET / HTTP/1.0\r\n\r\n") << 0;
    QTest::newRow("cut short") << QByteArray("korvani") << 0;
    QTest::newRow("nothing") << QByteArray() << 0;
}

void TestStartup::instanceChannel()
{
    QFETCH(QByteArray, sent);
    QFETCH(int, shown);

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress(QHostAddress::LocalHost), 0));
    InstanceChannel channel(&server);
    QSignalSpy requests(&channel, SIGNAL(showRequested()));
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), server.serverPort());
    QVERIFY(socket.waitForConnected(2000));
    socket.write(sent);
    // Every connection is closed after one request, or after a moment of silence.
    QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QAbstractSocket::UnconnectedState, 5000);
    QCOMPARE(requests.count(), shown);
}

#ifdef Q_OS_LINUX
void TestStartup::workingDirectoryIsProgramFolder()
{
    QProcess *process = start(m_otherDir.path());
    QVERIFY(process->waitForStarted());
    const QString cwdLink = QStringLiteral("/proc/%1/cwd").arg(process->processId());
    const QString programFolder = QFileInfo(m_programDir.path()).canonicalFilePath();
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(cwdLink).symLinkTarget(), programFolder, 10000);
}

void TestStartup::endSignalSavesAndEnds_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("terminate") << int(SIGTERM);
    QTest::newRow("interrupt") << int(SIGINT);
    QTest::newRow("hang up") << int(SIGHUP);
}

// A logout or a kill ends the program as Quit does: the settings are written,
// and a launcher file with nothing unsaved is left as it is.
void TestStartup::endSignalSavesAndEnds()
{
    QFETCH(int, signal);
    const QString launcherFile = m_programDir.filePath(QStringLiteral("data/shortchut.json"));
    QVERIFY(QDir(m_programDir.path()).mkpath(QStringLiteral("data")));
    QFile file(launcherFile);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // Written the short way, which the program would write with every key.
    const QByteArray written = R"([{"name":"Kept","tag":4}])";
    file.write(written);
    file.close();
    QFile::remove(m_programDir.filePath(QStringLiteral("data/settings.ini")));

    QProcess *process = start(m_otherDir.path());
    QVERIFY(process->waitForStarted());
    // The signal is sent once the program has taken it over.
    const qint64 pid = process->processId();
    QTRY_VERIFY_WITH_TIMEOUT(caughtSignals(pid) & (quint64(1) << (signal - 1)), 10000);
    QCOMPARE(::kill(pid_t(pid), signal), 0);

    QVERIFY(process->waitForFinished(10000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), written);
    QVERIFY(QFile::exists(m_programDir.filePath(QStringLiteral("data/settings.ini"))));
}

quint64 TestStartup::caughtSignals(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16);
    }
    return 0;
}
#endif

QTEST_GUILESS_MAIN(TestStartup)
#include "TestStartup.moc"
