#include "portlisting.h"

#include "comportmap.h"
#include "lineaddress.h"
#include "lines.h"
#include "portprobe.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QTimer>

#include <algorithm>

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

// The address behind a COM number as a line writes it back.
QString canonicalAddress(int number)
{
    const QString address = ComPortMap::networkAddress(number);
    const ParsedLineAddress parsed = parseLineAddress(address);
    return parsed.isValid() ? parsed.address.text() : address;
}

} // namespace

PortListing listComPorts(CommPort &port)
{
    PortListing listing;
    listing.unavailable = ComPortMap::setupFaults();
    QList<int> present;
    QHash<int, PortError> refused;
    const QList<int> devices = ComPortMap::systemPorts();
    for (int number = ComPortMap::FirstPort; number <= ComPortMap::LastPort; ++number) {
        if (ComPortMap::lookupFault(number).kind != PortError::None)
            continue;   // named among the set-up faults
        if (!ComPortMap::networkAddress(number).isEmpty()) {
            listing.network << number;
            continue;
        }
        if (!devices.contains(number))
            continue;
        PortError why;
        if (VXT8088_8052::SelectCommPort(port, number, &why)) {
            present << number;
        } else if (worthNaming(why)) {
            present << number;
            refused.insert(number, why);
        }
    }
    for (int number : ComPortMap::distinctPorts(present)) {
        if (refused.contains(number))
            listing.unavailable << refused.value(number);
        else
            listing.ports << number;
    }
    return listing;
}

NetworkPortProbe::NetworkPortProbe(QObject *parent)
    : QObject(parent)
{
    m_shortTime.setSingleShot(true);
    connect(&m_shortTime, &QTimer::timeout, this, &NetworkPortProbe::finish);
}

NetworkPortProbe::~NetworkPortProbe() = default;

void NetworkPortProbe::start(const QList<int> &numbers, int timeoutMs)
{
    QList<int> inOrder = numbers;
    std::sort(inOrder.begin(), inOrder.end());
    m_attempts.clear();
    m_running = true;
    m_finished = false;
    // One attempt for each address: a second connection would find the server's port held
    // by the first.
    QStringList addresses;
    for (const int number : inOrder) {
        const QString address = canonicalAddress(number);
        if (!addresses.contains(address)) {
            addresses << address;
            m_attempts.push_back({number, nullptr, false, {}});
        }
    }
    // Each line reports to its own attempt, whose place no longer changes.
    for (Attempt &attempt : m_attempts) {
        PortError error;
        attempt.line = makeLine(PortChoice::comNumber(attempt.number), &error);
        if (!attempt.line) {
            answered(attempt, error);
            continue;
        }
        connect(attempt.line.get(), &Line::opened, this, [this, &attempt] { answered(attempt, {}); });
        connect(attempt.line.get(), &Line::openFailed, this,
                [this, &attempt](const PortError &why) { answered(attempt, why); });
        if (!attempt.line->open(&error))
            answered(attempt, error);
        else if (attempt.line->isOpen())
            answered(attempt, {});
    }
    m_shortTime.start(timeoutMs);
    // Told from the event loop, as when an answer comes later.
    QTimer::singleShot(0, this, &NetworkPortProbe::finishIfDone);
}

void NetworkPortProbe::answered(Attempt &attempt, const PortError &error)
{
    if (attempt.done)
        return;
    attempt.done = true;
    attempt.error = error;
    if (attempt.line)
        attempt.line->close();
    if (m_finished) {
        const int number = attempt.number;
        QTimer::singleShot(0, this, [this, number] { emit answeredLate(number); });
    } else {
        QTimer::singleShot(0, this, &NetworkPortProbe::finishIfDone);
    }
}

void NetworkPortProbe::finishIfDone()
{
    if (std::all_of(m_attempts.begin(), m_attempts.end(), [](const Attempt &a) { return a.done; }))
        finish();
}

void NetworkPortProbe::finish()
{
    if (!m_running)
        return;
    m_shortTime.stop();
    m_running = false;
    m_finished = true;
    emit finished();
}

QList<int> NetworkPortProbe::reachable() const
{
    QList<int> numbers;
    for (const Attempt &attempt : m_attempts) {
        if (attempt.done && attempt.error.kind == PortError::None)
            numbers << attempt.number;
    }
    return numbers;
}

QList<PortError> NetworkPortProbe::unreachable() const
{
    QList<PortError> errors;
    for (const Attempt &attempt : m_attempts) {
        if (!attempt.done)
            errors << PortError{PortError::TimedOut, QStringLiteral("COM%1").arg(attempt.number),
                                canonicalAddress(attempt.number), {}};
        else if (attempt.error.kind != PortError::None)
            errors << attempt.error;
    }
    return errors;
}
