#include "regularfile.h"

#include <QFile>

// Opening a file never waits here; a device or a pipe opens as a sequential one.
OpenResult openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, SystemError *error)
{
    const bool writing = mode & QIODevice::WriteOnly;
    file.setFileName(path);
    if (!file.open(writing ? mode | QIODevice::Truncate : mode)) {
        *error = lastSystemError();
        error->text = file.errorString();
        return OpenResult::Failed;
    }
    if (file.isSequential()) {
        file.close();
        return OpenResult::NotARegularFile;
    }
    return OpenResult::Opened;
}
