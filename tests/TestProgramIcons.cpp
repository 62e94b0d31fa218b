#include "applicationLauncher/applicationLauncher.h"
#include "launcherSetup.h"
#include "platform/desktopIconLookup.h"
#include "platform/platform.h"
#include "records/recordStream.h"
#include "testSupport.h"

#include <QApplication>
#include <QDropEvent>
#include <QFileIconProvider>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString editorIcon = QStringLiteral("icons/hicolor/16x16/apps/korvani-test-editor-icon.png");
const QString viewerIcon = QStringLiteral("icons/hicolor/16x16/apps/korvani-test-viewer.png");
const QString painterIcon = QStringLiteral("pixmaps/korvani-test-painter-icon.xpm");

// Icons drawn at 16 pixels; the theme's engine and a file's engine give
// their images in different formats.
QImage drawn(const QIcon &icon)
{
    return iconImage(icon, 16).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// An icon of the desktop entries' folder, tests/data/xdg, which the test's
// environment names in XDG_DATA_DIRS.
QImage dataIcon(const QString &file)
{
    return drawn(QIcon(QStringLiteral(KORVANI_TEST_XDG "/") + file));
}

QImage providerIcon(const QString &path)
{
    return drawn(QFileIconProvider().icon(QFileInfo(path)));
}

QImage shownIcon(const ApplicationData &record)
{
    return drawn(record.icon());
}

} // namespace

class TestProgramIcons : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void icon_data();
    void icon();
    void lookupWaitsForFirstPaint();
    void droppedDesktopEntryGivesItsIcon();
    void iconOnlyAsSvgIsDrawn();

private:
    QString makeProgram(const QString &name);

    QTemporaryDir m_bin;
};

QString TestProgramIcons::makeProgram(const QString &name)
{
    const QString path = m_bin.filePath(name);
    writeFile(path, "#!/bin/sh\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void TestProgramIcons::initTestCase()
{
    if (!Platform::freedesktopIcons())
        QSKIP("this system shows the file icons of programs");
    registerRecordTypes();
    QVERIFY(m_bin.isValid());
    for (const char *name :
         {"korvani-test-editor", "korvani-test-painter", "korvani-test-viewer", "korvani-test-unknown",
          "korvani-test-wrapped", "korvani-test-dropped", "korvani-test-drawing"})
        makeProgram(name);
    QVERIFY(QFile::link(m_bin.filePath("korvani-test-editor"), m_bin.filePath("editor-link")));
    // Desktop entries name their programs as the PATH finds them.
    qputenv("PATH", m_bin.path().toUtf8() + ':' + qgetenv("PATH"));
    // They are read off the GUI thread, once, from the first lookup on.
    QTRY_VERIFY_WITH_TIMEOUT(DesktopIconLookup::entriesIndexed(), 30000);
}

void TestProgramIcons::icon_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("expected"); // empty: the file icon provider's icon

    QTest::newRow("desktop entry naming it in Exec") << "korvani-test-editor" << editorIcon;
    QTest::newRow("desktop entry, reached through a link") << "editor-link" << editorIcon;
    QTest::newRow("desktop entry naming it in TryExec, icon in pixmaps") << "korvani-test-painter" << painterIcon;
    QTest::newRow("theme icon named after the program") << "korvani-test-viewer" << viewerIcon;
    QTest::newRow("unknown, the hidden entry does not count") << "korvani-test-unknown" << QString();
    QTest::newRow("started through env, not the program") << "korvani-test-wrapped" << QString();
    QTest::newRow("env itself") << QStandardPaths::findExecutable("env") << QString();
    QTest::newRow("folder") << "." << QString();
}

void TestProgramIcons::icon()
{
    QFETCH(QString, program);
    QFETCH(QString, expected);

    const QString path = QDir::isAbsolutePath(program) ? program : m_bin.filePath(program);
    const ApplicationData record(QStringLiteral("x"), QString(), path);
    QCOMPARE(shownIcon(record), expected.isEmpty() ? providerIcon(path) : dataIcon(expected));
    if (expected.isEmpty())
        QVERIFY(shownIcon(record) != dataIcon(editorIcon));
}

void TestProgramIcons::lookupWaitsForFirstPaint()
{
    QVERIFY(QDir(m_bin.path()).mkpath("later"));
    const QString path = m_bin.filePath("later/korvani-test-viewer");
    const ApplicationData builtBefore(QStringLiteral("x"), QString(), path);
    makeProgram("later/korvani-test-viewer");
    QCOMPARE(shownIcon(builtBefore), dataIcon(viewerIcon));

    // Once drawn, a record keeps its icon; a new one looks at the path again.
    QVERIFY(QFile::remove(path));
    QCOMPARE(shownIcon(ApplicationData(builtBefore)), dataIcon(viewerIcon));
    const QImage generic = drawn(QFileIconProvider().icon(QFileIconProvider::File));
    QCOMPARE(shownIcon(ApplicationData(QStringLiteral("x"), QString(), path)), generic);
    makeProgram("later/korvani-test-viewer");
    QCOMPARE(shownIcon(ApplicationData(QStringLiteral("x"), QString(), path)), dataIcon(viewerIcon));
}

void TestProgramIcons::droppedDesktopEntryGivesItsIcon()
{
    const QString desktopFile = m_bin.filePath("dropped.desktop");
    writeFile(desktopFile,
              "[Desktop Entry]\nType=Application\nExec=korvani-test-dropped %U\nIcon=korvani-test-viewer\n");
    TestLauncher launcher;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(desktopFile)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&launcher, &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&launcher, &drop);

    const QModelIndex added = launcher.launcherModel()->index(0);
    QCOMPARE(added.data(LauncherDataModel::PathRole).toString(), m_bin.filePath("korvani-test-dropped"));
    QCOMPARE(drawn(added.data(LauncherDataModel::IconRole).value<QIcon>()), dataIcon(viewerIcon));
    // Another entry of the same program shows it too, until Korvani ends.
    QCOMPARE(shownIcon(ApplicationData(QStringLiteral("y"), QString(), m_bin.filePath("korvani-test-dropped"))),
             dataIcon(viewerIcon));
}

// Themes ship many programs' icons only as SVG; without Qt's SVG support the
// card would show the generic icon instead.
void TestProgramIcons::iconOnlyAsSvgIsDrawn()
{
    const QImage shown = shownIcon(
        ApplicationData(QStringLiteral("x"), QString(), m_bin.filePath("korvani-test-drawing")));
    QCOMPARE(shown.pixelColor(8, 8), QColor(Qt::red));
    QCOMPARE(shown.pixelColor(15, 15), QColor(Qt::red));
}

QTEST_MAIN(TestProgramIcons)
#include "TestProgramIcons.moc"
