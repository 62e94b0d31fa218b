#include "launcherSetup.h"
#include "mainWindow/mainWindow.h"
#include "platform/portalGlobalShortcut.h"
#include "records/recordStream.h"
#include "testPortal.h"
#include "testSupport.h"

#include <QApplication>
#include <QDBusAbstractInterface>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QString noPortal = QStringLiteral("Korvani: the global shortcut Ctrl+Alt+Space is not bound, as the desktop has "
                                        "no portal for global shortcuts; bind it to the command korvani in the "
                                        "desktop's keyboard settings.");

// The warnings Korvani writes; the other messages go on as usual.
QStringList warnings;
QtMessageHandler previousHandler = nullptr;

void collectWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("Korvani: ")))
        warnings.append(message);
    else
        previousHandler(type, context, message);
}

// Hears the portal's presses on Korvani's own connection: once it has heard
// one, that connection has handed the press on to Korvani too.
class PressListener : public QDBusAbstractInterface
{
    Q_OBJECT

public:
    PressListener()
        : QDBusAbstractInterface(portalService, portalPath, "org.freedesktop.portal.GlobalShortcuts",
                                 QDBusConnection::sessionBus(), nullptr)
    {
    }

signals:
    void Activated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp, const QVariantMap &options);
};

bool isShownAndActive(QWidget *window)
{
    return window->isVisible() && window->isActiveWindow();
}

} // namespace

// The global shortcut of a Wayland session, through a desktop portal of the
// test's own on a session bus of its own.
class TestPortalShortcut : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void portalTrigger_data();
    void portalTrigger();
    void chosenBySession_data();
    void chosenBySession();
    void shortcutTogglesTheWindow_data();
    void shortcutTogglesTheWindow();
    void failuresWarnOnceAndKorvaniRunsOn_data();
    void failuresWarnOnceAndKorvaniRunsOn();

private:
    // Shows the window and gives it the focus.
    void showWindow();
    // Presses the portal's keys, and waits until Korvani's connection has
    // handed all of them on.
    void press(const QVector<QPair<QString, QString>> &presses);

    QTemporaryDir m_busFolder;
    TestPortal m_portal;
    std::unique_ptr<PressListener> m_listener;
    std::unique_ptr<QSignalSpy> m_heard;
    std::unique_ptr<TemporaryCurrentFolder> m_folder;
    std::unique_ptr<TestWindow> m_window;
};

void TestPortalShortcut::initTestCase()
{
    registerRecordTypes();
    QVERIFY(m_busFolder.isValid());
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    QVERIFY2(!daemon.isEmpty(), "needs dbus-daemon, of the Debian package dbus-daemon");
    QVERIFY(m_portal.start(daemon, m_busFolder.path()));
    // Korvani asks the session bus: nothing in this test has reached for one
    // yet, so it is the portal's.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_portal.address().toUtf8());
    QCOMPARE(QDBusConnection::sessionBus().interface()->serviceOwner(portalService).value(),
             m_portal.connection().baseService());
    previousHandler = qInstallMessageHandler(collectWarnings);
}

void TestPortalShortcut::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
    QVERIFY(m_portal.stop());
}

void TestPortalShortcut::init()
{
    QVERIFY(m_portal.setRunning(true));
    m_portal.reset();
    warnings.clear();
    m_listener = std::make_unique<PressListener>();
    m_heard = std::make_unique<QSignalSpy>(m_listener.get(), &PressListener::Activated);
    // A call and its reply: the bus has taken the listener's subscription.
    QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(portalService).isValid());
    m_folder = std::make_unique<TemporaryCurrentFolder>();
    QVERIFY(m_folder->isCurrent());
}

void TestPortalShortcut::cleanup()
{
    m_window.reset();
    m_folder.reset();
    m_heard.reset();
    m_listener.reset();
}

void TestPortalShortcut::showWindow()
{
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestPortalShortcut::press(const QVector<QPair<QString, QString>> &presses)
{
    const int heard = m_heard->count();
    for (const auto &pressed : presses)
        m_portal.press(pressed.first, pressed.second);
    QTRY_COMPARE(m_heard->count(), heard + presses.size());
    // Korvani's share of the last press was posted with the listener's.
    QCoreApplication::processEvents();
}

void TestPortalShortcut::portalTrigger_data()
{
    QTest::addColumn<QString>("sequence");
    QTest::addColumn<QString>("trigger");

    QTest::newRow("the default") << "Ctrl+Alt+Space"
                                 << "CTRL+ALT+space";
    QTest::newRow("a letter, shifted") << "Ctrl+Shift+K"
                                       << "CTRL+SHIFT+k";
    QTest::newRow("a digit with the logo key") << "Meta+1"
                                               << "LOGO+1";
    QTest::newRow("a function key") << "Alt+F12"
                                    << "ALT+F12";
    QTest::newRow("punctuation") << "Ctrl+Alt+/"
                                 << "CTRL+ALT+slash";
    QTest::newRow("a page key") << "Ctrl+PgDown"
                                << "CTRL+Page_Down";
    QTest::newRow("a key alone") << "Return"
                                 << "Return";
    QTest::newRow("the first of two chords") << "Ctrl+K, Ctrl+L"
                                             << "CTRL+k";
    QTest::newRow("a letter without a name here") << "Ctrl+\u00c9" << QString();
    QTest::newRow("a key without a name here") << "Ctrl+Menu" << QString();
    QTest::newRow("nothing") << QString() << QString();
}

void TestPortalShortcut::portalTrigger()
{
    QFETCH(QString, sequence);
    QFETCH(QString, trigger);
    QCOMPARE(PortalGlobalShortcut::portalTrigger(QKeySequence::fromString(sequence, QKeySequence::PortableText)),
             trigger);
}

void TestPortalShortcut::chosenBySession_data()
{
    QTest::addColumn<QString>("sessionType");
    QTest::addColumn<QString>("waylandDisplay");
    QTest::addColumn<bool>("portal");

    QTest::newRow("Wayland session") << "wayland" << QString() << true;
    QTest::newRow("Wayland display") << QString() << "wayland-0" << true;
    // Offscreen there is no X server to grab a key on.
    QTest::newRow("X11 session") << "x11" << QString() << false;
}

void TestPortalShortcut::chosenBySession()
{
    QFETCH(QString, sessionType);
    QFETCH(QString, waylandDisplay);
    QFETCH(bool, portal);

    const EnvironmentChange type("XDG_SESSION_TYPE", sessionType);
    const EnvironmentChange display("WAYLAND_DISPLAY", waylandDisplay);
    QObject parent;
    GlobalShortcut *shortcut = GlobalShortcut::forDesktop(&parent);
    QCOMPARE(qobject_cast<PortalGlobalShortcut *>(shortcut) != nullptr, portal);
    QCOMPARE(shortcut != nullptr, portal);
}

void TestPortalShortcut::shortcutTogglesTheWindow_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("sessionHandleAsPath");
    QTest::addColumn<QString>("trigger");

    QTest::newRow("the default key") << QString() << false << "CTRL+ALT+space";
    QTest::newRow("the key of the settings, a session path") << "Ctrl+Shift+K" << true << "CTRL+SHIFT+k";
}

void TestPortalShortcut::shortcutTogglesTheWindow()
{
    QFETCH(QString, setting);
    QFETCH(bool, sessionHandleAsPath);
    QFETCH(QString, trigger);

    const EnvironmentChange wayland("XDG_SESSION_TYPE", QStringLiteral("wayland"));
    if (!setting.isEmpty())
        writeFile(QStringLiteral("data/settings.ini"), "[MainWindow]\nglobalShortcut=" + setting.toUtf8() + '\n');
    m_portal.sessionHandleAsPath = sessionHandleAsPath;
    m_window = std::make_unique<TestWindow>();
    auto *shortcut = m_window->findChild<PortalGlobalShortcut *>();
    QVERIFY(shortcut);
    QSignalSpy bound(shortcut, &PortalGlobalShortcut::bindingFinished);
    QSignalSpy activated(shortcut, &GlobalShortcut::activated);
    showWindow();
    QTRY_COMPARE(bound.count(), 1);
    QCOMPARE(bound.at(0).at(0).toBool(), true);
    QCOMPARE(m_portal.shortcutProperties.value(QStringLiteral("description")).toString(),
             QStringLiteral("Show or hide Korvani"));
    QCOMPARE(m_portal.shortcutProperties.value(QStringLiteral("preferred_trigger")).toString(), trigger);
    const QString session = m_portal.session;
    const QString id = m_portal.shortcutId;

    // Shown and active, the window hides.
    press({{session, id}});
    QVERIFY(!m_window->isVisible());
    // Hidden, it is brought forward.
    press({{session, id}});
    QTRY_VERIFY(isShownAndActive(m_window.get()));
    // Shown behind another window, it is brought forward too.
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!m_window->isActiveWindow());
    press({{session, id}});
    QTRY_VERIFY(isShownAndActive(m_window.get()));
    QCOMPARE(activated.count(), 3);

    // Another session's key, or another key of this one, is not Korvani's.
    press({{session + QStringLiteral("0"), id}, {session, id + QStringLiteral("0")}});
    QCOMPARE(activated.count(), 3);
    QVERIFY(isShownAndActive(m_window.get()));
    QVERIFY(warnings.isEmpty());

    // Gone, Korvani gives its session up.
    m_window.reset();
    QTRY_COMPARE(m_portal.closedSessions, QStringList{session});
}

void TestPortalShortcut::failuresWarnOnceAndKorvaniRunsOn_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("offersShortcuts");
    QTest::addColumn<uint>("sessionAnswer");
    QTest::addColumn<uint>("bindAnswer");
    QTest::addColumn<QString>("warning");

    QTest::newRow("no portal") << false << true << 0u << 0u << noPortal;
    QTest::newRow("a portal without global shortcuts") << true << false << 0u << 0u << noPortal;
    QTest::newRow("no session") << true << true << 2u << 0u
                                << "Korvani: the global shortcut Ctrl+Alt+Space is not bound, as the desktop portal "
                                   "ended the request; bind it to the command korvani in the desktop's keyboard "
                                   "settings.";
    QTest::newRow("declined") << true << true << 0u << 1u
                              << "Korvani: the global shortcut Ctrl+Alt+Space is not bound, as it was declined; bind "
                                 "it to the command korvani in the desktop's keyboard settings.";
}

void TestPortalShortcut::failuresWarnOnceAndKorvaniRunsOn()
{
    QFETCH(bool, running);
    QFETCH(bool, offersShortcuts);
    QFETCH(uint, sessionAnswer);
    QFETCH(uint, bindAnswer);
    QFETCH(QString, warning);

    const EnvironmentChange wayland("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    QVERIFY(m_portal.setRunning(running));
    m_portal.offersShortcuts = offersShortcuts;
    m_portal.sessionAnswer = sessionAnswer;
    m_portal.bindAnswer = bindAnswer;
    m_window = std::make_unique<TestWindow>();
    auto *shortcut = m_window->findChild<PortalGlobalShortcut *>();
    QVERIFY(shortcut);
    QSignalSpy bound(shortcut, &PortalGlobalShortcut::bindingFinished);
    QSignalSpy activated(shortcut, &GlobalShortcut::activated);
    showWindow();
    QTRY_COMPARE(bound.count(), 1);
    QCOMPARE(bound.at(0).at(0).toBool(), false);
    QCOMPARE(warnings, QStringList{warning});

    // A session the portal made is given up; a press of its key, had the
    // portal bound it after all, does nothing, and the window stays.
    if (!m_portal.session.isEmpty() && sessionAnswer == 0) {
        QTRY_COMPARE(m_portal.closedSessions, QStringList{m_portal.session});
        press({{m_portal.session, m_portal.shortcutId}});
    }
    QCOMPARE(activated.count(), 0);
    QVERIFY(isShownAndActive(m_window.get()));
    m_window->hide();
    m_window->bringForward();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(warnings.size(), 1);
}

QTEST_MAIN(TestPortalShortcut)
#include "TestPortalShortcut.moc"
