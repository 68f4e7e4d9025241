#pragma once

#include "boardstation.h"
#include "programsettings.h"

#include <QObject>
#include <functional>
#include <memory>
#include <utility>

class SettingsDialog;
class StopSignals;
class TransferWindow;

// The hidden host of the program's one board station (its port, a serial device or a
// board on the network, and the transfers on it). It is never shown: loading it opens
// the settings dialog, whose OK brings up the transfer window of the chosen board. It
// lives until the program ends.
class SerialHost : public QObject {
    Q_OBJECT

public:
    explicit SerialHost(QObject *parent = nullptr);
    ~SerialHost() override;

    // Shows the settings dialog without waiting (the start-up path).
    void Form_Load();

    SettingsDialog *settingsDialog() const { return m_settings.get(); }
    // What the last OK in the settings dialog chose.
    const ProgramSettings &settings() const { return m_chosen; }
    TransferWindow *transferWindow() const { return m_window.get(); }
    // The board's connection, which the dialog and the window share.
    BoardStation &station() { return m_station; }

    // How the program ends: every window goes, no further handler runs. Tests put their
    // own here.
    void setEndProgram(std::function<void()> end) { m_endProgram = std::move(end); }

    // From now on SIGTERM, SIGHUP and SIGINT end the program as closing the transfer
    // window does (transfers stop, the port and its lock are released); before that
    // window exists they end it at once.
    void endOnTerminationSignals();

private:
    // OK in the settings dialog: the first makes and shows the chosen board's window (only
    // one is ever made in a run); every one gives it the language.
    void settingsConfirmed(const ProgramSettings &chosen);
    void endBySignal();

    ProgramSettings m_chosen;   // by the last OK
    std::function<void()> m_endProgram;

    // The board is settled by the first OK; the station serves the start-up dialog before.
    BoardStation m_station{Board::Vxt8088};

    std::unique_ptr<SettingsDialog> m_settings;
    std::unique_ptr<TransferWindow> m_window;
    std::unique_ptr<StopSignals> m_signals;
};
