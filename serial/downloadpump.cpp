#include "downloadpump.h"

#include "commport.h"

DownloadPump::DownloadPump(CommPort &port, std::function<bool()> downloading, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_downloading(std::move(downloading))
{
    connect(&m_port, &CommPort::outputReady, this, &DownloadPump::run);
    connect(&m_port, &CommPort::opened, this, &DownloadPump::run);
}

DownloadPump::~DownloadPump() = default;

TransferFault DownloadPump::start(std::unique_ptr<Download> download, const QString &path)
{
    abandon();
    const TransferFault fault = download->begin(path);
    if (fault != TransferFault::None)
        return fault;
    m_download = std::move(download);
    m_lastPercent = -1;
    run();
    return TransferFault::None;
}

void DownloadPump::interrupt()
{
    if (!m_download)
        return;
    m_port.discardOutput();
    run();
}

void DownloadPump::abandon()
{
    if (m_download)
        m_download->abandon();
    m_download.reset();
}

void DownloadPump::run()
{
    if (m_running || !m_download)
        return;
    m_running = true;
    while (m_download) {
        if (!m_port.isOpen())
            break;   // resumes on CommPort::opened
        if (m_port.outputRoom() <= 0) {
            m_port.requestOutputReady();
            break;
        }
        const TransferStep step = m_download->step(m_port, m_downloading());
        if (step.percent >= 0 && step.percent != m_lastPercent) {
            m_lastPercent = step.percent;
            emit progress(step.percent);
        }
        if (step.kind != TransferStep::Continue)
            finish(step);
    }
    m_running = false;
}

void DownloadPump::finish(const TransferStep &step)
{
    const qint64 length = m_download->length();
    m_download.reset();
    switch (step.kind) {
    case TransferStep::Completed:
        emit completed(length);
        break;
    case TransferStep::Interrupted:
        emit interrupted();
        break;
    case TransferStep::Failed:
        emit failed(step.fault);
        break;
    case TransferStep::Continue:
        break;
    }
}
