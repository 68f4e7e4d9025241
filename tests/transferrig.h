#pragma once

#include "testfiles.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <functional>
#include <memory>

class BoardStation;
class Line;
class PtyBoard;
class QSocketNotifier;
class QTimer;
class TransferWindow;
struct BoardProfile;

// The tests' transfer window on a line: a pseudo-terminal in raw mode plays the board, its
// device linked as COM1 in a temporary folder that KESTRION_COM_DIR points at, with a
// board station on COM1 and a transfer window on the other end. The folder also holds the tests'
// files. The window's hooks are the rig's: it counts the endings and the Setting
// commands and keeps the documents the window asked to open.
class TransferRig {
public:
    // `pacing`: the port's clock, in bytes a second (fast unless a test needs the line's).
    explicit TransferRig(const BoardProfile &profile, qint64 pacing = 1'000'000);
    ~TransferRig();

    bool isValid() const { return m_master >= 0 && m_window; }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    BoardStation &station() { return *m_station; }
    // The station's line.
    Line &port();
    TransferWindow &window() { return *m_window; }
    // The 8052's quiet time, which ends its uploads.
    QTimer *quietTimer() const;

    // The board sends: what the pseudo-terminal does not take at once goes as it drains.
    void send(const QByteArray &bytes);
    // The same at a steady rate, as a board on a real line does.
    void sendPaced(const QByteArray &bytes, int bytesPerSecond);
    bool sendPending() const { return !m_outgoing.isEmpty() || !m_paced.isEmpty(); }
    // What the board has received so far, and waiting for more of it.
    const QByteArray &received() const { return m_received; }
    bool waitForBytes(qsizetype count, int timeoutMs = 5000);
    void clearReceived() { m_received.clear(); }
    // Pulls the plug: the board's end goes away.
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
    void readBoardEnd();
    void writeBoardEnd();

    const BoardProfile &m_profile;
    QTemporaryDir m_dir;
    std::unique_ptr<PtyBoard> m_board;
    int m_master = -1;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_outgoing;
    QByteArray m_paced;
    QTimer *m_paceTimer = nullptr;
    QByteArray m_received;
    std::unique_ptr<BoardStation> m_station;
    std::unique_ptr<TransferWindow> m_window;
};

// The 8052's two-byte length, most significant byte first.
QByteArray lengthHeader(int length);
