#pragma once

#include "line.h"

#include <memory>

// Makes the line for a port name, closed: COM1..COM15 (the device of the table, or the
// address the number stands for, see ComPortMap::networkAddress()), a device's absolute
// path, or a network address (socket://host:port, rfc2217://host:port). Null when the name
// is none of these (`error`: Missing) or names an address that cannot be used
// (BadAddress).
std::unique_ptr<Line> makeLine(const QString &name, PortError *error = nullptr, const LineOptions &options = {});

// Makes the line for a network address. `portName` is what the user named: the address
// itself, or the COM number that stands for it. Null when the address cannot be used;
// `error` then says why (BadAddress).
std::unique_ptr<Line> makeNetworkLine(const QString &portName, const QString &address, PortError *error = nullptr,
                                      const LineOptions &options = {});
