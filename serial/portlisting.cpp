#include "portlisting.h"

#include "comportmap.h"
#include "vxt8088_8052.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

// Built-in serial ports have device nodes whether or not the PC has the hardware; the
// kernel reports an empty slot as UART type 0. Such a node is no port the user lacks.
bool isEmptyUartSlot(const QString &device)
{
    QFile type(QStringLiteral("/sys/class/tty/%1/type").arg(QFileInfo(device).fileName()));
    return type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "0";
}

bool worthNaming(const PortError &why)
{
    switch (why.kind) {
    case PortError::InUse:
        return true;
    case PortError::NoPermission:
        return !isEmptyUartSlot(why.device);
    default:
        return false;   // nothing there, or a device that does not work as a port
    }
}

} // namespace

PortListing listComPorts(CommPort &port)
{
    QList<int> present;
    QHash<int, PortError> refused;
    for (int number = ComPortMap::FirstPort; number <= ComPortMap::LastPort; ++number) {
        PortError why;
        if (VXT8088_8052::SelectCommPort(port, number, &why)) {
            present << number;
        } else if (worthNaming(why)) {
            present << number;
            refused.insert(number, why);
        }
    }
    PortListing listing;
    for (int number : ComPortMap::distinctPorts(present)) {
        if (refused.contains(number))
            listing.unavailable << refused.value(number);
        else
            listing.ports << number;
    }
    return listing;
}
