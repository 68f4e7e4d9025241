#include "commport.h"

#include "comportmap.h"
#include "systemerror.h"

#include <QFileInfo>

namespace {

bool isFatal(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::ResourceError:
    case QSerialPort::UnknownError:
        return true;
    default:
        return false;
    }
}

} // namespace

CommPort::CommPort(const LineOptions &options, QObject *parent)
    : Line(parent)
{
    m_pacer.setBytesPerSecond(options.pacingBytesPerSecond);
    connect(&m_pacer, &LinePacer::ready, this, &Line::outputReady);
    connect(&m_batcher, &InputBatcher::arrived, this, &Line::received);
    connect(&m_port, &QSerialPort::errorOccurred, this, &CommPort::handleError);
}

CommPort::~CommPort()
{
    // Closing here must not reach the signal's receivers, which may be gone already.
    disconnect(this, nullptr, nullptr, nullptr);
    m_port.close();
}

bool CommPort::open(PortError *error)
{
    if (m_port.isOpen())
        return true;

    const QString device = m_devicePath.isEmpty() ? ComPortMap::resolvedDevicePath(m_commPort)
                                                  : QFileInfo(m_devicePath).canonicalFilePath();
    if (device.isEmpty()) {
        if (error)
            *error = {PortError::Missing, portName(), m_devicePath.isEmpty() ? devicePath() : QString(), {}};
        return false;
    }

    m_port.setPortName(device);
    m_port.setBaudRate(BaudRate);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setReadBufferSize(0);   // never drop what the board sends
    m_batcher.reset();

    if (!m_port.open(QIODevice::ReadWrite)) {
        const int systemCode = lastSystemError().code;   // before anything else can change it
        if (error) {
            *error = {PortError::Other, portName(), device, {systemCode, m_port.errorString()}};
            if (m_port.error() == QSerialPort::DeviceNotFoundError)
                error->kind = PortError::Missing;
            else if (m_port.error() == QSerialPort::PermissionError)
                error->kind = refusedKind(device);
        }
        m_port.clearError();
        return false;
    }

    // Modem lines: not every device has them (a pseudo-terminal has none), and a missing
    // one is no reason to refuse the port.
    m_port.setDataTerminalReady(true);
    m_port.setRequestToSend(false);
    m_port.clearError();

    // Bytes that came in before we opened the port belong to nobody.
    m_port.clear(QSerialPort::AllDirections);
    m_driverQueueKnown = reportsDriverQueue();
    m_pacer.restart();
    emit opened();
    return true;
}

void CommPort::close()
{
    if (!m_port.isOpen())
        return;
    emit aboutToClose();
    if (!m_port.isOpen())
        return;   // a receiver closed it meanwhile
    m_pacer.stop();
    m_batcher.reset();
    // What a transfer has handed over is part of its stream: let the driver have it
    // before the port goes (it is never more than about 100 ms of line time).
    if (m_port.bytesToWrite() > 0)
        m_port.flush();
    m_port.close();
    emit closed();
}

Line::State CommPort::state() const
{
    return m_port.isOpen() ? State::Open : State::Closed;
}

void CommPort::setPromptInput(bool prompt)
{
    m_batcher.setPrompt(prompt);
}

void CommPort::discardInput()
{
    if (m_port.isOpen())
        m_port.clear(QSerialPort::Input);
}

void CommPort::output(const QByteArray &bytes)
{
    if (!m_port.isOpen() || bytes.isEmpty())
        return;
    m_pacer.sent(bytes.size());
    m_port.write(bytes);
}

qint64 CommPort::queuedAhead()
{
    return m_port.isOpen() ? m_pacer.queuedAhead(driverQueued()) : 0;
}

qint64 CommPort::outputRoom()
{
    return m_port.isOpen() ? m_pacer.room(driverQueued()) : 0;
}

void CommPort::requestOutputReady()
{
    if (m_port.isOpen())
        m_pacer.requestReady(driverQueued());
}

OutputDiscard CommPort::discardOutput()
{
    if (!m_port.isOpen())
        return {};
    // The driver is held while what it holds is read and dropped: nothing leaves in
    // between, so the count of what went is exact. Where it cannot be held, or cannot
    // tell, only what never reached it is sure not to go.
    const bool held = m_driverQueueKnown && holdOutput(true);
    const OutputDiscard dropped =
        held ? OutputDiscard{driverQueued(), true} : OutputDiscard{m_port.bytesToWrite(), false};
    m_port.clear(QSerialPort::Output);
    if (held)
        holdOutput(false);
    m_pacer.restart();
    return dropped;
}

void CommPort::handleError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || !m_port.isOpen())
        return;
    if (!isFatal(error)) {
        m_port.clearError();
        return;
    }
    // A port whose device went away keeps raising errors at full speed until it is
    // closed: close it at once. But first take what the device still gives: at a hang-up
    // the system throws away what nobody has read, and the last bytes of an upload may be
    // among them.
    //
    // The system's error is the reason only where a write failed, or the port could not
    // tell what happened. A device that went away (ResourceError), or a read that found
    // the line hung up, is told in our own words: the message is often stale then
    // ("Inappropriate ioctl for device" after a hang-up).
    PortError why{PortError::Missing, portName(), {}, {}};
    if (error == QSerialPort::WriteError || error == QSerialPort::UnknownError)
        why = {PortError::Other, portName(), {}, {0, m_port.errorString()}};   // errno has moved on
    m_port.clearError();
    m_pacer.stop();
    const QByteArray last = drainInput();
    if (!last.isEmpty())
        emit received(last);
    if (!m_port.isOpen())
        return;   // a receiver closed it meanwhile
    m_batcher.reset();
    m_port.close();
    emit failed(why);
}

QByteArray CommPort::drainInput()
{
    m_batcher.release();
    return m_port.readAll() + readDevice();
}
