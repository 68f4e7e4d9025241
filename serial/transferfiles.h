#pragma once

#include <QString>

// The files at either end of a transfer: whether a source is a file that can be sent,
// and the old target removed before an upload writes it anew.
namespace VXT8088_8052 {

// True when strPath names a regular file (or a link to one). Folders, devices, pipes and
// the empty path are not files.
bool CheckFileExists(const QString &strPath);

// Deletes the file before an upload writes it anew. Only a regular file that is not
// read-only, or a link, is removed; a missing file, a read-only file, a folder, a device
// or a pipe is left alone. Never reports anything.
void RemoveFile(const QString &strPath);

} // namespace VXT8088_8052
