#pragma once

#include "transfer.h"
#include "upload.h"

#include <QObject>
#include <functional>
#include <memory>

class CommPort;

// Runs an upload from the event loop: on every notification of the port the window calls
// run(), and the upload takes steps until nothing more is waiting. Nothing polls in
// between; a download may run at the same time, as the line is full duplex.
class UploadPump : public QObject {
    Q_OBJECT

public:
    // `uploading` reads the window's flag; the upload ends at the first step that finds
    // it cleared.
    UploadPump(CommPort &port, std::function<bool()> uploading, QObject *parent = nullptr);
    ~UploadPump() override;

    // Gets ready to receive into `path`; nothing is created until data arrive.
    void start(std::unique_ptr<Upload> upload, const QString &path);

    // Takes the steps that what is waiting allows.
    void run();

    // The window's flag was cleared: the upload takes its last step now.
    void interrupt();

    // Ends the upload at once, keeping what reached the file (the port failed or went
    // away). Returns the bytes in the file, or -1 when no file had been made.
    qint64 abandon();

    bool isRunning() const { return m_upload != nullptr; }

signals:
    // The title's progress: a percentage of the announced length, or else a count.
    void progress(int percent, qint64 count);
    // The board closed its stream; the window ends the upload as a press does.
    void endCharacter();
    // The file is complete and closed; `count` is what the message reports.
    void finished(qint64 count);
    // Ended before anything arrived: no file, nothing to report.
    void stopped();
    // The file could not be made or written; `written` bytes reached it (-1: no file).
    void failed(TransferFault fault, const QString &detail, qint64 written);

private:
    void finish(const TransferStep &step);

    CommPort &m_port;
    std::function<bool()> m_uploading;
    std::unique_ptr<Upload> m_upload;
    bool m_running = false;   // guards against re-entry from a signal handler
};
