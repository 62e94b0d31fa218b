#include "applicationLauncher/applicationLauncher.h"
#include "launcherSetup.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

int openFileDescriptors()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size();
}

// Children of this process that have ended but were never waited for.
int zombieChildren()
{
    int zombies = 0;
    const QString self = QString::number(getpid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ...": the name may hold blanks, so read after its ")".
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields.at(0) == "Z" && fields.at(1) == self.toLatin1())
            ++zombies;
    }
    return zombies;
}

} // namespace

class TestLaunchLoad : public QObject
{
    Q_OBJECT

private slots:
    void manyLaunchesAtOnce_data();
    void manyLaunchesAtOnce();
};

void TestLaunchLoad::manyLaunchesAtOnce_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("boxes");
    QTest::newRow("console program") << "/bin/echo" << QStringList{"%GREETING%"} << 0;
    QTest::newRow("error output") << "/bin/sh" << QStringList{"-c", "\"echo %GREETING% >&2\""} << 200;
    // Known as graphical by its desktop entry: not waited for.
    QTest::newRow("graphical program") << "graphical.sh" << QStringList{"%GREETING%"} << 0;
}

void TestLaunchLoad::manyLaunchesAtOnce()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, boxes);
    registerRecordTypes();
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));

    if (program == QLatin1String("graphical.sh")) {
        program = QDir::current().absoluteFilePath(program);
        writeFile(program, "#!/bin/sh\necho \"$1\" >> graphical.txt\n");
        QVERIFY(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        writeFile(QStringLiteral("share/applications/graphical.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Graphical\nTerminal=false\nExec=" + program.toUtf8() + "\n");
        qputenv("XDG_DATA_HOME", QDir::current().absoluteFilePath(QStringLiteral("home")).toUtf8());
        qputenv("XDG_DATA_DIRS", QDir::current().absoluteFilePath(QStringLiteral("share")).toUtf8());
    }
    VariableDataList argumentList;
    for (const QString &argument : arguments)
        argumentList.append(VariableData(argument));
    // Each run leaves a line, so that every launch can be seen to have run.
    TestLauncher launcher;
    launcher.setLauncherData(
        {ApplicationData(QStringLiteral("Load"), QString(), program,
                         QStringLiteral("@echo off\nset GREETING=hello\necho ran>> runs.txt"), argumentList)});
    const QModelIndex index = launcher.launcherModel()->index(0);
    ModalAnswerer answerer;
    // Warm up the program's own descriptors (fonts, notifiers) before counting.
    launcher.doubleClickedItem(index);
    QTRY_VERIFY_WITH_TIMEOUT(launcher.findChildren<QProcess *>().isEmpty(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(answerer.messages().size(), boxes ? 1 : 0, 5000);
    const int descriptors = openFileDescriptors();

    for (int i = 0; i < 200; ++i)
        launcher.doubleClickedItem(index);
    QCOMPARE(launcher.findChildren<QProcess *>().size(), 200);
    QTRY_VERIFY_WITH_TIMEOUT(launcher.findChildren<QProcess *>().isEmpty(), 60000);

    // Every launch read a whole script of its own.
    QCOMPARE(answerer.messages().size(), boxes ? boxes + 1 : 0);
    for (const QString &message : answerer.messages())
        QVERIFY2(message.endsWith(QStringLiteral("hello\n")), qPrintable(message));
    QCOMPARE(readAll(QStringLiteral("runs.txt")).count("ran\n"), 201);
    if (program.endsWith(QLatin1String("graphical.sh")))
        QTRY_COMPARE_WITH_TIMEOUT(readAll(QStringLiteral("graphical.txt")).count("hello\n"), 201, 10000);
    // Each launch's own script went with its interpreter.
    QCOMPARE(QDir(QStringLiteral("temp")).entryList(QDir::Files | QDir::Hidden), QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(zombieChildren(), 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(openFileDescriptors(), descriptors, 5000);
    QDir::setCurrent(previous);
}

QTEST_MAIN(TestLaunchLoad)
#include "TestLaunchLoad.moc"
