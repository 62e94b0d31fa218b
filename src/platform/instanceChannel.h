#ifndef KORVANI_INSTANCECHANNEL_H
#define KORVANI_INSTANCECHANNEL_H

#include <QObject>

class QTcpServer;

// The single-instance connection. The running Korvani holds the port; a second
// start connects to it and asks for the window before it ends. Nothing else
// is ever said or answered over it.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    // Takes the connections of a server that already listens.
    explicit InstanceChannel(QTcpServer *server, QObject *parent = nullptr);

    // Asks whoever holds the port on the loopback address to show its window.
    // Waits a moment at most.
    static void askToShow(quint16 port);

signals:
    void showRequested();

private slots:
    void acceptConnections();
    void readRequest();

private:
    QTcpServer *m_server;
};

#endif
