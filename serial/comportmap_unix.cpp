#include "comportmap.h"

namespace ComPortMap {

QString systemDevicePath(int number)
{
    // The first COM number of each kind of device.
    constexpr int FirstUsbAdapter = 5;        // COM5..COM10: ttyUSB0..ttyUSB5
    constexpr int FirstModemAdapter = 11;     // COM11..COM15: ttyACM0..ttyACM4
    if (number < FirstUsbAdapter)
        return QStringLiteral("/dev/ttyS%1").arg(number - FirstPort);
    if (number < FirstModemAdapter)
        return QStringLiteral("/dev/ttyUSB%1").arg(number - FirstUsbAdapter);
    return QStringLiteral("/dev/ttyACM%1").arg(number - FirstModemAdapter);
}

bool systemPathsAreFiles()
{
    return true;
}

bool portsNeedDialoutGroup()
{
    return true;
}

} // namespace ComPortMap
