#pragma once

#include <QFileDevice>
#include <QString>

// What the system said about a call that failed: its error number (errno; on Windows,
// GetLastError()'s code) and its text.
struct SystemError {
    int code = 0;   // 0 where no call failed, or the system did not say
    QString text;

    bool isEmpty() const { return code == 0 && text.isEmpty(); }
};

// The error a system call of this thread left just now, with its text.
SystemError lastSystemError();
// The error a failed call of `file` left, taken at once after it, with the text the file
// gives. A call that failed without an error of the system (the end of the file) has no
// number.
inline SystemError lastFileError(const QFileDevice &file)
{
    return {file.error() == QFileDevice::NoError ? 0 : lastSystemError().code, file.errorString()};
}
// An error number with its text.
inline SystemError systemError(int code)
{
    return {code, qt_error_string(code)};
}

// What an error number means, for the reasons we put in our own words.
enum class SystemReason {
    Unknown,
    NoSuchFile,     // the file or a folder on its path does not exist
    NoAccess,       // no permission for it
    NotPermitted,   // the system does not permit it
    DiskFull,
    QuotaUsedUp,
    ReadOnlyDisk,
    NameTooLong,
    IsAFolder,
    NotAFolder,     // a part of the path is not a folder
    InputOutput,    // the device reported an input/output error
    NoDevice,
    Busy,
};
// Each platform maps its own numbers (systemerror_unix.cpp, systemerror_win.cpp).
SystemReason systemReasonOf(int code);
