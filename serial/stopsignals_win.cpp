#include "stopsignals.h"

#include <QMetaObject>

#include <csignal>
#include <mutex>

#include <windows.h>

namespace {

std::mutex instanceMutex;
StopSignals *instance = nullptr;

// The system calls this on a thread of its own: the signal goes to the event loop as a
// queued call, which Qt drops should the object be gone by then.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;   // the system's own handling
    const std::lock_guard lock(instanceMutex);
    if (!instance)
        return FALSE;
    StopSignals *receiver = instance;
    QMetaObject::invokeMethod(receiver, [receiver] { emit receiver->received(SIGINT); }, Qt::QueuedConnection);
    return TRUE;
}

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    const std::lock_guard lock(instanceMutex);
    instance = this;
    ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

StopSignals::~StopSignals()
{
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    const std::lock_guard lock(instanceMutex);
    instance = nullptr;
}
