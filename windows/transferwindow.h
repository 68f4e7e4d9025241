#pragma once

#include "boardprofile.h"
#include "transfer.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>
#include <functional>

class CommPort;
class DownloadPump;
class UploadPump;
class QAction;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// The main window of a run: one row sends a file to the board (download), the other
// stores what the board sends (upload). One class serves both boards; the profile holds
// their differences. All serial traffic goes through the program's one CommPort.
class TransferWindow : public QMainWindow {
    Q_OBJECT

public:
    // What the window needs from the program around it.
    struct Hooks {
        std::function<void(TransferWindow &)> showSettings;   // modal settings dialog
        std::function<void(TransferWindow &)> showAbout;      // modal About box
        std::function<void()> endProgram;
        std::function<bool(const QUrl &)> openDocument;       // the platform's opener; false:
                                                              // nothing could be started
    };

    TransferWindow(const BoardProfile &profile, CommPort &port, Hooks hooks, QWidget *parent = nullptr);
    ~TransferWindow() override;

    const BoardProfile &profile() const { return m_profile; }

    // Writes the texts of the language in force into the controls.
    void SetLanguage();

    // Window variables.
    bool blnDownloading = false;
    bool blnUploading = false;
    qint32 lngExpected = 0;
    QString strCaption;
    QString strBoardName;

    // Controls, by the names the program knows them by.
    QGroupBox *fmeTransFile = nullptr;
    QLabel *lblSourceFile = nullptr;
    QLineEdit *txtSourceFile = nullptr;
    QPushButton *cmdSelectSourcePath = nullptr;
    QPushButton *cmdDownloadFile = nullptr;
    QGroupBox *fmeReceiveFile = nullptr;
    QLabel *lblSaveFile = nullptr;
    QLineEdit *txtTargetFile = nullptr;
    QPushButton *cmdSelectTargetPath = nullptr;
    QPushButton *cmdReadyUpload = nullptr;
    QLabel *Image1 = nullptr;
    QMenu *menView = nullptr;
    QAction *menExamples = nullptr;
    QAction *menSetting = nullptr;
    QMenu *menHelp = nullptr;
    QAction *menContent = nullptr;
    QAction *menAbout = nullptr;
    QTimer *tmrDelayReceive = nullptr;   // the 8052 window only

public slots:
    void cmdSelectSourcePath_Click();
    void cmdSelectTargetPath_Click();
    void txtSourceFile_Change();
    void txtTargetFile_Change();
    void cmdDownloadFile_Click();
    void cmdReadyUpload_Click();
    void menExamples_Click();
    void menContent_Click();
    void menSetting_Click();
    void menAbout_Click();
    void MSComm1_OnComm();
    void tmrDelayReceive_Timer();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void Form_QueryUnload();
    void buildControls();
    void buildMenus();
    void fitLabels();
    bool handleMenuKeys(const QKeyEvent *key);
    void showProgressTitle(const QString &title);
    void applyPendingTitle();
    void restoreTitle();
    void SendFile();
    void downloadProgress(int percent);
    void downloadCompleted(qint64 length);
    void downloadInterrupted();
    void downloadFailed(TransferFault fault, const QString &detail = {});
    void setDownloadIdle();
    void ReceiveFile();
    void takeLengthHeader();
    void uploadProgress(int percent, qint64 count);
    void uploadFinished(qint64 count);
    void uploadFailed(TransferFault fault, const QString &detail = {}, qint64 kept = -1);
    void setUploadIdle();
    void portFailed(const QString &reason);
    void stopTransfersOnClosedPort();
    qint64 abandonTransfers();
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text);
    QString browse(bool save);
    QString programFolder() const;
    void openFromProgramFolder(const QString &suffix);

    const BoardProfile &m_profile;
    CommPort &m_port;
    Hooks m_hooks;
    DownloadPump *m_downloadPump = nullptr;
    static constexpr qint64 TitleIntervalMs = 250;
    QTimer m_titleTimer;
    QElapsedTimer m_titleClock;
    QString m_pendingTitle;
    bool m_altPressedAlone = false;   // Alt is down and no other key came with it
    bool m_menuKeysArmed = false;     // the next key picks a menu by its letter
    UploadPump *m_uploadPump = nullptr;
};
