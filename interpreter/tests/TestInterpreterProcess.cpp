#include "batchRunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

// The built korvani-cmd as a process: how it is called, the limits that keep
// runaway scripts bounded, and what it leaves behind in the processes it
// starts.
class TestInterpreterProcess : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.create()); }
    void parametersFromCommandLine();
    void invocation_data();
    void invocation();
    void runawaysStayBounded_data();
    void runawaysStayBounded();
    void startDoesNotWait();
    void noZombiesNorLeakedHandles();
    void deepNestingStopsCleanly();

private:
    BatchFolder m_folder;
};

void TestInterpreterProcess::parametersFromCommandLine()
{
    const BatchRun run = m_folder.runScript("@echo %1 %2 [%3] %*\n", QByteArray(),
                                            {QStringLiteral("x"), QStringLiteral("y z")});
    QCOMPARE(run.output, QByteArray("x \"y z\" [] x \"y z\"\n"));
    QCOMPARE(run.exitCode, 0);
}

void TestInterpreterProcess::invocation_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("error");

    const QByteArray usage = "usage: korvani-cmd /c BATCH-FILE [PARAMETER...]\n";
    QTest::newRow("nothing") << QStringList() << usage;
    QTest::newRow("no file") << QStringList{"/c"} << usage;
    QTest::newRow("other switch") << QStringList{"/k", "run.bat"} << usage;
    QTest::newRow("missing file") << QStringList{"/C", "none.bat"}
                                  << QByteArray("korvani-cmd: cannot read the batch file 'none.bat': "
                                                "No such file or directory\n");
    QTest::newRow("folder") << QStringList{"/c", "folder.bat"}
                            << QByteArray("korvani-cmd: cannot read the batch file 'folder.bat': Is a directory\n");
}

void TestInterpreterProcess::invocation()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, error);

    QVERIFY(QDir(m_folder.path()).mkpath(QStringLiteral("folder.bat")));
    const BatchRun run = m_folder.runInterpreter(arguments);
    QCOMPARE(run.error, error);
    QCOMPARE(run.output, QByteArray());
    QCOMPARE(run.exitCode, 1);
}

// Scripts that would grow without end meet cmd's limits. Each runs under a
// memory cap (an address-space limit, or the sanitizer's own in the
// sanitizer build) that a run without the limits would break.
void TestInterpreterProcess::runawaysStayBounded_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("errorLine");
    QTest::addColumn<int>("errorCount");

    const QByteArray tooLong = "The input line is too long.\n";
    // 100,000 levels of a 8,000-character environment would take 800 MB.
    QTest::newRow("32 setlocal levels") << "@echo off\nset BIG=" + QByteArray(8000, 'b')
            + "\nfor /l %%i in (1,1,100000) do setlocal\ncall :sub\necho done\ngoto :eof\n"
              ":sub\nfor /l %%i in (1,1,40) do setlocal\n"
                                        << QByteArray("done\n")
                                        << QByteArray("Maximum setlocal recursion level reached.\n")
                                        << 100000 - 32 + 40 - 32;
    // Doubling 30 times would make a value of a gigabyte.
    QTest::newRow("doubling a variable") << QByteArray("@echo off\nset X=x\nfor /l %%i in (1,1,30) do call set "
                                                       "X=%%X%%%%X%%\necho %X:~4090%\n")
                                         << QByteArray("xxxxxx\n") << tooLong << 30 - 12;
    QTest::newRow("lines longer than 8191") << "@echo " + QByteArray(8185, 'a') + "\n@echo " + QByteArray(8186, 'b')
            + "\n@echo " + QByteArray(100000, 'c') + "\n@set V=" + QByteArray(8000, 'v')
            + "\n@echo %V%%V%\n@echo next\n" << QByteArray(8185, 'a') + "\nnext\n"
                                            << tooLong << 3;
    QTest::newRow("pushd without popd") << QByteArray("@echo off\nfor /l %%i in (1,1,1100) do pushd .\npushd\n")
                                        << QByteArray()
                                        << QByteArray("korvani-cmd: 1024 folders are pushed already; "
                                                      "pop one with popd first\n")
                                        << 1100 - 1024;
    QByteArray pipes = "@echo x";
    for (int i = 0; i < 499; ++i)
        pipes += "|/bin/cat";
    QByteArray sixtyFour = "@echo x";
    for (int i = 0; i < 63; ++i)
        sixtyFour += "|/bin/cat";
    QTest::newRow("500 pipe stages") << pipes + "\n" + sixtyFour + "\n"
                                     << QByteArray("x\n")
                                     << QByteArray("korvani-cmd: a line may join at most 64 commands with pipes\n")
                                     << 1;
}

void TestInterpreterProcess::runawaysStayBounded()
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, errorLine);
    QFETCH(int, errorCount);

    QFile file(QDir(m_folder.path()).filePath(QStringLiteral("run.bat")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(script) == script.size());
    file.close();
    QProcessEnvironment capped;
#ifdef KORVANI_SANITIZED
    capped.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("hard_rss_limit_mb=300"));
    const QString command = QStringLiteral("exec \"$0\" /c run.bat");
#else
    const QString command = QStringLiteral("ulimit -v 300000 && exec \"$0\" /c run.bat");
#endif
    const BatchRun run = m_folder.runProcess(
        QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command, QStringLiteral(KORVANI_CMD)}, QByteArray(), capped);
    QCOMPARE(run.error.count(errorLine), errorCount);
    QCOMPARE(run.error.size(), errorLine.size() * errorCount);
    if (output.isEmpty())
        QVERIFY(run.output.endsWith(m_folder.path().toUtf8() + "\n"));
    else
        QCOMPARE(run.output, output);
}

void TestInterpreterProcess::startDoesNotWait()
{
    QElapsedTimer timer;
    timer.start();
    const BatchRun run = m_folder.runScript(
        "@start \"title\" /bin/sh -c \"s=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2);"
        " echo $s >streams.tmp; cut -d' ' -f6 /proc/$$/stat >session.txt; echo $$ >pid.txt;"
        " mv streams.tmp streams.txt; sleep 5\"\n@echo started %ERRORLEVEL%\n");
    QVERIFY2(timer.elapsed() < 4000, "the interpreter waited for the started program");
    QCOMPARE(run.output, QByteArray("started 0\n"));
    QCOMPARE(run.exitCode, 0);

    QDir folder(m_folder.path());
    QTRY_VERIFY_WITH_TIMEOUT(folder.exists(QStringLiteral("streams.txt")), 10000);
    QFile streams(folder.filePath(QStringLiteral("streams.txt")));
    QFile session(folder.filePath(QStringLiteral("session.txt")));
    QFile pid(folder.filePath(QStringLiteral("pid.txt")));
    QVERIFY(streams.open(QIODevice::ReadOnly) && session.open(QIODevice::ReadOnly) && pid.open(QIODevice::ReadOnly));
    QCOMPARE(streams.readAll(), QByteArray("/dev/null /dev/null /dev/null\n"));
    QCOMPARE(session.readAll(), pid.readAll());
}

void TestInterpreterProcess::noZombiesNorLeakedHandles()
{
    // No child of the interpreter may be a zombie, and the checking shell may
    // hold no handle but the standard three, even with redirections in place.
    const BatchRun run = m_folder.runScript("@start \"\" /bin/true\n"
                                            "@/bin/sh -c \"for c in $(cat /proc/$PPID/task/$PPID/children); do"
                                            " cut -d' ' -f3 /proc/$c/stat; done | grep -c Z\"\n"
                                            "@/bin/sh -c \"ls /proc/$$/fd\" <run.bat 2>nul\n");
    QCOMPARE(run.error, QByteArray());
    QCOMPARE(run.output, QByteArray("0\n0\n1\n2\n"));
}

void TestInterpreterProcess::deepNestingStopsCleanly()
{
    // Each call starts from deep inside nested blocks and lists, on a small
    // stack; a command before each block keeps the block from being a last
    // step that the compiler could run without a stack frame.
    QFile file(QDir(m_folder.path()).filePath(QStringLiteral("run.bat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(":x\n@" + QByteArray("(cd .&").repeated(150) + "call :x" + QByteArray(150, ')') + "\n");
    file.close();
    const BatchRun run = m_folder.runProcess(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("ulimit -s 1024 && exec \"$0\" /c run.bat"), QStringLiteral(KORVANI_CMD)},
        QByteArray());
    QCOMPARE(run.error, QByteArray("korvani-cmd: commands nested too deeply; batch processing stopped\n"));
    QCOMPARE(run.exitCode, 1);
}

QTEST_GUILESS_MAIN(TestInterpreterProcess)
#include "TestInterpreterProcess.moc"
