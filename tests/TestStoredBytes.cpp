#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "records/records.h"
#include "testSupport.h"

#include <QTemporaryDir>
#include <QtTest>

// What Korvani keeps on disk or hands to another Korvani is the same, byte for
// byte, whichever Qt built it. The files in data/qt5 were written by a build
// with Qt 5.15; every build reads them and writes the same bytes.
class TestStoredBytes : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dragPayload();
    void launcherFile();
    void batchFile();

private:
    QTemporaryDir m_dir;
};

namespace {

QString qt5File(const QString &name)
{
    return QStringLiteral(KORVANI_TEST_DATA "/qt5/") + name;
}

// What a writer may treat differently: text beyond the Basic Multilingual
// Plane, quotes, control characters and line ends, null and empty strings, a
// negative tag.
ApplicationDataList entries()
{
    const QString empty(QLatin1String(""));
    return {ApplicationData(QStringLiteral("Python 🐍 プロンプト"), QStringLiteral("対話 \"prompt\"\t\u0001"),
                            QStringLiteral("/usr/bin/python3"), QStringLiteral("set A=1\r\necho %A% ^& é\n"),
                            {VariableData(QStringLiteral("-i"), empty),
                             VariableData(QStringLiteral("-c"), QStringLiteral("print('\\\\n')"))},
                            {VariableData(QStringLiteral("PYTHONPATH"), QStringLiteral("/opt/a:/opt/b"))}, true, 10),
            ApplicationData(),
            ApplicationData(empty, empty, empty, empty, {VariableData(QString(), empty)}, {}, false, -1)};
}

// The same, with keys that a newer Korvani may write: values of every JSON
// kind, each kept as the text it was read as.
ApplicationDataList entriesWithOtherFields()
{
    ApplicationDataList list = entries();
    list[0].setOtherFields({{QStringLiteral("count"), "12345678901"},
                            {QStringLiteral("huge"), "1e+300"},
                            {QStringLiteral("icon"), "\"python3\""},
                            {QStringLiteral("list"), R"([
            1,
            "two",
            [
            ],
            {
            }
        ])"},
                            {QStringLiteral("nested"), R"({
            "a": "\u0001 é 🐍",
            "b": 2
        })"},
                            {QStringLiteral("none"), "null"},
                            {QStringLiteral("on"), "true"},
                            {QStringLiteral("tiny"), "-2.5e-300"},
                            {QStringLiteral("zoom"), "1.5"}});
    list[2].setOtherFields({{QStringLiteral("version"), "3"}});
    return list;
}

} // namespace

void TestStoredBytes::initTestCase()
{
    registerRecordTypes();
    QVERIFY(m_dir.isValid());
}

void TestStoredBytes::dragPayload()
{
    const QByteArray qt5 = readAll(qt5File(QStringLiteral("payload")));
    QVERIFY(!qt5.isEmpty());
    QCOMPARE(writeApplicationDataPayload(entries()), qt5);
    const ApplicationDataList read = readApplicationDataPayload(qt5);
    QCOMPARE(toJsonArray(read), toJsonArray(entries()));
    // Null strings read back null.
    QCOMPARE(writeApplicationDataPayload(read), qt5);
}

void TestStoredBytes::launcherFile()
{
    const QByteArray qt5 = readAll(qt5File(QStringLiteral("shortchut.json")));
    QVERIFY(!qt5.isEmpty());
    const QString fileName = m_dir.filePath(QStringLiteral("shortchut.json"));
    QVERIFY(writeLauncherFile(fileName, entriesWithOtherFields()));
    QCOMPARE(readAll(fileName), qt5);

    writeFile(fileName, qt5);
    ApplicationDataList read;
    LauncherFileProblem problem;
    QVERIFY(readLauncherFile(fileName, &read, &problem));
    QVERIFY(!problem.any());
    QCOMPARE(toJsonArray(read), toJsonArray(entriesWithOtherFields()));
    QVERIFY(writeLauncherFile(fileName, read));
    QCOMPARE(readAll(fileName), qt5);
}

void TestStoredBytes::batchFile()
{
    const QString fileName = m_dir.filePath(QStringLiteral("launch.bat"));
    QVERIFY(entries().first().writeBatchFile(fileName));
    QCOMPARE(readAll(fileName), readAll(qt5File(QStringLiteral("launch.bat"))));
}

QTEST_MAIN(TestStoredBytes)
#include "TestStoredBytes.moc"
