// What the transfers say at their end, by table: an outcome in; whether it is told, as
// what, under which title and with which key phrases, in both languages. The window and
// kestrion-cli both take their words from TransferTexts::ending().

#include "transfertexts.h"

#include <QTest>

#include <cerrno>

namespace {

using Ending = TransferTexts::Ending;

TransferOutcome ended(Direction direction, qint64 count, TransferOutcome::Kind kind = TransferOutcome::Completed)
{
    TransferOutcome outcome;
    outcome.direction = direction;
    outcome.kind = kind;
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

// Each phrase stands in the text, after the one before it.
bool inOrder(const QString &text, const QStringList &phrases)
{
    qsizetype from = 0;
    for (const QString &phrase : phrases) {
        const qsizetype at = text.indexOf(phrase, from);
        if (at < 0)
            return false;
        from = at + phrase.size();
    }
    return true;
}

} // namespace

class TransferTextsTest : public QObject {
    Q_OBJECT

private slots:
    void endings_data()
    {
        QTest::addColumn<Language>("language");
        QTest::addColumn<TransferOutcome>("outcome");
        QTest::addColumn<int>("tone");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("phrases");   // in this order
        QTest::addColumn<QStringList>("absent");
        const Language en = Language::English, zh = Language::Chinese;
        const Direction down = Direction::Download, up = Direction::Upload;
        const int info = Ending::Information, warning = Ending::Warning, silent = Ending::Silent;

        QTest::newRow("en download done")
            << en << ended(down, 1234) << info << QStringLiteral("Download is finished!")
            << QStringList{QStringLiteral("1234(4D2H) has been transferred!")} << QStringList{};
        QTest::newRow("zh download done")
            << zh << ended(down, 1234) << info << QStringLiteral("傳送完畢！")
            << QStringList{QStringLiteral("已傳送 1234(4D2H) 個位元組！")} << QStringList{};
        QTest::newRow("download interrupted") << en << ended(down, 10, TransferOutcome::Interrupted) << silent
                                              << QString() << QStringList{} << QStringList{};
        TransferOutcome nothingCame = ended(up, 0, TransferOutcome::Interrupted);
        nothingCame.kept = -1;
        QTest::newRow("upload interrupted before any data")
            << en << nothingCame << silent << QString() << QStringList{} << QStringList{};

        // An upload tells what its file holds however it ended, and what was odd about the
        // board's stream.
        TransferOutcome interruptedUpload = ended(up, 5, TransferOutcome::Interrupted);
        QTest::newRow("en upload interrupted")
            << en << interruptedUpload << info << QStringLiteral("Upload is finished!")
            << QStringList{QStringLiteral("5(5H) has been received!")} << QStringList{};
        TransferOutcome shortUpload = ended(up, 2);
        shortUpload.announced = 4;
        QTest::newRow("en upload shorter than announced")
            << en << shortUpload << info << QStringLiteral("Upload is finished!")
            << QStringList{QStringLiteral("2(2H) has been received!\n"), QStringLiteral("announced 4(4H) bytes")}
            << QStringList{QStringLiteral("setting may be wrong")};
        QTest::newRow("zh upload shorter than announced")
            << zh << shortUpload << info << QStringLiteral("接收完畢！")
            << QStringList{QStringLiteral("已接收到 2(2H) 個位元組！\n"),
                           QStringLiteral("宣告的長度是 4(4H) 個位元組。")}
            << QStringList{};
        TransferOutcome announcedAndGot = ended(up, 4);
        announcedAndGot.announced = 4;
        QTest::newRow("en upload as announced")
            << en << announcedAndGot << info << QStringLiteral("Upload is finished!")
            << QStringList{QStringLiteral("4(4H) has been received!")} << QStringList{QStringLiteral("\n")};
        TransferOutcome oddHex = ended(up, 1);
        oddHex.unexpectedCharacters = 3;
        oddHex.loneDigit = true;
        QTest::newRow("en upload with odd characters")
            << en << oddHex << info << QStringLiteral("Upload is finished!")
            << QStringList{QStringLiteral("1(1H) has been received!\n3 characters"),
                           QStringLiteral("out. The last digit"),
                           QStringLiteral("out. The board setting may be wrong.")}
            << QStringList{};
        QTest::newRow("zh upload with odd characters")
            << zh << oddHex << info << QStringLiteral("接收完畢！")
            << QStringList{QStringLiteral("有 3 個字元"), QStringLiteral("已略過。最後一個數字"),
                           QStringLiteral("已略過。實驗板的設定可能不對。")}
            << QStringList{QStringLiteral("。 ")};

        // Faults are warnings under the program's title, but the file that is too large.
        QTest::newRow("en too large") << en << failed(down, TransferFault::SourceTooLarge) << warning
                                      << QStringLiteral("File's too big!")
                                      << QStringList{QStringLiteral("less than 32000 bytes!")} << QStringList{};
        QTest::newRow("zh too large") << zh << failed(down, TransferFault::SourceTooLarge) << warning
                                      << QStringLiteral("檔案太大！") << QStringList{QStringLiteral("32000 Bytes！")}
                                      << QStringList{};
        QTest::newRow("en source empty") << en << failed(down, TransferFault::SourceEmpty) << warning << ProgramTitle
                                         << QStringList{QStringLiteral("empty")} << QStringList{QStringLiteral("\n")};
        QTest::newRow("zh source unreadable")
            << zh << failed(down, TransferFault::SourceUnreadable) << warning << ProgramTitle
            << QStringList{QStringLiteral("無法讀取來源檔案")} << QStringList{};

        // A port that stopped: its name, the address behind it, what had gone before.
        TransferOutcome unplugged = failed(down, TransferFault::PortFailed, 300);
        unplugged.port = QStringLiteral("COM2");
        QTest::newRow("en port failed in a download")
            << en << unplugged << warning << ProgramTitle
            << QStringList{QStringLiteral("stopped working"), QStringLiteral("\nThe device of COM2 went away"),
                           QStringLiteral("\n300(12CH) bytes had been sent.")}
            << QStringList{QStringLiteral("Up to")};
        TransferOutcome dropped = unplugged;
        dropped.device = QStringLiteral("rfc2217://labpi:3005");
        dropped.countIsUpperBound = true;
        QTest::newRow("zh connection dropped in a download")
            << zh << dropped << warning << ProgramTitle
            << QStringList{QStringLiteral("通訊埠停止運作"),
                           QStringLiteral("與 COM2（rfc2217://labpi:3005） 的連線中斷了"),
                           QStringLiteral("最多已傳送 300(12CH) 個位元組。")}
            << QStringList{QStringLiteral("轉接器")};
        TransferOutcome closed = failed(up, TransferFault::PortClosed);
        closed.port = QStringLiteral("COM3");
        closed.portError = {PortError::InUse, QStringLiteral("COM3"), QStringLiteral("/dev/ttyUSB0"), {}};
        QTest::newRow("en port closed, in use")
            << en << closed << warning << ProgramTitle
            << QStringList{QStringLiteral("not open"),
                           QStringLiteral("\nCOM3 (/dev/ttyUSB0) is in use by another program")}
            << QStringList{QStringLiteral("went away"), QStringLiteral("keeps")};
        QTest::newRow("zh port closed, in use")
            << zh << closed << warning << ProgramTitle
            << QStringList{QStringLiteral("沒有開啟"), QStringLiteral("\nCOM3（/dev/ttyUSB0） 正被其他程式使用")}
            << QStringList{};
        QTest::newRow("en port closed for the Setting command")
            << en << failed(up, TransferFault::PortClosedUnderTransfer, 0, 7) << warning << ProgramTitle
            << QStringList{QStringLiteral("Setting command"),
                           QStringLiteral("\nThe file keeps the 7(7H) bytes received.")}
            << QStringList{};

        // The target: what the system said, in our words, and what the file keeps.
        TransferOutcome diskFull = failed(up, TransferFault::TargetUnwritable, 5, 5);
        diskFull.system = systemError(ENOSPC);
        QTest::newRow("en disk full") << en << diskFull << warning << ProgramTitle
                                      << QStringList{QStringLiteral("cannot be written"),
                                                     QStringLiteral("\nThe disk is full.\n"),
                                                     QStringLiteral("keeps the 5(5H) bytes")}
                                      << QStringList{qt_error_string(ENOSPC)};
        QTest::newRow("zh disk full") << zh << diskFull << warning << ProgramTitle
                                      << QStringList{QStringLiteral("無法寫入目的檔案"),
                                                     QStringLiteral("\n磁碟已滿。\n"),
                                                     QStringLiteral("保留已收到的 5(5H) 個位元組")}
                                      << QStringList{};
        TransferOutcome odd = failed(up, TransferFault::TargetUnwritable);
        odd.system = {EPROTO, QStringLiteral("Something unheard of")};
        QTest::newRow("en cannot create, a reason we do not know")
            << en << odd << warning << ProgramTitle
            << QStringList{QStringLiteral("cannot be created"), QStringLiteral("\nSomething unheard of")}
            << QStringList{QStringLiteral("keeps")};
        QTest::newRow("en read-only target")
            << en << failed(up, TransferFault::TargetReadOnly) << warning << ProgramTitle
            << QStringList{QStringLiteral("read-only and was left as it is")} << QStringList{};
        QTest::newRow("zh not a file") << zh << failed(up, TransferFault::TargetNotAFile) << warning << ProgramTitle
                                       << QStringList{QStringLiteral("不是一般檔案")} << QStringList{};
    }

    void endings()
    {
        QFETCH(Language, language);
        QFETCH(TransferOutcome, outcome);
        QFETCH(int, tone);
        QFETCH(QString, title);
        QFETCH(QStringList, phrases);
        QFETCH(QStringList, absent);
        const Ending ending = TransferTexts::ending(language, outcome);
        QCOMPARE(int(ending.tone), tone);
        QCOMPARE(ending.message.title, title);
        const QString &text = ending.message.text;
        QCOMPARE(text.isEmpty(), tone == Ending::Silent);
        QVERIFY2(inOrder(text, phrases), qPrintable(text));
        for (const QString &phrase : absent)
            QVERIFY2(!text.contains(phrase), qPrintable(text));
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
        QCOMPARE(TransferTexts::systemReason(language, {code, systemText}), reason);
    }

    void portLost_data()
    {
        QTest::addColumn<Language>("language");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("phrases");   // in this order
        QTest::newRow("en device") << Language::English << QStringLiteral("COM1")
                                   << QStringList{
                                          QStringLiteral("stopped working. The device of COM1 went away"),
                                          QStringLiteral("\nCheck the cable and the adapter, then choose Setting")};
        QTest::newRow("zh network") << Language::Chinese << QStringLiteral("socket://labpi:3001")
                                    << QStringList{
                                           QStringLiteral("通訊埠停止運作。與 socket://labpi:3001 的連線中斷了"),
                                           QStringLiteral("\n請檢查網路與伺服器，再從「設定」")};
    }

    void portLost()
    {
        QFETCH(Language, language);
        QFETCH(QString, port);
        QFETCH(QStringList, phrases);
        const TransferTexts::Message message = TransferTexts::portLost(language, port);
        QCOMPARE(message.title, ProgramTitle);
        QVERIFY2(inOrder(message.text, phrases), qPrintable(message.text));
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
