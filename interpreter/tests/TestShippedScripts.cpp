#include "batchRunner.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// Batch files as tools ship them, run unchanged by korvani-cmd with stand-in
// programs, against what cmd's rules give for them. The scripts of
// interpreter/tests/scripts follow Gradle's gradlew.bat, Maven Wrapper's
// mvnw.cmd, npm's node_modules\.bin shims and a Python venv's activate.bat,
// and are copied with the CRLF line ends they ship with; CMake's
// Squish4RunTestCase.bat is read from the CMake that builds this.
class TestShippedScripts : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.create()); }
    void toolScripts_data();
    void toolScripts();
    void cmakeSquishScript();

private:
    bool writeFile(const QString &name, QByteArray contents, bool executable = false);
    BatchFolder m_folder;
};

using StandIns = QMap<QString, QByteArray>;
Q_DECLARE_METATYPE(StandIns)

namespace {

// A stand-in program: a shell script that prints its name and its arguments,
// each in brackets, and ends with the given status.
QByteArray standIn(const QByteArray &name, int status = 0)
{
    return "#!/bin/sh\nprintf '" + name + "'\nprintf ' [%s]' \"$@\"\necho\nexit " + QByteArray::number(status) + "\n";
}

QByteArray scriptFile(const QString &name)
{
    QFile file(QStringLiteral(KORVANI_TEST_SCRIPTS "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().replace("\n", "\r\n") : QByteArray();
}

} // namespace

bool TestShippedScripts::writeFile(const QString &name, QByteArray contents, bool executable)
{
    const QString path = QDir(m_folder.path()).filePath(name);
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly))
        return false;
    contents.replace("<dir>", m_folder.path().toUtf8());
    if (file.write(contents) != contents.size())
        return false;
    file.close();
    return !executable || file.setPermissions(file.permissions() | QFile::ExeOwner);
}

// Each row: the tool's script, where it goes, the batch file that calls it,
// the stand-in programs (by their path in the folder; a name ending in .cmd
// is a batch file), the variables of the environment, and what comes out.
void TestShippedScripts::toolScripts_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("place");
    QTest::addColumn<QByteArray>("caller");
    QTest::addColumn<StandIns>("standIns");
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<int>("exitCode");

    // gradlew.bat: its APP_HOME keeps the separator of %~dp0 (%~f), so the
    // class path has "/\" in it as cmd's has "\\"; a failure's exit code
    // comes back whole through "%COMSPEC%" /c exit. "echo. 1>&2" writes the
    // blank before its redirection.
    const QByteArray gradle = "@call gradlew.bat build --info\n@echo gradlew ended with %errorlevel%\n";
    const QByteArray javaArguments = "[-Xmx64m] [-Xms64m] [-Dorg.gradle.appname=gradlew] [-classpath] "
                                     "[<dir>/\\gradle\\wrapper\\gradle-wrapper.jar] "
                                     "[org.gradle.wrapper.GradleWrapperMain] [build] [--info]\n";
    QTest::newRow("gradlew.bat") << "gradlew.bat"
                                 << "gradlew.bat" << gradle << StandIns{{"jdk/bin/java.exe", standIn("java")}}
                                 << QStringList{"JAVA_HOME=<dir>/jdk"}
                                 << "java " + javaArguments + "gradlew ended with 0\n"
                                 << QByteArray() << 0;
    QTest::newRow("gradlew.bat when java fails")
        << "gradlew.bat"
        << "gradlew.bat" << gradle << StandIns{{"jdk/bin/java.exe", standIn("java", 3)}}
        << QStringList{"JAVA_HOME=<dir>/jdk"} << "java " + javaArguments + "gradlew ended with 3\n"
        << QByteArray() << 3;
    QTest::newRow("gradlew.bat without java")
        << "gradlew.bat"
        << "gradlew.bat" << gradle << StandIns() << QStringList() << QByteArray("gradlew ended with 9009\n")
        << QByteArray(" \nERROR: JAVA_HOME is not set and no 'java' command could be found in your PATH. \n")
        << exitStatus(9009);

    // mvnw.cmd: its first line, "<# : batch portion", is a label; the
    // command its PowerShell part names is a batch file, which takes over.
    const QByteArray powershell = "#!/bin/sh\necho Using cached Maven\nprintf 'SCRIPT=%s\\n' \"$2\"\n"
                                  "echo MVN_CMD=<dir>/maven/bin/mvn.cmd\n";
    QTest::newRow("mvnw.cmd") << "mvnw.cmd"
                              << "mvnw.cmd" << QByteArray("@call mvnw.cmd clean verify\n@echo mvnw ended\n")
                              << StandIns{{"bin/powershell", powershell}, {"maven/bin/mvn.cmd", "@echo mvn [%*]\n"}}
                              << QStringList()
                              << QByteArray("Using cached Maven\nSCRIPT=& {$scriptDir='<dir>/'; $script='mvnw.cmd'; "
                                            "icm -ScriptBlock ([Scriptblock]::Create((Get-Content -Raw "
                                            "'<dir>/mvnw.cmd'))) -NoNewScope}\nmvn [clean verify]\nmvnw ended\n")
                              << QByteArray() << 0;

    // An npm shim: the goto to a label that is not there fails, and the rest
    // of its line starts node, found on PATH, with the error level it ends with.
    QTest::newRow("npm shim") << "shim.cmd"
                              << "node_modules/.bin/tool.cmd"
                              << QByteArray("@call node_modules\\.bin\\tool.cmd --version\n@echo tool ended with "
                                            "%errorlevel%\n")
                              << StandIns{{"bin/node", standIn("node", 2)}} << QStringList()
                              << QByteArray("node [<dir>/node_modules/.bin/\\..\\tool\\cli.js] [--version]\n"
                                            "tool ended with 2\n")
                              << QByteArray() << 2;

    // A venv's activate.bat: its Scripts folder goes first on PATH, written
    // Windows' way, and python is found there, by the batch file and by the
    // programs it starts; the code page is changed and put back.
    const QByteArray chcp = "#!/bin/sh\necho \"chcp $*\" >>\"$0.log\"\necho 'Active code page: 437'\n";
    QTest::newRow("activate.bat")
        << "activate.bat"
        << "venv/Scripts/activate.bat"
        << QByteArray("@call venv\\Scripts\\activate.bat\n@python -V\n@/bin/sh -c \"python -V; echo $PATH\"\n"
                      "@echo %VIRTUAL_ENV_PROMPT%%PROMPT%\n@type Windows\\System32\\chcp.com.log\n")
        << StandIns{{"venv/Scripts/python", standIn("venv python")},
                    {"bin/python", standIn("system python")},
                    {"Windows/System32/chcp.com", chcp}}
        << QStringList{"SystemRoot=<dir>/Windows"}
        << QByteArray("venv python [-V]\nvenv python [-V]\n<dir>/venv/Scripts:<dir>/bin:/usr/bin:/bin\n"
                      "(venv) (venv) $P$G\nchcp \nchcp 65001\nchcp 437\n")
        << QByteArray() << 0;
}

void TestShippedScripts::toolScripts()
{
    QFETCH(QString, script);
    QFETCH(QString, place);
    QFETCH(QByteArray, caller);
    QFETCH(StandIns, standIns);
    QFETCH(QStringList, environment);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, error);
    QFETCH(int, exitCode);

    QByteArray contents = scriptFile(script);
    QVERIFY(!contents.isEmpty());
    // As the venv module does when it makes the environment.
    contents.replace("__VENV_DIR__", QDir(m_folder.path()).filePath(QStringLiteral("venv")).toUtf8());
    QVERIFY(writeFile(place, contents));
    for (auto it = standIns.cbegin(); it != standIns.cend(); ++it)
        QVERIFY(writeFile(it.key(), it.value(), !it.key().endsWith(QLatin1String(".cmd"))));
    QVERIFY(writeFile(QStringLiteral("run.bat"), caller));
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("PATH"), m_folder.path() + QStringLiteral("/bin:/usr/bin:/bin"));
    for (const QString &variable : environment) {
        const int equals = variable.indexOf(QLatin1Char('='));
        extra.insert(variable.left(equals), variable.mid(equals + 1).replace(QLatin1String("<dir>"), m_folder.path()));
    }
    const BatchRun run = m_folder.runProcess(QStringLiteral(KORVANI_CMD),
                                             {QStringLiteral("/c"), QStringLiteral("run.bat")}, QByteArray(), extra);
    QCOMPARE(run.error, m_folder.withFolder(error));
    QCOMPARE(run.output, m_folder.withFolder(output));
    QCOMPARE(run.exitCode, exitCode);
}

// CMake's script that runs a Squish test: with echo on, each command is shown
// as cmd shows it, the server started with start is not waited for, and the
// runner's exit code is the script's.
void TestShippedScripts::cmakeSquishScript()
{
    QFile script(QStringLiteral(KORVANI_CMAKE_ROOT "/Modules/Squish4RunTestCase.bat"));
    if (!script.exists())
        QSKIP("This CMake has no Squish4RunTestCase.bat");
    QVERIFY(script.open(QIODevice::ReadOnly));
    QVERIFY(writeFile(QStringLiteral("Squish4RunTestCase.bat"), script.readAll()));
    QVERIFY(writeFile(QStringLiteral("squishserver"), standIn("server"), true));
    QVERIFY(writeFile(QStringLiteral("squishrunner"), standIn("runner", 3), true));
    const QString dir = m_folder.path();
    const BatchRun run = m_folder.runInterpreter({QStringLiteral("/c"), QStringLiteral("Squish4RunTestCase.bat"),
                                                  dir + QStringLiteral("/squishserver"),
                                                  dir + QStringLiteral("/squishrunner"), QStringLiteral("suite_one"),
                                                  QStringLiteral("tst_one"), QStringLiteral("app"), dir});
    const QByteArray server = "<dir>/squishserver";
    const QByteArray runner = "<dir>/squishrunner";
    const auto shown = [](const QByteArray &command) { return "\n<dir>>" + command + " \n"; };
    const QByteArray expected = shown("set SQUISHSERVER=" + server) + shown("set SQUISHRUNNER=" + runner)
        + shown("set TESTSUITE=suite_one") + shown("set TESTCASE=tst_one") + shown("set AUT=app")
        + shown("set AUTDIR=<dir>") + shown(server + " --stop") + "server [--stop]\n"
        + shown("echo \"Adding AUT... " + server + " --config addAUT app <dir>\"") + "\"Adding AUT... " + server
        + " --config addAUT app <dir>\"\n" + shown(server + " --config addAUT \"app\" \"<dir>\"")
        + "server [--config] [addAUT] [app] [<dir>]\n" + shown("echo \"Starting the squish server... " + server + "\"")
        + "\"Starting the squish server... " + server + "\"\n" + shown("start /B \"Squish Server\" " + server)
        + shown("echo \"Running the test case... " + runner + " --testsuite suite_one --testcase tst_one\"")
        + "\"Running the test case... " + runner + " --testsuite suite_one --testcase tst_one\"\n"
        + shown(runner + " --testsuite \"suite_one\" --testcase \"tst_one\"")
        + "runner [--testsuite] [suite_one] [--testcase] [tst_one]\n" + shown("set returnValue=3")
        + shown("echo \"Stopping the squish server... " + server + " --stop\"") + "\"Stopping the squish server... "
        + server + " --stop\"\n" + shown(server + " --stop") + "server [--stop]\n" + shown("exit /B 3");
    QCOMPARE(run.error, QByteArray());
    QCOMPARE(run.output, m_folder.withFolder(expected));
    QCOMPARE(run.exitCode, 3);
}

QTEST_GUILESS_MAIN(TestShippedScripts)
#include "TestShippedScripts.moc"
