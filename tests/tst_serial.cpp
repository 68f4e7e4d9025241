// The serial layer on its own, without a window: COM numbers, the port and the file
// helpers, against a real pseudo-terminal, with the transfer session where what matters
// is the port under it (the session's own behaviour is tst_session's, on a fake line).

#include "codecs.h"
#include "commport.h"
#include "comportmap.h"
#include "deviceoutput.h"
#include "download.h"
#include "portprobe.h"
#include "transferfiles.h"
#include "transfersession.h"
#include "ptyboard.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <dlfcn.h>
#include <sys/stat.h>

using namespace VXT8088_8052;

Q_DECLARE_METATYPE(DeviceOutput)

namespace {

// While it lives, the device is a UART on its way out: writes queue in its driver, which
// drains at the line rate and drops what it holds on a discard (see fakeuart.cpp, which
// the suite preloads).
class FakeUart {
public:
    static constexpr const char *missing = "fakeuart is not preloaded: run the suite through ctest";
    static bool isPreloaded() { return ::dlsym(RTLD_DEFAULT, "fakeuart_preloaded") != nullptr; }
    explicit FakeUart(const QString &device) { qputenv("FAKEUART_DEVICE", QFile::encodeName(device)); }
    ~FakeUart() { qunsetenv("FAKEUART_DEVICE"); }
};

// What the board holds of a download that was cut short: the start of the whole stream,
// and whole file bytes that agree with the count.
void verifyWhatWent(Board kind, const QByteArray &content, const QByteArray &wire, const TransferOutcome &outcome)
{
    const QByteArray whole = kind == Board::Vxt8088 ? HexEncoder::encode(content) + HexEndOfStream : content;
    QVERIFY(!wire.isEmpty());
    QVERIFY2(wire.size() < whole.size() && whole.startsWith(wire), qPrintable(QString::number(wire.size())));
    const qint64 held = kind == Board::Vxt8088 ? wire.size() / 2 : wire.size();
    const QString counts = QStringLiteral("count %1, the board holds %2").arg(outcome.count).arg(held);
    if (outcome.countIsUpperBound)
        QVERIFY2(outcome.count >= held, qPrintable(counts));
    else
        QVERIFY2(outcome.count == held, qPrintable(counts));
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
        QByteArray got;
        connect(&port, &CommPort::received, this, [&](const QByteArray &bytes) { got += bytes; });
        board.send("ABCDE");
        QVERIFY(QTest::qWaitFor([&] { return got.size() >= 5; }, 2000));
        QCOMPARE(got, QByteArray("ABCDE"));
    }

    void busyLineIsTakenInBatchesWithoutLoss()
    {
        PtyBoard board(m_folder.path(), 1);
        CommPort port;
        QVERIFY(port.open());
        QByteArray got;
        int notifications = 0;
        connect(&port, &CommPort::received, this, [&](const QByteArray &bytes) {
            ++notifications;
            got += bytes;
        });
        // Thirty chunks 10 ms apart, as a line delivers them.
        QByteArray sent;
        const auto sendChunks = [&] {
            for (int chunk = 0; chunk < 30; ++chunk) {
                const QByteArray bytes = sample(97 * 30).mid(chunk * 97, 97);
                sent += bytes;
                board.send(bytes);
                QTest::qWait(10);
            }
        };
        sendChunks();
        QTRY_COMPARE(got.size(), sent.size());
        QCOMPARE(got, sent);
        QVERIFY2(notifications < 30, qPrintable(QString::number(notifications)));

        // After a quiet spell the next bytes are notified again.
        QTest::qWait(2 * InputBatcher::IntervalMs);
        board.send("tail");
        QTRY_VERIFY(got.endsWith("tail"));

        // A burst larger than any buffer on the way loses nothing, taken as an upload
        // takes it.
        port.setPromptInput(true);
        const QByteArray burst = sample(65536);
        board.send(burst);
        QTRY_VERIFY(got.size() >= sent.size() + 4 + burst.size());
        QVERIFY(got.endsWith(burst));
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

    // A device that takes one write at a time (Windows): what is still on its way, and
    // what an interrupt drops, by what the driver tells of its queue.
    void oneWriteDeviceCountsWhatIsDropped_data()
    {
        QTest::addColumn<DeviceOutput>("output");
        QTest::addColumn<qint64>("pending");
        QTest::addColumn<qint64>("dropped");
        QTest::addColumn<bool>("known");
        QTest::newRow("nothing under way") << DeviceOutput{0, 0, 0, false} << qint64(0) << qint64(0) << false;
        QTest::newRow("a UART: the driver's count") << DeviceOutput{10, 96, 40, true} << qint64(50) << qint64(50) << true;
        QTest::newRow("a UART, the write done") << DeviceOutput{7, 0, 0, true} << qint64(7) << qint64(7) << true;
        // A virtual port reads 0: the whole write may still be on its way, but only what
        // never reached the driver surely did not go.
        QTest::newRow("no count: up to") << DeviceOutput{10, 96, 0, false} << qint64(106) << qint64(10) << false;
    }

    void oneWriteDeviceCountsWhatIsDropped()
    {
        QFETCH(DeviceOutput, output);
        QFETCH(qint64, pending);
        QFETCH(qint64, dropped);
        QFETCH(bool, known);
        QCOMPARE(output.pending(), pending);
        QCOMPARE(output.discard().dropped, dropped);
        QCOMPARE(output.discard().known, known);
    }

    void interruptedDownloadLeavesWhatWent_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("uart");
        QTest::newRow("8052 on a UART") << int(Board::Vxt8052) << true;
        QTest::newRow("8088 on a pseudo-terminal") << int(Board::Vxt8088) << false;
    }

    // An interrupt sends nothing more: the board holds the start of the stream, also when
    // it was not reading at the press. The count is what went where the driver tells what
    // it dropped (a UART), and at most that where nothing tells (a pseudo-terminal).
    void interruptedDownloadLeavesWhatWent()
    {
        QFETCH(int, kind);
        QFETCH(bool, uart);
        QTemporaryDir dir;
        PtyBoard board(m_folder.path(), 1);
        std::unique_ptr<FakeUart> line;
        if (uart) {
            QVERIFY2(FakeUart::isPreloaded(), FakeUart::missing);
            line = std::make_unique<FakeUart>(board.devicePath());
        }
        CommPort port;
        QVERIFY(port.open());
        TransferSession session(Board(kind), port);
        QSignalSpy finished(&session, &TransferSession::finished);
        const QByteArray content = sample(1184);
        session.startDownload(writeTestFile(dir.filePath(QStringLiteral("s")), content));
        QTest::qWait(300);   // the board's end is not read meanwhile
        session.interrupt(Direction::Download);
        QCOMPARE(finished.size(), 1);
        const auto outcome = finished.first().first().value<TransferOutcome>();
        QCOMPARE(outcome.kind, TransferOutcome::Interrupted);
        QCOMPARE(outcome.countIsUpperBound, !uart);
        QTest::qWait(100);
        verifyWhatWent(Board(kind), content, board.received(), outcome);
        const qsizetype sent = board.received().size();
        QTest::qWait(100);
        QCOMPARE(board.received().size(), sent);   // the line stays quiet
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

    void hangUpRightAfterTheEndLosesNothing_data()
    {
        QTest::addColumn<int>("pieceSize");
        QTest::addColumn<int>("gapMs");
        QTest::newRow("in chunks") << 100 << 20;
        QTest::newRow("two characters at a time") << 2 << 1;   // gathered ~10 ms at a time
    }

    // The board sends its last bytes and hangs up 20 ms later: the upload still gets every
    // one. (What the system holds at a hang-up it throws away, so during an upload the
    // port takes what comes within about 10 ms.)
    void hangUpRightAfterTheEndLosesNothing()
    {
        QFETCH(int, pieceSize);
        QFETCH(int, gapMs);
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
        const QByteArray text = HexEncoder::encode(content);
        for (qsizetype at = 0; at < text.size(); at += pieceSize) {
            board->send(text.mid(at, pieceSize));
            QTest::qWait(gapMs);
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

private:
    QTemporaryDir m_folder;
    std::unique_ptr<ComFolder> m_com;
};

QTEST_GUILESS_MAIN(SerialTest)
#include "tst_serial.moc"
