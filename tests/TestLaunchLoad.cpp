#include "applicationLauncher.h"
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
    void manyLaunchesAtOnce();
};

void TestLaunchLoad::manyLaunchesAtOnce()
{
    registerRecordTypes();
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));

    ApplicationLauncher launcher;
    launcher.setLauncherData({ApplicationData(QStringLiteral("Echo"), QString(), QStringLiteral("/bin/echo"),
                                              QStringLiteral("set GREETING=hello"), {VariableData("%GREETING%")})});
    const QModelIndex index = launcher.launcherModel()->index(0);
    // Warm up the program's own descriptors (fonts, notifiers) before counting.
    launcher.doubleClickedItem(index);
    QTRY_VERIFY_WITH_TIMEOUT(launcher.findChildren<QProcess *>().isEmpty(), 10000);
    const int descriptors = openFileDescriptors();

    ModalAnswerer answerer;
    int started = 0;
    for (int i = 0; i < 200; ++i) {
        launcher.doubleClickedItem(index);
        ++started;
    }
    QCOMPARE(launcher.findChildren<QProcess *>().size(), started);
    QTRY_VERIFY_WITH_TIMEOUT(launcher.findChildren<QProcess *>().isEmpty(), 60000);

    // Every launch read a whole script, though each rewrote it for the next.
    QCOMPARE(answerer.messages(), QStringList());
    QTRY_COMPARE_WITH_TIMEOUT(zombieChildren(), 0, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(openFileDescriptors(), descriptors, 5000);
    QDir::setCurrent(previous);
}

QTEST_MAIN(TestLaunchLoad)
#include "TestLaunchLoad.moc"
