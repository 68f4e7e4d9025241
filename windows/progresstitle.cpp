#include "progresstitle.h"

#include <QWidget>

ProgressTitle::ProgressTitle(QWidget &window)
    : QObject(&window)
    , m_window(window)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ProgressTitle::applyPending);
}

void ProgressTitle::show(const QString &title)
{
    m_pending = title;
    if (m_timer.isActive())
        return;
    if (m_clock.isValid() && m_clock.elapsed() < IntervalMs) {
        m_timer.start(int(IntervalMs - m_clock.elapsed()));
        return;
    }
    applyPending();
}

void ProgressTitle::applyPending()
{
    m_window.setWindowTitle(m_pending);
    m_clock.start();
}

void ProgressTitle::restore(const QString &idleTitle)
{
    if (m_timer.isActive()) {
        m_timer.stop();
        applyPending();
    }
    m_window.setWindowTitle(idleTitle);
}
