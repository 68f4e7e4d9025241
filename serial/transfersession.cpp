#include "transfersession.h"

#include "codecs.h"
#include "download.h"
#include "line.h"
#include "transferfiles.h"
#include "upload.h"

#include <algorithm>
#include <utility>

TransferSession::TransferSession(Board board, Line &line, QObject *parent)
    : QObject(parent)
    , m_board(board)
    , m_line(line)
    , m_quietTimer(this)
{
    m_quietTimer.setObjectName(QStringLiteral("tmrDelayReceive"));
    m_quietTimer.setInterval(QuietTimeMs);
    m_quietTimer.setSingleShot(true);
    connect(&m_quietTimer, &QTimer::timeout, this, &TransferSession::quietTimeElapsed);

    connect(&m_line, &Line::outputReady, this, &TransferSession::runDownload);
    connect(&m_line, &Line::opened, this, &TransferSession::runDownload);
    connect(&m_line, &Line::openFailed, this, &TransferSession::lineOpenFailed);
    connect(&m_line, &Line::received, this, &TransferSession::lineReceived);
    connect(&m_line, &Line::aboutToClose, this, &TransferSession::lineClosing);
    connect(&m_line, &Line::closed, this, &TransferSession::lineClosed);
    connect(&m_line, &Line::failed, this, &TransferSession::lineFailed);
}

TransferSession::~TransferSession()
{
    abandon();
}

bool TransferSession::isRunning(Direction direction) const
{
    return direction == Direction::Download ? m_download != nullptr : m_upload != nullptr;
}

// True when the line is open, or opening (the transfer then waits for it).
bool TransferSession::ensureLineOpen(PortError *error)
{
    return m_line.isOpen() || m_line.isOpening() || m_line.open(error);
}

void TransferSession::abandon()
{
    if (m_download)
        m_download->abandon();
    m_download.reset();
    if (m_upload) {
        m_upload->abandon();
        m_line.setPromptInput(false);
    }
    m_upload.reset();
}

void TransferSession::interrupt(Direction direction)
{
    if (direction == Direction::Upload) {
        // The quiet time runs on; when it ends, it finds nothing to end.
        if (m_upload)
            finishUpload(TransferOutcome::Interrupted);
        return;
    }
    stopDownload(TransferOutcome::Interrupted);
}

// Nothing more goes out: what is still queued ahead of the line is dropped, and the board
// holds the start of the stream. (Sending on after a discard would leave a gap.)
void TransferSession::stopDownload(TransferOutcome::Kind kind, TransferFault fault)
{
    if (!m_download)
        return;
    m_download->abandon();
    const OutputDiscard dropped = m_line.discardOutput();
    finishDownload(kind, fault, {}, dropped.dropped, dropped.known);
}

// The program is closing the line (the Setting command). A download ends here: the board
// may take the pause as the end of its stream, and the line opened next may be another
// board's.
void TransferSession::lineClosing()
{
    stopDownload(TransferOutcome::Failed, TransferFault::PortClosedUnderTransfer);
}

// The line is closed. What the board sends meanwhile is lost, so an upload ends here with
// what it has, and nothing that comes later is appended.
void TransferSession::lineClosed()
{
    if (m_upload) {
        m_upload->abandon();
        finishUpload(TransferOutcome::Failed, TransferFault::PortClosedUnderTransfer);
    }
}

// The transfers that waited for the line end as they would had it failed to open at once.
void TransferSession::lineOpenFailed(const PortError &error)
{
    if (m_download) {
        m_download->abandon();
        m_portError = error;
        finishDownload(TransferOutcome::Failed, TransferFault::PortClosed);
    }
    if (m_upload) {
        m_upload->abandon();
        m_portError = error;
        finishUpload(TransferOutcome::Failed, TransferFault::PortClosed);
    }
}

void TransferSession::lineFailed(const QString &portName)
{
    if (!m_download && !m_upload) {
        emit portLost(portName, m_line.networkAddress());
        return;
    }
    if (m_download) {
        // What the device or the server still held when it went is lost; how much,
        // nobody can tell.
        m_download->abandon();
        finishDownload(TransferOutcome::Failed, TransferFault::PortFailed, {}, 0, false);
    }
    if (m_upload) {
        m_upload->abandon();
        finishUpload(TransferOutcome::Failed, TransferFault::PortFailed);
    }
}

// --- Download ------------------------------------------------------------------------

void TransferSession::startDownload(const QString &path)
{
    if (m_download)
        return;
    auto download = m_board == Board::Vxt8052 ? std::unique_ptr<Download>(new RawDownload)
                                               : std::unique_ptr<Download>(new HexDownload);
    m_lastPercent = -1;
    TransferFault fault = download->begin(path);
    // The line is opened before the download is in place: opening it would set it going.
    if (fault == TransferFault::None && !ensureLineOpen(&m_portError)) {
        download->abandon();
        fault = TransferFault::PortClosed;
    }
    m_download = std::move(download);
    if (fault != TransferFault::None) {
        finishDownload(TransferOutcome::Failed, fault, m_download->faultDetail());
        return;
    }
    runDownload();
}

// Steps until the line is about 100 ms ahead, then comes back when it has taken about
// half of that. A line that is still opening is come back to once it has opened.
void TransferSession::runDownload()
{
    if (m_downloadRunning || !m_download)
        return;
    m_downloadRunning = true;
    while (m_download) {
        if (!m_line.isOpen())
            break;
        if (m_line.outputRoom() <= 0) {
            m_line.requestOutputReady();
            break;
        }
        const TransferStep step = m_download->step(m_line);
        if (step.progressed) {
            const int percent = roundedPercent(m_download->bytesRead(), m_download->length());
            if (percent != m_lastPercent) {
                m_lastPercent = percent;
                emit progress({Direction::Download, percent, m_download->bytesRead(), m_download->length()});
                if (!m_download)
                    break;   // a receiver interrupted it
            }
        }
        switch (step.kind) {
        case TransferStep::Continue:
            break;
        case TransferStep::Completed:
            finishDownload(TransferOutcome::Completed);
            break;
        case TransferStep::Failed:
            finishDownload(TransferOutcome::Failed, step.fault, m_download->faultDetail());
            break;
        }
    }
    m_downloadRunning = false;
}

void TransferSession::finishDownload(TransferOutcome::Kind kind, TransferFault fault, const SystemError &detail,
                                     qint64 unsent, bool exact)
{
    const std::unique_ptr<Download> download = std::move(m_download);
    TransferOutcome outcome;
    outcome.direction = Direction::Download;
    outcome.kind = kind;
    if (kind == TransferOutcome::Completed) {
        outcome.count = download->length();
    } else {
        outcome.count = download->fileBytesIn(std::max<qint64>(0, download->handedOver() - unsent));
        outcome.countIsUpperBound = !exact;
    }
    outcome.fault = fault;
    outcome.system = detail;
    fillPort(outcome);
    emit finished(outcome);
}

// The port the transfer ran on, and why the line could not be opened.
void TransferSession::fillPort(TransferOutcome &outcome)
{
    outcome.port = m_line.portName();
    outcome.device = m_line.networkAddress();
    if (outcome.fault == TransferFault::PortClosed)
        outcome.portError = std::exchange(m_portError, {});
}

// --- Upload --------------------------------------------------------------------------

void TransferSession::startUpload(const QString &path)
{
    if (m_upload)
        return;
    m_upload = m_board == Board::Vxt8052 ? std::unique_ptr<Upload>(new RawUpload)
                                          : std::unique_ptr<Upload>(new HexUpload);
    m_lastUploadProgress = {};
    // A target that could not be made is refused now, before anything is deleted and
    // before the board sends data that would be lost.
    SystemError detail;
    if (const TransferFault fault = Upload::checkTarget(path, &detail); fault != TransferFault::None) {
        finishUpload(TransferOutcome::Failed, fault, detail);
        return;
    }
    if (!ensureLineOpen(&m_portError)) {
        finishUpload(TransferOutcome::Failed, TransferFault::PortClosed);
        return;
    }
    VXT8088_8052::RemoveFile(path);
    m_line.discardInput();
    // A quiet time left over from the last upload must not end this one.
    m_quietTimer.stop();
    m_expected = 0;
    m_upload->begin(path);
    m_line.setPromptInput(true);
}

// Outside an upload, what the board sends is thrown away.
void TransferSession::lineReceived(const QByteArray &input)
{
    if (!m_upload)
        return;
    if (m_board == Board::Vxt8052)
        m_quietTimer.start();   // the next quiet time counts from now
    const TransferStep step = m_upload->receive(input);
    m_expected = std::max<qint64>(0, m_upload->announced());
    if (m_upload->isReceiving()) {
        const TransferProgress now = m_upload->progress();
        if (now.bytes != m_lastUploadProgress.bytes || now.percent != m_lastUploadProgress.percent
            || now.total != m_lastUploadProgress.total) {
            m_lastUploadProgress = now;
            emit progress(now);
        }
    }
    if (step.kind == TransferStep::Completed)
        finishUpload(TransferOutcome::Completed);
    else if (step.kind == TransferStep::Failed)
        finishUpload(TransferOutcome::Failed, step.fault, m_upload->faultDetail());
}

void TransferSession::quietTimeElapsed()
{
    if (m_upload)
        finishUpload(TransferOutcome::Completed);
}

void TransferSession::stopSilentUpload()
{
    if (m_upload)
        finishUpload(TransferOutcome::Interrupted, TransferFault::None, {}, true);
}

void TransferSession::finishUpload(TransferOutcome::Kind kind, TransferFault fault, const SystemError &detail,
                                   bool boardStopped)
{
    if (kind != TransferOutcome::Failed) {
        const TransferStep ended = m_upload->end();
        if (ended.kind == TransferStep::Failed) {
            kind = TransferOutcome::Failed;
            fault = ended.fault;
        }
    }
    const std::unique_ptr<Upload> upload = std::move(m_upload);
    m_line.setPromptInput(false);
    TransferOutcome outcome;
    outcome.direction = Direction::Upload;
    outcome.kind = kind;
    outcome.count = upload->reportedCount();
    outcome.kept = upload->isReceiving() ? upload->written() : -1;
    outcome.announced = upload->announced();
    outcome.unexpectedCharacters = upload->unexpectedCharacters();
    // A lone last digit says something about the board only when the board ended there.
    outcome.loneDigit = (kind == TransferOutcome::Completed || boardStopped) && upload->endedMidByte();
    outcome.fault = fault;
    outcome.system = detail.isEmpty() ? upload->faultDetail() : detail;
    fillPort(outcome);
    emit finished(outcome);
}
