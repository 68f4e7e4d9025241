#pragma once

#include "line.h"
#include "transfer.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class CommPort;

// The COM ports a user can choose now, and the devices that are there but cannot be
// opened: the settings dialog and `kestrion-cli ports` show both, so that a port that is
// missing from the list is explained.
struct PortListing {
    // COM1..COM15 that opened, in increasing order. Two numbers that lead to one device
    // are one port, listed under the lower.
    QList<int> ports;
    // First what keeps the set-up of the COM numbers from being read as written (see
    // ComPortMap::setupFaults()); then the devices that exist but that another program
    // holds (InUse) or that the user may not open (NoPermission), in the same order and by
    // the same rule. Numbers with nothing behind them, and device nodes with no serial
    // hardware, are not named.
    QList<PortError> unavailable;
    // The numbers that stand for a board on the network (ComPortMap::networkAddress()),
    // in increasing order. They are not tried here: see NetworkPortProbe.
    QList<int> network;
};

// Probes each device of COM1..COM15 once on `port`, which is closed afterwards.
PortListing listComPorts(CommPort &port);

// Tries the given COM numbers that stand for boards on the network, all at once and
// without waiting: each address once (numbers that stand for one address are one port,
// listed under the lower), each line opened, and closed again as soon as it has opened.
// finished() follows when every one has answered or given up, or when the short time
// given has passed (also at once, from the event loop, when there is nothing to try);
// those that have not answered by then are "did not answer in time" (TimedOut). Those
// are tried on until the open timeout (LineOptions) has passed: a slow server answers
// later, and answeredLate() tells when one did.
class NetworkPortProbe : public QObject {
    Q_OBJECT

public:
    explicit NetworkPortProbe(QObject *parent = nullptr);
    ~NetworkPortProbe() override;

    void start(const QList<int> &numbers, int timeoutMs = LineOptions::ProbeTimeoutMs);
    // Until finished().
    bool isRunning() const { return m_running; }

    // The numbers whose line opened, in increasing order.
    QList<int> reachable() const;
    // Why the others could not be opened (port: "COMn", device: the address), in the
    // same order; one still being tried is TimedOut.
    QList<PortError> unreachable() const;

signals:
    void finished();
    // After finished(): `number` has answered, by opening or by giving up; reachable()
    // and unreachable() say which.
    void answeredLate(int number);

private:
    struct Attempt {
        int number = 0;
        std::unique_ptr<Line> line;
        bool done = false;
        PortError error;   // kind None: it opened
    };
    void answered(Attempt &attempt, const PortError &error);
    void finishIfDone();
    void finish();

    std::vector<Attempt> m_attempts;
    bool m_running = false;
    bool m_finished = false;
    QTimer m_shortTime;
};
