#include "platform/dataFolder.h"
#include "testSupport.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Where the program keeps its data: beside itself when portable, in the
// user's own folder when installed.
class TestDataFolder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void portableLayout();
    void installedLayout();
    void unusableFolderTouchesNothing();
    void pathsAreAbsolute_data();
    void pathsAreAbsolute();

private:
    QTemporaryDir m_root;
};

void TestDataFolder::initTestCase()
{
    QVERIFY(m_root.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("korvani"));
    qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("home/.local/share")).toLocal8Bit());
}

void TestDataFolder::portableLayout()
{
    const QString program = m_root.filePath(QStringLiteral("portable"));
    const DataFolder folder(program);
    writeFile(folder.templateFolder() + "/tool.ini", "[arguments]\n");
    QCOMPARE(DataFolder::locate(program), program);
    folder.addShippedTemplates(program);
    QCOMPARE(QDir(folder.templateFolder()).entryList(QDir::Files), QStringList{"tool.ini"});

    // The entries, the settings and the batch files hold secrets: their folders
    // are the user's alone, also when an earlier version made them open.
    QVERIFY(QDir(program).mkpath("temp"));
    QVERIFY(QFile::setPermissions(program + "/temp", QFile::permissions(program + "/temp") | QFile::ReadOther));
    QString error;
    QVERIFY(folder.prepare(program, &error));
    for (const char *own : {"/data", "/data/temp", "/temp"})
        QCOMPARE(fileMode(program + own), 0700);
}

void TestDataFolder::installedLayout()
{
    const QString prefix = m_root.filePath(QStringLiteral("usr"));
    QDir().mkpath(prefix + "/bin");
    const QString system = DataFolder(prefix).templateFolder().section('/', -1);
    writeFile(prefix + "/share/korvani/db/" + system + "/java.ini", "[arguments]\n-jar=8\n");
    writeFile(prefix + "/share/korvani/db/" + system + "/git.ini", "[arguments]\ngui=5\n");

    // Installed, even in a folder the user may write: the data goes to the user's folder.
    const QString folder = DataFolder::locate(prefix + "/bin");
    QCOMPARE(folder, m_root.filePath(QStringLiteral("home/.local/share/korvani")));
    QCOMPARE(folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));

    const QString templates = DataFolder(folder).templateFolder();
    writeFile(templates + "/java.ini", "[arguments]\n-mine=1\n");
    DataFolder(folder).addShippedTemplates(prefix + "/bin");
    QCOMPARE(QDir(templates).entryList(QDir::Files), (QStringList{"git.ini", "java.ini"}));
    QCOMPARE(readAll(templates + "/java.ini"), QByteArray("[arguments]\n-mine=1\n"));
    QCOMPARE(readAll(templates + "/git.ini"), QByteArray("[arguments]\ngui=5\n"));
}

// With no folder of its own, the program must not fall back to the current one.
void TestDataFolder::unusableFolderTouchesNothing()
{
    const QString prefix = m_root.filePath(QStringLiteral("unusable"));
    QDir().mkpath(prefix + "/bin");
    QDir().mkpath(prefix + "/share/korvani");
    writeFile(m_root.filePath(QStringLiteral("a-file")), "x");
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_root.filePath(QStringLiteral("a-file/share")).toLocal8Bit());
    QTemporaryDir current;
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(current.path()));

    QString error;
    const bool entered = DataFolder(DataFolder::locate(prefix + "/bin")).prepare(prefix + "/bin", &error);
    const QString after = QDir::currentPath();
    QDir::setCurrent(before);
    qputenv("XDG_DATA_HOME", previous);

    QVERIFY(!entered);
    QVERIFY2(error.contains(QDir::toNativeSeparators(m_root.filePath(QStringLiteral("a-file/share")))),
             qPrintable(error));
    QCOMPARE(after, current.path());
    QCOMPARE(QDir(current.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestDataFolder::pathsAreAbsolute_data()
{
    QTest::addColumn<QString>("runtime"); // XDG_RUNTIME_DIR
    QTest::addColumn<QString>("runFolder"); // "@" is the data folder

    QTest::newRow("runtime folder") << "/run/user/1000"
                                    << "/run/user/1000/korvani";
    QTest::newRow("no runtime folder") << ""
                                       << "@/run";
    QTest::newRow("relative runtime folder, ignored") << "run/user"
                                                      << "@/run";
}

// Every path is taken against the data folder once, when it is named, and
// never against whatever the current folder is later.
void TestDataFolder::pathsAreAbsolute()
{
    QFETCH(QString, runtime);
    QFETCH(QString, runFolder);
    const EnvironmentChange runtimeDir("XDG_RUNTIME_DIR", runtime);
    const TemporaryCurrentFolder current;
    QVERIFY(current.isCurrent());
    const QString root = QDir::current().absoluteFilePath(QStringLiteral("portable"));
    const DataFolder folder(QStringLiteral("portable/./"));
    QVERIFY(QDir::setCurrent(m_root.path()));

    QCOMPARE(folder.root(), root);
    QCOMPARE(folder.launcherFile(), root + "/data/shortchut.json");
    QCOMPARE(folder.settingsFile(), root + "/data/settings.ini");
    QCOMPARE(folder.dragScriptFolder(), root + "/data/temp");
    QCOMPARE(folder.launchScriptFolder(), root + "/temp");
    QCOMPARE(folder.launchScriptPath("a b.bat"), QDir::toNativeSeparators(root + "/temp/a b.bat"));
    QCOMPARE(folder.launchFolder(), root);
    QVERIFY(folder.templateFolder().startsWith(root + "/data/db/"));
    QCOMPARE(folder.runFolder(), runFolder.replace('@', root));
}

QTEST_GUILESS_MAIN(TestDataFolder)
#include "TestDataFolder.moc"
