#include "platform/instanceChannel.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

const QByteArray showRequest = QByteArrayLiteral("korvani show\n");
const int waitMs = 2000;

} // namespace

InstanceChannel::InstanceChannel(QTcpServer *server, QObject *parent)
    : QObject(parent)
    , m_server(server)
{
    connect(server, SIGNAL(newConnection()), this, SLOT(acceptConnections()));
    // The server may have started listening before the application existed,
    // when nothing could watch its socket yet; resuming starts the watch.
    server->pauseAccepting();
    server->resumeAccepting();
    acceptConnections();
}

void InstanceChannel::askToShow(quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    if (!socket.waitForConnected(waitMs))
        return;
    socket.write(showRequest);
    socket.disconnectFromHost();
    if (socket.state() != QAbstractSocket::UnconnectedState)
        socket.waitForDisconnected(waitMs);
}

void InstanceChannel::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, SIGNAL(readyRead()), this, SLOT(readRequest()));
        connect(socket, SIGNAL(disconnected()), socket, SLOT(deleteLater()));
        // A peer that says nothing is not kept waiting for.
        QTimer::singleShot(waitMs, socket, SLOT(deleteLater()));
    }
}

void InstanceChannel::readRequest()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket || socket->bytesAvailable() < showRequest.size())
        return;
    const bool asked = socket->read(showRequest.size()) == showRequest;
    socket->disconnectFromHost();
    if (asked)
        emit showRequested();
}
