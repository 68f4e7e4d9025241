// The 8052 download, both directions at once at the line rate, and every way a transfer
// can fail: the port going away, a source or a target that cannot be used, a full disk.
// Each path runs end to end through the window; what the session reports is checked
// here, and that the window shows it. The wording is tst_transfertexts' business.

#include "boardprofile.h"
#include "controls.h"
#include "messageboxes.h"
#include "transferrig.h"
#include "transfersession.h"
#include "transfertexts.h"
#include "transferwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

namespace {

const BoardProfile &profile(int board)
{
    return board == 8052 ? vxt8052Profile() : vxt8088Profile();
}

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// The session's outcomes, as the window's session reports them.
struct Outcomes {
    explicit Outcomes(TransferRig &rig) : spy(&rig.window().session(), &TransferSession::finished) {}
    qsizetype size() const { return spy.size(); }
    TransferOutcome at(qsizetype i) const { return spy.at(i).first().value<TransferOutcome>(); }
    TransferOutcome last() const { return at(spy.size() - 1); }
    QSignalSpy spy;
};

// The window told a failed transfer in one warning box, in the words the texts give it.
void verifyShownFault(const TransferOutcome &outcome)
{
    QCOMPARE(outcome.kind, TransferOutcome::Failed);
    QCOMPARE(messageBoxes().size(), 1);
    const QMessageBox *box = messageBoxes().first();
    QCOMPARE(box->icon(), QMessageBox::Warning);
    const TransferTexts::Message message = TransferTexts::fault(Language::English, outcome);
    QCOMPARE(box->windowTitle(), message.title);
    QCOMPARE(box->text(), message.text);
}

} // namespace

class TransferFaultTest : public QObject {
    Q_OBJECT

private slots:
    void rawDownload_data();
    void rawDownload();
    void rawDownloadTooLarge();
    void downloadSourceUnusable_data();
    void downloadSourceUnusable();
    void bothDirectionsAtOnce_data();
    void bothDirectionsAtOnce();
    void unplugMidDownload_data();
    void unplugMidDownload();
    void unplugMidUpload_data();
    void unplugMidUpload();
    void targetUnwritable_data();
    void targetUnwritable();
    void targetNotAFile_data();
    void targetNotAFile();
    void diskFull();
};

void TransferFaultTest::rawDownload_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("text");
    QTest::newRow("32000 bytes") << randomBytes(32000, 1) << "32000(7D00H) has been transferred!";
    QTest::newRow("02 1A FF") << QByteArray("\x02\x1A\xFF", 3) << "3(3H) has been transferred!";
}

void TransferFaultTest::rawDownload()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, text);
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString source = rig.path(QStringLiteral("down.bin"));
    writeTestFile(source, content);
    rig.startDownload(source);
    QVERIFY(rig.advanceUntil([&] { return !rig.window().session().isRunning(Direction::Download); }));
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->windowTitle(), QStringLiteral("Download is finished!"));
    QCOMPARE(messageBoxes().first()->text(), text);
    rig.port().advance(1000);
    QVERIFY(rig.received() == content);   // nothing before, nothing after
    rig.verifyIdle();
}

void TransferFaultTest::rawDownloadTooLarge()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString source = rig.path(QStringLiteral("down.bin"));
    writeTestFile(source, QByteArray(32001, 'x'));
    Outcomes outcomes(rig);
    rig.startDownload(source);
    QCOMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.last().fault, TransferFault::SourceTooLarge);
    verifyShownFault(outcomes.last());
    rig.port().advance(100);
    QVERIFY(rig.received().isEmpty());
    QCOMPARE(control<QLineEdit>(rig.window(), "txtSourceFile")->text(), source);
    rig.verifyIdle();
}

void TransferFaultTest::downloadSourceUnusable_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<bool>("vanishes");
    QTest::addColumn<TransferFault>("fault");
    for (int board : {8088, 8052}) {
        QTest::addRow("%d empty", board) << board << false << TransferFault::SourceEmpty;
        QTest::addRow("%d vanished", board) << board << true << TransferFault::SourceUnreadable;
    }
}

void TransferFaultTest::downloadSourceUnusable()
{
    QFETCH(int, board);
    QFETCH(bool, vanishes);
    QFETCH(TransferFault, fault);
    TransferRig rig(profile(board));
    QVERIFY(rig.isValid());
    const QString source = rig.path(QStringLiteral("down.bin"));
    writeTestFile(source, vanishes ? QByteArray("data") : QByteArray());
    control<QLineEdit>(rig.window(), "txtSourceFile")->setText(source);
    if (vanishes)
        QVERIFY(QFile::remove(source));   // gone after it was chosen
    Outcomes outcomes(rig);
    rig.click("cmdDownloadFile");
    QCOMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.last().fault, fault);
    QCOMPARE(outcomes.last().count, 0);
    verifyShownFault(outcomes.last());
    rig.port().advance(100);
    QVERIFY(rig.received().isEmpty());
    rig.verifyIdle();
}

void TransferFaultTest::bothDirectionsAtOnce_data()
{
    QTest::addColumn<int>("board");
    QTest::newRow("8088") << 8088;
    QTest::newRow("8052") << 8052;
}

void TransferFaultTest::bothDirectionsAtOnce()
{
    QFETCH(int, board);
    constexpr int LineRate = 960;
    TransferRig rig(profile(board), LineRate);
    QVERIFY(rig.isValid());

    // About a second of line time each way.
    const int size = board == 8088 ? 450 : 900;
    const QByteArray down = randomBytes(size, 2);
    const QByteArray up = randomBytes(size, 3);
    const QString source = rig.path(QStringLiteral("down.bin"));
    const QString target = rig.path(QStringLiteral("up.bin"));
    writeTestFile(source, down);

    Outcomes outcomes(rig);
    rig.startUpload(target);
    rig.startDownload(source);
    const TransferSession &session = rig.window().session();
    QVERIFY(session.isRunning(Direction::Upload) && session.isRunning(Direction::Download));
    const QByteArray upWire = board == 8088 ? QByteArray(up.toHex().toUpper() + '\x1A')
                                            : QByteArray(lengthHeader(size) + up);
    const QByteArray downWire = board == 8088 ? QByteArray(down.toHex().toUpper() + '\x1A') : down;
    rig.sendPaced(upWire, LineRate);

    QVERIFY(rig.advanceUntil([&] { return !rig.sendPending() && !session.isRunning(Direction::Download); }));
    QTRY_COMPARE(outcomes.size(), 2);   // the 8052's upload: after its quiet time
    rig.port().advance(1000);
    for (qsizetype i = 0; i < 2; ++i) {
        QCOMPARE(outcomes.at(i).kind, TransferOutcome::Completed);
        QCOMPARE(outcomes.at(i).count, size);
    }
    QVERIFY(outcomes.at(0).direction != outcomes.at(1).direction);
    QCOMPARE(messageBoxes().size(), 2);
    QVERIFY(fileBytes(target) == up);
    QVERIFY(rig.received() == downWire);
    rig.verifyIdle();
}

void TransferFaultTest::unplugMidDownload_data()
{
    bothDirectionsAtOnce_data();
}

void TransferFaultTest::unplugMidDownload()
{
    QFETCH(int, board);
    TransferRig rig(profile(board), 4000);
    QVERIFY(rig.isValid());
    const QString source = rig.path(QStringLiteral("down.bin"));
    writeTestFile(source, randomBytes(8000, 4));
    Outcomes outcomes(rig);
    rig.startDownload(source);
    QVERIFY(rig.waitForBytes(200));
    rig.unplug();

    QCOMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.last().fault, TransferFault::PortFailed);
    QCOMPARE(outcomes.last().port, rig.port().portName());   // the message names it
    QVERIFY(outcomes.last().count > 0 && outcomes.last().count < 8000);
    verifyShownFault(outcomes.last());
    QVERIFY(!rig.port().isOpen());
    rig.verifyIdle();
}

void TransferFaultTest::unplugMidUpload_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("kept");
    QTest::newRow("8088") << 8088 << QByteArray("41424") << "VXT-8088　Receiving...2" << QByteArray("AB");
    QTest::newRow("8052") << 8052 << lengthHeader(10) + "ABCD" << "VXT-8052　Receiving...40%" << QByteArray("ABCD");
}

void TransferFaultTest::unplugMidUpload()
{
    QFETCH(int, board);
    QFETCH(QByteArray, sent);
    QFETCH(QString, title);
    QFETCH(QByteArray, kept);
    TransferRig rig(profile(board));
    QVERIFY(rig.isValid());
    if (QTimer *quiet = rig.quietTimer(); board == 8052)
        quiet->setInterval(5000);   // the plug is pulled in the middle, however slow the machine
    const QString target = rig.path(QStringLiteral("up.bin"));
    Outcomes outcomes(rig);
    rig.startUpload(target);
    rig.send(sent);
    QTRY_COMPARE(rig.window().windowTitle(), title);
    rig.unplug();

    QCOMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.last().fault, TransferFault::PortFailed);
    QCOMPARE(outcomes.last().kept, kept.size());
    verifyShownFault(outcomes.last());
    QCOMPARE(fileBytes(target), kept);
    rig.verifyIdle();

    // Still usable: a new upload says the port cannot be opened and stays idle.
    closeMessageBoxes();
    rig.startUpload(target);
    QCOMPARE(outcomes.size(), 2);
    QCOMPARE(outcomes.last().fault, TransferFault::PortClosed);
    verifyShownFault(outcomes.last());
    QCOMPARE(fileBytes(target), kept);
    rig.verifyIdle();
}

void TransferFaultTest::targetUnwritable_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    for (int board : {8088, 8052}) {
        QTest::addRow("%d missing folder", board) << board << QStringLiteral("missing/up.bin") << false;
        QTest::addRow("%d under a file", board) << board << QStringLiteral("plain.txt/up.bin") << false;
        QTest::addRow("%d read-only file", board) << board << QStringLiteral("readonly.bin") << true;
    }
}

void TransferFaultTest::targetUnwritable()
{
    QFETCH(int, board);
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    TransferRig rig(profile(board));
    QVERIFY(rig.isValid());
    writeTestFile(rig.path(QStringLiteral("plain.txt")), "plain");
    const QString target = rig.path(name);
    if (readOnly) {
        writeTestFile(target, "keep");
        QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }

    // Refused at the press, before the board sends; what it sends then makes nothing.
    Outcomes outcomes(rig);
    rig.startUpload(target);
    QCOMPARE(outcomes.size(), 1);
    rig.send(board == 8088 ? QByteArray("4142\x1A") : lengthHeader(2) + "AB");
    QCOMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.last().fault, readOnly ? TransferFault::TargetReadOnly : TransferFault::TargetUnwritable);
    QCOMPARE(outcomes.last().kept, -1);
    verifyShownFault(outcomes.last());
    rig.verifyIdle();
    QCOMPARE(fileBytes(rig.path(QStringLiteral("plain.txt"))), QByteArray("plain"));
    if (readOnly)
        QCOMPARE(fileBytes(target), QByteArray("keep"));
    else
        QVERIFY(!QFileInfo::exists(target));
}

void TransferFaultTest::targetNotAFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("device") << QStringLiteral("device");
    QTest::newRow("pipe") << QStringLiteral("pipe");
}

void TransferFaultTest::targetNotAFile()
{
    QFETCH(QString, kind);
    TransferRig rig(vxt8088Profile());
    QVERIFY(rig.isValid());
    QString target;
    if (kind == QLatin1String("folder")) {
        target = rig.path(QStringLiteral("folder"));
        QVERIFY(QDir().mkdir(target));
    } else if (kind == QLatin1String("device")) {
        target = QStringLiteral("/dev/null");
    } else {
        target = rig.path(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(target).constData(), 0644) == 0);
    }

    Outcomes outcomes(rig);
    rig.startUpload(target);
    QCOMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.last().fault, TransferFault::TargetNotAFile);
    verifyShownFault(outcomes.last());
    rig.verifyIdle();
    QVERIFY(QFileInfo::exists(target));

    // Whatever the board sends now is not taken for an upload.
    rig.send("4142\x1A");
    QCOMPARE(outcomes.size(), 1);
    QCOMPARE(messageBoxes().size(), 1);
}

void TransferFaultTest::diskFull()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString disk = rig.path(QStringLiteral("disk"));
    QVERIFY(QDir().mkdir(disk));
    const QStringList mount{QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                            QStringLiteral("size=64k"), QStringLiteral("tmpfs"), disk};
    if (QProcess::execute(QStringLiteral("mount"), mount) != 0)
        QSKIP("a small file system cannot be mounted here");
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{disk};

    const QByteArray data = randomBytes(100000, 5);
    const QString target = disk + QStringLiteral("/up.bin");
    Outcomes outcomes(rig);
    rig.startUpload(target);
    rig.send(lengthHeader(0) + data);
    QTRY_COMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.last().fault, TransferFault::TargetUnwritable);
    verifyShownFault(outcomes.last());

    // What the outcome says is kept is exactly what the file holds.
    const QByteArray stored = fileBytes(target);
    QVERIFY(stored.size() > 0 && stored.size() < data.size());
    QVERIFY(data.startsWith(stored));
    QCOMPARE(outcomes.last().kept, stored.size());
    rig.verifyIdle();
}

QTEST_MAIN(TransferFaultTest)
#include "tst_transferfaults.moc"
