#pragma once

#include "systemerror.h"

#include <QIODevice>
#include <QString>

class QFile;

// Opens a path as a regular file and nothing else, without ever waiting: a path that was a
// file when it was checked may be a FIFO or a device by the time it is opened (replaced,
// or a link re-pointed), and opening a FIFO waits for the other end. The type is checked
// on the opened descriptor.
enum class OpenResult { Opened, NotARegularFile, Failed };

// `mode` is ReadOnly, or WriteOnly to create or truncate. On Failed, `error` holds what
// the system said. (The platform's part: regularfile_unix.cpp, regularfile_win.cpp.)
OpenResult openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, SystemError *error);
