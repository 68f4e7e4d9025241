#pragma once

#include "line.h"
#include "portchoice.h"

#include <memory>

// Makes the line for a port, closed: a COM number's device of the table, or the address
// the number stands for now (see ComPortMap::networkAddress()); a device by its path; a
// network address (socket://host:port, rfc2217://host:port). Null when nothing was
// chosen (`error`: Missing), when a COM number stands for an address that cannot be used
// (BadAddress, with the ports file's line where that gives it), or cannot be looked up
// (ComPortMap::lookupFault()).
std::unique_ptr<Line> makeLine(const PortChoice &choice, PortError *error = nullptr, const LineOptions &options = {});

// Makes the line for a network address. `portName` is what the user named: the address
// itself, or the COM number that stands for it. Null when the address cannot be used;
// `error` then says why (BadAddress). The address's timeout= takes the place of the
// options' open timeout, unless that is shorter than a transfer's (a probe's).
std::unique_ptr<Line> makeNetworkLine(const QString &portName, const QString &address, PortError *error = nullptr,
                                      const LineOptions &options = {});
