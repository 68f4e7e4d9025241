// A UART's way out, on a pseudo-terminal, for tests.
//
// A pseudo-terminal keeps no output queue: it hands what is written to its other end at
// once, TIOCOUTQ reads 0, and a flush drops only what is in flight between its ends. A
// serial driver queues what it is given and sends it at the line rate; TIOCOUTQ says how
// much it still holds, and a flush drops that. Preloaded into a test program
// (LD_PRELOAD), this library gives the descriptors open on the device that
// FAKEUART_DEVICE names such a driver:
//
// - write() (and writev(), which ser2net uses) takes everything at once into the driver's
//   queue, which drains towards the other end at 960 bytes a second (9600 baud, 8N1);
// - ioctl(TIOCOUTQ) tells how much the queue holds;
// - tcflush() of the output (or ioctl(TCFLSH), as ser2net makes it) drops the queue;
//   what went stays gone;
// - tcflow() (or ioctl(TCXONC)) stops the line and starts it again: while it is stopped,
//   nothing leaves the queue;
// - close() lets what is queued go first, as a driver's close waits for it;
// - fstat() gives the device a serial port's number, so that it no longer looks like a
//   pseudo-terminal.
//
// Every other descriptor and every other call go to the system unchanged; without
// FAKEUART_DEVICE nothing changes at all.

#include <dlfcn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/uio.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double LineBytesPerSecond = 960;

struct Queue {
    std::string bytes;
    Clock::time_point lineFreeAt;   // when the line has sent what went before
    bool stopped = false;           // by tcflow(TCOOFF)
};

struct State {
    std::mutex mutex;
    std::map<int, Queue> queues;   // by descriptor
    bool draining = false;
};

// Never destroyed: the thread that drains the queues may outlive main().
State &state()
{
    static State *const instance = new State;
    return *instance;
}

template <typename Function>
Function next(const char *name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

ssize_t systemWrite(int fd, const void *buffer, size_t count)
{
    static const auto call = next<ssize_t (*)(int, const void *, size_t)>("write");
    return call(fd, buffer, count);
}

int systemFstat(int fd, struct stat *status)
{
    static const auto call = next<int (*)(int, struct stat *)>("fstat");
    return call(fd, status);
}

bool isFaked(int fd)
{
    const char *device = std::getenv("FAKEUART_DEVICE");
    if (!device || !*device)
        return false;
    struct stat wanted {}, actual {};
    return ::stat(device, &wanted) == 0 && systemFstat(fd, &actual) == 0 && S_ISCHR(actual.st_mode)
        && actual.st_rdev == wanted.st_rdev;
}

// Puts on the line what its time has come for. The caller holds the mutex.
void drain(int fd, Queue &queue, Clock::time_point now)
{
    if (queue.bytes.empty() || queue.stopped)
        return;
    const double lineSeconds = std::chrono::duration<double>(now - queue.lineFreeAt).count();
    const auto due = std::min(queue.bytes.size(), size_t(std::max(0.0, lineSeconds * LineBytesPerSecond)));
    if (due == 0)
        return;
    const ssize_t sent = systemWrite(fd, queue.bytes.data(), due);
    if (sent <= 0)
        return;   // the other end is full: later
    queue.bytes.erase(0, size_t(sent));
    queue.lineFreeAt += std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(double(sent) / LineBytesPerSecond));
}

void startDraining()
{
    State &s = state();
    if (s.draining)
        return;
    s.draining = true;
    std::thread([] {
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::lock_guard lock(state().mutex);
            const auto now = Clock::now();
            for (auto &[fd, queue] : state().queues)
                drain(fd, queue, now);
        }
    }).detach();
}

} // namespace

extern "C" {

ssize_t write(int fd, const void *buffer, size_t count)
{
    if (!isFaked(fd))
        return systemWrite(fd, buffer, count);
    std::lock_guard lock(state().mutex);
    Queue &queue = state().queues[fd];
    const auto now = Clock::now();
    drain(fd, queue, now);
    if (queue.bytes.empty())
        queue.lineFreeAt = now;   // the line was idle: it starts now
    queue.bytes.append(static_cast<const char *>(buffer), count);
    startDraining();
    return ssize_t(count);
}

ssize_t writev(int fd, const struct iovec *parts, int count)
{
    static const auto call = next<ssize_t (*)(int, const struct iovec *, int)>("writev");
    if (!isFaked(fd))
        return call(fd, parts, count);
    ssize_t total = 0;
    for (int i = 0; i < count; ++i)
        total += write(fd, parts[i].iov_base, parts[i].iov_len);
    return total;
}

int ioctl(int fd, unsigned long request, ...) noexcept
{
    va_list arguments;
    va_start(arguments, request);
    void *argument = va_arg(arguments, void *);
    va_end(arguments);
    if (request == TCFLSH && isFaked(fd))
        return tcflush(fd, int(reinterpret_cast<std::intptr_t>(argument)));
    if (request == TCXONC && isFaked(fd))
        return tcflow(fd, int(reinterpret_cast<std::intptr_t>(argument)));
    if (request == TIOCOUTQ && isFaked(fd)) {
        std::lock_guard lock(state().mutex);
        Queue &queue = state().queues[fd];
        drain(fd, queue, Clock::now());
        *static_cast<int *>(argument) = int(queue.bytes.size());
        return 0;
    }
    static const auto call = next<int (*)(int, unsigned long, void *)>("ioctl");
    return call(fd, request, argument);
}

int tcflush(int fd, int which) noexcept
{
    static const auto call = next<int (*)(int, int)>("tcflush");
    if (!isFaked(fd))
        return call(fd, which);
    std::lock_guard lock(state().mutex);
    Queue &queue = state().queues[fd];
    drain(fd, queue, Clock::now());
    if (which == TCOFLUSH || which == TCIOFLUSH)
        queue.bytes.clear();
    // The system's flush of a pseudo-terminal's output would drop what is on its way
    // between its ends, which on a UART has gone down the wire already.
    return which == TCOFLUSH ? 0 : call(fd, TCIFLUSH);
}

int tcflow(int fd, int action) noexcept
{
    static const auto call = next<int (*)(int, int)>("tcflow");
    if (!isFaked(fd) || (action != TCOOFF && action != TCOON))
        return call(fd, action);
    std::lock_guard lock(state().mutex);
    Queue &queue = state().queues[fd];
    const auto now = Clock::now();
    drain(fd, queue, now);   // what was due went before the stop
    if (action == TCOON && queue.stopped)
        queue.lineFreeAt = now;   // it goes on from here
    queue.stopped = action == TCOOFF;
    return 0;
}

int close(int fd)
{
    {
        std::lock_guard lock(state().mutex);
        const auto found = state().queues.find(fd);
        if (found != state().queues.end()) {
            const std::string &rest = found->second.bytes;
            if (!rest.empty())
                systemWrite(fd, rest.data(), rest.size());
            state().queues.erase(found);
        }
    }
    static const auto call = next<int (*)(int)>("close");
    return call(fd);
}

int fstat(int fd, struct stat *status) noexcept
{
    const int result = systemFstat(fd, status);
    if (result == 0 && isFaked(fd))
        status->st_rdev = makedev(4, 64);   // ttyS0
    return result;
}

} // extern "C"

// Tells a test that the library is there.
extern "C" void fakeuart_preloaded() {}
