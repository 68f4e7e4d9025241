// vxt-board: a virtual VXT-8088 / VXT-8052 trainer board on a pseudo-terminal, or on a
// TCP port of 127.0.0.1 as a board behind a serial device server.
//
// This file is the board itself: its end of the line, what it makes of what happens there,
// and the one loop that waits for it all. Its parts:
//   boardoptions.h    the command line
//   boardline.h       the line, a pty or a TCP listener, and its name DIR/COMn
//   boardprotocol.h   what either board makes of the bytes of a download, and puts on the
//                     line for an upload (no I/O)
//   uploads.h         the uploads waiting their turn, and the pace they go at
//   inbox.h           downloads stored as files
//   commands.h        where commands come from: standard input and the FIFO COMn.ctl
//   news.h            the lines it prints, and how it fails
//
// On the network the board takes one client at a time: a second one is closed at once, as
// a serial device server does while its port is in use.
//
// Everything runs on one thread around one poll() call: the line, the command sources
// (standard input and a control FIFO), signals (through a signalfd) and the clock that
// paces the upload. Receiving and sending are independent, so the line is full duplex.

#include "boardline.h"
#include "boardoptions.h"
#include "boardprotocol.h"
#include "commands.h"
#include "inbox.h"
#include "news.h"
#include "uploads.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The first few bytes in hexadecimal, for summary lines.
std::string preview(const Bytes &bytes)
{
    std::string text;
    char pair[4];
    for (std::size_t i = 0; i < bytes.size() && i < 16; ++i) {
        std::snprintf(pair, sizeof pair, i ? " %02X" : "%02X", bytes[i]);
        text += pair;
    }
    if (bytes.size() > 16)
        text += " ...";
    return text;
}

class VirtualBoard {
public:
    explicit VirtualBoard(const Options &options) : opt(options) {}
    int run();

private:
    void openLine();
    void acceptClient();
    void clientLeft();
    bool lineBroken(const char *doing);
    void handleLineInput();
    void finishDownload(bool endCharacterCame);
    void pumpUpload(Clock::time_point now);
    void command(const std::string &line);

    Options opt;
    PseudoTerminal pty;
    int listener = -1;   // --listen: the listening socket
    int line = -1;       // the board's end: the pty's master, or the client
    ComPort comPort;
    bool running = true;

    // The download being received.
    DownloadReceiver download{opt.board};
    Clock::time_point lastByteAt;
    // The download's pace on the line: its first read, that read's size and all it read.
    Clock::time_point firstReadAt;
    std::size_t firstReadBytes = 0, lineBytes = 0;
    int downloadCount = 0;

    UploadQueue uploads{opt.board, opt.rate, opt.piece};
    bool lineFull = false;   // the line took no more: wait until it is writable
};

// Opens the line, a pty or a listener that waits for its client, and names it DIR/COMn.
void VirtualBoard::openLine()
{
    std::string target;
    if (opt.listenPort >= 0) {
        listener = listenOnLoopback(opt.listenPort, target);
    } else {
        pty = openPseudoTerminal();
        // We keep the slave open although we never read it: while one slave descriptor
        // is open the line never "hangs up", so Kestrion can close and reopen the port
        // freely.
        line = pty.master;
        target = pty.device;
    }
    comPort = publishComPort(opt.dir, opt.port, target, opt.listenPort >= 0);
    say("VXT-%d board on %s -> %s", opt.board, comPort.link.c_str(), target.c_str());
}

// A client comes: the first is the line, any other one is turned away at once.
void VirtualBoard::acceptClient()
{
    int client = nextClient(listener);
    if (client < 0)
        return;
    if (line >= 0) {
        close(client);
        say("another client turned away: the line is in use");
        return;
    }
    line = client;
    lineFull = false;
    uploads.restartPace(Clock::now());
    say("client connected");
}

// The client went: an upload on the line goes nowhere, so it stops.
void VirtualBoard::clientLeft()
{
    close(line);
    line = -1;
    lineFull = false;
    uploads.stop("the client left");
    say("client left");
}

// A read or write on the line failed: on the network the client has gone; a pty that
// fails is the end.
bool VirtualBoard::lineBroken(const char *doing)
{
    if (errno == EAGAIN || errno == EINTR)
        return false;
    if (listener < 0)
        fail(std::string(doing) + " the line: " + std::strerror(errno));
    clientLeft();
    return true;
}

// Everything the PC sent since the last look.
void VirtualBoard::handleLineInput()
{
    std::uint8_t buffer[4096];
    ssize_t n;
    while ((n = read(line, buffer, sizeof buffer)) > 0) {
        lastByteAt = Clock::now();
        if (!lineBytes) {
            firstReadAt = lastByteAt;
            firstReadBytes = std::size_t(n);
        }
        lineBytes += std::size_t(n);
        for (ssize_t i = 0; i < n; ++i) {
            if (download.take(buffer[i]))
                finishDownload(true);
        }
    }
    if (n == 0 && listener >= 0)
        clientLeft();   // the client closed the connection
    else if (n < 0)
        lineBroken("reading");
}

// Ends the current download: the end character came (8088), the line went quiet
// (8052, or an 8088 stream that was interrupted), or the board is shutting down.
void VirtualBoard::finishDownload(bool endCharacterCame)
{
    const Download received = download.finish(endCharacterCame);
    std::string notes = received.notes;
    // The rate the bytes came at, from the first read to the last: what came with the
    // first read had left the PC before the clock started, so it is not counted.
    const double seconds = std::chrono::duration<double>(lastByteAt - firstReadAt).count();
    if (lineBytes > firstReadBytes && seconds > 0) {
        char pace[96];
        std::snprintf(pace, sizeof pace, ", %zu byte(s) on the line at %.1f bytes/s", lineBytes,
                      double(lineBytes - firstReadBytes) / seconds);
        notes += pace;
    }
    lineBytes = firstReadBytes = 0;
    const std::string where =
        opt.inbox.empty() ? "" : storeDownload(opt.inbox, received.data, received.whole);
    ++downloadCount;
    say("download %d: %zu byte(s) [%s]%s%s", downloadCount, received.data.size(),
        preview(received.data).c_str(), notes.c_str(), where.c_str());
}

// Puts the next bytes of the current upload on the line if their time has come.
void VirtualBoard::pumpUpload(Clock::time_point now)
{
    if (line < 0 || lineFull)
        return;
    if (uploads.pump(line, now) < 0 && !lineBroken("writing"))
        lineFull = true;   // nobody is reading the port: wait until there is room
}

void VirtualBoard::command(const std::string &line)
{
    const auto [word, argument] = parseCommand(line);
    if (word.empty())
        return;
    if (word == "send" || word == "raw") {
        uploads.add(argument, word == "raw");
    } else if (word == "stop") {
        uploads.stop();
    } else if (word == "quit" || word == "exit") {
        running = false;
    } else if (word == "help") {
        std::fputs(commandHelp, stdout);
        std::fflush(stdout);
    } else {
        say("unknown command '%s'; %s", word.c_str(), "type help");
    }
}

int VirtualBoard::run()
{
    // SIGINT, SIGTERM and SIGHUP arrive as data on a descriptor instead of interrupting
    // us, so they are handled in the loop like everything else.
    sigset_t signals;
    sigemptyset(&signals);
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&signals, number);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0)
        fail(std::string("signalfd: ") + std::strerror(errno));
    signal(SIGTTIN, SIG_IGN);   // a read in the background fails instead of stopping us
    signal(SIGPIPE, SIG_IGN);   // a client that went is seen by the failing write

    if (!opt.inbox.empty())
        createInbox(opt.inbox);
    openLine();
    CommandSource terminal(STDIN_FILENO);
    CommandSource fifo = openControlFifo(comPort.fifo);
    const auto obey = [this](const std::string &line) { command(line); };
    say("commands: on standard input or in %s; type help", comPort.fifo.c_str());

    bool sendPending = !opt.sendFile.empty();
    auto sendAt = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                     std::chrono::duration<double>(opt.sendDelay));
    const auto quiet = std::chrono::milliseconds(opt.quietMs);

    while (running) {
        auto now = Clock::now();
        if (sendPending && now >= sendAt) {
            sendPending = false;
            uploads.add(opt.sendFile, false);
        }
        pumpUpload(now);
        if (download.receiving() && now - lastByteAt >= quiet)
            finishDownload(false);   // quiet: 8052 done, 8088 interrupted

        // Sleep until something happens or the next deadline comes.
        auto wakeAt = Clock::time_point::max();
        if (sendPending) wakeAt = std::min(wakeAt, sendAt);
        if (download.receiving()) wakeAt = std::min(wakeAt, lastByteAt + quiet);
        const bool maySend = !uploads.empty() && line >= 0 && !lineFull;
        if (maySend && uploads.paced()) wakeAt = std::min(wakeAt, uploads.nextPieceAt());
        // The shell's fg and bg do not tell us that they moved us: while our terminal is
        // not ours to read, look again every second.
        bool readStdin = !terminal.ended && mayReadStdin();
        if (!terminal.ended && !readStdin)
            wakeAt = std::min(wakeAt, now + std::chrono::seconds(1));
        int timeoutMs = -1;
        if (maySend && !uploads.paced())
            timeoutMs = 0;   // at full speed, keep going until the line is full
        else if (wakeAt != Clock::time_point::max())
            timeoutMs = std::max<long>(0, std::chrono::ceil<std::chrono::milliseconds>(
                                              wakeAt - now).count());

        pollfd fds[5] = {{line, short(POLLIN | (lineFull ? POLLOUT : 0)), 0},   // -1: skipped
                         {signalFd, POLLIN, 0},
                         {fifo.fd, POLLIN, 0},
                         {readStdin ? terminal.fd : -1, POLLIN, 0},
                         {listener, POLLIN, 0}};
        if (poll(fds, 5, timeoutMs) < 0 && errno != EINTR)
            fail(std::string("poll: ") + std::strerror(errno));
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) handleLineInput();
        if (line >= 0 && (fds[0].revents & POLLOUT)) lineFull = false;
        if (fds[1].revents & POLLIN) running = false;
        if (fds[2].revents & POLLIN) fifo.read(obey);
        if (fds[3].revents & (POLLIN | POLLHUP | POLLERR)) terminal.read(obey);
        if (fds[4].revents & POLLIN) acceptClient();
    }
    if (download.receiving())
        finishDownload(false);
    removeBoardFiles();
    say("board switched off");
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    VirtualBoard board(parseOptions(argc, argv));
    return board.run();
}
