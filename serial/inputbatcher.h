#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class QSerialPort;

// Takes a busy line's input in batches, so that the program wakes a few times a second
// rather than for every piece the driver hands over. Nothing is dropped: between batches
// the bytes wait in the driver.
//
// Two paces. Outside a transfer, the first bytes after a quiet spell are taken (and
// announced) at once, and while the line keeps delivering, what came is taken every
// IntervalMs. While a transfer needs every byte promptly (an upload: at a hang-up the
// system throws away what nobody has read), pieces are taken as they come, unless they
// come less than PromptIntervalMs apart (a line that hands over byte by byte, or in
// pieces of a few bytes): then what came is taken every PromptIntervalMs.
//
// Between batches the port does not watch the device: QSerialPort reads it when its read
// notifier fires, and that notifier is switched off meanwhile. A batch reads the device
// itself, past the port. (A port without such a notifier goes on reading into its own
// buffer, which the next batch empties too.)
class InputBatcher : public QObject {
    Q_OBJECT

public:
    static constexpr int IntervalMs = 100;
    static constexpr int PromptIntervalMs = 10;

    // `readDevice` gives what waits in the device, read past the port; nothing when
    // nothing waits or the device went away (the port finds that out itself once it
    // watches the device again).
    InputBatcher(QSerialPort &port, std::function<QByteArray()> readDevice, QObject *parent = nullptr);

    // The port has been opened or is about to close: start afresh.
    void reset();
    // Lets the port watch the device again, as reading the device to its end requires.
    void release();
    // Takes input promptly (true), or in batches (false).
    void setPrompt(bool prompt);

signals:
    // Bytes taken from the port, in the order they came.
    void arrived(const QByteArray &bytes);

private:
    void take();
    void hold();
    void nextBatch();
    void watchDevice(bool watch);

    QSerialPort &m_port;
    std::function<QByteArray()> m_readDevice;
    QTimer m_timer;            // the batches, while the line is busy
    QElapsedTimer m_lastTake;
    bool m_held = false;       // the port does not watch the device
    bool m_taking = false;
    bool m_prompt = false;
};
