#include "rfc2217line.h"

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

Rfc2217Line::Rfc2217Line(const QString &portName, const LineAddress &address, QObject *parent)
    : TcpLine(portName, address, parent)
{
    m_purgeTimer.setSingleShot(true);
    // A server that does not answer a purge: what comes from now on is taken.
    connect(&m_purgeTimer, &QTimer::timeout, this, [this] { m_purgesPending = 0; });
}

Rfc2217Line::~Rfc2217Line() = default;

void Rfc2217Line::startSession()
{
    ++m_session;
    m_telnet = {};
    m_settings = {};
    m_optionAccepted = false;
    m_purgesPending = 0;
    writeToConnection(m_telnet.start());
    // The server answers within a round trip, a refusal too.
    restartOpenTimer(OptionAnswerMs);
}

void Rfc2217Line::sessionTimedOut()
{
    if (m_optionAccepted)
        becomeOpen();   // settled, although the purge was not answered
    else
        giveUp(PortError::NoComPortOption);
}

void Rfc2217Line::endSession()
{
    ++m_session;
    m_purgeTimer.stop();
    m_purgesPending = 0;
}

void Rfc2217Line::fromServer(const QByteArray &bytes)
{
    const TelnetCodec::Result result = m_telnet.feed(bytes);
    writeToConnection(result.reply);
    const int session = m_session;
    qsizetype passed = 0;
    // What the board sent before the line opened, or before the server answered the
    // purges asked for, is stale.
    auto passOn = [&](qsizetype upTo) {
        if (m_purgesPending == 0)
            deliver(result.data.mid(passed, upTo - passed));
        passed = upTo;
    };
    for (const TelnetCodec::Event &event : result.events) {
        passOn(event.dataOffset);
        if (session != m_session)
            return;   // a receiver closed the line
        switch (event.kind) {
        case TelnetCodec::Event::ComPortAccepted:
            if (isOpening() && !m_optionAccepted) {
                m_optionAccepted = true;
                requestLineSettings();
                settle();
            }
            break;
        case TelnetCodec::Event::ComPortRefused:
            if (isOpening())
                giveUp(PortError::NoComPortOption);
            break;
        case TelnetCodec::Event::ComPortAnswer:
            answered(event);
            break;
        case TelnetCodec::Event::SubnegotiationTooLong:
            failLine(PortError::OverlongSubnegotiation, QString::number(TelnetCodec::MaxSubnegotiation));
            break;
        }
        if (session != m_session)
            return;
    }
    passOn(result.data.size());
}

void Rfc2217Line::answered(const TelnetCodec::Event &answer)
{
    if (!m_settings.take(answer.command, answer.value)) {
        failLine(PortError::LineSettingsRefused, m_settings.answered());
        return;
    }
    if (answer.command != PurgeData || answer.value != QByteArray(1, char(PurgeReceiveBuffer)) || m_purgesPending == 0)
        return;
    if (--m_purgesPending == 0)
        m_purgeTimer.stop();
    // The server answers in order, before it passes on what the board sends at the new
    // settings: once the purge asked for with them is answered, the line is open, and
    // what follows the answer belongs to it.
    if (m_purgesPending == 0 && m_optionAccepted)
        becomeOpen();
}

void Rfc2217Line::toServer(const QByteArray &data)
{
    writeToConnection(m_telnet.encodeData(data));
}

void Rfc2217Line::requestLineSettings()
{
    for (const ComPortSettings::Request &request : ComPortSettings::requests())
        writeToConnection(TelnetCodec::comPortCommand(request.command, request.value));
    purgeServerInput();
    for (const unsigned char control : {NoFlowControl, DtrOn, RtsOff})
        writeToConnection(TelnetCodec::comPortCommand(SetControl, QByteArray(1, char(control))));
}

void Rfc2217Line::purgeServerInput()
{
    writeToConnection(TelnetCodec::comPortCommand(PurgeData, QByteArray(1, char(PurgeReceiveBuffer))));
    ++m_purgesPending;
    m_purgeTimer.start(PurgeAnswerMs);
}

void Rfc2217Line::discardInput()
{
    TcpLine::discardInput();
    if (isOpen() && m_telnet.comPortAgreed())
        purgeServerInput();
}

OutputDiscard Rfc2217Line::discardOutput()
{
    if (!isOpen())
        return {0, true};
    writeToConnection(TelnetCodec::comPortCommand(PurgeData, QByteArray(1, char(PurgeTransmitBuffer))));
    pacer().restart();
    return {0, false};
}
