#include "comdevice_win.h"

#include "linepacer.h"

#include <QTimer>
#include <QWinEventNotifier>

#include <algorithm>
#include <string>

namespace {

// How long close() lets the write under way finish beyond its line time.
constexpr DWORD CloseMarginMs = 100;

HANDLE newEvent()
{
    return ::CreateEventW(nullptr, TRUE, FALSE, nullptr);   // manual reset, as overlapped I/O wants
}

// Sets 9600 8N1, binary, no flow control, DTR on and RTS off; 0 or the system's error.
DWORD configure(HANDLE handle)
{
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle, &dcb))
        return ::GetLastError();
    dcb.BaudRate = CBR_9600;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    dcb.fAbortOnError = FALSE;   // a framing error or an overrun stops nothing
    if (!::SetCommState(handle, &dcb))
        return ::GetLastError();

    // No timeouts: a read waits for as many bytes as it asks for, a write until it is out.
    COMMTIMEOUTS timeouts{};
    if (!::SetCommTimeouts(handle, &timeouts))
        return ::GetLastError();

    // The modem lines once more, for drivers that take them only so. A port without them
    // (a virtual one) says it does not support them: no reason to refuse it.
    for (const DWORD function : {DWORD(SETDTR), DWORD(CLRRTS)}) {
        if (!::EscapeCommFunction(handle, function) && ::GetLastError() != ERROR_NOT_SUPPORTED)
            return ::GetLastError();
    }
    // Bytes that came in before we opened the port belong to nobody.
    ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return ERROR_SUCCESS;
}

} // namespace

ComDevice::ComDevice(QObject *parent)
    : QObject(parent)
{
}

ComDevice::~ComDevice()
{
    close();
}

DWORD ComDevice::open(const QString &name)
{
    if (isOpen())
        return ERROR_SUCCESS;
    const std::wstring path = QString(QStringLiteral("\\\\.\\") + name).toStdWString();
    HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return ::GetLastError();
    if (const DWORD error = configure(handle); error != ERROR_SUCCESS) {
        ::CloseHandle(handle);
        return error;
    }
    HANDLE readEvent = newEvent();
    HANDLE writeEvent = newEvent();
    if (!readEvent || !writeEvent) {
        const DWORD error = ::GetLastError();
        for (HANDLE event : {readEvent, writeEvent}) {
            if (event)
                ::CloseHandle(event);
        }
        ::CloseHandle(handle);
        return error;
    }
    m_handle = handle;
    m_readOverlapped = {};
    m_readOverlapped.hEvent = readEvent;
    m_writeOverlapped = {};
    m_writeOverlapped.hEvent = writeEvent;
    m_readNotifier = new QWinEventNotifier(readEvent, this);
    m_readNotifier->setEnabled(false);
    connect(m_readNotifier, &QWinEventNotifier::activated, this, &ComDevice::readDone);
    m_writeNotifier = new QWinEventNotifier(writeEvent, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QWinEventNotifier::activated, this, &ComDevice::writeDone);
    m_reading.clear();
    m_writing.clear();
    m_waiting.clear();
    m_readPending = m_writePending = m_writeCancelled = m_failed = m_outQueueSeen = false;
    ++m_opening;
    return ERROR_SUCCESS;
}

void ComDevice::close()
{
    if (!isOpen())
        return;
    // The write under way, then what waits behind it (never more than about 100 ms of
    // line time in all: the output is paced).
    for (int round = 0; round < 2 && !m_failed; ++round) {
        if (!m_writePending)
            startWrite();
        if (!m_writePending)
            break;
        const qint64 lineMs = qint64(m_writing.size()) * 1000 / LinePacer::LineBytesPerSecond;
        if (::WaitForSingleObject(m_writeOverlapped.hEvent, DWORD(lineMs) + CloseMarginMs) != WAIT_OBJECT_0)
            break;
        finish(m_writeOverlapped, m_writePending);
        m_writing.clear();
    }
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = m_writeNotifier = nullptr;
    ::CancelIoEx(m_handle, nullptr);
    finish(m_readOverlapped, m_readPending);
    finish(m_writeOverlapped, m_writePending);
    ::CloseHandle(m_handle);
    ::CloseHandle(m_readOverlapped.hEvent);
    ::CloseHandle(m_writeOverlapped.hEvent);
    m_handle = INVALID_HANDLE_VALUE;
    m_reading.clear();
    m_writing.clear();
    m_waiting.clear();
}

void ComDevice::finish(OVERLAPPED &overlapped, bool &pending)
{
    if (!pending)
        return;
    DWORD transferred = 0;
    ::GetOverlappedResult(m_handle, &overlapped, &transferred, TRUE);
    pending = false;
}

bool ComDevice::queues(qint64 *in, qint64 *out)
{
    DWORD errors = 0;
    COMSTAT status{};
    if (!isOpen() || !::ClearCommError(m_handle, &errors, &status))
        return false;
    if (in)
        *in = status.cbInQue;
    if (out)
        *out = status.cbOutQue;
    if (status.cbOutQue > 0)
        m_outQueueSeen = true;
    return true;
}

void ComDevice::startRead()
{
    if (!isOpen() || m_readPending || m_failed)
        return;
    qint64 waiting = 0;
    queues(&waiting, nullptr);
    m_reading.resize(std::clamp<qint64>(waiting, 1, ReadLimit));
    // Whether it ends at once or later, its event is set and readDone() takes it.
    if (!::ReadFile(m_handle, m_reading.data(), DWORD(m_reading.size()), nullptr, &m_readOverlapped)
        && ::GetLastError() != ERROR_IO_PENDING) {
        fail(::GetLastError());
        return;
    }
    m_readPending = true;
    m_readNotifier->setEnabled(true);
}

void ComDevice::readDone()
{
    if (!m_readPending)
        return;
    DWORD transferred = 0;
    const bool done = ::GetOverlappedResult(m_handle, &m_readOverlapped, &transferred, FALSE);
    if (!done && ::GetLastError() == ERROR_IO_INCOMPLETE)
        return;   // not yet: the event was set by something else
    const DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
    m_readPending = false;
    m_readNotifier->setEnabled(false);
    if (!done) {
        fail(error);
        return;
    }
    if (transferred > 0)
        emit arrived(m_reading.left(qsizetype(transferred)));
}

void ComDevice::purgeInput()
{
    if (isOpen())
        ::PurgeComm(m_handle, PURGE_RXCLEAR);
}

void ComDevice::write(const QByteArray &bytes)
{
    if (!isOpen() || m_failed || bytes.isEmpty())
        return;
    m_waiting += bytes;
    if (!m_writePending)
        startWrite();
}

void ComDevice::startWrite()
{
    if (m_waiting.isEmpty() || m_failed)
        return;
    m_writing = std::exchange(m_waiting, {});
    m_writeCancelled = false;
    if (!::WriteFile(m_handle, m_writing.constData(), DWORD(m_writing.size()), nullptr, &m_writeOverlapped)
        && ::GetLastError() != ERROR_IO_PENDING) {
        const DWORD error = ::GetLastError();
        m_writing.clear();
        fail(error);
        return;
    }
    m_writePending = true;
    m_writeNotifier->setEnabled(true);
}

void ComDevice::writeDone()
{
    if (!m_writePending)
        return;
    DWORD transferred = 0;
    const bool done = ::GetOverlappedResult(m_handle, &m_writeOverlapped, &transferred, FALSE);
    if (!done && ::GetLastError() == ERROR_IO_INCOMPLETE)
        return;
    const DWORD error = done ? ERROR_SUCCESS : ::GetLastError();
    m_writePending = false;
    m_writeNotifier->setEnabled(false);
    const bool cancelled = std::exchange(m_writeCancelled, false);
    if (!done && !(cancelled && error == ERROR_OPERATION_ABORTED)) {
        m_writing.clear();
        fail(error);
        return;
    }
    // A write that ended short without being cancelled (a driver's own write timeout)
    // goes on with what it did not take.
    if (done && !cancelled && transferred < DWORD(m_writing.size()))
        m_waiting.prepend(m_writing.mid(qsizetype(transferred)));
    m_writing.clear();
    startWrite();
}

DeviceOutput ComDevice::output()
{
    DeviceOutput output{m_waiting.size(), m_writePending && !m_writeCancelled ? m_writing.size() : 0};
    if (output.writing > 0)
        queues(nullptr, &output.driverQueue);
    output.driverReports = m_outQueueSeen;
    return output;
}

qint64 ComDevice::pendingOutput()
{
    return output().pending();
}

OutputDiscard ComDevice::discardOutput()
{
    if (!isOpen())
        return {m_waiting.size(), true};
    // The transmitter is held (as if the board had sent XOFF) while what the driver holds
    // is read and purged: nothing leaves in between, so the count of what went is exact.
    // A driver that will not hold is not taken at its word: only what never reached it is
    // sure not to go.
    const bool held = m_outQueueSeen && ::EscapeCommFunction(m_handle, SETXOFF);
    DeviceOutput before = output();
    before.driverReports = held;
    m_waiting.clear();
    if (before.writing > 0) {
        m_writeCancelled = true;
        ::CancelIoEx(m_handle, &m_writeOverlapped);
    }
    ::PurgeComm(m_handle, PURGE_TXABORT | PURGE_TXCLEAR);
    if (held)
        ::EscapeCommFunction(m_handle, SETXON);
    return before.discard();
}

void ComDevice::fail(DWORD code)
{
    if (m_failed)
        return;
    m_failed = true;
    // Told from the event loop: the caller of write() or startRead() is not in the middle
    // of a close by the receiver.
    QTimer::singleShot(0, this, [this, code, opening = m_opening] {
        if (isOpen() && opening == m_opening)
            emit failed(code);
    });
}
