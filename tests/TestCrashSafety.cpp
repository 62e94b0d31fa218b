#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "records/records.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>

// A save killed at any moment leaves the launcher file whole: the old entries
// or the new ones, never a mixture or a torn file.
class TestCrashSafety : public QObject
{
    Q_OBJECT

private slots:
    void killedDuringSave();
};

void TestCrashSafety::killedDuringSave()
{
    registerRecordTypes();
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("shortchut.json"));
    ApplicationDataList initial;
    for (int i = 0; i < 1000; ++i)
        initial.append(ApplicationData(QStringLiteral("old %1").arg(i)));
    QVERIFY(writeLauncherFile(fileName, initial));

    // The helper is killed before it could report leaks; in a sanitizer build
    // their bookkeeping would only slow it down.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    QRandomGenerator random(20261207);
    int oldSeen = 0;
    int newSeen = 0;
    for (int round = 0; round < 200; ++round) {
        QProcess saver;
        saver.setProcessEnvironment(environment);
        saver.start(QStringLiteral(KORVANI_SAVE_LOOP), {fileName});
        QVERIFY(saver.waitForReadyRead(20000));
        QVERIFY(saver.readLine().startsWith("saving"));
        // Up to two whole saves first, then a moment within the next one.
        for (int saves = random.bounded(3); saves > 0; --saves) {
            while (!saver.canReadLine())
                QVERIFY(saver.waitForReadyRead(20000));
            QVERIFY(saver.readLine().startsWith("saved"));
        }
        QThread::usleep(random.bounded(40000));
        ::kill(pid_t(saver.processId()), SIGKILL);
        QVERIFY(saver.waitForFinished(10000));
        QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

        QFile file(fileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        ApplicationDataList entries;
        QVERIFY2(parseLauncherData(file.readAll(), &entries), qPrintable(QStringLiteral("round %1").arg(round)));
        const bool isNew = entries.size() == 1500;
        QVERIFY(isNew || entries.size() == 1000);
        const QString prefix = isNew ? QStringLiteral("new ") : QStringLiteral("old ");
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(entries.at(i).name(), prefix + QString::number(i));
        ++(isNew ? newSeen : oldSeen);
    }
    // The kills fell both before and after saves ended.
    QVERIFY(oldSeen > 0);
    QVERIFY(newSeen > 0);
}

QTEST_MAIN(TestCrashSafety)
#include "TestCrashSafety.moc"
