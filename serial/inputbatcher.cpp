#include "inputbatcher.h"

#include <QSerialPort>
#include <QSocketNotifier>

#include <utility>

InputBatcher::InputBatcher(QSerialPort &port, std::function<QByteArray()> readDevice, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_readDevice(std::move(readDevice))
{
    connect(&m_timer, &QTimer::timeout, this, &InputBatcher::nextBatch);
    connect(&m_port, &QSerialPort::readyRead, this, &InputBatcher::take);
}

void InputBatcher::reset()
{
    m_timer.stop();
    m_held = false;
    m_lastTake.invalidate();
}

void InputBatcher::take()
{
    if (m_taking || m_held || !m_port.isOpen())
        return;
    m_taking = true;
    const QByteArray fresh = m_port.readAll();
    m_taking = false;
    if (fresh.isEmpty())
        return;
    if (!m_prompt || (m_lastTake.isValid() && m_lastTake.elapsed() < PromptIntervalMs))
        hold();
    m_lastTake.start();
    emit arrived(fresh);
}

void InputBatcher::setPrompt(bool prompt)
{
    m_prompt = prompt;
    if (prompt)
        nextBatch();
}

// Batches come at a steady pace while the line is busy.
void InputBatcher::hold()
{
    watchDevice(false);   // again too: reading the port's buffer sets it watching
    m_held = true;
    const int interval = m_prompt ? PromptIntervalMs : IntervalMs;
    if (!m_timer.isActive() || m_timer.interval() != interval)
        m_timer.start(interval);
}

// What came meanwhile is the next batch, and the line stays held while it is busy; when
// nothing came, the next bytes are announced as they come.
void InputBatcher::nextBatch()
{
    if (!m_held || !m_port.isOpen())
        return;
    QByteArray fresh = m_port.bytesAvailable() > 0 ? m_port.readAll() : QByteArray();
    fresh += m_readDevice();
    if (fresh.isEmpty()) {
        release();
        return;
    }
    hold();
    m_lastTake.start();
    emit arrived(fresh);
}

void InputBatcher::release()
{
    m_timer.stop();
    if (!m_held)
        return;
    m_held = false;
    watchDevice(true);
}

void InputBatcher::watchDevice(bool watch)
{
    for (QSocketNotifier *notifier : m_port.findChildren<QSocketNotifier *>(Qt::FindDirectChildrenOnly)) {
        if (notifier->type() == QSocketNotifier::Read)
            notifier->setEnabled(watch);
    }
}
