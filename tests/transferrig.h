#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class CommPort;
class PtyBoard;
class QMessageBox;
class QSocketNotifier;
class QTimer;
class TransferWindow;
struct BoardProfile;

// A board's end of the line for tests: a pseudo-terminal in raw mode whose device is
// linked as COM1 in a temporary folder that KESTRION_COM_DIR points at, with a port and a
// transfer window on the program's end. The folder also holds the tests' files.
class TransferRig {
public:
    explicit TransferRig(const BoardProfile &profile);
    ~TransferRig();

    bool isValid() const { return m_master >= 0 && m_window; }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    CommPort &port() { return *m_port; }
    TransferWindow &window() { return *m_window; }
    // The 8052's quiet time, which ends its uploads.
    QTimer *quietTimer() const;

    // The board sends: what the pseudo-terminal does not take at once goes as it drains.
    void send(const QByteArray &bytes);
    // The same at a steady rate, as a board on a real line does.
    void sendPaced(const QByteArray &bytes, int bytesPerSecond);
    bool sendPending() const { return !m_outgoing.isEmpty() || !m_paced.isEmpty(); }
    // What the board has received so far.
    const QByteArray &received() const { return m_received; }
    // Pulls the plug: the board's end goes away.
    void unplug();

    // Presses a window button by its object name.
    void click(const char *buttonName);
    // Puts the path into its field and presses the row's button.
    void startDownload(const QString &source);
    void startUpload(const QString &target);
    // Both rows idle, with their idle texts, and the title at rest.
    void verifyIdle();
    // The message boxes shown so far, oldest first; closing them forgets them.
    QList<QMessageBox *> messages() const;
    void closeMessages();

private:
    void readBoardEnd();
    void writeBoardEnd();

    QTemporaryDir m_dir;
    std::unique_ptr<PtyBoard> m_board;
    int m_master = -1;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_outgoing;
    QByteArray m_paced;
    QTimer *m_paceTimer = nullptr;
    QByteArray m_received;
    std::unique_ptr<CommPort> m_port;
    std::unique_ptr<TransferWindow> m_window;
};

// The 8052's two-byte length, most significant byte first.
QByteArray lengthHeader(int length);
// Reads a whole file; empty when it is missing.
QByteArray fileBytes(const QString &path);
bool writeFileBytes(const QString &path, const QByteArray &bytes);
