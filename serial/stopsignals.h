#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the signals that ask a program to end (SIGINT, SIGTERM, SIGHUP) into a Qt signal,
// delivered by the event loop, so that the program ends as its own Quit would: transfers
// stopped, files closed, the port and its lock released. A SIGHUP that the program was
// started ignoring (nohup) stays ignored. One at a time per process; the former handling
// comes back when it is destroyed.
//
// On Windows, Ctrl-C and Ctrl-Break in the console arrive as SIGINT.
class StopSignals : public QObject {
    Q_OBJECT

public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

signals:
    void received(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;   // Unix: the signal handler's pipe
};
