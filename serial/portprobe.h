#pragma once

#include "transfer.h"

class CommPort;

namespace VXT8088_8052 {

// Probes one COM number (1..15, as ComPortMap maps it to a device): true when the port
// could be opened. The port is closed afterwards, and its number is `number`. On failure
// `why` says why.
bool SelectCommPort(CommPort &port, int number, PortError *why = nullptr);

} // namespace VXT8088_8052
