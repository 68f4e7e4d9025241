// The serial layer on its own, without a window: COM numbers, the port, the file helpers
// and the transfer session, against a real pseudo-terminal.

#include "codecs.h"
#include "commport.h"
#include "comportmap.h"
#include "download.h"
#include "transfersession.h"
#include "upload.h"
#include "ptyboard.h"
#include "testfiles.h"
#include "vxt8088_8052.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>

using namespace VXT8088_8052;

namespace {

// Runs a whole download through a session on a fast clock and returns what reached the
// board.
QByteArray downloadOverLine(Board kind, const QByteArray &content, PtyBoard &board, CommPort &port,
                            QList<int> *percents = nullptr)
{
    QTemporaryDir dir;
    const QString path = writeTestFile(dir.filePath(QStringLiteral("source.bin")), content);
    TransferSession session(kind, port);
    QSignalSpy finished(&session, &TransferSession::finished);
    QSignalSpy progress(&session, &TransferSession::progress);
    session.startDownload(path);
    if (finished.isEmpty() && !finished.wait(10000))
        return "<not finished>";
    const auto outcome = finished.first().first().value<TransferOutcome>();
    if (outcome.kind != TransferOutcome::Completed || outcome.count != content.size())
        return "<not completed>";
    if (percents) {
        for (const auto &args : progress)
            percents->append(args.at(0).value<TransferProgress>().percent);
    }
    board.waitForBytes(1, 100);
    QTest::qWait(50);
    return board.received();
}

} // namespace

class SerialTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        m_com = std::make_unique<ComFolder>(m_folder.path());
    }
    void cleanup() { m_com.reset(); }

    void comNumbersMapToDevices()
    {
        m_com.reset();
        qunsetenv("KESTRION_COM_DIR");
        QCOMPARE(ComPortMap::devicePath(1), QStringLiteral("/dev/ttyS0"));
        QCOMPARE(ComPortMap::devicePath(4), QStringLiteral("/dev/ttyS3"));
        QCOMPARE(ComPortMap::devicePath(5), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(ComPortMap::devicePath(10), QStringLiteral("/dev/ttyUSB5"));
        QCOMPARE(ComPortMap::devicePath(11), QStringLiteral("/dev/ttyACM0"));
        QCOMPARE(ComPortMap::devicePath(15), QStringLiteral("/dev/ttyACM4"));
        QVERIFY(ComPortMap::devicePath(0).isEmpty());
        QVERIFY(ComPortMap::devicePath(16).isEmpty());

        ComFolder folder(QStringLiteral("/somewhere/ports"));
        QCOMPARE(ComPortMap::devicePath(7), QStringLiteral("/somewhere/ports/COM7"));
    }

    void probeFindsOnlyPortsThatOpen()
    {
        PtyBoard board(m_folder.path(), 4);
        QVERIFY(board.isValid());
        CommPort port;

        QVERIFY(!SelectCommPort(port, 3));   // no such port
        QVERIFY(!port.isOpen());

        QVERIFY(SelectCommPort(port, 4));
        QVERIFY(!port.isOpen());
        QCOMPARE(port.commPort(), 4);

        // The port in use is closed, probed and left closed.
        QVERIFY(port.open());
        QVERIFY(SelectCommPort(port, 4));
        QVERIFY(!port.isOpen());

        // A port another program holds is busy.
        QSerialPort other(board.devicePath());
        QVERIFY(other.open(QIODevice::ReadWrite));
        PortError why;
        QVERIFY(!SelectCommPort(port, 4, &why));
        QCOMPARE(why.kind, PortError::InUse);
        QVERIFY(!port.isOpen());
        other.close();
        QVERIFY(SelectCommPort(port, 4));
    }

    // The board's end never takes a pty number that another program's lock file still
    // names (the kernel reuses a number before its lock is gone): the port opens.
    void boardLinePassesOverLockedNumbers()
    {
        QString freed;
        {
            PtyBoard earlier(m_folder.path(), 1);
            freed = earlier.devicePath();
        }
        QLockFile lock(QStringLiteral("/var/lock/LCK..") + freed.mid(5).replace(QLatin1Char('/'), QLatin1Char('_')));
        if (!lock.tryLock(0))
            QSKIP("the lock folder cannot be written");
        PtyBoard board(m_folder.path(), 1);
        QVERIFY(board.devicePath() != freed);
        CommPort port;
        QVERIFY(port.open());
    }

    void portOpenFailureSaysWhy()
    {
        CommPort port;
        port.setCommPort(2);
        PortError error;
        QVERIFY(!port.open(&error));
        QCOMPARE(error.kind, PortError::Missing);
        QCOMPARE(error.port, QStringLiteral("COM2"));
        QVERIFY(!port.isOpen());
    }

    void checkFileExistsOnlyForFiles()
    {
        QTemporaryDir dir;
        const QString file = writeTestFile(dir.filePath(QStringLiteral("a.bin")), "x");
        QVERIFY(CheckFileExists(file));
        QVERIFY(QFile::link(file, dir.filePath(QStringLiteral("link"))));
        QVERIFY(CheckFileExists(dir.filePath(QStringLiteral("link"))));
        QVERIFY(!CheckFileExists(QString()));
        QVERIFY(!CheckFileExists(dir.path()));
        QVERIFY(!CheckFileExists(file.left(file.size() - 2)));   // a partial path
        QVERIFY(!CheckFileExists(QStringLiteral("/dev/null")));
        QVERIFY(!CheckFileExists(QLatin1Char(' ') + file));        // taken exactly as typed
    }

    void removeFileTouchesOnlyFilesAndLinks()
    {
        QTemporaryDir dir;
        const QString plain = writeTestFile(dir.filePath(QStringLiteral("plain")), "1234");
        RemoveFile(plain);
        QVERIFY(!QFile::exists(plain));

        RemoveFile(dir.filePath(QStringLiteral("missing")));   // silently nothing

        const QString readOnly = writeTestFile(dir.filePath(QStringLiteral("readonly")), "1234");
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadUser);
        RemoveFile(readOnly);
        QVERIFY(QFile::exists(readOnly));

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        RemoveFile(dir.filePath(QStringLiteral("folder")));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());

        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        RemoveFile(fifo);
        QVERIFY(QFileInfo::exists(fifo));

        // A device is never deleted, not even by root; a link to one loses only the link.
        RemoveFile(QStringLiteral("/dev/null"));
        QVERIFY(QFileInfo::exists(QStringLiteral("/dev/null")));
        const QString link = dir.filePath(QStringLiteral("null-link"));
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), link));
        RemoveFile(link);
        QVERIFY(!QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo::exists(QStringLiteral("/dev/null")));
    }

    void portDropsWhatCameBeforeItOpened()
    {
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        board.send("stale");
        QVERIFY(port.open());
        QSignalSpy notified(&port, &CommPort::onComm);
        QTest::qWait(50);
        QCOMPARE(port.inBufferCount(), 0);

        board.send("ABCDE");
        QVERIFY(QTest::qWaitFor([&] { return port.inBufferCount() == 5; }, 2000));
        QVERIFY(!notified.isEmpty());
        QCOMPARE(port.input(), QByteArray("ABCDE"));
    }

    void busyLineIsTakenInBatchesWithoutLoss()
    {
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        QByteArray got;
        int notifications = 0;
        connect(&port, &CommPort::onComm, this, [&] {
            ++notifications;
            got += port.input();
        });
        // Thirty chunks 10 ms apart, as a line delivers them.
        QByteArray sent;
        for (int chunk = 0; chunk < 30; ++chunk) {
            QByteArray bytes;
            for (int i = 0; i < 97; ++i)
                bytes.append(char(chunk * 97 + i));
            sent += bytes;
            board.send(bytes);
            QTest::qWait(10);
        }
        QTRY_COMPARE(got.size(), sent.size());
        QCOMPARE(got, sent);
        QVERIFY2(notifications < 30, qPrintable(QString::number(notifications)));

        // After a quiet spell the next bytes are notified again.
        QTest::qWait(2 * InputBatcher::IntervalMs);
        board.send("tail");
        QTRY_VERIFY(got.endsWith("tail"));
    }

    void hangUpClosesThePortOnce()
    {
        auto board = std::make_unique<PtyBoard>(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        QSignalSpy failed(&port, &CommPort::failed);
        board->hangUp();
        QVERIFY(failed.wait(3000));
        QTest::qWait(100);
        QCOMPARE(failed.size(), 1);
        QVERIFY(!port.isOpen());
    }

    void hexDownloadWireFormat_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("two bytes") << QByteArray("\x3A\x0F", 2) << QByteArray("3A0F\x1A");
        QTest::newRow("one byte") << QByteArray("\xA5") << QByteArray("A5\x1A");
        QTest::newRow("below 0x10") << QByteArray("\x07") << QByteArray("07\x1A");
        QTest::newRow("Ctrl-Z inside") << QByteArray("\x1A\x1A\x00", 3) << QByteArray("1A1A00\x1A");
    }

    void hexDownloadWireFormat()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, wire);
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        port.setPacingBytesPerSecond(1'000'000);
        QVERIFY(port.open());
        QCOMPARE(downloadOverLine(Board::Vxt8088, content, board, port), wire);
    }

    void hexDownloadShowsWholePercentages()
    {
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        port.setPacingBytesPerSecond(1'000'000);
        QVERIFY(port.open());
        QList<int> percents;
        const QByteArray wire = downloadOverLine(Board::Vxt8088, QByteArray(200, '\x55'), board,
                                                 port, &percents);
        QCOMPARE(wire.size(), 401);
        // One new value per half percent of a 200-byte file: the 50th byte shows 25%.
        QCOMPARE(percents.size(), 100);
        QCOMPARE(percents.first(), 1);   // 1/200 rounds up from 0.5
        QVERIFY(percents.contains(25));
        QCOMPARE(percents.last(), 100);
    }

    void interruptedHexDownload_data()
    {
        QTest::addColumn<int>("stepsBeforePress");
        QTest::addColumn<QByteArray>("wire");
        QTest::addColumn<int>("endsAs");
        // The press comes while the loop yields; the next step writes one more character.
        QTest::newRow("after a high digit") << 1 << QByteArray("12") << int(TransferStep::Interrupted);
        QTest::newRow("after a low digit") << 2 << QByteArray("123") << int(TransferStep::Interrupted);
        QTest::newRow("last character completes") << 3 << QByteArray("1234\x1A") << int(TransferStep::Completed);
    }

    void interruptedHexDownload()
    {
        QFETCH(int, stepsBeforePress);
        QFETCH(QByteArray, wire);
        QFETCH(int, endsAs);
        QTemporaryDir dir;
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        HexDownload download;
        QCOMPARE(download.begin(writeTestFile(dir.filePath(QStringLiteral("s")), "\x12\x34")), TransferFault::None);
        for (int i = 0; i < stepsBeforePress; ++i)
            QCOMPARE(download.step(port, true).kind, TransferStep::Continue);
        QCOMPARE(int(download.step(port, false).kind), endsAs);
        QVERIFY(board.waitForBytes(wire.size()));
        QTest::qWait(50);
        QCOMPARE(board.received(), wire);
    }

    void rawDownloadSendsBytesAsTheyAre()
    {
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        port.setPacingBytesPerSecond(1'000'000);
        QVERIFY(port.open());
        QCOMPARE(downloadOverLine(Board::Vxt8052, QByteArray("\x02\x1A\xFF"), board, port),
                 QByteArray("\x02\x1A\xFF"));
    }

    void downloadRefusesBadSources()
    {
        QTemporaryDir dir;
        RawDownload raw;
        QCOMPARE(raw.begin(writeTestFile(dir.filePath(QStringLiteral("max")), QByteArray(32000, 'x'))), TransferFault::None);
        raw.abandon();
        QCOMPARE(raw.begin(writeTestFile(dir.filePath(QStringLiteral("over")), QByteArray(32001, 'x'))),
                 TransferFault::SourceTooLarge);
        HexDownload hex;
        QCOMPARE(hex.begin(writeTestFile(dir.filePath(QStringLiteral("big")), QByteArray(40000, 'x'))), TransferFault::None);
        hex.abandon();
        QCOMPARE(hex.begin(writeTestFile(dir.filePath(QStringLiteral("empty")), QByteArray())), TransferFault::SourceEmpty);
        QCOMPARE(hex.begin(dir.filePath(QStringLiteral("missing"))), TransferFault::SourceUnreadable);
    }

    void sourceThatShrinksFailsInsteadOfFinishing()
    {
        QTemporaryDir dir;
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        const QString path = writeTestFile(dir.filePath(QStringLiteral("s")), QByteArray(10000, 'x'));
        RawDownload download;
        QCOMPARE(download.begin(path), TransferFault::None);
        QVERIFY(QFile::resize(path, 10));
        TransferStep step;
        for (int i = 0; i < 20000 && step.kind == TransferStep::Continue; ++i)
            step = download.step(port, true);
        QCOMPARE(step.kind, TransferStep::Failed);
        QCOMPARE(step.fault, TransferFault::SourceUnreadable);
    }

    // Closing the port under a transfer (the Setting command): the 8088 download waits
    // and goes on, even across a probe that opens and closes the port; the 8052 download
    // and an upload stop there, and nothing that comes later is appended.
    void portClosedUnderTransfers()
    {
        QTemporaryDir dir;
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        QByteArray content;
        for (int i = 0; i < 300; ++i)
            content.append(char(i * 7));
        const QString source = writeTestFile(dir.filePath(QStringLiteral("s")), content);

        // One session on a port at a time: outside an upload, a session throws input away.
        auto hex = std::make_unique<TransferSession>(Board::Vxt8088, port);
        QSignalSpy hexFinished(hex.get(), &TransferSession::finished);
        hex->startDownload(source);
        QVERIFY(board.waitForBytes(100));
        port.close();
        const qsizetype sentBeforeClosing = board.received().size();
        QVERIFY(SelectCommPort(port, 1));   // the dialog's probe
        QTest::qWait(200);
        QCOMPARE(board.received().size(), sentBeforeClosing);   // nothing while closed
        QVERIFY(hexFinished.isEmpty());
        QVERIFY(port.open());
        port.setPacingBytesPerSecond(1'000'000);
        QVERIFY(hexFinished.wait(5000));
        QVERIFY(board.waitForBytes(601));
        QCOMPARE(board.received(), HexEncoder::encode(content) + HexEndOfStream);   // not a byte lost
        board.clearReceived();
        port.setPacingBytesPerSecond(CommPort::LineBytesPerSecond);
        hex.reset();

        TransferSession raw(Board::Vxt8052, port);
        QSignalSpy rawFinished(&raw, &TransferSession::finished);
        raw.startDownload(source);
        QVERIFY(board.waitForBytes(20));
        port.close();
        QCOMPARE(rawFinished.size(), 1);
        auto outcome = rawFinished.first().first().value<TransferOutcome>();
        QCOMPARE(outcome.fault, TransferFault::PortClosedUnderTransfer);
        QTest::qWait(50);
        QCOMPARE(outcome.count, board.received().size());   // what went, and no more
        QVERIFY(port.open());

        const QString target = dir.filePath(QStringLiteral("up.bin"));
        raw.startUpload(target);
        board.send(QByteArray("\x00\x04" "AB", 4));
        QTRY_COMPARE(raw.expectedLength(), 4);
        port.close();
        QCOMPARE(rawFinished.size(), 2);
        outcome = rawFinished.last().first().value<TransferOutcome>();
        QCOMPARE(outcome.fault, TransferFault::PortClosedUnderTransfer);
        QCOMPARE(outcome.kept, 2);
        QVERIFY(port.open());
        board.send("CD");
        QTest::qWait(100);
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("AB"));
    }

    // The board sends its last bytes and hangs up at once: the upload still gets every
    // one. (What the system holds at a hang-up it throws away, so during an upload the
    // port takes what comes as it comes.)
    void hangUpRightAfterTheEndLosesNothing()
    {
        QTemporaryDir dir;
        auto board = std::make_unique<PtyBoard>(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        TransferSession session(Board::Vxt8088, port);
        QSignalSpy finished(&session, &TransferSession::finished);
        QSignalSpy lost(&session, &TransferSession::portLost);
        QByteArray content;
        for (int i = 0; i < 200; ++i)
            content.append(char(i));
        session.startUpload(dir.filePath(QStringLiteral("up.bin")));
        for (int chunk = 0; chunk < 4; ++chunk) {
            board->send(HexEncoder::encode(content.mid(chunk * 50, 50)));
            QTest::qWait(20);
        }
        board->send(QByteArray(1, HexEndOfStream));
        QTest::qWait(20);
        board->hangUp();
        QTRY_COMPARE(lost.size(), 1);   // the port went after the upload had ended
        QCOMPARE(finished.size(), 1);
        const auto outcome = finished.first().first().value<TransferOutcome>();
        QCOMPARE(outcome.kind, TransferOutcome::Completed);
        QCOMPARE(outcome.kept, 200);
        QFile file(dir.filePath(QStringLiteral("up.bin")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), content);
    }

    // A path that became a FIFO after it was checked is refused at once, not waited on.
    void pathsThatAreNoLongerFilesNeverBlock()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        TransferSession session(Board::Vxt8088, port);
        QSignalSpy finished(&session, &TransferSession::finished);
        session.startDownload(fifo);
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().value<TransferOutcome>().fault, TransferFault::SourceUnreadable);

        HexUpload upload;   // the target is checked when the upload starts; here it changed since
        upload.begin(fifo);
        const TransferStep step = upload.receive("41");
        QCOMPARE(step.kind, TransferStep::Failed);
        QCOMPARE(step.fault, TransferFault::TargetNotAFile);
    }

    // A target that cannot be made is refused at the start, before the board sends, and
    // nothing is created; one whose folder goes away later fails when the data begin.
    void uploadTargetCheckedAtStart()
    {
        QTemporaryDir dir;
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        TransferSession session(Board::Vxt8088, port);
        QSignalSpy finished(&session, &TransferSession::finished);
        writeTestFile(dir.filePath(QStringLiteral("plain.txt")), "plain");
        const struct {
            const char *name;
            int error;
        } refused[] = {{"missing/up.bin", ENOENT}, {"plain.txt/up.bin", ENOTDIR}};
        for (const auto &target : refused) {
            session.startUpload(dir.filePath(QString::fromUtf8(target.name)));
            QCOMPARE(finished.size(), 1);
            const auto outcome = finished.takeFirst().first().value<TransferOutcome>();
            QCOMPARE(outcome.fault, TransferFault::TargetUnwritable);
            QCOMPARE(outcome.kept, -1);
            QCOMPARE(outcome.detail, qt_error_string(target.error));
            QVERIFY(!session.isRunning(Direction::Upload));
        }
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("missing"))));
        QCOMPARE(fileBytes(dir.filePath(QStringLiteral("plain.txt"))), QByteArray("plain"));

        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gone")));
        session.startUpload(dir.filePath(QStringLiteral("gone/up.bin")));
        QVERIFY(session.isRunning(Direction::Upload));
        QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("gone")));
        board.send("41");
        QVERIFY(finished.wait(3000));
        const auto outcome = finished.first().first().value<TransferOutcome>();
        QCOMPARE(outcome.fault, TransferFault::TargetUnwritable);
        QCOMPARE(outcome.kept, -1);
    }

    void sessionUploadReportsAsData()
    {
        QTemporaryDir dir;
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        TransferSession session(Board::Vxt8052, port);
        QSignalSpy finished(&session, &TransferSession::finished);
        QSignalSpy progress(&session, &TransferSession::progress);
        board.send("before");   // outside an upload: thrown away
        QTest::qWait(50);
        const QString target = dir.filePath(QStringLiteral("up.bin"));
        session.startUpload(target);
        board.send(QByteArray("\x00", 1));
        QTest::qWait(50);
        QCOMPARE(session.expectedLength(), 0);
        board.send(QByteArray("\x04" "AB", 3));
        QVERIFY(finished.wait(3000));   // ended by the quiet line
        const auto outcome = finished.first().first().value<TransferOutcome>();
        QCOMPARE(outcome.direction, Direction::Upload);
        QCOMPARE(outcome.kind, TransferOutcome::Completed);
        QCOMPARE(outcome.count, 2);
        QCOMPARE(outcome.kept, 2);
        QCOMPARE(outcome.announced, 4);
        const auto last = progress.last().first().value<TransferProgress>();
        QCOMPARE(last.percent, 50);
        QCOMPARE(last.total, 4);
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("AB"));
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<ComFolder> m_com;
};

QTEST_GUILESS_MAIN(SerialTest)
#include "tst_serial.moc"
