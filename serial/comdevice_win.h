#pragma once

#include "deviceoutput.h"
#include "line.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <windows.h>

class QWinEventNotifier;

// A COM port opened through Win32 for overlapped I/O: no call here waits on the device.
// A read or a write is started and returns; its end is seen through its event, which a
// QWinEventNotifier watches (WaitCommEvent is never used: it is not dependable on every
// driver). One read and one write are under way at most.
//
// The settings are fixed: 9600 baud, 8 data bits, no parity, 1 stop bit, binary, no flow
// control of either kind, DTR on and RTS off. Reads have no timeouts: a read ends when it
// has as many bytes as it asked for, so it asks for what waits in the driver, or for one
// byte when nothing waits.
class ComDevice : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 ReadLimit = 4096;   // the most one read takes

    explicit ComDevice(QObject *parent = nullptr);
    ~ComDevice() override;

    // Opens \\.\NAME ("COM3"); 0 when it is open, else the system's error code.
    DWORD open(const QString &name);
    // What was handed over still goes out: the write under way is waited for, at most for
    // its line time and a margin (never more than about 100 ms of line time is under way).
    // Then whatever is still under way is cancelled and the port closed.
    void close();
    bool isOpen() const { return m_handle != INVALID_HANDLE_VALUE; }

    // Starts a read, unless one is under way: it takes what waits in the driver, or the
    // next byte to come; arrived() follows.
    void startRead();
    bool isReading() const { return m_readPending; }
    // Drops what waits in the driver (a read under way goes on).
    void purgeInput();

    // Hands bytes over; they go out after what is under way.
    void write(const QByteArray &bytes);
    // Bytes handed over that have not gone out yet, as far as can be told (see
    // DeviceOutput).
    qint64 pendingOutput();
    // Drops what has not gone out: the write under way is cancelled and the driver's
    // output purged. The count is DeviceOutput's.
    OutputDiscard discardOutput();

signals:
    // Bytes read, in the order they came.
    void arrived(const QByteArray &bytes);
    // A read or a write failed: the device is gone (unplugged, the other end closed).
    // `code` is the system's. The port is still open: the receiver closes it.
    void failed(DWORD code);

private:
    void readDone();
    void writeDone();
    void startWrite();
    void fail(DWORD code);
    DeviceOutput output();
    // What the driver holds to receive and to send; false when it cannot be asked.
    bool queues(qint64 *in, qint64 *out);
    // Waits for an operation that was cancelled or has ended: its buffer is the
    // system's until then.
    void finish(OVERLAPPED &overlapped, bool &pending);

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    OVERLAPPED m_readOverlapped{};
    OVERLAPPED m_writeOverlapped{};
    QWinEventNotifier *m_readNotifier = nullptr;
    QWinEventNotifier *m_writeNotifier = nullptr;
    QByteArray m_reading;        // the buffer of the read under way
    QByteArray m_writing;        // the bytes of the write under way
    QByteArray m_waiting;        // handed over, not yet written
    bool m_readPending = false;
    bool m_writePending = false;
    bool m_writeCancelled = false;   // the write under way was cancelled by a discard
    bool m_failed = false;
    int m_opening = 0;               // counts the opens: a failure told late belongs to one
    bool m_outQueueSeen = false;     // the driver has reported bytes in its output queue
};
