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

bool InstanceChannel::take(QIODevice *connection)
{
    if (m_served >= maxServed) {
        // Closed at once, so that its file descriptor is free again.
        connection->close();
        delete connection;
        return false;
    }
    ++m_served;
    connection->setParent(this);
    connect(connection, &QObject::destroyed, this, &InstanceChannel::connectionEnded);
    connect(connection, &QIODevice::readyRead, this, [this, connection] { readRequest(connection); });
    // A peer that says nothing is not kept waiting for.
    QTimer::singleShot(waitMs, connection, &QObject::deleteLater);
    return true;
}

bool InstanceChannel::askToShow(QIODevice *connection)
{
    const bool asked = connection->write(showRequest) == showRequest.size() && connection->waitForBytesWritten(waitMs);
    connection->close();
    return asked;
}

void InstanceChannel::readRequest(QIODevice *connection)
{
    if (connection->bytesAvailable() < showRequest.size())
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
