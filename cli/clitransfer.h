#pragma once

#include "clitexts.h"
#include "transfer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <limits>

class CommPort;
class TransferSession;

// One download or upload from the command line, on the same session as the window. It
// ends the event loop with the program's exit code (exitcodes.h).
class CliTransfer : public QObject {
    Q_OBJECT

public:
    // The longest wait for a silent board that the clock can count in milliseconds.
    static constexpr qint64 MaxWaitSeconds = std::numeric_limits<qint64>::max() / 1000;

    CliTransfer(Language language, Board board, CommPort &port, QObject *parent = nullptr);
    ~CliTransfer() override;

    // Starts the transfer; the event loop ends with the exit code. An upload with
    // `waitSeconds` above 0 gives up once the board has sent nothing for that long, before
    // its data or in the middle of them; more than MaxWaitSeconds is taken as that.
    void download(const QString &path);
    void upload(const QString &path, qint64 waitSeconds);

private:
    void showProgress(const TransferProgress &progress);
    void finished(const TransferOutcome &outcome);
    void stopBySignal(int signalNumber);
    void checkSilence();
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
    qint64 m_waitSeconds = 0;
    QElapsedTimer m_sinceBoard;   // since the board last sent anything
    QTimer m_silenceTimer;
    bool m_gaveUp = false;
    bool m_dataCame = false;
};
