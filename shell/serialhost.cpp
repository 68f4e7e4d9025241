#include "serialhost.h"

#include "aboutbox.h"
#include "boardprofile.h"
#include "settingsdialog.h"
#include "stopsignals.h"
#include "transferwindow.h"

#include <QCoreApplication>

SerialHost::SerialHost(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("frmRS232"));
    m_endProgram = [] { QCoreApplication::exit(0); };
}

SerialHost::~SerialHost()
{
    m_signals.reset();
    // The window and the dialog talk to the station: they go first.
    m_window.reset();
    m_settings.reset();
}

void SerialHost::Form_Load()
{
    if (!m_settings) {
        m_settings = std::make_unique<SettingsDialog>(m_station);
        connect(m_settings.get(), &SettingsDialog::confirmed, this, &SerialHost::settingsConfirmed);
        connect(m_settings.get(), &SettingsDialog::abandoned, this, [this] { m_endProgram(); });
    }
    m_settings->show();
}

void SerialHost::settingsConfirmed(const ProgramSettings &chosen)
{
    m_chosen = chosen;
    if (!m_window) {
        TransferWindow::Hooks hooks;
        hooks.showSettings = [this](TransferWindow &window) { m_settings->showFromWindow(window, m_chosen); };
        hooks.showAbout = [](TransferWindow &window) {
            AboutBox about(&window);   // a fresh box at each opening
            about.exec();
        };
        hooks.endProgram = [this] { m_endProgram(); };
        m_window = std::make_unique<TransferWindow>(profileForBoard(m_chosen.board()), m_station, hooks);
        m_window->show();
    }
    m_window->SetLanguage(m_chosen.language());
}

void SerialHost::endOnTerminationSignals()
{
    if (m_signals)
        return;
    m_signals = std::make_unique<StopSignals>();
    connect(m_signals.get(), &StopSignals::received, this, &SerialHost::endBySignal);
}

void SerialHost::endBySignal()
{
    if (m_window) {
        m_window->close();   // as the user closing it: transfers stop, the port closes
        return;
    }
    m_station.close();
    m_endProgram();
}
