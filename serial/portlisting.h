#pragma once

#include "transfer.h"

#include <QList>

class CommPort;

// The COM ports a user can choose now, and the devices that are there but cannot be
// opened: the settings dialog and `kestrion-cli ports` show both, so that a port that is
// missing from the list is explained.
struct PortListing {
    // COM1..COM15 that opened, in increasing order. Two numbers that lead to one device
    // are one port, listed under the lower.
    QList<int> ports;
    // Devices that exist but that another program holds (InUse) or that the user may not
    // open (NoPermission), in the same order and by the same rule. Numbers with nothing
    // behind them, and device nodes with no serial hardware, are not named.
    QList<PortError> unavailable;
};

// Probes each of COM1..COM15 once on `port`, which is closed afterwards.
PortListing listComPorts(CommPort &port);
