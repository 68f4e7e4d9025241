#include "boardstation.h"

#include "transfersession.h"

#include <utility>

bool StationState::operator==(const StationState &other) const
{
    return line == other.line && port == other.port && port.name == other.port.name && address == other.address
        && error.kind == other.error.kind && error.port == other.error.port && error.device == other.error.device
        && error.system.code == other.error.system.code && error.system.text == other.error.system.text
        && error.addressProblem == other.error.addressProblem
        && downloading == other.downloading && uploading == other.uploading;
}

BoardStation::BoardStation(Board board, QObject *parent)
    : QObject(parent)
    , m_selected(std::make_unique<SelectedLine>())
    , m_line(*m_selected)
{
    makeSession(board);
}

BoardStation::BoardStation(Board board, Line &line, QObject *parent)
    : QObject(parent)
    , m_line(line)
{
    makeSession(board);
}

BoardStation::~BoardStation()
{
    // The session goes before its line, and tells nobody.
    disconnect(this, nullptr, nullptr, nullptr);
    m_session.reset();
}

Board BoardStation::board() const
{
    return m_session->board();
}

void BoardStation::setBoard(Board board)
{
    if (board != m_session->board())
        makeSession(board);
}

void BoardStation::makeSession(Board board)
{
    m_session = std::make_unique<TransferSession>(board, m_line);
    connect(m_session.get(), &TransferSession::finished, this, &BoardStation::report);
    connect(m_session.get(), &TransferSession::portLost, this, [this] {
        m_condition = Condition::Lost;
        report();
    });
    // The session hears of the line first: a transfer that waited for an opening that
    // failed has ended before the station opens its port in force again.
    disconnect(&m_line, nullptr, this, nullptr);
    connect(&m_line, &Line::opened, this, &BoardStation::lineOpened);
    connect(&m_line, &Line::openFailed, this, &BoardStation::lineOpenFailed);
    connect(&m_line, &Line::closed, this, &BoardStation::report);
    connect(&m_line, &Line::failed, this, &BoardStation::report);
}

void BoardStation::startDownload(const QString &path)
{
    m_session->startDownload(path);
    report();
}

void BoardStation::startUpload(const QString &path)
{
    m_session->startUpload(path);
    report();
}

void BoardStation::setLinePort(const PortChoice &port)
{
    if (m_selected)
        m_selected->setPort(port);
}

void BoardStation::apply(const PortChoice &choice)
{
    if (choice.isNone())
        return;
    m_applying = {};
    m_line.close();
    m_condition = Condition::None;
    setLinePort(choice);
    m_applying = choice;
    m_ownOpening = true;
    PortError error;
    if (!m_line.open(&error)) {
        applyFailed(error);
        return;
    }
    // A device has opened by now (and said so); a board on the network answers later,
    // with lineOpened() or lineOpenFailed().
    if (!m_applying.isNone() && m_line.isOpen())
        lineOpened();
    else
        report();
}

void BoardStation::select(const PortChoice &choice)
{
    if (m_line.isOpen() || m_line.isOpening())
        return;
    m_applying = {};
    m_port = choice;
    setLinePort(choice);
    m_condition = Condition::None;
    report();
}

void BoardStation::lineOpened()
{
    m_ownOpening = false;
    m_condition = Condition::None;
    if (!m_applying.isNone()) {
        m_port = std::exchange(m_applying, {});
        report();
        emit applied(m_port, {});
        return;
    }
    report();
}

void BoardStation::lineOpenFailed(const PortError &error)
{
    if (!m_applying.isNone()) {
        applyFailed(error);
        return;
    }
    // A transfer's own opening is told by the transfer.
    if (std::exchange(m_ownOpening, false)) {
        m_condition = Condition::Failed;
        m_error = error;
    }
    report();
}

// Back to the port in force, open again unless it is set aside.
void BoardStation::applyFailed(const PortError &error)
{
    const PortChoice tried = std::exchange(m_applying, {});
    m_ownOpening = false;
    setLinePort(m_port);
    if (!m_setAside && !m_port.isNone())
        openOwn();
    else
        report();
    emit applied(tried, error);
}

void BoardStation::open()
{
    if (m_line.isOpen() || m_line.isOpening())
        return;
    openOwn();
}

void BoardStation::openOwn()
{
    m_condition = Condition::None;
    m_ownOpening = true;
    PortError error;
    if (!m_line.open(&error)) {
        m_ownOpening = false;
        m_condition = Condition::Failed;
        m_error = error;
    } else if (m_line.isOpen()) {
        m_ownOpening = false;
    }
    report();
}

void BoardStation::close()
{
    if (!m_applying.isNone()) {
        m_applying = {};
        m_line.close();
        setLinePort(m_port);
    }
    m_ownOpening = false;
    m_condition = Condition::None;
    m_line.close();
    report();
}

void BoardStation::setAside()
{
    m_setAside = true;
    close();
}

void BoardStation::resume()
{
    m_setAside = false;
    if (!m_applying.isNone())
        close();
    open();
}

void BoardStation::report()
{
    StationState now;
    now.port = m_applying.isNone() ? m_port : m_applying;
    if (m_line.isOpen())
        now.line = StationState::Open;
    else if (m_line.isOpening())
        now.line = StationState::Opening;
    else if (m_condition == Condition::Failed)
        now.line = StationState::Failed;
    else if (m_condition == Condition::Lost)
        now.line = StationState::Lost;
    if (now.line == StationState::Failed)
        now.error = m_error;
    now.address = m_line.networkAddress();
    now.downloading = m_session->isRunning(Direction::Download);
    now.uploading = m_session->isRunning(Direction::Upload);
    if (now == m_state)
        return;
    m_state = now;
    emit stateChanged(m_state);
}
