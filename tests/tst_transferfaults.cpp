// The 8052 download, both directions at once at the line rate, and every way a transfer
// can fail: the port going away, a source or a target that cannot be used, a full disk.

#include "boardprofile.h"
#include "commport.h"
#include "controls.h"
#include "messageboxes.h"
#include "transferrig.h"
#include "transfersession.h"
#include "transferwindow.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
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

QStringList messageTexts(const TransferRig &rig)
{
    QStringList texts;
    for (const QMessageBox *box : messageBoxes())
        texts.append(box->text());
    texts.sort();
    return texts;
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
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->windowTitle(), QStringLiteral("Download is finished!"));
    QCOMPARE(messageBoxes().first()->text(), text);
    QTRY_COMPARE(rig.received().size(), content.size());
    QTest::qWait(20);
    QVERIFY(rig.received() == content);   // nothing before, nothing after
    rig.verifyIdle();
}

void TransferFaultTest::rawDownloadTooLarge()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString source = rig.path(QStringLiteral("down.bin"));
    writeTestFile(source, QByteArray(32001, 'x'));
    rig.startDownload(source);
    QCOMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->windowTitle(), QStringLiteral("File's too big!"));
    QCOMPARE(messageBoxes().first()->text(), QStringLiteral("Keep file size less than 32000 bytes!"));
    QCOMPARE(messageBoxes().first()->icon(), QMessageBox::Warning);
    QTest::qWait(50);
    QVERIFY(rig.received().isEmpty());
    QCOMPARE(control<QLineEdit>(rig.window(), "txtSourceFile")->text(), source);
    rig.verifyIdle();
}

void TransferFaultTest::downloadSourceUnusable_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<bool>("vanishes");
    QTest::addColumn<QString>("text");
    for (int board : {8088, 8052}) {
        const QByteArray name = QByteArray::number(board);
        QTest::newRow(name + " empty") << board << false << "The source file is empty: there is nothing to send.";
        QTest::newRow(name + " vanished") << board << true
                                          << "The source file cannot be read. The download has stopped.";
    }
}

void TransferFaultTest::downloadSourceUnusable()
{
    QFETCH(int, board);
    QFETCH(bool, vanishes);
    QFETCH(QString, text);
    TransferRig rig(profile(board));
    QVERIFY(rig.isValid());
    const QString source = rig.path(QStringLiteral("down.bin"));
    writeTestFile(source, vanishes ? QByteArray("data") : QByteArray());
    control<QLineEdit>(rig.window(), "txtSourceFile")->setText(source);
    if (vanishes)
        QVERIFY(QFile::remove(source));   // gone after it was chosen
    rig.click("cmdDownloadFile");
    QCOMPARE(messageBoxes().size(), 1);
    QVERIFY2(messageBoxes().first()->text().startsWith(text), qPrintable(messageBoxes().first()->text()));
    QTest::qWait(50);
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
    TransferRig rig(profile(board));
    QVERIFY(rig.isValid());
    constexpr int LineRate = 960;
    rig.port().setPacingBytesPerSecond(LineRate);

    // About a second of line time each way.
    const int size = board == 8088 ? 450 : 900;
    const QByteArray down = randomBytes(size, 2);
    const QByteArray up = randomBytes(size, 3);
    const QString source = rig.path(QStringLiteral("down.bin"));
    const QString target = rig.path(QStringLiteral("up.bin"));
    writeTestFile(source, down);

    rig.startUpload(target);
    rig.startDownload(source);
    const TransferSession &session = rig.window().session();
    QVERIFY(session.isRunning(Direction::Upload) && session.isRunning(Direction::Download));
    const QByteArray upWire = board == 8088 ? up.toHex().toUpper() + '\x1A' : lengthHeader(size) + up;
    const QByteArray downWire = board == 8088 ? down.toHex().toUpper() + '\x1A' : down;
    rig.sendPaced(upWire, LineRate);

    QTRY_COMPARE_WITH_TIMEOUT(messageBoxes().size(), 2, 10000);
    const QString count = QStringLiteral("%1(%2H)").arg(size).arg(size, 0, 16).toUpper();
    QCOMPARE(messageTexts(rig), (QStringList{count + " has been received!", count + " has been transferred!"}));
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
    TransferRig rig(profile(board));
    QVERIFY(rig.isValid());
    rig.port().setPacingBytesPerSecond(4000);
    const QString source = rig.path(QStringLiteral("down.bin"));
    writeTestFile(source, randomBytes(8000, 4));
    rig.startDownload(source);
    QTRY_VERIFY(rig.received().size() >= 200);
    rig.unplug();

    QTRY_COMPARE(messageBoxes().size(), 1);
    QVERIFY2(messageBoxes().first()->text().startsWith(
                 QStringLiteral("The serial port stopped working. The transfer has stopped.")),
             qPrintable(messageBoxes().first()->text()));
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
    rig.startUpload(target);
    rig.send(sent);
    QTRY_COMPARE(rig.window().windowTitle(), title);
    rig.unplug();

    QTRY_COMPARE(messageBoxes().size(), 1);
    const QString text = messageBoxes().first()->text();
    QVERIFY2(text.startsWith(QStringLiteral("The serial port stopped working. The transfer has stopped.")),
             qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("The file keeps the %1(%1H) bytes received.").arg(kept.size())),
             qPrintable(text));
    QCOMPARE(fileBytes(target), kept);
    rig.verifyIdle();

    // Still usable: a new upload says the port cannot be opened and stays idle.
    closeMessageBoxes();
    rig.startUpload(target);
    QCOMPARE(messageBoxes().size(), 1);
    QVERIFY(messageBoxes().first()->text().startsWith(QStringLiteral("The serial port is not open.")));
    QCOMPARE(fileBytes(target), kept);
    rig.verifyIdle();
}

void TransferFaultTest::targetUnwritable_data()
{
    QTest::addColumn<int>("board");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    for (int board : {8088, 8052}) {
        const QByteArray b = QByteArray::number(board);
        QTest::newRow(b + " missing folder") << board << "missing/up.bin" << false;
        QTest::newRow(b + " under a file") << board << "plain.txt/up.bin" << false;
        QTest::newRow(b + " read-only file") << board << "readonly.bin" << true;
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
    rig.startUpload(target);
    QCOMPARE(messageBoxes().size(), 1);
    rig.send(board == 8088 ? QByteArray("4142\x1A") : lengthHeader(2) + "AB");
    QTest::qWait(50);
    QCOMPARE(messageBoxes().size(), 1);
    const QMessageBox *box = messageBoxes().first();
    QCOMPARE(box->icon(), QMessageBox::Warning);
    const QString expected = readOnly ? QStringLiteral("The target file is read-only and was left as it is.")
                                      : QStringLiteral("The target file cannot be created.");
    QVERIFY2(box->text().startsWith(expected), qPrintable(box->text()));
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
    QTest::newRow("folder") << "folder";
    QTest::newRow("device") << "device";
    QTest::newRow("pipe") << "pipe";
}

void TransferFaultTest::targetNotAFile()
{
    QFETCH(QString, kind);
    TransferRig rig(vxt8088Profile());
    QVERIFY(rig.isValid());
    QString target;
    if (kind == "folder") {
        target = rig.path(QStringLiteral("folder"));
        QVERIFY(QDir().mkdir(target));
    } else if (kind == "device") {
        target = QStringLiteral("/dev/null");
    } else {
        target = rig.path(QStringLiteral("pipe"));
        QVERIFY(::mkfifo(QFile::encodeName(target).constData(), 0644) == 0);
    }

    rig.startUpload(target);
    QCOMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->text(),
             QStringLiteral("The target is not an ordinary file (a folder, a device or a pipe) and cannot be written."));
    rig.verifyIdle();
    QVERIFY(QFileInfo::exists(target));

    // Whatever the board sends now is not taken for an upload.
    rig.send("4142\x1A");
    QTest::qWait(50);
    QCOMPARE(messageBoxes().size(), 1);
    QCOMPARE(rig.port().inBufferCount(), 0);
}

void TransferFaultTest::diskFull()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString disk = rig.path(QStringLiteral("disk"));
    QVERIFY(QDir().mkdir(disk));
    if (QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk}) != 0)
        QSKIP("a small file system cannot be mounted here");
    struct Unmount {
        QString path;
        ~Unmount() { QProcess::execute(QStringLiteral("umount"), {path}); }
    } unmount{disk};

    const QByteArray data = randomBytes(100000, 5);
    const QString target = disk + QStringLiteral("/up.bin");
    rig.startUpload(target);
    rig.send(lengthHeader(0) + data);
    QTRY_COMPARE(messageBoxes().size(), 1);
    const QString text = messageBoxes().first()->text();
    QVERIFY2(text.startsWith(QStringLiteral("The target file cannot be written.")), qPrintable(text));

    // What the message says is kept is exactly what the file holds.
    const QByteArray stored = fileBytes(target);
    QVERIFY(stored.size() > 0 && stored.size() < data.size());
    QVERIFY(data.startsWith(stored));
    const QString kept = QStringLiteral("%1(%2H)").arg(stored.size()).arg(stored.size(), 0, 16).toUpper();
    QVERIFY2(text.endsWith(QStringLiteral("The file keeps the %1 bytes received.").arg(kept)), qPrintable(text));
    rig.verifyIdle();
}

QTEST_MAIN(TransferFaultTest)
#include "tst_transferfaults.moc"
