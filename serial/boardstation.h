#pragma once

#include "portchoice.h"
#include "selectedline.h"
#include "transfer.h"

#include <QObject>
#include <memory>

class TransferSession;

// What a station is doing, as one value.
struct StationState {
    enum LineState {
        Closed,
        Opening,   // a board on the network: the connection is being made
        Open,
        Failed,    // the station's own opening failed: `error` says why
        Lost,      // the line stopped working while no transfer ran
    };
    LineState line = Closed;
    PortChoice port;         // the port in force, or the one being applied while Opening
    QString address;         // the network address behind the line; empty for a device
    PortError error;         // Failed: why
    bool downloading = false;
    bool uploading = false;

    bool operator==(const StationState &other) const;
};
Q_DECLARE_METATYPE(StationState)

// One board's connection: the port chosen for it, its line and the transfer session on
// that line. The front ends (the transfer window with its settings dialog, kestrion-cli)
// hand it a port choice and start transfers on its session; it opens, closes, waits for
// and reopens the line by itself and reports what it is doing through stateChanged().
//
// A port is applied (apply()) by opening it: only once it has opened is it the station's
// port. When it cannot be opened, applied() says why and the station goes back to the
// port it had, reopened — it is never left on a port that did not open.
//
// Nothing here waits on the line: a board on the network opens later, and the station
// follows it from the event loop.
class BoardStation : public QObject {
    Q_OBJECT

public:
    explicit BoardStation(Board board, QObject *parent = nullptr);
    // A station on a line made elsewhere (tests, benchmarks): a port choice only names
    // it, and opening it opens that line.
    BoardStation(Board board, Line &line, QObject *parent = nullptr);
    ~BoardStation() override;

    Board board() const;
    // The board is settled before anyone holds the session (the start-up dialog's OK,
    // before the window is made): a change makes a new session, and what the old one
    // ran is abandoned.
    void setBoard(Board board);

    // The port in force; None until one has been chosen.
    const PortChoice &port() const { return m_port; }
    const StationState &state() const { return m_state; }
    // Where the transfers run. A transfer started while the line is closed opens it.
    TransferSession &session() { return *m_session; }
    // The line the session runs on, whatever stands behind it.
    Line &line() { return m_line; }

    // Start a transfer on the session (see TransferSession), opening the line when it is
    // closed.
    void startDownload(const QString &path);
    void startUpload(const QString &path);

    // Closes the line in force (transfers that run end as for the Setting command) and
    // opens `choice`; applied() follows, at once or when a connection has been made or
    // has failed. An apply under way is given up for the new one.
    void apply(const PortChoice &choice);
    // Takes `choice` as the port in force without opening it: the next open() or
    // resume(), or the first transfer, opens it. Only while the line is closed.
    void select(const PortChoice &choice);

    // Opens the port in force, unless it is open or opening; Failed with the reason when
    // it cannot be opened.
    void open();
    // Closes the line (transfers that run end) and gives up an apply under way.
    void close();

    // The port is being chosen anew (the Setting command): the line is closed meanwhile,
    // and the transfers that run end. resume() opens the port in force again, unless an
    // apply() has opened it already; an apply() under way that nobody waits for any
    // more is given up.
    void setAside();
    void resume();

signals:
    void stateChanged(const StationState &state);
    // How apply() ended: error kind None when `choice` is the station's port now.
    void applied(const PortChoice &choice, const PortError &error);

private:
    void makeSession(Board board);
    void lineOpened();
    void lineOpenFailed(const PortError &error);
    void applyFailed(const PortError &error);
    void openOwn();
    void setLinePort(const PortChoice &port);
    void report();

    std::unique_ptr<SelectedLine> m_selected;   // the station's own line, if it has one
    Line &m_line;
    std::unique_ptr<TransferSession> m_session;
    PortChoice m_port;
    PortChoice m_applying;       // the choice being applied, while it opens
    bool m_ownOpening = false;   // the opening under way is the station's, not a transfer's
    bool m_setAside = false;
    enum class Condition { None, Failed, Lost } m_condition = Condition::None;
    PortError m_error;
    StationState m_state;
};
