#pragma once

#include "programsettings.h"
#include "transfer.h"

#include <QDialog>
#include <QList>

#include <memory>
#include <optional>

class BoardStation;
class NetworkPortProbe;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;

// Board, language and serial port. At start-up it is the first window the user works
// with and its OK opens the chosen board's window; later the window's Setting command
// opens it modally to change language and port, with the board locked. It lists the
// ports and asks the board's station to apply the one chosen; the station opens it. What
// OK leads to is its owner's business.
//
// Nothing here waits on a port. The devices are listed at once; the COM numbers that
// stand for boards on the network are tried all together while the dialog shows, and
// join the list (or the note below it) when they have answered, in well under a second;
// OK waits for that. A slow one that answers later still joins the list. The note keeps to one line for each kind of fault and scrolls past
// a height that fits any screen; Try Again lists the ports anew. Such a port opens later too: OK then waits for the station to say
// how applying it ended, and cannot be pressed again meanwhile.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit SettingsDialog(BoardStation &station);
    ~SettingsDialog() override;

    // Shows the dialog modally over the window, starting from the settings in force, and
    // returns when it has closed. The window's station has set its line aside meanwhile.
    void showFromWindow(QWidget &window, const ProgramSettings &current);

    // Closing by any means: the close box, Esc, OK or Exit.
    void done(int result) override;

signals:
    // The station opened the chosen port; these are the settings OK chose.
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
    // A slow network port answered after the list was whole.
    void networkPortAnsweredLate(int number);
    // A port joins the list, in the order of the numbers; the one to preselect is selected.
    void addPort(int number, const QString &toolTip);
    void portsListed();
    void cmdTryAgain_Click();
    void showPortNote();
    // The captions of the dialog itself in the language selected; the program's language
    // changes only on OK.
    void showCaptions();
    Language selectedLanguage() const;
    void cmdOK_Click();
    void portApplied(const PortError &error);
    void confirm(const ProgramSettings &chosen);
    void Form_Unload();
    void warn(const QString &text);

    BoardStation &m_station;
    // Found by the last listing: devices that cannot be used, network ports that did not
    // answer.
    QList<PortError> m_unavailablePorts;
    QList<PortError> m_devicesUnavailable;   // the devices' part, while the network answers
    std::unique_ptr<NetworkPortProbe> m_probe;   // while network ports are tried, also
                                                 // the slow ones after the list is whole
    // OK's choice while the station applies it.
    std::optional<ProgramSettings> m_applying;
    // The window it is shown from, while it is; at start-up none.
    QWidget *m_window = nullptr;

    // Dialog state that outlives each showing.
    bool blnConfirmed = false;
    qint16 intPreviousPort = 0;
    bool blnPreviousPortListed = false;
    // The port to select when it is listed: the previous port from a window, the one
    // chosen when Try Again was pressed; 0 for none.
    int m_preferredPort = 0;
    bool m_preferredListed = false;

    QGroupBox *fmeLanguage = nullptr;
    QRadioButton *optEn = nullptr;
    QRadioButton *optCH = nullptr;
    QGroupBox *fmeVXT = nullptr;
    QRadioButton *optVXT8088 = nullptr;
    QRadioButton *optVXT8052 = nullptr;
    QLabel *lblPort = nullptr;
    QComboBox *cboCOM = nullptr;
    // Below the list: the ports that are there but cannot be used, and why, with Try
    // Again below. Hidden while there are none.
    QScrollArea *m_noteArea = nullptr;
    QLabel *lblPortNote = nullptr;
    QPushButton *cmdTryAgain = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdExit = nullptr;
};
