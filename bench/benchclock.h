#pragma once

#include <QEventLoop>
#include <QTimer>

#include <ctime>
#include <functional>

// What the benchmarks share: the CPU clock and a bounded wait on the event loop.

// CPU time of all this program's threads. The clock the scheduler keeps per thread is
// exact; getrusage's split into user and system time is estimated from ticks, and on a
// virtual machine its sum can even go backwards between two readings.
inline double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the event loop until `done` holds or `seconds` have passed. It looks every 100 ms,
// so as to cost the figures next to nothing.
inline bool runUntil(const std::function<bool()> &done, int seconds)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(100);
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}
