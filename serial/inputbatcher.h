#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QSerialPort;

// Takes a busy line's input in batches. The first bytes after a quiet spell are taken
// (and announced) at once; while the line keeps delivering, what came is taken every
// IntervalMs, so that a busy line wakes the program a few times a second rather than for
// every chunk the driver hands over. Nothing is dropped: between batches the bytes wait
// in the driver.
//
// It relies on how QSerialPort reads: while its read buffer is full (readBufferSize()
// reached) it stops reading the device and raises no readyRead(); a read from the buffer
// once it has room starts it reading again. A byte put back with ungetChar() into a
// buffer limited to one byte holds the port off until the next batch.
class InputBatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int IntervalMs = 100;

    explicit InputBatcher(QSerialPort &port, QObject *parent = nullptr);

    // The port has been opened or is about to close: start afresh.
    void reset();
    // Lets the port read again, as discarding the waiting input requires.
    void release();
    // Takes every chunk as it comes (true), or in batches (false).
    void setPrompt(bool prompt);

signals:
    // Bytes taken from the port, in the order they came.
    void arrived(const QByteArray &bytes);

private:
    void take();
    void hold();
    void nextBatch();

    QSerialPort &m_port;
    QTimer m_timer;          // the next batch, while the line is busy
    bool m_held = false;     // the port's buffer is held full, so it stops reading
    bool m_taking = false;
    bool m_prompt = false;
};
