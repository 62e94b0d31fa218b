#include "testSupport.h"

#include <QProcess>
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
#ifdef Q_OS_LINUX
    void dataStaysBesideTheProgram();
    void endSignalSavesAndEnds_data();
    void endSignalSavesAndEnds();
#endif

private:
    QProcess *start(const QString &workingDirectory);

    QTemporaryDir m_programDir;
    QTemporaryDir m_otherDir;
    QString m_program;
    QList<QProcess *> m_processes;
};

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
    m_program = copyExecutable(QStringLiteral(KORVANI_EXECUTABLE), m_programDir.path());
    QVERIFY(!m_program.isEmpty());
}

void TestStartup::cleanup()
{
    for (QProcess *process : qAsConst(m_processes)) {
        process->kill();
        process->waitForFinished(5000);
        delete process;
    }
    m_processes.clear();
}

#ifdef Q_OS_LINUX
// Started from another folder, the program keeps its data beside itself and
// leaves the folder it was started from alone.
void TestStartup::dataStaysBesideTheProgram()
{
    QFile::remove(m_programDir.filePath(QStringLiteral("data/settings.ini")));
    QProcess *process = start(m_otherDir.path());
    QVERIFY(process->waitForStarted());
    const qint64 pid = process->processId();
    QTRY_VERIFY_WITH_TIMEOUT(caughtSignals(pid) & (quint64(1) << (SIGTERM - 1)), 10000);
    QVERIFY(QFileInfo(m_programDir.filePath(QStringLiteral("temp"))).isDir());
    QVERIFY(QFileInfo(m_programDir.filePath(QStringLiteral("data/temp"))).isDir());
    QCOMPARE(::kill(pid_t(pid), SIGTERM), 0);
    QVERIFY(process->waitForFinished(10000));
    QVERIFY(QFile::exists(m_programDir.filePath(QStringLiteral("data/settings.ini"))));
    QCOMPARE(QDir(m_otherDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestStartup::endSignalSavesAndEnds_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("replaced"); // by another program, as a sync tool renames its copy over it
    QTest::newRow("terminate") << int(SIGTERM) << false;
    QTest::newRow("interrupt") << int(SIGINT) << false;
    QTest::newRow("hang up") << int(SIGHUP) << false;
    QTest::newRow("terminate after another program") << int(SIGTERM) << true;
}

// A logout or a kill ends the program as Quit does: the settings are written,
// and a launcher file with nothing unsaved is left as it is, also when another
// program has just replaced it.
void TestStartup::endSignalSavesAndEnds()
{
    QFETCH(int, signal);
    QFETCH(bool, replaced);
    const QString launcherFile = m_programDir.filePath(QStringLiteral("data/shortchut.json"));
    QVERIFY(QDir(m_programDir.path()).mkpath(QStringLiteral("data")));
    QFile file(launcherFile);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    // Written the short way, which the program would write with every key.
    QByteArray written = R"([{"name":"Kept","tag":4}])";
    file.write(written);
    file.close();
    QFile::remove(m_programDir.filePath(QStringLiteral("data/settings.ini")));

    QProcess *process = start(m_otherDir.path());
    QVERIFY(process->waitForStarted());
    // The signal is sent once the program has taken it over.
    const qint64 pid = process->processId();
    QTRY_VERIFY_WITH_TIMEOUT(caughtSignals(pid) & (quint64(1) << (signal - 1)), 10000);
    if (replaced) {
        written = R"([{"name":"Kept","tag":4},{"name":"Theirs"}])";
        QFile theirs(launcherFile + QStringLiteral(".sync"));
        QVERIFY(theirs.open(QIODevice::WriteOnly) && theirs.write(written) == written.size());
        theirs.close();
        QCOMPARE(
            ::rename(QFile::encodeName(theirs.fileName()).constData(), QFile::encodeName(launcherFile).constData()), 0);
    }
    QCOMPARE(::kill(pid_t(pid), signal), 0);

    QVERIFY(process->waitForFinished(10000));
    QCOMPARE(process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(process->exitCode(), 0);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), written);
    QCOMPARE(QDir(m_programDir.filePath(QStringLiteral("data"))).entryList({QStringLiteral("*.conflict-*")}),
             QStringList());
    QVERIFY(QFile::exists(m_programDir.filePath(QStringLiteral("data/settings.ini"))));
}
#endif

QTEST_GUILESS_MAIN(TestStartup)
#include "TestStartup.moc"
