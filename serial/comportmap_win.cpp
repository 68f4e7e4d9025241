#include "comportmap.h"

namespace ComPortMap {

QString systemDevicePath(int number)
{
    return QStringLiteral("COM%1").arg(number);
}

bool systemPathsAreFiles()
{
    return false;
}

bool portsNeedDialoutGroup()
{
    return false;
}

} // namespace ComPortMap
