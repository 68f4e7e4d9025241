#include "systemerror.h"

#include <windows.h>

SystemError lastSystemError()
{
    return systemError(int(::GetLastError()));
}

SystemReason systemReasonOf(int code)
{
    switch (DWORD(code)) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return SystemReason::NoSuchFile;
    case ERROR_ACCESS_DENIED:
        return SystemReason::NoAccess;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return SystemReason::DiskFull;
    case ERROR_WRITE_PROTECT:
        return SystemReason::ReadOnlyDisk;
    case ERROR_FILENAME_EXCED_RANGE:
        return SystemReason::NameTooLong;
    case ERROR_DIRECTORY:
        return SystemReason::NotAFolder;
    case ERROR_CRC:
    case ERROR_IO_DEVICE:
        return SystemReason::InputOutput;
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
        return SystemReason::NoDevice;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return SystemReason::Busy;
    default:
        return SystemReason::Unknown;
    }
}
