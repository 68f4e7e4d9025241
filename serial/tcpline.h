#pragma once

#include "line.h"
#include "lineaddress.h"
#include "linepacer.h"

#include <QAbstractSocket>
#include <QPointer>
#include <QTimer>

class QTcpSocket;

// A board behind a serial device server, over a raw TCP connection: the bytes on the
// connection are the bytes on the board's line. The server's line settings are its own
// (ser2net: the connector's, e.g. serialdev,/dev/ttyUSB0,9600n81,local).
//
// Opening connects without waiting: open() returns at once, and opened() follows once
// the connection has stayed up for SettleMs (a server whose port another user holds
// accepts and closes at once), or openFailed() when the host is unknown, the server
// refuses, nothing answers within the open timeout, or the connection closes. While the
// line opens, what the server sends is thrown away, as a device's stale input is.
//
// The server's buffers cannot be seen: output is paced by the clock, and by what the
// server has not yet acknowledged (a server that takes nothing holds the output back
// rather than the system's buffers swallowing it). Input is taken as it comes. When the
// connection drops, what came before is delivered, then failed(). A connection over
// which nothing is acknowledged for UnacknowledgedTimeoutMs, or that no longer answers
// keep-alive probes while idle, counts as dropped.
class TcpLine : public Line {
    Q_OBJECT

public:
    // How long opening may take before it gives up: for a transfer, and for a probe of
    // many ports that must not keep a window waiting.
    static constexpr int OpenTimeoutMs = 4000;
    static constexpr int ProbeTimeoutMs = 400;
    static constexpr int SettleMs = 100;
    static constexpr int UnacknowledgedTimeoutMs = 10000;

    // `portName`: what the user named (an address, or the COM number standing for it).
    TcpLine(const QString &portName, const LineAddress &address, QObject *parent = nullptr);
    ~TcpLine() override;

    LineAddress address() const { return m_address; }

    QString portName() const override { return m_portName; }
    QString networkAddress() const override { return m_address.text(); }
    bool open(PortError *error = nullptr) override;
    void close() override;
    bool isOpen() const override { return m_state == State::Open; }
    bool isOpening() const override { return m_state == State::Connecting || m_state == State::Starting; }
    void setOpenTimeout(int milliseconds) override { m_openTimeoutMs = milliseconds; }

    qint64 inBufferCount() const override;
    void discardInput() override;
    QByteArray input() override;
    // Input is always taken as it comes.
    void setPromptInput(bool) override {}

    using Line::output;
    void output(const QByteArray &bytes) override;
    qint64 outputRoom() override;
    qint64 queuedAhead() override;
    void requestOutputReady() override;
    // Nothing handed to the server can be called back: it all reaches the board.
    OutputDiscard discardOutput() override;
    void setPacingBytesPerSecond(qint64 bytesPerSecond) override;

protected:
    // The connection is up: what the protocol does before the line is open. Here:
    // settle().
    virtual void startSession();
    // The open timeout, or the time to settle, ran out after the connection was made.
    // Here: the line opens.
    virtual void sessionTimedOut();
    // Bytes from the server as they came off the connection.
    virtual void fromServer(const QByteArray &bytes);
    // Data for the board, to go on the connection.
    virtual void toServer(const QByteArray &data);
    // The connection is about to end.
    virtual void endSession() {}

    // For the protocols built on this one.
    // Opens the line after SettleMs (or when the open timeout runs out, if sooner),
    // unless the connection ends first.
    void settle();
    // What is left of the open timeout, but at most `milliseconds`, from now.
    void restartOpenTimer(int milliseconds);
    void becomeOpen();
    void giveUp(PortError::Kind kind, const QString &system = {});
    // The protocol cannot go on: an opening line gives up, an open one fails (what it
    // delivered stays delivered).
    void failLine(PortError::Kind kind, const QString &system = {});
    // Received data for the program; thrown away while the line is still opening.
    void deliver(const QByteArray &data);
    // Bytes to put on the connection as they are.
    void writeToConnection(const QByteArray &bytes);
    // The platform's part (tcpline_unix.cpp, tcpline_win.cpp):
    // Bytes written that the server has not yet acknowledged: in the socket's buffer or
    // the system's.
    qint64 unacknowledged() const;
    LinePacer &pacer() { return m_pacer; }

private:
    enum class State { Closed, Connecting, Starting, Open };

    void connected();
    // A server that went away without closing (switched off, the network cut) is noticed:
    // by data that stays unacknowledged, or by keep-alive probes while the line is idle.
    // (The platform's part.)
    void watchConnection();
    void readable();
    void socketError(QAbstractSocket::SocketError error);
    void openTimerExpired();
    void connectionEnded(PortError::Kind kind, const QString &system);
    void dropConnection(bool letOutputDrain);

    QString m_portName;
    LineAddress m_address;
    int m_openTimeoutMs = OpenTimeoutMs;
    State m_state = State::Closed;
    bool m_inOpen = false;     // open() is on the stack: a failure is its return value
    PortError m_failedAtOnce;
    QPointer<QTcpSocket> m_socket;
    QTimer m_openTimer;
    LinePacer m_pacer;
    QByteArray m_received;   // not yet read by the program
};
