#pragma once

#include "line.h"

#include <QByteArray>
#include <QObject>

#include <functional>
#include <utility>

// Hands a stream to a line as a transfer does: as much as the line has room for, then
// more when it says it is ready. `done` runs when the last byte has been handed over.
// Header-only: the line tests and the line benchmark share it.
class LineSender {
public:
    LineSender(Line &line, const QByteArray &bytes, std::function<void()> done = {})
        : m_line(line)
        , m_bytes(bytes)
        , m_done(std::move(done))
    {
        m_connection = QObject::connect(&line, &Line::outputReady, [this] { pump(); });
    }
    ~LineSender() { QObject::disconnect(m_connection); }
    LineSender(const LineSender &) = delete;
    LineSender &operator=(const LineSender &) = delete;

    void pump()
    {
        while (m_sent < m_bytes.size() && !m_stopped) {
            const qint64 room = m_line.outputRoom();
            if (room <= 0) {
                m_line.requestOutputReady();
                return;
            }
            const QByteArray piece = m_bytes.mid(m_sent, room);
            m_line.output(piece);
            m_sent += piece.size();
            if (m_sent == m_bytes.size() && m_done)
                m_done();
        }
    }
    // Nothing more is handed over.
    void stop() { m_stopped = true; }
    qsizetype sent() const { return m_sent; }
    bool finished() const { return m_sent == m_bytes.size(); }

private:
    Line &m_line;
    QByteArray m_bytes;
    std::function<void()> m_done;
    qsizetype m_sent = 0;
    bool m_stopped = false;
    QMetaObject::Connection m_connection;
};
