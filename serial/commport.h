#pragma once

#include "inputbatcher.h"
#include "line.h"
#include "linepacer.h"
#include "transfer.h"

#include <QByteArray>
#include <QSerialPort>
#include <QString>

// A serial device: a COM number's device (see ComPortMap), or a device named by its path.
//
// The line settings are fixed: 9600 baud, 8 data bits, no parity, 1 stop bit, no flow
// control, DTR asserted, RTS not asserted. Opening is done when open() returns.
//
// Output is paced (see LinePacer): bytes handed to the port are counted against a clock
// running at the line rate (960 bytes a second), and against the driver's own queue where
// the system reports it.
//
// Input is taken in batches (see InputBatcher), so that a busy line wakes the program a
// few times a second, or within about 10 ms while a transfer needs every byte
// (setPromptInput()). On a hang-up, what the device still gives is delivered before the
// port closes.
class CommPort : public Line {
    Q_OBJECT

public:
    static constexpr qint32 BaudRate = 9600;
    static constexpr qint64 LineBytesPerSecond = LinePacer::LineBytesPerSecond;
    static constexpr qint64 QueueAhead = LinePacer::QueueAhead;

    explicit CommPort(const LineOptions &options = {}, QObject *parent = nullptr);
    ~CommPort() override;

    // Port number, COM1..COM15. Set only while the port is closed.
    int commPort() const { return m_commPort; }
    void setCommPort(int number);

    // A device named by its path rather than by a COM number; empty to use the number.
    void setDevicePath(const QString &path) { m_devicePath = path; }
    // The device the port stands for.
    QString devicePath() const;
    // "COM3", or the device path where one was given.
    QString portName() const override;

    // Opens the selected device: true when it is open, false when it stays closed, with
    // `error` saying why. Never opens later.
    bool open(PortError *error = nullptr) override;
    void close() override;
    State state() const override;

    void setPromptInput(bool prompt) override { m_batcher.setPrompt(prompt); }
    void discardInput() override;

    using Line::output;
    void output(const QByteArray &bytes) override;
    qint64 outputRoom() override;
    qint64 queuedAhead() override;
    void requestOutputReady() override;
    // What the driver held is dropped, and known where the driver tells it (a UART). A
    // pseudo-terminal keeps no queue of its own and its flush drops only what is in
    // flight between its ends: there `known` is false and `dropped` counts only what
    // never reached the device. Nothing more goes until the next output().
    OutputDiscard discardOutput() override;

private:
    void handleError(QSerialPort::SerialPortError error);
    QByteArray drainInput();

    // The platform's part (commport_unix.cpp, commport_win.cpp):
    // What waits in the device, read past the port and its buffer (see InputBatcher).
    QByteArray readDevice();
    // What the port and the driver still hold to send.
    qint64 driverQueued() const;
    // Whether the open device's driver tells what it holds (see discardOutput()).
    bool reportsDriverQueue() const;
    // Why an open of `device` was refused: another program holds it, or the user may not.
    static PortError::Kind refusedKind(const QString &device);

    QSerialPort m_port;
    InputBatcher m_batcher{m_port, [this] { return readDevice(); }};
    int m_commPort = 1;
    QString m_devicePath;
    bool m_driverQueueKnown = false;   // the device tells what its driver still holds
    LinePacer m_pacer;
};
