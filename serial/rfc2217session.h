#pragma once

#include "line.h"
#include "telnetcodec.h"
#include "transfer.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QString>

#include <functional>

// The telnet part of a line that speaks the serial-port option of RFC 2217
// (COM-PORT-OPTION, 44; ser2net: an accepter telnet(rfc2217),tcp,...): it offers the
// option, asks for the line settings and checks the server's answers to them, purges the
// server's buffers, and sends and receives the board's data through the telnet layer
// (TelnetCodec). It does no I/O: what is to go on the connection is handed to
// `toConnection`, and what came off it to fromServer().
//
// A purge of what the server holds from the board (purgeInput(), and one with the line
// settings) makes what comes before the server has answered it stale: it is thrown away,
// until the server has answered every such purge or PurgeAnswerMs has passed since the
// last was asked for.
class Rfc2217Session {
public:
    // How long a purge of the server's input may go unanswered: as long as opening may take.
    static constexpr int PurgeAnswerMs = LineOptions::OpenTimeoutMs;

    // What one piece from the server held.
    struct Parsed {
        QByteArray data;                  // the board's bytes, none that came before a
                                          // purge was answered
        bool optionAccepted = false;      // the server agreed to the option
        bool optionRefused = false;       // the server said no to it
        qsizetype settledAt = -1;         // of `data`, where the server answered the
                                          // purge asked for with the line settings: what
                                          // follows is at those settings; -1: not here
        PortError::Kind failure = PortError::None;   // the server cannot be used:
                                                     // LineSettingsRefused or
                                                     // OverlongSubnegotiation; `data` ends
                                                     // where that came
        QString failureDetail;            // what it answered, or the longest
                                          // subnegotiation taken
    };

    // Offers the option, and binary both ways (no byte is taken for a line end).
    explicit Rfc2217Session(std::function<void(const QByteArray &)> toConnection);

    Parsed fromServer(const QByteArray &bytes);
    // Data for the board.
    void send(const QByteArray &data);
    // Asks for 8 data bits, no parity, 1 stop bit and 9600 baud, for a purge of what the
    // server holds from the board, and for no flow control, DTR on and RTS off. The
    // requests take effect in order, before any data that follows them; the server
    // answers them in order.
    void requestLineSettings();
    // Asks the server to purge what it holds from the board.
    void purgeInput();
    // Asks the server to purge what it still holds for the board (not what it holds from
    // the board).
    void purgeOutput();

private:
    void answered(const TelnetCodec::Event &answer, qsizetype dataOffset, Parsed &parsed);

    std::function<void(const QByteArray &)> m_toConnection;
    TelnetCodec m_telnet;
    ComPortSettings m_settings;
    bool m_settingsAsked = false;
    bool m_settled = false;
    int m_purgesPending = 0;   // purges of the server's input not yet answered
    QDeadlineTimer m_purgeDeadline;
};
