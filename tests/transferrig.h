#pragma once

#include "fakeline.h"
#include "testfiles.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <memory>

class BoardStation;
class QTimer;
class TransferWindow;
struct BoardProfile;

// The tests' transfer window on a fake line that plays the board (see FakeLine), through
// a board station on that line: the board's bytes come when a test sends them, and what
// the window sends goes out as the test moves the line's clock on. A temporary folder
// holds the tests' files. The window's hooks are the rig's: it counts the endings and the
// Setting commands and keeps the documents the window asked to open.
class TransferRig {
public:
    // `pacing`: the line's rate, in bytes a second (fast unless a test needs the line's).
    explicit TransferRig(const BoardProfile &profile, qint64 pacing = 1'000'000);
    ~TransferRig();

    bool isValid() const { return m_window != nullptr; }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    BoardStation &station() { return *m_station; }
    FakeLine &port() { return m_line; }
    TransferWindow &window() { return *m_window; }
    // The 8052's quiet time, which ends its uploads.
    QTimer *quietTimer() const;

    // The board sends, at once.
    void send(const QByteArray &bytes) { m_line.send(bytes); }
    // The same at a steady rate, as the line's clock moves on (advanceUntil()).
    void sendPaced(const QByteArray &bytes, int bytesPerSecond);
    bool sendPending() const { return !m_paced.isEmpty(); }
    // What the board has received so far, and moving the clock on until more has come.
    const QByteArray &received() const { return m_line.wire(); }
    bool waitForBytes(qsizetype count);
    // Moves the line's clock on until `done`, for at most `limitMs` of it.
    bool advanceUntil(const std::function<bool()> &done, int limitMs = 60000);
    // Pulls the plug: the line stops working, and cannot be opened again.
    void unplug();

    // Presses a window button by its object name.
    void click(const char *buttonName);
    // Puts the path into its field and presses the row's button.
    void startDownload(const QString &source);
    void startUpload(const QString &target);
    // Both rows idle, with their idle texts, and the title at rest.
    void verifyIdle();

    // What the window asked of the program around it.
    QList<QUrl> opened;
    bool openerStarts = true;   // what the opener answers: false, nothing could be started
    int endings = 0;
    int settingsShown = 0;
    std::function<void()> onSettings;   // runs as the Setting dialog would

private:
    const BoardProfile &m_profile;
    QTemporaryDir m_dir;
    FakeLine m_line;
    QByteArray m_paced;
    qsizetype m_pacedPerTick = 0;
    std::unique_ptr<BoardStation> m_station;
    std::unique_ptr<TransferWindow> m_window;
};

// The 8052's two-byte length, most significant byte first.
QByteArray lengthHeader(int length);
