#pragma once

// A pseudo-terminal whose number no serial-port lock file names.
//
// The kernel hands a pty's number out again the moment its last descriptor closes, while
// the program that had it open as a serial port may not yet have removed its lock file
// (LCK..pts_N in the lock folder). A program that opens the new pty by that name then
// finds it locked by somebody else and gives up. So a pty whose number a lock file still
// names is passed over; it is kept open meanwhile, so that the next one gets another
// number. Plain POSIX: the board simulator and the tests' board end both use it.

#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace UnlockedPty {

// Whether a lock file names the device, in one of the folders serial programs keep their
// locks in ("/dev/pts/7" -> LCK..pts_7).
inline bool isLocked(const char *device)
{
    std::string name = device;
    if (name.rfind("/dev/", 0) == 0)
        name.erase(0, 5);
    for (char &c : name) {
        if (c == '/')
            c = '_';
    }
    for (const char *folder : {"/var/lock/", "/run/lock/", "/tmp/"}) {
        struct stat info {};
        if (::lstat((folder + ("LCK.." + name)).c_str(), &info) == 0)
            return true;
    }
    return false;
}

// As openpty(); `name` receives the slave's path. Returns 0, or -1 with errno set.
inline int open(int *master, int *slave, char *name, const termios *settings)
{
    constexpr int Attempts = 32;   // more locked numbers than that at once: take what comes
    std::vector<int> passedOver;
    int result = -1;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        result = ::openpty(master, slave, name, settings, nullptr);
        if (result != 0 || !isLocked(name) || attempt + 1 == Attempts)
            break;
        passedOver.push_back(*master);
        passedOver.push_back(*slave);
    }
    const int error = errno;
    for (int fd : passedOver)
        ::close(fd);
    errno = error;
    return result;
}

} // namespace UnlockedPty
