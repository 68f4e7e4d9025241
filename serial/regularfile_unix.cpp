#include "regularfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

OpenResult openRegularFile(QFile &file, const QString &path, QIODevice::OpenMode mode, SystemError *error)
{
    const bool writing = mode & QIODevice::WriteOnly;
    const int flags = (writing ? O_WRONLY | O_CREAT | O_TRUNC : O_RDONLY) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    if (fd < 0) {
        // A FIFO without a reader refuses a non-blocking writer; a folder refuses writing.
        if (errno == ENXIO || errno == EISDIR)
            return OpenResult::NotARegularFile;
        *error = lastSystemError();
        return OpenResult::Failed;
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return OpenResult::NotARegularFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        *error = {0, file.errorString()};
        ::close(fd);
        return OpenResult::Failed;
    }
    return OpenResult::Opened;
}
