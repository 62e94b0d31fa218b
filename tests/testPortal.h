#ifndef KORVANI_TESTPORTAL_H
#define KORVANI_TESTPORTAL_H

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QStringList>
#include <QVariantMap>

inline const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// A desktop portal of the test's own, on a session bus of its own: it makes
// sessions and binds shortcuts as told, and presses them. The bus listens in
// a folder of the test's and starts no services, so that no portal of the
// user's desktop can answer on it. A shell stands between the test and the
// bus: it ends the bus once its input closes, which the end of the test does
// however the test ends.
class TestPortal : public QDBusVirtualObject
{
public:
    TestPortal() = default;
    ~TestPortal() override;
    TestPortal(const TestPortal &) = delete;
    TestPortal &operator=(const TestPortal &) = delete;

    // Starts the bus and the portal on it; false when either fails.
    bool start(const QString &daemon, const QString &folder);
    // Ends both; whether the bus and its shell have ended.
    bool stop();
    QString address() const { return m_address; }
    QDBusConnection connection() const { return m_connection; }
    // Puts the portal's name on the bus, or takes it away.
    bool setRunning(bool running);
    // Presses a key of a session, as the user would.
    void press(const QString &pressedSession, const QString &id) const;
    // Answers as a portal that grants everything, with nothing recorded.
    void reset();

    // Whether it has GlobalShortcuts at all, and its answers to CreateSession
    // and BindShortcuts: 0 granted, 1 declined, 2 ended otherwise.
    bool offersShortcuts = true;
    uint sessionAnswer = 0;
    uint bindAnswer = 0;
    // The session handle it returns, a string where portals send one.
    bool sessionHandleAsPath = false;

    QString session;
    QString shortcutId;
    QVariantMap shortcutProperties;
    QStringList closedSessions;

    QString introspect(const QString &) const override { return QString(); }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    QProcess m_shell;
    QString m_address;
    QDBusConnection m_connection{QString()};
};

#endif
