#pragma once

#include "line.h"

#include <QPointer>

// The program's one port, as the settings select it: a COM number (COM1..COM15) that
// stands for a serial device or for a board on the network, whichever the number is
// configured as when the line is opened (ComPortMap::networkAddress(): an address file
// in KESTRION_COM_DIR, or the ports file). The window, its transfer session and the
// settings dialog hold this one object for the whole run; behind it, open() makes the
// line the number stands for at that moment (see makeLine()): a CommPort or a TcpLine,
// made with the options given here. Everything else is that line's, its signals included.
//
// What stands behind the number changes only while the line is closed. Opening a device
// is done when open() returns. Opening a network port returns true at once, with
// isOpening() true, and opened() or openFailed(PortError) follows; close() gives up an
// opening under way. A transfer started meanwhile waits for it (see TransferSession).
class SelectedLine : public Line {
    Q_OBJECT

public:
    explicit SelectedLine(const LineOptions &options = {}, QObject *parent = nullptr);
    ~SelectedLine() override;

    // Port number, COM1..COM15. Set only while the line is closed: ignored while it is
    // open or opening.
    int commPort() const { return m_commPort; }
    void setCommPort(int number);

    // "COM5".
    QString portName() const override;
    // The address behind the line made by the last open(); empty for a device, and
    // before the first open().
    QString networkAddress() const override;

    bool open(PortError *error = nullptr) override;
    void close() override;
    State state() const override;

    void setPromptInput(bool prompt) override;
    void discardInput() override;

    using Line::output;
    void output(const QByteArray &bytes) override;
    qint64 outputRoom() override;
    qint64 queuedAhead() override;
    void requestOutputReady() override;
    OutputDiscard discardOutput() override;

private:
    void adopt(Line *line);

    int m_commPort = 1;
    QPointer<Line> m_line;   // what the number stood for at the last open()
    // Kept for every line made.
    LineOptions m_options;
    bool m_promptInput = false;
};
