#include "rfc2217session.h"

#include <utility>

namespace {

// The client's serial-port commands besides the line settings (see ComPortSettings).
enum ComPortCommand : unsigned char {
    SetControl = 5,
    PurgeData = 12,
};
constexpr unsigned char NoFlowControl = 1;
constexpr unsigned char DtrOn = 8;
constexpr unsigned char RtsOff = 12;
// PURGE-DATA's values: the server's buffer of what came from the board, of what goes to it.
constexpr unsigned char PurgeReceiveBuffer = 1;
constexpr unsigned char PurgeTransmitBuffer = 2;

} // namespace

Rfc2217Session::Rfc2217Session(std::function<void(const QByteArray &)> toConnection)
    : m_toConnection(std::move(toConnection))
{
    m_toConnection(m_telnet.start());
}

Rfc2217Session::Parsed Rfc2217Session::fromServer(const QByteArray &bytes)
{
    const TelnetCodec::Result result = m_telnet.feed(bytes);
    if (!result.reply.isEmpty())
        m_toConnection(result.reply);
    if (m_purgesPending > 0 && m_purgeDeadline.hasExpired())
        m_purgesPending = 0;   // a server that does not answer purges: what comes is taken
    Parsed parsed;
    qsizetype passed = 0;
    auto passOn = [&](qsizetype upTo) {
        if (m_purgesPending == 0)
            parsed.data += result.data.mid(passed, upTo - passed);
        passed = upTo;
    };
    for (const TelnetCodec::Event &event : result.events) {
        passOn(event.dataOffset);
        switch (event.kind) {
        case TelnetCodec::Event::ComPortAccepted:
            parsed.optionAccepted = true;
            break;
        case TelnetCodec::Event::ComPortRefused:
            parsed.optionRefused = true;
            break;
        case TelnetCodec::Event::ComPortAnswer:
            answered(event, parsed.data.size(), parsed);
            break;
        case TelnetCodec::Event::SubnegotiationTooLong:
            parsed.failure = PortError::OverlongSubnegotiation;
            parsed.failureDetail = QString::number(TelnetCodec::MaxSubnegotiation);
            break;
        }
        if (parsed.failure != PortError::None)
            return parsed;
    }
    passOn(result.data.size());
    return parsed;
}

void Rfc2217Session::answered(const TelnetCodec::Event &answer, qsizetype dataOffset, Parsed &parsed)
{
    if (!m_settings.take(answer.command, answer.value)) {
        parsed.failure = PortError::LineSettingsRefused;
        parsed.failureDetail = m_settings.answered();
        return;
    }
    if (answer.command != PurgeData || answer.value != QByteArray(1, char(PurgeReceiveBuffer)) || m_purgesPending == 0)
        return;
    --m_purgesPending;
    // The server answers in order: the first purge answered is the one asked for with the
    // line settings.
    if (m_settingsAsked && !m_settled) {
        m_settled = true;
        parsed.settledAt = dataOffset;
    }
}

void Rfc2217Session::send(const QByteArray &data)
{
    m_toConnection(m_telnet.encodeData(data));
}

void Rfc2217Session::requestLineSettings()
{
    for (const ComPortSettings::Request &request : ComPortSettings::requests())
        m_toConnection(TelnetCodec::comPortCommand(request.command, request.value));
    m_settingsAsked = true;
    purgeInput();
    for (const unsigned char control : {NoFlowControl, DtrOn, RtsOff})
        m_toConnection(TelnetCodec::comPortCommand(SetControl, QByteArray(1, char(control))));
}

void Rfc2217Session::purgeInput()
{
    m_toConnection(TelnetCodec::comPortCommand(PurgeData, QByteArray(1, char(PurgeReceiveBuffer))));
    ++m_purgesPending;
    m_purgeDeadline.setRemainingTime(PurgeAnswerMs);
}

void Rfc2217Session::purgeOutput()
{
    m_toConnection(TelnetCodec::comPortCommand(PurgeData, QByteArray(1, char(PurgeTransmitBuffer))));
}
