#include "applicationLauncher/applicationLauncher.h"
#include "desktop/iconTheme.h"
#include "launcherSetup.h"
#include "platform/desktopIconLookup.h"
#include "platform/platform.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QFileIconProvider>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

QImage drawn(const QIcon &icon)
{
    return iconImage(icon, 16).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A red square, with a comment that makes the file as large as asked.
QByteArray svg(qint64 size = 0)
{
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\">"
           "<rect width=\"16\" height=\"16\" fill=\"#f00\"/><!--"
        + QByteArray(int(size), ' ') + "--></svg>\n";
}

} // namespace

// The system's desktop folders as someone else may have made them: a link to
// / and one to another folder among the entries, icons that are huge, FIFOs
// or outside their theme. The window draws at once and the lookups end.
class TestHostileFolders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void windowDrawsAndLookupsEnd();
    void themeFiles_data();
    void themeFiles();

private:
    QString program(const QString &name) const { return m_dir.filePath(QStringLiteral("bin/") + name); }
    void addEntry(const QString &file, const QString &programName, const QString &icon);

    QTemporaryDir m_dir;
};

void TestHostileFolders::addEntry(const QString &file, const QString &programName, const QString &icon)
{
    writeFile(program(programName), "#!/bin/sh\n");
    QVERIFY(QFile::setPermissions(program(programName), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    writeFile(m_dir.filePath(file),
              "[Desktop Entry]\nType=Application\nName=" + programName.toUtf8()
                  + "\nExec=" + program(programName).toUtf8() + "\nIcon=" + icon.toUtf8() + '\n');
}

void TestHostileFolders::initTestCase()
{
    if (!Platform::freedesktopIcons())
        QSKIP("this system shows the file icons of programs");
    registerRecordTypes();
    QVERIFY(m_dir.isValid());
    const QString share = m_dir.filePath(QStringLiteral("share"));
    const QString hicolor = share + QStringLiteral("/icons/hicolor");
    // The theme's index leads one of its folders out of the theme.
    writeFile(hicolor + QStringLiteral("/index.theme"),
              "[Icon Theme]\nName=Hicolor\nDirectories=16x16/apps,scalable/apps,../../escape\n\n"
              "[16x16/apps]\nSize=16\n\n[scalable/apps]\nSize=16\nType=Scalable\n\n[../../escape]\nSize=16\n");
    QVERIFY(QDir().mkpath(hicolor + QStringLiteral("/16x16/apps")));
    QVERIFY(QDir().mkpath(share + QStringLiteral("/escape")));
    QVERIFY(QFile::copy(QStringLiteral(KORVANI_TEST_XDG "/icons/hicolor/16x16/apps/korvani-test-viewer.png"),
                        hicolor + QStringLiteral("/16x16/apps/korvani-hostile-good.png")));
    QVERIFY(QFile::copy(hicolor + QStringLiteral("/16x16/apps/korvani-hostile-good.png"),
                        share + QStringLiteral("/escape/korvani-hostile-escape.png")));
    writeFile(hicolor + QStringLiteral("/scalable/apps/korvani-hostile-huge.svg"),
              svg(DesktopIconLookup::maxIconFileSize));
    // Beside a good icon, a file that does not fit is left out.
    writeFile(hicolor + QStringLiteral("/scalable/apps/korvani-hostile-good.svg"),
              svg(DesktopIconLookup::maxIconFileSize));
    writeFile(m_dir.filePath(QStringLiteral("huge.svg")), svg(DesktopIconLookup::maxSvgFileSize));
    writeFile(m_dir.filePath(QStringLiteral("svg.png")), svg());
    // Its header promises a wider image than an icon.
    QVERIFY(QImage(DesktopIconLookup::maxIconSide + 1, 1, QImage::Format_RGB32).save(m_dir.filePath("wide.png")));
    QCOMPARE(mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("fifo.png"))).constData(), 0600), 0);

    addEntry(QStringLiteral("share/applications/good.desktop"), QStringLiteral("good"),
             QStringLiteral("korvani-hostile-good"));
    addEntry(QStringLiteral("share/applications/huge-file.desktop"), QStringLiteral("huge-file"),
             m_dir.filePath(QStringLiteral("huge.svg")));
    addEntry(QStringLiteral("share/applications/huge-themed.desktop"), QStringLiteral("huge-themed"),
             QStringLiteral("korvani-hostile-huge"));
    for (const QString &name : QStringList{"fifo", "svg", "wide"}) {
        addEntry(QStringLiteral("share/applications/%1.desktop").arg(name), name,
                 m_dir.filePath(name + QStringLiteral(".png")));
    }
    addEntry(QStringLiteral("share/applications/escape.desktop"), QStringLiteral("escape"),
             QStringLiteral("korvani-hostile-escape"));
    addEntry(QStringLiteral("outside/elsewhere.desktop"), QStringLiteral("elsewhere"),
             QStringLiteral("korvani-hostile-good"));
    QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("outside")), share + QStringLiteral("/applications/outside")));
    QVERIFY(QFile::link(QStringLiteral("/"), share + QStringLiteral("/applications/root")));
    // Many entries, in a folder of their own in front; those of the folders
    // after it still count.
    const QString many = m_dir.filePath(QStringLiteral("many"));
    for (int i = 0; i < 2000; ++i) {
        writeFile(many + QStringLiteral("/applications/tool-%1.desktop").arg(i),
                  "[Desktop Entry]\nType=Application\nName=Tool\nExec=/nowhere/tool-" + QByteArray::number(i)
                      + "\nIcon=korvani-hostile-good\n");
    }

    // Read once per run: set before the first lookup.
    qputenv("XDG_DATA_DIRS", (many + QLatin1Char(':') + share).toUtf8());
    qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("home")).toUtf8());
}

void TestHostileFolders::windowDrawsAndLookupsEnd()
{
    const QStringList names = {"good", "huge-file", "huge-themed", "fifo", "svg", "wide", "escape", "elsewhere"};
    ApplicationDataList entries;
    for (const QString &name : names)
        entries.append(ApplicationData(name, QString(), program(name)));
    // A lookup does not wait for the entries to be read.
    DesktopIconLookup::programIcon(program(QStringLiteral("good")));
    QVERIFY(!DesktopIconLookup::entriesIndexed());
    TestLauncher launcher;
    launcher.setLauncherData(entries);
    launcher.resize(800, 600);
    launcher.show();
    QVERIFY(QTest::qWaitForWindowExposed(&launcher));
    QTRY_VERIFY_WITH_TIMEOUT(DesktopIconLookup::entriesIndexed(), 30000);

    const QImage good = drawn(
        QIcon(QStringLiteral(KORVANI_TEST_XDG "/icons/hicolor/16x16/apps/korvani-test-viewer.png")));
    QStringList wrong;
    for (const QString &name : names) {
        const QImage shown = drawn(ApplicationData(name, QString(), program(name)).icon());
        // Only the good icon is taken; the entry behind the folder link is not read.
        const QImage expected = name == QLatin1String("good")
            ? good
            : drawn(QFileIconProvider().icon(QFileInfo(program(name))));
        if (shown != expected)
            wrong.append(name);
    }
    QCOMPARE(wrong, QStringList());
}

void TestHostileFolders::themeFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("files");

    QTest::newRow("every folder of the theme, in every search path")
        << "a"
        << QStringList{"icons/mine/16x16/apps/a.png", "icons/mine/32x32/apps/a.svg", "more/mine/16x16/apps/a.xpm"};
    QTest::newRow("inherited") << "b" << QStringList{"icons/parent/16x16/apps/b.png"};
    QTest::newRow("hicolor last") << "c" << QStringList{"icons/hicolor/48x48/apps/c.png"};
    QTest::newRow("shortened at a dash") << "x-y-z" << QStringList{"icons/mine/16x16/apps/x-y.png"};
    QTest::newRow("folder outside the theme") << "o" << QStringList();
    QTest::newRow("name with a slash") << "../../outside/o" << QStringList();
    QTest::newRow("unknown") << "none" << QStringList();
}

// A theme's index.theme names its folders and parents, in loops too; none of
// its folders lies outside it.
void TestHostileFolders::themeFiles()
{
    QFETCH(QString, name);
    QFETCH(QStringList, files);

    QTemporaryDir dir;
    const auto write = [&dir](const char *file, const QByteArray &content = QByteArray()) {
        writeFile(dir.filePath(QString::fromUtf8(file)), content);
    };
    write("icons/mine/index.theme",
          "[Icon Theme]\nDirectories=16x16/apps,32x32/apps,../../outside,/\n"
          "Inherits=parent,mine\n");
    write("icons/parent/index.theme", "[Icon Theme]\nDirectories=16x16/apps\nInherits=mine\n");
    write("icons/hicolor/index.theme", "[Icon Theme]\nDirectories=48x48/apps\n");
    for (const char *file :
         {"icons/mine/16x16/apps/a.png", "icons/mine/32x32/apps/a.svg", "more/mine/16x16/apps/a.xpm",
          "icons/mine/16x16/apps/x-y.png", "icons/parent/16x16/apps/b.png", "icons/parent/16x16/apps/a.png",
          "icons/hicolor/48x48/apps/c.png", "icons/hicolor/48x48/apps/a.png", "outside/o.png"})
        write(file);

    Desktop::IconThemes themes(
        "mine",
        {dir.filePath(QStringLiteral("icons")).toStdString(), dir.filePath(QStringLiteral("more")).toStdString()});
    QStringList found;
    for (const std::string &file : themes.files(name.toStdString()))
        found.append(QDir(dir.path()).relativeFilePath(QString::fromStdString(file)));
    QCOMPARE(found, files);
}

QTEST_MAIN(TestHostileFolders)
#include "TestHostileFolders.moc"
