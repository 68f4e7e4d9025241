#pragma once

#include "transfer.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpSocket;

// The TCP part of a line to a serial device server: it connects without waiting, puts
// bytes on the connection as they are, tells how much the server has not acknowledged,
// and notices a server that went away without closing (switched off, the network cut):
// by data that stays unacknowledged for UnacknowledgedTimeoutMs, or by keep-alive probes
// while the connection is idle.
class TcpConnection : public QObject {
    Q_OBJECT

public:
    static constexpr int UnacknowledgedTimeoutMs = 10000;
    // How long what was written may take to go out once the connection is dropped.
    static constexpr int DrainLimitMs = 4000;

    explicit TcpConnection(QObject *parent = nullptr);
    ~TcpConnection() override;

    // Starts connecting: connected() or ended() follows, ended() perhaps before this
    // returns (a host that cannot be looked up).
    void connectTo(const QString &host, quint16 port);
    bool isConnected() const;
    void write(const QByteArray &bytes);
    // Hands over what has come and not yet been announced by arrived() (what the server
    // sent before it went, when ended() comes).
    void readPending();
    // Ends the connection; nothing more is signalled. With `letOutputDrain`, what was
    // written still goes out (a server that takes nothing more is left after
    // DrainLimitMs).
    void drop(bool letOutputDrain);

    // The platform's part (tcpconnection_unix.cpp, tcpconnection_win.cpp):
    // Bytes written that the server has not yet acknowledged: in the socket's buffer or
    // the system's.
    qint64 unacknowledged() const;

signals:
    void connected();
    void arrived(const QByteArray &bytes);
    // The connection could not be made, or it ended (ConnectionLost: the server closed
    // it); `system` is what the system said, where it is the reason.
    void ended(PortError::Kind kind, const QString &system);

private:
    void socketError(QAbstractSocket::SocketError error);
    // The platform's part: keep-alive probes and the limit for unacknowledged data.
    void watch();

    QPointer<QTcpSocket> m_socket;
};
