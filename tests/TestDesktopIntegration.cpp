#include "platform/x11GlobalShortcut.h"
#include "testSupport.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString visibleKorvaniWindow()
{
    return xdotool({"search", "--onlyvisible", "--name", "^Korvani$"});
}

// Presses the global shortcut until the shown window hides. Korvani learns of
// the focus a moment after the server moved it; a press before that brings
// the window forward instead, and the next one hides it.
bool hideWithShortcut()
{
    for (int press = 0; press < 10; ++press) {
        xdotool({"key", "ctrl+alt+space"});
        if (QTest::qWaitFor([] { return visibleKorvaniWindow().isEmpty(); }, 3000))
            return true;
    }
    return false;
}

} // namespace

// What only a real X server shows: the global key grab, and a second start
// bringing the running Korvani's window forward. Run under xvfb-run; without
// an X server the test skips itself.
class TestDesktopIntegration : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void globalShortcut_data();
    void globalShortcut();
    void shortcutsThatCannotBeGrabbedWarn();
    void secondStartAndShortcutBringTheWindow();

private:
    QTemporaryDir m_programDir;
};

void TestDesktopIntegration::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server: run it under xvfb-run");
    if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
        QSKIP("needs xdotool to press keys");
    QVERIFY(m_programDir.isValid());
}

void TestDesktopIntegration::globalShortcut_data()
{
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<int>("activations");

    QTest::newRow("the default") << "Ctrl+Alt+Space"
                                 << "ctrl+alt+space" << 1;
    QTest::newRow("a letter") << "Ctrl+Shift+K"
                              << "ctrl+shift+k" << 1;
    QTest::newRow("a function key") << "Alt+F12"
                                    << "alt+F12" << 1;
    QTest::newRow("Num Lock on") << "Ctrl+Alt+Space"
                                 << "Num_Lock ctrl+alt+space Num_Lock" << 1;
    QTest::newRow("other modifiers") << "Ctrl+Alt+Space"
                                     << "ctrl+space" << 0;
}

void TestDesktopIntegration::globalShortcut()
{
    QFETCH(QString, shortcut);
    QFETCH(QString, pressed);
    QFETCH(int, activations);

    X11GlobalShortcut grab;
    QSignalSpy activated(&grab, &GlobalShortcut::activated);
    QVERIFY(grab.setShortcut(QKeySequence(shortcut)));
    xdotool(QStringList{"key"} + pressed.split(' '));
    // A key that is not grabbed gives nothing to wait for; a grabbed one comes soon.
    QTest::qWait(200);
    QTRY_COMPARE(activated.count(), activations);
}

void TestDesktopIntegration::shortcutsThatCannotBeGrabbedWarn()
{
    X11GlobalShortcut first;
    QVERIFY(first.setShortcut(QKeySequence("Ctrl+Alt+Space")));
    X11GlobalShortcut second;
    QTest::ignoreMessage(QtWarningMsg, "Korvani: the global shortcut Ctrl+Alt+Space is taken by another program.");
    QVERIFY(!second.setShortcut(QKeySequence("Ctrl+Alt+Space")));
    // Giving the key up frees it for others.
    QVERIFY(first.setShortcut(QKeySequence()));
    QVERIFY(second.setShortcut(QKeySequence("Ctrl+Alt+Space")));
    QTest::ignoreMessage(QtWarningMsg, "Korvani: the global shortcut Ctrl+Menu has a key that cannot be grabbed.");
    QVERIFY(!first.setShortcut(QKeySequence("Ctrl+Menu")));
}

void TestDesktopIntegration::secondStartAndShortcutBringTheWindow()
{
    const QString program = copyExecutable(QStringLiteral(KORVANI_EXECUTABLE), m_programDir.path());
    QVERIFY(!program.isEmpty());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));

    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start(program, QStringList());
    auto stop = qScopeGuard([&first] {
        first.kill();
        first.waitForFinished(5000);
    });
    QTRY_VERIFY_WITH_TIMEOUT(!visibleKorvaniWindow().isEmpty(), 30000);

    // Its windows are drawn without OpenGL: the GL driver, which costs more
    // than the rest of the start and tens of MiB, is never loaded.
    QFile maps(QStringLiteral("/proc/%1/maps").arg(first.processId()));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    for (const char *driver : {"_dri.so", "libGLX_mesa", "libgallium"})
        QVERIFY2(!mapped.contains(driver), driver);

    // Shown and active, the shortcut hides it.
    xdotool({"windowfocus", "--sync", visibleKorvaniWindow()});
    QVERIFY(hideWithShortcut());

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(program, QStringList());
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!visibleKorvaniWindow().isEmpty(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(xdotool({"getwindowfocus"}), visibleKorvaniWindow(), 10000);

    // Brought forward, it is active: the shortcut hides it, then shows it again.
    QVERIFY(hideWithShortcut());
    xdotool({"key", "ctrl+alt+space"});
    QTRY_VERIFY_WITH_TIMEOUT(!visibleKorvaniWindow().isEmpty(), 10000);
    QCOMPARE(first.state(), QProcess::Running);
}

QTEST_MAIN(TestDesktopIntegration)
#include "TestDesktopIntegration.moc"
