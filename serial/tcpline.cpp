#include "tcpline.h"

#include "rfc2217session.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr char Iac = char(0xFF);

// Whether `bytes` begin with `commands` telnet commands that only a telnet server sends
// first: IAC followed by WILL, WONT, DO, DONT or SB, and the option. Undecided (nullopt)
// while there are too few bytes to tell.
std::optional<bool> beginsWithTelnet(const QByteArray &bytes, int commands)
{
    for (int i = 0; i < 3 * commands; i += 3) {
        if (bytes.size() <= i)
            return std::nullopt;
        if (bytes[i] != Iac)
            return false;
        if (bytes.size() <= i + 1)
            return std::nullopt;
        const auto verb = static_cast<unsigned char>(bytes[i + 1]);
        if (verb < 0xFA || verb > 0xFE)
            return false;
    }
    return bytes.size() >= 3 * commands ? std::optional<bool>(true) : std::nullopt;
}

// What a server said, for a reason: on one line, cut to `limit` characters. (Its control
// characters are left for the text that shows it to escape.)
QString serverSaid(const QByteArray &bytes, int limit)
{
    QStringList lines = QString::fromUtf8(bytes).split(QRegularExpression(QStringLiteral("[\\r\\n]+")));
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    QString said = lines.join(QLatin1Char(' '));
    if (said.size() > limit)
        said = said.left(limit - 1) + QChar(0x2026);
    return said;
}

} // namespace

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
    m_heard.clear();
    m_firstBytes.clear();
    m_firstBytesJudged = false;

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
    m_sinceConnected.start();
    if (m_address.protocol != LineAddress::Rfc2217) {
        restartOpenTimer(SettleMs);
        return;
    }
    m_optionAccepted = false;
    m_rfc2217 = std::make_unique<Rfc2217Session>([this](const QByteArray &bytes) { m_connection.write(bytes); });
    // The server answers within a round trip, a refusal too: however long that is on the
    // way to it, the open timeout decides.
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
    if (kind == PortError::ConnectionLost && system.isEmpty() && !m_heard.isEmpty())
        error.serverSaid = serverSaid(m_heard, SaidLimit);   // the server's own explanation
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
    if (!m_rfc2217) {
        QByteArray data = bytes;
        if (rawStartIsData(data))
            deliver(data);
    } else if (m_phase == Phase::Open)
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
    deliver(parsed.data.left(parsed.settledAt >= 0 ? parsed.settledAt : parsed.data.size()));
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
        // The answer takes a round trip, which is at least twice what the server's first
        // words took to come (on a slow network far more than SettleMs).
        restartOpenTimer(SettleMs + 2 * int(std::min<qint64>(m_sinceConnected.elapsed(), m_openTimeoutMs)));
    }
    if (parsed.settledAt < 0 || !m_optionAccepted)
        return;
    becomeOpen();
    // The server answers before it passes on what the board sends at the new settings:
    // what follows the answer in the same piece belongs to the open line.
    deliver(parsed.data.mid(parsed.settledAt));
}

bool TcpLine::rawStartIsData(QByteArray &bytes)
{
    if (m_firstBytesJudged)
        return true;
    m_firstBytes += bytes;
    // While the line opens, the board has no reason to send: one command tells. Once it is
    // open, the board's data may begin so (an 8052 upload of 65530 bytes: FF FA): two
    // commands in a row are a server's.
    const std::optional<bool> telnet = beginsWithTelnet(m_firstBytes, m_phase == Phase::Open ? 2 : 1);
    if (!telnet)
        return false;   // held until the next bytes tell
    m_firstBytesJudged = true;
    bytes = std::exchange(m_firstBytes, {});
    if (!*telnet)
        return true;
    // A telnet server: its negotiation would be taken for the board's data.
    if (m_phase != Phase::Open)
        giveUp(PortError::TelnetServer);
    else
        failLine();
    return false;
}

void TcpLine::deliver(const QByteArray &data)
{
    if (data.isEmpty())
        return;
    if (m_phase != Phase::Open) {
        // What came while opening is stale; the start is kept for a reason, should the
        // server close the connection.
        m_heard += data.left(HeardLimit - m_heard.size());
        return;
    }
    emit received(data);
}

void TcpLine::connectionEnded(PortError::Kind kind, const QString &system)
{
    if (m_phase != Phase::Open) {
        m_connection.readPending();   // what the server said before it went
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
