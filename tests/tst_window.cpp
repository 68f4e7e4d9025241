// The transfer window: its controls, enabling rules, languages, menus, status line,
// closing and the download as a user drives it, on a fake line.

#include "boardprofile.h"
#include "boardstation.h"
#include "commport.h"
#include "controls.h"
#include "messagebox.h"
#include "messageboxes.h"
#include "transferrig.h"
#include "transfersession.h"
#include "transferwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

class WindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TransferRig> makeRig(const BoardProfile &profile = vxt8088Profile(), qint64 pacing = 1'000'000)
    {
        auto rig = std::make_unique<TransferRig>(profile, pacing);
        if (!rig->isValid())
            qFatal("the test line did not open");
        return rig;
    }

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        return writeTestFile(m_files.filePath(name), bytes);
    }

private slots:
    void cleanup() { closeMessageBoxes(); }

    void newWindowIsIdleAndEmpty()
    {
        for (const BoardProfile *profile : {&vxt8088Profile(), &vxt8052Profile()}) {
            auto rig = makeRig(*profile);
            TransferWindow &w = rig->window();
            auto *txtSourceFile = control<QLineEdit>(w, "txtSourceFile");
            auto *txtTargetFile = control<QLineEdit>(w, "txtTargetFile");
            auto *cmdDownloadFile = control<QPushButton>(w, "cmdDownloadFile");
            auto *cmdReadyUpload = control<QPushButton>(w, "cmdReadyUpload");
            auto *fmeTransFile = control<QGroupBox>(w, "fmeTransFile");
            auto *fmeReceiveFile = control<QGroupBox>(w, "fmeReceiveFile");
            QCOMPARE(w.windowTitle(), profile->caption);
            QVERIFY(txtSourceFile->text().isEmpty());
            QVERIFY(txtTargetFile->text().isEmpty());
            QVERIFY(!cmdDownloadFile->isEnabled());
            QVERIFY(!cmdReadyUpload->isEnabled());
            QCOMPARE(cmdDownloadFile->text(), QStringLiteral("&Download"));
            QCOMPARE(fmeTransFile->title(), QStringLiteral("PC to ") + profile->boardName);
            QCOMPARE(fmeReceiveFile->title(), profile->boardName + QStringLiteral(" to PC"));
            QCOMPARE(w.centralWidget()->size(), QSize(458, 240));
            QCOMPARE(fmeTransFile->geometry(), QRect(8, 8, 441, 73));
            QCOMPARE(cmdDownloadFile->geometry(), QRect(344, 28, 81, 25));
            QCOMPARE(control<QLabel>(w, "Image1")->geometry(), QRect(0, 168, 460, 72));
            QCOMPARE(w.session().board(), profile->board);

            // Menu bar: View, Setting, Help.
            auto names = [](const QList<QAction *> &items) {
                QStringList list;
                for (const QAction *item : items)
                    list << (item->menu() ? item->menu()->objectName() : item->objectName());
                return list;
            };
            QCOMPARE(names(w.menuBar()->actions()),
                     (QStringList{QStringLiteral("menView"), QStringLiteral("menSetting"), QStringLiteral("menHelp")}));
            QCOMPARE(names(control<QMenu>(w, "menHelp")->actions()),
                     (QStringList{QStringLiteral("menContent"), QStringLiteral("menAbout")}));
        }
    }

    void tabOrderAndAccessKeys()
    {
        auto rig = makeRig();
        TransferWindow &w = rig->window();
        auto *txtSourceFile = control<QLineEdit>(w, "txtSourceFile");
        auto *txtTargetFile = control<QLineEdit>(w, "txtTargetFile");
        auto *cmdSelectSourcePath = control<QPushButton>(w, "cmdSelectSourcePath");
        auto *cmdSelectTargetPath = control<QPushButton>(w, "cmdSelectTargetPath");
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        txtSourceFile->setFocus();
        const QList<QWidget *> order{cmdSelectSourcePath, txtTargetFile, cmdSelectTargetPath};
        // The disabled transfer buttons are skipped.
        for (QWidget *next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        QTest::keyClick(&w, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), txtSourceFile);
        QCOMPARE(rig->settingsShown, 0);   // Alt+S is the field's, not the Setting command's
        QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), txtTargetFile);

        // The Setting command: Alt pressed and released alone, then S.
        QTest::keyPress(&w, Qt::Key_Alt);
        QTest::keyRelease(&w, Qt::Key_Alt);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S);
        QCOMPARE(rig->settingsShown, 1);
        QTest::keyClick(&w, Qt::Key_F10);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S);
        QCOMPARE(rig->settingsShown, 2);
    }

    void enablingRules()
    {
        auto rig = makeRig();
        TransferWindow &w = rig->window();
        auto *txtSourceFile = control<QLineEdit>(w, "txtSourceFile");
        auto *txtTargetFile = control<QLineEdit>(w, "txtTargetFile");
        auto *cmdDownloadFile = control<QPushButton>(w, "cmdDownloadFile");
        auto *cmdReadyUpload = control<QPushButton>(w, "cmdReadyUpload");
        const QString path = writeFile(QStringLiteral("source.bin"), "abc");

        // Typing the path enables Download at the last keystroke only.
        QTest::keyClicks(txtSourceFile, path.chopped(1));
        QVERIFY(!cmdDownloadFile->isEnabled());
        QTest::keyClicks(txtSourceFile, path.right(1));
        QVERIFY(cmdDownloadFile->isEnabled());
        QTest::keyClick(txtSourceFile, Qt::Key_Backspace);
        QVERIFY(!cmdDownloadFile->isEnabled());
        txtSourceFile->setText(m_files.path());
        QVERIFY(!cmdDownloadFile->isEnabled());

        // Any text in the target field enables Upload.
        QTest::keyClick(txtTargetFile, Qt::Key_Space);
        QVERIFY(cmdReadyUpload->isEnabled());
        txtTargetFile->clear();
        QVERIFY(!cmdReadyUpload->isEnabled());
    }

    // Every text SetLanguage writes, in the VXT-8052 window: switching there and back
    // gives exactly one language's texts, however often it is done.
    void languagesSwitchThereAndBack()
    {
        struct Text {
            const char *control;
            const char *property;
            QString english;
            QString chinese;
        };
        const Text texts[] = {
            {"fmeTransFile", "title", QStringLiteral("PC to VXT-8052"), QStringLiteral("PC 傳送到 VXT-8052")},
            {"fmeReceiveFile", "title", QStringLiteral("VXT-8052 to PC"), QStringLiteral("VXT-8052 傳送到 PC")},
            {"lblSourceFile", "text", QStringLiteral("&Source File"), QStringLiteral("來源檔案(&S)")},
            {"lblSaveFile", "text", QStringLiteral("Save &File"), QStringLiteral("目的檔案(&F)")},
            {"txtSourceFile", "toolTip", QStringLiteral("File's path that will be downloaded from"),
             QStringLiteral("要下載的檔案來源路徑")},
            {"txtTargetFile", "toolTip", QStringLiteral("File's path that will be written to"),
             QStringLiteral("要上傳的檔案目的路徑")},
            {"cmdSelectSourcePath", "toolTip", QStringLiteral("Browse"), QStringLiteral("瀏覽")},
            {"cmdSelectTargetPath", "toolTip", QStringLiteral("Browse"), QStringLiteral("瀏覽")},
            {"cmdDownloadFile", "text", QStringLiteral("&Download"), QStringLiteral("開始下載 (&D)")},
            {"cmdDownloadFile", "toolTip", QStringLiteral("Start to receive the data"), QStringLiteral("開始下載檔案")},
            {"cmdReadyUpload", "text", QStringLiteral("&Upload"), QStringLiteral("準備上傳 (&U)")},
            {"cmdReadyUpload", "toolTip", QStringLiteral("Start to transfer the data"), QStringLiteral("準備上傳檔案")},
            {"menView", "title", QStringLiteral("&View"), QStringLiteral("預覽(&V)")},
            {"menExamples", "text", QStringLiteral("&Examples..."), QStringLiteral("範例(&E)...")},
            {"menSetting", "text", QStringLiteral("&Setting"), QStringLiteral("設定(&S)")},
            {"menHelp", "title", QStringLiteral("&Help"), QStringLiteral("說明(&H)")},
            {"menContent", "text", QStringLiteral("&Content..."), QStringLiteral("內容(&C)...")},
            {"menAbout", "text", QStringLiteral("&About..."), QStringLiteral("關於(&A)...")},
        };
        auto rig = makeRig(vxt8052Profile());
        TransferWindow &w = rig->window();
        for (Language language : {Language::Chinese, Language::English, Language::English, Language::Chinese}) {
            w.SetLanguage(language);
            for (const Text &text : texts) {
                QCOMPARE(control<QObject>(w, text.control)->property(text.property).toString(),
                         language == Language::Chinese ? text.chinese : text.english);
            }
        }
        QCOMPARE(control<QPushButton>(w, "cmdSelectSourcePath")->text(), QStringLiteral("..."));
        QCOMPARE(w.windowTitle(), QStringLiteral("VXT-8052 RS-232C System"));
    }

    void downloadEndToEnd_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("running");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("English") << 0 << QStringLiteral("&Interrupt") << QStringLiteral("Download is finished!")
                                 << QStringLiteral("1234(4D2H) has been transferred!");
        QTest::newRow("Chinese") << 1 << QStringLiteral("中斷 (&I)") << QStringLiteral("傳送完畢！")
                                 << QStringLiteral("已傳送 1234(4D2H) 個位元組！");
    }

    void downloadEndToEnd()
    {
        QFETCH(int, language);
        QFETCH(QString, running);
        QFETCH(QString, title);
        QFETCH(QString, text);
        auto rig = makeRig(vxt8088Profile(), 20'000);
        TransferWindow &w = rig->window();
        auto *txtSourceFile = control<QLineEdit>(w, "txtSourceFile");
        auto *cmdDownloadFile = control<QPushButton>(w, "cmdDownloadFile");
        auto *cmdSelectSourcePath = control<QPushButton>(w, "cmdSelectSourcePath");
        w.SetLanguage(language ? Language::Chinese : Language::English);
        QByteArray content;
        for (int i = 0; i < 1234; ++i)
            content.append(char(i));
        txtSourceFile->setText(writeFile(QStringLiteral("download.bin"), content));
        QStringList titles;
        connect(&w, &QWidget::windowTitleChanged, this, [&](const QString &t) { titles.append(t); });

        QTest::mouseClick(cmdDownloadFile, Qt::LeftButton);
        QVERIFY(w.session().isRunning(Direction::Download));
        QCOMPARE(cmdDownloadFile->text(), running);
        QVERIFY(!txtSourceFile->isEnabled());
        QVERIFY(!cmdSelectSourcePath->isEnabled());

        QVERIFY(rig->advanceUntil([&] { return !w.session().isRunning(Direction::Download); }));
        QTRY_VERIFY(openMessageBox());
        QMessageBox *box = openMessageBox();
        QCOMPARE(box->windowTitle(), title);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->icon(), QMessageBox::Information);
        QVERIFY(box->width() >= MessageBoxes::widthForTitle(title));   // the whole title shows
        QVERIFY(!w.session().isRunning(Direction::Download));
        QVERIFY(txtSourceFile->isEnabled());
        QCOMPARE(cmdDownloadFile->text(), language ? QStringLiteral("開始下載 (&D)") : QStringLiteral("&Download"));
        QCOMPARE(w.windowTitle(), QStringLiteral("VXT-8088 RS-232C System"));
        const QString progress = language ? QStringLiteral("VXT-8088　傳送中...") : QStringLiteral("VXT-8088　Transferring...");
        // Progress titles only, rising, the last of them 100%, then the idle title.
        QVERIFY(titles.size() >= 3);
        QCOMPARE(titles.last(), QStringLiteral("VXT-8088 RS-232C System"));
        QCOMPARE(titles.at(titles.size() - 2), progress + QStringLiteral("100%"));
        int previous = 0;
        for (const QString &shown : titles.first(titles.size() - 1)) {
            QVERIFY2(shown.startsWith(progress) && shown.endsWith(QLatin1Char('%')), qPrintable(shown));
            const int value = shown.mid(progress.size()).chopped(1).toInt();
            QVERIFY(value >= previous && value <= 100);
            QVERIFY(shown.size() >= progress.size() + 3);   // at least two digits
            previous = value;
        }

        QVERIFY(rig->waitForBytes(2 * 1234 + 1));
        const QByteArray wire = rig->received();
        QCOMPARE(wire.size(), 2 * 1234 + 1);
        QCOMPARE(QByteArray::fromHex(wire.chopped(1)), content);
        QCOMPARE(wire.back(), '\x1A');
    }

    void interruptStopsTheLine()
    {
        auto rig = makeRig(vxt8088Profile(), CommPort::LineBytesPerSecond);
        TransferWindow &w = rig->window();
        auto *txtSourceFile = control<QLineEdit>(w, "txtSourceFile");
        auto *cmdDownloadFile = control<QPushButton>(w, "cmdDownloadFile");
        rig->startDownload(writeFile(QStringLiteral("long.bin"), QByteArray(5000, 'x')));
        QVERIFY(rig->waitForBytes(50));
        QTest::mouseClick(cmdDownloadFile, Qt::LeftButton);
        QCOMPARE(cmdDownloadFile->text(), QStringLiteral("&Download"));
        QCOMPARE(w.windowTitle(), QStringLiteral("VXT-8088 RS-232C System"));
        QVERIFY(txtSourceFile->isEnabled());
        rig->port().advance(300);
        const qsizetype sent = rig->received().size();
        QVERIFY(sent < 2 * 5000);
        QVERIFY(!rig->received().contains('\x1A'));
        rig->port().advance(200);
        QCOMPARE(rig->received().size(), sent);   // the line has stopped
        QVERIFY(!openMessageBox());
    }

    void sourcesThatCannotBeSent()
    {
        auto rig = makeRig(vxt8052Profile());
        TransferWindow &w = rig->window();
        auto *txtSourceFile = control<QLineEdit>(w, "txtSourceFile");
        auto *cmdDownloadFile = control<QPushButton>(w, "cmdDownloadFile");

        rig->startDownload(writeFile(QStringLiteral("too-big.bin"), QByteArray(32001, 'x')));
        QTRY_VERIFY(openMessageBox());
        QCOMPARE(openMessageBox()->windowTitle(), QStringLiteral("File's too big!"));
        QCOMPARE(openMessageBox()->text(), QStringLiteral("Keep file size less than 32000 bytes!"));
        QCOMPARE(openMessageBox()->icon(), QMessageBox::Warning);
        QVERIFY(!w.session().isRunning(Direction::Download));
        QCOMPARE(cmdDownloadFile->text(), QStringLiteral("&Download"));
        closeMessageBoxes();

        const QString empty = writeFile(QStringLiteral("empty.bin"), QByteArray());
        rig->startDownload(empty);
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().contains(QStringLiteral("empty")));
        QVERIFY(!w.session().isRunning(Direction::Download));
        QVERIFY(txtSourceFile->isEnabled());
        closeMessageBoxes();

        // Chosen, then deleted before the press.
        txtSourceFile->setText(writeFile(QStringLiteral("gone.bin"), "abc"));
        QFile::remove(txtSourceFile->text());
        QTest::mouseClick(cmdDownloadFile, Qt::LeftButton);
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().contains(QStringLiteral("cannot be read")));
        QVERIFY(!w.session().isRunning(Direction::Download));
        rig->port().advance(100);
        QVERIFY(rig->received().isEmpty());
    }

    void unpluggedMidDownload()
    {
        auto rig = makeRig(vxt8088Profile(), CommPort::LineBytesPerSecond);
        TransferWindow &w = rig->window();
        rig->startDownload(writeFile(QStringLiteral("long.bin"), QByteArray(5000, 'x')));
        QVERIFY(rig->waitForBytes(20));
        rig->unplug();
        QTRY_VERIFY_WITH_TIMEOUT(openMessageBox(), 5000);
        QVERIFY(openMessageBox()->text().contains(QStringLiteral("stopped working")));
        QVERIFY(!w.session().isRunning(Direction::Download));
        QCOMPARE(w.windowTitle(), QStringLiteral("VXT-8088 RS-232C System"));
        QVERIFY(!rig->port().isOpen());
    }

    // The status line follows the station's line, in the window's language; the window
    // keeps its size.
    void statusLineNamesThePort()
    {
        auto rig = makeRig();
        TransferWindow &w = rig->window();
        auto *status = control<QLabel>(w, "lblPortStatus");
        QCOMPARE(status->text(), QStringLiteral("COM1 — open"));
        QCOMPARE(w.centralWidget()->size(), QSize(458, 240));
        QVERIFY(w.statusBar()->geometry().top() > w.centralWidget()->geometry().bottom());
        rig->unplug();
        QTRY_COMPARE(status->text(), QStringLiteral("COM1 — stopped working"));
        closeMessageBoxes();
        w.SetLanguage(Language::Chinese);
        QCOMPARE(status->text(), QStringLiteral("COM1 — 停止運作"));
    }

    void closingDuringDownloadEndsTheProgram()
    {
        auto rig = makeRig(vxt8088Profile(), CommPort::LineBytesPerSecond);
        TransferWindow &w = rig->window();
        rig->startDownload(writeFile(QStringLiteral("long.bin"), QByteArray(5000, 'x')));
        QVERIFY(rig->waitForBytes(10));
        w.close();
        QCOMPARE(rig->endings, 1);
        QVERIFY(!w.session().isRunning(Direction::Download));
        QVERIFY(!w.session().isRunning(Direction::Upload));
        QVERIFY(!rig->port().isOpen());
    }

    void browseDialogs()
    {
        auto rig = makeRig();
        TransferWindow &w = rig->window();
        auto *txtSourceFile = control<QLineEdit>(w, "txtSourceFile");
        auto *txtTargetFile = control<QLineEdit>(w, "txtTargetFile");
        auto *cmdDownloadFile = control<QPushButton>(w, "cmdDownloadFile");
        auto *cmdSelectSourcePath = control<QPushButton>(w, "cmdSelectSourcePath");
        auto *cmdSelectTargetPath = control<QPushButton>(w, "cmdSelectTargetPath");
        const QString path = writeFile(QStringLiteral("picked.bin"), "abc");
        QString filters;
        auto pick = [&](const QString &file) {
            QTimer::singleShot(200, this, [&, file] {
                QFileDialog *dialog = nullptr;
                for (QWidget *widget : QApplication::topLevelWidgets()) {
                    if (auto *candidate = qobject_cast<QFileDialog *>(widget); candidate && candidate->isVisible())
                        dialog = candidate;
                }
                QVERIFY(dialog);
                filters = dialog->nameFilters().join(QLatin1Char('|'));
                if (file.isEmpty()) {
                    dialog->reject();
                } else {
                    // As a user would: type the full path into the name field.
                    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                    QVERIFY(name);
                    name->setText(file);
                    QMetaObject::invokeMethod(dialog, "accept");
                }
            });
        };
        pick(path);
        QTest::mouseClick(cmdSelectSourcePath, Qt::LeftButton);
        QCOMPARE(txtSourceFile->text(), path);
        QVERIFY(cmdDownloadFile->isEnabled());
        QVERIFY(filters.startsWith(QStringLiteral("All Files (*.*)")));

        // Cancelling leaves the field as it was.
        pick(QString());
        QTest::mouseClick(cmdSelectSourcePath, Qt::LeftButton);
        QCOMPARE(txtSourceFile->text(), path);

        w.SetLanguage(Language::Chinese);
        const QString target = m_files.filePath(QStringLiteral("new-target.bin"));
        pick(target);
        QTest::mouseClick(cmdSelectTargetPath, Qt::LeftButton);
        QCOMPARE(txtTargetFile->text(), target);
        QVERIFY(filters.startsWith(QStringLiteral("所有的檔案 (*.*)")));
    }

    void menuCommandsOpenDocumentsOrSayWhyNot()
    {
        // Beside this test, as beside the program, the build places ../Dos; it places
        // readme.htm beside the program only.
        const QString folder = QCoreApplication::applicationDirPath();
        const QString examples = folder + QStringLiteral("/../Dos/VXT-8052");
        auto rig = makeRig(vxt8052Profile());
        TransferWindow &w = rig->window();
        auto *menExamples = control<QAction>(w, "menExamples");
        auto *menContent = control<QAction>(w, "menContent");
        menExamples->trigger();
        QCOMPARE(rig->opened, QList<QUrl>{QUrl::fromLocalFile(examples)});
        QVERIFY(!openMessageBox());

        w.SetLanguage(Language::Chinese);
        menContent->trigger();
        QCOMPARE(rig->opened.size(), 1);
        QTRY_VERIFY(openMessageBox());
        QCOMPARE(openMessageBox()->text(),
                 QStringLiteral("找不到 %1。\n請重新安裝 Kestrion，或洽詢實驗室管理人員。").arg(folder + QStringLiteral("/readme.htm")));
        closeMessageBoxes();

        w.SetLanguage(Language::English);
        rig->openerStarts = false;
        menExamples->trigger();
        QTRY_VERIFY(openMessageBox());
        QVERIFY(openMessageBox()->text().contains(QDir::cleanPath(examples)));
        QCOMPARE(openMessageBox()->icon(), QMessageBox::Warning);
    }

    void platformOpenerWithoutAViewerIsReported()
    {
        // xdg-open as on a PC with no viewer for the type: it ends with status 3.
        QTemporaryDir bin;
        QFile opener(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\necho \"$1\" > \"$0.arg\"\nexit 3\n");
        opener.close();
        opener.setPermissions(opener.permissions() | QFileDevice::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);

        BoardStation station(Board::Vxt8088);
        TransferWindow::Hooks hooks;
        hooks.endProgram = [] {};
        TransferWindow w(vxt8088Profile(), station, hooks);
        control<QAction>(w, "menExamples")->trigger();
        QTRY_VERIFY(openMessageBox());
        qputenv("PATH", path);
        const QString examples = QCoreApplication::applicationDirPath() + QStringLiteral("/../Dos/VXT-8088");
        QCOMPARE(openMessageBox()->text(),
                 QStringLiteral("No program could open %1.\nA web browser or a file manager is needed: ask your lab staff.")
                     .arg(QDir::cleanPath(examples)));
        QFile argument(opener.fileName() + QStringLiteral(".arg"));
        QVERIFY(argument.open(QIODevice::ReadOnly));
        QCOMPARE(argument.readAll().trimmed(), QUrl::fromLocalFile(examples).toEncoded());
    }

    void settingCommandClosesThePortAroundTheDialog()
    {
        auto rig = makeRig();
        bool portWhileOpen = true;
        rig->onSettings = [&] { portWhileOpen = rig->port().isOpen(); };
        control<QAction>(rig->window(), "menSetting")->trigger();
        QCOMPARE(rig->settingsShown, 1);
        QVERIFY(!portWhileOpen);
        QVERIFY(rig->port().isOpen());
    }

    // The Setting command ends a running download: the line opened after the dialog,
    // perhaps to another board, carries nothing more of it.
    void settingEndsTheDownload()
    {
        auto rig = makeRig(vxt8088Profile(), CommPort::LineBytesPerSecond);
        TransferWindow &w = rig->window();
        rig->port().exactDiscard = false;   // as on a pseudo-terminal
        rig->startDownload(writeFile(QStringLiteral("long.bin"), QByteArray(5000, 'x')));
        QVERIFY(rig->waitForBytes(10));
        qsizetype sent = 0;
        rig->onSettings = [&] {
            sent = rig->received().size();
            rig->station().apply(PortChoice::comNumber(1));   // as OK in the dialog
            QVERIFY(rig->port().isOpen());
        };
        control<QAction>(w, "menSetting")->trigger();
        QTRY_VERIFY(openMessageBox());
        const QString text = openMessageBox()->text();
        QVERIFY(text.startsWith(QStringLiteral("The serial port was closed for the Setting command")));
        QVERIFY2(text.contains(QStringLiteral("\nUp to ")), qPrintable(text));   // the line cannot tell
        QVERIFY(!w.session().isRunning(Direction::Download));
        QCOMPARE(w.windowTitle(), QStringLiteral("VXT-8088 RS-232C System"));
        rig->port().advance(200);
        QCOMPARE(rig->received().size(), sent);
    }

private:
    QTemporaryDir m_files;
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
