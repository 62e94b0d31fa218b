#include "records/launcherFile.h"
#include "records/recordStream.h"
#include "records/records.h"

#include <QJsonDocument>
#include <QtTest>

// The launcher file is read element by element; what it reads, and whether
// it takes the text as an array at all, must be what the toolkit's parser
// says of the whole text.
class TestJsonArrayReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameAsWholeDocument_data();
    void sameAsWholeDocument();
};

void TestJsonArrayReader::initTestCase()
{
    registerRecordTypes();
}

namespace {

// An array of that many entries, the one at the given place replaced.
QByteArray manyEntries(int count, int replaced = -1, const QByteArray &replacement = QByteArray())
{
    QByteArrayList entries;
    for (int i = 0; i < count; ++i)
        entries.append(i == replaced ? replacement : "{\"name\": \"" + QByteArray::number(i) + "\"}");
    return '[' + entries.join(",\n") + ']';
}

} // namespace

void TestJsonArrayReader::sameAsWholeDocument_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("more entries than are parsed at once") << manyEntries(1000);
    QTest::newRow("a bad entry after many good ones") << manyEntries(1000, 700, "{\"name\": }");
    QTest::newRow("trailing comma after many entries") << manyEntries(600, 599, "");

    QTest::newRow("entries") << QByteArray(R"([{"name":"a","tag":3},{"name":"b","arguments":[{"name":"-x"}]}])");
    QTest::newRow("empty") << QByteArray("[]");
    QTest::newRow("empty with spaces") << QByteArray(" [ \t\r\n] \n");
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[{\"name\":\"a\"}]");
    QTest::newRow("byte order mark after a space") << QByteArray(" \xEF\xBB\xBF[{}]");
    QTest::newRow("brackets and commas in strings") << QByteArray(R"([{"name":"],[{}\"","description":"\\"}])");
    QTest::newRow("values that are no entries") << QByteArray(R"([1, "x", null, [2, {"name": "y"}], {"name": "z"}])");
    QTest::newRow("an object, not an array") << QByteArray(R"({"name":"a"})");
    QTest::newRow("nothing") << QByteArray();
    QTest::newRow("trailing comma") << QByteArray(R"([{"name":"a"},])");
    QTest::newRow("leading comma") << QByteArray(R"([,{"name":"a"}])");
    QTest::newRow("two commas") << QByteArray(R"([{},,{}])");
    QTest::newRow("missing comma") << QByteArray(R"([{} {}])");
    QTest::newRow("garbage after the array") << QByteArray(R"([{}] x)");
    QTest::newRow("a second array") << QByteArray(R"([{}][{}])");
    QTest::newRow("a closing brace for the array") << QByteArray(R"([{}})");
    QTest::newRow("mismatched brackets inside") << QByteArray(R"([{"a":[1}]}])");
    QTest::newRow("unterminated string") << QByteArray(R"([{"name":"a}])");
    QTest::newRow("unterminated array") << QByteArray(R"([{"name":"a"})");
    QTest::newRow("backslash at the end") << QByteArray("[\"\\");
    QTest::newRow("vertical tab is no space") << QByteArray("[{}\x0b]");
    QTest::newRow("nul after the array") << QByteArray("[{}]\0", 5);
    QTest::newRow("bad element among good ones") << QByteArray(R"([{"name":"a"},{"name":},{"name":"c"}])");
    QTest::newRow("nested as deep as allowed") << QByteArray("[" + QByteArray(1023, '[') + QByteArray(1023, ']') + "]");
    QTest::newRow("nested too deep") << QByteArray("[" + QByteArray(1100, '[') + QByteArray(1100, ']') + "]");
}

void TestJsonArrayReader::sameAsWholeDocument()
{
    QFETCH(QByteArray, content);

    const QJsonDocument document = QJsonDocument::fromJson(content);
    ApplicationDataList list{ApplicationData(QStringLiteral("left over"))};
    QCOMPARE(parseLauncherData(content, &list), document.isArray());
    QCOMPARE(toJsonArray(list), toJsonArray(fromJsonArray<ApplicationData>(document.array())));
}

QTEST_GUILESS_MAIN(TestJsonArrayReader)
#include "TestJsonArrayReader.moc"
