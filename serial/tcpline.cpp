#include "tcpline.h"

#include "rfc2217session.h"

#include <algorithm>

TcpLine::TcpLine(const QString &portName, const LineAddress &address, const LineOptions &options, QObject *parent)
    : Line(parent)
    , m_portName(portName)
    , m_address(address)
    , m_openTimeoutMs(options.openTimeoutMs)
{
    m_pacer.setBytesPerSecond(options.pacingBytesPerSecond);
    m_openTimer.setSingleShot(true);
    connect(&m_openTimer, &QTimer::timeout, this, &TcpLine::openTimerExpired);
    connect(&m_pacer, &LinePacer::ready, this, &Line::outputReady);
    connect(&m_connection, &TcpConnection::connected, this, &TcpLine::connected);
    connect(&m_connection, &TcpConnection::arrived, this, &TcpLine::arrived);
    connect(&m_connection, &TcpConnection::ended, this, &TcpLine::connectionEnded);
}

TcpLine::~TcpLine()
{
    // Nothing from here may reach the signals' receivers, which may be gone already.
    disconnect(this, nullptr, nullptr, nullptr);
    m_connection.disconnect(this);
}

Line::State TcpLine::state() const
{
    switch (m_phase) {
    case Phase::Closed:
        return State::Closed;
    case Phase::Open:
        return State::Open;
    default:
        return State::Opening;
    }
}

bool TcpLine::open(PortError *error)
{
    if (m_phase != Phase::Closed)
        return true;
    m_phase = Phase::Connecting;
    m_openTimer.start(m_openTimeoutMs);

    // A failure found at once is told by the return value, not by a signal.
    m_failedAtOnce = {};
    m_inOpen = true;
    m_connection.connectTo(m_address.host, m_address.port);
    m_inOpen = false;
    if (m_phase == Phase::Closed) {
        if (error)
            *error = m_failedAtOnce;
        return false;
    }
    return true;
}

void TcpLine::connected()
{
    m_phase = Phase::Starting;
    if (m_address.protocol != LineAddress::Rfc2217) {
        restartOpenTimer(SettleMs);
        return;
    }
    m_optionAccepted = false;
    m_rfc2217 = std::make_unique<Rfc2217Session>([this](const QByteArray &bytes) { m_connection.write(bytes); });
    // The server answers within a round trip, a refusal too.
    restartOpenTimer(OptionAnswerMs);
}

void TcpLine::restartOpenTimer(int milliseconds)
{
    m_openTimer.start(std::clamp(m_openTimer.remainingTime(), 0, milliseconds));
}

// The open timeout, or the time to settle, ran out.
void TcpLine::openTimerExpired()
{
    if (m_phase == Phase::Connecting)
        giveUp(PortError::TimedOut);
    else if (m_phase == Phase::Starting && (!m_rfc2217 || m_optionAccepted))
        becomeOpen();   // settled (with RFC 2217: although the purge was not answered)
    else if (m_phase == Phase::Starting)
        giveUp(PortError::NoComPortOption);
}

void TcpLine::becomeOpen()
{
    if (m_phase != Phase::Starting)
        return;
    m_openTimer.stop();
    m_phase = Phase::Open;
    m_pacer.restart();
    emit opened();
}

void TcpLine::giveUp(PortError::Kind kind, const QString &system)
{
    if (m_phase == Phase::Closed)
        return;
    PortError error{kind, m_portName, looksLikeLineAddress(m_portName) ? QString() : m_address.text(), {0, system}};
    m_openTimer.stop();
    dropConnection(false);
    m_phase = Phase::Closed;
    if (m_inOpen)
        m_failedAtOnce = error;
    else
        emit openFailed(error);
}

void TcpLine::arrived(const QByteArray &bytes)
{
    if (!m_rfc2217)
        deliver(bytes);
    else if (m_phase == Phase::Open)
        takeOpen(m_rfc2217->fromServer(bytes));
    else
        negotiate(bytes);
}

void TcpLine::takeOpen(const Rfc2217Session::Parsed &parsed)
{
    deliver(parsed.data);
    if (parsed.failure != PortError::None && m_phase == Phase::Open)
        failLine();
}

void TcpLine::negotiate(const QByteArray &bytes)
{
    // What the board sent before the line opened is stale, as on a device.
    const Rfc2217Session::Parsed parsed = m_rfc2217->fromServer(bytes);
    if (parsed.failure != PortError::None) {
        giveUp(parsed.failure, parsed.failureDetail);
        return;
    }
    if (parsed.optionRefused) {
        giveUp(PortError::NoComPortOption);
        return;
    }
    if (parsed.optionAccepted && !m_optionAccepted) {
        m_optionAccepted = true;
        m_rfc2217->requestLineSettings();
        restartOpenTimer(SettleMs);
    }
    if (parsed.settledAt < 0 || !m_optionAccepted)
        return;
    becomeOpen();
    // The server answers before it passes on what the board sends at the new settings:
    // what follows the answer in the same piece belongs to the open line.
    deliver(parsed.data.mid(parsed.settledAt));
}

void TcpLine::deliver(const QByteArray &data)
{
    if (m_phase != Phase::Open || data.isEmpty())
        return;   // what came while opening is stale
    emit received(data);
}

void TcpLine::connectionEnded(PortError::Kind kind, const QString &system)
{
    if (m_phase != Phase::Open) {
        giveUp(kind, system);
        return;
    }
    // What the server sent before it went belongs to the transfer.
    m_connection.readPending();
    if (m_phase != Phase::Open)
        return;   // a receiver closed the line meanwhile
    failLine();
}

void TcpLine::failLine()
{
    m_pacer.stop();
    dropConnection(false);
    m_phase = Phase::Closed;
    emit failed(m_portName);
}

void TcpLine::discardInput()
{
    if (m_rfc2217 && m_phase == Phase::Open)
        m_rfc2217->purgeInput();
}

void TcpLine::dropConnection(bool letOutputDrain)
{
    m_rfc2217.reset();
    m_connection.drop(letOutputDrain);
}

void TcpLine::close()
{
    if (m_phase == Phase::Closed)
        return;
    emit aboutToClose();
    if (m_phase == Phase::Closed)
        return;   // a receiver closed it meanwhile
    const bool wasOpen = m_phase == Phase::Open;
    m_openTimer.stop();
    m_pacer.stop();
    dropConnection(wasOpen);
    m_phase = Phase::Closed;
    emit closed();
}

void TcpLine::output(const QByteArray &bytes)
{
    if (m_phase != Phase::Open || bytes.isEmpty())
        return;
    m_pacer.sent(bytes.size());
    if (m_rfc2217)
        m_rfc2217->send(bytes);
    else
        m_connection.write(bytes);
}

qint64 TcpLine::outputRoom()
{
    return isOpen() ? m_pacer.room(m_connection.unacknowledged()) : 0;
}

qint64 TcpLine::queuedAhead()
{
    return isOpen() ? m_pacer.queuedAhead(m_connection.unacknowledged()) : 0;
}

void TcpLine::requestOutputReady()
{
    if (isOpen())
        m_pacer.requestReady(m_connection.unacknowledged());
}

OutputDiscard TcpLine::discardOutput()
{
    if (!isOpen() || !m_rfc2217)
        return {0, true};
    m_rfc2217->purgeOutput();
    m_pacer.restart();
    return {0, false};
}
