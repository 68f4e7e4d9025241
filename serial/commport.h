#pragma once

#include "inputbatcher.h"
#include "transfer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTimer>

// The program's one serial port. Every transfer, the port probe and the opening and
// closing of the line go through a single CommPort, owned by the hidden serial host.
//
// The line settings are fixed: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control, DTR asserted, RTS not asserted.
//
// Output is paced: bytes handed to the port are counted against a clock running at the
// line rate (960 bytes a second), and against the driver's own queue where the system
// reports it. A sender asks outputRoom() how much it may queue now and waits for
// outputReady() when there is none, so that never more than about 100 ms of line time is
// queued ahead of the line.
//
// Input is taken in batches (see InputBatcher), so that a busy line wakes the program a
// few times a second, or within about 10 ms while a transfer needs every byte
// (setPromptInput()). On a hang-up, what the device still gives is delivered before the
// port closes.
class CommPort : public QObject {
    Q_OBJECT

public:
    static constexpr qint32 BaudRate = 9600;
    static constexpr qint64 LineBytesPerSecond = BaudRate / 10;   // 8N1: ten bits a byte
    static constexpr qint64 QueueAhead = LineBytesPerSecond / 10;   // 100 ms of line time

    explicit CommPort(QObject *parent = nullptr);
    ~CommPort() override;

    // Port number, COM1..COM15. Set only while the port is closed.
    int commPort() const { return m_commPort; }
    void setCommPort(int number);

    // A device named by its path rather than by a COM number; empty to use the number.
    void setDevicePath(const QString &path) { m_devicePath = path; }
    // The device the port stands for.
    QString devicePath() const;
    // "COM3", or the device path where one was given.
    QString portName() const;

    // Opens the selected port. On failure the port stays closed and `error` says why.
    bool open(PortError *error = nullptr);
    void close();
    bool isOpen() const;

    // Received bytes waiting to be read, and discarding them.
    qint64 inBufferCount() const;
    void discardInput();

    // Takes every waiting byte.
    QByteArray input();

    // While a transfer needs every byte (an upload), input is taken within about 10 ms
    // rather than in batches: at a hang-up the system throws away what it still holds.
    void setPromptInput(bool prompt) { m_batcher.setPrompt(prompt); }

    // Queues bytes for the line and returns at once.
    void output(const QByteArray &bytes);
    void output(char byte) { output(QByteArray(1, byte)); }

    // How many bytes may be queued now without running more than the allowed time
    // ahead of the line; 0 while the port is closed.
    qint64 outputRoom();
    // Bytes handed to the port that have not yet gone out on the line, as far as the
    // clock and the driver tell.
    qint64 queuedAhead();
    // Arms a one-shot outputReady() for when the line has taken about half of what is
    // queued ahead. Repeated calls while armed do nothing more.
    void requestOutputReady();
    // What a discard dropped: the bytes handed to the port that had not gone out yet.
    // Where the system cannot tell what its driver still held (a pseudo-terminal keeps no
    // queue of its own, and its flush drops only what is in flight between its ends),
    // `exact` is false and `bytes` counts only what never reached the device.
    struct Discarded {
        qint64 bytes = 0;
        bool exact = true;
    };
    // Drops every byte that has not yet gone out; nothing more goes until the next
    // output().
    Discarded discardOutput();

    // The pacing rate; tests and benchmarks may run the clock faster than the line.
    void setPacingBytesPerSecond(qint64 bytesPerSecond);

signals:
    // Received data may be waiting (the line's notification).
    void onComm();
    // The port was opened, or closed by the program; aboutToClose() comes while it is
    // still open.
    void opened();
    void aboutToClose();
    void closed();
    // The port stopped working (device unplugged, the other end gone). What the device
    // still gave has been delivered, and the port has been closed. `portName` as
    // portName() gives it.
    void failed(const QString &portName);
    // See requestOutputReady().
    void outputReady();

private:
    void handleArrived(const QByteArray &bytes);
    void handleError(QSerialPort::SerialPortError error);
    QByteArray drainInput();
    QByteArray readDevice();
    qint64 clockQueued() const;
    qint64 driverQueued() const;
    static bool reportsDriverQueue(int descriptor);

    QSerialPort m_port;
    InputBatcher m_batcher{m_port, [this] { return readDevice(); }};
    QByteArray m_received;    // taken from the driver, not yet read by the program
    int m_commPort = 1;
    QString m_devicePath;
    bool m_driverQueueKnown = false;   // the device tells what its driver still holds

    qint64 m_pacingRate = LineBytesPerSecond;
    QElapsedTimer m_clock;
    qint64 m_lineFreeAtNs = 0;   // when the clock says the line will have sent everything
    QTimer m_outputTimer;
};
