#include "upload.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SystemError Upload::folderRefusal(const QString &folder)
{
    if (folder.isEmpty())
        return systemError(ENOENT);
    const QByteArray native = QFile::encodeName(folder);
    struct stat status = {};
    if (::stat(native.constData(), &status) != 0)
        return lastSystemError();
    if (!S_ISDIR(status.st_mode))
        return systemError(ENOTDIR);
    if (::faccessat(AT_FDCWD, native.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return lastSystemError();
    return {};
}
