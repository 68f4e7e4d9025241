#include "clitransfer.h"

#include "commport.h"
#include "exitcodes.h"
#include "stopsignals.h"
#include "transfersession.h"
#include "transfertexts.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

// The progress line is redrawn at most this often.
constexpr int ProgressIntervalMs = 250;
// A QTimer counts in int milliseconds (about 24 days): a longer wait goes in laps of a day.
constexpr qint64 LongestLapMs = 24 * 60 * 60 * 1000;

bool stderrIsTerminal()
{
#ifdef Q_OS_UNIX
    return ::isatty(STDERR_FILENO) == 1;
#else
    return false;
#endif
}

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

bool isFileFault(TransferFault fault)
{
    return fault != TransferFault::PortClosed && fault != TransferFault::PortFailed;
}

} // namespace

CliTransfer::CliTransfer(Language language, Board board, CommPort &port, QObject *parent)
    : QObject(parent)
    , m_language(language)
    , m_port(port)
    , m_session(new TransferSession(board, port, this))
    , m_progressOnTerminal(stderrIsTerminal())
{
    connect(m_session, &TransferSession::progress, this, &CliTransfer::showProgress);
    connect(m_session, &TransferSession::finished, this, &CliTransfer::finished);
    // Anything the board sends, data or not, shows that it is still there.
    connect(&m_port, &CommPort::onComm, this, [this] { m_sinceBoard.start(); });
    m_silenceTimer.setSingleShot(true);
    m_silenceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_silenceTimer, &QTimer::timeout, this, &CliTransfer::checkSilence);
    auto *stopSignals = new StopSignals(this);
    connect(stopSignals, &StopSignals::received, this, &CliTransfer::stopBySignal);
}

CliTransfer::~CliTransfer() = default;

void CliTransfer::download(const QString &path)
{
    m_direction = Direction::Download;
    m_started.start();
    m_session->startDownload(path);
}

void CliTransfer::upload(const QString &path, qint64 waitSeconds)
{
    m_direction = Direction::Upload;
    m_waitSeconds = std::min(waitSeconds, MaxWaitSeconds);
    m_started.start();
    m_sinceBoard.start();
    m_session->startUpload(path);
    if (m_waitSeconds > 0 && m_session->isRunning(Direction::Upload))
        checkSilence();
}

// The timer is not restarted for every byte: when it fires, it looks at how long the
// board has really been silent and runs again for what is left. (It may also fire a
// little early, which this absorbs too.)
void CliTransfer::checkSilence()
{
    if (!m_session->isRunning(Direction::Upload))
        return;
    const qint64 left = m_waitSeconds * 1000 - m_sinceBoard.elapsed();
    if (left > 0) {
        m_silenceTimer.start(int(std::min(left, LongestLapMs)));
        return;
    }
    m_gaveUp = true;
    m_session->stopSilentUpload();
}

void CliTransfer::stopBySignal(int signalNumber)
{
    if (m_signal)
        return;
    m_signal = signalNumber;
    if (m_session->isRunning(m_direction))
        m_session->interrupt(m_direction);
    else
        end(ExitCode::SignalBase + signalNumber, {}, {});
}

void CliTransfer::showProgress(const TransferProgress &progress)
{
    if (progress.direction == Direction::Upload) {
        if (!m_dataCame)
            m_started.start();   // the rate counts from the board's first bytes
        m_dataCame = true;
    }
    if (!m_progressOnTerminal)
        return;
    m_pending = progress;
    const bool last = progress.total > 0 && progress.bytes >= progress.total;
    if (m_lastProgress.isValid() && m_lastProgress.elapsed() < ProgressIntervalMs && !last)
        return;
    m_lastProgress.start();
    const qint64 ms = m_started.elapsed();
    const qint64 rate = ms >= 500 ? progress.bytes * 1000 / ms : 0;
    print(stderr, QStringLiteral("\r\x1b[K") + CliTexts::progressLine(m_language, progress, rate));
    m_progressShown = true;
}

void CliTransfer::clearProgressLine()
{
    if (m_progressShown)
        print(stderr, QStringLiteral("\r\x1b[K"));
    m_progressShown = false;
}

void CliTransfer::finished(const TransferOutcome &outcome)
{
    m_silenceTimer.stop();
    if (outcome.kind == TransferOutcome::Failed) {
        const auto message = TransferTexts::fault(m_language, outcome);
        end(isFileFault(outcome.fault) ? ExitCode::FileProblem : ExitCode::PortProblem, {}, oneLine(message.text));
        return;
    }
    if (outcome.kind == TransferOutcome::Interrupted && m_signal) {
        end(ExitCode::SignalBase + m_signal, {}, CliTexts::interrupted(m_language, outcome));
        return;
    }
    // An upload that stored no byte is no success, nor one the board left unfinished.
    const qint64 silentSeconds = m_gaveUp ? m_waitSeconds : 0;
    if (outcome.direction == Direction::Upload && outcome.kept <= 0) {
        end(ExitCode::NothingReceived, {}, CliTexts::nothingReceived(m_language, outcome, silentSeconds));
        return;
    }
    if (outcome.direction == Direction::Upload && m_gaveUp) {
        end(ExitCode::Unfinished, {}, CliTexts::unfinished(m_language, outcome, silentSeconds));
        return;
    }
    const auto message = outcome.direction == Direction::Download
                             ? TransferTexts::downloadFinished(m_language, outcome.count)
                             : TransferTexts::uploadFinished(m_language, outcome);
    end(ExitCode::Done, message.text, {});
}

// A message of several lines as one sentence after another (Chinese runs on without a
// space).
QString CliTransfer::oneLine(const QString &text) const
{
    const QString gap = m_language == Language::Chinese ? QString() : QStringLiteral(" ");
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(gap);
}

void CliTransfer::end(int code, const QString &out, const QString &err)
{
    clearProgressLine();
    // What is queued for the line goes out before the port closes.
    m_port.close();
    if (!out.isEmpty())
        print(stdout, out + QLatin1Char('\n'));
    if (!err.isEmpty())
        print(stderr, err + QLatin1Char('\n'));
    QCoreApplication::exit(code);
}
