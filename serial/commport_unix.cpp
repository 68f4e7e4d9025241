#include "commport.h"

#include <QFileInfo>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/sysmacros.h>
#endif

qint64 CommPort::driverQueued() const
{
    qint64 queued = m_port.bytesToWrite();
    int inDriver = 0;
    if (m_port.handle() >= 0 && ::ioctl(m_port.handle(), TIOCOUTQ, &inDriver) == 0 && inDriver > 0)
        queued += inDriver;
    return queued;
}

// Held, the driver sends nothing (a UART's transmitter stops; what its FIFO took already
// goes, but the driver no longer counts it) until it is let go.
bool CommPort::holdOutput(bool hold)
{
    return m_port.handle() >= 0 && ::tcflow(m_port.handle(), hold ? TCOOFF : TCOON) == 0;
}

// Only a UART of the kernel's serial core counts exactly what it holds and drops all of it
// at a flush: ttyS (device major 4) and the low-density serial ports such as ttyAMA
// (204). A pseudo-terminal keeps no queue (TIOCOUTQ reads 0 however much is on its way);
// a USB adapter counts what it has handed to the USB layer, which a flush does not drop
// (ttyUSB), or whole transfer buffers (ttyACM): their counts are upper bounds.
bool CommPort::reportsDriverQueue() const
{
#ifdef Q_OS_LINUX
    struct stat status {};
    if (m_port.handle() < 0 || ::fstat(m_port.handle(), &status) != 0 || !S_ISCHR(status.st_mode))
        return false;
    const unsigned int kind = major(status.st_rdev);
    return kind == 4 || kind == 204;
#else
    return false;
#endif
}

// The port refuses a device that another program has locked, and one that this user may
// not open: the device's permissions tell which.
PortError::Kind CommPort::refusedKind(const QString &device)
{
    return QFileInfo(device).isWritable() ? PortError::InUse : PortError::NoPermission;
}

// A read that comes back short has emptied what the driver held.
QByteArray CommPort::readDevice()
{
    QByteArray bytes;
    const int fd = m_port.handle();
    char buffer[4096];
    for (int reads = 0; fd >= 0 && reads < 1024; ++reads) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;   // nothing more for now, the end, or an error
        bytes.append(buffer, qsizetype(n));
        if (size_t(n) < sizeof buffer)
            break;
    }
    return bytes;
}
