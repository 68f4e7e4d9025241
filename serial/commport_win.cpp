#include "commport.h"

#include "inputbatcher.h"
#include "systemerror.h"

#include <utility>

// The device is a ComDevice (Win32, overlapped). Input comes in batches as on Linux (see
// InputBatcher for the paces): after a batch no read is under way until the next one is
// due, and meanwhile the bytes wait in the driver. A read started when nothing waits takes
// the first byte to come, so the first bytes after a quiet spell are announced at once.

namespace {

PortError::Kind refusal(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return PortError::Missing;
    case ERROR_ACCESS_DENIED:       // a COM port opens for one program at a time
    case ERROR_SHARING_VIOLATION:
        return PortError::InUse;
    default:
        return PortError::Other;
    }
}

} // namespace

CommPort::CommPort(const LineOptions &options, QObject *parent)
    : Line(parent)
{
    m_pacer.setBytesPerSecond(options.pacingBytesPerSecond);
    m_batchTimer.setSingleShot(true);
    connect(&m_batchTimer, &QTimer::timeout, this, &CommPort::readNext);
    connect(&m_pacer, &LinePacer::ready, this, &Line::outputReady);
    connect(&m_device, &ComDevice::arrived, this, &CommPort::handleArrived);
    connect(&m_device, &ComDevice::failed, this, &CommPort::handleFailure);
}

CommPort::~CommPort()
{
    // Closing here must not reach the signal's receivers, which may be gone already.
    disconnect(this, nullptr, nullptr, nullptr);
    m_device.close();
}

bool CommPort::open(PortError *error)
{
    if (m_device.isOpen())
        return true;
    const QString device = m_devicePath.isEmpty() ? ComPortMap::resolvedDevicePath(m_commPort) : m_devicePath;
    const DWORD code = m_device.open(device);
    if (code != ERROR_SUCCESS) {
        if (error)
            *error = {refusal(code), portName(), device, systemError(int(code))};
        return false;
    }
    m_lastTake.invalidate();
    m_pacer.restart();
    m_device.startRead();
    emit opened();
    return true;
}

void CommPort::close()
{
    if (!m_device.isOpen())
        return;
    emit aboutToClose();
    if (!m_device.isOpen())
        return;   // a receiver closed it meanwhile
    m_pacer.stop();
    m_batchTimer.stop();
    m_device.close();
    emit closed();
}

Line::State CommPort::state() const
{
    return m_device.isOpen() ? State::Open : State::Closed;
}

// What waits in the driver; a read under way takes only what comes after.
void CommPort::discardInput()
{
    m_device.purgeInput();
}

void CommPort::setPromptInput(bool prompt)
{
    m_prompt = prompt;
    if (prompt && m_batchTimer.isActive()) {
        m_batchTimer.stop();
        readNext();
    }
}

void CommPort::output(const QByteArray &bytes)
{
    if (!m_device.isOpen() || bytes.isEmpty())
        return;
    m_pacer.sent(bytes.size());
    m_device.write(bytes);
}

qint64 CommPort::queuedAhead()
{
    return m_device.isOpen() ? m_pacer.queuedAhead(m_device.pendingOutput()) : 0;
}

qint64 CommPort::outputRoom()
{
    return m_device.isOpen() ? m_pacer.room(m_device.pendingOutput()) : 0;
}

void CommPort::requestOutputReady()
{
    if (m_device.isOpen())
        m_pacer.requestReady(m_device.pendingOutput());
}

OutputDiscard CommPort::discardOutput()
{
    if (!m_device.isOpen())
        return {};
    const OutputDiscard dropped = m_device.discardOutput();
    m_pacer.restart();
    return dropped;
}

void CommPort::handleArrived(const QByteArray &bytes)
{
    // Pieces that come close together are taken at the batch pace; a piece after a pause
    // is taken at once in a transfer that needs every byte promptly.
    const bool soon = m_lastTake.isValid() && m_lastTake.elapsed() < InputBatcher::PromptIntervalMs;
    m_lastTake.start();
    if (m_prompt && !soon)
        readNext();
    else
        m_batchTimer.start(m_prompt ? InputBatcher::PromptIntervalMs : InputBatcher::IntervalMs);
    emit received(bytes);
}

void CommPort::readNext()
{
    m_device.startRead();
}

// A read or a write failed: nothing more comes from the device. One that went away
// (unplugged, the other end closed, a device no longer there: drivers differ in the code
// they give) is told in our own words; any other failure with the system's.
void CommPort::handleFailure(DWORD code)
{
    if (!m_device.isOpen())
        return;
    const bool wentAway = systemReasonOf(int(code)) == SystemReason::NoDevice || code == ERROR_BROKEN_PIPE
                          || code == ERROR_DEVICE_REMOVED || code == ERROR_GEN_FAILURE || code == ERROR_BAD_COMMAND
                          || code == ERROR_ACCESS_DENIED || code == ERROR_FILE_NOT_FOUND;
    const PortError why = wentAway ? PortError{PortError::Missing, portName(), {}, {}}
                                   : PortError{PortError::Other, portName(), {}, systemError(int(code))};
    m_pacer.stop();
    m_batchTimer.stop();
    m_device.close();
    emit failed(why);
}
