#pragma once

#include "comportmap.h"
#include "line.h"
#include "linepacer.h"
#include "transfer.h"

#include <QByteArray>
#include <QString>

#ifdef Q_OS_WIN
#include "comdevice_win.h"

#include <QElapsedTimer>
#include <QTimer>
#else
#include "inputbatcher.h"

#include <QSerialPort>
#endif

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
    void setCommPort(int number) { m_commPort = number; }

    // A device named by its path rather than by a COM number; empty to use the number.
    void setDevicePath(const QString &path) { m_devicePath = path; }
    // The device the port stands for.
    QString devicePath() const
    {
        return m_devicePath.isEmpty() ? ComPortMap::devicePath(m_commPort) : m_devicePath;
    }
    // "COM3", or the device path where one was given.
    QString portName() const override
    {
        return m_devicePath.isEmpty() ? QStringLiteral("COM%1").arg(m_commPort) : m_devicePath;
    }

    // Opens the selected device: true when it is open, false when it stays closed, with
    // `error` saying why. Never opens later.
    bool open(PortError *error = nullptr) override;
    void close() override;
    State state() const override;

    void setPromptInput(bool prompt) override;
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
#ifdef Q_OS_WIN
    // commport_win.cpp: the device through Win32. Between batches no read is under way,
    // and the bytes wait in the driver.
    void handleArrived(const QByteArray &bytes);
    void readNext();
    void handleFailure(DWORD code);

    ComDevice m_device;
    QTimer m_batchTimer;
    QElapsedTimer m_lastTake;
    bool m_prompt = false;
#else
    // commport.cpp, commport_unix.cpp: the device through QSerialPort.
    void handleError(QSerialPort::SerialPortError error);
    QByteArray drainInput();

    // commport_unix.cpp:
    // What waits in the device, read past the port and its buffer (see InputBatcher).
    QByteArray readDevice();
    // What the port and the driver still hold to send.
    qint64 driverQueued() const;
    // Stops the driver sending (true), or lets it go on (false); false when it would not.
    bool holdOutput(bool hold);
    // Whether the open device's driver tells what it holds (see discardOutput()).
    bool reportsDriverQueue() const;
    // Why an open of `device` was refused: another program holds it, or the user may not.
    static PortError::Kind refusedKind(const QString &device);

    QSerialPort m_port;
    InputBatcher m_batcher{m_port, [this] { return readDevice(); }};
    bool m_driverQueueKnown = false;   // the device tells what its driver still holds
#endif
    int m_commPort = 1;
    QString m_devicePath;
    LinePacer m_pacer;
};
