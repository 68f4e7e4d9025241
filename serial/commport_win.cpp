#include "commport.h"

// The port reads what the device gives as it comes: nothing waits past it.
QByteArray CommPort::readDevice()
{
    return {};
}

// What the driver holds is not asked: the port's own count stands for it.
qint64 CommPort::driverQueued() const
{
    return m_port.bytesToWrite();
}

bool CommPort::reportsDriverQueue() const
{
    return false;
}

// A COM port opens for one program at a time: access is denied while another holds it.
PortError::Kind CommPort::refusedKind(const QString &device)
{
    Q_UNUSED(device);
    return PortError::InUse;
}
