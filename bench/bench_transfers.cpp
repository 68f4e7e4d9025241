// Transfer benchmark: the real transfer window against the simulated board (vxt-board, a
// process of its own) on a pseudo-terminal, at the real line rate of 960 bytes a second.
// For each of the four transfers it prints the rate the line reached, as a share of the
// line rate, and the CPU this program used; the uploads once with the board's bytes
// handed over 10 ms of line time at a time, as a UART's driver does, and once byte by
// byte, as some USB adapters do. Then the CPU while the window waits for an upload that
// does not come, what still goes out after an interrupt, and how long the probe of
// COM1..COM15 takes when no port exists.
//
//   bench_transfers [--size BYTES] [--wait SECONDS] [--board PATH]
//
// Run it under a display (xvfb-run works) to count the window system's share too.

#include "benchclock.h"
#include "boardprofile.h"
#include "boardstation.h"
#include "commport.h"
#include "controls.h"
#include "messageboxes.h"
#include "portprobe.h"
#include "ptyboard.h"
#include "transfersession.h"
#include "transfertexts.h"
#include "transferwindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

namespace {

// Times this program went to sleep to wait for something, each ended by a wake-up: what
// the CPU share follows, in a figure that does not change with the machine.
long sleeps()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_nvcsw;
}

// Runs the event loop until the window's transfer ends or `seconds` have passed; it does
// not wake the program meanwhile, which would count in the figures.
bool runUntilFinished(TransferWindow &window, Direction direction, int seconds)
{
    QEventLoop loop;
    QObject::connect(&window.session(), &TransferSession::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    if (window.session().isRunning(direction))
        loop.exec();
    return !window.session().isRunning(direction);
}

struct Measurement {
    qint64 lineBytes = 0;    // what crossed the line
    qint64 rateBytes = -1;   // what the rate is taken over, when not all of it
    double seconds = 0;      // from the first byte to the last
    double cpu = 0;          // this program's CPU seconds meanwhile
    double cpuSeconds = -1;  // what the CPU is counted over, when not `seconds`
    long wakeups = 0;        // meanwhile
    bool ok = false;
};

void report(const char *what, const Measurement &m)
{
    if (!m.ok) {
        std::printf("%-22s  FAILED\n", what);
        return;
    }
    const double rate = double(m.rateBytes >= 0 ? m.rateBytes : m.lineBytes) / m.seconds;
    const double cpuSeconds = m.cpuSeconds > 0 ? m.cpuSeconds : m.seconds;
    std::printf("%-22s  %7lld bytes  %7.2f s  %7.1f B/s  %6.2f%% of line rate  CPU %5.2f%% of a core  %4.0f wake-ups/s\n",
                what, static_cast<long long>(m.lineBytes), m.seconds, rate, 100.0 * rate / CommPort::LineBytesPerSecond,
                100.0 * m.cpu / cpuSeconds, m.wakeups / cpuSeconds);
    std::fflush(stdout);
}

class Bench {
public:
    // `pieces`: bytes the simulated board hands to the line at a time; 0 for its default.
    Bench(const QString &boardProgram, int board, qint64 size, int pieces = 0)
        : m_board(board)
        , m_size(size)
    {
        qputenv("KESTRION_COM_DIR", m_folder.path().toLocal8Bit());
        QByteArray content(size, Qt::Uninitialized);
        for (char &byte : content)
            byte = char(QRandomGenerator::global()->bounded(256));
        m_source = m_folder.filePath(QStringLiteral("source.bin"));
        QFile file(m_source);
        file.open(QIODevice::WriteOnly);
        file.write(content);
        file.close();

        m_simulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList arguments{QStringLiteral("--board"), QString::number(board), QStringLiteral("--dir"),
                              m_folder.path(), QStringLiteral("--port"), QStringLiteral("1")};
        if (pieces > 0)
            arguments << QStringLiteral("--piece") << QString::number(pieces);
        m_simulator.start(boardProgram, arguments);
        runUntil([&] { return QFileInfo::exists(m_folder.filePath(QStringLiteral("COM1"))); }, 5);

        const Board kind = board == 8052 ? Board::Vxt8052 : Board::Vxt8088;
        m_station = std::make_unique<BoardStation>(kind);
        PortError error;
        QObject::connect(m_station.get(), &BoardStation::applied,
                         [&error](const PortChoice &, const PortError &why) { error = why; });
        m_station->apply(PortChoice::comNumber(1));
        if (!m_station->line().isOpen())
            qFatal("cannot open the simulated board: %s", qPrintable(TransferTexts::portError(Language::English, error)));
        TransferWindow::Hooks hooks;
        hooks.endProgram = [] {};
        m_window = std::make_unique<TransferWindow>(profileForBoard(kind), *m_station, hooks);
        m_window->show();
        m_window->SetLanguage(Language::English);
    }

    ~Bench()
    {
        m_window.reset();
        m_station->close();
        m_simulator.terminate();
        m_simulator.waitForFinished(3000);
    }

    Measurement download()
    {
        TransferWindow &w = *m_window;
        control<QLineEdit>(w, "txtSourceFile")->setText(m_source);
        Measurement m;
        const double cpu0 = cpuSeconds();
        const long sleeps0 = sleeps();
        QElapsedTimer clock;
        clock.start();
        control<QPushButton>(w, "cmdDownloadFile")->click();
        m.ok = runUntilFinished(w, Direction::Download, int(m_size / 400 + 30));
        // The line still has what is queued ahead of it: wait until it has gone too.
        const qint64 ahead = m_station->line().queuedAhead();
        m.seconds = clock.nsecsElapsed() / 1e9 + double(ahead) / CommPort::LineBytesPerSecond;
        m.cpu = cpuSeconds() - cpu0;
        m.wakeups = sleeps() - sleeps0;
        m.lineBytes = m_board == 8088 ? 2 * m_size + 1 : m_size;
        closeMessageBoxes();
        return m;
    }

    Measurement upload()
    {
        TransferWindow &w = *m_window;
        control<QLineEdit>(w, "txtTargetFile")->setText(m_folder.filePath(QStringLiteral("received.bin")));
        control<QPushButton>(w, "cmdReadyUpload")->click();
        // From the port's first notification (the first bytes are in) to its last. The CPU
        // is read at the first and then every 100 ms or so (reading it is a system call
        // of its own), up to the last bytes: not the message at the end.
        QElapsedTimer clock;
        qint64 last = -1;
        qint64 firstChunk = 0;
        double cpu0 = 0;
        double cpuAtMark = 0;
        long sleeps0 = 0;
        long sleepsAtMark = 0;
        qint64 markNs = 0;
        const auto connection = QObject::connect(&m_station->line(), &Line::received, &w, [&] {
            if (!clock.isValid()) {
                clock.start();
                cpu0 = cpuAtMark = cpuSeconds();
                sleeps0 = sleepsAtMark = sleeps();
                // What came with it, in bytes of the line (the window has stored it already).
                const qint64 stored = QFileInfo(m_folder.filePath(QStringLiteral("received.bin"))).size();
                firstChunk = m_board == 8088 ? 2 * stored : stored + 2;
            }
            last = clock.nsecsElapsed();
            if (last - markNs >= 100'000'000) {
                cpuAtMark = cpuSeconds();
                sleepsAtMark = sleeps();
                markNs = last;
            }
        });
        QFile control(m_folder.filePath(QStringLiteral("COM1.ctl")));
        if (!control.open(QIODevice::WriteOnly))
            return {};
        control.write("send " + QFile::encodeName(m_source) + '\n');
        control.close();

        Measurement m;
        m.ok = runUntilFinished(w, Direction::Upload, int(m_size / 400 + 30));
        m.cpu = cpuAtMark - cpu0;
        m.wakeups = sleepsAtMark - sleeps0;
        m.cpuSeconds = markNs / 1e9;
        QObject::disconnect(connection);
        // The rate is taken over what came after the first notification.
        m.seconds = last / 1e9;
        m.rateBytes = (m_board == 8088 ? 2 * m_size + 1 : m_size + 2) - firstChunk;
        m.lineBytes = m_board == 8088 ? 2 * m_size + 1 : m_size + 2;
        m.ok = m.ok && QFileInfo(m_folder.filePath(QStringLiteral("received.bin"))).size() == m_size;
        closeMessageBoxes();
        return m;
    }

    double waitingCpu(int seconds)
    {
        TransferWindow &w = *m_window;
        control<QLineEdit>(w, "txtTargetFile")->setText(m_folder.filePath(QStringLiteral("never.bin")));
        control<QPushButton>(w, "cmdReadyUpload")->click();
        const double cpu0 = cpuSeconds();
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        const double share = (cpuSeconds() - cpu0) / (clock.nsecsElapsed() / 1e9);
        control<QPushButton>(w, "cmdReadyUpload")->click();
        return share;
    }

private:
    QTemporaryDir m_folder;
    QProcess m_simulator;
    std::unique_ptr<BoardStation> m_station;
    std::unique_ptr<TransferWindow> m_window;
    QString m_source;
    int m_board;
    qint64 m_size;
};

// Interrupts a download after a second and counts what the line still carried after the
// press. The board's end is read in this process: the pseudo-terminal hands over at once
// whatever the program writes, so the count is what the program still wrote.
void measureInterrupt()
{
    QTemporaryDir folder;
    qputenv("KESTRION_COM_DIR", folder.path().toLocal8Bit());
    PtyBoard board(folder.path(), 1);
    BoardStation station(Board::Vxt8052);
    station.apply(PortChoice::comNumber(1));
    TransferWindow::Hooks hooks;
    hooks.endProgram = [] {};
    TransferWindow window(vxt8052Profile(), station, hooks);
    const QString source = folder.filePath(QStringLiteral("source.bin"));
    QFile file(source);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(20000, 'x'));
    file.close();
    control<QLineEdit>(window, "txtSourceFile")->setText(source);
    control<QPushButton>(window, "cmdDownloadFile")->click();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 queued = station.line().queuedAhead();
    const qint64 before = board.received().size();
    control<QPushButton>(window, "cmdDownloadFile")->click();
    QTimer::singleShot(500, &loop, &QEventLoop::quit);
    loop.exec();
    const qint64 after = board.received().size() - before;
    std::printf("%-22s  %lld byte(s) written after the press (%.1f ms of line time); at the press %lld byte(s) "
                "(%.0f ms) were still ahead of the line by its clock, and are discarded\n",
                "interrupt", static_cast<long long>(after), 1000.0 * after / CommPort::LineBytesPerSecond,
                static_cast<long long>(queued), 1000.0 * queued / CommPort::LineBytesPerSecond);
}

void measureProbe()
{
    QTemporaryDir empty;
    qputenv("KESTRION_COM_DIR", empty.path().toLocal8Bit());
    CommPort port;
    QElapsedTimer clock;
    clock.start();
    int found = 0;
    for (int n = 1; n <= 15; ++n)
        found += VXT8088_8052::SelectCommPort(port, n) ? 1 : 0;
    std::printf("%-22s  %.2f ms for COM1..COM15, %d found (empty KESTRION_COM_DIR)\n", "probe",
                clock.nsecsElapsed() / 1e6, found);
    qunsetenv("KESTRION_COM_DIR");
    clock.restart();
    found = 0;
    for (int n = 1; n <= 15; ++n)
        found += VXT8088_8052::SelectCommPort(port, n) ? 1 : 0;
    std::printf("%-22s  %.2f ms for COM1..COM15, %d found (this machine's devices)\n", "probe",
                clock.nsecsElapsed() / 1e6, found);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption size(QStringLiteral("size"), QStringLiteral("bytes per transfer (default 32000)"),
                            QStringLiteral("BYTES"), QStringLiteral("32000"));
    QCommandLineOption wait(QStringLiteral("wait"), QStringLiteral("seconds of waiting measured (default 10)"),
                            QStringLiteral("SECONDS"), QStringLiteral("10"));
    QCommandLineOption board(QStringLiteral("board"), QStringLiteral("the simulated board program"),
                             QStringLiteral("PATH"), QStringLiteral(KESTRION_BOARD_PROGRAM));
    parser.addOptions({size, wait, board});
    parser.process(app);
    const qint64 bytes = parser.value(size).toLongLong();

    std::printf("Line rate: %lld bytes/s (9600 baud, 8N1). %lld bytes a transfer. Platform: %s\n\n",
                static_cast<long long>(CommPort::LineBytesPerSecond), static_cast<long long>(bytes),
                qPrintable(QGuiApplication::platformName()));
    for (int boardNumber : {8088, 8052}) {
        Bench bench(parser.value(board), boardNumber, bytes);
        report(boardNumber == 8088 ? "8088 download" : "8052 download", bench.download());
        report(boardNumber == 8088 ? "8088 upload" : "8052 upload", bench.upload());
        report(boardNumber == 8088 ? "8088 upload, bytewise" : "8052 upload, bytewise",
               Bench(parser.value(board), boardNumber, bytes, 1).upload());
        if (boardNumber == 8052) {
            const double share = bench.waitingCpu(parser.value(wait).toInt());
            std::printf("%-22s  CPU %5.2f%% of a core\n", "waiting for an upload", 100.0 * share);
        }
    }
    measureInterrupt();
    measureProbe();
    return 0;
}
