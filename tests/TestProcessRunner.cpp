#include "applicationLauncher.h"
#include "platform.h"
#include "testSupport.h"

#include <QAbstractItemView>
#include <QProcess>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using Model = LauncherDataModel;

namespace {

ApplicationData program(const QString &name, const QString &path, const QStringList &arguments,
                        const QString &preScript = QStringLiteral("@echo off"))
{
    VariableDataList list;
    for (const QString &argument : arguments)
        list.append(VariableData(argument));
    return ApplicationData(name, QString(), path, preScript, list, {}, false, 1);
}
} // namespace

// Launches real entries through the interpreter beside the test program.
class TestProcessRunner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void outputOnlyGivesNoBox();
    void errorOutputShowsBoxThenKills();
    void twoLaunchesTwoProcesses();
    void unwritableScriptIsReported();
    void missingInterpreterIsReported();

private:
    QList<QProcess *> processes() const { return m_launcher->findChildren<QProcess *>(); }

    QString m_previousDir;
    QTemporaryDir *m_dir = nullptr;
    ApplicationLauncher *m_launcher = nullptr;
};

void TestProcessRunner::initTestCase()
{
    registerRecordTypes();
    qRegisterMetaType<QProcess::ExitStatus>();
    m_previousDir = QDir::currentPath();
    QVERIFY2(QFileInfo(Platform::commandInterpreter()).isExecutable(), qPrintable(Platform::commandInterpreter()));
}

void TestProcessRunner::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_launcher = new ApplicationLauncher;
}

void TestProcessRunner::cleanup()
{
    delete m_launcher;
    QDir::setCurrent(m_previousDir);
    delete m_dir;
}

void TestProcessRunner::outputOnlyGivesNoBox()
{
    const ApplicationData entry = program(QStringLiteral("Echo"), QStringLiteral("/bin/echo"), {"hello"});
    m_launcher->setLauncherData({entry});
    ModalAnswerer answerer;
    // Launched from the heart tab, as from the home tab: same file, same command.
    QAbstractItemModel *heart =
        qobject_cast<QAbstractItemView *>(m_launcher->findChild<QTabWidget *>()->widget(2))->model();
    m_launcher->doubleClickedItem(heart->index(0, 0));

    QCOMPARE(readAll(QStringLiteral("temp/Echo.bat")), entry.batchScript().toUtf8());
    QCOMPARE(processes().size(), 1);
    QCOMPARE(processes().first()->arguments(), (QStringList{"/c", "temp/Echo.bat"}));
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 10000);
    QCOMPARE(answerer.answered(), 0);
}

void TestProcessRunner::errorOutputShowsBoxThenKills()
{
    m_launcher->setLauncherData(
        {program(QStringLiteral("Warn"), QStringLiteral("/bin/sh"),
                 {"-c", "\"sleep 0.3; echo warn >&2; exec sleep 30\""}, QStringLiteral("@echo off\necho before"))});
    ModalAnswerer answerer;
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    QCOMPARE(processes().size(), 1);
    QSignalSpy finished(processes().first(), SIGNAL(finished(int, QProcess::ExitStatus)));

    QTRY_COMPARE_WITH_TIMEOUT(answerer.messages().size(), 1, 10000);
    QCOMPARE(answerer.messages().first(), "Error: before\n" + QString(80, '-') + "\nwarn\n");
    // Killed once the box is closed, long before the program would have ended.
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(finished.first().at(1).value<QProcess::ExitStatus>(), QProcess::CrashExit);
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 5000);
}

void TestProcessRunner::twoLaunchesTwoProcesses()
{
    m_launcher->setLauncherData({program(QStringLiteral("Sleep"), QStringLiteral("/bin/sleep"), {"0.5"})});
    const QModelIndex index = m_launcher->launcherModel()->index(0);
    m_launcher->doubleClickedItem(index);
    m_launcher->doubleClickedItem(index);
    const QList<QProcess *> running = processes();
    QCOMPARE(running.size(), 2);
    QVERIFY(running.at(0)->waitForStarted());
    QVERIFY(running.at(1)->waitForStarted());
    QVERIFY(running.at(0)->processId() != running.at(1)->processId());
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 10000);
}

void TestProcessRunner::unwritableScriptIsReported()
{
    QFile blocker(QStringLiteral("temp"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_launcher->setLauncherData({program(QStringLiteral("Echo"), QStringLiteral("/bin/echo"), {})});
    ModalAnswerer answerer;
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    QTRY_COMPARE_WITH_TIMEOUT(answerer.messages().size(), 1, 10000);
    QVERIFY(answerer.messages().first().contains(QStringLiteral("Echo.bat")));
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 10000);
}

void TestProcessRunner::missingInterpreterIsReported()
{
    const QString interpreter = Platform::commandInterpreter();
    QVERIFY(QFile::rename(interpreter, interpreter + ".away"));
    auto restore = qScopeGuard([&] { QFile::rename(interpreter + ".away", interpreter); });

    m_launcher->setLauncherData({program(QStringLiteral("Echo"), QStringLiteral("/bin/echo"), {})});
    ModalAnswerer answerer;
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    QTRY_COMPARE_WITH_TIMEOUT(answerer.messages().size(), 1, 10000);
    QVERIFY(answerer.messages().first().startsWith("Error: " + interpreter));
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 5000);
}

QTEST_MAIN(TestProcessRunner)
#include "TestProcessRunner.moc"
