// Lines to a board on the network: the simulated board (vxt-board, a process of its own,
// at the real line rate of 960 bytes a second) behind a raw TCP port of its own, and
// behind Debian's ser2net on 127.0.0.1, raw and with RFC 2217. For each it prints how
// long opening takes, the rate of a download and of an upload as a share of the line
// rate, and the CPU this program used meanwhile. Then, through ser2net in front of a
// UART (the test UART shim on a pseudo-terminal, preloaded into ser2net), what still
// reaches the board after an interrupt, raw and with RFC 2217. Then slow RFC 2217 servers
// (a delaying proxy in front of ser2net, 250 ms and 600 ms each way): what the probe of
// network ports, `kestrion-cli ports` and `kestrion-cli download` do, and when.
//
//   bench_lines [--size BYTES] [--cli PATH]   (--cli: another kestrion-cli to compare)

#include "benchclock.h"
#include "delayingproxy.h"
#include "lines.h"
#include "linesender.h"
#include "linepacer.h"
#include "portlisting.h"
#include "ptyboard.h"
#include "ser2netserver.h"
#include "transfertexts.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int OpenRounds = 5;
constexpr int BoardReportSeconds = 2;   // the board tells of a download after 500 ms of quiet

// The simulated board, and the lines of its output.
class BoardProcess {
public:
    bool start(const QStringList &arguments)
    {
        m_process.start(QStringLiteral(KESTRION_BOARD_PROGRAM), arguments);
        return m_process.waitForStarted() && !waitForLine(QStringLiteral("commands:"), 5).isEmpty();
    }
    ~BoardProcess()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }
    QString waitForLine(const QString &prefix, int seconds)
    {
        QString found;
        runUntil(
            [&] {
                m_output += m_process.readAllStandardOutput();
                qsizetype end;
                while (found.isEmpty() && (end = m_output.indexOf('\n')) >= 0) {
                    const QString line = QString::fromUtf8(m_output.left(end));
                    m_output.remove(0, end + 1);
                    if (line.startsWith(prefix))
                        found = line;
                }
                return !found.isEmpty();
            },
            seconds);
        return found;
    }

private:
    QProcess m_process;
    QByteArray m_output;
};

struct Figures {
    double openMs = 0;
    double downloadShare = 0, downloadCpu = 0;
    double uploadShare = 0, uploadCpu = 0;
    bool exact = false;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

Figures measure(const QString &address, BoardProcess &board, const QString &controlFifo, const QString &folder,
                qsizetype size)
{
    Figures figures;
    std::unique_ptr<Line> line = makeNetworkLine(address, address);
    if (!line)
        return figures;

    // Opening, a few times over; the server needs a moment to let the port go.
    QList<double> openTimes;
    for (int round = 0; round < OpenRounds; ++round) {
        QElapsedTimer clock;
        clock.start();
        double openedMs = -1;
        QObject::connect(line.get(), &Line::opened, [&] { openedMs = clock.nsecsElapsed() / 1e6; });
        line->open();
        runUntil([&] { return openedMs >= 0; }, 5);
        openTimes << openedMs;
        QObject::disconnect(line.get(), &Line::opened, nullptr, nullptr);
        if (round + 1 < OpenRounds) {
            line->close();
            QEventLoop pause;
            QTimer::singleShot(200, &pause, &QEventLoop::quit);
            pause.exec();
        }
    }
    figures.openMs = median(openTimes);
    if (!line->isOpen())
        return figures;

    // Download: as much as the line has room for, then more when it is ready; the rate
    // from the first byte handed over until the clock says the last has gone.
    QElapsedTimer clock;
    double lineDoneSeconds = 0;
    QByteArray stream(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        stream[i] = char(i * 7 + i / 256);
    LineSender sender(*line, stream, [&] {
        lineDoneSeconds = clock.nsecsElapsed() / 1e9 + double(line->queuedAhead()) / LinePacer::LineBytesPerSecond;
    });
    clock.start();
    const double cpu = cpuSeconds();
    sender.pump();
    const int transferSeconds = int(2 * size / LinePacer::LineBytesPerSecond) + 5;
    runUntil([&] { return sender.finished() && line->queuedAhead() == 0; }, transferSeconds);
    figures.downloadCpu = (cpuSeconds() - cpu) / (clock.nsecsElapsed() / 1e9);
    figures.downloadShare = lineDoneSeconds > 0 ? size / lineDoneSeconds / LinePacer::LineBytesPerSecond : 0;
    const QString stored = board.waitForLine(QStringLiteral("download"), BoardReportSeconds);
    figures.exact = stored.contains(QStringLiteral(" %1 byte(s)").arg(size));

    // Upload: the board sends at its own pace; the rate from the first byte to the last.
    const QString file = folder + QStringLiteral("/upload.bin");
    QFile out(file);
    out.open(QIODevice::WriteOnly);
    out.write(stream);
    out.close();
    QByteArray received;
    QElapsedTimer sinceFirst;
    double firstCpu = 0, lastCpu = 0;
    qint64 lastNs = 0;
    QObject::connect(line.get(), &Line::received, [&](const QByteArray &bytes) {
        if (received.isEmpty()) {
            sinceFirst.start();
            firstCpu = cpuSeconds();
        }
        received += bytes;
        lastNs = sinceFirst.nsecsElapsed();
        lastCpu = cpuSeconds();
    });
    QFile control(controlFifo);
    control.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    control.write("send " + QFile::encodeName(file) + '\n');
    control.close();
    runUntil([&] { return received.size() >= size + 2; }, transferSeconds);
    if (lastNs > 0) {
        figures.uploadShare = (received.size() - 1) / (lastNs / 1e9) / LinePacer::LineBytesPerSecond;
        figures.uploadCpu = (lastCpu - firstCpu) / (lastNs / 1e9);
    }
    QByteArray wire;
    wire += char(size >> 8);
    wire += char(size & 0xFF);
    figures.exact = figures.exact && received == wire + stream;
    line->close();
    return figures;
}

void print(const char *kind, const Figures &f)
{
    std::printf("%-16s open %6.1f ms | download %5.1f%% of line rate, CPU %4.2f%% | upload %5.1f%%, CPU %4.2f%% | %s\n", kind,
                f.openMs, 100 * f.downloadShare, 100 * f.downloadCpu, 100 * f.uploadShare, 100 * f.uploadCpu,
                f.exact ? "bytes exact" : "BYTES DIFFER");
    std::fflush(stdout);
}

// A download through ser2net to a UART at the line rate, interrupted after two seconds:
// the bytes that reach the board after the press, and when the last of them came.
void measureInterrupt(const char *kind, bool rfc2217)
{
    QTemporaryDir folder;
    PtyBoard board(folder.path(), 1);
    Ser2NetServer ser2net;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(FAKEUART_LIBRARY));
    environment.insert(QStringLiteral("FAKEUART_DEVICE"), board.devicePath());
    ser2net.setEnvironment(environment);
    if (!board.isValid() || !ser2net.start(board.devicePath())) {
        std::printf("%-16s ser2net did not start: %s\n", kind, qPrintable(ser2net.errorText()));
        return;
    }
    const QString address = rfc2217 ? ser2net.rfc2217Address() : ser2net.rawAddress();
    std::unique_ptr<Line> line = makeNetworkLine(address, address);
    line->open();
    runUntil([&] { return line->isOpen(); }, 5);

    LineSender sender(*line, QByteArray(20000, 'x'));
    sender.pump();
    runUntil([] { return false; }, 2);

    sender.stop();
    const qint64 ahead = line->queuedAhead();
    line->discardOutput();
    QElapsedTimer sincePress;
    sincePress.start();
    const qsizetype atPress = board.received().size();
    qsizetype seen = atPress;
    qint64 lastMs = 0;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (board.received().size() > seen) {
            seen = board.received().size();
            lastMs = sincePress.elapsed();
        }
        if (sincePress.elapsed() >= 1000)
            loop.quit();
    });
    look.start(2);
    loop.exec();
    std::printf("%-16s interrupt: %lld byte(s) reached the board after the press, the last %lld ms after it; "
                "%lld byte(s) were ahead of the line by its clock\n",
                kind, static_cast<long long>(seen - atPress), static_cast<long long>(lastMs),
                static_cast<long long>(ahead));
    std::fflush(stdout);
}

// A program run without blocking this event loop (the proxy lives in it): seconds taken,
// exit code, and the last line it printed.
struct Run {
    double seconds = 0;
    int exitCode = -1;
    QString said;
};

Run runCli(const QString &cli, const QStringList &arguments, const QString &comFolder)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KESTRION_COM_DIR"), comFolder);
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(cli, arguments);
    runUntil([&] { return process.state() == QProcess::NotRunning; }, 30);
    Run run;
    run.seconds = clock.nsecsElapsed() / 1e9;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.said = lines.isEmpty() ? QString() : lines.last();
    return run;
}

// An RFC 2217 server `delayMs` away each way: a probe in this program (what it says at
// its short time, and when the port answered), `kestrion-cli ports` and a download of
// 480 bytes (two seconds of line) with it.
void measureSlowServer(const QString &cli, quint16 rfc2217Port, int delayMs, const QString &folder)
{
    DelayingProxy proxy(rfc2217Port, delayMs);
    QTemporaryDir com;
    const QString address = QStringLiteral("rfc2217://127.0.0.1:%1").arg(proxy.port());
    QFile file(com.filePath(QStringLiteral("COM1")));
    file.open(QIODevice::WriteOnly);
    file.write(address.toUtf8() + '\n');
    file.close();
    const auto pause = [] { runUntil([] { return false; }, 1); };   // the server lets the port go

    qputenv("KESTRION_COM_DIR", QFile::encodeName(com.path()));
    NetworkPortProbe probe;
    QElapsedTimer clock;
    clock.start();
    double finishedMs = -1, lateMs = -1;
    QString atFinish;
    QObject::connect(&probe, &NetworkPortProbe::finished, [&] {
        finishedMs = clock.nsecsElapsed() / 1e6;
        atFinish = probe.reachable().isEmpty() ? TransferTexts::portError(Language::English, probe.unreachable().value(0))
                                               : QStringLiteral("listed");
    });
    QObject::connect(&probe, &NetworkPortProbe::answeredLate, [&] { lateMs = clock.nsecsElapsed() / 1e6; });
    probe.start({1});
    runUntil([&] { return lateMs >= 0 || (finishedMs >= 0 && probe.unreachable().isEmpty()); }, 6);
    std::printf("%3d ms each way: probe: at %.0f ms %s | answered %s\n", delayMs, finishedMs, qPrintable(atFinish),
                lateMs >= 0 ? qPrintable(QStringLiteral("late, at %1 ms (%2)").arg(lateMs, 0, 'f', 0)
                                             .arg(probe.reachable().isEmpty() ? QStringLiteral("refused") : QStringLiteral("listed")))
                            : "not later");
    qunsetenv("KESTRION_COM_DIR");
    pause();

    const Run ports = runCli(cli, {QStringLiteral("ports")}, com.path());
    std::printf("%3d ms each way: kestrion-cli ports: %.2f s, exit %d: %s\n", delayMs, ports.seconds, ports.exitCode,
                qPrintable(ports.said));
    pause();
    const QString source = folder + QStringLiteral("/slow.bin");
    QFile out(source);
    out.open(QIODevice::WriteOnly);
    out.write(QByteArray(480, 'x'));
    out.close();
    const Run download = runCli(cli, {QStringLiteral("download"), QStringLiteral("--board"), QStringLiteral("8052"),
                                      QStringLiteral("--port"), address, source},
                                com.path());
    std::printf("%3d ms each way: kestrion-cli download 480 bytes: %.2f s, exit %d: %s\n", delayMs, download.seconds,
                download.exitCode, qPrintable(download.said));
    std::fflush(stdout);
    pause();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption sizeOption(QStringLiteral("size"), QStringLiteral("bytes each way (8052 board)"),
                                        QStringLiteral("BYTES"), QStringLiteral("4800"));
    parser.addOption(sizeOption);
    const QCommandLineOption cliOption(QStringLiteral("cli"), QStringLiteral("the kestrion-cli to run"),
                                       QStringLiteral("PATH"), QStringLiteral(KESTRION_CLI_PROGRAM));
    parser.addOption(cliOption);
    parser.addHelpOption();
    parser.process(app);
    const qsizetype size = std::clamp<qsizetype>(parser.value(sizeOption).toLongLong(), 1000, 32000);

    QTemporaryDir folder;
    const QString com = folder.path() + QStringLiteral("/com");
    const QStringList boardArguments{QStringLiteral("--board"), QStringLiteral("8052"), QStringLiteral("--dir"), com};
    {
        BoardProcess board;
        if (!board.start(boardArguments + QStringList{QStringLiteral("--listen"), QStringLiteral("0")}))
            return 1;
        QFile comFile(com + QStringLiteral("/COM1"));
        comFile.open(QIODevice::ReadOnly);
        print("vxt-board tcp", measure(QString::fromUtf8(comFile.readLine().trimmed()), board, com + QStringLiteral("/COM1.ctl"),
                                       folder.path(), size));
    }
    if (!Ser2NetServer::isInstalled()) {
        std::printf("ser2net is not installed: no figures through it\n");
        return 0;
    }
    BoardProcess board;
    if (!board.start(boardArguments))
        return 1;
    Ser2NetServer ser2net;
    if (!ser2net.start(QFile::symLinkTarget(com + QStringLiteral("/COM1")))) {
        std::printf("ser2net did not start: %s\n", qPrintable(ser2net.errorText()));
        return 1;
    }
    print("ser2net raw", measure(ser2net.rawAddress(), board, com + QStringLiteral("/COM1.ctl"), folder.path(), size));
    print("ser2net rfc2217", measure(ser2net.rfc2217Address(), board, com + QStringLiteral("/COM1.ctl"), folder.path(), size));
    measureInterrupt("ser2net raw", false);
    measureInterrupt("ser2net rfc2217", true);
    for (const int delayMs : {250, 600})
        measureSlowServer(parser.value(cliOption), ser2net.rfc2217Port(), delayMs, folder.path());
    return 0;
}
