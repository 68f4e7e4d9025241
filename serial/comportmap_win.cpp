#include "comportmap.h"

#include <QRegularExpression>

#include <windows.h>
// After windows.h:
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>

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

namespace {

// The number of a name "COMn" in 1..15, else 0.
int comNumber(const QString &name)
{
    static const QRegularExpression com(QStringLiteral("^COM([0-9]{1,2})$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(name.trimmed());
    const int number = match.hasMatch() ? match.captured(1).toInt() : 0;
    return number >= FirstPort && number <= LastPort ? number : 0;
}

QString stringValue(const wchar_t *text, DWORD bytes)
{
    qsizetype length = qsizetype(bytes / sizeof(wchar_t));
    while (length > 0 && text[length - 1] == L'\0')
        --length;
    return QString::fromWCharArray(text, length);
}

} // namespace

// Each serial port driver enters its ports there as they come and go: one value a port,
// its data the port's name. (The value names hold backslashes, which QSettings takes for
// folders: the registry is read directly.)
QList<int> systemPorts()
{
    QList<int> numbers;
    if (!qEnvironmentVariableIsEmpty("KESTRION_COM_DIR")) {
        for (int number = FirstPort; number <= LastPort; ++number)
            numbers << number;
        return numbers;
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return numbers;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = DWORD(std::size(name));
        wchar_t data[64];
        DWORD dataBytes = sizeof data;
        DWORD type = 0;
        const LONG result = ::RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                            reinterpret_cast<BYTE *>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;   // a name too long for a port is no port of ours
        if (const int number = comNumber(stringValue(data, dataBytes)); number && !numbers.contains(number))
            numbers << number;
    }
    ::RegCloseKey(key);
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// The friendly name the device manager shows, from the device whose PortName is the port.
QString adapterDescription(const QString &resolvedDevice)
{
    const int number = comNumber(resolvedDevice);
    if (!number)
        return {};
    HDEVINFO devices = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return {};
    QString friendlyName;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; friendlyName.isEmpty() && ::SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        HKEY key = ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        wchar_t portName[64];
        DWORD bytes = sizeof portName;
        DWORD type = 0;
        const bool named = ::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE *>(portName), &bytes)
                               == ERROR_SUCCESS
                           && type == REG_SZ;
        ::RegCloseKey(key);
        if (!named || comNumber(stringValue(portName, bytes)) != number)
            continue;
        wchar_t text[256];
        DWORD textBytes = 0;
        if (::SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                                reinterpret_cast<BYTE *>(text), sizeof text, &textBytes))
            friendlyName = stringValue(text, textBytes);
    }
    ::SetupDiDestroyDeviceInfoList(devices);
    return friendlyName;
}

} // namespace ComPortMap
