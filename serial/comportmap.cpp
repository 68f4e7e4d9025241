#include "comportmap.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
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

namespace {

struct PortsEntry {
    QString address;
    int line = 0;
};

// The ports file as read: the entries of [ports] by number (the first for each), and
// what is not used as written.
struct PortsFile {
    QHash<int, PortsEntry> entries;
    QList<PortError> faults;
};

PortsFile readPortsFile()
{
    PortsFile result;
    const QString path = portsFilePath();
    if (path.isEmpty())
        return result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        PortError fault{PortError::PortsFileUnreadable, {}, {}, {}};
        fault.file = path;
        result.faults << fault;
        return result;
    }
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    bool inPorts = false;
    int lineNumber = 0;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &bytes : lines) {
        ++lineNumber;
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            inPorts = line.mid(1, line.size() - 2).trimmed().compare(QLatin1String("ports"), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString key = line.left(equals).trimmed();
        const auto match = comName.match(key);
        if (!inPorts && !match.hasMatch())
            continue;   // another program's group
        // A value ends at a comment; quotes around it are no part of it.
        QString value = line.mid(equals + 1).section(QLatin1Char(';'), 0, 0).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2).trimmed();
        PortError fault{PortError::EntryIgnored, line, {}, {}};
        fault.file = path;
        fault.line = lineNumber;
        if (!inPorts || equals < 0 || !match.hasMatch() || value.isEmpty()) {
            result.faults << fault;   // not below [ports], or no COMn=ADDRESS
            continue;
        }
        const int number = match.captured(1).toInt();
        if (match.captured(1).size() > 2 || number < FirstPort || number > LastPort) {
            fault.kind = PortError::NumberIgnored;
            fault.port = key;
            result.faults << fault;
            continue;
        }
        if (result.entries.contains(number)) {
            fault.kind = PortError::NumberRepeated;
            fault.port = key;
            result.faults << fault;
            continue;
        }
        result.entries.insert(number, {value, lineNumber});
    }
    return result;
}

PortError folderFault()
{
    const QFileInfo info(QString::fromLocal8Bit(qgetenv("KESTRION_COM_DIR")));
    PortError fault;
    if (!info.isDir())
        fault.kind = PortError::FolderMissing;
    else if (!info.isReadable() || !info.isExecutable())
        fault.kind = PortError::FolderUnreadable;
    fault.file = fault.kind == PortError::None ? QString() : info.absoluteFilePath();
    return fault;
}

} // namespace

int portsFileLine(int number)
{
    if (!qEnvironmentVariableIsEmpty("KESTRION_COM_DIR"))
        return 0;
    return readPortsFile().entries.value(number).line;
}

QString networkAddress(int number)
{
    if (number < FirstPort || number > LastPort)
        return {};
    if (!qEnvironmentVariableIsEmpty("KESTRION_COM_DIR")) {
        const QString path = devicePath(number);
        return QFileInfo(path).isFile() ? firstLineOf(path) : QString();
    }
    return readPortsFile().entries.value(number).address;
}

PortError lookupFault(int number)
{
    if (qEnvironmentVariableIsEmpty("KESTRION_COM_DIR") || number < FirstPort || number > LastPort)
        return {};
    PortError fault = folderFault();
    const QString path = devicePath(number);
    if (fault.kind == PortError::None && QFileInfo(path).isFile() && !QFile(path).open(QIODevice::ReadOnly)) {
        fault.kind = PortError::AddressFileUnreadable;
        fault.file = path;
    }
    if (fault.kind != PortError::None)
        fault.port = QStringLiteral("COM%1").arg(number);
    return fault;
}

QList<PortError> setupFaults()
{
    if (qEnvironmentVariableIsEmpty("KESTRION_COM_DIR"))
        return readPortsFile().faults;
    if (PortError fault = folderFault(); fault.kind != PortError::None)
        return {fault};   // the same for every number
    QList<PortError> faults;
    for (int number = FirstPort; number <= LastPort; ++number) {
        if (const PortError fault = lookupFault(number); fault.kind != PortError::None)
            faults << fault;
    }
    return faults;
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
