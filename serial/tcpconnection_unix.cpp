#include "tcpconnection.h"

#include <QTcpSocket>

#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#endif

namespace {

#ifdef Q_OS_LINUX
// Keep-alive probes on an idle connection: the first after this many seconds of quiet,
// then every few seconds, and so many unanswered ones end it.
constexpr int KeepAliveIdleSeconds = 10;
constexpr int KeepAliveIntervalSeconds = 5;
constexpr int KeepAliveProbes = 3;
#endif

} // namespace

void TcpConnection::watch()
{
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
#ifdef Q_OS_LINUX
    const auto fd = int(m_socket->socketDescriptor());
    const unsigned int userTimeout = UnacknowledgedTimeoutMs;
    ::setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, sizeof userTimeout);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &KeepAliveIdleSeconds, sizeof KeepAliveIdleSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &KeepAliveIntervalSeconds, sizeof KeepAliveIntervalSeconds);
    ::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &KeepAliveProbes, sizeof KeepAliveProbes);
#endif
}

qint64 TcpConnection::unacknowledged() const
{
    if (!m_socket)
        return 0;
    qint64 queued = m_socket->bytesToWrite();
#ifdef Q_OS_LINUX
    int inSystem = 0;
    const auto fd = int(m_socket->socketDescriptor());
    if (fd >= 0 && ::ioctl(fd, SIOCOUTQ, &inSystem) == 0 && inSystem > 0)
        queued += inSystem;
#endif
    return queued;
}
