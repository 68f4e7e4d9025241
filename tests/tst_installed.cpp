// Run by installed-layout.sh from the installed program folder, where the program itself
// runs: both windows' Help > Content and View > Examples hand existing paths to the opener.

#include "boardprofile.h"
#include "boardstation.h"
#include "controls.h"
#include "messageboxes.h"
#include "transferwindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTest>

class InstalledTest : public QObject {
    Q_OBJECT

private slots:
    void menuCommandsFindTheirDocuments()
    {
        for (const BoardProfile *profile : {&vxt8088Profile(), &vxt8052Profile()}) {
            BoardStation station(profile->board);
            QList<QUrl> opened;
            TransferWindow::Hooks hooks;
            hooks.openDocument = [&](const QUrl &url) {
                opened.append(url);
                return true;
            };
            hooks.endProgram = [] {};
            TransferWindow window(*profile, station, hooks);
            control<QAction>(window, "menContent")->trigger();
            control<QAction>(window, "menExamples")->trigger();
            QVERIFY(!openMessageBox());
            QCOMPARE(opened.size(), 2);
            QVERIFY(QFileInfo(opened.at(0).toLocalFile()).isFile());
            const QDir examples(opened.at(1).toLocalFile());
            QVERIFY2(!examples.entryList({QStringLiteral("*.bin")}).isEmpty(), qPrintable(examples.path()));
        }
    }
};

QTEST_MAIN(InstalledTest)
#include "tst_installed.moc"
