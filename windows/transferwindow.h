#pragma once

#include "boardprofile.h"
#include "boardstation.h"
#include "transfer.h"
#include "transfertexts.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QUrl>
#include <functional>

class ProgressTitle;
class TransferSession;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

// The main window of a run: one row sends a file to the board (download), the other
// stores what the board sends (upload). One class serves both boards; the profile holds
// their differences. All traffic with the board goes through the board's station, whose
// state the window shows, on a status line below the banner.
class TransferWindow : public QMainWindow {
    Q_OBJECT

public:
    // What the window needs from the program around it.
    struct Hooks {
        std::function<void(TransferWindow &)> showSettings;   // modal settings dialog; it
                                                              // gives the window its language
        std::function<void(TransferWindow &)> showAbout;      // modal About box
        std::function<void()> endProgram;
        std::function<bool(const QUrl &)> openDocument;       // the platform's opener; false:
                                                              // nothing could be started
    };

    TransferWindow(const BoardProfile &profile, BoardStation &station, Hooks hooks, QWidget *parent = nullptr);
    ~TransferWindow() override;

    // The transfers of both directions, which the window starts, interrupts and reports.
    // A row shows "running" exactly while the session runs its direction.
    TransferSession &session();

    // Writes the texts of the language into the controls; later texts (buttons, titles,
    // messages, the browse dialogs' file types) follow it too.
    void SetLanguage(Language language);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    enum class RowState { Idle, Running };
    struct RowDesign;
    struct Row;

    // Handlers, named after their control and event.
    void Form_Load();
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

    void buildControls();
    static Row buildRow(QWidget *client, const RowDesign &design);
    void buildMenus();
    // The path field and browse button are locked while the row's transfer runs, and its
    // button offers to interrupt it.
    void showRow(Direction direction, RowState state);
    void showProgress(const TransferProgress &progress);
    void transferFinished(const TransferOutcome &outcome);
    void stationChanged(const StationState &state);
    void showPortStatus();
    void showMessage(QMessageBox::Icon icon, const QString &title, const QString &text);
    QString browse(bool save);
    QString programFolder() const;
    void openFromProgramFolder(const QString &suffix);
    void cannotOpen(const QString &path, bool missing);

    // Window variables.
    QString strCaption;     // the title at rest
    QString strBoardName;   // the first part of the progress titles

    // Controls, by the names the program knows them by (also their object names).
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
    // Below the banner: the port in use, the address behind it, and how its line stands.
    QLabel *lblPortStatus = nullptr;

    const BoardProfile &m_profile;
    BoardStation &m_station;
    Hooks m_hooks;
    Language m_language = Language::English;
    struct HeldMessage {
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };
    bool m_settingOpen = false;
    QList<HeldMessage> m_heldMessages;
    ProgressTitle *m_title = nullptr;
};
