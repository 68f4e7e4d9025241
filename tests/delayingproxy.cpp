#include "delayingproxy.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

DelayingProxy::DelayingProxy(quint16 serverPort, int delayMs, QObject *parent)
    : QObject(parent)
    , m_serverPort(serverPort)
    , m_delayMs(delayMs)
{
    connect(&m_listener, &QTcpServer::newConnection, this, &DelayingProxy::accept);
    m_listener.listen(QHostAddress::LocalHost, 0);
}

void DelayingProxy::accept()
{
    while (QTcpSocket *client = m_listener.nextPendingConnection()) {
        client->setParent(this);
        auto *server = new QTcpSocket(this);
        server->connectToHost(QHostAddress::LocalHost, m_serverPort);
        // What the client sends before the server's connection is up waits in `client`.
        const auto pass = [this](QTcpSocket *from, QTcpSocket *to, bool fromServer) {
            connect(from, &QTcpSocket::readyRead, this, [this, from, to, fromServer] {
                if (to->state() == QAbstractSocket::ConnectedState)
                    forward(to, from->readAll(), fromServer);
            });
            connect(from, &QTcpSocket::disconnected, this, [this, to] { closeLater(to); });
        };
        pass(client, server, false);
        pass(server, client, true);
        connect(server, &QTcpSocket::connected, client, [this, client, server] {
            forward(server, client->readAll(), false);
        });
        connect(server, &QTcpSocket::errorOccurred, client, [this, client] { closeLater(client); });
    }
}

void DelayingProxy::forward(QTcpSocket *to, const QByteArray &bytes, bool fromServer)
{
    if (bytes.isEmpty())
        return;
    QTimer::singleShot(m_delayMs, to, [this, to, bytes, fromServer] {
        if (fromServer)
            m_fromServer += bytes;
        to->write(bytes);
    });
}

void DelayingProxy::closeLater(QTcpSocket *socket)
{
    // After what is on its way.
    QTimer::singleShot(m_delayMs + 1, socket, [socket] { socket->disconnectFromHost(); });
}
