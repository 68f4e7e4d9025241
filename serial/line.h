#pragma once

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

// A line to one board: what a transfer needs of it. The kinds are a serial device, a raw
// TCP connection to a serial device server and an RFC 2217 connection to one.
//
// The line runs at 9600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
// Output is paced by a clock at the line rate (see LinePacer): a sender asks
// outputRoom() how much it may queue now and waits for outputReady() when there is none,
// so that never more than about 100 ms of line time is queued ahead of the line.
//
// Opening may complete later (a connection over the network does): open() then returns
// true at once, and opened() or openFailed() follows. Nothing here waits on the line.
class Line : public QObject {
    Q_OBJECT

public:
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
    virtual bool isOpen() const = 0;
    // An open() is under way.
    virtual bool isOpening() const { return false; }
    // How long an open() may take before it gives up: short for a probe of many ports,
    // longer for a transfer. A line that opens at once has no use for it.
    virtual void setOpenTimeout(int milliseconds) { Q_UNUSED(milliseconds); }

    // Received bytes waiting to be read, and discarding them.
    virtual qint64 inBufferCount() const = 0;
    virtual void discardInput() = 0;
    // Takes every waiting byte.
    virtual QByteArray input() = 0;
    // While a transfer needs every byte (an upload), input is taken within about 10 ms of
    // its coming rather than in batches.
    virtual void setPromptInput(bool prompt) = 0;

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

    // The pacing rate; tests and benchmarks may run the clock faster than the line.
    virtual void setPacingBytesPerSecond(qint64 bytesPerSecond) = 0;

signals:
    // Received data may be waiting (the line's notification).
    void onComm();
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
