#include "stopsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <iterator>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
constexpr int Handled[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[std::size(Handled)];
bool taken[std::size(Handled)] = {};

// Only what is safe inside a signal handler: one write, and errno left as it was for the
// code that the signal interrupted.
void onSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

StopSignals::StopSignals(QObject *parent)
    : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    ::fcntl(signalPipe[1], F_SETFL, O_NONBLOCK);
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &StopSignals::readSignal);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(Handled); ++i) {
        ::sigaction(Handled[i], nullptr, &previous[i]);
        // Started by nohup, the program is meant to outlive its terminal.
        taken[i] = !(Handled[i] == SIGHUP && previous[i].sa_handler == SIG_IGN);
        if (taken[i])
            ::sigaction(Handled[i], &action, nullptr);
    }
}

StopSignals::~StopSignals()
{
    if (!m_notifier)
        return;
    for (size_t i = 0; i < std::size(Handled); ++i) {
        if (taken[i])
            ::sigaction(Handled[i], &previous[i], nullptr);
        taken[i] = false;
    }
    delete m_notifier;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void StopSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(signalPipe[0], &byte, 1) == 1)
        emit received(byte);
}

