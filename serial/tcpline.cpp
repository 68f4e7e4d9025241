#include "tcpline.h"

#include <QTcpSocket>

#include <algorithm>

TcpLine::TcpLine(const QString &portName, const LineAddress &address, QObject *parent)
    : Line(parent)
    , m_portName(portName)
    , m_address(address)
{
    m_openTimer.setSingleShot(true);
    connect(&m_openTimer, &QTimer::timeout, this, &TcpLine::openTimerExpired);
    connect(&m_pacer, &LinePacer::ready, this, &Line::outputReady);
}

TcpLine::~TcpLine()
{
    // Nothing from here may reach the signals' receivers, which may be gone already.
    disconnect(this, nullptr, nullptr, nullptr);
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

bool TcpLine::open(PortError *error)
{
    if (m_state != State::Closed)
        return true;
    m_received.clear();
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, &TcpLine::connected);
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpLine::readable);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpLine::socketError);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { connectionEnded(PortError::ConnectionLost, {}); });
    m_state = State::Connecting;
    m_openTimer.start(m_openTimeoutMs);

    // A failure found at once is told by the return value, not by a signal.
    m_failedAtOnce = {};
    m_inOpen = true;
    m_socket->connectToHost(m_address.host, m_address.port);
    m_inOpen = false;
    if (m_state == State::Closed) {
        if (error)
            *error = m_failedAtOnce;
        return false;
    }
    return true;
}

void TcpLine::connected()
{
    m_state = State::Starting;
    // Paced output goes out in small pieces: send each at once.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    watchConnection();
    startSession();
}

void TcpLine::startSession()
{
    settle();
}

void TcpLine::settle()
{
    restartOpenTimer(SettleMs);
}

void TcpLine::restartOpenTimer(int milliseconds)
{
    m_openTimer.start(std::clamp(m_openTimer.remainingTime(), 0, milliseconds));
}

void TcpLine::sessionTimedOut()
{
    becomeOpen();   // the connection has settled
}

void TcpLine::openTimerExpired()
{
    if (m_state == State::Connecting)
        giveUp(PortError::TimedOut);
    else if (m_state == State::Starting)
        sessionTimedOut();
}

void TcpLine::becomeOpen()
{
    if (m_state != State::Starting)
        return;
    m_openTimer.stop();
    m_state = State::Open;
    m_received.clear();
    m_pacer.restart();
    emit opened();
}

void TcpLine::giveUp(PortError::Kind kind, const QString &system)
{
    if (m_state == State::Closed)
        return;
    PortError error{kind, m_portName, looksLikeLineAddress(m_portName) ? QString() : m_address.text(), system};
    m_openTimer.stop();
    dropConnection(false);
    m_state = State::Closed;
    if (m_inOpen)
        m_failedAtOnce = error;
    else
        emit openFailed(error);
}

void TcpLine::failLine(PortError::Kind kind, const QString &system)
{
    if (m_state != State::Open) {
        giveUp(kind, system);
        return;
    }
    m_pacer.stop();
    dropConnection(false);
    m_state = State::Closed;
    m_received.clear();
    emit failed(m_portName);
}

void TcpLine::readable()
{
    if (!m_socket)
        return;
    const QByteArray bytes = m_socket->readAll();
    if (!bytes.isEmpty())
        fromServer(bytes);
}

void TcpLine::fromServer(const QByteArray &bytes)
{
    deliver(bytes);
}

void TcpLine::deliver(const QByteArray &data)
{
    if (m_state != State::Open || data.isEmpty())
        return;   // what came while opening is stale
    m_received += data;
    emit onComm();
}

void TcpLine::socketError(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        connectionEnded(PortError::HostUnknown, {});
        break;
    case QAbstractSocket::ConnectionRefusedError:
        connectionEnded(PortError::Refused, {});
        break;
    case QAbstractSocket::SocketTimeoutError:
        connectionEnded(PortError::TimedOut, {});
        break;
    case QAbstractSocket::RemoteHostClosedError:
        connectionEnded(PortError::ConnectionLost, {});
        break;
    default:
        connectionEnded(PortError::Other, m_socket ? m_socket->errorString() : QString());
        break;
    }
}

void TcpLine::connectionEnded(PortError::Kind kind, const QString &system)
{
    if (m_state != State::Open) {
        giveUp(kind, system);
        return;
    }
    // What the server sent before it went belongs to the transfer.
    readable();
    if (m_state != State::Open)
        return;   // a receiver closed the line meanwhile
    failLine(kind, system);
}

void TcpLine::dropConnection(bool letOutputDrain)
{
    endSession();
    if (!m_socket)
        return;
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    if (letOutputDrain && socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() > 0) {
        // What was handed over still goes out; a server that takes nothing more is left
        // after the open timeout.
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(OpenTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        socket->disconnectFromHost();
        return;
    }
    if (letOutputDrain)
        socket->disconnectFromHost();
    socket->abort();
    socket->deleteLater();
}

void TcpLine::close()
{
    if (m_state == State::Closed)
        return;
    emit aboutToClose();
    if (m_state == State::Closed)
        return;   // a receiver closed it meanwhile
    const bool wasOpen = m_state == State::Open;
    m_openTimer.stop();
    m_pacer.stop();
    dropConnection(wasOpen);
    m_state = State::Closed;
    m_received.clear();
    emit closed();
}

qint64 TcpLine::inBufferCount() const
{
    return m_received.size();
}

void TcpLine::discardInput()
{
    m_received.clear();
}

QByteArray TcpLine::input()
{
    return std::exchange(m_received, {});
}

void TcpLine::output(const QByteArray &bytes)
{
    if (m_state != State::Open || bytes.isEmpty())
        return;
    m_pacer.sent(bytes.size());
    toServer(bytes);
}

void TcpLine::toServer(const QByteArray &data)
{
    writeToConnection(data);
}

void TcpLine::writeToConnection(const QByteArray &bytes)
{
    if (m_socket && m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->write(bytes);
}

qint64 TcpLine::outputRoom()
{
    return isOpen() ? m_pacer.room(unacknowledged()) : 0;
}

qint64 TcpLine::queuedAhead()
{
    return isOpen() ? m_pacer.queuedAhead(unacknowledged()) : 0;
}

void TcpLine::requestOutputReady()
{
    if (isOpen())
        m_pacer.requestReady(unacknowledged());
}

OutputDiscard TcpLine::discardOutput()
{
    return {0, true};
}

void TcpLine::setPacingBytesPerSecond(qint64 bytesPerSecond)
{
    m_pacer.setBytesPerSecond(bytesPerSecond);
}
