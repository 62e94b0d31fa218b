#include "records/launcherFile.h"
#include "records/records.h"
#include "testSupport.h"

#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

class TestLauncherFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readingRules_data();
    void readingRules();
    void unreadableContent_data();
    void unreadableContent();
    void sameAsStandardJson_data();
    void sameAsStandardJson();
    void repeatedListsReadAlike_data();
    void repeatedListsReadAlike();
    void byteOrderMarksAreKept_data();
    void byteOrderMarksAreKept();
    void unknownValuesAreKeptAsWritten_data();
    void unknownValuesAreKeptAsWritten();
    void randomUnknownValuesAreKept();
    void valuesTheToolkitRefuses_data();
    void valuesTheToolkitRefuses();
    void missingFile();
#ifdef Q_OS_UNIX
    void filesThatAreNotRead_data();
    void filesThatAreNotRead();
#endif
    void hundredMegabyteFile();
    void roundTrip();
    void otherFieldsAndOddValues();
    void writtenAsTheToolkitWrites_data();
    void writtenAsTheToolkitWrites();
    void writtenLayout();
    void emptyList();
    void writeCreatesDataFolder();
    void writeFailureIsReported();
#ifdef Q_OS_UNIX
    void savingThroughLinks_data();
    void savingThroughLinks();
    void writtenForTheUserOnly();
#endif

private:
    QString writeFile(const QString &name, const QByteArray &content);
    QTemporaryDir m_dir;
};

namespace {

ApplicationDataList sampleList()
{
    return {
        ApplicationData(QStringLiteral("Éditeur 日本"), QStringLiteral("C:\\Program Files\\x"),
                        QStringLiteral("C:\\Tools\\edit.exe"), QStringLiteral("cd \\\necho \"hi\"\n"),
                        {VariableData(QStringLiteral("-f"), QStringLiteral("a b")), VariableData(QStringLiteral("-q"))},
                        {VariableData(QStringLiteral("PATH"), QStringLiteral("C:\\bin;D:\\ü"))}, true, 12),
        ApplicationData(QStringLiteral("second"), QString(), QStringLiteral("/usr/bin/env"), QString(), {}, {}, false,
                        16),
        ApplicationData()};
}

QJsonArray asJson(const ApplicationDataList &list)
{
    return toJsonArray(list);
}
} // namespace

QString TestLauncherFile::writeFile(const QString &name, const QByteArray &content)
{
    const QString fileName = m_dir.filePath(name);
    QFile file(fileName);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(content);
    return fileName;
}

void TestLauncherFile::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestLauncherFile::readingRules_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray defaults = R"({"arguments":[],"description":"","environments":[],"favorite":false,)"
                                R"("name":"","path":"","preScript":"","tag":0})";
    QTest::newRow("complete")
        << QByteArray(R"({"name":"n","description":"d","path":"p","preScript":"a\nb","favorite":true,"tag":5,)"
                      R"("arguments":[{"name":"-x","value":"1"}],"environments":[{"name":"E","value":"v"}]})")
        << QByteArray(R"({"arguments":[{"name":"-x","value":"1"}],"description":"d",)"
                      R"("environments":[{"name":"E","value":"v"}],"favorite":true,"name":"n","path":"p",)"
                      R"("preScript":"a\nb","tag":5})");
    QTest::newRow("missing keys") << QByteArray("{}") << defaults;
    QTest::newRow("wrong types") << QByteArray(
        R"({"name":5,"description":true,"path":[],"preScript":{},"favorite":"true",)"
        R"("tag":"3","arguments":"x","environments":7})")
                                 << defaults;
    QTest::newRow("favorite 1") << QByteArray(R"({"favorite":1})") << defaults;
    QTest::newRow("tag 3.5") << QByteArray(R"({"tag":3.5})") << defaults;
    QTest::newRow("tag above int") << QByteArray(R"({"tag":2147483648})") << defaults;
    QTest::newRow("tag huge") << QByteArray(R"({"tag":1e300})") << defaults;
    QTest::newRow("tag null") << QByteArray(R"({"tag":null})") << defaults;
    QTest::newRow("tag 12") << QByteArray(R"({"tag":12})") << QByteArray(defaults).replace("\"tag\":0", "\"tag\":12");
    QTest::newRow("tag with unknown bit")
        << QByteArray(R"({"tag":16})") << QByteArray(defaults).replace("\"tag\":0", "\"tag\":16");
    QTest::newRow("tag smallest int") << QByteArray(R"({"tag":-2147483648})")
                                      << QByteArray(defaults).replace("\"tag\":0", "\"tag\":-2147483648");
    QTest::newRow("tag written as 4.0") << QByteArray(R"({"tag":4.0})")
                                        << QByteArray(defaults).replace("\"tag\":0", "\"tag\":4");
    QTest::newRow("variable value not a string")
        << QByteArray(R"({"arguments":[{"name":"-n","value":3}]})")
        << QByteArray(defaults).replace(R"("arguments":[])", R"("arguments":[{"name":"-n","value":""}])");
    QTest::newRow("variable that is not an object")
        << QByteArray(R"({"environments":[7,"x"]})")
        << QByteArray(defaults).replace(R"("environments":[])",
                                        R"("environments":[{"name":"","value":""},{"name":"","value":""}])");
    QTest::newRow("entry that is not an object") << QByteArray("42") << defaults;
    QTest::newRow("unknown keys are kept") << QByteArray(R"({"icon":"x","name":"n"})")
                                           << QByteArray(defaults).replace(R"("name":"")", R"("icon":"x","name":"n")");
}

void TestLauncherFile::readingRules()
{
    QFETCH(QByteArray, entry);
    QFETCH(QByteArray, expected);

    const QString fileName = writeFile(QStringLiteral("rules.json"), "[" + entry + "]");
    ApplicationDataList list;
    QVERIFY(readLauncherFile(fileName, &list));
    QCOMPARE(list.size(), 1);
    QCOMPARE(QJsonDocument(list.first().toJsonObject()), QJsonDocument::fromJson(expected));
}

void TestLauncherFile::unreadableContent_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("keepsCopy");

    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("blank file") << QByteArray(" \n") << false;
    QTest::newRow("not json") << QByteArray("name = x") << true;
    QTest::newRow("truncated") << QByteArray(R"([{"name":"a","path":"b"},{"name":)") << true;
    QTest::newRow("object at top") << QByteArray(R"({"name":"a"})") << true;
    QTest::newRow("invalid utf-8") << QByteArray("[{\"name\":\"\xff\xfe\"}]") << true;
    QTest::newRow("nested ten thousand deep") << QByteArray(10000, '[') + QByteArray(10000, ']') << true;
}

void TestLauncherFile::unreadableContent()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, keepsCopy);

    QTemporaryDir dir;
    const QString fileName = dir.filePath("shortchut.json");
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    ApplicationDataList list{ApplicationData()};
    QVERIFY(readLauncherFile(fileName, &list));
    QVERIFY(list.isEmpty());
    // Reading twice keeps one copy only.
    QVERIFY(readLauncherFile(fileName, &list));

    const QStringList copies = QDir(dir.path()).entryList({QStringLiteral("shortchut.json.*")}, QDir::Files);
    if (keepsCopy) {
        QCOMPARE(copies, QStringList{QStringLiteral("shortchut.json.unreadable")});
        QCOMPARE(readAll(dir.filePath(copies.first())), content);
        // A later, different damage is kept beside the first.
        QFile again(fileName);
        QVERIFY(again.open(QIODevice::WriteOnly));
        again.write("garbage");
        again.close();
        QVERIFY(readLauncherFile(fileName, &list));
        QCOMPARE(readAll(dir.filePath("shortchut.json.unreadable")), content);
        QCOMPARE(readAll(dir.filePath("shortchut.json.unreadable-2")), QByteArray("garbage"));
    } else {
        QVERIFY(copies.isEmpty());
    }
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

void TestLauncherFile::sameAsStandardJson_data()
{
    QTest::addColumn<QByteArray>("content");
    // Whether it is read as a list when the toolkit's parser, which takes a
    // little more than standard JSON, would not be asked.
    QTest::addColumn<bool>("standard");

    QTest::newRow("many entries") << manyEntries(1000) << true;
    QTest::newRow("a bad entry after many good ones") << manyEntries(1000, 700, "{\"name\": }") << true;
    QTest::newRow("trailing comma after many entries") << manyEntries(600, 599, "") << true;
    QTest::newRow("empty") << QByteArray("[]") << true;
    QTest::newRow("empty with spaces") << QByteArray(" [ \t\r\n] \n") << true;
    QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[{\"name\":\"a\"}]") << true;
    QTest::newRow("byte order mark after a space") << QByteArray(" \xEF\xBB\xBF[{}]") << true;
    QTest::newRow("brackets and commas in strings") << QByteArray(R"([{"name":"],[{}\"","description":"\\"}])") << true;
    QTest::newRow("values that are no entries")
        << QByteArray(R"([1, "x", null, true, [2, {"name": "y"}], {"name": "z"}])") << true;
    QTest::newRow("escaped key") << QByteArray(R"([{"n\u0061me":"a","name":"b"}])") << true;
    QTest::newRow("repeated key") << QByteArray(R"([{"name":"a","name":5}])") << true;
    QTest::newRow("an object, not an array") << QByteArray(R"({"name":"a"})") << true;
    QTest::newRow("a string, not an array") << QByteArray(R"("[]")") << true;
    QTest::newRow("trailing comma") << QByteArray(R"([{"name":"a"},])") << true;
    QTest::newRow("leading comma") << QByteArray(R"([,{"name":"a"}])") << true;
    QTest::newRow("two commas") << QByteArray(R"([{},,{}])") << true;
    QTest::newRow("missing comma") << QByteArray(R"([{} {}])") << true;
    QTest::newRow("garbage after the array") << QByteArray(R"([{}] x)") << true;
    QTest::newRow("a second array") << QByteArray(R"([{}][{}])") << true;
    QTest::newRow("a closing brace for the array") << QByteArray(R"([{}})") << true;
    QTest::newRow("mismatched brackets inside") << QByteArray(R"([{"a":[1}]}])") << true;
    QTest::newRow("unterminated string") << QByteArray(R"([{"name":"a}])") << true;
    QTest::newRow("unterminated array") << QByteArray(R"([{"name":"a"})") << true;
    QTest::newRow("backslash at the end") << QByteArray("[\"\\") << true;
    QTest::newRow("vertical tab is no space") << QByteArray("[{}\x0b]") << true;
    QTest::newRow("nul after the array") << QByteArray("[{}]\0", 5) << true;
    QTest::newRow("bad literal in an unknown key") << QByteArray(R"([{"x":nul}])") << true;
    QTest::newRow("bad number in an unknown key") << QByteArray(R"([{"x":[1, -]}])") << true;
    QTest::newRow("invalid utf-8 in an unknown key") << QByteArray("[{\"x\":[\"\xff\xfe\"]}]") << true;
    QTest::newRow("lone surrogate in a key") << QByteArray(R"([{"\ud800":1,"name":"a"}])") << true;
    QTest::newRow("lone surrogate in a nested key") << QByteArray(R"([{"x":{"\udc00":1},"name":"a"}])") << true;
    QTest::newRow("lone surrogate in a variable's key")
        << QByteArray(R"([{"arguments":[{"\ud800":1}],"name":"a"}])") << true;
    QTest::newRow("leading zero in an unknown key") << QByteArray(R"([{"x":01}])") << true;
    QTest::newRow("plus sign in an unknown key") << QByteArray(R"([{"x":+1}])") << true;
    QTest::newRow("exponent without digits") << QByteArray(R"([{"tag":1e}])") << true;
    QTest::newRow("letters after a number") << QByteArray(R"([{"x":1e5x}])") << true;
    QTest::newRow("large integer") << QByteArray(R"([{"tag":12345678901234567890123}])") << true;
    QTest::newRow("nested as deep as allowed")
        << QByteArray("[" + QByteArray(1023, '[') + QByteArray(1023, ']') + "]") << true;
    QTest::newRow("nested too deep") << QByteArray("[" + QByteArray(1024, '[') + QByteArray(1024, ']') + "]") << true;
    QTest::newRow("nested too deep in an entry")
        << QByteArray("[{\"x\":" + QByteArray(1023, '[') + QByteArray(1023, ']') + "}]") << true;
    // What the toolkit writes for a lone half of a surrogate pair, as a
    // Windows file name may hold, is read back.
    QTest::newRow("lone surrogate") << QByteArray(R"([{"path":"C:\\\udc80.exe"}])") << true;
    // Standard JSON escapes control characters, knows only its own escapes,
    // and gives a fraction digits.
    QTest::newRow("unknown escape") << QByteArray(R"([{"name":"\x"}])") << false;
    QTest::newRow("unknown escape in an unknown key") << QByteArray(R"([{"x":{"y":"\x"}}])") << false;
    QTest::newRow("raw control character") << QByteArray("[{\"name\":\"a\tb\"}]") << false;
    QTest::newRow("number ending in a point") << QByteArray(R"([{"tag":1.}])") << false;
    QTest::newRow("number ending in a point in an unknown key") << QByteArray(R"([{"x":1.}])") << false;
}

// What is read, and whether the text is taken as a list at all, is what the
// toolkit's JSON parser says of the whole text. Numbers that it cannot hold,
// such as 1e400, are valid JSON all the same: see valuesTheToolkitRefuses.
void TestLauncherFile::sameAsStandardJson()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, standard);

    const QJsonDocument document = QJsonDocument::fromJson(content);
    ApplicationDataList list{ApplicationData(QStringLiteral("left over"))};
    QCOMPARE(parseLauncherData(content, &list), document.isArray() && standard);
    if (!list.isEmpty()) {
        QCOMPARE(list.size(), document.array().size());
        for (int i = 0; i < list.size(); ++i) {
            const QJsonObject entry = document.array().at(i).toObject();
            QCOMPARE(list.at(i).name(), entry.value(QStringLiteral("name")).toString());
            QCOMPARE(list.at(i).path(), entry.value(QStringLiteral("path")).toString());
        }
    }
}

void TestLauncherFile::repeatedListsReadAlike_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("losses");

    QTest::newRow("the same list") << QByteArray(R"([{"arguments":[{"name":"-a","value":"1"}]},)"
                                                 R"({"arguments":[{"name":"-a","value":"1"}]}])")
                                   << 0;
    QTest::newRow("a longer list") << QByteArray(R"([{"arguments":[{"name":"-a"}]},)"
                                                 R"({"arguments":[{"name":"-a"},{"name":"-b"}]}])")
                                   << 0;
    QTest::newRow("the same bytes under the other key")
        << QByteArray(R"([{"arguments":[{"name":"E"}],"environments":[{"name":"E"}]},)"
                      R"({"environments":[{"name":"E"}],"arguments":[{"name":"F"}]}])")
        << 0;
    QTest::newRow("brackets in a name") << QByteArray(R"([{"arguments":[{"name":"]}"}]},)"
                                                      R"({"arguments":[{"name":"]}"}],"name":"x"}])")
                                        << 0;
    QTest::newRow("spaces after the list") << QByteArray(R"([{"arguments":[{"name":"-a"}] },)"
                                                         R"({"arguments":[{"name":"-a"}]},{"arguments":[]}])")
                                           << 0;
    QTest::newRow("a list that loses a value, twice")
        << QByteArray(R"([{"arguments":[{"name":"-n","value":3}]},{"arguments":[{"name":"-n","value":3}]}])") << 2;
}

// Entries that repeat the lists of the one before read as if they did not.
void TestLauncherFile::repeatedListsReadAlike()
{
    QFETCH(QByteArray, content);
    QFETCH(int, losses);

    const QJsonArray document = QJsonDocument::fromJson(content).array();
    ApplicationDataList list;
    LauncherDataLosses found;
    QVERIFY(parseLauncherData(content, &list, &found));
    QCOMPARE(list.size(), document.size());
    for (int i = 0; i < list.size(); ++i) {
        const QJsonObject entry = list.at(i).toJsonObject();
        for (const QString &key : {QStringLiteral("arguments"), QStringLiteral("environments")}) {
            QJsonArray expected;
            for (const QJsonValue variable : document.at(i).toObject().value(key).toArray()) {
                expected.append(QJsonObject{{"name", variable.toObject().value("name").toString()},
                                            {"value", variable.toObject().value("value").toString()}});
            }
            QCOMPARE(entry.value(key).toArray(), expected);
        }
    }
    QCOMPARE(found.count, losses);
}

void TestLauncherFile::byteOrderMarksAreKept_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");

    const QString mark(QChar(0xFEFF));
    QTest::newRow("written") << QByteArray("[{\"name\":\"\xEF\xBB\xBF"
                                           "a\"}]")
                             << mark + "a";
    QTest::newRow("escaped") << QByteArray(R"([{"name":"\ufeff\ufeffa"}])") << mark + mark + "a";
    QTest::newRow("before an escape") << QByteArray("[{\"name\":\"\xEF\xBB\xBF\\n\"}]") << mark + "\n";
    QTest::newRow("in a key") << QByteArray("[{\"name\":\"a\",\"\xEF\xBB\xBFname\":\"b\"}]") << QStringLiteral("a");
}

void TestLauncherFile::byteOrderMarksAreKept()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);

    ApplicationDataList list;
    QVERIFY(parseLauncherData(content, &list));
    QCOMPARE(list.first().name(), name);
    // Saved and read again, nothing changes.
    const QByteArray saved = launcherFileContent(list);
    QVERIFY(parseLauncherData(saved, &list));
    QCOMPARE(launcherFileContent(list), saved);
}

void TestLauncherFile::unknownValuesAreKeptAsWritten_data()
{
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("escaped byte order mark") << QByteArray(R"("\uFEFFq")");
    QTest::newRow("byte order mark") << QByteArray("\"\xEF\xBB\xBFq\"");
    QTest::newRow("integer past 64 bits") << QByteArray("12345678901234567891");
    QTest::newRow("integer past a double's precision") << QByteArray("9007199254740993");
    QTest::newRow("number too small for a double") << QByteArray("1e-400");
    QTest::newRow("number too large for a double") << QByteArray("-1e400");
    QTest::newRow("number too large for a double, nested") << QByteArray(R"({"y": [1E+999]})");
    QTest::newRow("negative zero") << QByteArray("-0");
    QTest::newRow("trailing zero") << QByteArray("2.50");
    QTest::newRow("exponent") << QByteArray("1E+2");
    QTest::newRow("escaped slash") << QByteArray(R"("a\/b")");
    QTest::newRow("escaped letter") << QByteArray(R"("\u0041")");
    QTest::newRow("keys that differ by a byte order mark") << QByteArray("{\"a\": 1, \"\xEF\xBB\xBF"
                                                                         "a\": 2}");
    QTest::newRow("keys out of order") << QByteArray(R"({"b": 1, "a": 2})");
    QTest::newRow("repeated key") << QByteArray(R"({"a": 1, "a": 2})");
    QTest::newRow("lone surrogate in a key") << QByteArray(R"({"\ud800": 1})");
    QTest::newRow("nested") << QByteArray(R"([1, {"z": [], "a": {}}, "\u00e9", null, true, false])");
    QTest::newRow("blanks inside") << QByteArray("{\n  \"b\" : [ 1 ,2 ]\r\n\t}");
    QTest::newRow("true") << QByteArray("true");
    QTest::newRow("null") << QByteArray("null");
    QTest::newRow("empty string") << QByteArray(R"("")");
    QTest::newRow("empty object") << QByteArray("{}");
}

// The value of a key Korvani does not know, nested or not, is saved as the
// very text it was read as, whatever the toolkit would make of it.
void TestLauncherFile::unknownValuesAreKeptAsWritten()
{
    QFETCH(QByteArray, value);

    const QByteArray content = "[{\"name\": \"n\", \"x\":  " + value + " \n, \"later\":" + value + "}]";
    ApplicationDataList list;
    LauncherDataLosses losses;
    QVERIFY(parseLauncherData(content, &list, &losses));
    QCOMPARE(losses.count, 0);
    QCOMPARE(list.first().otherFields(), (OtherFields{{QStringLiteral("later"), value}, {QStringLiteral("x"), value}}));
    const QByteArray saved = launcherFileContent(list);
    QVERIFY2(saved.contains("\n        \"later\": " + value + ",\n        \"name\": \"n\",\n"), saved.constData());
    QVERIFY2(saved.endsWith("\n        \"tag\": 0,\n        \"x\": " + value + "\n    }\n]\n"), saved.constData());
    // Read and saved again, nothing changes.
    QVERIFY(parseLauncherData(saved, &list));
    QCOMPARE(launcherFileContent(list), saved);
}

namespace {

// A JSON value of any kind, with blanks here and there, as other programs
// write them: the numbers, strings and keys that the toolkit changes.
QByteArray randomValue(QRandomGenerator &random, int depth)
{
    const auto pick = [&](const QList<QByteArray> &list) { return list.at(int(random.bounded(list.size()))); };
    const auto blank = [&] { return pick({"", "", " ", "\n  ", "\t"}); };
    switch (random.bounded(depth > 4 ? 4 : 6)) {
    case 0:
        return pick({"0", "-0", "1.5", "2.50", "1e5", "1E+2", "12345678901234567891", "9007199254740993", "1e-400",
                     "-3", "1e400", "0.1", "123456789012345678901234567890"});
    case 1:
        return pick({R"("x")", R"("\uFEFFq")", "\"\xEF\xBB\xBFq\"", R"("a\/b")", R"("\u00e9")", "\"\xC3\xA9\"",
                     R"("\ud83d\ude00")", R"("\ud800")", R"("")"});
    case 2:
        return pick({"true", "false", "null"});
    case 3:
        return "[]";
    case 4: {
        QByteArrayList items;
        for (int i = int(random.bounded(4)); i > 0; --i)
            items.append(blank() + randomValue(random, depth + 1) + blank());
        return '[' + items.join(',') + ']';
    }
    default: {
        QByteArrayList members;
        for (int i = int(random.bounded(4)); i > 0; --i) {
            members.append(blank()
                           + pick({R"("a")", R"("b")",
                                   "\"\xEF\xBB\xBF"
                                   "a\"",
                                   R"("\u00e9")", R"("z")", R"("\ud800")", R"("A")"})
                           + blank() + ':' + randomValue(random, depth + 1));
        }
        return '{' + members.join(',') + blank() + '}';
    }
    }
}

} // namespace

// Files of entries with random values under keys Korvani does not know: each
// value is read as written, and saved and read again unchanged.
void TestLauncherFile::randomUnknownValuesAreKept()
{
    QRandomGenerator random(35);
    int changed = 0;
    QByteArray firstChanged;
    for (int file = 0; file < 2400; ++file) {
        QByteArrayList entries;
        QList<OtherFields> written;
        for (int entry = int(random.bounded(1, 4)); entry > 0; --entry) {
            QByteArrayList members{R"("name":"n")", R"("tag":3)"};
            OtherFields others;
            for (int key = int(random.bounded(1, 4)); key > 0; --key) {
                const QByteArray value = randomValue(random, 3);
                others.insert(QStringLiteral("x%1").arg(key), value);
                members.append("\"x" + QByteArray::number(key) + "\": " + value);
            }
            entries.append('{' + members.join(",") + '}');
            written.append(others);
        }
        const QByteArray content = '[' + entries.join(",\n") + ']';
        ApplicationDataList list;
        ApplicationDataList again;
        bool same = parseLauncherData(content, &list) && list.size() == written.size();
        for (int i = 0; same && i < list.size(); ++i)
            same = list.at(i).otherFields() == written.at(i);
        const QByteArray saved = launcherFileContent(list);
        same = same && parseLauncherData(saved, &again) && launcherFileContent(again) == saved;
        for (int i = 0; same && i < again.size(); ++i)
            same = again.at(i).otherFields() == written.at(i);
        if (!same && changed++ == 0)
            firstChanged = content;
    }
    QVERIFY2(changed == 0,
             qPrintable(
                 QStringLiteral("%1 files changed, the first: %2").arg(changed).arg(QString::fromUtf8(firstChanged))));
}

void TestLauncherFile::valuesTheToolkitRefuses_data()
{
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<int>("tag");
    QTest::addColumn<int>("losses");

    QTest::newRow("tag too large for a double") << QByteArray(R"({"tag":1e400})") << 0 << 1;
    QTest::newRow("tag too small for a double") << QByteArray(R"({"tag":-1e400})") << 0 << 1;
    QTest::newRow("tag a tiny fraction") << QByteArray(R"({"tag":1e-400})") << 0 << 1;
    QTest::newRow("tag past a whole number") << QByteArray(R"({"tag":3.0000000000000001})") << 0 << 1;
    QTest::newRow("tag past the smallest int") << QByteArray(R"({"tag":-2147483649})") << 0 << 1;
    QTest::newRow("tag past the largest int") << QByteArray(R"({"tag":2147483647.5})") << 0 << 1;
    QTest::newRow("tag whole with an exponent") << QByteArray(R"({"tag":2.5e1})") << 25 << 0;
    QTest::newRow("tag of many digits") << QByteArray(R"({"tag":100000000000000000000000e-23})") << 1 << 0;
    QTest::newRow("tag the smallest int")
        << QByteArray(R"({"tag":-2147483648.0e0})") << std::numeric_limits<int>::min() << 0;
    QTest::newRow("tag negative zero") << QByteArray(R"({"tag":-0.0})") << 0 << 0;
    QTest::newRow("tag zero with a huge exponent") << QByteArray(R"({"tag":0e999999999999})") << 0 << 0;
    QTest::newRow("favorite too large") << QByteArray(R"({"favorite":1e400,"tag":4})") << 4 << 1;
    QTest::newRow("name an object with a lone surrogate key") << QByteArray(R"({"name":{"\ud800":1}})") << 0 << 1;
    QTest::newRow("variable with a lone surrogate key")
        << QByteArray(R"({"arguments":[{"name":"a","\udfff":1}],"tag":2})") << 2 << 1;
}

// Valid JSON that the toolkit cannot hold is read: in a known key, it is a
// value the entry cannot keep, told and kept in the copy of the file.
void TestLauncherFile::valuesTheToolkitRefuses()
{
    QFETCH(QByteArray, entry);
    QFETCH(int, tag);
    QFETCH(int, losses);

    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("shortchut.json"));
    const QByteArray content = "[" + entry + "]";
    ::writeFile(fileName, content);
    ApplicationDataList list;
    LauncherFileProblem problem;
    QVERIFY(readLauncherFile(fileName, &list, &problem));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().tag(), tag);
    QVERIFY(!problem.notAList);
    QCOMPARE(problem.losses.count, losses);
    QCOMPARE(problem.copyName.isEmpty(), losses == 0);
    if (losses > 0)
        QCOMPARE(readAll(problem.copyName), content);
}

void TestLauncherFile::missingFile()
{
    ApplicationDataList list{ApplicationData(QStringLiteral("kept"))};
    QVERIFY(!readLauncherFile(m_dir.filePath("no-such-file.json"), &list));
    QCOMPARE(list.size(), 1);
    QCOMPARE(list.first().name(), QStringLiteral("kept"));
}

void TestLauncherFile::hundredMegabyteFile()
{
    const QString fileName = m_dir.filePath("huge.json");
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray script(1 << 20, 'x');
    file.write("[");
    for (int i = 0; i < 100; ++i)
        file.write((i ? ",{\"name\":\"" : "{\"name\":\"") + QByteArray::number(i) + "\",\"preScript\":\"" + script
                   + "\"}");
    file.write("]");
    file.close();
    QVERIFY(file.size() > 100 * 1000 * 1000);

    ApplicationDataList list;
    QVERIFY(readLauncherFile(fileName, &list));
    QCOMPARE(list.size(), 100);
    QCOMPARE(list.last().name(), QStringLiteral("99"));
    QCOMPARE(list.last().preScript().size(), script.size());
}

void TestLauncherFile::roundTrip()
{
    const QString fileName = m_dir.filePath("round.json");
    QVERIFY(writeLauncherFile(fileName, sampleList()));
    ApplicationDataList list;
    QVERIFY(readLauncherFile(fileName, &list));
    QCOMPARE(asJson(list), asJson(sampleList()));
    QCOMPARE(list.first().name(), QStringLiteral("Éditeur 日本"));
    QCOMPARE(list.first().path(), QStringLiteral("C:\\Tools\\edit.exe"));
    QCOMPARE(list.at(1).tag(), 16);

    // Writing what was read gives the same file again.
    const QByteArray first = readAll(fileName);
    QVERIFY(writeLauncherFile(fileName, list));
    QCOMPARE(readAll(fileName), first);
}

// What this version does not know is written back as it was; what it cannot
// keep is told, and the file as it was is kept beside it.
void TestLauncherFile::otherFieldsAndOddValues()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("shortchut.json");
    const QByteArray content =
        R"([{"name":"Tool","path":"/bin/true","favorite":"true","tag":"3","arguments":[{"name":"--a","value":5}],)"
        R"("workingDirectory":"/srv/x","later":{"list":[1,2.5,null,true,"\u00e9"],"n\u0061me2":{}}},"a note",)"
        R"({"name":42,"path":"/bin/false","environments":[{"name":"K","value":"v","secret":true}]}])";
    ::writeFile(fileName, content);

    ApplicationDataList list;
    LauncherFileProblem problem;
    QVERIFY(readLauncherFile(fileName, &list, &problem));
    QCOMPARE(list.size(), 3);
    QCOMPARE(problem.losses.count, 6);
    QCOMPARE(problem.losses.examples.size(), LauncherDataLosses::shownExamples);
    QVERIFY2(problem.losses.examples.first().contains(QStringLiteral("\"favorite\"")),
             qPrintable(problem.losses.examples.first()));
    QVERIFY(problem.any());
    QVERIFY(!problem.keepsFile());
    QCOMPARE(problem.copyName, fileName + ".original");
    QCOMPARE(readAll(problem.copyName), content);

    QVERIFY(writeLauncherFile(fileName, list));
    const QJsonArray saved = QJsonDocument::fromJson(readAll(fileName)).array();
    const QJsonObject tool = saved.at(0).toObject();
    QCOMPARE(tool.value("workingDirectory").toString(), QStringLiteral("/srv/x"));
    QVERIFY(readAll(fileName).contains(R"(        "later": {"list":[1,2.5,null,true,"\u00e9"],"n\u0061me2":{}},)"
                                       "\n"));
    QCOMPARE(tool.value("favorite"), QJsonValue(false));
    QCOMPARE(tool.value("tag"), QJsonValue(0));
    QCOMPARE(saved.at(1).toObject().keys().size(), 8);
    QCOMPARE(saved.at(2).toObject().value("name"), QJsonValue(QString()));

    // Read back, it is whole: nothing more is told or copied.
    QVERIFY(readLauncherFile(fileName, &list, &problem));
    QVERIFY(!problem.any());
    QCOMPARE(list.first().otherFields().keys(), (QStringList{"later", "workingDirectory"}));
}

void TestLauncherFile::writtenAsTheToolkitWrites_data()
{
    QTest::addColumn<ApplicationDataList>("list");
    // Values as the toolkit writes them, under keys in every order it keeps.
    const OtherFields others{{QStringLiteral("aaa"), "1.5"},
                             {QStringLiteral("zz"), "null"},
                             {QStringLiteral("ünicode"), "true"},
                             {QStringLiteral("Zebra"), R"("s\n")"},
                             {QString::fromUcs4(U"\U0001F600 face"), "-7"},
                             {QString(QChar(0xfffd)), R"("x")"},
                             {QStringLiteral("a b"), "0"}};
    ApplicationData withOthers(QStringLiteral("n"));
    withOthers.setOtherFields(others);
    const QString odd = QStringLiteral("tab\t, quote \", slash \\ / , bell ") + QChar(7) + QStringLiteral(", delete ")
        + QChar(0x7f) + QStringLiteral(", é, 日本, ") + QString::fromUcs4(U"\U0001F600") + QStringLiteral(", lone ")
        + QChar(0xdc80) + QChar(0xd800);
    // Written a few thousand characters at a time, a pair of surrogates across the first step.
    const QString longOdd = QString(4095, QLatin1Char('a')) + QString::fromUcs4(U"\U0001F600") + odd.repeated(500);

    QTest::newRow("none") << ApplicationDataList();
    QTest::newRow("sample") << sampleList();
    QTest::newRow("odd characters") << ApplicationDataList{
        ApplicationData(odd, odd, odd, odd, {VariableData(odd, odd)}, {VariableData(odd)}, true, -7)};
    QTest::newRow("long odd strings") << ApplicationDataList{
        ApplicationData(longOdd, odd, longOdd, longOdd, {VariableData(longOdd, longOdd)}, {}, false, 1)};
    QTest::newRow("other fields") << ApplicationDataList{withOthers, ApplicationData()};
}

// The launcher file's text is the toolkit's JSON text of the entries' JSON
// form, byte for byte, so that a file stays as it was over a save.
void TestLauncherFile::writtenAsTheToolkitWrites()
{
    QFETCH(ApplicationDataList, list);
    QCOMPARE(launcherFileContent(list), QJsonDocument(toJsonArray(list)).toJson());
}

void TestLauncherFile::writtenLayout()
{
    const QString fileName = m_dir.filePath("layout.json");
    const ApplicationData entry(QStringLiteral("n"), QString(), QStringLiteral("C:\\p"), QString(), {}, {}, true, 4);
    QVERIFY(writeLauncherFile(fileName, {entry}));
    const QByteArray expected = "[\n"
                                "    {\n"
                                "        \"arguments\": [\n"
                                "        ],\n"
                                "        \"description\": \"\",\n"
                                "        \"environments\": [\n"
                                "        ],\n"
                                "        \"favorite\": true,\n"
                                "        \"name\": \"n\",\n"
                                "        \"path\": \"C:\\\\p\",\n"
                                "        \"preScript\": \"\",\n"
                                "        \"tag\": 4\n"
                                "    }\n"
                                "]\n";
    QCOMPARE(readAll(fileName), expected);
}

void TestLauncherFile::emptyList()
{
    const QString fileName = m_dir.filePath("empty.json");
    QVERIFY(writeLauncherFile(fileName, {}));
    const QJsonDocument document = QJsonDocument::fromJson(readAll(fileName));
    QVERIFY(document.isArray());
    QVERIFY(document.array().isEmpty());
}

void TestLauncherFile::writeCreatesDataFolder()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("data/shortchut.json");
    QVERIFY(writeLauncherFile(fileName, sampleList()));
    ApplicationDataList list;
    QVERIFY(readLauncherFile(fileName, &list));
    QCOMPARE(list.size(), 3);
}

void TestLauncherFile::writeFailureIsReported()
{
    const QString plain = writeFile(QStringLiteral("plain"), "x");
    QVERIFY(!writeLauncherFile(plain + "/data/shortchut.json", sampleList()));
    QVERIFY(!writeLauncherFile(m_dir.path(), sampleList()));
    QCOMPARE(readAll(plain), QByteArray("x"));
}

#ifdef Q_OS_UNIX
void TestLauncherFile::savingThroughLinks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("saved");
    // Dotfile managers keep the file elsewhere and link it into place.
    QTest::newRow("link to a regular file") << "file" << true;
    QTest::newRow("link to a FIFO") << "fifo" << false;
    QTest::newRow("link to nothing") << "none" << false;
}

void TestLauncherFile::savingThroughLinks()
{
    QFETCH(QString, target);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    const QString targetName = dir.filePath("elsewhere");
    if (target == "file")
        QVERIFY(writeLauncherFile(targetName, {}));
    else if (target == "fifo")
        QCOMPARE(mkfifo(QFile::encodeName(targetName).constData(), 0600), 0);
    const QString fileName = dir.filePath("shortchut.json");
    QVERIFY(QFile::link(targetName, fileName));

    QString error;
    QCOMPARE(writeLauncherFile(fileName, sampleList(), &error), saved);
    QVERIFY(QFileInfo(fileName).isSymLink());
    if (saved) {
        ApplicationDataList list;
        QVERIFY(readLauncherFile(targetName, &list));
        QCOMPARE(list.size(), sampleList().size());
    } else {
        QVERIFY2(error.contains(QStringLiteral("link")), qPrintable(error));
        QCOMPARE(QFileInfo(targetName).exists(), target == "fifo");
        QVERIFY(!QFileInfo(targetName).isFile());
    }
}

// The entries, their copies and the folder made for them are the user's alone.
void TestLauncherFile::writtenForTheUserOnly()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath("data/shortchut.json");
    QVERIFY(writeLauncherFile(fileName, sampleList()));
    QCOMPARE(fileMode(fileName), 0600);
    QCOMPARE(fileMode(dir.filePath("data")), 0700);

    // Written over a file that others could read.
    QVERIFY(QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
    QVERIFY(writeLauncherFile(fileName, sampleList()));
    QCOMPARE(fileMode(fileName), 0600);

    // Copies of what could not be read, or not read whole.
    for (const QByteArray &content : {QByteArray("garbage"), QByteArray(R"([{"tag":"x"}])")}) {
        ::writeFile(fileName, content);
        QVERIFY(QFile::setPermissions(fileName, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther));
        ApplicationDataList list;
        LauncherFileProblem problem;
        QVERIFY(readLauncherFile(fileName, &list, &problem));
        QVERIFY(!problem.copyName.isEmpty());
        QCOMPARE(fileMode(problem.copyName), 0600);
    }
}

void TestLauncherFile::filesThatAreNotRead_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("read");
    QTest::addColumn<bool>("copied");
    // A FIFO would hang the start; a file over 256 MiB would fill the memory.
    QTest::newRow("FIFO") << "fifo" << false << false;
    QTest::newRow("over 256 MiB") << "huge" << false << false;
    QTest::newRow("not JSON") << "garbage" << true << true;
    // The copy fails as on a full disk, with the file size limit.
    QTest::newRow("not JSON, no room for a copy") << "garbage, full disk" << true << false;
}

// Whatever cannot be read is reported, and without a copy it must be kept.
void TestLauncherFile::filesThatAreNotRead()
{
    QFETCH(QString, kind);
    QFETCH(bool, read);
    QFETCH(bool, copied);
    QTemporaryDir dir;
    const QString fileName = dir.filePath("shortchut.json");
    if (kind == "fifo") {
        QCOMPARE(mkfifo(QFile::encodeName(fileName).constData(), 0600), 0);
    } else {
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("garbage");
        if (kind == "huge")
            QVERIFY(file.resize(maxLauncherFileSize + 1));
    }

    rlimit saved{};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (kind.endsWith("full disk")) {
        rlimit limited = saved;
        limited.rlim_cur = 2;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    }
    ApplicationDataList list{ApplicationData()};
    LauncherFileProblem problem;
    const bool wasRead = readLauncherFile(fileName, &list, &problem);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QCOMPARE(wasRead, read);
    QCOMPARE(list.isEmpty(), read);
    QVERIFY(problem.any());
    QCOMPARE(problem.notAList, read);
    QCOMPARE(problem.copyName.isEmpty(), !copied);
    QCOMPARE(problem.keepsFile(), !copied);
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("shortchut.json.*")}, QDir::Files).size(), copied ? 1 : 0);
}
#endif

QTEST_MAIN(TestLauncherFile)
#include "TestLauncherFile.moc"
