#include "applicationLauncher/launchProcess.h"
#include "applicationLauncher/launchService.h"
#include "records/records.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// The launch service on its own, in a program without widgets: what it tells
// its caller to show of real launches through the interpreter.
class TestLaunchService : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void reports_data();
    void reports();

private:
    QTemporaryDir m_dir;
};

void TestLaunchService::initTestCase()
{
    qRegisterMetaType<QProcess::ExitStatus>();
    qRegisterMetaType<LaunchProcess *>();
    QVERIFY(m_dir.isValid());
    QVERIFY(QDir::setCurrent(m_dir.path()));
}

void TestLaunchService::reports_data()
{
    QTest::addColumn<QString>("command"); // run by the shell as the entry's program
    QTest::addColumn<bool>("reported");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("outcome");

    QTest::newRow("silent success") << "exit 0" << false << ""
                                    << "";
    QTest::newRow("silent failure") << "exit 4" << true << ""
                                    << "Quiet ended with exit status 4.";
    QTest::newRow("error output, then failure")
        << "echo one >&2; sleep 0.05; echo two >&2; exit 1" << true << "one\ntwo\n"
        << "Quiet ended with exit status 1.";
}

void TestLaunchService::reports()
{
    QFETCH(QString, command);
    QFETCH(bool, reported);
    QFETCH(QString, error);
    QFETCH(QString, outcome);

    LaunchService service(DataFolder(QDir::currentPath()));
    QSignalSpy reports(&service, SIGNAL(reportReady(LaunchProcess *)));
    QSignalSpy failures(&service, SIGNAL(failed(QString)));
    service.launch(ApplicationData(QStringLiteral("Quiet"), QString(), QStringLiteral("/bin/sh"),
                                   QStringLiteral("@echo off"),
                                   {VariableData(QStringLiteral("-c")), VariableData('"' + command + '"')}, {}));
    auto *process = service.findChild<LaunchProcess *>();
    QVERIFY(process);
    QSignalSpy finished(process, SIGNAL(finished(int, QProcess::ExitStatus)));
    QVERIFY(finished.wait(10000));
    // A report is asked for at the latest when the interpreter has ended.
    QTRY_COMPARE_WITH_TIMEOUT(reports.count(), reported ? 1 : 0, 5000);
    QCOMPARE(failures.count(), 0);
    if (reported) {
        const LaunchProcess::Report report = process->report();
        QCOMPARE(report.error, error);
        QCOMPARE(report.silent, error.isEmpty());
        QCOMPARE(report.outcome, outcome);
        service.closeReport(process, false);
    }
    QTRY_VERIFY_WITH_TIMEOUT(service.findChildren<LaunchProcess *>().isEmpty(), 5000);
    QCOMPARE(QDir(QStringLiteral("temp")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_GUILESS_MAIN(TestLaunchService)
#include "TestLaunchService.moc"
