#pragma once

#include "line.h"
#include "portchoice.h"

#include <QPointer>

// A station's port (see BoardStation): a port choice, which stands for whatever it is
// when the line is opened (a COM number may stand for a serial device or for a board on
// the network, ComPortMap::networkAddress()). The station's transfer session holds this
// one object for the whole run; behind it, open() makes the line the choice stands for
// at that moment (see makeLine()): a CommPort or a TcpLine, made with the options given
// here. Everything else is that line's, its signals included.
//
// What stands behind the choice changes only while the line is closed. Opening a device
// is done when open() returns. Opening a network port returns true at once, with
// isOpening() true, and opened() or openFailed(PortError) follows; close() gives up an
// opening under way. A transfer started meanwhile waits for it (see TransferSession).
class SelectedLine : public Line {
    Q_OBJECT

public:
    explicit SelectedLine(const LineOptions &options = {}, QObject *parent = nullptr);
    ~SelectedLine() override;

    // The port. Set only while the line is closed: ignored while it is open or opening.
    const PortChoice &port() const { return m_port; }
    void setPort(const PortChoice &port);

    // "COM5", the device path or the address as the user wrote it.
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

    PortChoice m_port;
    QPointer<Line> m_line;   // what the port stood for at the last open()
    // Kept for every line made.
    LineOptions m_options;
    bool m_promptInput = false;
};
