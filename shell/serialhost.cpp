#include "serialhost.h"

#include "aboutbox.h"
#include "boardprofile.h"
#include "settingsdialog.h"
#include "transferwindow.h"

#include <QCoreApplication>

SerialHost::SerialHost(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmRS232"));
    setWindowTitle(QStringLiteral("RS-232"));
    endProgram = [] { QCoreApplication::exit(0); };
}

SerialHost::~SerialHost()
{
    // The window and the dialog talk to the port: they go first.
    m_window.reset();
    m_settings.reset();
}

void SerialHost::Form_Load()
{
    if (!m_settings)
        m_settings = std::make_unique<SettingsDialog>(*this);
    m_settings->show();
}

TransferWindow *SerialHost::showBoardWindow(int board)
{
    if (!m_window) {
        TransferWindow::Hooks hooks;
        hooks.showSettings = [this](TransferWindow &window) { m_settings->showFromWindow(window); };
        hooks.showAbout = [](TransferWindow &window) {
            AboutBox about(&window);   // a fresh box at each opening
            about.exec();
        };
        hooks.endProgram = [this] { endProgram(); };
        m_window = std::make_unique<TransferWindow>(profileForBoard(board), MSComm1, hooks);
    }
    m_window->show();
    return m_window.get();
}
