// The transfer session on a fake line, on a clock the test moves: what goes out and what
// the outcome says, interrupts, a line that closes, stalls or opens later, and uploads
// with their targets. (A line that drops: tst_transferfaults, through the window.)

#include "codecs.h"
#include "download.h"
#include "fakeline.h"
#include "testfiles.h"
#include "transfersession.h"
#include "upload.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <utility>
#include <sys/stat.h>

namespace {

QByteArray wireOf(Board board, const QByteArray &content)
{
    return board == Board::Vxt8088 ? HexEncoder::encode(content) + HexEndOfStream : content;
}

// A session on a fake line, the outcomes it reported, and a folder for its files.
struct Rig {
    explicit Rig(Board board, qint64 rate = LinePacer::LineBytesPerSecond) : line(rate), session(board, line) {}
    QString file(const QString &name, const QByteArray &content) { return writeTestFile(dir.filePath(name), content); }
    TransferOutcome outcome(qsizetype i = 0) const { return finished.at(i).first().value<TransferOutcome>(); }

    QTemporaryDir dir;
    FakeLine line;
    TransferSession session;
    QSignalSpy finished{&session, &TransferSession::finished};
    QSignalSpy progress{&session, &TransferSession::progress};
};

} // namespace

class SessionTest : public QObject {
    Q_OBJECT

private slots:
    void downloadWireFormat_data()
    {
        QTest::addColumn<int>("board");
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("8088 two bytes") << int(Board::Vxt8088) << QByteArray("\x3A\x0F", 2);
        QTest::newRow("8088 below 0x10") << int(Board::Vxt8088) << QByteArray("\x07");
        QTest::newRow("8088 Ctrl-Z inside") << int(Board::Vxt8088) << QByteArray("\x1A\x1A\x00", 3);
        QTest::newRow("8052 as they are") << int(Board::Vxt8052) << QByteArray("\x02\x1A\xFF");
        QTest::newRow("8052 1000 bytes") << int(Board::Vxt8052) << sample(1000);
    }

    // The line opens with the download; never more than its room is queued ahead.
    void downloadWireFormat()
    {
        QFETCH(int, board);
        QFETCH(QByteArray, content);
        Rig rig{Board(board)};
        rig.session.startDownload(rig.file(QStringLiteral("s"), content));
        QVERIFY(rig.line.isOpen());
        QVERIFY(rig.line.advanceUntil([&] { return !rig.finished.isEmpty(); }));
        QCOMPARE(rig.outcome().kind, TransferOutcome::Completed);
        QCOMPARE(rig.outcome().count, content.size());
        rig.line.advance(1000);
        QCOMPARE(rig.line.wire(), wireOf(Board(board), content));
        QVERIFY(rig.line.mostQueued() <= FakeLine::Room);
    }

    void hexDownloadShowsWholePercentages()
    {
        Rig rig(Board::Vxt8088, 1'000'000);
        rig.session.startDownload(rig.file(QStringLiteral("s"), QByteArray(200, '\x55')));
        QVERIFY(rig.line.advanceUntil([&] { return !rig.finished.isEmpty(); }));
        QList<int> percents;
        for (const auto &args : std::as_const(rig.progress))
            percents.append(args.at(0).value<TransferProgress>().percent);
        // One new value per half percent of a 200-byte file: the 50th byte shows 25%.
        QCOMPARE(percents.size(), 100);
        QCOMPARE(percents.first(), 1);   // 1/200 rounds up from 0.5
        QVERIFY(percents.contains(25));
        QCOMPARE(percents.last(), 100);
    }

    // A line that takes nothing holds the download back; it goes on when the line does.
    void stalledLineHoldsTheDownload()
    {
        Rig rig(Board::Vxt8052);
        rig.session.startDownload(rig.file(QStringLiteral("s"), sample(500)));
        rig.line.setStalled(true);
        rig.line.advance(2000);
        QVERIFY(rig.line.wire().isEmpty());
        QCOMPARE(rig.line.queued(), FakeLine::Room);
        rig.line.setStalled(false);
        QVERIFY(rig.line.advanceUntil([&] { return !rig.finished.isEmpty(); }));
        QCOMPARE(rig.outcome().kind, TransferOutcome::Completed);
    }

    void interruptOrCloseEndsADownload_data()
    {
        QTest::addColumn<int>("board");
        QTest::addColumn<bool>("close");
        QTest::newRow("8088 interrupted") << int(Board::Vxt8088) << false;
        QTest::newRow("8052 interrupted") << int(Board::Vxt8052) << false;
        QTest::newRow("8088 line closed") << int(Board::Vxt8088) << true;
        QTest::newRow("8052 line closed") << int(Board::Vxt8052) << true;
    }

    // Nothing more goes: what is queued is dropped, and where the line tells exactly what
    // it dropped, the count is what the board holds. The Setting command closes the line:
    // the line opened next, perhaps another board's, receives nothing of the download.
    void interruptOrCloseEndsADownload()
    {
        QFETCH(int, board);
        QFETCH(bool, close);
        Rig rig{Board(board)};
        const QByteArray content = sample(1184);
        rig.session.startDownload(rig.file(QStringLiteral("s"), content));
        rig.line.advance(300);
        if (close)
            rig.line.close();
        else
            rig.session.interrupt(Direction::Download);
        QCOMPARE(rig.finished.size(), 1);
        const TransferOutcome outcome = rig.outcome();
        QCOMPARE(outcome.kind, close ? TransferOutcome::Failed : TransferOutcome::Interrupted);
        QCOMPARE(outcome.fault, close ? TransferFault::PortClosedUnderTransfer : TransferFault::None);
        QVERIFY(!outcome.countIsUpperBound);
        QVERIFY(rig.line.open());
        rig.line.advance(1000);
        const QByteArray wire = rig.line.wire();
        QVERIFY2(wire.size() > 200 && wireOf(Board(board), content).startsWith(wire), qPrintable(QString::number(wire.size())));
        QCOMPARE(outcome.count, board == int(Board::Vxt8088) ? wire.size() / 2 : wire.size());
    }

    // A line that opens later is waited for; one that cannot be opened ends the transfer
    // as a port problem with the reason, at once or when the opening fails.
    void transferWaitsForTheLineToOpen()
    {
        Rig rig(Board::Vxt8052);
        rig.line.opensLater = true;
        rig.session.startDownload(rig.file(QStringLiteral("s"), "to a board"));
        rig.line.advance(500);
        QVERIFY(rig.line.isOpening() && rig.line.wire().isEmpty());
        rig.line.finishOpening();
        rig.line.advance(100);
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.line.wire(), QByteArray("to a board"));
        rig.line.close();

        const PortError lost{PortError::Refused, QStringLiteral("COM1"), QStringLiteral("socket://lab:3001"), {}};
        rig.session.startUpload(rig.dir.filePath(QStringLiteral("up.bin")));
        rig.line.finishOpening(lost);
        rig.line.opensLater = false;
        rig.line.refusal = {PortError::InUse, QStringLiteral("COM1"), {}, {}};
        rig.session.startDownload(rig.file(QStringLiteral("s"), "to a board"));
        QCOMPARE(rig.finished.size(), 3);
        for (const auto &[i, kind] : {std::pair{1, PortError::Refused}, std::pair{2, PortError::InUse}}) {
            QCOMPARE(rig.outcome(i).fault, TransferFault::PortClosed);
            QCOMPARE(rig.outcome(i).portError.kind, kind);
        }
        QCOMPARE(rig.outcome(1).portError.device, QStringLiteral("socket://lab:3001"));
    }

    void sourceThatShrinksFailsInsteadOfFinishing()
    {
        QTemporaryDir dir;
        FakeLine line;
        QVERIFY(line.open());
        const QString path = writeTestFile(dir.filePath(QStringLiteral("s")), QByteArray(10000, 'x'));
        RawDownload download;
        QCOMPARE(download.begin(path), TransferFault::None);
        QVERIFY(QFile::resize(path, 10));
        TransferStep step;
        for (int i = 0; i < 20000 && step.kind == TransferStep::Continue; ++i)
            step = download.step(line);
        QCOMPARE(step.kind, TransferStep::Failed);
        QCOMPARE(step.fault, TransferFault::SourceUnreadable);
    }

    // A path that became a FIFO after it was checked is refused at once, not waited on.
    void pathsThatAreNoLongerFilesNeverBlock()
    {
        Rig rig(Board::Vxt8088);
        const QString fifo = rig.dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        rig.session.startDownload(fifo);
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.outcome().fault, TransferFault::SourceUnreadable);

        HexUpload upload;   // the target is checked when the upload starts; here it changed since
        upload.begin(fifo);
        const TransferStep step = upload.receive("41");
        QCOMPARE(step.kind, TransferStep::Failed);
        QCOMPARE(step.fault, TransferFault::TargetNotAFile);
    }

    // A target that cannot be made is refused at the start with what the system says (the
    // window's suite shows the cases); one whose folder goes away later fails when the
    // data begin.
    void uploadTargetCheckedAtStart()
    {
        Rig rig(Board::Vxt8088);
        rig.session.startUpload(rig.dir.filePath(QStringLiteral("missing/up.bin")));
        QCOMPARE(rig.finished.size(), 1);
        const SystemError refused = rig.finished.takeFirst().first().value<TransferOutcome>().system;
        QCOMPARE(refused.code, ENOENT);
        QCOMPARE(refused.text, qt_error_string(ENOENT));
        QVERIFY(QDir(rig.dir.path()).mkdir(QStringLiteral("gone")));
        rig.session.startUpload(rig.dir.filePath(QStringLiteral("gone/up.bin")));
        QVERIFY(rig.session.isRunning(Direction::Upload));
        QVERIFY(QDir(rig.dir.path()).rmdir(QStringLiteral("gone")));
        rig.line.send("41");
        QCOMPARE(rig.finished.size(), 1);
        QCOMPARE(rig.outcome().fault, TransferFault::TargetUnwritable);
        QCOMPARE(rig.outcome().kept, -1);
    }

    // Input is taken promptly only while an upload runs; what came before it is not its.
    // The 8052's upload ends with the quiet line; closing the line ends one with what
    // reached the file, and nothing that comes later is appended.
    void sessionUploadReportsAsData()
    {
        Rig rig(Board::Vxt8052);
        QVERIFY(rig.line.open());
        rig.line.send("before");
        const QString target = rig.dir.filePath(QStringLiteral("up.bin"));
        rig.session.startUpload(target);
        QVERIFY(rig.line.promptInput());
        rig.line.send(QByteArray("\x00", 1));
        QCOMPARE(rig.session.expectedLength(), 0);
        rig.line.send(QByteArray("\x04" "AB", 3));
        QVERIFY(rig.finished.wait(3000));   // ended by the quiet line
        const TransferOutcome outcome = rig.outcome();
        QCOMPARE(outcome.direction, Direction::Upload);
        QCOMPARE(outcome.kind, TransferOutcome::Completed);
        QCOMPARE(outcome.count, 2);
        QCOMPARE(outcome.kept, 2);
        QCOMPARE(outcome.announced, 4);
        const auto last = rig.progress.last().first().value<TransferProgress>();
        QCOMPARE(last.percent, 50);
        QCOMPARE(last.total, 4);
        QCOMPARE(fileBytes(target), QByteArray("AB"));
        QVERIFY(!rig.line.promptInput());

        rig.session.startUpload(target);
        rig.line.send(QByteArray("\x00\x04" "CD", 4));
        rig.line.close();
        QCOMPARE(rig.finished.size(), 2);
        QCOMPARE(rig.outcome(1).fault, TransferFault::PortClosedUnderTransfer);
        QCOMPARE(rig.outcome(1).kept, 2);
        QVERIFY(rig.line.open());
        rig.line.send("EF");
        QCOMPARE(fileBytes(target), QByteArray("CD"));
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_session.moc"
