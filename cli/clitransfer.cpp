#include "clitransfer.h"

#include "boardstation.h"
#include "console.h"
#include "line.h"
#include "linepacer.h"
#include "stopsignals.h"
#include "transfertexts.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace {

// The progress lines are redrawn at most this often.
constexpr int ProgressIntervalMs = 250;
// A QTimer counts in int milliseconds (about 24 days): a longer wait goes in laps of a day.
constexpr qint64 LongestLapMs = 24 * 60 * 60 * 1000;
// At the end, what is queued ahead of the lines (never more than about 100 ms of line
// time, and what a server has not yet acknowledged) goes out before they close; a line
// that takes longer than this is closed anyway.
constexpr int DrainLimitMs = 2000;
constexpr int DrainLookMs = 5;

// East Asian characters (and the full-width forms) take two columns of a terminal.
int columnsOf(QChar c)
{
    const char16_t u = c.unicode();
    const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
        || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
        || (u >= 0xFFE0 && u <= 0xFFE6);
    return wide ? 2 : 1;
}

// A progress line must not wrap, or redrawing in place would go wrong: it is cut to the
// terminal's width.
QString fitted(const QString &text, int columns)
{
    int used = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        used += columnsOf(text.at(i));
        if (used >= columns)
            return text.left(i);
    }
    return text;
}

// A board's line once it has ended keeps its whole text: rows that do not wrap by
// themselves, broken at a space where there is one, the later ones indented by `indent`
// columns (the port's), or not at all on a terminal too narrow for that.
QStringList wrapped(const QString &text, int columns, int indent)
{
    const int width = columns - 1;   // the last column would wrap the terminal's line
    if (width - indent < 20)
        indent = 0;
    QStringList rows;
    QString rest = text;
    while (!rest.isEmpty()) {
        const int room = rows.isEmpty() ? width : width - indent;
        const QString row = fitted(rest, room + 1);
        if (row.size() == rest.size()) {
            rows << rest;
            break;
        }
        qsizetype cut = row.size();
        const qsizetype space = row.lastIndexOf(QLatin1Char(' '));
        if (space > row.size() / 2)
            cut = space;
        rows << rest.left(std::max<qsizetype>(cut, 1));
        rest = rest.mid(std::max<qsizetype>(cut, 1));
        while (rest.startsWith(QLatin1Char(' ')))
            rest.remove(0, 1);
    }
    for (qsizetype i = 1; i < rows.size(); ++i)
        rows[i].prepend(QString(indent, QLatin1Char(' ')));
    return rows;
}

bool isFileFault(TransferFault fault)
{
    return fault != TransferFault::PortClosed && fault != TransferFault::PortFailed;
}

} // namespace

CliTransfer::CliTransfer(Language language, Board board, const QList<NamedPort> &ports, QObject *parent)
    : QObject(parent)
    , m_language(language)
    , m_board(board)
    , m_progressOnTerminal(Console::stderrIsTerminal())
{
    // Each target's connections refer to its place, which no longer changes.
    m_targets.resize(size_t(ports.size()));
    for (qsizetype i = 0; i < ports.size(); ++i) {
        Target &target = m_targets[size_t(i)];
        target.port = TransferTexts::printable(ports.at(i).name);   // as the lines show it
        // The transfer opens the port: a file it cannot use is told first.
        target.station = std::make_unique<BoardStation>(board);
        target.station->select(ports.at(i).choice);
        connect(target.station.get(), &BoardStation::progress, this,
                [this, &target](const TransferProgress &progress) { showProgress(target, progress); });
        connect(target.station.get(), &BoardStation::finished, this,
                [this, &target](const TransferOutcome &outcome) { finished(target, outcome); });
        // Anything the board sends, data or not, shows that it is still there.
        connect(&target.station->line(), &Line::received, this, [this] { m_sinceBoard.start(); });
    }
    m_silenceTimer.setSingleShot(true);
    m_silenceTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_silenceTimer, &QTimer::timeout, this, &CliTransfer::checkSilence);
    m_drawTimer.setSingleShot(true);
    connect(&m_drawTimer, &QTimer::timeout, this, &CliTransfer::drawProgress);
    auto *stopSignals = new StopSignals(this);
    connect(stopSignals, &StopSignals::received, this, &CliTransfer::stopBySignal);
}

CliTransfer::~CliTransfer() = default;

void CliTransfer::download(const QString &path)
{
    start(Direction::Download, path);
}

void CliTransfer::upload(const QString &path, qint64 waitSeconds)
{
    m_waitSeconds = std::min(waitSeconds, MaxWaitSeconds);
    m_sinceBoard.start();
    start(Direction::Upload, path);
    BoardStation &station = *m_targets.front().station;
    if (!station.isRunning(Direction::Upload))
        return;
    // What the board sent before the line was open and the upload listening has been
    // thrown away: the progress line shows from then on, to say that the board may send.
    const auto showListening = [this] { scheduleDraw(true); };
    if (station.line().isOpen())
        showListening();
    else
        connect(&station.line(), &Line::opened, this, showListening, Qt::SingleShotConnection);
    if (m_waitSeconds > 0)
        checkSilence();
}

void CliTransfer::start(Direction direction, const QString &path)
{
    m_direction = direction;
    m_starting = true;
    if (m_progressOnTerminal && isClassSet())
        drawProgress();   // every board from the start
    for (Target &target : m_targets) {
        target.started.start();
        if (direction == Direction::Download)
            target.station->startDownload(path);
        else
            target.station->startUpload(path);
    }
    m_starting = false;
    if (std::all_of(m_targets.begin(), m_targets.end(), [](const Target &t) { return t.done; }))
        endWhenDrained();
}

// The timer is not restarted for every byte: when it fires, it looks at how long the
// board has really been silent and runs again for what is left. (It may also fire a
// little early, which this absorbs too.)
void CliTransfer::checkSilence()
{
    BoardStation &station = *m_targets.front().station;
    if (!station.isRunning(Direction::Upload))
        return;
    const qint64 left = m_waitSeconds * 1000 - m_sinceBoard.elapsed();
    if (left > 0) {
        m_silenceTimer.start(int(std::min(left, LongestLapMs)));
        return;
    }
    m_gaveUp = true;
    station.stopSilentUpload();
}

// Every transfer under way stops, each keeping the start of its stream.
void CliTransfer::stopBySignal(int signalNumber)
{
    if (m_signal)
        return;
    m_signal = signalNumber;
    for (Target &target : m_targets) {
        if (target.station->isRunning(m_direction))
            target.station->interrupt(m_direction);
    }
    endWhenDrained();   // when every board has finished
}

void CliTransfer::showProgress(Target &target, const TransferProgress &progress)
{
    if (progress.direction == Direction::Upload && !target.progressed)
        target.started.start();   // the rate counts from the board's first bytes
    target.progress = progress;
    target.progressed = true;
    // One board's last figure is shown at once.
    scheduleDraw(!isClassSet() && progress.total > 0 && progress.bytes >= progress.total);
}

void CliTransfer::scheduleDraw(bool now)
{
    if (!m_progressOnTerminal)
        return;
    const qint64 since = m_lastDrawn.isValid() ? m_lastDrawn.elapsed() : ProgressIntervalMs;
    if (now || since >= ProgressIntervalMs)
        drawProgress();
    else if (!m_drawTimer.isActive())
        m_drawTimer.start(int(ProgressIntervalMs - since));
}

QString CliTransfer::progressText(const Target &target) const
{
    QString text;
    if (target.done) {
        text = target.text;
    } else if (!target.progressed) {
        TransferProgress none;
        none.direction = m_direction;
        none.percent = m_direction == Direction::Download ? 0 : -1;
        text = CliTexts::progressLine(m_language, none, 0);
    } else {
        const qint64 ms = target.started.elapsed();
        const qint64 rate = ms >= 500 ? target.progress.bytes * 1000 / ms : 0;
        text = CliTexts::progressLine(m_language, target.progress, rate);
    }
    if (!isClassSet())
        return text;
    qsizetype width = 0;
    for (const Target &other : m_targets)
        width = std::max(width, other.port.size());
    return target.port.leftJustified(width) + QStringLiteral("  ") + text;
}

// One line for each board, drawn over the ones shown before.
void CliTransfer::drawProgress()
{
    m_drawTimer.stop();
    m_lastDrawn.start();
    QString out;
    if (m_linesShown > 1)
        out += QStringLiteral("\x1b[%1A").arg(m_linesShown - 1);
    out += QLatin1Char('\r');
    const int columns = Console::columns();
    qsizetype portWidth = 0;
    for (const Target &target : m_targets)
        portWidth = std::max(portWidth, target.port.size());
    QStringList rows;
    for (const Target &target : m_targets) {
        // A board that has ended keeps its whole text, a reason why it failed too.
        if (target.done && isClassSet())
            rows += wrapped(progressText(target), columns, int(portWidth) + 2);
        else
            rows << fitted(progressText(target), columns);
    }
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i > 0)
            out += QLatin1Char('\n');
        out += QStringLiteral("\x1b[K") + rows.at(i);
    }
    Console::print(stderr, out + QStringLiteral("\x1b[J"));
    m_linesShown = int(rows.size());
}

void CliTransfer::clearProgress()
{
    m_drawTimer.stop();
    if (m_linesShown == 0)
        return;
    QString out;
    if (m_linesShown > 1)
        out += QStringLiteral("\x1b[%1A").arg(m_linesShown - 1);
    Console::print(stderr, out + QStringLiteral("\r\x1b[J"));
    m_linesShown = 0;
}

void CliTransfer::finished(Target &target, const TransferOutcome &outcome)
{
    if (target.done)
        return;
    target.done = true;
    if (outcome.direction == Direction::Upload)
        m_silenceTimer.stop();
    // An upload that stored no byte is no success, nor one the board left unfinished (given
    // up on, or an 8052 stream shorter than it announced).
    const qint64 silentSeconds = m_gaveUp ? m_waitSeconds : 0;
    // The window's words, unless the command line has more to say.
    const TransferTexts::Ending ending = TransferTexts::ending(m_language, outcome);
    if (outcome.kind == TransferOutcome::Failed) {
        target.code = isFileFault(outcome.fault) ? ExitCode::FileProblem : ExitCode::PortProblem;
        target.text = oneLine(ending.message.text);
    } else if (outcome.kind == TransferOutcome::Interrupted && m_signal) {
        target.code = ExitCode::SignalBase + m_signal;
        target.text = CliTexts::interrupted(m_language, outcome);
    } else if (outcome.direction == Direction::Upload && outcome.kept <= 0) {
        target.code = ExitCode::NothingReceived;
        target.text = CliTexts::nothingReceived(m_language, outcome, silentSeconds);
    } else if (outcome.direction == Direction::Upload && m_gaveUp) {
        target.code = ExitCode::Unfinished;
        target.text = CliTexts::unfinished(m_language, outcome, silentSeconds);
    } else if (outcome.direction == Direction::Upload && outcome.announced > outcome.count) {
        // The 8052 went quiet before the length it announced: the window's message says so.
        target.code = ExitCode::Unfinished;
        target.text = oneLine(ending.message.text);
    } else {
        target.code = ExitCode::Done;
        target.text = ending.message.text;
    }
    if (isClassSet() && !m_starting)
        scheduleDraw(false);   // its line shows how it ended
    if (!m_starting && std::all_of(m_targets.begin(), m_targets.end(), [](const Target &t) { return t.done; }))
        endWhenDrained();
}

// A message of several lines as one sentence after another (Chinese runs on without a
// space).
QString CliTransfer::oneLine(const QString &text) const
{
    const QString gap = pick(m_language, QStringLiteral(" "), QString());
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(gap);
}

void CliTransfer::endWhenDrained()
{
    if (m_ending || !std::all_of(m_targets.begin(), m_targets.end(), [](const Target &t) { return t.done; }))
        return;
    m_ending = true;
    m_silenceTimer.stop();
    m_draining.start();
    drain();
}

// Looks again when the line rate has taken what is still ahead (a server's
// acknowledgement comes sooner).
void CliTransfer::drain()
{
    qint64 ahead = 0;
    for (const Target &target : m_targets)
        ahead = std::max(ahead, target.station->line().queuedAhead());
    if (ahead == 0 || m_draining.elapsed() >= DrainLimitMs) {
        end();
        return;
    }
    const qint64 lineMs = ahead * 1000 / LinePacer::LineBytesPerSecond;
    QTimer::singleShot(int(std::clamp<qint64>(lineMs, DrainLookMs, DrainLimitMs)), this, &CliTransfer::drain);
}

void CliTransfer::end()
{
    clearProgress();
    int code = ExitCode::Done;
    for (Target &target : m_targets) {
        target.station->close();
        code = std::max(code, target.code);
    }
    if (m_signal)
        code = ExitCode::SignalBase + m_signal;
    if (isClassSet()) {
        for (const Target &target : m_targets)
            Console::print(stdout, target.port + QLatin1Char('\t') + target.text + QLatin1Char('\n'));
    } else if (const Target &target = m_targets.front(); !target.text.isEmpty()) {
        Console::print(target.code == ExitCode::Done ? stdout : stderr, target.text + QLatin1Char('\n'));
    }
    QCoreApplication::exit(code);
}
