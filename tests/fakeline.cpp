#include "fakeline.h"

#include <utility>

bool FakeLine::open(PortError *error)
{
    if (m_state != State::Closed)
        return true;
    if (refusal.kind != PortError::None) {
        if (error)
            *error = refusal;
        return false;
    }
    m_state = State::Opening;
    if (!opensLater)
        finishOpening();
    return true;
}

void FakeLine::finishOpening(const PortError &error)
{
    if (m_state != State::Opening)
        return;
    m_state = error.kind == PortError::None ? State::Open : State::Closed;
    if (isOpen())
        emit opened();
    else
        emit openFailed(error);
}

// What was handed over still goes out, as a driver's close lets it.
void FakeLine::close()
{
    if (m_state == State::Closed)
        return;
    emit aboutToClose();
    m_wire += std::exchange(m_queue, {});
    m_state = State::Closed;
    m_readyArmed = false;
    emit closed();
}

void FakeLine::drop()
{
    if (!isOpen())
        return;
    m_queue.clear();
    m_state = State::Closed;
    m_readyArmed = false;
    emit failed(portName());
}

void FakeLine::send(const QByteArray &bytes)
{
    if (isOpen())
        emit received(bytes);
}

void FakeLine::output(const QByteArray &bytes)
{
    if (!isOpen())
        return;
    m_queue += bytes;
    m_mostQueued = std::max(m_mostQueued, m_queue.size());
}

OutputDiscard FakeLine::discardOutput()
{
    return {std::exchange(m_queue, {}).size(), exactDiscard};
}

void FakeLine::advance(int milliseconds)
{
    for (int elapsed = 0; elapsed < milliseconds; elapsed += TickMs) {
        if (m_stalled || !isOpen())
            continue;
        m_credit += m_rate * TickMs;
        const qsizetype due = std::min<qsizetype>(m_queue.size(), m_credit / 1000);
        m_credit = m_queue.size() > due ? m_credit - due * 1000 : 0;   // an idle line saves up nothing
        m_wire += m_queue.left(due);
        m_queue.remove(0, due);
        if (m_readyArmed && m_queue.size() <= Room / 2) {
            m_readyArmed = false;
            emit outputReady();
        }
    }
}

bool FakeLine::advanceUntil(const std::function<bool()> &done, int limitMs)
{
    for (int elapsed = 0; elapsed < limitMs && !done(); elapsed += TickMs)
        advance(TickMs);
    return done();
}
