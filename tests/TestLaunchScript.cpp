#include "platform/dataFolder.h"
#include "records/records.h"
#include "testSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

class TestLaunchScript : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void batchScript_data();
    void batchScript();
    void batchFileName_data();
    void batchFileName();
    void writeCreatesFolders();
    void writeOverwritesLongerFile();
    void writeFailsWhereNoFolderCanBe();
#ifdef Q_OS_UNIX
    void writeReplacesLinkAndKeepsToUser();
#endif
    void rewriteIsNeverSeenHalfDone();
    void launchScriptLandsInTempFolder();
    void templateFolder();

private:
    QTemporaryDir m_dir;
};

void TestLaunchScript::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestLaunchScript::batchScript_data()
{
    QTest::addColumn<QString>("preScript");
    QTest::addColumn<VariableDataList>("environments");
    QTest::addColumn<QString>("path");
    QTest::addColumn<VariableDataList>("arguments");
    QTest::addColumn<QString>("script");

    const VariableDataList none;
    QTest::newRow("path only") << QString() << none << "P" << none << "\"P\"";
    QTest::newRow("path and arguments") << QString() << none << "C:\\a b\\p.exe"
                                        << VariableDataList{VariableData("-x"), VariableData("-o", "out")}
                                        << "\"C:\\a b\\p.exe\" -x -o out";
    QTest::newRow("three lines") << "A" << VariableDataList{VariableData("X", "1")} << "P"
                                 << VariableDataList{VariableData("-v"), VariableData("-o", "out")}
                                 << "A\nset X=1\n\"P\" -v -o out";
    QTest::newRow("empty variable value")
        << QString() << VariableDataList{VariableData("X")} << "P" << none << "set X=\n\"P\"";
    QTest::newRow("empty variable name") << QString() << VariableDataList{VariableData()} << "P" << none
                                         << "set =\n\"P\"";
    QTest::newRow("argument without name")
        << QString() << none << "P" << VariableDataList{VariableData("", "v")} << "\"P\"  v";
    QTest::newRow("empty argument") << QString() << none << "P" << VariableDataList{VariableData()} << "\"P\" ";
    QTest::newRow("value with blanks stays unquoted")
        << QString() << none << "P" << VariableDataList{VariableData("-t", "a b")} << "\"P\" -t a b";
    QTest::newRow("pre script ending in line feed")
        << "A\n"
        << VariableDataList{VariableData("X", "1")} << "P" << none << "A\n\nset X=1\n\"P\"";
    QTest::newRow("several pre script lines and variables in order")
        << "cd /tmp\necho hi" << VariableDataList{VariableData("B", "2"), VariableData("A", "1")} << "P" << none
        << "cd /tmp\necho hi\nset B=2\nset A=1\n\"P\"";
    QTest::newRow("quote in path is kept") << QString() << none << "a\"b" << none << "\"a\"b\"";
}

void TestLaunchScript::batchScript()
{
    QFETCH(QString, preScript);
    QFETCH(VariableDataList, environments);
    QFETCH(QString, path);
    QFETCH(VariableDataList, arguments);
    QFETCH(QString, script);

    const ApplicationData record(QStringLiteral("n"), QStringLiteral("d"), path, preScript, arguments, environments,
                                 true, 3);
    QCOMPARE(record.batchScript(), script);
}

void TestLaunchScript::batchFileName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("name only") << "Tool: A/B" << QString() << "Tool__A_B.bat";
    QTest::newRow("with description") << "x"
                                      << "50% off"
                                      << "x_50__off.bat";
    QTest::newRow("empty") << QString() << QString() << ".bat";
    QTest::newRow("description only") << QString() << "d"
                                      << "_d.bat";
    QTest::newRow("every replaced character") << " \\/\"'@#%^&*:;" << QString() << "_____________.bat";
    QTest::newRow("replaced in description too") << "a"
                                                 << "b c\\d"
                                                 << "a_b_c_d.bat";
    QTest::newRow("other characters stay") << "a.b-c(d)!e=f,g?h<i>j|k"
                                           << "日本語"
                                           << "a.b-c(d)!e=f,g?h<i>j|k_日本語.bat";
}

void TestLaunchScript::batchFileName()
{
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(QString, fileName);

    QCOMPARE(ApplicationData(name, description).batchFileName(), fileName);
}

void TestLaunchScript::writeCreatesFolders()
{
    const ApplicationData record(QStringLiteral("é"), QString(), QStringLiteral("/opt/ünï/p"), QStringLiteral("A"),
                                 {VariableData("-x")}, {VariableData("X", "1")});
    const QString path = m_dir.filePath("a/b/c/") + record.batchFileName();
    QVERIFY(record.writeBatchFile(path));
    // The test runs in a UTF-8 locale, the encoding the file is written in; line
    // feeds stay single bytes.
    QCOMPARE(readAll(path), QByteArray("A\nset X=1\n\"/opt/\xc3\xbcn\xc3\xaf/p\" -x"));
}

void TestLaunchScript::writeOverwritesLongerFile()
{
    const QString path = m_dir.filePath("short.bat");
    QVERIFY(ApplicationData(QString(), QString(), QStringLiteral("a-much-longer-path")).writeBatchFile(path));
    QVERIFY(ApplicationData(QString(), QString(), QStringLiteral("p")).writeBatchFile(path));
    QCOMPARE(readAll(path), QByteArray("\"p\""));
}

void TestLaunchScript::writeFailsWhereNoFolderCanBe()
{
    const QString file = m_dir.filePath("plain-file");
    QFile plain(file);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    QVERIFY(!ApplicationData().writeBatchFile(file + "/sub/x.bat"));
    QVERIFY(!ApplicationData().writeBatchFile(m_dir.path()));
}

#ifdef Q_OS_UNIX
// A link planted where a batch file goes is replaced, not followed; the file,
// which may hold secrets in its set lines, is the user's only.
void TestLaunchScript::writeReplacesLinkAndKeepsToUser()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("target.txt");
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("untouched");
    file.close();
    const QString path = dir.filePath("linked.bat");
    QVERIFY(QFile::link(target, path));

    const ApplicationData record(QStringLiteral("x"), QString(), QStringLiteral("p"), QString(), {},
                                 {VariableData(QStringLiteral("TOKEN"), QStringLiteral("secret"))});
    QString error;
    QVERIFY2(record.writeBatchFile(path, &error), qPrintable(error));
    QCOMPARE(readAll(target), QByteArray("untouched"));
    QVERIFY(!QFileInfo(path).isSymLink());
    QCOMPARE(readAll(path), record.batchScript().toUtf8());
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    QCOMPARE(QFile::permissions(path) & others, QFileDevice::Permissions());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);

    // The folder made for batch files is the user's alone.
    QVERIFY(record.writeBatchFile(dir.filePath("temp/secret.bat")));
    QCOMPARE(fileMode(dir.filePath("temp")), 0700);
    QCOMPARE(fileMode(dir.filePath("temp/secret.bat")), 0600);

    // A folder that was there before is anyone's to set up, /tmp among them.
    QVERIFY(QDir(dir.path()).mkdir("shared"));
    QVERIFY(QFile::setPermissions(dir.filePath("shared"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                      | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    QVERIFY(record.writeBatchFile(dir.filePath("shared/secret.bat")));
    QCOMPARE(fileMode(dir.filePath("shared")), 0755);
    QCOMPARE(fileMode(dir.filePath("shared/secret.bat")), 0600);
}
#endif

// Launches of one entry rewrite its script while earlier interpreters read it.
void TestLaunchScript::rewriteIsNeverSeenHalfDone()
{
    const ApplicationData record(QStringLiteral("x"), QString(), QStringLiteral("/usr/bin/env"),
                                 QString(4000, QLatin1Char('r')));
    const QString path = m_dir.filePath(QStringLiteral("shared.bat"));
    QVERIFY(record.writeBatchFile(path));
    const QByteArray whole = record.batchScript().toUtf8();

    std::atomic<bool> writing{true};
    int torn = 0;
    std::thread reader([&] {
        while (writing) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly) && file.readAll() != whole)
                ++torn;
        }
    });
    for (int i = 0; i < 2000; ++i)
        record.writeBatchFile(path);
    writing = false;
    reader.join();
    QCOMPARE(torn, 0);
}

void TestLaunchScript::launchScriptLandsInTempFolder()
{
    const ApplicationData record(QStringLiteral("Editor"), QStringLiteral("text"), QStringLiteral("p"));
    const bool written = record.writeBatchFile(DataFolder(m_dir.path()).launchScriptPath(record.batchFileName()));

    QVERIFY(written);
    QVERIFY(QFileInfo(m_dir.filePath("temp/Editor_text.bat")).isFile());
#ifndef Q_OS_WIN
    QVERIFY(QDir(m_dir.path()).entryList({QStringLiteral("*\\*")}).isEmpty());
#endif
}

void TestLaunchScript::templateFolder()
{
    const QString root = m_dir.path();
#ifdef Q_OS_WIN
    QCOMPARE(DataFolder(root).templateFolder(), root + QStringLiteral("/data/db/windows"));
#else
    QCOMPARE(DataFolder(root).templateFolder(), root + QStringLiteral("/data/db/linux"));
#endif
}

QTEST_MAIN(TestLaunchScript)
#include "TestLaunchScript.moc"
