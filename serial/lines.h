#pragma once

#include "line.h"

#include <memory>

// Makes the line for a port name, closed: COM1..COM15 (the device of the table, or the
// address the number stands for, see ComPortMap::networkAddress()), a device's absolute
// path, or a network address (socket://host:port, rfc2217://host:port). Null when the name
// is none of these (`error`: Missing), names an address that cannot be used
// (BadAddress, with the ports file's line where that gives it), or a COM number that
// cannot be looked up (ComPortMap::lookupFault()).
std::unique_ptr<Line> makeLine(const QString &name, PortError *error = nullptr, const LineOptions &options = {});

// Makes the line for a network address. `portName` is what the user named: the address
// itself, or the COM number that stands for it. Null when the address cannot be used;
// `error` then says why (BadAddress). The address's timeout= takes the place of the
// options' open timeout, unless that is shorter than a transfer's (a probe's).
std::unique_ptr<Line> makeNetworkLine(const QString &portName, const QString &address, PortError *error = nullptr,
                                      const LineOptions &options = {});
