#pragma once

#include "clitexts.h"
#include "transfer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class CommPort;
class TransferSession;

// One download or upload from the command line, on the same session as the window. It
// ends the event loop with the program's exit code: 0 done, 3 a file problem, 4 a port
// problem, 5 nothing came from the board, 128 + the signal's number when stopped by a
// signal (130 for Ctrl-C, 143 for SIGTERM).
class CliTransfer : public QObject {
    Q_OBJECT

public:
    enum ExitCode { Done = 0, FileProblem = 3, PortProblem = 4, NothingReceived = 5, SignalBase = 128 };

    CliTransfer(Language language, Board board, CommPort &port, QObject *parent = nullptr);
    ~CliTransfer() override;

    // Starts the transfer; the event loop ends with the exit code.
    void download(const QString &path);
    void upload(const QString &path, int waitSeconds);

private:
    void showProgress(const TransferProgress &progress);
    void finished(const TransferOutcome &outcome);
    void stopBySignal(int signalNumber);
    void stopWaiting();
    void clearProgressLine();
    void end(int code, const QString &out, const QString &err);
    QString oneLine(const QString &text) const;

    Language m_language;
    Direction m_direction = Direction::Download;
    CommPort &m_port;
    TransferSession *m_session;
    bool m_progressOnTerminal;
    bool m_progressShown = false;
    QElapsedTimer m_started;
    QElapsedTimer m_lastProgress;
    TransferProgress m_pending;
    int m_signal = 0;
    int m_waitSeconds = 0;
    bool m_waitPassed = false;
    bool m_dataCame = false;
};
