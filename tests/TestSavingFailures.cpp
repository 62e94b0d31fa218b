#include "platform/dataFolder.h"
#include "platform/fileAccess.h"
#include "records/launcherFile.h"
#include "records/records.h"
#include "testSupport.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

// A save that cannot be written whole fails, says the system's reason and
// leaves what was on disk as it was; nothing half written stays behind.
class TestSavingFailures : public QObject
{
    Q_OBJECT

private slots:
    void fullDisk_data();
    void fullDisk();
    void contentUpToItsLimit_data();
    void contentUpToItsLimit();
    void tooManyArgumentsToSave();
};

namespace {

// A file system of 1 MiB mounted on a folder while this lives, where the
// test may mount one (as root).
class TinyFileSystem
{
public:
    explicit TinyFileSystem(const QString &folder)
        : m_folder(QFile::encodeName(folder))
    {
        m_mounted = !m_folder.isEmpty() && ::geteuid() == 0
            && ::mount("tmpfs", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=1m,mode=0700") == 0;
    }
    ~TinyFileSystem()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    TinyFileSystem(const TinyFileSystem &) = delete;
    TinyFileSystem &operator=(const TinyFileSystem &) = delete;

    bool isMounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

// While this lives, a write fails as on a full disk: the file system of the
// folder is filled up, or else the file size limit of this process lets no
// file grow past its first bytes.
class FullDisk
{
public:
    FullDisk(const QString &folder, bool fileSystem)
        : m_filler(fileSystem ? folder + QStringLiteral("/filler") : QString())
    {
        if (fileSystem) {
            QFile filler(m_filler);
            filler.open(QIODevice::WriteOnly);
            const QByteArray block(4096, 'f');
            while (filler.write(block) == block.size() && filler.flush()) { }
            return;
        }
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FullDisk()
    {
        if (!m_filler.isEmpty()) {
            QFile::remove(m_filler);
            return;
        }
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    static QString reason(bool fileSystem) { return qt_error_string(fileSystem ? ENOSPC : EFBIG); }

private:
    QString m_filler;
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

// Every file below a folder, hidden ones too, with its content.
QMap<QString, QByteArray> filesBelow(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator found(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (found.hasNext()) {
        const QString path = found.next();
        files.insert(QDir(folder).relativeFilePath(path), readAll(path));
    }
    return files;
}

ApplicationDataList entries(int count)
{
    ApplicationDataList list;
    for (int i = 0; i < count; ++i)
        list.append(ApplicationData(QStringLiteral("entry %1").arg(i), QStringLiteral("a description"),
                                    QStringLiteral("/usr/bin/env"), QString(), {VariableData(QStringLiteral("-i"))}));
    return list;
}

} // namespace

void TestSavingFailures::fullDisk_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("fileSystem");
    for (const bool fileSystem : {false, true}) {
        for (const char *kind : {"launcher file of one entry", "launcher file of 2000 entries", "copy of the entries",
                                 "batch file", "template"}) {
            QTest::addRow("%s, %s", kind, fileSystem ? "full file system" : "file size limit")
                << QString::fromLatin1(kind) << fileSystem;
        }
    }
}

// Each place that writes a file, on a full disk. A launcher file of one entry
// is written at once at the close of the file, where the failure once went
// unseen and an empty file replaced the user's.
void TestSavingFailures::fullDisk()
{
    QFETCH(QString, kind);
    QFETCH(bool, fileSystem);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("disk"));
    QVERIFY(QDir().mkpath(folder));
    const TinyFileSystem tiny(fileSystem ? folder : QString());
    if (fileSystem && !tiny.isMounted())
        QSKIP("Only root may mount a small file system to fill.");

    const QString launcherFile = folder + QStringLiteral("/shortchut.json");
    const QString batchFile = folder + QStringLiteral("/entry.bat");
    const QString program = dir.filePath(QStringLiteral("program"));
    QVERIFY(writeLauncherFile(launcherFile, {ApplicationData(QStringLiteral("old"))}));
    writeFile(batchFile, "old");
    writeFile(DataFolder(program).templateFolder() + QStringLiteral("/tool.ini"),
              "[arguments]\n" + QByteArray(2000, 'x') + "=0\n");
    const ApplicationDataList list = entries(kind.contains(QLatin1String("2000")) ? 2000 : 1);
    const auto write = [&](QString *error) {
        if (kind.startsWith(QLatin1String("launcher file")))
            return writeLauncherFile(launcherFile, list, error);
        if (kind == QLatin1String("copy of the entries"))
            return Platform::writeNewFile(launcherFile + QStringLiteral(".conflict"), launcherFileContent(list), error);
        if (kind == QLatin1String("batch file"))
            return list.first().writeBatchFile(batchFile, error);
        const DataFolder target(folder);
        target.addShippedTemplates(program);
        return QFileInfo::exists(target.templateFolder() + QStringLiteral("/tool.ini"));
    };
    const QMap<QString, QByteArray> before = filesBelow(folder);

    QString error;
    bool written = true;
    {
        const FullDisk full(folder, fileSystem);
        written = write(&error);
    }
    QVERIFY(!written);
    // A missing template is copied at the next start; no one is told.
    if (kind != QLatin1String("template"))
        QCOMPARE(error, FullDisk::reason(fileSystem));
    QCOMPARE(filesBelow(folder), before);

    // With room again, the same write succeeds.
    QVERIFY(write(&error));
    QVERIFY(filesBelow(folder) != before);
}

void TestSavingFailures::contentUpToItsLimit_data()
{
    QTest::addColumn<ApplicationDataList>("list");
    QString text;
    for (int i = 0; i < 3000; ++i)
        text += QStringLiteral("a\u00e9\u65e5\n") + QString::fromUcs4(U"\U0001F600") + QChar(0xd800);
    ApplicationData withOthers(QStringLiteral("n"));
    withOthers.setOtherFields({{QStringLiteral("later"), "[" + QByteArray(5000, '1') + "]"}});
    QTest::newRow("long strings") << ApplicationDataList{ApplicationData(text, text, text, text)};
    QTest::newRow("many variables") << ApplicationDataList{ApplicationData(
        QStringLiteral("n"), QString(), QString(), QString(), VariableDataList(3000, VariableData(text.left(10))))};
    QTest::newRow("other fields") << ApplicationDataList{withOthers};
    QTest::newRow("many entries") << entries(3000);
}

// The content is made whole up to its largest size, and not at all past it.
void TestSavingFailures::contentUpToItsLimit()
{
    QFETCH(ApplicationDataList, list);
    const QByteArray whole = launcherFileContent(list);
    QVERIFY(!whole.isEmpty());
    QCOMPARE(launcherFileContent(list, whole.size()), whole);
    QVERIFY(launcherFileContent(list, whole.size() - 1).isNull());
    QVERIFY(launcherFileContent(list, 0).isNull());
}

// 2^24 arguments once overflowed the room the writer counted for an entry. Their
// file is far larger than any launcher file that is read: it is not saved,
// and the user is told so.
void TestSavingFailures::tooManyArgumentsToSave()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("shortchut.json"));
    QVERIFY(writeLauncherFile(fileName, {ApplicationData(QStringLiteral("old"))}));
    const QByteArray previous = readAll(fileName);

    const ApplicationData many(QStringLiteral("many"), QString(), QString(), QString(), VariableDataList(1 << 24));
    QString error;
    QVERIFY(!writeLauncherFile(fileName, {many}, &error));
    QCOMPARE(error, QStringLiteral("The entries would take more than 256 MiB, and Korvani reads no larger file."));
    QCOMPARE(readAll(fileName), previous);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("shortchut.json")});
}

QTEST_GUILESS_MAIN(TestSavingFailures)
#include "TestSavingFailures.moc"
