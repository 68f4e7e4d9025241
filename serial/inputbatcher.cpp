#include "inputbatcher.h"

#include <QSerialPort>

InputBatcher::InputBatcher(QSerialPort &port, QObject *parent)
    : QObject(parent)
    , m_port(port)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &InputBatcher::nextBatch);
    connect(&m_port, &QSerialPort::readyRead, this, &InputBatcher::take);
}

void InputBatcher::reset()
{
    m_timer.stop();
    m_held = false;
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
    if (!m_prompt)
        hold();
    emit arrived(fresh);
}

void InputBatcher::setPrompt(bool prompt)
{
    m_prompt = prompt;
    if (prompt)
        nextBatch();
}

void InputBatcher::hold()
{
    m_port.ungetChar('\0');
    m_port.setReadBufferSize(1);
    m_held = true;
    m_timer.start(IntervalMs);
}

// What waits in the driver comes as the next batch at once; when nothing waits, the next
// bytes are announced as they come.
void InputBatcher::nextBatch()
{
    if (!m_held || !m_port.isOpen())
        return;
    release();
    m_port.waitForReadyRead(0);
}

void InputBatcher::release()
{
    m_timer.stop();
    if (!m_held)
        return;
    m_held = false;
    m_port.setReadBufferSize(0);
    char byte;
    m_port.getChar(&byte);
    // The read from the now empty buffer restarts the port's reading of the device. It
    // gives nothing; should a port hand over a byte here, it is kept all the same.
    if (m_port.read(&byte, 1) == 1)
        emit arrived(QByteArray(1, byte));
}
