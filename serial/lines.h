#pragma once

#include "line.h"

#include <memory>

// Makes the line for a network address. `portName` is what the user named: the address
// itself, or the COM number that stands for it. Null when the address cannot be used;
// `error` then says why (BadAddress).
std::unique_ptr<Line> makeNetworkLine(const QString &portName, const QString &address, PortError *error = nullptr);
