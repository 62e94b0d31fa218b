#include "platform/portalGlobalShortcut.h"

#include "platform/keySymbols.h"

#include <QDBusAbstractInterface>
#include <QDBusArgument>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>
#include <QStringList>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutId = QStringLiteral("show-hide");

// The answers of a portal request.
enum RequestAnswer : uint { Success = 0, Cancelled = 1 };

// One shortcut as BindShortcuts takes it: an id and its properties, (sa{sv}).
struct ShortcutDescription
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const ShortcutDescription &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, ShortcutDescription &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

// The portal asks for tokens that others cannot guess, and that are valid
// elements of an object path.
QString newToken()
{
    return QStringLiteral("korvani_%1").arg(QRandomGenerator::global()->generate());
}

QString callFailure(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
        return QStringLiteral("the desktop has no portal for global shortcuts");
    default: {
        QString message = error.message();
        while (message.endsWith(QLatin1Char('.')))
            message.chop(1);
        return QStringLiteral("the desktop portal answered: ") + message;
    }
    }
}

QString responseFailure(uint response)
{
    return response == Cancelled ? QStringLiteral("it was declined")
                                 : QStringLiteral("the desktop portal ended the request");
}

} // namespace

Q_DECLARE_METATYPE(ShortcutDescription)

// The portal's objects, whose D-Bus signals QtDBus delivers as the Qt signals
// of the same name once something is connected to them.
class PortalRequest : public QDBusAbstractInterface
{
    Q_OBJECT

public:
    PortalRequest(const QDBusConnection &bus, const QString &path, QObject *parent)
        : QDBusAbstractInterface(portalService, path, "org.freedesktop.portal.Request", bus, parent)
    {
    }

signals:
    void Response(uint response, const QVariantMap &results);
};

class PortalShortcuts : public QDBusAbstractInterface
{
    Q_OBJECT

public:
    PortalShortcuts(const QDBusConnection &bus, QObject *parent)
        : QDBusAbstractInterface(portalService, portalPath, "org.freedesktop.portal.GlobalShortcuts", bus, parent)
    {
    }

signals:
    void Activated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp, const QVariantMap &options);
};

PortalGlobalShortcut::PortalGlobalShortcut(QObject *parent)
    : GlobalShortcut(parent)
    , m_bus(QDBusConnection::sessionBus())
{
    qDBusRegisterMetaType<ShortcutDescription>();
    qDBusRegisterMetaType<QList<ShortcutDescription>>();
}

PortalGlobalShortcut::~PortalGlobalShortcut()
{
    release();
}

bool PortalGlobalShortcut::setShortcut(const QKeySequence &sequence)
{
    release();
    m_sequence = sequence;
    if (sequence.isEmpty())
        return true;
    if (!m_bus.isConnected()) {
        fail(QStringLiteral("there is no session bus"));
        return false;
    }
    if (!m_portal) {
        m_portal = new PortalShortcuts(m_bus, this);
        connect(m_portal, &PortalShortcuts::Activated, this, &PortalGlobalShortcut::shortcutActivated);
    }
    request(QStringLiteral("CreateSession"), {}, {{QStringLiteral("session_handle_token"), newToken()}},
            &PortalGlobalShortcut::sessionCreated);
    return true;
}

QString PortalGlobalShortcut::portalTrigger(const QKeySequence &sequence)
{
    if (sequence.isEmpty())
        return QString();
    const int key = sequence[0];
    const QString name = Platform::keySymbolName(key & ~Qt::KeyboardModifierMask);
    if (name.isEmpty())
        return QString();
    QStringList parts;
    if (key & Qt::ControlModifier)
        parts.append(QStringLiteral("CTRL"));
    if (key & Qt::AltModifier)
        parts.append(QStringLiteral("ALT"));
    if (key & Qt::ShiftModifier)
        parts.append(QStringLiteral("SHIFT"));
    if (key & Qt::MetaModifier)
        parts.append(QStringLiteral("LOGO"));
    parts.append(name);
    return parts.join(QLatin1Char('+'));
}

void PortalGlobalShortcut::request(const QString &method, QVariantList arguments, QVariantMap options,
                                   ResponseHandler handler)
{
    const QString token = newToken();
    options.insert(QStringLiteral("handle_token"), token);
    arguments.append(options);
    // The portal answers with a signal of a request object whose path the
    // token foretells. Listening there before the call, no answer comes too
    // early to be heard.
    const QString sender = m_bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    watchRequest(portalPath + QStringLiteral("/request/%1/%2").arg(sender, token), handler);
    const int serial = ++m_requests;
    auto *call = new QDBusPendingCallWatcher(m_portal->asyncCallWithArgumentList(method, arguments), this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, serial, handler](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *finished;
        // The response came first, or the request was given up.
        if (serial != m_requests || !m_request)
            return;
        if (reply.isError())
            fail(callFailure(reply.error()));
        // Portals before version 0.9 chose the path themselves.
        else if (reply.value().path() != m_request->path())
            watchRequest(reply.value().path(), handler);
    });
}

void PortalGlobalShortcut::watchRequest(const QString &path, ResponseHandler handler)
{
    delete m_request;
    m_request = new PortalRequest(m_bus, path, this);
    connect(m_request, &PortalRequest::Response, this, [this, handler](uint response, const QVariantMap &results) {
        m_request->deleteLater();
        m_request = nullptr;
        (this->*handler)(response, results);
    });
}

void PortalGlobalShortcut::sessionCreated(uint response, const QVariantMap &results)
{
    // A path, though portals send it as a string.
    const QVariant handle = results.value(QStringLiteral("session_handle"));
    const QString session = handle.userType() == qMetaTypeId<QDBusObjectPath>() ? handle.value<QDBusObjectPath>().path()
                                                                                : handle.toString();
    if (response != Success || session.isEmpty()) {
        fail(responseFailure(response));
        return;
    }
    m_session = session;
    QVariantMap properties{{QStringLiteral("description"), tr("Show or hide Korvani")}};
    const QString trigger = portalTrigger(m_sequence);
    if (!trigger.isEmpty())
        properties.insert(QStringLiteral("preferred_trigger"), trigger);
    const QList<ShortcutDescription> shortcuts{{shortcutId, properties}};
    // No window of Korvani's can be named to a portal from here: its dialog
    // stands on its own.
    request(QStringLiteral("BindShortcuts"),
            {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString()}, {},
            &PortalGlobalShortcut::shortcutBound);
}

void PortalGlobalShortcut::shortcutBound(uint response, const QVariantMap &)
{
    if (response != Success) {
        fail(responseFailure(response));
        return;
    }
    m_bound = true;
    emit bindingFinished(true);
}

void PortalGlobalShortcut::shortcutActivated(const QDBusObjectPath &session, const QString &id)
{
    if (m_bound && session.path() == m_session && id == shortcutId)
        emit activated();
}

void PortalGlobalShortcut::fail(const QString &reason)
{
    qWarning("Korvani: the global shortcut %s is not bound, as %s; bind it to the command korvani in the desktop's "
             "keyboard settings.",
             qPrintable(m_sequence.toString(QKeySequence::PortableText)), qPrintable(reason));
    release();
    emit bindingFinished(false);
}

void PortalGlobalShortcut::release()
{
    delete m_request;
    m_request = nullptr;
    m_bound = false;
    if (!m_session.isEmpty()) {
        // Closing the session unbinds its shortcut.
        m_bus.send(QDBusMessage::createMethodCall(
            portalService, m_session, QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
        m_session.clear();
    }
}

#include "portalGlobalShortcut.moc"
