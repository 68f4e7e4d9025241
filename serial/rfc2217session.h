#pragma once

#include <QByteArray>

#include <functional>

struct telnet_t;
union telnet_event_t;

// The telnet part of a line that speaks the serial-port option of RFC 2217
// (COM-PORT-OPTION, 44; ser2net: an accepter telnet(rfc2217),tcp,...): it offers the
// option, asks for the line settings, doubles data bytes 0xFF on the way out and undoes
// that on the way in, and reads the server's answers. It does no I/O: what is to go on
// the connection is handed to `toConnection`, and what came off it to fromServer(). The
// telnet layer is Debian's libtelnet.
class Rfc2217Session {
public:
    // What one piece from the server held.
    struct Parsed {
        QByteArray data;                  // for the board's line, undoubled
        bool optionAccepted = false;      // the server agreed to the option
        bool optionRefused = false;       // the server said no to it
        bool baudRateAnswered = false;    // the server answered the baud rate
        qsizetype dataBeforeAnswer = 0;   // of `data`, what came before that answer
    };

    // Offers the option, and binary both ways (no byte is taken for a line end).
    explicit Rfc2217Session(std::function<void(const QByteArray &)> toConnection);
    ~Rfc2217Session();
    Rfc2217Session(const Rfc2217Session &) = delete;
    Rfc2217Session &operator=(const Rfc2217Session &) = delete;

    Parsed fromServer(const QByteArray &bytes);
    // Data for the board.
    void send(const QByteArray &data);
    // Asks for 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control, DTR on and
    // RTS off. The requests take effect in order, before any data that follows them.
    void requestLineSettings();
    // Asks the server to purge what it still holds for the board (not what it holds from
    // the board).
    void purgeOutput();

private:
    static void handleEvent(telnet_t *telnet, telnet_event_t *event, void *session);
    void comPortCommand(unsigned char command, const QByteArray &value);

    std::function<void(const QByteArray &)> m_toConnection;
    telnet_t *m_telnet = nullptr;
    Parsed m_parsed;   // of the piece being parsed
};
