#pragma once

#include "systemerror.h"
#include "transfer.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class Download;
class Line;
class Upload;

// Both transfer directions of one board on one line: a download of a file to the board
// and an upload of what the board sends into a file, at the same time if need be (the
// line is full duplex). It reports as data and knows no window: the transfer window and
// the command-line program are its front ends.
//
// Nothing here waits or polls. A download takes its next steps when the line has room
// (never more than about 100 ms ahead of it); an upload takes what the line hands over.
// Outside an upload, whatever the board sends is thrown away.
//
// A transfer started while the line is closed opens it. A line that is still opening (a
// connection over the network) is waited for: a download starts sending, and an upload
// starts taking the board's bytes, once it has opened; when it cannot be opened, the
// transfer fails as a port problem with the reason (TransferOutcome::portError).
class TransferSession : public QObject {
    Q_OBJECT

public:
    // The 8052 ends an upload when the line has been quiet this long.
    static constexpr int QuietTimeMs = 500;

    TransferSession(Board board, Line &line, QObject *parent = nullptr);
    ~TransferSession() override;

    Board board() const { return m_board; }

    // Starts sending the file. A file that cannot be sent, or a line that cannot be
    // opened, ends the download at once: finished() comes before this returns.
    void startDownload(const QString &path);
    // Gets ready to receive into `path`: deletes an older file of that name and throws
    // away what the board sent before. The file is made when the data begin; a target
    // that could not be made (see Upload::checkTarget) or a line that cannot be opened
    // ends the upload at once: finished() comes before this returns.
    void startUpload(const QString &path);

    // The user stops a direction. A download sends nothing more: what is queued ahead of
    // the line is dropped, so that the board holds the start of the stream, and the count
    // says what went (or at most how much, where the line cannot tell what it dropped).
    // An upload keeps what reached its file.
    void interrupt(Direction direction);

    // The board has been silent for longer than the caller will wait: the upload ends as
    // interrupted, keeping what reached its file, but as one the board stopped, so a last
    // digit without its pair is reported.
    void stopSilentUpload();

    // Ends both directions now, without another byte and without finished(); an upload
    // keeps what reached its file. For a program that is ending.
    void abandon();

    bool isRunning(Direction direction) const;
    // The length the 8052 announced for the latest upload; 0 until it is known.
    qint64 expectedLength() const { return m_expected; }

signals:
    void progress(const TransferProgress &progress);
    void finished(const TransferOutcome &outcome);
    // The line stopped working while no transfer ran: its name, and the network address
    // behind it (empty for a device).
    void portLost(const QString &portName, const QString &address);

private:
    void runDownload();
    void stopDownload(TransferOutcome::Kind kind, TransferFault fault = TransferFault::None);
    // `unsent`: characters handed to the line that surely did not go out; `exact`:
    // whether that is all of what did not.
    void finishDownload(TransferOutcome::Kind kind, TransferFault fault = TransferFault::None,
                        const SystemError &detail = {}, qint64 unsent = 0, bool exact = true);
    void lineClosing();
    void lineReceived(const QByteArray &bytes);
    void quietTimeElapsed();
    void finishUpload(TransferOutcome::Kind kind, TransferFault fault = TransferFault::None,
                      const SystemError &detail = {}, bool boardStopped = false);
    void lineClosed();
    void lineOpenFailed(const PortError &error);
    void lineFailed(const QString &portName);
    void fillPort(TransferOutcome &outcome);
    bool ensureLineOpen(PortError *error);

    Board m_board;
    Line &m_line;
    PortError m_portError;   // why the line could not be opened for the transfer ending

    std::unique_ptr<Download> m_download;
    bool m_downloadRunning = false;   // guards against re-entry from a signal handler
    int m_lastPercent = -1;

    std::unique_ptr<Upload> m_upload;
    TransferProgress m_lastUploadProgress;
    qint64 m_expected = 0;
    QTimer m_quietTimer;   // the 8052 only
};
