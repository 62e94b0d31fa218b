#include "bareProcess.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// What becomes of the programs korvani-cmd starts, run as Korvani runs it: a
// QProcess that reads its standard output and error through pipes. The test
// folder holds bin/ with the test programs and share/applications/ with the
// desktop entries that the runs see through XDG_DATA_DIRS.
class TestLaunchedPrograms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void programsOutliveTheReader_data();
    void programsOutliveTheReader();
    void relayEndsWithItsWriters();
    void nothingWrittenIsLost_data();
    void nothingWrittenIsLost();
    void graphicalPrograms_data();
    void graphicalPrograms();
    void noHandlesLeak_data();
    void noHandlesLeak();

private:
    void startInterpreter(QProcess *process, const QByteArray &script);
    void startInterpreter(QProcess *process, const QStringList &arguments);
    QString path(const QString &name) const { return QDir(m_path).filePath(name); }
    QByteArray withFolder(QByteArray text) const { return text.replace("<bin>", path("bin").toUtf8()); }
    void addProgram(const QString &name, const QByteArray &script);
    void addEntry(const QString &file, const QByteArray &program, const QByteArray &keys = "Terminal=false\n");

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

namespace {

// NAME SECONDS STATUS: writes to both streams, sleeps, warns again, leaves
// NAME.done behind and ends with STATUS, or by SIGTERM for "signal".
const QByteArray tool = "#!/bin/sh\n"
                        "echo \"out $1\"\n"
                        "echo \"warn $1\" >&2\n"
                        "sleep \"$2\"\n"
                        "echo \"later $1\" >&2\n"
                        ": >\"$1.done\"\n"
                        "if [ \"$3\" = signal ]; then kill -TERM $$; fi\n"
                        "exit \"$3\"\n";

// Warns, warns again after a second and writes a megabyte to its output,
// which nobody reads by then, and then leaves its marker.
const QByteArray persistentWarner = "/bin/sh -c \"echo first >&2; sleep 1; echo second >&2;"
                                    " head -c 1000000 /dev/zero; : >done.txt\"";

} // namespace

void TestLaunchedPrograms::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = QDir(m_dir->path()).canonicalPath();
    addProgram(QStringLiteral("tool"), tool);
    addProgram(QStringLiteral("gui-tool"), tool);
    addProgram(QStringLiteral("terminal-tool"), tool);
    addProgram(QStringLiteral("hidden-tool"), tool);
    addProgram(QStringLiteral("env-tool"), tool);
    addProgram(QStringLiteral("spaced tool"), tool);
    QVERIFY(QFile::link(path(QStringLiteral("bin/gui-tool")), path(QStringLiteral("bin/gui-link"))));
    QVERIFY(QFile::link(QStringLiteral("/bin/ls"), path(QStringLiteral("bin/gui-ls"))));
    addEntry(QStringLiteral("share/applications/gui.desktop"), "\"<bin>/gui-tool\" %U");
    addEntry(QStringLiteral("share/applications/kde/ls.desktop"), "<bin>/gui-ls");
    addEntry(QStringLiteral("share/applications/terminal.desktop"), "<bin>/terminal-tool", "Terminal=true\n");
    addEntry(QStringLiteral("share/applications/env.desktop"), "env A=1 B=2 <bin>/env-tool");
    addEntry(QStringLiteral("share/applications/spaced.desktop"), "\"<bin>/spaced\\stool\" --quoted=\"a b\"");
    // The user's entry of the same desktop file ID hides the system's.
    addEntry(QStringLiteral("share/applications/hidden.desktop"), "<bin>/hidden-tool");
    addEntry(QStringLiteral("home/.local/share/applications/hidden.desktop"), "<bin>/hidden-tool", "Hidden=true\n");
}

void TestLaunchedPrograms::addProgram(const QString &name, const QByteArray &script)
{
    const QString file = path(QStringLiteral("bin/") + name);
    writeFile(file, script);
    QFile::setPermissions(file, QFile::permissions(file) | QFile::ExeOwner);
}

void TestLaunchedPrograms::addEntry(const QString &file, const QByteArray &program, const QByteArray &keys)
{
    writeFile(path(file),
              withFolder("[Desktop Entry]\nType=Application\nName=Test\n" + keys + "Exec=" + program
                         + "\n\n[Desktop Action Other]\nExec=/bin/sh\n"));
}

void TestLaunchedPrograms::startInterpreter(QProcess *process, const QByteArray &script)
{
    writeFile(path(QStringLiteral("run.bat")), withFolder(script));
    startInterpreter(process, {QStringLiteral("/c"), QStringLiteral("run.bat")});
}

void TestLaunchedPrograms::startInterpreter(QProcess *process, const QStringList &arguments)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), path(QStringLiteral("share")));
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(m_path);
    process->start(QStringLiteral(KORVANI_CMD), arguments);
    QVERIFY(process->waitForStarted(10000));
}

void TestLaunchedPrograms::programsOutliveTheReader_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("killed"); // after the first warning, as after Korvani's box

    QTest::newRow("program line") << "@" + persistentWarner + "\n" << true;
    QTest::newRow("called program") << "@call " + persistentWarner + "\n" << true;
    QTest::newRow("pipeline stage") << "@" + persistentWarner + " | /bin/cat\n" << true;
    QTest::newRow("after a program with redirections") << "@/bin/true 2>&1\n@" + persistentWarner + "\n" << true;
    QTest::newRow("background child after the end")
        << QByteArray("@/bin/sh -c \"(sleep 1; echo second >&2; head -c 1000000 /dev/zero; : >done.txt) &\"\n")
        << false;
}

// Killing the interpreter and closing its pipes, as Korvani does after its
// box, or the interpreter ending first, neither ends nor blocks the program.
void TestLaunchedPrograms::programsOutliveTheReader()
{
    QFETCH(QByteArray, script);
    QFETCH(bool, killed);

    auto process = std::make_unique<BareProcess>();
    startInterpreter(process.get(), script);
    if (killed) {
        process->setReadChannel(QProcess::StandardError);
        QVERIFY(process->waitForReadyRead(10000));
        QCOMPARE(process->readAllStandardError(), QByteArray("first\n"));
        process->kill();
    }
    QVERIFY(process->waitForFinished(10000));
    QVERIFY2(!QFile::exists(path(QStringLiteral("done.txt"))), "the interpreter waited for the program");
    process.reset();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("done.txt"))), 20000);
}

// A reader that reads on gets what programs write after the interpreter
// ended, in order, and sees the end of the stream once they are done.
void TestLaunchedPrograms::relayEndsWithItsWriters()
{
    writeFile(path(QStringLiteral("run.bat")), "@echo start\n@/bin/sh -c \"(sleep 1; echo late) &\"\n@echo end\n");
    QProcess process;
    process.setWorkingDirectory(m_path);
    process.start(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("\"$0\" /c run.bat 2>&1 | /bin/cat"), QStringLiteral(KORVANI_CMD)});
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.readAllStandardOutput(), QByteArray("start\nend\nlate\n"));
}

void TestLaunchedPrograms::nothingWrittenIsLost_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("batch file") << QStringList{"/c", "run.bat"};
    QTest::newRow("command line") << QStringList{"/c", "<bin>/tool", "x", "0", "0"};
    QTest::newRow("one-line command line") << QStringList{"/c", "<bin>/tool x 0 0"};
}

// The reader stops reading when the interpreter ends, as QProcess does: all
// that its programs wrote before must be in its pipes by then. Runs go eight
// at a time, so that the machine is busy.
void TestLaunchedPrograms::nothingWrittenIsLost()
{
    QFETCH(QStringList, arguments);
    arguments.replaceInStrings(QStringLiteral("<bin>"), path(QStringLiteral("bin")));

    writeFile(path(QStringLiteral("run.bat")), withFolder("@<bin>/tool x 0 0\n"));
    constexpr int runs = 200;
    constexpr int together = 8;
    int lost = 0;
    for (int first = 0; first < runs; first += together) {
        std::vector<std::unique_ptr<BareProcess>> processes;
        for (int i = 0; i < together; ++i) {
            processes.push_back(std::make_unique<BareProcess>());
            startInterpreter(processes.back().get(), arguments);
        }
        for (const auto &process : processes) {
            QVERIFY(process->waitForFinished(60000));
            if (process->readAllStandardOutput() != "out x\n" || process->readAllStandardError() != "warn x\nlater x\n")
                ++lost;
        }
    }
    QCOMPARE(lost, 0);
}

void TestLaunchedPrograms::graphicalPrograms_data()
{
    QTest::addColumn<QByteArray>("program");
    QTest::addColumn<QByteArray>("arguments"); // the tool's NAME SECONDS STATUS
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<QByteArray>("errorLevel");
    QTest::addColumn<bool>("waited");

    const QByteArray failure = "warn x\nlater x\n";
    QTest::newRow("entry: keeps running") << QByteArray("<bin>/gui-tool") << QByteArray("x 4 0") << QByteArray()
                                          << QByteArray() << QByteArray("0") << false;
    QTest::newRow("entry: fails at once") << QByteArray("<bin>/gui-tool") << QByteArray("x 0 1")
                                          << QByteArray("out x\n") << failure << QByteArray("0") << false;
    QTest::newRow("entry: fails in its first second") << QByteArray("<bin>/gui-tool") << QByteArray("x 1 3")
                                                      << QByteArray("out x\n") << failure << QByteArray("0") << false;
    QTest::newRow("entry: killed by a signal at once") << QByteArray("<bin>/gui-tool") << QByteArray("x 0 signal")
                                                       << QByteArray("out x\n") << failure << QByteArray("0") << false;
    QTest::newRow("entry: fails after its window") << QByteArray("<bin>/gui-tool") << QByteArray("x 4 1")
                                                   << QByteArray() << QByteArray() << QByteArray("0") << false;
    QTest::newRow("entry: ends well at once") << QByteArray("<bin>/gui-tool") << QByteArray("x 0 0") << QByteArray()
                                              << QByteArray() << QByteArray("0") << false;
    QTest::newRow("entry through a link") << QByteArray("<bin>/gui-link") << QByteArray("x 0 1")
                                          << QByteArray("out x\n") << failure << QByteArray("0") << false;
    QTest::newRow("entry with an escaped blank") << QByteArray("\"<bin>/spaced tool\"") << QByteArray("x 0 1")
                                                 << QByteArray("out x\n") << failure << QByteArray("0") << false;
    QTest::newRow("entry after env") << QByteArray("<bin>/env-tool") << QByteArray("x 4 0") << QByteArray()
                                     << QByteArray() << QByteArray("0") << false;
    QTest::newRow("libxcb: keeps running")
        << QByteArray("<xcb>") << QByteArray("x 4 0") << QByteArray() << QByteArray() << QByteArray("0") << false;
    QTest::newRow("libxcb: fails at once")
        << QByteArray("<xcb>") << QByteArray("x 0 1") << QByteArray("out x\n") << failure << QByteArray("0") << false;
    QTest::newRow("console script") << QByteArray("<bin>/tool") << QByteArray("x 0 1") << QByteArray("out x\n")
                                    << failure << QByteArray("1") << true;
    QTest::newRow("env itself") << QByteArray("env <bin>/tool") << QByteArray("x 0 2") << QByteArray("out x\n")
                                << failure << QByteArray("2") << true;
    QTest::newRow("entry with Terminal=true") << QByteArray("<bin>/terminal-tool") << QByteArray("x 0 0")
                                              << QByteArray("out x\n") << failure << QByteArray("0") << true;
    QTest::newRow("entry hidden by the user's") << QByteArray("<bin>/hidden-tool") << QByteArray("x 0 0")
                                                << QByteArray("out x\n") << failure << QByteArray("0") << true;
}

void TestLaunchedPrograms::graphicalPrograms()
{
    QFETCH(QByteArray, program);
    QFETCH(QByteArray, arguments);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, error);
    QFETCH(QByteArray, errorLevel);
    QFETCH(bool, waited);

    if (program == "<xcb>") {
#ifdef WINDOWING_PROGRAM
        program = WINDOWING_PROGRAM;
#else
        QSKIP("libxcb is not installed (libxcb1-dev), so there is no program linked against it to start");
#endif
    }
    BareProcess process;
    startInterpreter(&process, "@" + program + " " + arguments + "\n@echo %ERRORLEVEL% >level.txt\n");
    QVERIFY(process.waitForFinished(20000));
    const bool ended = QFile::exists(path(QStringLiteral("x.done")));
    QCOMPARE(process.readAllStandardError(), error);
    QCOMPARE(process.readAllStandardOutput(), output);
    QCOMPARE(readAll(path(QStringLiteral("level.txt"))).trimmed(), errorLevel);
    if (waited)
        QVERIFY(ended);
    else if (arguments.contains(" 4 "))
        QVERIFY2(!ended, "the interpreter waited for the graphical program");
    // A program not waited for warns again later, to a stream nobody reads.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("x.done"))), 20000);
}

void TestLaunchedPrograms::noHandlesLeak_data()
{
    QTest::addColumn<QByteArray>("line");

    // ls fails on the missing file, so that even the graphical one's output
    // is shown; it opens the folder it lists as its fourth handle, 3.
    const QByteArray ls = "/bin/ls /proc/self/fd /nonexistent";
    QTest::newRow("console program") << "@" + ls + "\n";
    QTest::newRow("graphical program") << QByteArray("@<bin>/gui-ls /proc/self/fd /nonexistent\n");
    QTest::newRow("called program") << "@call " + ls + "\n";
    QTest::newRow("pipeline stage") << "@" + ls + " | /bin/cat\n";
    QTest::newRow("redirected program") << "@" + ls + " 2>nul <nul\n";
    QTest::newRow("program after a graphical one") << "@<bin>/gui-tool x 0 0\n@" + ls + "\n";
}

void TestLaunchedPrograms::noHandlesLeak()
{
    QFETCH(QByteArray, line);

    BareProcess process;
    startInterpreter(&process, line);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.readAllStandardOutput(), QByteArray("/proc/self/fd:\n0\n1\n2\n3\n"));
}

QTEST_GUILESS_MAIN(TestLaunchedPrograms)
#include "TestLaunchedPrograms.moc"
