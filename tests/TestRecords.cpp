#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "records/records.h"
#include "testSupport.h"

#include <QDir>
#include <QFileIconProvider>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage genericFileIcon()
{
    return iconImage(QFileIconProvider().icon(QFileIconProvider::File));
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void defaultRecord();
    void icon_data();
    void icon();
    void copyKeepsIconOfDeletedProgram();
    void setPathLeavesIcon();
    void variantConversion();

private:
    QTemporaryDir m_dir;
};

void TestRecords::initTestCase()
{
    registerRecordTypes();
    QVERIFY(m_dir.isValid());
    // The test only means something where a folder and a file look different.
    QVERIFY(iconImage(QFileIconProvider().icon(QFileInfo(m_dir.path()))) != genericFileIcon());
}

void TestRecords::defaultRecord()
{
    const ApplicationData record;
    QVERIFY(record.name().isEmpty());
    QVERIFY(record.description().isEmpty());
    QVERIFY(record.path().isEmpty());
    QVERIFY(record.preScript().isEmpty());
    QVERIFY(record.arguments().isEmpty());
    QVERIFY(record.environments().isEmpty());
    QCOMPARE(record.favorite(), false);
    QCOMPARE(record.tag(), 0);
    QCOMPARE(iconImage(record.icon()), genericFileIcon());

    const VariableData variable;
    QVERIFY(variable.name().isEmpty());
    QVERIFY(variable.value().isEmpty());
}

void TestRecords::icon_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("generic");

    QTest::newRow("empty path") << QString() << true;
    QTest::newRow("missing file") << m_dir.filePath("nothing-here") << true;
    QTest::newRow("existing folder") << m_dir.path() << false;
}

void TestRecords::icon()
{
    QFETCH(QString, path);
    QFETCH(bool, generic);

    const ApplicationData record(QStringLiteral("name"), QString(), path);
    const QImage expected = generic ? genericFileIcon() : iconImage(QFileIconProvider().icon(QFileInfo(path)));
    QCOMPARE(iconImage(record.icon()), expected);
}

void TestRecords::copyKeepsIconOfDeletedProgram()
{
    const QString folder = m_dir.filePath("program");
    QVERIFY(QDir().mkpath(folder));
    const ApplicationData original(QStringLiteral("x"), QString(), folder);
    const QImage folderIcon = iconImage(original.icon());
    QVERIFY(QDir(folder).removeRecursively());

    ApplicationData copy(original);
    QCOMPARE(iconImage(copy.icon()), folderIcon);
    ApplicationData assigned;
    assigned = original;
    QCOMPARE(iconImage(assigned.icon()), folderIcon);

    copy.updateIcon();
    QCOMPARE(iconImage(copy.icon()), genericFileIcon());
}

void TestRecords::setPathLeavesIcon()
{
    ApplicationData record;
    record.setPath(m_dir.path());
    QCOMPARE(record.path(), m_dir.path());
    QCOMPARE(iconImage(record.icon()), genericFileIcon());
    record.updateIcon();
    QVERIFY(iconImage(record.icon()) != genericFileIcon());
}

void TestRecords::variantConversion()
{
    const ApplicationData record(QStringLiteral("Editor"), QStringLiteral("text"), QStringLiteral("/usr/bin/vi"),
                                 QStringLiteral("echo"), {VariableData(QStringLiteral("-n"))},
                                 {VariableData(QStringLiteral("TERM"), QStringLiteral("xterm"))}, true, 5);
    const ApplicationData back = QVariant::fromValue(record).value<ApplicationData>();
    QCOMPARE(back.toJsonObject(), record.toJsonObject());

    const ApplicationData fromOther = QVariant(42).value<ApplicationData>();
    QCOMPARE(fromOther.toJsonObject(), ApplicationData().toJsonObject());
    QVERIFY(QVariant(QStringLiteral("x")).value<VariableDataList>().isEmpty());
}

QTEST_MAIN(TestRecords)
#include "TestRecords.moc"
