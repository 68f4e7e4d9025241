#pragma once

#include "line.h"

#include <QtGlobal>

// The output of a device that takes one write at a time (Windows' COM ports): bytes handed
// over wait with us until the write under way is done; the driver may report how much of
// that write it still holds, and a driver that has ever reported some is taken to report
// it (a UART's does; a virtual port's reads 0 however much is on its way).
struct DeviceOutput {
    qint64 waiting = 0;         // handed over, not yet passed to the driver
    qint64 writing = 0;         // the size of the write under way; 0: none
    qint64 driverQueue = 0;     // what the driver reports it holds to send
    bool driverReports = false; // the driver has reported a queue since the port opened

    // Bytes not yet gone out, as far as can be told: all of the write under way where
    // the driver does not tell.
    qint64 pending() const { return waiting + (writing > 0 ? (driverReports ? driverQueue : writing) : 0); }

    // What discarding everything drops: exact where the driver tells its queue; else only
    // what never reached the driver is counted, and more may have been dropped.
    OutputDiscard discard() const
    {
        return {waiting + (writing > 0 && driverReports ? driverQueue : 0), driverReports};
    }
};
