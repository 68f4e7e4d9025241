#include "comportmap.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

namespace ComPortMap {

QString devicePath(int number)
{
    if (number < FirstPort || number > LastPort)
        return {};

    const QByteArray folder = qgetenv("KESTRION_COM_DIR");
    if (!folder.isEmpty())
        return QDir(QString::fromLocal8Bit(folder)).absoluteFilePath(QStringLiteral("COM%1").arg(number));

#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(number);
#else
    if (number <= 4)
        return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    if (number <= 10)
        return QStringLiteral("/dev/ttyUSB%1").arg(number - 5);
    return QStringLiteral("/dev/ttyACM%1").arg(number - 11);
#endif
}

QString resolvedDevicePath(int number)
{
    const QString path = devicePath(number);
    if (path.isEmpty())
        return {};
#ifdef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("KESTRION_COM_DIR"))
        return path;
#endif
    // Lock files are named after the path the port is opened by: open the device itself,
    // so that our lock matches the one another program takes on the same device.
    return QFileInfo(path).canonicalFilePath();
}

} // namespace ComPortMap
