#include "transferwindow.h"

#include "documentopener.h"
#include "labelfit.h"
#include "menubarkeys.h"
#include "progresstitle.h"
#include "messagebox.h"
#include "transferfiles.h"
#include "transfersession.h"
#include "transfertexts.h"
#include "windowtexts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>

#include <utility>

namespace {

constexpr int ClientWidth = 458;
constexpr int ClientHeight = 240;

QFont frameCaptionFont()
{
    QFont font(QStringLiteral("細明體"));
    font.setPointSizeF(9.75);
    return font;
}

void setButtonTexts(QPushButton *button, const WindowTexts::ButtonTexts &texts)
{
    button->setText(texts.caption);
    button->setToolTip(texts.toolTip);
}

} // namespace

// Where a row's controls stand, inside their frame, and what they are called.
struct TransferWindow::RowDesign {
    const char *frame;
    int top;
    const char *label;
    QRect labelRect;
    const char *field;
    const char *browse;
    QRect browseRect;
    const char *transfer;
};

// One row: a frame with a label, a path field, a browse button and a transfer button.
struct TransferWindow::Row {
    QGroupBox *frame;
    QLabel *label;
    QLineEdit *field;
    QPushButton *browse;
    QPushButton *transfer;
};

TransferWindow::TransferWindow(const BoardProfile &profile, BoardStation &station, Hooks hooks, QWidget *parent)
    : QMainWindow(parent)
    , m_profile(profile)
    , m_station(station)
    , m_hooks(std::move(hooks))
{
    if (!m_hooks.endProgram)
        m_hooks.endProgram = [] { QCoreApplication::exit(0); };
    if (!m_hooks.openDocument)
        m_hooks.openDocument = [this](const QUrl &url) {
            return openDocument(this, url, [this, path = url.toLocalFile()] { cannotOpen(path, false); });
        };

    setObjectName(profile.windowName);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));

    buildControls();
    buildMenus();
    m_title = new ProgressTitle(*this);

    connect(&session(), &TransferSession::progress, this, &TransferWindow::showProgress);
    connect(&session(), &TransferSession::finished, this, &TransferWindow::transferFinished);
    connect(&m_station, &BoardStation::stateChanged, this, &TransferWindow::stationChanged);

    Form_Load();
    // The first texts are the English ones; the language chosen follows once it shows.
    SetLanguage(Language::English);

    // Open centred on the screen.
    adjustSize();
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TransferWindow::~TransferWindow() = default;

TransferSession &TransferWindow::session()
{
    return m_station.session();
}

void TransferWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);

    const Row upper = buildRow(client, {.frame = "fmeTransFile",
                                        .top = 8,
                                        .label = "lblSourceFile",
                                        .labelRect = QRect(20, 32, 52, 12),
                                        .field = "txtSourceFile",
                                        .browse = "cmdSelectSourcePath",
                                        .browseRect = QRect(308, 31, 25, 17),
                                        .transfer = "cmdDownloadFile"});
    fmeTransFile = upper.frame;
    lblSourceFile = upper.label;
    txtSourceFile = upper.field;
    cmdSelectSourcePath = upper.browse;
    cmdDownloadFile = upper.transfer;

    const Row lower = buildRow(client, {.frame = "fmeReceiveFile",
                                        .top = 88,
                                        .label = "lblSaveFile",
                                        .labelRect = QRect(30, 32, 42, 12),
                                        .field = "txtTargetFile",
                                        .browse = "cmdSelectTargetPath",
                                        .browseRect = QRect(308, 32, 25, 17),
                                        .transfer = "cmdReadyUpload"});
    fmeReceiveFile = lower.frame;
    lblSaveFile = lower.label;
    txtTargetFile = lower.field;
    cmdSelectTargetPath = lower.browse;
    cmdReadyUpload = lower.transfer;

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 168, 460, 72);
    Image1->setPixmap(QPixmap(QStringLiteral(":/assets/banner.jpg")));

    // The window's size stays the designed one: a long address is cut short, whole in
    // the tooltip.
    lblPortStatus = new QLabel;
    lblPortStatus->setObjectName(QStringLiteral("lblPortStatus"));
    lblPortStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(lblPortStatus, 1);

    setTabOrder(txtSourceFile, cmdSelectSourcePath);
    setTabOrder(cmdSelectSourcePath, cmdDownloadFile);
    setTabOrder(cmdDownloadFile, txtTargetFile);
    setTabOrder(txtTargetFile, cmdSelectTargetPath);
    setTabOrder(cmdSelectTargetPath, cmdReadyUpload);

    connect(cmdSelectSourcePath, &QPushButton::clicked, this, &TransferWindow::cmdSelectSourcePath_Click);
    connect(cmdSelectTargetPath, &QPushButton::clicked, this, &TransferWindow::cmdSelectTargetPath_Click);
    connect(txtSourceFile, &QLineEdit::textChanged, this, &TransferWindow::txtSourceFile_Change);
    connect(txtTargetFile, &QLineEdit::textChanged, this, &TransferWindow::txtTargetFile_Change);
    connect(cmdDownloadFile, &QPushButton::clicked, this, &TransferWindow::cmdDownloadFile_Click);
    connect(cmdReadyUpload, &QPushButton::clicked, this, &TransferWindow::cmdReadyUpload_Click);

    txtSourceFile->setFocus();
}

TransferWindow::Row TransferWindow::buildRow(QWidget *client, const RowDesign &design)
{
    // A frame's font is meant for its caption only; its controls keep the window's font.
    const QFont controlFont = client->font();
    Row row;
    row.frame = new QGroupBox(client);
    row.frame->setObjectName(QLatin1String(design.frame));
    row.frame->setGeometry(8, design.top, 441, 73);
    row.frame->setFont(frameCaptionFont());

    row.label = new QLabel(row.frame);
    row.label->setObjectName(QLatin1String(design.label));
    row.label->setGeometry(design.labelRect);
    row.label->setFont(controlFont);

    row.field = new QLineEdit(row.frame);
    row.field->setObjectName(QLatin1String(design.field));
    row.field->setGeometry(80, 30, 225, 18);
    row.field->setFont(controlFont);
    row.label->setBuddy(row.field);

    row.browse = new QPushButton(QStringLiteral("..."), row.frame);
    row.browse->setObjectName(QLatin1String(design.browse));
    row.browse->setGeometry(design.browseRect);
    row.browse->setFont(controlFont);
    row.browse->setAutoDefault(false);

    row.transfer = new QPushButton(row.frame);
    row.transfer->setObjectName(QLatin1String(design.transfer));
    row.transfer->setGeometry(344, 28, 81, 25);
    row.transfer->setFont(controlFont);
    row.transfer->setEnabled(false);
    row.transfer->setAutoDefault(false);
    return row;
}

void TransferWindow::buildMenus()
{
    auto makeAction = [this](const char *name, void (TransferWindow::*handler)()) {
        auto *action = new QAction(this);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    menView = menuBar()->addMenu(QString());
    menView->setObjectName(QStringLiteral("menView"));
    menExamples = makeAction("menExamples", &TransferWindow::menExamples_Click);
    menView->addAction(menExamples);

    menSetting = makeAction("menSetting", &TransferWindow::menSetting_Click);
    menuBar()->addAction(menSetting);

    menHelp = menuBar()->addMenu(QString());
    menHelp->setObjectName(QStringLiteral("menHelp"));
    menContent = makeAction("menContent", &TransferWindow::menContent_Click);
    menAbout = makeAction("menAbout", &TransferWindow::menAbout_Click);
    menHelp->addAction(menContent);
    menHelp->addAction(menAbout);

    // Alt+S belongs to the Source File field, as its label says in both languages. The
    // Setting command is reached from the menu bar: Alt pressed and released alone, or F10,
    // then the menu's letter.
    new MenuBarKeys(*this, *txtSourceFile);
}

void TransferWindow::Form_Load()
{
    strCaption = m_profile.caption;
    strBoardName = m_profile.boardName;
    setWindowTitle(strCaption);
}

void TransferWindow::SetLanguage(Language language)
{
    using namespace WindowTexts;
    m_language = language;
    fmeTransFile->setTitle(sendFrame(language, strBoardName));
    fmeReceiveFile->setTitle(receiveFrame(language, strBoardName));
    lblSourceFile->setText(sourceLabel(language));
    lblSaveFile->setText(targetLabel(language));
    txtSourceFile->setToolTip(sourceFieldTip(language));
    txtTargetFile->setToolTip(targetFieldTip(language));
    cmdSelectSourcePath->setToolTip(browseTip(language));
    cmdSelectTargetPath->setToolTip(browseTip(language));
    setButtonTexts(cmdDownloadFile, downloadIdle(language));
    setButtonTexts(cmdReadyUpload, uploadIdle(language));
    menView->setTitle(viewMenu(language));
    menExamples->setText(examplesItem(language));
    menSetting->setText(settingCommand(language));
    menHelp->setTitle(helpMenu(language));
    menContent->setText(contentItem(language));
    menAbout->setText(aboutItem(language));

    fitLabelToText(lblSourceFile, 20, 52);
    fitLabelToText(lblSaveFile, 30, 42);
    showPortStatus();
}

// --- Browsing and the enabling rules ------------------------------------------------

QString TransferWindow::browse(bool save)
{
    QFileDialog dialog(this);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // Any name may be typed: the open dialog does not insist that the file exists.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    // The list shows "All Files (*.*)" and, as users expect, lists every file, also
    // those without an extension.
    dialog.setNameFilter(TransferTexts::fileFilter(m_language) + QStringLiteral(" (*)"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void TransferWindow::cmdSelectSourcePath_Click()
{
    // A cancelled dialog leaves the field as it was.
    const QString path = browse(false);
    if (!path.isEmpty())
        txtSourceFile->setText(path);
}

void TransferWindow::cmdSelectTargetPath_Click()
{
    const QString path = browse(true);
    if (!path.isEmpty())
        txtTargetFile->setText(path);
}

void TransferWindow::txtSourceFile_Change()
{
    cmdDownloadFile->setEnabled(VXT8088_8052::CheckFileExists(txtSourceFile->text()));
}

void TransferWindow::txtTargetFile_Change()
{
    cmdReadyUpload->setEnabled(!txtTargetFile->text().isEmpty());
}

// --- Transfers -----------------------------------------------------------------------

// Each press starts the row's transfer or interrupts the one that runs. However a
// transfer ends (also at once, when it cannot start), finished() puts the row at rest.
void TransferWindow::cmdDownloadFile_Click()
{
    if (session().isRunning(Direction::Download)) {
        session().interrupt(Direction::Download);
        return;
    }
    showRow(Direction::Download, RowState::Running);
    m_station.startDownload(txtSourceFile->text());
}

void TransferWindow::cmdReadyUpload_Click()
{
    if (session().isRunning(Direction::Upload)) {
        session().interrupt(Direction::Upload);
        return;
    }
    showRow(Direction::Upload, RowState::Running);
    m_station.startUpload(txtTargetFile->text());
}

void TransferWindow::showRow(Direction direction, RowState state)
{
    const bool download = direction == Direction::Download;
    const bool idle = state == RowState::Idle;
    (download ? txtSourceFile : txtTargetFile)->setEnabled(idle);
    (download ? cmdSelectSourcePath : cmdSelectTargetPath)->setEnabled(idle);
    using namespace WindowTexts;
    if (download) {
        setButtonTexts(cmdDownloadFile, idle ? downloadIdle(m_language) : downloadRunning(m_language, m_profile.board));
    } else {
        setButtonTexts(cmdReadyUpload, idle ? uploadIdle(m_language) : uploadRunning(m_language));
    }
}

void TransferWindow::showProgress(const TransferProgress &progress)
{
    if (progress.direction == Direction::Download) {
        m_title->show(strBoardName + TransferTexts::sending(m_language) + TransferTexts::percent(progress.percent));
        return;
    }
    const QString done = progress.percent >= 0 ? TransferTexts::percent(progress.percent)
                                               : QString::number(progress.bytes);
    m_title->show(strBoardName + TransferTexts::receiving(m_language) + done);
}

void TransferWindow::transferFinished(const TransferOutcome &outcome)
{
    showRow(outcome.direction, RowState::Idle);
    m_title->restore(strCaption);

    const TransferTexts::Ending ending = TransferTexts::ending(m_language, outcome);
    if (ending.tone != TransferTexts::Ending::Silent) {
        const bool warning = ending.tone == TransferTexts::Ending::Warning;
        showMessage(warning ? QMessageBox::Warning : QMessageBox::Information, ending.message.title,
                    ending.message.text);
    }
}

// What the station says of its line: that it stopped working while no transfer ran (a
// device unplugged, a connection to a board on the network dropped), or that it could
// not be opened again after the Setting command. (A transfer tells its own failures.)
void TransferWindow::stationChanged(const StationState &state)
{
    showPortStatus();
    if (state.line == StationState::Lost) {
        const auto message = TransferTexts::portLost(m_language, state.port.name, state.address);
        showMessage(QMessageBox::Warning, message.title, message.text);
    } else if (state.line == StationState::Failed) {
        showMessage(QMessageBox::Warning, TransferTexts::programTitle(),
                    TransferTexts::portError(m_language, state.error));
    }
}

void TransferWindow::showPortStatus()
{
    const QString text = WindowTexts::portStatus(m_language, m_station.state());
    constexpr int Margins = 16;
    const QString shown = lblPortStatus->fontMetrics().elidedText(text, Qt::ElideMiddle, ClientWidth - Margins);
    lblPortStatus->setText(shown);
    lblPortStatus->setToolTip(shown == text ? QString() : text);
}

// --- Menus ---------------------------------------------------------------------------

QString TransferWindow::programFolder() const
{
    return QCoreApplication::applicationDirPath();
}

void TransferWindow::menExamples_Click()
{
    openFromProgramFolder(m_profile.examplesFolder);
}

void TransferWindow::menContent_Click()
{
    openFromProgramFolder(QStringLiteral("/readme.htm"));
}

// Hands the help page or the examples folder to the document opener. Where it is missing,
// or no program can open it, a message names the path instead of nothing happening.
void TransferWindow::openFromProgramFolder(const QString &suffix)
{
    const QString path = programFolder() + suffix;
    const bool missing = !QFileInfo::exists(path);
    if (!missing && m_hooks.openDocument(QUrl::fromLocalFile(path)))
        return;
    cannotOpen(path, missing);
}

void TransferWindow::cannotOpen(const QString &path, bool missing)
{
    showMessage(QMessageBox::Warning, TransferTexts::programTitle(),
                WindowTexts::cannotOpen(m_language, QDir::toNativeSeparators(QDir::cleanPath(path)), missing));
}

void TransferWindow::menSetting_Click()
{
    // The station sets its line aside while the dialog shows, which ends the transfers
    // that run, and opens its port again afterwards; what they say is told once the
    // dialog has closed.
    m_settingOpen = true;
    m_station.setAside();
    if (m_hooks.showSettings)
        m_hooks.showSettings(*this);
    m_station.resume();
    m_settingOpen = false;
    for (const HeldMessage &message : std::exchange(m_heldMessages, {}))
        showMessage(message.icon, message.title, message.text);
}

void TransferWindow::menAbout_Click()
{
    if (m_hooks.showAbout)
        m_hooks.showAbout(*this);
}

// --- Closing -------------------------------------------------------------------------

// Closing never waits for a transfer: both stop where they are, the port closes and the
// program ends.
void TransferWindow::closeEvent(QCloseEvent *event)
{
    session().abandon();
    m_station.close();
    m_hooks.endProgram();
    event->accept();
}

void TransferWindow::showMessage(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    // What happens while the Setting dialog is open is told when it has closed.
    if (m_settingOpen) {
        m_heldMessages.append({icon, title, text});
        return;
    }
    MessageBoxes::show(this, icon, title, text);
}
