#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "records/records.h"
#include "testSupport.h"

#include <QFileIconProvider>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestRecordStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void applicationBytes_data();
    void applicationBytes();
    void variableBytes();
    void nullStringsReadBackNull();
    void variantStreaming_data();
    void variantStreaming();
    void payloadRoundTrip();
    void truncatedPayload();
    void hostilePayload_data();
    void hostilePayload();
    void listCountIsNotTrusted_data();
    void listCountIsNotTrusted();
    void listKeepsEarlierFailure();
    void variantWithAbsurdListCount();
    void otherFieldsPayload_data();
    void otherFieldsPayload();
};

namespace {

QByteArray bytesOf(const ApplicationData &record)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << record;
    return bytes;
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// Four empty strings and the favourite flag: everything of a record before its lists.
QByteArray recordHead()
{
    return hex("00000000 00000000 00000000 00000000 01");
}

ApplicationDataList threeRecords(const QString &folder)
{
    return {ApplicationData(QStringLiteral("one"), QStringLiteral("first"), folder, QStringLiteral("echo 1"),
                            {VariableData(QStringLiteral("-a"), QStringLiteral("1"))}, {}, true, 1),
            ApplicationData(QStringLiteral("two"), QString(), QStringLiteral("/nowhere/two"), QString(), {},
                            {VariableData(QStringLiteral("E"), QStringLiteral("v"))}, false, 6),
            ApplicationData(QStringLiteral("three"))};
}

} // namespace

void TestRecordStream::initTestCase()
{
    registerRecordTypes();
}

void TestRecordStream::applicationBytes_data()
{
    QTest::addColumn<ApplicationData>("record");
    QTest::addColumn<QByteArray>("bytes");

    const QString empty(QLatin1String(""));
    QTest::newRow("abc") << ApplicationData(QStringLiteral("abc"), empty, empty, empty, {}, {}, true, 5)
                         << hex("00000006 006100620063 00000000 00000000 00000000 01 00000000 00000000 00000005");
    QTest::newRow("null strings") << ApplicationData()
                                  << hex("ffffffff ffffffff ffffffff ffffffff 00 00000000 00000000 00000000");
    QTest::newRow("lists and negative tag")
        << ApplicationData(empty, empty, empty, empty, {VariableData(QStringLiteral("a"), empty)},
                           {VariableData(empty, QStringLiteral("b")), VariableData(empty, empty)}, false, -1)
        << hex("00000000 00000000 00000000 00000000 00"
               "00000001 00000002 0061 00000000"
               "00000002 00000000 00000002 0062 00000000 00000000"
               "ffffffff");
}

void TestRecordStream::applicationBytes()
{
    QFETCH(ApplicationData, record);
    QFETCH(QByteArray, bytes);

    QCOMPARE(bytesOf(record), bytes);
    const ApplicationDataList back = readApplicationDataPayload(bytes);
    QCOMPARE(back.size(), 1);
    QCOMPARE(back.first().toJsonObject(), record.toJsonObject());
}

void TestRecordStream::variableBytes()
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << VariableData(QStringLiteral("a"), QLatin1String(""));
    QCOMPARE(bytes, hex("00000002 0061 00000000"));

    QDataStream in(bytes);
    VariableData variable(QStringLiteral("old"), QStringLiteral("old"));
    in >> variable;
    QCOMPARE(variable.name(), QStringLiteral("a"));
    QVERIFY(variable.value().isEmpty());
    QVERIFY(!variable.value().isNull());
}

void TestRecordStream::nullStringsReadBackNull()
{
    const ApplicationDataList back = readApplicationDataPayload(bytesOf(ApplicationData()));
    QCOMPARE(back.size(), 1);
    QVERIFY(back.first().name().isNull());
    QVERIFY(back.first().description().isNull());
    QVERIFY(back.first().path().isNull());
    QVERIFY(back.first().preScript().isNull());
}

void TestRecordStream::variantStreaming_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QByteArray>("json");

    const ApplicationData record = threeRecords(QStringLiteral("/tmp")).first();
    const VariableData variable(QStringLiteral("n"), QStringLiteral("v"));
    auto json = [](const QJsonValue &value) { return QJsonDocument(QJsonArray{value}).toJson(); };
    QTest::newRow("VariableData") << QVariant::fromValue(variable) << json(variable.toJsonObject());
    QTest::newRow("VariableDataList") << QVariant::fromValue(VariableDataList{variable, variable})
                                      << json(toJsonArray(VariableDataList{variable, variable}));
    QTest::newRow("ApplicationData") << QVariant::fromValue(record) << json(record.toJsonObject());
    QTest::newRow("ApplicationDataList") << QVariant::fromValue(threeRecords(QStringLiteral("/tmp")))
                                         << json(toJsonArray(threeRecords(QStringLiteral("/tmp"))));
}

void TestRecordStream::variantStreaming()
{
    QFETCH(QVariant, value);
    QFETCH(QByteArray, json);

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << value;
    QDataStream in(bytes);
    QVariant back;
    in >> back;
    QCOMPARE(in.status(), QDataStream::Ok);
    QCOMPARE(back.userType(), value.userType());

    QJsonValue backJson;
    if (back.canConvert<VariableData>())
        backJson = back.value<VariableData>().toJsonObject();
    else if (back.canConvert<VariableDataList>())
        backJson = toJsonArray(back.value<VariableDataList>());
    else if (back.canConvert<ApplicationData>())
        backJson = back.value<ApplicationData>().toJsonObject();
    else
        backJson = toJsonArray(back.value<ApplicationDataList>());
    QCOMPARE(QJsonDocument(QJsonArray{backJson}).toJson(), json);
}

void TestRecordStream::payloadRoundTrip()
{
    QTemporaryDir dir;
    const ApplicationDataList records = threeRecords(dir.path());
    const QByteArray payload = writeApplicationDataPayload(records);
    QCOMPARE(payload, bytesOf(records.at(0)) + bytesOf(records.at(1)) + bytesOf(records.at(2)));

    const ApplicationDataList back = readApplicationDataPayload(payload);
    QCOMPARE(toJsonArray(back), toJsonArray(records));
    // Icons come from the paths on the reading side.
    QCOMPARE(iconImage(back.at(0).icon()), iconImage(QFileIconProvider().icon(QFileInfo(dir.path()))));
    QCOMPARE(iconImage(back.at(1).icon()), iconImage(QFileIconProvider().icon(QFileIconProvider::File)));
}

void TestRecordStream::truncatedPayload()
{
    const ApplicationDataList records = threeRecords(QStringLiteral("/tmp")).mid(0, 2);
    const QByteArray payload = writeApplicationDataPayload(records);
    const int firstSize = bytesOf(records.first()).size();

    for (int size = 0; size < payload.size(); ++size) {
        const ApplicationDataList back = readApplicationDataPayload(payload.left(size));
        const int expectedCount = size == 0 ? 0 : size <= firstSize ? 1 : 2;
        QCOMPARE(back.size(), expectedCount);
        if (size >= firstSize)
            QCOMPARE(back.first().toJsonObject(), records.first().toJsonObject());
    }
    // A cut inside the second record keeps what was read of it.
    const ApplicationDataList cut = readApplicationDataPayload(payload.left(firstSize + 12));
    QCOMPARE(cut.at(1).name(), QStringLiteral("two"));
    QVERIFY(cut.at(1).description().isEmpty());
    QVERIFY(cut.at(1).arguments().isEmpty());
    QCOMPARE(cut.at(1).tag(), 0);
}

void TestRecordStream::hostilePayload_data()
{
    QTest::addColumn<QByteArray>("payload");

    QTest::newRow("argument count 0xffffffff") << recordHead() + hex("ffffffff 00000002 0061");
    QTest::newRow("argument count 0x7fffffff") << recordHead() + hex("7fffffff 00000002 0061 00000000");
    QTest::newRow("environment count 0x10000000") << recordHead() + hex("00000000 10000000 00000000");
    QTest::newRow("string length 0x7ffffffe") << hex("7ffffffe 00610062");
    QTest::newRow("odd string length") << hex("00000003 616263") + recordHead();
    QByteArray nullVariables = recordHead() + hex("ffffffff");
    for (int i = 0; i < 1000; ++i)
        nullVariables += hex("ffffffff ffffffff");
    QTest::newRow("many variables, count too large") << nullVariables;

    QRandomGenerator random(20261207);
    for (int round = 0; round < 20; ++round) {
        QByteArray bytes(512, Qt::Uninitialized);
        for (char &byte : bytes)
            byte = char(random.bounded(256));
        QTest::newRow(qPrintable(QStringLiteral("random %1").arg(round))) << bytes;
    }
}

void TestRecordStream::hostilePayload()
{
    QFETCH(QByteArray, payload);

    const ApplicationDataList records = readApplicationDataPayload(payload);
    // Every record consumes at least four bytes.
    QVERIFY(records.size() <= payload.size() / 4 + 1);
    int variables = 0;
    for (const ApplicationData &record : records)
        variables += record.arguments().size() + record.environments().size();
    QVERIFY(variables <= payload.size() / 8);
}

void TestRecordStream::listCountIsNotTrusted_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("size");

    const QByteArray element = hex("00000002 0061 00000000");
    QTest::newRow("exact count") << hex("00000002") + element + element << 2;
    QTest::newRow("count 0xffffffff") << hex("ffffffff") + element + element << 0;
    QTest::newRow("count 0x7fffffff") << hex("7fffffff") + element << 0;
    QTest::newRow("count cut off") << hex("0000") << 0;
}

void TestRecordStream::listCountIsNotTrusted()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, size);

    QDataStream stream(bytes);
    VariableDataList list{VariableData(QStringLiteral("old"))};
    stream >> list;
    QCOMPARE(list.size(), size);
    QCOMPARE(stream.status() == QDataStream::Ok, size > 0);
}

void TestRecordStream::listKeepsEarlierFailure()
{
    QByteArray bytes = hex("00000001 00000002 0061 00000000");
    QDataStream stream(bytes);
    stream.setStatus(QDataStream::ReadCorruptData);
    VariableDataList list;
    stream >> list;
    QCOMPARE(list.size(), 1);
    QCOMPARE(stream.status(), QDataStream::ReadCorruptData);
}

void TestRecordStream::variantWithAbsurdListCount()
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << QVariant::fromValue(VariableDataList{VariableData(QStringLiteral("a"), QStringLiteral("b"))});
    const QByteArray tail = hex("00000001 00000002 0061 00000002 0062");
    QVERIFY(bytes.endsWith(tail));
    bytes.replace(bytes.size() - tail.size(), 4, hex("7fffffff"));

    QDataStream in(bytes);
    QVariant back;
    in >> back;
    QVERIFY(back.value<VariableDataList>().isEmpty());
}

void TestRecordStream::otherFieldsPayload_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QList<OtherFields>>("fields");

    const OtherFields later{{QStringLiteral("later"), R"([1, "\u00e9", 1e400, {"b":1,"a":2}])"}};
    QTest::newRow("values as read") << QByteArray(R"([{"later":[1, "\u00e9", 1e400, {"b":1,"a":2}]},{},{}])")
                                    << QList<OtherFields>{later, {}, {}};
    // As earlier versions write it, with the toolkit's JSON text.
    QTest::newRow("the toolkit's text")
        << QByteArray(R"([{},{"x":{"a":[true,null]},"y":"s"},{}])")
        << QList<OtherFields>{{}, {{QStringLiteral("x"), R"({"a":[true,null]})"}, {QStringLiteral("y"), R"("s")"}}, {}};
    QTest::newRow("not one object for each record")
        << QByteArray(R"([{"x":1},{"x":2}])") << QList<OtherFields>{{}, {}, {}};
    QTest::newRow("not an array") << QByteArray(R"({"x":1})") << QList<OtherFields>{{}, {}, {}};
    QTest::newRow("not JSON") << QByteArray(R"([{"x":1},{},{"x":)") << QList<OtherFields>{{}, {}, {}};
}

// The fields of a newer version move with a dragged entry, as their text was.
void TestRecordStream::otherFieldsPayload()
{
    QFETCH(QByteArray, payload);
    QFETCH(QList<OtherFields>, fields);

    ApplicationDataList records = threeRecords(QStringLiteral("/tmp"));
    readOtherFieldsPayload(payload, &records);
    for (int i = 0; i < records.size(); ++i)
        QCOMPARE(records.at(i).otherFields(), fields.at(i));
    // Carried on by the next drag as they are.
    ApplicationDataList again = threeRecords(QStringLiteral("/tmp"));
    readOtherFieldsPayload(writeOtherFieldsPayload(records), &again);
    for (int i = 0; i < again.size(); ++i)
        QCOMPARE(again.at(i).otherFields(), fields.at(i));
    QCOMPARE(writeOtherFieldsPayload(threeRecords(QStringLiteral("/tmp"))), QByteArray());
}

QTEST_MAIN(TestRecordStream)
#include "TestRecordStream.moc"
