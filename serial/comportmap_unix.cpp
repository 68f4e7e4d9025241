#include "comportmap.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

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

// Every number is tried: the table names devices whether or not they are there.
QList<int> systemPorts()
{
    QList<int> numbers;
    for (int number = FirstPort; number <= LastPort; ++number)
        numbers << number;
    return numbers;
}

QString adapterDescription(const QString &resolvedDevice)
{
    if (resolvedDevice.isEmpty())
        return {};
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        if (QFileInfo(info.systemLocation()).canonicalFilePath() != resolvedDevice)
            continue;
        QStringList parts;
        if (!info.description().isEmpty())
            parts << info.description();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            parts << QStringLiteral("USB %1:%2")
                         .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                         .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        return parts.join(QStringLiteral(", "));
    }
    return {};
}

} // namespace ComPortMap
