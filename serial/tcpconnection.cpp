#include "tcpconnection.h"

#include <QTcpSocket>
#include <QTimer>

TcpConnection::TcpConnection(QObject *parent)
    : QObject(parent)
{
}

TcpConnection::~TcpConnection()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

void TcpConnection::connectTo(const QString &host, quint16 port)
{
    drop(false);
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        // Paced output goes out in small pieces: send each at once.
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        watch();
        emit connected();
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpConnection::readPending);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpConnection::socketError);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { emit ended(PortError::ConnectionLost, {}); });
    m_socket->connectToHost(host, port);
}

bool TcpConnection::isConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void TcpConnection::write(const QByteArray &bytes)
{
    if (isConnected())
        m_socket->write(bytes);
}

void TcpConnection::readPending()
{
    if (!m_socket)
        return;
    const QByteArray bytes = m_socket->readAll();
    if (!bytes.isEmpty())
        emit arrived(bytes);
}

void TcpConnection::socketError(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        emit ended(PortError::HostUnknown, {});
        break;
    case QAbstractSocket::ConnectionRefusedError:
        emit ended(PortError::Refused, {});
        break;
    case QAbstractSocket::SocketTimeoutError:
        emit ended(PortError::TimedOut, {});
        break;
    case QAbstractSocket::RemoteHostClosedError:
        emit ended(PortError::ConnectionLost, {});
        break;
    default:
        emit ended(PortError::Other, m_socket ? m_socket->errorString() : QString());
        break;
    }
}

void TcpConnection::drop(bool letOutputDrain)
{
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    if (letOutputDrain && socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() > 0) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(DrainLimitMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        socket->disconnectFromHost();
        return;
    }
    if (letOutputDrain)
        socket->disconnectFromHost();
    socket->abort();
    socket->deleteLater();
}
