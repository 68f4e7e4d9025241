#pragma once

#include "line.h"

#include <QByteArray>

#include <algorithm>
#include <functional>

// A line for the session's tests, on a clock that only the test moves (advance()): no
// device and no real time. Output goes into a queue, as into a serial driver's, which
// drains onto the wire at a set rate; a discard drops exactly what the queue holds, as a
// UART's does. The board's bytes come when the test sends them. On cue the line stalls
// (takes nothing more), drops (the device or the connection is lost), refuses to open, or
// opens later, then opens or fails.
class FakeLine : public Line {
    Q_OBJECT

public:
    static constexpr qint64 Room = LinePacer::QueueAhead;
    static constexpr int TickMs = 10;

    explicit FakeLine(qint64 bytesPerSecond = LinePacer::LineBytesPerSecond) : m_rate(bytesPerSecond) {}

    // How the next open() goes: refused at once with `refusal` (a kind other than None),
    // or left opening until finishOpening().
    PortError refusal;
    bool opensLater = false;
    // Whether a discard knows what it dropped (a UART), or only that at least the queue
    // did not go (a pseudo-terminal, a server).
    bool exactDiscard = true;
    // The opening under way ends: opened(), or openFailed(error) for an error of a kind.
    void finishOpening(const PortError &error = {});
    // A stalled line drains nothing.
    void setStalled(bool stalled) { m_stalled = stalled; }
    // The line goes: what the board sent still comes, then failed().
    void drop();
    // The board sends.
    void send(const QByteArray &bytes);

    // Moves the clock on, a tick at a time: the queue drains, and an armed outputReady()
    // comes once half the room is free.
    void advance(int milliseconds);
    // Moves the clock on until `done`, for at most `limitMs`; whether it became done.
    bool advanceUntil(const std::function<bool()> &done, int limitMs = 60000);

    // What went out on the line, what waits in the queue, and the most it ever held.
    const QByteArray &wire() const { return m_wire; }
    qsizetype queued() const { return m_queue.size(); }
    qsizetype mostQueued() const { return m_mostQueued; }
    bool promptInput() const { return m_prompt; }

    QString portName() const override { return QStringLiteral("COM1"); }
    bool open(PortError *error = nullptr) override;
    void close() override;
    State state() const override { return m_state; }
    void setPromptInput(bool prompt) override { m_prompt = prompt; }
    void discardInput() override {}
    using Line::output;
    void output(const QByteArray &bytes) override;
    qint64 outputRoom() override { return isOpen() ? std::max<qint64>(0, Room - m_queue.size()) : 0; }
    qint64 queuedAhead() override { return m_queue.size(); }
    void requestOutputReady() override { m_readyArmed = isOpen(); }
    OutputDiscard discardOutput() override;

private:
    qint64 m_rate;
    qint64 m_credit = 0;   // byte-milliseconds of line time not yet used up
    State m_state = State::Closed;
    bool m_stalled = false;
    bool m_prompt = false;
    bool m_readyArmed = false;
    QByteArray m_queue;
    QByteArray m_wire;
    qsizetype m_mostQueued = 0;
};
