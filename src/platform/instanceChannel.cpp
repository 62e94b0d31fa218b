#include "platform/instanceChannel.h"

#include <QIODevice>
#include <QTimer>

namespace {

const QByteArray showRequest = QByteArrayLiteral("korvani show\n");
const int waitMs = 2000;
// A second start needs one; a few more let starts that come together all
// be heard.
const int maxServed = 4;

} // namespace

InstanceChannel::InstanceChannel(QObject *parent)
    : QObject(parent)
{
}

void InstanceChannel::serve(QIODevice *connection)
{
    if (m_served >= maxServed) {
        // Closed at once, so that its file descriptor is free again.
        connection->close();
        delete connection;
        return;
    }
    ++m_served;
    connection->setParent(this);
    connect(connection, SIGNAL(destroyed()), this, SLOT(connectionEnded()));
    connect(connection, SIGNAL(readyRead()), this, SLOT(readRequest()));
    connect(connection, SIGNAL(disconnected()), connection, SLOT(deleteLater()));
    // A peer that says nothing is not kept waiting for.
    QTimer::singleShot(waitMs, connection, SLOT(deleteLater()));
}

bool InstanceChannel::askToShow(QIODevice *connection)
{
    const bool asked = connection->write(showRequest) == showRequest.size() && connection->waitForBytesWritten(waitMs);
    connection->close();
    return asked;
}

void InstanceChannel::readRequest()
{
    auto *connection = qobject_cast<QIODevice *>(sender());
    if (!connection || connection->bytesAvailable() < showRequest.size())
        return;
    const bool asked = connection->read(showRequest.size()) == showRequest;
    connection->close();
    if (asked)
        emit showRequested();
}

void InstanceChannel::connectionEnded()
{
    --m_served;
}
