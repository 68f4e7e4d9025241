// What the transfers say at their end, by table: an outcome in, a title and a text out, in
// both languages. The window and kestrion-cli show these texts as they are.

#include "transfertexts.h"

#include <QTest>

#include <cerrno>

namespace {

// The message a front end shows for an outcome.
TransferTexts::Message messageFor(Language language, const TransferOutcome &outcome)
{
    if (outcome.kind == TransferOutcome::Failed)
        return TransferTexts::fault(language, outcome);
    if (outcome.direction == Direction::Download)
        return TransferTexts::downloadFinished(language, outcome.count);
    return TransferTexts::uploadFinished(language, outcome);
}

TransferOutcome ended(Direction direction, qint64 count)
{
    TransferOutcome outcome;
    outcome.direction = direction;
    outcome.count = count;
    if (direction == Direction::Upload)
        outcome.kept = count;
    return outcome;
}

TransferOutcome failed(Direction direction, TransferFault fault, qint64 count = 0, qint64 kept = -1)
{
    TransferOutcome outcome;
    outcome.direction = direction;
    outcome.kind = TransferOutcome::Failed;
    outcome.fault = fault;
    outcome.count = count;
    outcome.kept = kept;
    return outcome;
}

const QString ProgramTitle = QStringLiteral("Kestrion's Data Transfer System");

} // namespace

class TransferTextsTest : public QObject {
    Q_OBJECT

private slots:
    void messages_data()
    {
        QTest::addColumn<Language>("language");
        QTest::addColumn<TransferOutcome>("outcome");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const Language en = Language::English, zh = Language::Chinese;
        const Direction down = Direction::Download, up = Direction::Upload;

        QTest::newRow("en download done") << en << ended(down, 1234) << QStringLiteral("Download is finished!")
                                          << QStringLiteral("1234(4D2H) has been transferred!");
        QTest::newRow("zh download done") << zh << ended(down, 1234) << QStringLiteral("傳送完畢！")
                                          << QStringLiteral("已傳送 1234(4D2H) 個位元組！");

        TransferOutcome shortUpload = ended(up, 2);
        shortUpload.announced = 4;
        QTest::newRow("en upload shorter than announced")
            << en << shortUpload << QStringLiteral("Upload is finished!")
            << QStringLiteral("2(2H) has been received!\nThe board announced 4(4H) bytes.");
        QTest::newRow("zh upload shorter than announced")
            << zh << shortUpload << QStringLiteral("接收完畢！")
            << QStringLiteral("已接收到 2(2H) 個位元組！\n實驗板宣告的長度是 4(4H) 個位元組。");
        TransferOutcome oddHex = ended(up, 1);
        oddHex.unexpectedCharacters = 3;
        oddHex.loneDigit = true;
        QTest::newRow("en upload with odd characters")
            << en << oddHex << QStringLiteral("Upload is finished!")
            << QStringLiteral("1(1H) has been received!\n3 characters that are not hexadecimal digits were left "
                              "out. The last digit had no pair and was left out. The board setting may be wrong.");
        QTest::newRow("zh upload with odd characters")
            << zh << oddHex << QStringLiteral("接收完畢！")
            << QStringLiteral("已接收到 1(1H) 個位元組！\n有 3 個字元不是十六進位數字，已略過。"
                              "最後一個數字沒有配對，已略過。實驗板的設定可能不對。");
        TransferOutcome announcedAndGot = ended(up, 4);
        announcedAndGot.announced = 4;
        QTest::newRow("en upload as announced") << en << announcedAndGot << QStringLiteral("Upload is finished!")
                                                << QStringLiteral("4(4H) has been received!");

        QTest::newRow("en too large") << en << failed(down, TransferFault::SourceTooLarge)
                                      << QStringLiteral("File's too big!")
                                      << QStringLiteral("Keep file size less than 32000 bytes!");
        QTest::newRow("zh too large") << zh << failed(down, TransferFault::SourceTooLarge)
                                      << QStringLiteral("檔案太大！") << QStringLiteral("檔案大小不能超過 32000 Bytes！");
        QTest::newRow("en source empty") << en << failed(down, TransferFault::SourceEmpty) << ProgramTitle
                                         << QStringLiteral("The source file is empty: there is nothing to send.");
        QTest::newRow("zh source unreadable") << zh << failed(down, TransferFault::SourceUnreadable) << ProgramTitle
                                              << QStringLiteral("無法讀取來源檔案，傳送已停止。");

        // The port's name, and what had gone before it stopped.
        TransferOutcome unplugged = failed(down, TransferFault::PortFailed, 300);
        unplugged.detail = QStringLiteral("COM2");
        QTest::newRow("en port failed in a download")
            << en << unplugged << ProgramTitle
            << QStringLiteral("The serial port stopped working. The transfer has stopped.\nThe device of COM2 went "
                              "away (adapter unplugged, board switched off, or the other end closed).\n"
                              "300(12CH) bytes had been sent.");
        QTest::newRow("zh port failed in a download")
            << zh << unplugged << ProgramTitle
            << QStringLiteral("通訊埠停止運作，傳輸已停止。\nCOM2 的裝置已不在（轉接器被拔除、實驗板關機或連線另一端已關閉）。\n"
                              "已傳送 300(12CH) 個位元組。");
        TransferOutcome closed = failed(up, TransferFault::PortClosed);
        closed.portError = {PortError::InUse, QStringLiteral("COM3"), QStringLiteral("/dev/ttyUSB0"), {}};
        QTest::newRow("en port closed, in use")
            << en << closed << ProgramTitle
            << QStringLiteral("The serial port is not open. The transfer has stopped.\nCOM3 (/dev/ttyUSB0) is in use "
                              "by another program: close that program first.");
        QTest::newRow("zh port closed, in use")
            << zh << closed << ProgramTitle
            << QStringLiteral("通訊埠沒有開啟，傳輸已停止。\nCOM3（/dev/ttyUSB0） 正被其他程式使用：請先關閉那個程式。");
        QTest::newRow("en port closed for the Setting command")
            << en << failed(up, TransferFault::PortClosedUnderTransfer, 0, 7) << ProgramTitle
            << QStringLiteral("The serial port was closed for the Setting command, so the transfer has stopped.\n"
                              "The file keeps the 7(7H) bytes received.");

        // The target: what the system said, in our words, and what the file keeps.
        TransferOutcome diskFull = failed(up, TransferFault::TargetUnwritable, 5, 5);
        diskFull.detail = qt_error_string(ENOSPC);
        diskFull.systemError = ENOSPC;
        QTest::newRow("en disk full") << en << diskFull << ProgramTitle
                                      << QStringLiteral("The target file cannot be written. The upload has stopped.\n"
                                                        "The disk is full.\nThe file keeps the 5(5H) bytes received.");
        QTest::newRow("zh disk full") << zh << diskFull << ProgramTitle
                                      << QStringLiteral("無法寫入目的檔案，接收已停止。\n磁碟已滿。\n"
                                                        "檔案中保留已收到的 5(5H) 個位元組。");
        TransferOutcome odd = failed(up, TransferFault::TargetUnwritable);
        odd.detail = QStringLiteral("Something unheard of");
        odd.systemError = EPROTO;
        QTest::newRow("en cannot create, a reason we do not know")
            << en << odd << ProgramTitle
            << QStringLiteral("The target file cannot be created. The upload has stopped.\nSomething unheard of");
        QTest::newRow("en read-only target")
            << en << failed(up, TransferFault::TargetReadOnly) << ProgramTitle
            << QStringLiteral("The target file is read-only and was left as it is. The upload has stopped.");
        QTest::newRow("zh not a file") << zh << failed(up, TransferFault::TargetNotAFile) << ProgramTitle
                                       << QStringLiteral("目的路徑不是一般檔案（資料夾、裝置或管道），無法寫入。");
    }

    void messages()
    {
        QFETCH(Language, language);
        QFETCH(TransferOutcome, outcome);
        QFETCH(QString, title);
        QFETCH(QString, text);
        const TransferTexts::Message message = messageFor(language, outcome);
        QCOMPARE(message.title, title);
        QCOMPARE(message.text, text);
    }

    // The reason is chosen by the error number; its text stands where we have no words.
    void systemReasons_data()
    {
        QTest::addColumn<Language>("language");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("systemText");
        QTest::addColumn<QString>("reason");
        const QString said = QStringLiteral("what the system said");
        QTest::newRow("en no such file") << Language::English << ENOENT << said
                                         << QStringLiteral("The file or a folder on its path does not exist.");
        QTest::newRow("zh no permission") << Language::Chinese << EACCES << said << QStringLiteral("沒有存取權限。");
        QTest::newRow("en quota") << Language::English << EDQUOT << said << QStringLiteral("Your disk quota is used up.");
        QTest::newRow("zh busy") << Language::Chinese << EBUSY << said << QStringLiteral("正在使用中。");
        QTest::newRow("en a text alone") << Language::English << 0 << qt_error_string(ENOSPC) << qt_error_string(ENOSPC);
        QTest::newRow("en unknown number") << Language::English << EPROTO << said << said;
    }

    void systemReasons()
    {
        QFETCH(Language, language);
        QFETCH(int, code);
        QFETCH(QString, systemText);
        QFETCH(QString, reason);
        QCOMPARE(TransferTexts::systemReason(language, code, systemText), reason);
    }

    void portLost_data()
    {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("text");
        QTest::newRow("en device") << Language::English << QStringLiteral("COM1")
                                   << QStringLiteral("The serial port stopped working. The device of COM1 went away "
                                                     "(adapter unplugged, board switched off, or the other end "
                                                     "closed).\nCheck the cable and the adapter, then choose Setting "
                                                     "to open a port again.");
        QTest::newRow("zh network") << Language::Chinese << QStringLiteral("socket://labpi:3001")
                                    << QStringLiteral("通訊埠停止運作。與 socket://labpi:3001 的連線中斷了（伺服器已停止、"
                                                      "網路故障，或伺服器關閉了連線）。\n請檢查網路與伺服器，再從「設定」"
                                                      "重新選擇通訊埠。");
    }

    void portLost()
    {
        QFETCH(Language, language);
        QFETCH(QString, port);
        QFETCH(QString, text);
        QCOMPARE(TransferTexts::portLost(language, port).title, ProgramTitle);
        QCOMPARE(TransferTexts::portLost(language, port).text, text);
    }

    void numbers()
    {
        QCOMPARE(TransferTexts::percent(0), QStringLiteral("00%"));
        QCOMPARE(TransferTexts::percent(7), QStringLiteral("07%"));
        QCOMPARE(TransferTexts::percent(100), QStringLiteral("100%"));
        QCOMPARE(TransferTexts::countWithHex(0), QStringLiteral("0(0H)"));
        QCOMPARE(TransferTexts::countWithHex(0xABCDEF), QStringLiteral("11259375(ABCDEFH)"));
        QCOMPARE(TransferTexts::countWithHex(Q_INT64_C(0x100000000)), QStringLiteral("4294967296(100000000H)"));
    }
};

QTEST_GUILESS_MAIN(TransferTextsTest)
#include "tst_transfertexts.moc"
