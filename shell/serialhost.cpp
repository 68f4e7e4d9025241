#include "serialhost.h"

#include "aboutbox.h"
#include "boardprofile.h"
#include "programsettings.h"
#include "settingsdialog.h"
#include "stopsignals.h"
#include "transferwindow.h"

#include <QCoreApplication>

SerialHost::SerialHost(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("frmRS232"));
    endProgram = [] { QCoreApplication::exit(0); };
}

SerialHost::~SerialHost()
{
    m_signals.reset();
    // The window and the dialog talk to the port: they go first.
    m_window.reset();
    m_settings.reset();
}

void SerialHost::Form_Load()
{
    if (!m_settings) {
        m_settings = std::make_unique<SettingsDialog>(MSComm1);
        connect(m_settings.get(), &SettingsDialog::confirmed, this, &SerialHost::settingsConfirmed);
        connect(m_settings.get(), &SettingsDialog::abandoned, this, [this] { endProgram(); });
    }
    m_settings->show();
}

void SerialHost::showSettingsFrom(TransferWindow &window)
{
    ProgramSettings::blnSettingFromWindow = true;
    m_settings->showFromWindow(window);
    ProgramSettings::blnSettingFromWindow = false;
}

void SerialHost::settingsConfirmed()
{
    using namespace ProgramSettings;
    if (!m_window) {
        TransferWindow::Hooks hooks;
        hooks.showSettings = [this](TransferWindow &window) { showSettingsFrom(window); };
        hooks.showAbout = [](TransferWindow &window) {
            AboutBox about(&window);   // a fresh box at each opening
            about.exec();
        };
        hooks.endProgram = [this] { endProgram(); };
        m_window = std::make_unique<TransferWindow>(profileForBoard(board()), MSComm1, hooks);
        m_window->show();
    }
    m_window->SetLanguage(language());
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
    MSComm1.close();
    endProgram();
}
