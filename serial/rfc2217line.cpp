#include "rfc2217line.h"

#include <cstddef>   // libtelnet.h needs size_t
#include <libtelnet.h>

#include <QtEndian>

namespace {

// The serial-port option and the client's commands of RFC 2217.
constexpr unsigned char ComPortOption = 44;
enum ComPortCommand : unsigned char {
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    PurgeData = 12,
};
// The server answers a command with its code plus this.
constexpr unsigned char ServerAnswer = 100;
constexpr unsigned char ParityNone = 1;
constexpr unsigned char OneStopBit = 1;
constexpr unsigned char NoFlowControl = 1;
constexpr unsigned char DtrOn = 8;
constexpr unsigned char RtsOff = 12;
constexpr unsigned char PurgeTransmitBuffer = 2;

constexpr quint32 LineBaudRate = 9600;
constexpr unsigned char LineDataBits = 8;

// Binary both ways, so that no byte is taken for a line end; suppress go-ahead; the
// serial-port option is ours to offer, the server's echo is not wanted.
const telnet_telopt_t TelnetOptions[] = {
    {TELNET_TELOPT_BINARY, TELNET_WILL, TELNET_DO},
    {TELNET_TELOPT_SGA, TELNET_WILL, TELNET_DO},
    {ComPortOption, TELNET_WILL, TELNET_DONT},
    {-1, 0, 0},
};

} // namespace

Rfc2217Line::Rfc2217Line(const QString &portName, const LineAddress &address, QObject *parent)
    : TcpLine(portName, address, parent)
{
}

Rfc2217Line::~Rfc2217Line()
{
    if (m_telnet)
        telnet_free(m_telnet);
}

void Rfc2217Line::startSession()
{
    m_optionAccepted = false;
    m_telnet = telnet_init(TelnetOptions, &Rfc2217Line::handleEvent, 0, this);
    telnet_negotiate(m_telnet, TELNET_WILL, ComPortOption);
    telnet_negotiate(m_telnet, TELNET_WILL, TELNET_TELOPT_BINARY);
    telnet_negotiate(m_telnet, TELNET_DO, TELNET_TELOPT_BINARY);
    // The server answers within a round trip. A server that refuses the option answers
    // too, but libtelnet tells nothing of a refusal: the option stays unanswered.
    restartOpenTimer(OptionAnswerMs);
}

void Rfc2217Line::sessionTimedOut()
{
    if (m_optionAccepted)
        becomeOpen();   // settled, although the baud rate was not answered
    else
        giveUp(PortError::NoComPortOption);
}

void Rfc2217Line::endSession()
{
    if (m_telnet)
        telnet_free(m_telnet);
    m_telnet = nullptr;
}

void Rfc2217Line::handleEvent(telnet_t *, telnet_event_t *event, void *line)
{
    auto *self = static_cast<Rfc2217Line *>(line);
    switch (event->type) {
    case TELNET_EV_DATA:
        self->m_parsed.data.append(event->data.buffer, qsizetype(event->data.size));
        break;
    case TELNET_EV_SEND:
        self->writeToConnection(QByteArray(event->data.buffer, qsizetype(event->data.size)));
        break;
    case TELNET_EV_DO:
        if (event->neg.telopt == ComPortOption)
            self->m_parsed.optionAccepted = true;
        break;
    case TELNET_EV_DONT:
        if (event->neg.telopt == ComPortOption)
            self->m_parsed.optionRefused = true;
        break;
    case TELNET_EV_SUBNEGOTIATION:
        if (event->sub.telopt == ComPortOption && event->sub.size > 0
            && static_cast<unsigned char>(event->sub.buffer[0]) == ServerAnswer + SetBaudRate
            && !self->m_parsed.baudRateAnswered) {
            self->m_parsed.baudRateAnswered = true;
            self->m_parsed.dataBeforeAnswer = self->m_parsed.data.size();
        }
        break;
    default:
        // The server's answers and notifications, and what the parser warns of (a
        // sub-negotiation too long, say): no data is lost by passing them over.
        break;
    }
}

void Rfc2217Line::fromServer(const QByteArray &bytes)
{
    if (!m_telnet)
        return;
    m_parsed = {};
    telnet_recv(m_telnet, bytes.constData(), size_t(bytes.size()));
    const Parsed parsed = std::exchange(m_parsed, {});
    if (isOpening()) {
        // What the board sent before the line opened is stale, as on a device.
        if (parsed.optionRefused) {
            giveUp(PortError::NoComPortOption);
            return;
        }
        if (parsed.optionAccepted && !m_optionAccepted) {
            m_optionAccepted = true;
            requestLineSettings();
            settle();
        }
        if (!parsed.baudRateAnswered || !m_optionAccepted)
            return;
        becomeOpen();
        // The server answers before it passes on what the board sends at the new
        // settings: what follows the answer in the same piece belongs to the open line.
        deliver(parsed.data.mid(parsed.dataBeforeAnswer));
        return;
    }
    deliver(parsed.data);
}

void Rfc2217Line::toServer(const QByteArray &data)
{
    if (m_telnet)
        telnet_send(m_telnet, data.constData(), size_t(data.size()));
}

void Rfc2217Line::comPortCommand(unsigned char command, const QByteArray &value)
{
    const QByteArray body = char(command) + value;
    telnet_subnegotiation(m_telnet, ComPortOption, body.constData(), size_t(body.size()));
}

void Rfc2217Line::requestLineSettings()
{
    QByteArray baud(sizeof(quint32), '\0');
    qToBigEndian(LineBaudRate, baud.data());
    comPortCommand(SetBaudRate, baud);
    comPortCommand(SetDataSize, QByteArray(1, char(LineDataBits)));
    comPortCommand(SetParity, QByteArray(1, char(ParityNone)));
    comPortCommand(SetStopSize, QByteArray(1, char(OneStopBit)));
    comPortCommand(SetControl, QByteArray(1, char(NoFlowControl)));
    comPortCommand(SetControl, QByteArray(1, char(DtrOn)));
    comPortCommand(SetControl, QByteArray(1, char(RtsOff)));
}

OutputDiscard Rfc2217Line::discardOutput()
{
    if (!isOpen() || !m_telnet)
        return {0, true};
    comPortCommand(PurgeData, QByteArray(1, char(PurgeTransmitBuffer)));
    pacer().restart();
    return {0, false};
}
