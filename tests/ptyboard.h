#pragma once

#include <QByteArray>
#include <QString>

// The board's end of a serial line in tests: a pseudo-terminal whose other end is linked
// as COMn in a folder (the folder KESTRION_COM_DIR names), so that the program opens it
// like any port.
class PtyBoard {
public:
    PtyBoard(const QString &comFolder, int number);
    ~PtyBoard();
    PtyBoard(const PtyBoard &) = delete;
    PtyBoard &operator=(const PtyBoard &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString devicePath() const { return m_devicePath; }
    QString linkPath() const { return m_linkPath; }
    // The board's end, non-blocking, for tests that watch it with a notifier.
    int masterFd() const { return m_master; }

    // What the program has sent so far; reads whatever is waiting first.
    const QByteArray &received();
    // Waits, running the event loop, until at least `count` bytes have come.
    bool waitForBytes(qsizetype count, int timeoutMs = 5000);
    void clearReceived() { m_received.clear(); }

    // Sends bytes to the program as the board would.
    void send(const QByteArray &bytes);

    // The board goes away: the line hangs up.
    void hangUp();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_devicePath;
    QString m_linkPath;
    QByteArray m_received;
};

// Points KESTRION_COM_DIR at a folder for the lifetime of the object.
class ComFolder {
public:
    explicit ComFolder(const QString &path);
    ~ComFolder();

private:
    QByteArray m_previous;
    bool m_hadPrevious;
};
