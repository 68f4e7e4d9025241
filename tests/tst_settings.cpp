// The settings dialog and the start-up around it: the probed port list, the note below it
// and Try Again, OK and its failures, Exit and the close box, COM numbers that stand for
// boards on the network (slow ones too), at start-up and opened from a transfer window;
// Qt's own texts in the language chosen; the signals that end the program.

#include "commport.h"
#include "controls.h"
#include "delayingproxy.h"
#include "messageboxes.h"
#include "qtlanguage.h"
#include "ser2netserver.h"
#include "ptyboard.h"
#include "serialhost.h"
#include "settingsdialog.h"
#include "splashwindow.h"
#include "startup.h"
#include "testfiles.h"
#include "transfersession.h"
#include "transferwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <csignal>

namespace {

// The entries of the dialog's port list.
QStringList entries(const QWidget &dialog)
{
    const auto *box = control<QComboBox>(dialog, "cboCOM");
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

// What a user does, to a control found by its name.
void press(const QWidget &window, const char *button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

void select(const QWidget &dialog, const char *option)
{
    control<QRadioButton>(dialog, option)->setChecked(true);
}

void trigger(const QWidget &window, const char *command)
{
    control<QAction>(window, command)->trigger();
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private:
    // A host as at start-up, with the dialog shown; ending the program is only counted.
    std::unique_ptr<SerialHost> startHost()
    {
        auto host = std::make_unique<SerialHost>();
        host->setEndProgram([this] { ++m_endings; });
        host->Form_Load();
        return host;
    }

    // Runs `act` on the dialog once it is shown modally from the window.
    void whenDialogOpens(SerialHost &host, std::function<void(SettingsDialog &)> act)
    {
        QTimer::singleShot(0, this, [&host, act] {
            QVERIFY(QTest::qWaitFor([&] { return host.settingsDialog()->isVisible(); }));
            act(*host.settingsDialog());
        });
    }

    // Confirms the start-up dialog on the given entry and returns the window it opened.
    TransferWindow *confirm(SerialHost &host, int entry)
    {
        SettingsDialog &dialog = *host.settingsDialog();
        control<QComboBox>(dialog, "cboCOM")->setCurrentIndex(entry);
        press(dialog, "cmdOK");
        return host.transferWindow();
    }

private slots:
    void initTestCase() { m_com = std::make_unique<ComFolder>(m_folder.path()); }

    void init()
    {
        m_endings = 0;
        useQtLanguage(false);
    }

    void cleanup() { closeMessageBoxes(); }

    void startUpGoesFromSplashToDialogOnce()
    {
        PtyBoard board(m_folder.path(), 1);
        SerialHost host;
        host.setEndProgram([] {});
        QPointer<SplashWindow> splash = startUp(host);
        QVERIFY(QTest::qWaitFor([&] { return splash && splash->isVisible(); }));
        QVERIFY(!host.settingsDialog());
        QTest::mouseClick(splash, Qt::LeftButton);
        QTRY_VERIFY(splash.isNull());
        QVERIFY(host.settingsDialog() && host.settingsDialog()->isVisible());
        QVERIFY(!host.isWidgetType());   // the host has nothing to show
        SettingsDialog *dialog = host.settingsDialog();
        QCOMPARE(entries(*dialog), QStringList{QStringLiteral("COM1")});
    }

    void startUpWaitsForTheTimerWithoutAClick()
    {
        PtyBoard board(m_folder.path(), 1);
        SerialHost host;
        host.setEndProgram([] {});
        QPointer<SplashWindow> splash = startUp(host);
        QTest::qWait(SplashWindow::waitMs - 1000);
        QVERIFY(!host.settingsDialog());   // still the splash
        QTRY_VERIFY_WITH_TIMEOUT(host.settingsDialog() && host.settingsDialog()->isVisible(), 3000);
        QTRY_VERIFY(splash.isNull());
        const QWidgetList windows = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(windows.begin(), windows.end(),
                               [](QWidget *w) { return qobject_cast<SettingsDialog *>(w) && w->isVisible(); }),
                 1);
    }

    void aboutComesFromTheHelpMenu()
    {
        PtyBoard com1(m_folder.path(), 1);
        auto host = startHost();
        TransferWindow *window = confirm(*host, 0);
        QString title;
        QTimer::singleShot(0, this, [&] {
            QVERIFY(QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; }));
            QWidget *box = QApplication::activeModalWidget();
            title = box->windowTitle();
            QCOMPARE(box->objectName(), QStringLiteral("frmAbout"));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        trigger(*window, "menAbout");
        QCOMPARE(title, QStringLiteral("About Kestrion's Data Transfer System"));
    }

    void listsEachPortThatOpensOnce()
    {
        PtyBoard com1(m_folder.path(), 1);
        PtyBoard com4(m_folder.path(), 4);
        PtyBoard com6(m_folder.path(), 6);
        QSerialPort other(com6.devicePath());   // another program holds COM6
        QVERIFY(other.open(QIODevice::ReadWrite));
        const QString com3 = m_folder.filePath(QStringLiteral("COM3"));   // COM1 by another name
        QVERIFY(QFile::link(com1.devicePath(), com3));

        auto host = startHost();
        QFile::remove(com3);
        SettingsDialog &dialog = *host->settingsDialog();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Setting"));
        QCOMPARE(entries(dialog), (QStringList{QStringLiteral("COM1"), QStringLiteral("COM4")}));
        auto *cboCOM = control<QComboBox>(dialog, "cboCOM");
        auto *lblPortNote = control<QLabel>(dialog, "lblPortNote");
        auto *cmdOK = control<QPushButton>(dialog, "cmdOK");
        QCOMPARE(cboCOM->currentIndex(), 0);
        QCOMPARE(cboCOM->itemData(1, Qt::ToolTipRole).toString(), com4.linkPath());
        QVERIFY(control<QRadioButton>(dialog, "optEn")->isChecked());
        QVERIFY(control<QRadioButton>(dialog, "optVXT8088")->isChecked());
        QVERIFY(!host->station().line().isOpen());
        QCOMPARE(cboCOM->geometry(), QRect(120, 112, 89, 20));
        // Below the list, the port another program holds and what to do; the buttons
        // make room for it.
        QVERIFY(lblPortNote->isVisible());
        QCOMPARE(lblPortNote->text(), QStringLiteral("COM6 (%1) is in use by another program: close that "
                                                     "program first.").arg(com6.devicePath()));
        QVERIFY(cmdOK->y() > lblPortNote->geometry().bottom());
        QCOMPARE(dialog.height(), cmdOK->geometry().bottom() + 11);
        QCOMPARE(dialog.width(), 249);

        // COM4, Chinese, VXT-8052: the port opens and the 8052 window comes in Chinese.
        select(dialog, "optCH");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("設定"));
        QCOMPARE(cmdOK->text(), QStringLiteral("確定(&O)"));
        QCOMPARE(control<QLabel>(dialog, "lblPort")->text(), QStringLiteral("通訊埠選擇："));
        QCOMPARE(lblPortNote->text(),
                 QStringLiteral("COM6（%1） 正被其他程式使用：請先關閉那個程式。").arg(com6.devicePath()));
        select(dialog, "optVXT8052");
        TransferWindow *window = confirm(*host, 1);
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("frmVXT8052"));
        QVERIFY(window->isVisible());
        QCOMPARE(control<QGroupBox>(*window, "fmeTransFile")->title(), QStringLiteral("PC 傳送到 VXT-8052"));
        QCOMPARE(host->station().port().number, 4);
        QVERIFY(host->station().line().isOpen());
        QCOMPARE(host->settings().intBoard, qint16(8052));
        QCOMPARE(host->settings().blnChinese, qint16(1));
        QCOMPARE(host->settings().port.number, 4);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(m_endings, 0);   // the dialog closed, the program goes on
    }

    // With no port, OK says what to check, in the language chosen; Qt's own button
    // follows that language and goes back to English with it.
    void okWithoutPortsSaysWhatToCheck()
    {
        auto host = startHost();
        SettingsDialog &dialog = *host->settingsDialog();
        QVERIFY(dialog.isVisible());
        QCOMPARE(control<QComboBox>(dialog, "cboCOM")->count(), 0);
        QVERIFY(control<QLabel>(dialog, "lblPortNote")->isHidden());   // nothing to explain: the dialog as designed
        QCOMPARE(dialog.size(), QSize(249, 185));
        auto pressOK = [&](const char *language) {
            closeMessageBoxes();
            select(dialog, language);
            press(dialog, "cmdOK");
            return QTest::qWaitFor([] { return openMessageBox() != nullptr; }) ? openMessageBox() : nullptr;
        };

        QMessageBox *box = pressOK("optEn");
        QVERIFY(box);
        QCOMPARE(box->windowTitle(), QStringLiteral("Kestrion's Data Transfer System"));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QVERIFY(box->text().startsWith(QStringLiteral("No serial port was found.")));
        QVERIFY(box->text().contains(QStringLiteral("cable")));
        QVERIFY(box->text().contains(QStringLiteral("dialout")));
        QCOMPARE(box->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));

        box = pressOK("optCH");
        QVERIFY(box);
        QVERIFY(box->text().startsWith(QStringLiteral("找不到任何通訊埠。")));
        QVERIFY(box->text().contains(QStringLiteral("dialout 群組")));
        QCOMPARE(box->button(QMessageBox::Ok)->text(), QStringLiteral("確定"));

        box = pressOK("optEn");
        QVERIFY(box);
        QCOMPARE(box->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
        QVERIFY(dialog.isVisible());
        QVERIFY(!host->transferWindow());
    }

    // With no port to choose but one that another program holds, OK names that one.
    void okWithOnlyAHeldPortNamesIt()
    {
        PtyBoard com2(m_folder.path(), 2);
        QSerialPort other(com2.devicePath());
        QVERIFY(other.open(QIODevice::ReadWrite));
        auto host = startHost();
        SettingsDialog &dialog = *host->settingsDialog();
        QCOMPARE(control<QComboBox>(dialog, "cboCOM")->count(), 0);
        QVERIFY(control<QLabel>(dialog, "lblPortNote")->isVisible());
        press(dialog, "cmdOK");
        QVERIFY(QTest::qWaitFor([] { return openMessageBox() != nullptr; }));
        QCOMPARE(openMessageBox()->text(),
                 QStringLiteral("No serial port can be opened.\n\nCOM2 (%1) is in use by another program: close "
                                "that program first.").arg(com2.devicePath()));
        QVERIFY(dialog.isVisible());
    }

    // In Chinese the file dialog, which Qt draws itself, shows no English: neither its
    // own texts nor the type, size and date of a file and a folder.
    void fileDialogInChinese()
    {
        PtyBoard com1(m_folder.path(), 1);
        QTemporaryDir files;
        QVERIFY(QDir(files.path()).mkdir(QStringLiteral("folder")));
        QFile notes(files.filePath(QStringLiteral("notes.txt")));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("hello") == 5);
        notes.close();
        auto host = startHost();
        select(*host->settingsDialog(), "optCH");
        TransferWindow *window = confirm(*host, 0);
        QStringList english;
        QTimer::singleShot(0, this, [&] {
            QVERIFY(QTest::qWaitFor([] { return qobject_cast<QFileDialog *>(QApplication::activeModalWidget()); }));
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            dialog->setDirectory(files.path());
            auto *list = dialog->findChild<QTreeView *>();
            QVERIFY(QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) == 2; }));
            QStringList texts{dialog->windowTitle()};
            for (int row = 0; row < 2; ++row) {
                for (int column = 1; column < list->model()->columnCount(list->rootIndex()); ++column)
                    texts << list->model()->index(row, column, list->rootIndex()).data().toString();
            }
            for (const QLabel *label : dialog->findChildren<QLabel *>())
                texts << label->text();
            for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
                texts << button->text() << button->toolTip();
            for (const QHeaderView *header : dialog->findChildren<QHeaderView *>()) {
                for (int column = 0; column < header->count(); ++column)
                    texts << header->model()->headerData(column, header->orientation()).toString();
            }
            // Access keys such as (&O) are the only Latin letters allowed.
            static const QRegularExpression accessKey(QStringLiteral("\\(&[A-Z]\\)"));
            static const QRegularExpression latin(QStringLiteral("[A-Za-z]"));
            for (QString text : texts) {
                if (text.remove(accessKey).contains(latin))
                    english << text;
            }
            dialog->reject();
        });
        press(*window, "cmdSelectSourcePath");
        QCOMPARE(english.join(u'|'), QString());
    }

    void okOnAPortThatWentAwayKeepsTheDialogOpen()
    {
        auto board = std::make_unique<PtyBoard>(m_folder.path(), 2);
        auto host = startHost();
        SettingsDialog &dialog = *host->settingsDialog();
        QCOMPARE(entries(dialog), QStringList{QStringLiteral("COM2")});
        board.reset();   // unplugged after the probe
        select(dialog, "optCH");
        press(dialog, "cmdOK");
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().contains(QStringLiteral("COM2")));
        QVERIFY(dialog.isVisible());
        QVERIFY(control<QRadioButton>(dialog, "optCH")->isChecked());
        QCOMPARE(host->settings().intBoard, qint16(0));   // nothing chosen until an OK succeeds
        QVERIFY(!host->transferWindow());
    }

    // COM numbers that stand for boards on the network: the ones that answer are listed
    // with their address, the others are explained below the list; OK waits for the
    // connection, says when it cannot be made, and the board gets what the window sends.
    // A connection that drops while nothing runs is told as a lost port.
    void networkPortsByTheirAddress()
    {
        PtyBoard com1(m_folder.path(), 1);
        QTcpServer board;
        QVERIFY(board.listen(QHostAddress::LocalHost, 0));
        const QString live = QStringLiteral("socket://127.0.0.1:%1").arg(board.serverPort());
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QString dead = QStringLiteral("socket://127.0.0.1:%1").arg(closed.serverPort());
        closed.close();
        const QString com3 = writeTestFile(m_folder.filePath(QStringLiteral("COM3")), live.toUtf8() + '\n');
        const QString com5 = writeTestFile(m_folder.filePath(QStringLiteral("COM5")), dead.toUtf8() + '\n');
        auto removeFiles = qScopeGuard([&] {
            QFile::remove(com3);
            QFile::remove(com5);
        });

        auto host = startHost();
        SettingsDialog &dialog = *host->settingsDialog();
        auto *cboCOM = control<QComboBox>(dialog, "cboCOM");
        auto *lblPortNote = control<QLabel>(dialog, "lblPortNote");
        auto *cmdOK = control<QPushButton>(dialog, "cmdOK");
        QVERIFY(dialog.isVisible());   // shown at once; the addresses come when they answer
        QTRY_COMPARE(entries(dialog), (QStringList{QStringLiteral("COM1"), QStringLiteral("COM3")}));
        QTRY_VERIFY(cmdOK->isEnabled());
        QCOMPARE(cboCOM->currentIndex(), 0);
        QCOMPARE(cboCOM->itemData(0, Qt::ToolTipRole).toString(), com1.linkPath());
        QCOMPARE(cboCOM->itemData(1, Qt::ToolTipRole).toString(), live);
        const QString refused = QStringLiteral(" refused the connection: check that the serial device server runs "
                                               "and listens on that port.");
        QCOMPARE(lblPortNote->text(), QStringLiteral("COM5 (%1)").arg(dead) + refused);
        select(dialog, "optCH");
        QCOMPARE(lblPortNote->text(),
                 QStringLiteral("COM5（%1） 拒絕連線：請確認序列裝置伺服器正在執行，且連接埠號碼正確。").arg(dead));
        select(dialog, "optEn");

        // The server stops after the listing: OK says so and the dialog stays.
        const quint16 boardPort = board.serverPort();
        board.close();
        select(dialog, "optVXT8052");
        cboCOM->setCurrentIndex(1);
        press(dialog, "cmdOK");
        QTRY_VERIFY(openMessageBox());
        QCOMPARE(openMessageBox()->text(), QStringLiteral("COM3 (%1)").arg(live) + refused);
        closeMessageBoxes();
        QVERIFY(dialog.isVisible());
        QVERIFY(!host->transferWindow());
        QVERIFY(cmdOK->isEnabled());

        // It runs again: OK cannot be pressed twice while the connection is made.
        QVERIFY(board.listen(QHostAddress::LocalHost, boardPort));
        press(dialog, "cmdOK");
        QVERIFY(!cmdOK->isEnabled());
        press(dialog, "cmdOK");
        QTRY_VERIFY(host->transferWindow());
        QVERIFY(!dialog.isVisible());
        QVERIFY(host->station().line().isOpen());
        QCOMPARE(host->station().line().networkAddress(), live);
        QTRY_VERIFY(board.hasPendingConnections());
        std::unique_ptr<QTcpSocket> wire(board.nextPendingConnection());
        QVERIFY(!board.hasPendingConnections());   // one connection: the second press did nothing

        TransferWindow &window = *host->transferWindow();
        QCOMPARE(control<QLabel>(window, "lblPortStatus")->text(), QStringLiteral("COM3 — %1 — open").arg(live));
        QTemporaryDir files;
        const QByteArray content = sample(300);
        control<QLineEdit>(window, "txtSourceFile")->setText(writeTestFile(files.filePath(QStringLiteral("a.bin")), content));
        press(window, "cmdDownloadFile");
        QByteArray received;
        QTRY_VERIFY_WITH_TIMEOUT((received += wire->readAll()).size() >= content.size(), 5000);
        QCOMPARE(received, content);
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().startsWith(QStringLiteral("300(12CH) has been transferred!")));
        closeMessageBoxes();

        // From the window the port is preselected once it has answered, and Exit opens
        // it again.
        whenDialogOpens(*host, [&](SettingsDialog &dialog) {
            QTRY_COMPARE(control<QComboBox>(dialog, "cboCOM")->currentText(), QStringLiteral("COM3"));
            press(dialog, "cmdExit");
        });
        trigger(window, "menSetting");
        QTRY_VERIFY(host->station().line().isOpen());
        QCOMPARE(host->station().port().number, 3);
        int connections = 0;   // the listing's try, then the port's own
        QTRY_VERIFY([&] {
            for (; board.hasPendingConnections(); ++connections)
                wire.reset(board.nextPendingConnection());
            return connections == 2;
        }());
        QCOMPARE(wire->state(), QAbstractSocket::ConnectedState);

        wire->close();
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().startsWith(QStringLiteral("The serial port stopped working.")));
        QVERIFY(openMessageBox()->text().contains(live));
    }

    // Fifteen dead addresses make one line of the note, not fifteen sentences; each
    // port's own sentence is its tooltip. Try Again lists the ports anew.
    void deadAddressesMakeOneLineAndTryAgain()
    {
        QStringList files;
        auto removeFiles = qScopeGuard([&] {
            for (const QString &file : std::as_const(files))
                QFile::remove(file);
        });
        QList<quint16> dead;
        for (int n = 1; n <= 15; ++n) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
            dead << closed.serverPort();
            closed.close();
            files << writeTestFile(m_folder.filePath(QStringLiteral("COM%1").arg(n)),
                                   QStringLiteral("socket://127.0.0.1:%1\n").arg(dead.last()).toUtf8());
        }

        auto host = startHost();
        SettingsDialog &dialog = *host->settingsDialog();
        auto *lblPortNote = control<QLabel>(dialog, "lblPortNote");
        auto *cmdTryAgain = control<QPushButton>(dialog, "cmdTryAgain");
        QTRY_VERIFY(lblPortNote->isVisible());
        QCOMPARE(lblPortNote->text(), QStringLiteral("COM1–COM15: refused the connection: check that the serial "
                                                     "device server runs and listens on those ports."));
        QVERIFY(lblPortNote->toolTip().contains(
            QStringLiteral("COM9 (socket://127.0.0.1:%1) refused the connection").arg(dead[8])));
        QVERIFY(dialog.height() < 300);
        QVERIFY(cmdTryAgain->isVisible());
        QCOMPARE(cmdTryAgain->text(), QStringLiteral("&Try Again"));
        QVERIFY(control<QPushButton>(dialog, "cmdOK")->y() > cmdTryAgain->geometry().bottom());
        select(dialog, "optCH");
        QCOMPARE(lblPortNote->text(),
                 QStringLiteral("COM1–COM15：拒絕連線：請確認序列裝置伺服器正在執行，且連接埠號碼正確。"));
        QCOMPARE(cmdTryAgain->text(), QStringLiteral("重新偵測(&T)"));

        // A board comes on COM7: Try Again lists it and the note tells the others.
        QTcpServer board;
        QVERIFY(board.listen(QHostAddress::LocalHost, 0));
        writeTestFile(files[6], QStringLiteral("socket://127.0.0.1:%1\n").arg(board.serverPort()).toUtf8());
        press(dialog, "cmdTryAgain");
        QTRY_COMPARE(entries(dialog), QStringList{QStringLiteral("COM7")});
        QTRY_VERIFY(control<QPushButton>(dialog, "cmdOK")->isEnabled());
        QCOMPARE(control<QComboBox>(dialog, "cboCOM")->currentIndex(), 0);
        QCOMPARE(lblPortNote->text(), QStringLiteral("COM1–COM6、COM8–COM15：拒絕連線：請確認序列裝置伺服器正在執行，"
                                                     "且連接埠號碼正確。"));
        QVERIFY(cmdTryAgain->isEnabled());
    }

    // A server slower than the listing's short wait (a lab over a VPN) is named as not
    // answering in time, and joins the list when it answers.
    void slowPortJoinsTheListLater()
    {
        if (!Ser2NetServer::isInstalled())
            QSKIP("ser2net is not installed");
        QTemporaryDir devices;
        PtyBoard device(devices.path(), 1);
        Ser2NetServer ser2net;
        QVERIFY2(ser2net.start(device.devicePath()), qPrintable(ser2net.errorText()));
        DelayingProxy proxy(ser2net.rfc2217Port(), 600);
        QVERIFY(proxy.port() != 0);
        const QString address = QStringLiteral("rfc2217://127.0.0.1:%1").arg(proxy.port());
        const QString com3 = writeTestFile(m_folder.filePath(QStringLiteral("COM3")), address.toUtf8() + '\n');
        auto removeFile = qScopeGuard([&] { QFile::remove(com3); });

        auto host = startHost();
        SettingsDialog &dialog = *host->settingsDialog();
        auto *lblPortNote = control<QLabel>(dialog, "lblPortNote");
        QTRY_VERIFY(lblPortNote->isVisible());
        QCOMPARE(lblPortNote->text(), QStringLiteral("COM3 (%1) did not answer in time: check the address, the "
                                                     "network and that the server is on.").arg(address));
        QVERIFY(entries(dialog).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(entries(dialog), QStringList{QStringLiteral("COM3")}, 6000);
        QVERIFY(lblPortNote->isHidden());
        QCOMPARE(control<QComboBox>(dialog, "cboCOM")->currentIndex(), 0);
    }

    void exitAndCloseBoxAtStartUpEndTheProgram()
    {
        auto host = startHost();
        press(*host->settingsDialog(), "cmdExit");
        QCOMPARE(m_endings, 1);

        auto second = startHost();
        second->settingsDialog()->close();
        QCOMPARE(m_endings, 2);
    }

    void fromWindowKeepsThePortInUse()
    {
        PtyBoard com1(m_folder.path(), 1);
        PtyBoard com4(m_folder.path(), 4);
        auto host = startHost();
        TransferWindow *window = confirm(*host, 1);
        QCOMPARE(host->station().port().number, 4);

        whenDialogOpens(*host, [&](SettingsDialog &dialog) {
            QCOMPARE(control<QComboBox>(dialog, "cboCOM")->currentText(), QStringLiteral("COM4"));
            QVERIFY(!control<QGroupBox>(dialog, "fmeVXT")->isEnabled());
            QVERIFY(!control<QRadioButton>(dialog, "optVXT8052")->isEnabled());
            QVERIFY(control<QRadioButton>(dialog, "optVXT8088")->isChecked());
            QVERIFY(!host->station().line().isOpen());   // closed while the dialog is open
            select(dialog, "optCH");
            press(dialog, "cmdExit");
        });
        trigger(*window, "menSetting");
        QVERIFY(host->station().line().isOpen());
        QCOMPARE(host->station().port().number, 4);
        QCOMPARE(host->settings().blnChinese, qint16(0));   // Exit keeps the language
        QCOMPARE(control<QAction>(*window, "menSetting")->text(), QStringLiteral("&Setting"));

        // OK there applies the language and keeps the board; the close box reopens too.
        whenDialogOpens(*host, [&](SettingsDialog &dialog) {
            select(dialog, "optCH");
            press(dialog, "cmdOK");
        });
        trigger(*window, "menSetting");
        QCOMPARE(control<QAction>(*window, "menSetting")->text(), QStringLiteral("設定(&S)"));
        QCOMPARE(host->settings().intBoard, qint16(8088));
        QVERIFY(host->station().line().isOpen());

        whenDialogOpens(*host, [&](SettingsDialog &dialog) {
            QVERIFY(control<QRadioButton>(dialog, "optCH")->isChecked());
            QCOMPARE(dialog.windowTitle(), QStringLiteral("設定"));
            dialog.close();
        });
        trigger(*window, "menSetting");
        QVERIFY(host->station().line().isOpen());
        QCOMPARE(m_endings, 0);
    }

    void fromWindowWhenThePortWentAway()
    {
        auto com1 = std::make_unique<PtyBoard>(m_folder.path(), 1);
        auto com4 = std::make_unique<PtyBoard>(m_folder.path(), 4);
        auto host = startHost();
        TransferWindow *window = confirm(*host, 1);

        // COM4 is gone: the first listed port takes its place, and Exit opens that one.
        host->station().close();
        com4.reset();
        whenDialogOpens(*host, [&](SettingsDialog &dialog) {
            QCOMPARE(entries(dialog), QStringList{QStringLiteral("COM1")});
            QCOMPARE(host->station().port().number, 1);
            press(dialog, "cmdExit");
        });
        trigger(*window, "menSetting");
        QVERIFY(host->station().line().isOpen());
        QCOMPARE(host->station().port().number, 1);

        // No port at all: the number stays, OK warns, and leaving says the port is lost.
        host->station().close();
        com1.reset();
        whenDialogOpens(*host, [&](SettingsDialog &dialog) {
            QCOMPARE(control<QComboBox>(dialog, "cboCOM")->count(), 0);
            QCOMPARE(host->station().port().number, 1);
            press(dialog, "cmdOK");
            QVERIFY(QTest::qWaitFor([] { return openMessageBox() != nullptr; }));
            closeMessageBoxes();
            QVERIFY(dialog.isVisible());
            press(dialog, "cmdExit");
        });
        trigger(*window, "menSetting");
        QVERIFY(!host->station().line().isOpen());
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().contains(QStringLiteral("COM1")));
    }

    // OK on a port that another program took after the listing fails and changes
    // nothing: Exit opens the port in force again, and the next download goes to its
    // board, not to the one the user could not have.
    void failedOkFromWindowKeepsThePortInForce()
    {
        PtyBoard com5(m_folder.path(), 5);
        PtyBoard com6(m_folder.path(), 6);
        auto host = startHost();
        TransferWindow *window = confirm(*host, 0);
        QCOMPARE(host->station().port().number, 5);
        QSerialPort other(com6.devicePath());
        whenDialogOpens(*host, [&](SettingsDialog &dialog) {
            QCOMPARE(entries(dialog), (QStringList{QStringLiteral("COM5"), QStringLiteral("COM6")}));
            QVERIFY(other.open(QIODevice::ReadWrite));
            control<QComboBox>(dialog, "cboCOM")->setCurrentIndex(1);
            press(dialog, "cmdOK");
            QVERIFY(QTest::qWaitFor([] { return openMessageBox() != nullptr; }));
            QVERIFY(openMessageBox()->text().startsWith(QStringLiteral("COM6 (")));
            closeMessageBoxes();
            QVERIFY(dialog.isVisible());
            press(dialog, "cmdExit");
        });
        trigger(*window, "menSetting");
        QCOMPARE(host->station().port().number, 5);
        QVERIFY(host->station().line().isOpen());
        QVERIFY(!openMessageBox());

        QTemporaryDir files;
        const QString source = writeTestFile(files.filePath(QStringLiteral("a.bin")), "AB");
        control<QLineEdit>(*window, "txtSourceFile")->setText(source);
        press(*window, "cmdDownloadFile");
        QVERIFY(com5.waitForBytes(5));
        QCOMPARE(com5.received(), QByteArray("4142\x1A"));
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().startsWith(QStringLiteral("2(2H) has been transferred!")));
    }

    // SIGHUP before any window ends the program; SIGTERM during an upload ends it as
    // closing the window does: the file keeps what came and the port is free at once.
    void terminationSignalsEndTheProgram()
    {
        std::signal(SIGHUP, SIG_DFL);   // as without nohup, whatever ran the tests
        PtyBoard com1(m_folder.path(), 1);
        {
            auto host = startHost();
            host->endOnTerminationSignals();
            ::raise(SIGHUP);
            QTRY_COMPARE(m_endings, 1);
        }

        auto host = startHost();
        host->endOnTerminationSignals();
        TransferWindow *window = confirm(*host, 0);
        QTemporaryDir files;
        const QString target = files.filePath(QStringLiteral("up.bin"));
        control<QLineEdit>(*window, "txtTargetFile")->setText(target);
        press(*window, "cmdReadyUpload");
        com1.send("414243");
        QTRY_COMPARE(window->windowTitle(), QStringLiteral("VXT-8088　Receiving...3"));

        ::raise(SIGTERM);
        QTRY_COMPARE(m_endings, 2);
        QVERIFY(!window->isVisible());
        QVERIFY(!window->session().isRunning(Direction::Upload));
        QVERIFY(!host->station().line().isOpen());
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("ABC"));
        QSerialPort other(com1.devicePath());
        QVERIFY(other.open(QIODevice::ReadWrite));
    }

    // Without a display the program says so in one line and ends with status 1.
    void withoutADisplayItSaysSo()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QLatin1String(name));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(KESTRION_PATH), QStringList());
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 1);
        QCOMPARE(program.readAllStandardError(), QByteArray("Kestrion needs a display and none could be opened "
                                                            "(DISPLAY is not set); kestrion-cli works without one.\n"));
    }

    // The Setting command ends a running download: nothing goes out while the dialog is
    // open nor after it, and the window says so once the dialog has closed.
    void settingEndsADownload()
    {
        PtyBoard com1(m_folder.path(), 1);
        auto host = startHost();
        TransferWindow *window = confirm(*host, 0);
        QTemporaryDir files;
        const QByteArray content = sample(3000);
        const QString source = writeTestFile(files.filePath(QStringLiteral("source.bin")), content);
        control<QLineEdit>(*window, "txtSourceFile")->setText(source);
        press(*window, "cmdDownloadFile");
        QVERIFY(com1.waitForBytes(40));
        qsizetype sent = -1;
        bool messageMeanwhile = true;
        whenDialogOpens(*host, [&](SettingsDialog &dialog) {
            sent = com1.received().size();
            QTest::qWait(300);
            messageMeanwhile = openMessageBox() != nullptr;
            press(dialog, "cmdOK");
        });
        trigger(*window, "menSetting");
        QVERIFY(!messageMeanwhile);
        QVERIFY(!window->session().isRunning(Direction::Download));
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().startsWith(QStringLiteral("The serial port was closed for the Setting command")));
        QTest::qWait(200);
        QCOMPARE(com1.received().size(), sent);
        QVERIFY(QByteArray(content.toHex().toUpper() + '\x1A').startsWith(com1.received()));
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<ComFolder> m_com;
    int m_endings = 0;
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
