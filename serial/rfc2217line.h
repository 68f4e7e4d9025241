#pragma once

#include "tcpline.h"
#include "telnetcodec.h"

// A board behind a serial device server that speaks the telnet serial-port option of
// RFC 2217 (COM-PORT-OPTION, 44; ser2net: an accepter telnet(rfc2217),tcp,...). The
// telnet layer is TelnetCodec.
//
// Opening negotiates the option; once the server agrees, the line asks it for 8 data
// bits, no parity, 1 stop bit and 9600 baud, to purge what it holds from the board, and
// for no flow control, DTR on and RTS off. It is open when the server answers the purge:
// that answer shows that the server's port is ours (ser2net agrees to the option even
// when another user holds the port, and closes the connection right after), and the
// requests take effect in order, before any data that follows them. A server that
// answers a setting with another value than asked fails the open (LineSettingsRefused,
// naming what it answered), or the line once open. A server that does not answer the
// purge has SettleMs to close the connection before the line counts as open. The control
// requests are not waited for: some servers never answer them on a line without modem
// lines (ser2net on a pseudo-terminal). A server that says no to the option, or does not
// answer it within OptionAnswerMs, fails the open; a subnegotiation too long to be one
// fails the open (OverlongSubnegotiation), or the line once open.
//
// discardInput() also asks the server to purge what it holds from the board: until the
// server has answered every such purge (or PurgeAnswerMs has passed since the last), what
// comes is what it held before, and is thrown away. discardOutput() asks the server to
// purge what it still holds for the board.
class Rfc2217Line : public TcpLine {
    Q_OBJECT

public:
    // How long the server has to agree to the option once connected (within the open
    // timeout).
    static constexpr int OptionAnswerMs = 1000;
    // How long a purge of the server's input waits for its answer.
    static constexpr int PurgeAnswerMs = OpenTimeoutMs;

    Rfc2217Line(const QString &portName, const LineAddress &address, QObject *parent = nullptr);
    ~Rfc2217Line() override;

    void discardInput() override;
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
    void requestLineSettings();
    void purgeServerInput();
    void answered(const TelnetCodec::Event &answer);

    TelnetCodec m_telnet;
    ComPortSettings m_settings;
    bool m_optionAccepted = false;
    int m_session = 0;          // counts the connections, so that a pass over the
                                // server's bytes notices when its line has closed
    int m_purgesPending = 0;    // purges of the server's input not yet answered
    QTimer m_purgeTimer;
};
