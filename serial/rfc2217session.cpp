#include "rfc2217session.h"

#include <cstddef>   // libtelnet.h needs size_t
#include <libtelnet.h>

#include <QtEndian>

#include <utility>

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

Rfc2217Session::Rfc2217Session(std::function<void(const QByteArray &)> toConnection)
    : m_toConnection(std::move(toConnection))
{
    m_telnet = telnet_init(TelnetOptions, &Rfc2217Session::handleEvent, 0, this);
    telnet_negotiate(m_telnet, TELNET_WILL, ComPortOption);
    telnet_negotiate(m_telnet, TELNET_WILL, TELNET_TELOPT_BINARY);
    telnet_negotiate(m_telnet, TELNET_DO, TELNET_TELOPT_BINARY);
}

Rfc2217Session::~Rfc2217Session()
{
    telnet_free(m_telnet);
}

void Rfc2217Session::handleEvent(telnet_t *, telnet_event_t *event, void *session)
{
    auto *self = static_cast<Rfc2217Session *>(session);
    switch (event->type) {
    case TELNET_EV_DATA:
        self->m_parsed.data.append(event->data.buffer, qsizetype(event->data.size));
        break;
    case TELNET_EV_SEND:
        self->m_toConnection(QByteArray(event->data.buffer, qsizetype(event->data.size)));
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

Rfc2217Session::Parsed Rfc2217Session::fromServer(const QByteArray &bytes)
{
    m_parsed = {};
    telnet_recv(m_telnet, bytes.constData(), size_t(bytes.size()));
    return std::exchange(m_parsed, {});
}

void Rfc2217Session::send(const QByteArray &data)
{
    telnet_send(m_telnet, data.constData(), size_t(data.size()));
}

void Rfc2217Session::comPortCommand(unsigned char command, const QByteArray &value)
{
    const QByteArray body = char(command) + value;
    telnet_subnegotiation(m_telnet, ComPortOption, body.constData(), size_t(body.size()));
}

void Rfc2217Session::requestLineSettings()
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

void Rfc2217Session::purgeOutput()
{
    comPortCommand(PurgeData, QByteArray(1, char(PurgeTransmitBuffer)));
}
