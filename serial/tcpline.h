#pragma once

#include "line.h"
#include "lineaddress.h"
#include "linepacer.h"
#include "rfc2217session.h"
#include "tcpconnection.h"

#include <QElapsedTimer>
#include <QTimer>

#include <memory>

// A board behind a serial device server, over TCP (a TcpConnection): raw, or with the
// telnet serial-port option of RFC 2217 (an Rfc2217Session on the connection), as the
// address says.
//
// Raw, the bytes on the connection are the bytes on the board's line, and the server's
// line settings are its own (ser2net: the connector's, e.g. serialdev,/dev/ttyUSB0,
// 9600n81,local). The line opens once the connection has stayed up for SettleMs (a
// server whose port another user holds accepts and closes at once). A server port that
// speaks telnet announces itself at once: when the first bytes from the server are a
// telnet negotiation, the raw line refuses (TelnetServer: the address wants rfc2217://),
// while opening, or, where they come later, by failing.
//
// With RFC 2217, opening negotiates the option; once the server agrees, the line asks it
// for 9600 8N1, a purge of what it holds from the board, no flow control, DTR on and RTS
// off. It is open when the server answers the purge: that answer shows that the server's
// port is ours (ser2net agrees to the option even when another user holds the port, and
// closes the connection right after). A server that does not answer the purge has
// SettleMs, and a round trip, to close the connection before the line counts as open. The
// control requests are not waited for: some servers never answer them on a line without
// modem lines (ser2net on a pseudo-terminal). A server that says no to the option, or has
// not agreed to it when the open timeout runs out, fails the open; so does one that
// answers other line settings than asked (LineSettingsRefused, naming what it answered),
// or sends a subnegotiation too long to be one (OverlongSubnegotiation): on an open line,
// either fails the line.
//
// open() returns at once; opened() follows, or openFailed() when the host is unknown,
// the server refuses, the connection closes, or the line is not open within the open
// timeout (LineOptions): one deadline for connecting and negotiating together. While the
// line opens, what the server sends is thrown away, as a device's stale input is; but
// the text of a server that closes the connection while the line opens (ser2net's
// banner, or "Device open failure: ...") is kept as the reason's `serverSaid`, on one
// line.
//
// The server's buffers cannot be seen: output is paced by the clock, and by what the
// server has not yet acknowledged (a server that takes nothing holds the output back
// rather than the system's buffers swallowing it). Input is always taken as it comes.
// When the connection drops, what came before is delivered, then failed().
class TcpLine : public Line {
    Q_OBJECT

public:
    static constexpr int SettleMs = 100;
    // Of what a server says while the line opens, what is kept for the reason.
    static constexpr int HeardLimit = 512;
    static constexpr int SaidLimit = 200;   // characters of it shown

    // `portName`: what the user named (an address, or the COM number standing for it).
    TcpLine(const QString &portName, const LineAddress &address, const LineOptions &options = {},
            QObject *parent = nullptr);
    ~TcpLine() override;

    LineAddress address() const { return m_address; }

    QString portName() const override { return m_portName; }
    QString networkAddress() const override { return m_address.text(); }
    bool open(PortError *error = nullptr) override;
    void close() override;
    State state() const override;

    void setPromptInput(bool) override {}
    // Nothing is held back: what came has been handed over. With RFC 2217 the server is
    // asked to purge what it holds from the board, and what comes before it has answered
    // is thrown away (see Rfc2217Session).
    void discardInput() override;

    using Line::output;
    void output(const QByteArray &bytes) override;
    qint64 outputRoom() override;
    qint64 queuedAhead() override;
    void requestOutputReady() override;
    // Raw, nothing handed to the server can be called back: it all reaches the board.
    // With RFC 2217 the server is asked to purge its transmit buffer. How much it held
    // cannot be seen, nor whether the purge came before the server had passed it on:
    // nothing is surely dropped, and the board holds at most what was handed over.
    OutputDiscard discardOutput() override;

private:
    enum class Phase { Closed, Connecting, Starting, Open };

    void connected();
    void arrived(const QByteArray &bytes);
    void openTimerExpired();
    void connectionEnded(PortError::Kind kind, const QString &system);
    // What the server said while an RFC 2217 line opens, and once it is open.
    void negotiate(const QByteArray &bytes);
    void takeOpen(const Rfc2217Session::Parsed &parsed);
    // What is left of the open timeout, but at most `milliseconds`, from now.
    void restartOpenTimer(int milliseconds);
    void becomeOpen();
    void giveUp(PortError::Kind kind, const QString &system = {});
    // The open line stops working (what it received has been delivered).
    void failLine();
    // Received data for the program; thrown away while the line is still opening.
    void deliver(const QByteArray &data);
    // Raw: judges the server's first bytes; false when they are telnet (the line gave up
    // or failed).
    bool rawStartIsData(QByteArray &bytes);
    void dropConnection(bool letOutputDrain);

    QString m_portName;
    LineAddress m_address;
    int m_openTimeoutMs;
    Phase m_phase = Phase::Closed;
    bool m_inOpen = false;     // open() is on the stack: a failure is its return value
    PortError m_failedAtOnce;
    TcpConnection m_connection;
    std::unique_ptr<Rfc2217Session> m_rfc2217;   // with RFC 2217, while connected
    bool m_optionAccepted = false;
    bool m_firstBytesJudged = false;   // raw: whether the server's first bytes were telnet
    QByteArray m_firstBytes;           // raw: held until they can be judged
    QByteArray m_heard;                // data the server sent while the line opened
    QTimer m_openTimer;
    QElapsedTimer m_sinceConnected;
    LinePacer m_pacer;
};
