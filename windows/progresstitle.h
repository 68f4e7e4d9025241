#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

// A window title that shows progress. A title that changes hundreds of times a second is
// read by nobody and costs the window system dearly: the newest is shown at most every
// IntervalMs.
class ProgressTitle : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 IntervalMs = 250;

    explicit ProgressTitle(QWidget &window);

    void show(const QString &title);
    // Puts the idle title back; the last progress is shown first, however briefly.
    void restore(const QString &idleTitle);

private:
    void applyPending();

    QWidget &m_window;
    QTimer m_timer;
    QElapsedTimer m_clock;
    QString m_pending;
};
