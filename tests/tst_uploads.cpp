// Uploads of both boards through the window, on a fake line playing the board: what lands
// in the file, the titles, the buttons and the finishing messages.

#include "boardprofile.h"
#include "controls.h"
#include "messageboxes.h"
#include "transferrig.h"
#include "transfersession.h"
#include "transferwindow.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

QByteArray hexText(const QByteArray &bytes, bool lowerCase)
{
    QByteArray text = bytes.toHex();
    return lowerCase ? text : text.toUpper();
}

} // namespace

class UploadTest : public QObject {
    Q_OBJECT

private slots:
    void hexUpload_data();
    void hexUpload();
    void hexInterruptMidByte();
    void hexPressDeletesTargetAndWaits();
    void hexReplacesLongerFile();
    void hexChinese();
    void rawUploadByQuietTime();
    void rawWholeBurstOf65536();
    void rawHeaderOnlyFromBytesAfterPress();
    void rawPauseEndsUpload();
    void rawInterruptThenTimer();
    void rawSingleByteThenQuiet();
};

void UploadTest::hexUpload_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("text");

    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));

    QTest::newRow("AB") << QByteArray("4142\x1A") << QByteArray("AB") << "2(2H) has been received!";
    QTest::newRow("lower case") << QByteArray("af\x1A") << QByteArray("\xAF") << "1(1H) has been received!";
    QTest::newRow("end first") << QByteArray("\x1A") << QByteArray() << "0(0H) has been received!";
    QTest::newRow("odd digits") << QByteArray("41424\x1A") << QByteArray("AB")
                                << "3(3H) has been received!\nThe last digit had no pair and was left out. "
                                   "The board setting may be wrong.";
    QTest::newRow("not hexadecimal") << QByteArray("\x00\x02" "AB\x1A", 5) << QByteArray("\xAB")
                                     << "1(1H) has been received!\n2 characters that are not hexadecimal digits "
                                        "were left out. The board setting may be wrong.";
    QTest::newRow("line breaks ignored") << QByteArray("41\r\n42\r\n\x1A") << QByteArray("AB")
                                         << "2(2H) has been received!";
    QTest::newRow("every byte, mixed case") << hexText(all.left(128), false) + hexText(all.mid(128), true) + '\x1A'
                                            << all << "256(100H) has been received!";
}

void UploadTest::hexUpload()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, stored);
    QFETCH(QString, text);

    TransferRig rig(vxt8088Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("up.bin"));
    rig.startUpload(target);
    QVERIFY(!QFileInfo::exists(target));   // made only when data come
    const auto *upload = control<QPushButton>(rig.window(), "cmdReadyUpload");
    QCOMPARE(upload->text(), QStringLiteral("&Interrupt"));
    QCOMPARE(upload->toolTip(), QStringLiteral("Interrupt the transferring data"));
    QVERIFY(!control<QLineEdit>(rig.window(), "txtTargetFile")->isEnabled());

    rig.send(sent);
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->windowTitle(), QStringLiteral("Upload is finished!"));
    QCOMPARE(messageBoxes().first()->text(), text);
    QCOMPARE(messageBoxes().first()->icon(), QMessageBox::Information);
    QVERIFY(QFileInfo::exists(target));
    QCOMPARE(fileBytes(target), stored);
    rig.verifyIdle();
}

void UploadTest::hexInterruptMidByte()
{
    TransferRig rig(vxt8088Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("up.bin"));
    rig.startUpload(target);

    rig.send("41424");
    QTRY_COMPARE(rig.window().windowTitle(), QStringLiteral("VXT-8088　Receiving...2"));
    rig.click("cmdReadyUpload");
    QCOMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->text(), QStringLiteral("2(2H) has been received!"));
    QCOMPARE(fileBytes(target), QByteArray("AB"));
    rig.verifyIdle();

    // What the board sends after the interrupt is thrown away.
    rig.send("43\x1A");
    QCOMPARE(messageBoxes().size(), 1);
    QCOMPARE(fileBytes(target), QByteArray("AB"));
}

void UploadTest::hexPressDeletesTargetAndWaits()
{
    TransferRig rig(vxt8088Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("old.bin"));
    writeTestFile(target, "old");

    // Bytes before the press are not part of the upload.
    rig.send("4142");
    rig.startUpload(target);
    QVERIFY(!QFileInfo::exists(target));
    rig.click("cmdReadyUpload");   // interrupted before anything came
    QVERIFY(messageBoxes().isEmpty());
    QVERIFY(!QFileInfo::exists(target));
    rig.verifyIdle();

    rig.startUpload(target);
    rig.send("43\x1A");
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(fileBytes(target), QByteArray("C"));
}

void UploadTest::hexReplacesLongerFile()
{
    TransferRig rig(vxt8088Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("long.bin"));
    writeTestFile(target, QByteArray(1000, 'x'));
    rig.startUpload(target);
    rig.send("30313233343536373839\x1A");
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(fileBytes(target), QByteArray("0123456789"));
}

void UploadTest::hexChinese()
{
    TransferRig rig(vxt8088Profile());
    QVERIFY(rig.isValid());
    rig.window().SetLanguage(Language::Chinese);
    rig.startUpload(rig.path(QStringLiteral("up.bin")));
    const auto *upload = control<QPushButton>(rig.window(), "cmdReadyUpload");
    QCOMPARE(upload->text(), QStringLiteral("中斷 (&I)"));
    QCOMPARE(upload->toolTip(), QStringLiteral("中斷上傳檔案"));
    rig.send("4142");
    QTRY_COMPARE(rig.window().windowTitle(), QStringLiteral("VXT-8088　接收中...2"));
    rig.send("\x1A");
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->windowTitle(), QStringLiteral("接收完畢！"));
    QCOMPARE(messageBoxes().first()->text(), QStringLiteral("已接收到 2(2H) 個位元組！"));
    QCOMPARE(upload->text(), QStringLiteral("準備上傳 (&U)"));
}

void UploadTest::rawUploadByQuietTime()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("up.bin"));
    rig.startUpload(target);
    QVERIFY(!rig.quietTimer()->isActive());

    rig.send(lengthHeader(3));
    QTRY_COMPARE(rig.window().session().expectedLength(), 3);
    QVERIFY(rig.quietTimer()->isActive());
    QVERIFY(QFileInfo::exists(target));   // made once the length is known
    rig.send("ABC");
    QTRY_COMPARE(rig.window().windowTitle(), QStringLiteral("VXT-8052　Receiving...100%"));
    QVERIFY(messageBoxes().isEmpty());   // the end is the quiet time only
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->text(), QStringLiteral("3(3H) has been received!"));
    QCOMPARE(fileBytes(target), QByteArray("ABC"));
    rig.verifyIdle();
    QVERIFY(!rig.quietTimer()->isActive());
}

void UploadTest::rawWholeBurstOf65536()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    QByteArray data(65536, Qt::Uninitialized);
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + i / 256) & 0xFF);
    const QString target = rig.path(QStringLiteral("big.bin"));
    rig.startUpload(target);
    rig.send(lengthHeader(0) + data);   // 0 announces 65536
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(rig.window().session().expectedLength(), 65536);
    QCOMPARE(messageBoxes().first()->text(), QStringLiteral("65536(10000H) has been received!"));
    QVERIFY(fileBytes(target) == data);
}

void UploadTest::rawHeaderOnlyFromBytesAfterPress()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("up.bin"));
    rig.send(lengthHeader(5));   // thrown away as they come
    rig.startUpload(target);

    // A header in two pieces is taken once both bytes wait.
    rig.send(lengthHeader(4).left(1));
    QCOMPARE(rig.window().session().expectedLength(), 0);
    QVERIFY(!QFileInfo::exists(target));
    rig.send(lengthHeader(4).mid(1) + "WX");
    QTRY_COMPARE(rig.window().windowTitle(), QStringLiteral("VXT-8052　Receiving...50%"));
    QCOMPARE(rig.window().session().expectedLength(), 4);
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(fileBytes(target), QByteArray("WX"));   // short of the announced length
}

void UploadTest::rawPauseEndsUpload()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("up.bin"));
    rig.startUpload(target);
    rig.send(lengthHeader(4) + "AB");
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->text(), QStringLiteral("2(2H) has been received!\nThe board announced 4(4H) bytes."));
    rig.send("CD");
    QCOMPARE(messageBoxes().size(), 1);
    QCOMPARE(fileBytes(target), QByteArray("AB"));
    rig.verifyIdle();
}

void UploadTest::rawInterruptThenTimer()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("up.bin"));
    rig.startUpload(target);
    rig.send(lengthHeader(3) + "ABC");
    QTRY_COMPARE(rig.window().windowTitle(), QStringLiteral("VXT-8052　Receiving...100%"));
    rig.click("cmdReadyUpload");
    QCOMPARE(messageBoxes().size(), 1);
    QCOMPARE(messageBoxes().first()->text(), QStringLiteral("3(3H) has been received!"));
    QVERIFY(rig.quietTimer()->isActive());

    // The timer still fires and changes nothing.
    QTRY_VERIFY(!rig.quietTimer()->isActive());
    QCOMPARE(messageBoxes().size(), 1);
    QCOMPARE(fileBytes(target), QByteArray("ABC"));
    rig.verifyIdle();

    // An upload started again before that quiet time ran out is not ended by it.
    closeMessageBoxes();
    rig.startUpload(target);
    rig.send(lengthHeader(2) + "DE");
    QTRY_COMPARE(rig.window().windowTitle(), QStringLiteral("VXT-8052　Receiving...100%"));
    rig.click("cmdReadyUpload");
    QCOMPARE(messageBoxes().size(), 1);
    closeMessageBoxes();
    rig.startUpload(target);
    QTest::qWait(700);
    QVERIFY(rig.window().session().isRunning(Direction::Upload));
    rig.send(lengthHeader(1) + "Q");
    QTRY_COMPARE(messageBoxes().size(), 1);
    QCOMPARE(fileBytes(target), QByteArray("Q"));
}

void UploadTest::rawSingleByteThenQuiet()
{
    TransferRig rig(vxt8052Profile());
    QVERIFY(rig.isValid());
    const QString target = rig.path(QStringLiteral("up.bin"));
    rig.startUpload(target);
    rig.send(QByteArray(1, '\x01'));
    QTRY_VERIFY(rig.quietTimer()->isActive());
    QTRY_VERIFY(!rig.window().session().isRunning(Direction::Upload));
    QVERIFY(messageBoxes().isEmpty());
    QVERIFY(!QFileInfo::exists(target));
    rig.verifyIdle();
}

QTEST_MAIN(UploadTest)
#include "tst_uploads.moc"
