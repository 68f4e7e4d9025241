#include "delayingproxy.h"

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
        QTimer::singleShot(m_delayMs, server, [this, server] { server->connectToHost(QHostAddress::LocalHost, m_serverPort); });
        const auto pass = [this](QTcpSocket *from, QTcpSocket *to, bool fromServer) {
            connect(from, &QTcpSocket::readyRead, this, [this, from, to, fromServer] { forward(to, from->readAll(), fromServer); });
            connect(from, &QTcpSocket::disconnected, this, [this, to] { closeLater(to); });
        };
        pass(client, server, false);
        pass(server, client, true);
        connect(server, &QTcpSocket::connected, this, [this, server] { write(server, m_waiting.take(server)); });
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
        write(to, bytes);
    });
}

void DelayingProxy::write(QTcpSocket *to, const QByteArray &bytes)
{
    if (to->state() == QAbstractSocket::ConnectedState)
        to->write(bytes);
    else
        m_waiting[to] += bytes;
}

void DelayingProxy::closeLater(QTcpSocket *socket)
{
    // After what is on its way.
    QTimer::singleShot(m_delayMs + 1, socket, [socket] { socket->disconnectFromHost(); });
}
