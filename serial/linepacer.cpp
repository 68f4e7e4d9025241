#include "linepacer.h"

#include <algorithm>

namespace {

constexpr qint64 NanosecondsPerSecond = 1'000'000'000;
// How soon to look again while the line's own queue is longer than the clock says.
constexpr int RecheckMs = 10;

} // namespace

LinePacer::LinePacer(QObject *parent)
    : QObject(parent)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &LinePacer::ready);
}

void LinePacer::setBytesPerSecond(qint64 bytesPerSecond)
{
    m_rate = std::max<qint64>(1, bytesPerSecond);
}

void LinePacer::restart()
{
    m_lineFreeAtNs = m_clock.nsecsElapsed();
}

void LinePacer::sent(qint64 bytes)
{
    if (bytes <= 0)
        return;
    const qint64 now = m_clock.nsecsElapsed();
    m_lineFreeAtNs = std::max(m_lineFreeAtNs, now) + bytes * NanosecondsPerSecond / m_rate;
}

qint64 LinePacer::clockQueued() const
{
    const qint64 ahead = m_lineFreeAtNs - m_clock.nsecsElapsed();
    if (ahead <= 0)
        return 0;
    return (ahead * m_rate + NanosecondsPerSecond - 1) / NanosecondsPerSecond;
}

qint64 LinePacer::queuedAhead(qint64 seenQueued) const
{
    return std::max(clockQueued(), seenQueued);
}

qint64 LinePacer::room(qint64 seenQueued) const
{
    return std::max<qint64>(0, QueueAhead - queuedAhead(seenQueued));
}

void LinePacer::requestReady(qint64 seenQueued)
{
    if (m_timer.isActive())
        return;
    const qint64 lowWater = QueueAhead / 2;
    const qint64 byClock = clockQueued();
    int waitMs = RecheckMs;
    if (byClock >= seenQueued) {
        const qint64 toDrain = std::max<qint64>(0, byClock - lowWater);
        waitMs = int((toDrain * 1000 + m_rate - 1) / m_rate);
    }
    m_timer.start(std::max(waitMs, 1));
}

void LinePacer::stop()
{
    m_timer.stop();
}
