#pragma once

#include "transfer.h"

#include <QString>

class CommPort;

// Helpers of the transfers and of the port listing: probing a port, checking and
// removing files.
namespace VXT8088_8052 {

// Probes one port number: true when the port could be opened. The port is closed
// afterwards, and on success its number is intPort. On failure `why` says why.
bool SelectCommPort(CommPort &port, int intPort, PortError *why = nullptr);

// True when strPath names a regular file (or a link to one). Folders, devices, pipes and
// the empty path are not files.
bool CheckFileExists(const QString &strPath);

// Deletes the file before an upload writes it anew. Only a regular file that is not
// read-only, or a link, is removed; a missing file, a read-only file, a folder, a device
// or a pipe is left alone. Never reports anything.
void RemoveFile(const QString &strPath);

} // namespace VXT8088_8052
