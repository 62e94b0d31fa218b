#ifndef KORVANI_PORTALGLOBALSHORTCUT_H
#define KORVANI_PORTALGLOBALSHORTCUT_H

#include "platform/globalShortcut.h"

#include <QDBusConnection>
#include <QVariantMap>

class QDBusObjectPath;
class PortalRequest;
class PortalShortcuts;

// The global shortcut of a Wayland session, where no program may grab a key:
// the desktop portal's GlobalShortcuts binds it in a session of its own on
// the session bus, once the user has agreed in the portal's dialog.
class PortalGlobalShortcut : public GlobalShortcut
{
    Q_OBJECT

public:
    explicit PortalGlobalShortcut(QObject *parent = nullptr);
    ~PortalGlobalShortcut() override;

    // Asks the portal for the shortcut, with the sequence's first key as the
    // trigger it prefers; the user may choose another. The answer comes later:
    // bindingFinished() tells it. True while the request is on its way.
    bool setShortcut(const QKeySequence &sequence) override;

    // A key as the portal names triggers, after the freedesktop shortcuts
    // specification: "CTRL+ALT+space" for Ctrl+Alt+Space; empty for a key
    // without such a name.
    static QString portalTrigger(const QKeySequence &sequence);

signals:
    // The portal bound the shortcut, or it will not (after one warning).
    void bindingFinished(bool bound);

private:
    using ResponseHandler = void (PortalGlobalShortcut::*)(uint response, const QVariantMap &results);

    void request(const QString &method, QVariantList arguments, QVariantMap options, ResponseHandler handler);
    void watchRequest(const QString &path, ResponseHandler handler);
    void sessionCreated(uint response, const QVariantMap &results);
    void shortcutBound(uint response, const QVariantMap &results);
    void shortcutActivated(const QDBusObjectPath &session, const QString &id);
    void fail(const QString &reason);
    void release();

    QDBusConnection m_bus;
    PortalShortcuts *m_portal = nullptr;
    PortalRequest *m_request = nullptr;
    // Counts the requests, so that the reply to one given up is told apart.
    int m_requests = 0;
    QKeySequence m_sequence;
    QString m_session;
    bool m_bound = false;
};

#endif
