#include "desktop/applicationFolders.h"
#include "desktopEntryRows.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QString fromStd(const std::string &text)
{
    return QString::fromStdString(text);
}

QStringList fromStd(const std::vector<std::string> &words)
{
    QStringList list;
    for (const std::string &word : words)
        list.append(fromStd(word));
    return list;
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray application(const QByteArray &exec, const QByteArray &more = QByteArray())
{
    return "[Desktop Entry]\nType=Application\nExec=" + exec + '\n' + more;
}

// The IDs and Exec words of the applications the folders hold, as
// korvani-cmd sees them.
QStringList installed(const QStringList &folders, const Desktop::WalkLimits &limits = Desktop::WalkLimits())
{
    std::vector<std::string> paths;
    for (const QString &folder : folders)
        paths.push_back(folder.toStdString());
    QStringList found;
    Desktop::forEachApplication(
        paths,
        [&found](const Desktop::InstalledApplication &app) {
            found.append(fromStd(app.id) + ' ' + fromStd(app.entry.execWords()).join(' '));
        },
        limits);
    return found;
}

} // namespace

// The desktop entry library as korvani-cmd uses it: entries read from files
// of the applications folders, and the folders of the environment.
class TestDesktopEntries : public QObject
{
    Q_OBJECT

private slots:
    void rows_data();
    void rows();
    void precedence();
    void filesThatAreNotRead();
    void walkLimits();
    void folders_data();
    void folders();
};

void TestDesktopEntries::rows_data()
{
    addDesktopEntryRows(QStringLiteral(KORVANI_TEST_DATA "/desktopEntries.json"));
}

void TestDesktopEntries::rows()
{
    QFETCH(QByteArray, text);
    QFETCH(QJsonObject, expected);

    const std::optional<Desktop::DesktopEntry> entry = Desktop::DesktopEntry::parse(text.toStdString());
    const bool isEntry = expected.value(QStringLiteral("entry")).toBool(true);
    QCOMPARE(entry.has_value(), isEntry);
    if (entry) {
        QCOMPARE(entry->isApplication(), expected.value(QStringLiteral("application")).toBool(true));
        QCOMPARE(fromStd(entry->execWords()), expectedWords(expected));
        QCOMPARE(fromStd(entry->icon()), expected.value(QStringLiteral("icon")).toString());
        QCOMPARE(fromStd(entry->tryExec()), expected.value(QStringLiteral("tryExec")).toString());
        QCOMPARE(entry->terminal(), expected.value(QStringLiteral("terminal")).toBool());
        QCOMPARE(entry->hidden(), expected.value(QStringLiteral("hidden")).toBool());
        QCOMPARE(entry->noDisplay(), expected.value(QStringLiteral("noDisplay")).toBool());
        const QJsonObject names = expected.value(QStringLiteral("names")).toObject();
        for (auto name = names.begin(); name != names.end(); ++name)
            QCOMPARE(fromStd(entry->name(name.key().toStdString())), name.value().toString());
        const QJsonObject comments = expected.value(QStringLiteral("comments")).toObject();
        for (auto comment = comments.begin(); comment != comments.end(); ++comment)
            QCOMPARE(fromStd(entry->comment(comment.key().toStdString())), comment.value().toString());
    }

    // Installed, it counts only as a shown application.
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("applications/row.desktop")), text);
    const bool counts = entry && entry->isApplication() && !entry->hidden();
    QCOMPARE(installed({dir.filePath(QStringLiteral("applications"))}),
             counts ? QStringList{"row.desktop " + expectedWords(expected).join(' ')} : QStringList());
}

// The first folder's file of a desktop file ID counts, even when it hides
// the application or cannot be read; subfolders give their names to the ID.
void TestDesktopEntries::precedence()
{
    QTemporaryDir dir;
    const QString user = dir.filePath(QStringLiteral("home/applications"));
    const QString system = dir.filePath(QStringLiteral("system/applications"));
    writeBytes(user + "/editor.desktop", application("user-editor"));
    writeBytes(system + "/editor.desktop", application("system-editor"));
    writeBytes(user + "/removed.desktop", application("removed", "Hidden=true\n"));
    writeBytes(system + "/removed.desktop", application("system-removed"));
    writeBytes(user + "/broken.desktop", "not an entry\n");
    writeBytes(system + "/broken.desktop", application("system-broken"));
    writeBytes(system + "/kde/konsole.desktop", application("konsole"));
    writeBytes(user + "/kde-konsole.desktop", application("user-konsole"));
    writeBytes(system + "/zz/deeper/tool.desktop", application("tool"));
    writeBytes(system + "/link.desktop", "[Desktop Entry]\nType=Link\nURL=https://example.org/\n");
    writeBytes(system + "/notes.txt", application("notes"));

    QCOMPARE(
        installed({user, system}),
        (QStringList{"editor.desktop user-editor", "kde-konsole.desktop user-konsole", "zz-deeper-tool.desktop tool"}));
    QCOMPARE(installed({system, user}),
             (QStringList{"broken.desktop system-broken", "editor.desktop system-editor", "kde-konsole.desktop konsole",
                          "removed.desktop system-removed", "zz-deeper-tool.desktop tool"}));
}

// A FIFO would block the reader and a huge file fill its memory: neither is
// read, and neither stops the walk.
void TestDesktopEntries::filesThatAreNotRead()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("applications"));
    writeBytes(folder + "/a.desktop", application("a"));
    QCOMPARE(mkfifo(QFile::encodeName(folder + "/fifo.desktop").constData(), 0600), 0);
    const QByteArray fits = application("fits", "Comment=" + QByteArray(int(Desktop::maxEntrySize) - 100, 'x') + '\n');
    QVERIFY(fits.size() <= int(Desktop::maxEntrySize));
    writeBytes(folder + "/fits.desktop", fits);
    writeBytes(folder + "/huge.desktop", application("huge", "Comment=" + QByteArray(int(Desktop::maxEntrySize), 'x')));
    writeBytes(folder + "/z.desktop", application("z"));

    QCOMPARE(installed({folder}), (QStringList{"a.desktop a", "fits.desktop fits", "z.desktop z"}));
    QVERIFY(
        !Desktop::DesktopEntry::parse(application("huge", QByteArray(int(Desktop::maxEntrySize), '#')).toStdString()));
}

// A walk does not leave the folder through links to folders, such as one to
// /, and ends at its limits, however large the folder.
void TestDesktopEntries::walkLimits()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("applications"));
    writeBytes(dir.filePath(QStringLiteral("outside/elsewhere.desktop")), application("elsewhere"));
    writeBytes(folder + "/a/b/deep.desktop", application("deep"));
    writeBytes(folder + "/top.desktop", application("top"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("outside")), folder + "/outside"));
    QVERIFY(QFile::link(QStringLiteral("/"), folder + "/root"));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("outside/elsewhere.desktop")), folder + "/linked.desktop"));
    QVERIFY(QFile::link(folder, folder + "/a/loop"));
    QCOMPARE(installed({folder}),
             (QStringList{"a-b-deep.desktop deep", "linked.desktop elsewhere", "top.desktop top"}));

    Desktop::WalkLimits shallow;
    shallow.depth = 1;
    QCOMPARE(installed({folder}, shallow), (QStringList{"linked.desktop elsewhere", "top.desktop top"}));

    // Of many names, as many as the limits allow are taken, whichever they are.
    const QString many = dir.filePath(QStringLiteral("many"));
    for (int i = 0; i < 20; ++i)
        writeBytes(many + QStringLiteral("/%1.desktop").arg(i), application("tool"));
    Desktop::WalkLimits fewNames;
    fewNames.names = 5;
    QCOMPARE(installed({many}, fewNames).size(), 5);
    Desktop::WalkLimits fewBytes;
    fewBytes.bytes = std::size_t(application("tool").size()) * 2 + 1;
    QCOMPARE(installed({many}, fewBytes).size(), 3);
}

void TestDesktopEntries::folders_data()
{
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("dataHome");
    QTest::addColumn<QString>("dataDirs");
    QTest::addColumn<QStringList>("folders");

    QTest::newRow("defaults") << "/home/u" << QString() << QString()
                              << QStringList{"/home/u/.local/share/applications", "/usr/local/share/applications",
                                             "/usr/share/applications"};
    QTest::newRow("set") << "/home/u"
                         << "/data/home/"
                         << "/opt/share:/srv/share/"
                         << QStringList{"/data/home/applications", "/opt/share/applications",
                                        "/srv/share/applications"};
    QTest::newRow("relative and empty folders are left out")
        << "/home/u"
        << "relative"
        << "share::/opt/share" << QStringList{"/opt/share/applications"};
    QTest::newRow("no home") << QString() << QString() << "/opt/share" << QStringList{"/opt/share/applications"};
}

void TestDesktopEntries::folders()
{
    QFETCH(QString, home);
    QFETCH(QString, dataHome);
    QFETCH(QString, dataDirs);
    QFETCH(QStringList, folders);

    QCOMPARE(fromStd(Desktop::applicationFolders(home.toStdString(), dataHome.toStdString(), dataDirs.toStdString())),
             folders);
}

QTEST_GUILESS_MAIN(TestDesktopEntries)
#include "TestDesktopEntries.moc"
