#include "transferwindow.h"

#include "commport.h"
#include "downloadpump.h"
#include "languagetables.h"
#include "programsettings.h"
#include "transfertexts.h"
#include "upload.h"
#include "uploadpump.h"
#include "vxt8088_8052.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QStyle>

using ProgramSettings::blnChinese;

namespace {

constexpr int ClientWidth = 458;
constexpr int ClientHeight = 240;

QFont frameCaptionFont()
{
    QFont font(QStringLiteral("細明體"));
    font.setPointSizeF(9.75);
    return font;
}

} // namespace

TransferWindow::TransferWindow(const BoardProfile &profile, CommPort &port, Hooks hooks, QWidget *parent)
    : QMainWindow(parent)
    , m_profile(profile)
    , m_port(port)
    , m_hooks(std::move(hooks))
{
    if (!m_hooks.endProgram)
        m_hooks.endProgram = [] { QCoreApplication::exit(0); };
    if (!m_hooks.openDocument)
        m_hooks.openDocument = [](const QUrl &url) { return QDesktopServices::openUrl(url); };

    setObjectName(profile.windowName);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/assets/icon.png")));

    buildControls();
    buildMenus();
    m_titleTimer.setSingleShot(true);
    connect(&m_titleTimer, &QTimer::timeout, this, &TransferWindow::applyPendingTitle);

    m_downloadPump = new DownloadPump(m_port, [this] { return blnDownloading; }, this);
    connect(m_downloadPump, &DownloadPump::progress, this, &TransferWindow::downloadProgress);
    connect(m_downloadPump, &DownloadPump::completed, this, &TransferWindow::downloadCompleted);
    connect(m_downloadPump, &DownloadPump::interrupted, this, &TransferWindow::downloadInterrupted);
    connect(m_downloadPump, &DownloadPump::failed, this, [this](TransferFault fault) { downloadFailed(fault); });

    m_uploadPump = new UploadPump(m_port, [this] { return blnUploading; }, this);
    connect(m_uploadPump, &UploadPump::progress, this, &TransferWindow::uploadProgress);
    connect(m_uploadPump, &UploadPump::endCharacter, this, &TransferWindow::cmdReadyUpload_Click);
    connect(m_uploadPump, &UploadPump::finished, this, &TransferWindow::uploadFinished);
    connect(m_uploadPump, &UploadPump::failed, this, &TransferWindow::uploadFailed);

    connect(&m_port, &CommPort::onComm, this, &TransferWindow::MSComm1_OnComm);
    connect(&m_port, &CommPort::failed, this, &TransferWindow::portFailed);

    Form_Load();

    // Open centred on the screen.
    adjustSize();
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

TransferWindow::~TransferWindow() = default;

void TransferWindow::buildControls()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(client);
    const QFont controlFont = font();

    // A frame's font is meant for its caption only; its controls keep the window's font.
    auto makeRow = [&](QGroupBox *&frame, const char *frameName, int top, QLabel *&label, const char *labelName,
                       QRect labelRect, QLineEdit *&field, const char *fieldName, QPushButton *&browseButton,
                       const char *browseName, QRect browseRect, QPushButton *&transferButton,
                       const char *transferName) {
        frame = new QGroupBox(client);
        frame->setObjectName(QLatin1String(frameName));
        frame->setGeometry(8, top, 441, 73);
        frame->setFont(frameCaptionFont());

        label = new QLabel(frame);
        label->setObjectName(QLatin1String(labelName));
        label->setGeometry(labelRect);
        label->setFont(controlFont);

        field = new QLineEdit(frame);
        field->setObjectName(QLatin1String(fieldName));
        field->setGeometry(80, 30, 225, 18);
        field->setFont(controlFont);
        label->setBuddy(field);

        browseButton = new QPushButton(QStringLiteral("..."), frame);
        browseButton->setObjectName(QLatin1String(browseName));
        browseButton->setGeometry(browseRect);
        browseButton->setFont(controlFont);
        browseButton->setAutoDefault(false);

        transferButton = new QPushButton(frame);
        transferButton->setObjectName(QLatin1String(transferName));
        transferButton->setGeometry(344, 28, 81, 25);
        transferButton->setFont(controlFont);
        transferButton->setEnabled(false);
        transferButton->setAutoDefault(false);
    };

    makeRow(fmeTransFile, "fmeTransFile", 8, lblSourceFile, "lblSourceFile", QRect(20, 32, 52, 12), txtSourceFile,
            "txtSourceFile", cmdSelectSourcePath, "cmdSelectSourcePath", QRect(308, 31, 25, 17), cmdDownloadFile,
            "cmdDownloadFile");
    makeRow(fmeReceiveFile, "fmeReceiveFile", 88, lblSaveFile, "lblSaveFile", QRect(30, 32, 42, 12), txtTargetFile,
            "txtTargetFile", cmdSelectTargetPath, "cmdSelectTargetPath", QRect(308, 32, 25, 17), cmdReadyUpload,
            "cmdReadyUpload");

    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 168, 460, 72);
    Image1->setPixmap(QPixmap(QStringLiteral(":/assets/banner.jpg")));

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

    if (m_profile.hasQuietTimer) {
        tmrDelayReceive = new QTimer(this);
        tmrDelayReceive->setObjectName(QStringLiteral("tmrDelayReceive"));
        tmrDelayReceive->setInterval(500);
        tmrDelayReceive->setSingleShot(false);
        connect(tmrDelayReceive, &QTimer::timeout, this, &TransferWindow::tmrDelayReceive_Timer);
    }

    // The first texts are the English ones; SetLanguage follows once the window shows.
    applyWindowLanguage(this, 0, m_profile.boardName);
    fitLabels();
    txtSourceFile->setFocus();
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
    menuBar()->installEventFilter(this);
    qApp->installEventFilter(this);
}

bool TransferWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == menuBar() && event->type() == QEvent::Shortcut) {
        const auto *shortcut = static_cast<QShortcutEvent *>(event);
        if (shortcut->key() == QKeySequence(Qt::ALT | Qt::Key_S)) {
            if (txtSourceFile->isEnabled())
                txtSourceFile->setFocus(Qt::ShortcutFocusReason);
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && handleMenuKeys(static_cast<QKeyEvent *>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TransferWindow::handleMenuKeys(const QKeyEvent *key)
{
    if (key->isAutoRepeat())
        return false;
    if (key->type() == QEvent::KeyRelease) {
        if (key->key() == Qt::Key_Alt && m_altPressedAlone)
            m_menuKeysArmed = true;
        m_altPressedAlone = false;
        return false;
    }
    m_altPressedAlone = key->key() == Qt::Key_Alt;
    if (m_altPressedAlone)
        return false;
    if (m_menuKeysArmed) {
        m_menuKeysArmed = false;
        for (QAction *entry : menuBar()->actions()) {
            if (QKeySequence::mnemonic(entry->text()) != QKeySequence(Qt::ALT | key->key()))
                continue;
            if (entry->menu())
                menuBar()->setActiveAction(entry);
            else
                entry->trigger();
            return true;
        }
        return key->key() == Qt::Key_Escape;
    }
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::NoModifier) {
        m_menuKeysArmed = true;
        return true;
    }
    return false;
}

void TransferWindow::Form_Load()
{
    blnDownloading = false;
    blnUploading = false;
    strCaption = m_profile.caption;
    strBoardName = m_profile.boardName;
    setWindowTitle(strCaption);
}

void TransferWindow::showProgressTitle(const QString &title)
{
    // A title that changes hundreds of times a second is read by nobody and costs the
    // window system dearly: show the newest at most every TitleIntervalMs.
    m_pendingTitle = title;
    if (m_titleTimer.isActive())
        return;
    if (m_titleClock.isValid() && m_titleClock.elapsed() < TitleIntervalMs) {
        m_titleTimer.start(int(TitleIntervalMs - m_titleClock.elapsed()));
        return;
    }
    applyPendingTitle();
}

void TransferWindow::applyPendingTitle()
{
    setWindowTitle(m_pendingTitle);
    m_titleClock.start();
}

void TransferWindow::restoreTitle()
{
    if (m_titleTimer.isActive()) {
        m_titleTimer.stop();
        applyPendingTitle();   // the last progress is shown, however briefly
    }
    setWindowTitle(strCaption);
}

void TransferWindow::SetLanguage()
{
    applyWindowLanguage(this, blnChinese, strBoardName);
    fitLabels();
}

void TransferWindow::fitLabels()
{
    fitLabelToText(lblSourceFile, 20, 52);
    fitLabelToText(lblSaveFile, 30, 42);
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
    dialog.setNameFilter(TransferTexts::fileFilter(blnChinese) + QStringLiteral(" (*)"));
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

// --- Download ------------------------------------------------------------------------

void TransferWindow::cmdDownloadFile_Click()
{
    blnDownloading = !blnDownloading;
    txtSourceFile->setEnabled(!blnDownloading);
    cmdSelectSourcePath->setEnabled(!blnDownloading);
    if (blnDownloading) {
        const auto texts = TransferTexts::downloadRunning(blnChinese, m_profile.chineseDownloadInterruptTip);
        cmdDownloadFile->setText(texts.caption);
        cmdDownloadFile->setToolTip(texts.toolTip);
        SendFile();
    } else {
        cmdDownloadFile->setText(windowText("cmdDownloadFile", LanguageRow::Caption, blnChinese));
        cmdDownloadFile->setToolTip(windowText("cmdDownloadFile", LanguageRow::ToolTip, blnChinese));
        m_downloadPump->interrupt();
    }
}

void TransferWindow::SendFile()
{
    if (!m_port.isOpen()) {
        QString reason;
        if (!m_port.open(&reason)) {
            downloadFailed(TransferFault::PortClosed, reason);
            return;
        }
    }
    const TransferFault fault = m_downloadPump->start(m_profile.makeDownload(), txtSourceFile->text());
    if (fault == TransferFault::SourceTooLarge) {
        const auto message = TransferTexts::fileTooLarge(blnChinese);
        showMessage(QMessageBox::Warning, message.title, message.text);
        cmdDownloadFile_Click();
    } else if (fault != TransferFault::None) {
        downloadFailed(fault);
    }
}

void TransferWindow::downloadProgress(int percent)
{
    showProgressTitle(strBoardName + TransferTexts::sending(blnChinese) + TransferTexts::percent(percent));
}

void TransferWindow::setDownloadIdle()
{
    if (blnDownloading)
        cmdDownloadFile_Click();
}

void TransferWindow::downloadCompleted(qint64 length)
{
    setDownloadIdle();
    restoreTitle();
    const auto message = TransferTexts::downloadFinished(blnChinese, length);
    showMessage(QMessageBox::Information, message.title, message.text);
}

void TransferWindow::downloadInterrupted()
{
    restoreTitle();
}

void TransferWindow::downloadFailed(TransferFault fault, const QString &detail)
{
    m_downloadPump->abandon();
    setDownloadIdle();
    restoreTitle();
    const auto message = TransferTexts::fault(blnChinese, fault, detail);
    showMessage(QMessageBox::Warning, message.title, message.text);
}

// --- Upload --------------------------------------------------------------------------

void TransferWindow::cmdReadyUpload_Click()
{
    blnUploading = !blnUploading;
    txtTargetFile->setEnabled(!blnUploading);
    cmdSelectTargetPath->setEnabled(!blnUploading);
    if (!blnUploading) {
        cmdReadyUpload->setText(windowText("cmdReadyUpload", LanguageRow::Caption, blnChinese));
        cmdReadyUpload->setToolTip(windowText("cmdReadyUpload", LanguageRow::ToolTip, blnChinese));
        m_uploadPump->interrupt();
        return;
    }

    const auto texts = TransferTexts::uploadRunning(blnChinese);
    cmdReadyUpload->setText(texts.caption);
    cmdReadyUpload->setToolTip(texts.toolTip);

    // A folder, a device or a pipe is refused before anything is deleted.
    const QString target = txtTargetFile->text();
    const TransferFault fault = Upload::checkTarget(target);
    if (fault != TransferFault::None) {
        uploadFailed(fault);
        return;
    }
    if (!m_port.isOpen()) {
        QString reason;
        if (!m_port.open(&reason)) {
            uploadFailed(TransferFault::PortClosed, reason);
            return;
        }
    }
    VXT8088_8052::RemoveFile(target);
    m_port.discardInput();
    // A quiet time left over from the last upload must not end this one.
    if (tmrDelayReceive)
        tmrDelayReceive->stop();
    lngExpected = 0;
    ReceiveFile();
}

void TransferWindow::ReceiveFile()
{
    m_uploadPump->start(m_profile.makeUpload([this] { return qint64(lngExpected); }), txtTargetFile->text());
}

void TransferWindow::MSComm1_OnComm()
{
    if (!blnUploading) {
        m_port.discardInput();
        return;
    }
    if (tmrDelayReceive) {
        // The 8052 ends an upload once the line has been quiet for the timer's interval.
        tmrDelayReceive->stop();
        tmrDelayReceive->start();
        if (lngExpected == 0 && m_port.inBufferCount() >= 2)
            takeLengthHeader();
    }
    m_uploadPump->run();
}

// The 8052 announces its data with two bytes, most significant first; 0 stands for 65536.
void TransferWindow::takeLengthHeader()
{
    m_port.setRThreshold(0);
    m_port.setInputLen(2);
    const QByteArray header = m_port.input();
    if (header.size() == 2) {
        lngExpected = static_cast<unsigned char>(header.at(0)) * 256 + static_cast<unsigned char>(header.at(1));
        if (lngExpected == 0)
            lngExpected = 65536;
    }
    m_port.setInputLen(0);
    m_port.setRThreshold(1);
}

void TransferWindow::tmrDelayReceive_Timer()
{
    tmrDelayReceive->stop();
    if (blnUploading)
        cmdReadyUpload_Click();
}

void TransferWindow::uploadProgress(int percent, qint64 count)
{
    const QString done = percent >= 0 ? TransferTexts::percent(percent) : QString::number(count);
    showProgressTitle(strBoardName + TransferTexts::receiving(blnChinese) + done);
}

void TransferWindow::setUploadIdle()
{
    if (blnUploading)
        cmdReadyUpload_Click();
}

void TransferWindow::uploadFinished(qint64 count)
{
    setUploadIdle();
    restoreTitle();
    const auto message = TransferTexts::uploadFinished(blnChinese, count);
    showMessage(QMessageBox::Information, message.title, message.text);
}

void TransferWindow::uploadFailed(TransferFault fault, const QString &detail, qint64 kept)
{
    m_uploadPump->abandon();
    setUploadIdle();
    restoreTitle();
    const auto message = TransferTexts::fault(blnChinese, fault, detail, kept);
    showMessage(QMessageBox::Warning, message.title, message.text);
}

// --- The port ------------------------------------------------------------------------

// Both directions stop at once, without another byte; an upload keeps what reached its
// file. Returns the bytes kept, or -1 when no upload had made a file.
qint64 TransferWindow::abandonTransfers()
{
    m_downloadPump->abandon();
    setDownloadIdle();
    const qint64 kept = m_uploadPump->abandon();
    setUploadIdle();
    restoreTitle();
    return kept;
}

void TransferWindow::portFailed(const QString &reason)
{
    const qint64 kept = abandonTransfers();
    const auto message = TransferTexts::fault(blnChinese, TransferFault::PortFailed, reason, kept);
    showMessage(QMessageBox::Warning, message.title, message.text);
}

void TransferWindow::stopTransfersOnClosedPort()
{
    if (m_port.isOpen())
        return;
    if (!blnDownloading && !m_downloadPump->isRunning() && !blnUploading && !m_uploadPump->isRunning())
        return;
    const qint64 kept = abandonTransfers();
    const auto message = TransferTexts::fault(blnChinese, TransferFault::PortClosed, {}, kept);
    showMessage(QMessageBox::Warning, message.title, message.text);
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
// or the opener cannot be started, a message names the path instead of nothing happening.
// (A viewer that the opener starts and that then fails is out of sight.)
void TransferWindow::openFromProgramFolder(const QString &suffix)
{
    const QString path = programFolder() + suffix;
    const bool missing = !QFileInfo::exists(path);
    if (!missing && m_hooks.openDocument(QUrl::fromLocalFile(path)))
        return;
    const auto message = TransferTexts::cannotOpen(blnChinese, QDir::toNativeSeparators(QDir::cleanPath(path)), missing);
    showMessage(QMessageBox::Warning, message.title, message.text);
}

void TransferWindow::menSetting_Click()
{
    m_port.close();
    ProgramSettings::blnSettingFromWindow = true;
    if (m_hooks.showSettings)
        m_hooks.showSettings(*this);
    ProgramSettings::blnSettingFromWindow = false;
    // The dialog opens the port again as it closes; a transfer cannot go on without it.
    stopTransfersOnClosedPort();
}

void TransferWindow::menAbout_Click()
{
    if (m_hooks.showAbout)
        m_hooks.showAbout(*this);
}

// --- Closing -------------------------------------------------------------------------

void TransferWindow::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    event->accept();
}

void TransferWindow::Form_QueryUnload()
{
    blnDownloading = false;
    blnUploading = false;
    m_downloadPump->abandon();
    m_uploadPump->abandon();
    m_port.close();
    m_hooks.endProgram();
}

void TransferWindow::showMessage(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    // Shown without a nested event loop: transfers and the port go on behind it.
    auto *box = new QMessageBox(icon, title, text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
