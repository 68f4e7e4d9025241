#pragma once

#include "download.h"
#include "transfer.h"

#include <QObject>
#include <functional>
#include <memory>

class CommPort;

// Runs a download from the event loop: whenever the port can take more, it lets the
// download take steps until the line is about 100 ms ahead, then returns to the event
// loop and comes back when the line has taken about half of that. While the port is
// closed (the settings dialog has it) nothing is sent; the download goes on when the
// port opens again.
class DownloadPump : public QObject {
    Q_OBJECT

public:
    // `downloading` reads the window's flag; the download stops at the first step that
    // finds it cleared.
    DownloadPump(CommPort &port, std::function<bool()> downloading, QObject *parent = nullptr);
    ~DownloadPump() override;

    // Starts sending the file. On a fault nothing was sent and the pump stays idle.
    TransferFault start(std::unique_ptr<Download> download, const QString &path);

    // The window's flag was cleared: drop what is still queued for the line and let the
    // download take its last step now.
    void interrupt();

    // Ends the download at once, without another byte (the port failed or went away).
    void abandon();

    bool isRunning() const { return m_download != nullptr; }

signals:
    void progress(int percent);
    void completed(qint64 length);
    void interrupted();
    void failed(TransferFault fault);

private:
    void run();
    void finish(const TransferStep &step);

    CommPort &m_port;
    std::function<bool()> m_downloading;
    std::unique_ptr<Download> m_download;
    int m_lastPercent = -1;
    bool m_running = false;   // guards against re-entry from a signal handler
};
