#include "systemerror.h"

#include <cerrno>

SystemError lastSystemError()
{
    return systemError(errno);
}

SystemReason systemReasonOf(int code)
{
    switch (code) {
    case ENOENT:
        return SystemReason::NoSuchFile;
    case EACCES:
        return SystemReason::NoAccess;
    case EPERM:
        return SystemReason::NotPermitted;
    case ENOSPC:
        return SystemReason::DiskFull;
#ifdef EDQUOT
    case EDQUOT:
        return SystemReason::QuotaUsedUp;
#endif
    case EROFS:
        return SystemReason::ReadOnlyDisk;
    case ENAMETOOLONG:
        return SystemReason::NameTooLong;
    case EISDIR:
        return SystemReason::IsAFolder;
    case ENOTDIR:
        return SystemReason::NotAFolder;
    case EIO:
        return SystemReason::InputOutput;
    case ENXIO:
    case ENODEV:
        return SystemReason::NoDevice;
    case EBUSY:
        return SystemReason::Busy;
    default:
        return SystemReason::Unknown;
    }
}
