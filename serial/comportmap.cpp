#include "comportmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSettings>
#include <QStandardPaths>
#include <QtGlobal>

namespace ComPortMap {

QString devicePath(int number)
{
    if (number < FirstPort || number > LastPort)
        return {};

    const QByteArray folder = qgetenv("KESTRION_COM_DIR");
    if (!folder.isEmpty())
        return QDir(QString::fromLocal8Bit(folder)).absoluteFilePath(QStringLiteral("COM%1").arg(number));

    return systemDevicePath(number);
}

QString resolvedDevicePath(int number)
{
    const QString path = devicePath(number);
    if (path.isEmpty())
        return {};
    if (!systemPathsAreFiles() && qEnvironmentVariableIsEmpty("KESTRION_COM_DIR"))
        return path;
    // Lock files are named after the path the port is opened by: open the device itself,
    // so that our lock matches the one another program takes on the same device.
    return QFileInfo(path).canonicalFilePath();
}

namespace {

// An address is one short line: what is beyond this is no address.
constexpr qint64 AddressFileReadLimit = 1024;

QString firstLineOf(const QString &path)
{
    QFile file(path);
    // Checked as a regular file, but read without blocking should it be something else
    // by now.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    const QByteArray head = file.read(AddressFileReadLimit);
    const qsizetype end = head.indexOf('\n');
    return QString::fromUtf8(end < 0 ? head : head.left(end)).trimmed();
}

} // namespace

QString portsFilePath()
{
    return QStandardPaths::locate(QStandardPaths::GenericConfigLocation, QStringLiteral("kestrion/ports.conf"));
}

QString networkAddress(int number)
{
    if (number < FirstPort || number > LastPort)
        return {};
    const QString name = QStringLiteral("COM%1").arg(number);
    if (!qEnvironmentVariableIsEmpty("KESTRION_COM_DIR")) {
        const QString path = devicePath(number);
        return QFileInfo(path).isFile() ? firstLineOf(path) : QString();
    }
    const QString portsFile = portsFilePath();
    if (portsFile.isEmpty())
        return {};
    QSettings settings(portsFile, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("ports"));
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return settings.value(key).toString().trimmed();
    }
    return {};
}

QList<int> distinctPorts(const QList<int> &numbers)
{
    QStringList devices;
    QHash<QString, int> lowest;   // device -> the lowest number leading to it
    for (int number : numbers) {
        QString device = resolvedDevicePath(number);
        if (device.isEmpty())
            device = QStringLiteral("COM%1").arg(number);   // nothing there: only itself
        devices << device;
        const auto known = lowest.constFind(device);
        if (known == lowest.cend() || number < *known)
            lowest.insert(device, number);
    }
    QList<int> result;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        if (lowest.value(devices[i]) == numbers[i] && !result.contains(numbers[i]))
            result << numbers[i];
    }
    return result;
}

} // namespace ComPortMap
