#pragma once

#include "transfer.h"

#include <QList>
#include <QString>

// Which device stands behind each COM number.
//
// On Windows COMn is the system's own name. On Linux a fixed table maps the numbers:
//   COM1  - COM4   ->  /dev/ttyS0   - /dev/ttyS3    (built-in UARTs)
//   COM5  - COM10  ->  /dev/ttyUSB0 - /dev/ttyUSB5  (USB serial adapters)
//   COM11 - COM15  ->  /dev/ttyACM0 - /dev/ttyACM4  (USB modem-class adapters)
// When the environment variable KESTRION_COM_DIR is set, COMn is the path
// $KESTRION_COM_DIR/COMn instead (usually a link to a device or a pseudo-terminal), and
// nothing else is used.
//
// A COM number may also stand for a board on the network (see networkAddress()).
namespace ComPortMap {

constexpr int FirstPort = 1;
constexpr int LastPort = 15;

// The device path for a COM number (1..15); empty for numbers outside that range.
QString devicePath(int number);

// The path to hand to the serial port: links resolved, always absolute where the
// platform has paths. Empty when the device does not exist.
QString resolvedDevicePath(int number);

// The platform's part (comportmap_unix.cpp, comportmap_win.cpp):
// What the system knows of the adapter behind a device: on Linux its description and USB
// vendor:product, e.g. "FT232R USB UART, USB 0403:6001"; on Windows the device's friendly
// name, e.g. "USB Serial Port (COM5)". Empty when it knows nothing.
QString adapterDescription(const QString &resolvedDevice);
// The COM numbers (1..15) to try for devices, in increasing order: on Windows those the
// system lists as serial ports (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), or every number
// with KESTRION_COM_DIR set; on Linux every number.
QList<int> systemPorts();
// The system's device for a COM number (1..15), by the table above.
QString systemDevicePath(int number);
// Whether the system's devices are files in folders (Unix), rather than names (COM3).
bool systemPathsAreFiles();
// Whether access to serial ports is given by membership of the group dialout, so that a
// user who is refused one may be told to join it.
bool portsNeedDialoutGroup();

// The network address a COM number stands for; empty when it stands for a device.
// With KESTRION_COM_DIR set: the first line of $KESTRION_COM_DIR/COMn where that is a
// regular file (not a link to a device). Otherwise: the entry COMn of the group [ports]
// in the ports file kestrion/ports.conf of the XDG configuration folders (the user's
// first), e.g. COM5=rfc2217://labpi:3005, which takes the place of the table's device.
// The address is given as written; parseLineAddress() judges it.
QString networkAddress(int number);

// The ports file in use; empty when there is none. Its lines are `[ports]`, entries
// COMn=ADDRESS below it, blank lines and comments (from ; or #).
QString portsFilePath();
// The line of the ports file that gives the address of a COM number; 0 where none does.
int portsFileLine(int number);

// What keeps a COM number from being looked up: the KESTRION_COM_DIR folder is missing or
// cannot be read, or the number's address file cannot be read (port: "COMn"). Kind None
// when nothing does.
PortError lookupFault(int number);
// What keeps the set-up of the COM numbers from being read as written, for the port
// listing: the KESTRION_COM_DIR folder missing or unreadable, address files that cannot
// be read; or, without that folder, the ports file that cannot be read, and its lines
// that are ignored.
QList<PortError> setupFaults();

// Of the given COM numbers, in the order given, those that lead to different devices:
// where two or more lead to the same one (two links to one device), only the lowest
// number stays.
QList<int> distinctPorts(const QList<int> &numbers);

} // namespace ComPortMap
