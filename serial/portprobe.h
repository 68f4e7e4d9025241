#pragma once

#include "transfer.h"

class CommPort;

namespace VXT8088_8052 {

// Probes one port number: true when the port could be opened. The port is closed
// afterwards, and on success its number is intPort. On failure `why` says why.
bool SelectCommPort(CommPort &port, int intPort, PortError *why = nullptr);

} // namespace VXT8088_8052
