#pragma once

#include "programsettings.h"
#include "transfer.h"

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

class NetworkPortProbe;
class SelectedLine;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// Board, language and serial port. At start-up it is the first window the user works
// with and its OK opens the chosen board's window; later the window's Setting command
// opens it modally to change language and port, with the board locked. It probes, opens
// and chooses the program's port; what OK leads to is its owner's business.
//
// Nothing here waits on a port. The devices are listed at once; the COM numbers that
// stand for boards on the network are tried all together while the dialog shows, and
// join the list (or the note below it) when they have answered, in well under a second;
// OK waits for that. Opening such a port completes later too: OK then waits for it, and
// cannot be pressed again meanwhile.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit SettingsDialog(SelectedLine &port);
    ~SettingsDialog() override;

    // Shows the dialog modally over the window, starting from the settings in force, and
    // returns when it has closed. However it is left, the port is opened again.
    void showFromWindow(QWidget &window, const ProgramSettings &current);

    // Closing by any means: the close box, Esc, OK or Exit.
    void done(int result) override;

signals:
    // OK opened the chosen port; these are the settings it chose.
    void confirmed(const ProgramSettings &chosen);
    // The dialog of the start-up closed without OK: the program ends.
    void abandoned();

private:
    void Form_Initialize();
    void Form_Load(const ProgramSettings &current);
    void resetToDesign();
    // Lists the devices at once and starts trying the network ports; portsListed()
    // follows, at once when there are none.
    void ListCommPorts();
    void networkPortsAnswered();
    void portsListed();
    void showPortNote();
    // The captions of the dialog itself in the language selected; the program's language
    // changes only on OK.
    void showCaptions();
    Language selectedLanguage() const;
    void cmdOK_Click();
    void confirm(const ProgramSettings &chosen);
    // Calls `then` once, when the opening under way has succeeded (error kind None) or
    // failed. One wait at a time: a new one, or dropOpenWait(), ends the last.
    void whenOpened(std::function<void(const PortError &)> then);
    void dropOpenWait();
    void Form_Unload();
    void warn(const QString &text);

    SelectedLine &m_port;
    // Found by the last listing: devices that cannot be used, network ports that did not
    // answer.
    QList<PortError> m_unavailablePorts;
    std::unique_ptr<NetworkPortProbe> m_probe;   // while network ports are tried
    QPointer<QObject> m_openWait;                // see whenOpened()
    // The window it is shown from, while it is, and that window's language; at start-up
    // none.
    QWidget *m_window = nullptr;
    Language m_windowLanguage = Language::English;

    // Dialog state that outlives each showing.
    bool blnConfirmed = false;
    qint16 intPreviousPort = 0;
    bool blnPreviousPortListed = false;

    QGroupBox *fmeLanguage = nullptr;
    QRadioButton *optEn = nullptr;
    QRadioButton *optCH = nullptr;
    QGroupBox *fmeVXT = nullptr;
    QRadioButton *optVXT8088 = nullptr;
    QRadioButton *optVXT8052 = nullptr;
    QLabel *lblPort = nullptr;
    QComboBox *cboCOM = nullptr;
    // Below the list: the devices that are there but cannot be used, and why. Hidden
    // while there are none.
    QLabel *lblPortNote = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdExit = nullptr;
};
