#pragma once

#include "tcpline.h"

struct telnet_t;
union telnet_event_t;

// A board behind a serial device server that speaks the telnet serial-port option of
// RFC 2217 (COM-PORT-OPTION, 44; ser2net: an accepter telnet(rfc2217),tcp,...). The
// telnet layer is Debian's libtelnet.
//
// Opening negotiates the option; once the server agrees, the line asks it for 9600 baud,
// 8 data bits, no parity, 1 stop bit, no flow control, DTR on and RTS off. It is open
// when the server answers the baud rate: that answer shows that the server's port is
// ours (ser2net agrees to the option even when another user holds the port, and closes
// the connection right after), and the requests take effect in order, before any data
// that follows them. A server that does not answer the baud rate has SettleMs to close
// the connection before the line counts as open. The other answers are not waited for:
// some servers never answer a control request on a line without modem lines (ser2net on
// a pseudo-terminal). A server that says no to the option, or does not answer it within
// OptionAnswerMs, fails the open.
//
// Data bytes 0xFF are sent doubled and received undoubled, as telnet requires.
// discardOutput() asks the server to purge what it still holds for the board.
class Rfc2217Line : public TcpLine {
    Q_OBJECT

public:
    // How long the server has to agree to the option once connected (within the open
    // timeout).
    static constexpr int OptionAnswerMs = 1000;

    Rfc2217Line(const QString &portName, const LineAddress &address, QObject *parent = nullptr);
    ~Rfc2217Line() override;

    // Purges the server's transmit buffer. How much it held cannot be seen, nor whether
    // the purge came before the server had passed it on: nothing is surely dropped, and
    // the board holds at most what was handed over. What the server holds from the board
    // is left alone (an upload may be running).
    OutputDiscard discardOutput() override;

protected:
    void startSession() override;
    void sessionTimedOut() override;
    void fromServer(const QByteArray &bytes) override;
    void toServer(const QByteArray &data) override;
    void endSession() override;

private:
    // What one pass of the telnet parser found; acted upon once the parser has returned,
    // as the receivers of what follows may close the line.
    struct Parsed {
        QByteArray data;
        bool optionAccepted = false;
        bool optionRefused = false;
        bool baudRateAnswered = false;
        qsizetype dataBeforeAnswer = 0;   // of `data`, what came before the baud rate's answer
    };

    static void handleEvent(telnet_t *telnet, telnet_event_t *event, void *line);
    void requestLineSettings();
    void comPortCommand(unsigned char command, const QByteArray &value);

    telnet_t *m_telnet = nullptr;
    bool m_optionAccepted = false;
    Parsed m_parsed;
};
