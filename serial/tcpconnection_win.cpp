#include "tcpconnection.h"

#include <QTcpSocket>

// The system's keep-alive probes, at its own pace.
void TcpConnection::watch()
{
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
}

// What the system holds is not asked: the socket's own count stands for it.
qint64 TcpConnection::unacknowledged() const
{
    return m_socket ? m_socket->bytesToWrite() : 0;
}
