#pragma once

#include "commport.h"

#include <QWidget>
#include <functional>
#include <memory>

class SettingsDialog;
class StopSignals;
class TransferWindow;

// The hidden host of the program's one serial port. It is never shown: loading it opens
// the settings dialog, whose OK brings up the transfer window of the chosen board. It
// lives, hidden, until the program ends.
class SerialHost : public QWidget {
    Q_OBJECT

public:
    explicit SerialHost(QWidget *parent = nullptr);
    ~SerialHost() override;

    CommPort MSComm1;

public slots:
    // Shows the settings dialog without waiting (the start-up path).
    void Form_Load();

public:

    SettingsDialog *settingsDialog() const { return m_settings.get(); }
    TransferWindow *transferWindow() const { return m_window.get(); }

    // Creates and shows the window of the given board; only one is ever made in a run.
    TransferWindow *showBoardWindow(int board);

    // Ends the program: every window goes, no further handler runs. Tests put their
    // own here.
    std::function<void()> endProgram;

    // From now on SIGTERM, SIGHUP and SIGINT end the program as closing the transfer
    // window does (transfers stop, the port and its lock are released); before that
    // window exists they end it at once.
    void endOnTerminationSignals();

private:
    void endBySignal();

    std::unique_ptr<SettingsDialog> m_settings;
    std::unique_ptr<TransferWindow> m_window;
    std::unique_ptr<StopSignals> m_signals;
};
