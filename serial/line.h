#pragma once

#include "linepacer.h"
#include "transfer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QtGlobal>

// What discarding the output came to.
struct OutputDiscard {
    qint64 dropped = 0;   // bytes handed to the line that will not reach the board
    bool known = true;    // `dropped` is exact; when not, more may have been dropped (what
                          // a server or a pseudo-terminal held cannot be seen), and
                          // `dropped` counts only what surely did not go: the board holds
                          // at most what was handed over less `dropped`
};

// How a line is made, beside the port it stands for: the rate of its pacing clock (tests
// and benchmarks may run it faster than the line), and how long an open() may take
// before it gives up (short for a probe of many ports; a line that opens at once has no
// use for it).
struct LineOptions {
    static constexpr int OpenTimeoutMs = 4000;
    static constexpr int ProbeTimeoutMs = 400;
    qint64 pacingBytesPerSecond = LinePacer::LineBytesPerSecond;
    int openTimeoutMs = OpenTimeoutMs;
};

// A line to one board: what a transfer needs of it. The kinds are a serial device, and a
// TCP connection to a serial device server, raw or with RFC 2217.
//
// The line runs at 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
// Output is paced by a clock at the line rate (see LinePacer): a sender asks
// outputRoom() how much it may queue now and waits for outputReady() when there is none,
// so that never more than about 100 ms of line time is queued ahead of the line.
//
// Input is pushed: received() hands over the board's bytes as the line takes them, and
// the line keeps none of them. Outside an upload it takes them in batches; while an
// upload needs every byte, within about 10 ms of their coming (setPromptInput()).
//
// Opening may complete later (a connection over the network does): open() then returns
// true at once, and opened() or openFailed() follows. Nothing here waits on the line.
class Line : public QObject {
    Q_OBJECT

public:
    enum class State { Closed, Opening, Open };

    using QObject::QObject;

    // The name the user gave: "COM3", a device path or a network address.
    virtual QString portName() const = 0;
    // The network address behind the line, as written (socket://host:port); empty for a
    // serial device.
    virtual QString networkAddress() const { return {}; }

    // Opens the line. False when it failed at once (`error` says why); true when it is
    // open, or opening: then opened() or openFailed() follows. Opening an open line does
    // nothing and returns true.
    virtual bool open(PortError *error = nullptr) = 0;
    // Closes the line, or gives up opening it (aboutToClose() and closed() come either
    // way). What a transfer has handed over is part of its stream and still goes out.
    virtual void close() = 0;
    virtual State state() const = 0;
    bool isOpen() const { return state() == State::Open; }
    bool isOpening() const { return state() == State::Opening; }

    // While a transfer needs every byte (an upload), input is taken within about 10 ms of
    // its coming rather than in batches: at a hang-up the system throws away what nobody
    // has read.
    virtual void setPromptInput(bool prompt) = 0;
    // Drops what the board sent that the line holds and has not handed over yet (between
    // batches, it waits in the driver): an upload starting now takes none of it.
    virtual void discardInput() = 0;

    // Queues bytes for the line and returns at once.
    virtual void output(const QByteArray &bytes) = 0;
    void output(char byte) { output(QByteArray(1, byte)); }
    // How many bytes may be queued now without running more than the allowed time ahead
    // of the line; 0 while the line is not open.
    virtual qint64 outputRoom() = 0;
    // Bytes handed to the line that have not yet gone out, as far as can be told.
    virtual qint64 queuedAhead() = 0;
    // Arms a one-shot outputReady() for when the line has taken about half of what is
    // queued ahead. Repeated calls while armed do nothing more.
    virtual void requestOutputReady() = 0;
    // Drops what has not yet gone out, as far as the line can.
    virtual OutputDiscard discardOutput() = 0;

signals:
    // Bytes from the board, in the order they came.
    void received(const QByteArray &bytes);
    // The line was opened, or closed by the program (also while it was opening);
    // aboutToClose() comes before it closes.
    void opened();
    void aboutToClose();
    void closed();
    // An open() that returned true did not succeed; the line is closed.
    void openFailed(const PortError &error);
    // The line stopped working (device unplugged, the other end gone, the connection
    // dropped). What it still gave has been delivered, and the line has been closed.
    // `portName` as portName() gives it.
    void failed(const QString &portName);
    // See requestOutputReady().
    void outputReady();
};
