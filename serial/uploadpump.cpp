#include "uploadpump.h"

#include "commport.h"

UploadPump::UploadPump(CommPort &port, std::function<bool()> uploading, QObject *parent)
    : QObject(parent)
    , m_port(port)
    , m_uploading(std::move(uploading))
{
}

UploadPump::~UploadPump() = default;

void UploadPump::start(std::unique_ptr<Upload> upload, const QString &path)
{
    abandon();
    upload->begin(path);
    m_upload = std::move(upload);
    run();
}

void UploadPump::interrupt()
{
    run();
}

qint64 UploadPump::abandon()
{
    if (!m_upload)
        return -1;
    m_upload->abandon();
    const qint64 written = m_upload->isReceiving() ? m_upload->written() : -1;
    m_upload.reset();
    return written;
}

void UploadPump::run()
{
    if (m_running || !m_upload)
        return;
    m_running = true;
    // The title needs only the newest progress of a batch of steps.
    TransferStep progress;
    auto reportProgress = [&] {
        if (progress.percent >= 0 || progress.count >= 0)
            emit this->progress(progress.percent, progress.count);
        progress = {};
    };
    while (m_upload) {
        const bool uploading = m_uploading();
        if (uploading && !m_upload->hasWork(m_port))
            break;   // back to the event loop until the port has more
        const qint64 waitingBefore = m_port.inBufferCount();
        const TransferStep step = m_upload->step(m_port, uploading);
        if (step.percent >= 0 || step.count >= 0)
            progress = step;
        if (step.endCharacter) {
            reportProgress();
            emit endCharacter();
        }
        if (step.kind != TransferStep::Continue) {
            reportProgress();
            finish(step);
        } else if (waitingBefore > 0 && m_port.inBufferCount() == waitingBefore) {
            break;   // the port gave nothing although it said it had: wait for more
        }
    }
    if (m_upload) {
        // What came in this batch reaches the file before the event loop runs again.
        const TransferStep committed = m_upload->commit();
        reportProgress();
        if (committed.kind != TransferStep::Continue)
            finish(committed);
    }
    m_running = false;
}

void UploadPump::finish(const TransferStep &step)
{
    const std::unique_ptr<Upload> upload = std::move(m_upload);
    switch (step.kind) {
    case TransferStep::Completed:
        emit finished(upload->reportedCount());
        break;
    case TransferStep::Interrupted:
        emit stopped();
        break;
    case TransferStep::Failed:
        emit failed(step.fault, upload->faultDetail(), upload->isReceiving() ? upload->written() : -1);
        break;
    case TransferStep::Continue:
        break;
    }
}
