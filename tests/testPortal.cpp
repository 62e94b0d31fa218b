#include "testPortal.h"

#include "testSupport.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>

namespace {

const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString connectionName = QStringLiteral("korvani-test-portal");

} // namespace

TestPortal::~TestPortal()
{
    stop();
}

bool TestPortal::start(const QString &daemon, const QString &folder)
{
    const QString config = folder + QStringLiteral("/bus.conf");
    writeFile(config,
              QStringLiteral("<busconfig><type>session</type><listen>unix:path=%1/bus</listen>"
                             "<auth>EXTERNAL</auth><policy context=\"default\">"
                             "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                             "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>")
                  .arg(folder)
                  .toUtf8());
    m_shell.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_shell.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("\"$1\" --nofork --print-address --config-file=\"$2\" & read -r _; kill $!; wait"),
                   QStringLiteral("sh"), daemon, config});
    while (!m_shell.canReadLine() && m_shell.waitForReadyRead(10000)) { }
    m_address = QString::fromUtf8(m_shell.readLine()).trimmed();
    if (m_address.isEmpty())
        return false;
    m_connection = QDBusConnection::connectToBus(m_address, connectionName);
    return m_connection.registerVirtualObject(portalPath, this, QDBusConnection::SubPath) && setRunning(true);
}

bool TestPortal::stop()
{
    if (m_connection.isConnected()) {
        m_connection.unregisterObject(portalPath, QDBusConnection::UnregisterTree);
        QDBusConnection::disconnectFromBus(connectionName);
    }
    if (m_shell.state() == QProcess::NotRunning)
        return true;
    m_shell.closeWriteChannel();
    if (m_shell.waitForFinished(10000))
        return true;
    m_shell.kill();
    m_shell.waitForFinished(10000);
    return false;
}

bool TestPortal::setRunning(bool running)
{
    if (running == m_connection.interface()->isServiceRegistered(portalService).value())
        return true;
    return running ? m_connection.registerService(portalService) : m_connection.unregisterService(portalService);
}

void TestPortal::press(const QString &pressedSession, const QString &id) const
{
    QDBusMessage activated = QDBusMessage::createSignal(portalPath, shortcutsInterface, QStringLiteral("Activated"));
    activated << QVariant::fromValue(QDBusObjectPath(pressedSession)) << id << qulonglong(1000) << QVariantMap();
    m_connection.send(activated);
}

void TestPortal::reset()
{
    offersShortcuts = true;
    sessionAnswer = 0;
    bindAnswer = 0;
    sessionHandleAsPath = false;
    session.clear();
    shortcutId.clear();
    shortcutProperties.clear();
    closedSessions.clear();
}

bool TestPortal::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    const QString sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    if (message.interface() == QLatin1String("org.freedesktop.portal.Session")
        && message.member() == QLatin1String("Close")) {
        closedSessions.append(message.path());
        return connection.send(message.createReply());
    }
    if (!offersShortcuts || message.interface() != shortcutsInterface || message.path() != portalPath)
        return connection.send(message.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method")));

    const QVariantList arguments = message.arguments();
    const QVariantMap options = qdbus_cast<QVariantMap>(arguments.last());
    QVariantMap results;
    uint answer = 0;
    if (message.member() == QLatin1String("CreateSession") && message.signature() == QLatin1String("a{sv}")) {
        session = QStringLiteral("%1/session/%2/%3")
                      .arg(portalPath, sender, options.value(QStringLiteral("session_handle_token")).toString());
        results.insert(QStringLiteral("session_handle"),
                       sessionHandleAsPath ? QVariant::fromValue(QDBusObjectPath(session)) : QVariant(session));
        answer = sessionAnswer;
    } else if (message.member() == QLatin1String("BindShortcuts")
               && message.signature() == QLatin1String("oa(sa{sv})sa{sv}")
               && qdbus_cast<QDBusObjectPath>(arguments.at(0)).path() == session) {
        const QDBusArgument shortcuts = arguments.at(1).value<QDBusArgument>();
        shortcuts.beginArray();
        while (!shortcuts.atEnd()) {
            shortcuts.beginStructure();
            shortcuts >> shortcutId >> shortcutProperties;
            shortcuts.endStructure();
        }
        shortcuts.endArray();
        answer = bindAnswer;
    } else {
        return connection.send(message.createErrorReply(QDBusError::InvalidArgs, message.signature()));
    }
    // The response comes before the reply that names its request, as it may
    // from a portal: only a caller that listened in advance hears it.
    const QString request = QStringLiteral("%1/request/%2/%3")
                                .arg(portalPath, sender, options.value(QStringLiteral("handle_token")).toString());
    QDBusMessage response = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                       QStringLiteral("Response"));
    response << answer << results;
    connection.send(response);
    return connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
}
