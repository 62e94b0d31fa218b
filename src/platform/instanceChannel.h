#ifndef KORVANI_INSTANCECHANNEL_H
#define KORVANI_INSTANCECHANNEL_H

#include <QObject>

class QIODevice;

// The requests that reach the running Korvani over its single-instance
// connection: a second start connects, asks for the window and ends. Nothing
// else is ever said or answered over it. Only a few connections are served at
// once, each for a moment, so that no flood of them can use up the open files
// that saving needs.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    explicit InstanceChannel(QObject *parent = nullptr);

    // Serves a connection that a server has just accepted, taking it over.
    template <typename Socket>
    void serve(Socket *connection)
    {
        if (take(connection))
            connect(connection, &Socket::disconnected, connection, &QObject::deleteLater);
    }

    // Asks the Korvani at the other end of a connected socket to show its
    // window, then closes the socket. Waits a moment at most.
    static bool askToShow(QIODevice *connection);

signals:
    void showRequested();

private slots:
    void readRequest(QIODevice *connection);
    void connectionEnded();

private:
    // False when it was refused, and is gone.
    bool take(QIODevice *connection);

    int m_served = 0;
};

#endif
