#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QtGlobal>

// Paces a line's output by a clock at the line rate. A line counts every byte it hands
// on; the clock says how many of them cannot have gone out yet. Where the line can also
// see a queue of its own (a driver's, a socket's), it passes that figure in, and the
// larger of the two counts.
//
// Nothing may be queued more than QueueAhead bytes (100 ms of line time) ahead, and
// ready() comes when about half of that has drained, so that the line never runs idle
// while a sender keeps up.
class LinePacer : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 LineBytesPerSecond = 960;   // 9600 baud, 8N1: ten bits a byte
    static constexpr qint64 QueueAhead = LineBytesPerSecond / 10;

    explicit LinePacer(QObject *parent = nullptr);

    // The rate of the clock; tests and benchmarks may run it faster than the line.
    void setBytesPerSecond(qint64 bytesPerSecond);

    // The line is empty now: it was opened, or what it held was thrown away.
    void restart();
    // Bytes handed to the line.
    void sent(qint64 bytes);

    // Bytes not yet gone out: by the clock, or as the line sees them, whichever is more.
    qint64 queuedAhead(qint64 seenQueued = 0) const;
    // How many more bytes may be handed on now.
    qint64 room(qint64 seenQueued = 0) const;
    // Arms a one-shot ready() for when about half of what is queued has drained. When
    // the line's own queue holds more than the clock says (a device slower than the
    // clock), it looks again shortly. Does nothing while armed.
    void requestReady(qint64 seenQueued = 0);
    // Disarms ready(): the line closed.
    void stop();

signals:
    void ready();

private:
    qint64 clockQueued() const;

    qint64 m_rate = LineBytesPerSecond;
    QElapsedTimer m_clock;
    qint64 m_lineFreeAtNs = 0;   // when the clock says the line will have sent everything
    QTimer m_timer;
};
