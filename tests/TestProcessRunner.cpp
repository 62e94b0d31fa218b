#include "applicationLauncher/applicationLauncher.h"
#include "launcherSetup.h"
#include "platform/platform.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

using Model = LauncherDataModel;

namespace {

// The resident memory of this process, in KiB.
qint64 residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

// Watches the message boxes a ModalAnswerer is shown: the most that were open
// at once, and how long the newest has been open.
struct BoxWatch
{
    QPointer<QWidget> newest;
    QElapsedTimer newestOpen;
    int mostOpen = 0;
    int tallest = 0;

    void note(QWidget *box)
    {
        tallest = qMax(tallest, box->height());
        const QWidgetList windows = QApplication::topLevelWidgets();
        const int open = int(std::count_if(windows.begin(), windows.end(), [](QWidget *window) {
            return qobject_cast<QMessageBox *>(window) && window->isVisible();
        }));
        mostOpen = qMax(mostOpen, open);
        if (newest != box) {
            newest = box;
            newestOpen.start();
        }
    }
};

// Answers a box as Enter does: Stop while the launch runs, OK once it ended.
void pressDefaultButton(QWidget *window)
{
    auto *box = qobject_cast<QMessageBox *>(window);
    if (box && box->defaultButton())
        box->defaultButton()->click();
    else
        window->close();
}

ApplicationData program(const QString &name, const QString &path, const QStringList &arguments,
                        const QString &preScript = QStringLiteral("@echo off"))
{
    VariableDataList list;
    for (const QString &argument : arguments)
        list.append(VariableData(argument));
    return ApplicationData(name, QString(), path, preScript, list, {}, false, 1);
}
} // namespace

// Launches real entries through the interpreter beside the test program.
class TestProcessRunner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void outputOnlyGivesNoBox();
    void errorOutputShowsBoxThenKills();
    void twoLaunchesTwoProcesses();
    void unwritableScriptIsReported();
    void staleScriptDoesNotRun_data();
    void staleScriptDoesNotRun();
    void missingInterpreterIsReported();
    void endlessErrorOutputGivesOneBox();
    void endlessOutputKeepsMemoryFlat();
    void boxesComeOneAfterAnother();
    void programsOutliveTheirOutputReader_data();
    void programsOutliveTheirOutputReader();
    void eachLaunchRunsItsOwnScript_data();
    void eachLaunchRunsItsOwnScript();
    void boxTellsWhatHappened_data();
    void boxTellsWhatHappened();

private:
    QList<QProcess *> processes() const { return m_launcher->findChildren<QProcess *>(); }
    // An executable shell script in the current folder; its absolute path.
    static QString shellScript(const QString &name, const QString &script);

    QString m_previousDir;
    QTemporaryDir *m_dir = nullptr;
    ApplicationLauncher *m_launcher = nullptr;
};

void TestProcessRunner::initTestCase()
{
    registerRecordTypes();
    qRegisterMetaType<QProcess::ExitStatus>();
    m_previousDir = QDir::currentPath();
    QVERIFY2(QFileInfo(Platform::commandInterpreter()).isExecutable(), qPrintable(Platform::commandInterpreter()));
}

void TestProcessRunner::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_launcher = new TestLauncher;
}

void TestProcessRunner::cleanup()
{
    delete m_launcher;
    // Whatever a launch started has ended before its folder goes: in a
    // folder that is gone, it would wait for ever.
    const QStringList left = processesLeftIn(m_dir->path(), 10000);
    QDir::setCurrent(m_previousDir);
    delete m_dir;
    QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
}

void TestProcessRunner::outputOnlyGivesNoBox()
{
    const ApplicationData entry = program(QStringLiteral("Echo"), QStringLiteral("/bin/echo"), {"hello"});
    m_launcher->setLauncherData({entry});
    ModalAnswerer answerer;
    // Launched from the heart tab, as from the home tab: same file, same command.
    QAbstractItemModel *heart =
        qobject_cast<QAbstractItemView *>(m_launcher->findChild<QTabWidget *>()->widget(2))->model();
    m_launcher->doubleClickedItem(heart->index(0, 0));

    QCOMPARE(processes().size(), 1);
    const QStringList arguments = processes().first()->arguments();
    QCOMPARE(arguments.size(), 2);
    QCOMPARE(arguments.first(), QStringLiteral("/c"));
    // Absolute, in the data folder's launch folder, where the launch starts.
    const QString scripts = QRegularExpression::escape(QDir::current().absoluteFilePath(QStringLiteral("temp")));
    QVERIFY2(
        QRegularExpression(QStringLiteral("^%1/Echo-\\w{6}\\.bat$").arg(scripts)).match(arguments.last()).hasMatch(),
        qPrintable(arguments.last()));
    QCOMPARE(processes().first()->workingDirectory(), QDir::currentPath());
    QCOMPARE(readAll(arguments.last()), entry.batchScript().toUtf8());
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 10000);
    QCOMPARE(answerer.answered(), 0);
    // The launch's own script goes once its interpreter has ended.
    QCOMPARE(QDir(QStringLiteral("temp")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestProcessRunner::errorOutputShowsBoxThenKills()
{
    // The program goes on until told: Stop ends the interpreter only.
    m_launcher->setLauncherData(
        {program(QStringLiteral("Warn"),
                 shellScript("warn.sh", "sleep 0.3; echo warn >&2; while [ ! -e go ]; do sleep 0.02; done"), {},
                 QStringLiteral("@echo off\necho before"))});
    ModalAnswerer answerer(pressDefaultButton);
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    QCOMPARE(processes().size(), 1);
    QSignalSpy finished(processes().first(), SIGNAL(finished(int, QProcess::ExitStatus)));

    QTRY_COMPARE_WITH_TIMEOUT(answerer.messages().size(), 1, 10000);
    QCOMPARE(answerer.messages().first(), "Error: before\n" + QString(80, '-') + "\nwarn\n");
    // Killed once the box is closed, long before the program would have ended.
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);
    QCOMPARE(finished.first().at(1).value<QProcess::ExitStatus>(), QProcess::CrashExit);
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 5000);
    writeFile(QStringLiteral("go"));
}

void TestProcessRunner::twoLaunchesTwoProcesses()
{
    m_launcher->setLauncherData({program(QStringLiteral("Sleep"), QStringLiteral("/bin/sleep"), {"0.5"})});
    const QModelIndex index = m_launcher->launcherModel()->index(0);
    m_launcher->doubleClickedItem(index);
    m_launcher->doubleClickedItem(index);
    const QList<QProcess *> running = processes();
    QCOMPARE(running.size(), 2);
    QVERIFY(running.at(0)->waitForStarted());
    QVERIFY(running.at(1)->waitForStarted());
    QVERIFY(running.at(0)->processId() != running.at(1)->processId());
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 10000);
}

void TestProcessRunner::unwritableScriptIsReported()
{
    QFile blocker(QStringLiteral("temp"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    m_launcher->setLauncherData({program(QStringLiteral("Echo"), QStringLiteral("/bin/echo"), {})});
    ModalAnswerer answerer;
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    QTRY_COMPARE_WITH_TIMEOUT(answerer.messages().size(), 1, 10000);
    QVERIFY(answerer.messages().first().contains(QStringLiteral("Echo.bat")));
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 10000);
}

void TestProcessRunner::missingInterpreterIsReported()
{
    const QString interpreter = Platform::commandInterpreter();
    QVERIFY(QFile::rename(interpreter, interpreter + ".away"));
    auto restore = qScopeGuard([&] { QFile::rename(interpreter + ".away", interpreter); });

    m_launcher->setLauncherData({program(QStringLiteral("Echo"), QStringLiteral("/bin/echo"), {})});
    ModalAnswerer answerer;
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    QTRY_COMPARE_WITH_TIMEOUT(answerer.messages().size(), 1, 10000);
    QVERIFY(answerer.messages().first().startsWith("Error: " + interpreter));
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 5000);
}

void TestProcessRunner::staleScriptDoesNotRun_data()
{
    QTest::addColumn<bool>("readOnly");
    // Root writes read-only files; a file-size limit makes any user's write fail.
    QTest::newRow("file size limit") << false;
    QTest::newRow("read-only file") << true;
}

void TestProcessRunner::staleScriptDoesNotRun()
{
    QFETCH(bool, readOnly);
    if (readOnly && geteuid() == 0)
        QSKIP("root writes read-only files");
    writeFile(QStringLiteral("temp/Stale.bat"), "echo stale> ran.txt\n");
    const ApplicationData entry = program(QStringLiteral("Stale"), QStringLiteral("/bin/echo"), {"new"});
    m_launcher->setLauncherData({entry});
    ModalAnswerer answerer;

    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (readOnly) {
        QVERIFY(QFile::setPermissions(QStringLiteral("temp/Stale.bat"), QFileDevice::ReadOwner));
    } else {
        rlimit tiny = previous;
        tiny.rlim_cur = 4;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    }
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(processes().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(answerer.messages().size(), 1, 5000);
    QVERIFY2(answerer.messages().first().contains(QDir::current().absoluteFilePath("temp/Stale-")),
             qPrintable(answerer.messages().first()));
    QCOMPARE(readAll(QStringLiteral("temp/Stale.bat")), QByteArray("echo stale> ran.txt\n"));
    QCOMPARE(QDir(QStringLiteral("temp")).entryList(QDir::Files | QDir::Hidden), QStringList{"Stale.bat"});
    QVERIFY(!QFile::exists(QStringLiteral("ran.txt")));
}

void TestProcessRunner::endlessErrorOutputGivesOneBox()
{
    // Writes warnings as fast as the pipe takes them for ten seconds.
    m_launcher->setLauncherData(
        {program(QStringLiteral("Chatty"), QStringLiteral("/bin/sh"), {"-c", "\"timeout 10 yes warning >&2\""})});
    const qint64 before = residentKiB();
    qint64 most = before;
    BoxWatch boxes;
    ModalAnswerer answerer([&](QWidget *box) {
        boxes.note(box);
        most = qMax(most, residentKiB());
        // The box stays open while the program keeps writing.
        if (boxes.newestOpen.elapsed() > 8000)
            box->close();
    });
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 30000);

    QCOMPARE(answerer.messages().size(), 1);
    QCOMPARE(boxes.mostOpen, 1);
    QVERIFY(answerer.messages().first().contains(QStringLiteral("warning\n")));
    // The box shows the beginning of the warnings, and all of them on demand.
    QVERIFY(boxes.tallest < 1000);
    QVERIFY2(most - before < 20 * 1024, qPrintable(QString::number(most - before)));
}

void TestProcessRunner::endlessOutputKeepsMemoryFlat()
{
    m_launcher->setLauncherData(
        {program(QStringLiteral("Talk"), QStringLiteral("/bin/sh"), {"-c", "\"head -c 200000000 /dev/zero\""})});
    const qint64 before = residentKiB();
    qint64 most = before;
    ModalAnswerer answerer;
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    QElapsedTimer elapsed;
    elapsed.start();
    while (!processes().isEmpty() && elapsed.elapsed() < 60000) {
        QTest::qWait(20);
        most = qMax(most, residentKiB());
    }
    QVERIFY(processes().isEmpty());
    QCOMPARE(answerer.messages(), QStringList());
    QVERIFY2(most - before < 20 * 1024, qPrintable(QString::number(most - before)));
}

void TestProcessRunner::boxesComeOneAfterAnother()
{
    m_launcher->setLauncherData(
        {program(QStringLiteral("First"), QStringLiteral("/bin/sh"), {"-c", "\"echo one >&2\""}),
         program(QStringLiteral("Second"), QStringLiteral("/bin/sh"), {"-c", "\"echo two >&2\""})});
    BoxWatch boxes;
    ModalAnswerer answerer([&](QWidget *box) {
        boxes.note(box);
        // Long enough for the second launch to fail while the first box is open.
        if (boxes.newestOpen.elapsed() > 500)
            box->close();
    });
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(1));
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 10000);
    QCOMPARE(answerer.messages().size(), 2);
    QCOMPARE(boxes.mostOpen, 1);
    // Either may fail first; each has its own box.
    QStringList endings;
    for (const QString &message : answerer.messages())
        endings.append(message.right(4));
    endings.sort();
    QCOMPARE(endings, (QStringList{"one\n", "two\n"}));
}

void TestProcessRunner::programsOutliveTheirOutputReader_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("graphical");
    QTest::addColumn<bool>("destroyLauncher");
    QTest::addColumn<QString>("box");

    // Stop in the box kills the interpreter; the program writes on.
    QTest::newRow("after the error box") << "echo warn >&2; sleep 1; echo again >&2; echo again; echo done > marker"
                                         << false << false << "warn";
    // The program outlives the interpreter, whose pipes close when it ends.
    QTest::newRow("in the background") << "(sleep 1; echo late >&2; echo late; echo done > marker) &" << false << false
                                       << "";
    // Korvani itself ends while the program runs.
    QTest::newRow("launcher destroyed") << "sleep 1; echo late >&2; echo late; echo done > marker" << false << true
                                        << "";
    // A graphical program is not waited for, and its warnings show no box.
    QTest::newRow("graphical program warns")
        << "echo warning >&2; sleep 3; echo warning >&2; echo done > marker" << true << false << "";
    QTest::newRow("graphical program fails at once")
        << "echo done > marker; echo broken >&2; exit 1" << true << false << "broken";
}

// What a program writes after its interpreter is gone goes nowhere, and never
// ends it. Graphical programs are known by a desktop entry of their own.
void TestProcessRunner::programsOutliveTheirOutputReader()
{
    QFETCH(QString, script);
    QFETCH(bool, graphical);
    QFETCH(bool, destroyLauncher);
    QFETCH(QString, box);

    const QString scriptPath = QDir::current().absoluteFilePath(QStringLiteral("program.sh"));
    writeFile(scriptPath, "#!/bin/sh\n" + script.toUtf8() + '\n');
    QVERIFY(QFile::setPermissions(scriptPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    qputenv("XDG_DATA_HOME", QDir::current().absoluteFilePath(QStringLiteral("home")).toUtf8());
    qputenv("XDG_DATA_DIRS", QDir::current().absoluteFilePath(QStringLiteral("share")).toUtf8());
    if (graphical)
        writeFile(QStringLiteral("share/applications/program.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Program\nTerminal=false\nExec=" + scriptPath.toUtf8()
                      + '\n');

    m_launcher->setLauncherData({program(QStringLiteral("Lives"), scriptPath, {})});
    ModalAnswerer answerer(pressDefaultButton);
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    if (destroyLauncher) {
        QVERIFY(processes().first()->waitForStarted());
        QTest::qWait(200);
        delete m_launcher;
        m_launcher = new TestLauncher;
    }
    QTRY_COMPARE_WITH_TIMEOUT(readAll(QStringLiteral("marker")), QByteArray("done\n"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 10000);
    QCOMPARE(answerer.messages().size(), box.isEmpty() ? 0 : 1);
    if (!box.isEmpty())
        QVERIFY2(answerer.messages().first().contains(box), qPrintable(answerer.messages().first()));
}

QString TestProcessRunner::shellScript(const QString &name, const QString &script)
{
    const QString path = QDir::current().absoluteFilePath(name);
    writeFile(path, "#!/bin/sh\n" + script.toUtf8() + '\n');
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void TestProcessRunner::eachLaunchRunsItsOwnScript_data()
{
    QTest::addColumn<QStringList>("names"); // name and description of each of two entries

    QTest::newRow("same name and description") << QStringList{"No Name", "", "No Name", ""};
    QTest::newRow("names that make one file name") << QStringList{"Build: x", "", "Build; x", ""};
    QTest::newRow("no name and no description") << QStringList{"", "", "", ""};
    // 17 characters and 80: 296 bytes as a file name.
    const QString name(17, QChar(0x65E5));
    const QString description(80, QChar(0x8A9E));
    QTest::newRow("long Japanese name") << QStringList{name, description, name, description};
}

// Launched one right after the other, each entry runs what it says, however
// its file name comes out; no script is left behind.
void TestProcessRunner::eachLaunchRunsItsOwnScript()
{
    QFETCH(QStringList, names);
    const ApplicationDataList entries{
        ApplicationData(names.at(0), names.at(1), QStringLiteral("/bin/true"), QStringLiteral("@echo A>> runs.txt")),
        ApplicationData(names.at(2), names.at(3), QStringLiteral("/bin/true"), QStringLiteral("@echo B>> runs.txt"))};
    m_launcher->setLauncherData(entries);
    ModalAnswerer answerer;
    for (int i = 0; i < 20; ++i) {
        m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
        m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(1));
    }
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 60000);
    QCOMPARE(answerer.messages(), QStringList());
    const QByteArray runs = readAll(QStringLiteral("runs.txt"));
    QCOMPARE(runs.count("A\n"), 20);
    QCOMPARE(runs.count("B\n"), 20);
    QCOMPARE(QDir(QStringLiteral("temp")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestProcessRunner::boxTellsWhatHappened_data()
{
    QTest::addColumn<bool>("waitsForGo"); // after warning, the pre script waits for the file "go"
    QTest::addColumn<QString>("programScript");
    QTest::addColumn<QString>("answer"); // the button pressed; empty: no box
    QTest::addColumn<QStringList>("shown"); // what the box says when it is answered
    QTest::addColumn<bool>("programRan");

    QTest::newRow("three lines of errors, then status 1")
        << false << "echo one >&2; sleep 0.05; echo two >&2; sleep 0.05; echo three >&2; echo done > marker; exit 1"
        << "OK" << QStringList{"one\ntwo\nthree\n", "Lives ended with exit status 1."} << true;
    // The program goes on only once the box has been seen.
    QTest::newRow("box grows while open")
        << false
        << "echo first >&2; while [ ! -e go ]; do sleep 0.02; done; echo second >&2; echo done > marker; exit 2"
        << "OK" << QStringList{"first\nsecond\n", "Lives ended with exit status 2."} << true;
    QTest::newRow("silent status 4") << false << "echo done > marker; exit 4"
                                     << "OK" << QStringList{"Lives ended with exit status 4."} << true;
    QTest::newRow("interpreter ended by a signal")
        << false << "echo done > marker; kill -TERM $PPID"
        << "OK" << QStringList{"Lives was ended by signal 15 (Terminated)."} << true;
    QTest::newRow("silent success") << false << "echo done > marker" << QString() << QStringList() << true;
    QTest::newRow("keep running") << true << "echo again >&2; echo done > marker"
                                  << "Keep running" << QStringList{"warning", "Lives is still running."} << true;
    QTest::newRow("stop") << true << "echo done > marker"
                          << "Stop" << QStringList{"warning"} << false;
}

void TestProcessRunner::boxTellsWhatHappened()
{
    QFETCH(bool, waitsForGo);
    QFETCH(QString, programScript);
    QFETCH(QString, answer);
    QFETCH(QStringList, shown);
    QFETCH(bool, programRan);

    QString preScript = QStringLiteral("@echo off");
    if (waitsForGo)
        preScript += "\necho warning>&2\n\""
            + shellScript("wait.sh", "while [ ! -e go ]; do sleep 0.02; done; : > waited") + '"';
    m_launcher->setLauncherData(
        {program(QStringLiteral("Lives"), shellScript("program.sh", programScript), {}, preScript)});
    QString answered;
    ModalAnswerer answerer([&](QWidget *window) {
        auto *box = qobject_cast<QMessageBox *>(window);
        QAbstractButton *button = box->button(QMessageBox::Ok);
        for (QAbstractButton *candidate : box->buttons()) {
            if (candidate->text() == answer)
                button = candidate;
        }
        // An answer that needs the interpreter to have ended waits for it.
        if (!button->isVisible()) {
            writeFile(QStringLiteral("go"));
            return;
        }
        answered = box->text() + '\n' + box->informativeText();
        button->click();
    });
    m_launcher->doubleClickedItem(m_launcher->launcherModel()->index(0));
    if (!answer.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(!answered.isEmpty(), 20000);
    // The pre script goes on only once a stopped interpreter is gone, however
    // late it is killed.
    if (answer == QLatin1String("Stop"))
        QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 20000);
    writeFile(QStringLiteral("go"));
    QTRY_VERIFY_WITH_TIMEOUT(processes().isEmpty(), 20000);
    // A stopped launch leaves the pre script's program running: it ends
    // once it has seen "go".
    if (waitsForGo)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QStringLiteral("waited")), 20000);

    QCOMPARE(answerer.messages().size(), answer.isEmpty() ? 0 : 1);
    for (const QString &text : shown)
        QVERIFY2(answered.contains(text), qPrintable(answered));
    QCOMPARE(QFile::exists(QStringLiteral("marker")), programRan);
}

QTEST_MAIN(TestProcessRunner)
#include "TestProcessRunner.moc"
