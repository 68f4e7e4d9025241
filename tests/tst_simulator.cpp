// End-to-end tests of the virtual board (tools/vxt-board): the real program, started as a
// process, on a real pseudo-terminal that the test opens through the COMn link.

#include "testfiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

// One running board and the test's end of its line.
class Board {
public:
    explicit Board(const QString &dir) : dir(dir) {}
    ~Board()
    {
        closePort();
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            process.waitForFinished(3000);
        }
    }

    // Starts the board and waits until it is ready for commands.
    bool start(QStringList args)
    {
        args << "--dir" << dir;
        process.start(VXT_BOARD_PATH, args);
        return process.waitForStarted(3000) && !waitForLine("commands:").isEmpty();
    }

    // The next line of the board's output that starts with `prefix` (empty on time-out).
    QString waitForLine(const QString &prefix, int ms = 5000)
    {
        QDeadlineTimer deadline(ms);
        while (true) {
            output += process.readAllStandardOutput();
            int end;
            while ((end = output.indexOf('\n')) >= 0) {
                QString line = QString::fromUtf8(output.left(end));
                output.remove(0, end + 1);
                if (line.startsWith(prefix))
                    return line;
            }
            if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
                return {};
            process.waitForReadyRead(int(deadline.remainingTime()));
        }
    }

    bool openPort(int n = 1)
    {
        fd = ::open(QFile::encodeName(comPath(n)).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (fd < 0 || tcgetattr(fd, &tio) < 0)
            return false;
        cfmakeraw(&tio);
        return tcsetattr(fd, TCSANOW, &tio) == 0;
    }
    // Connects to a board on the network at the address its COMn file holds.
    bool connectTcp(int n = 1)
    {
        QFile file(comPath(n));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray address = file.readLine().trimmed();
        const QByteArray prefix = "socket://127.0.0.1:";
        if (!address.startsWith(prefix))
            return false;
        sockaddr_in peer{};
        peer.sin_family = AF_INET;
        peer.sin_port = htons(quint16(address.mid(prefix.size()).toUInt()));
        peer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        return fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr *>(&peer), sizeof peer) == 0;
    }
    void closePort()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    void write(const QByteArray &bytes)
    {
        QCOMPARE(::write(fd, bytes.constData(), bytes.size()), qsizetype(bytes.size()));
    }
    // Reads until `count` bytes came or the line stayed silent for `silenceMs`.
    QByteArray read(qsizetype count, int silenceMs = 3000)
    {
        QByteArray got;
        pollfd p{fd, POLLIN, 0};
        while (got.size() < count && poll(&p, 1, silenceMs) > 0) {
            char buffer[4096];
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, n);
        }
        return got;
    }
    // Sends a command through the control FIFO, as a user with a busy terminal does.
    void control(const QByteArray &line, int n = 1)
    {
        QFile fifo(comPath(n) + ".ctl");
        QVERIFY(fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QVERIFY(fifo.write(line + '\n') > 0);
    }
    QString comPath(int n = 1) const { return dir + "/COM" + QString::number(n); }

    QString dir;
    QProcess process;
    QByteArray output;
    int fd = -1;
};

} // namespace

class SimulatorTest : public QObject {
    Q_OBJECT

private slots:
    void download8088_data();
    void download8088();
    void download8088BackToBack();
    void download8052EndsAfterQuietTime();
    void uploadWireBytes_data();
    void uploadWireBytes();
    void badUploadsSendNothing();
    void bothDirectionsAtOnce();
    void portLifecycle();
    void boardOnTheNetwork();
};

void SimulatorTest::download8088_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("note");

    QTest::newRow("two bytes") << QByteArray("3A0F\x1A") << QByteArray("\x3A\x0F", 2)
                               << "download-001.bin" << "";
    QTest::newRow("lower case, CR LF ignored")
        << QByteArray("a5\r\nfF\x1A") << QByteArray("\xA5\xFF") << "download-001.bin"
        << "2 stray byte(s) ignored";
    QTest::newRow("0x1A as a byte value") << QByteArray("1A1a\x1A") << QByteArray("\x1A\x1A")
                                          << "download-001.bin" << "";
    QTest::newRow("end character first") << QByteArray("\x1A") << QByteArray()
                                         << "download-001.bin" << "";
    QTest::newRow("lone digit before the end")
        << QByteArray("12345\x1A") << QByteArray("\x12\x34") << "download-001.bin"
        << "a lone digit was left out";
    QTest::newRow("interrupted mid-byte")
        << QByteArray("414") << QByteArray("A") << "download-001.partial.bin"
        << "INTERRUPTED: no end character, a lone digit was left out";
}

void SimulatorTest::download8088()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, stored);
    QFETCH(QString, fileName);
    QFETCH(QString, note);

    QTemporaryDir dir;
    Board board(dir.path());
    QVERIFY(board.start({"--board", "8088", "--inbox", dir.path() + "/in", "--quiet-ms", "150"}));
    QVERIFY(board.openPort());
    board.write(stream);

    QString summary = board.waitForLine("download 1:");
    QVERIFY2(summary.contains(QString::number(stored.size()) + " byte(s)"), qPrintable(summary));
    QVERIFY2(note.isEmpty() ? !summary.contains(", ") : summary.contains(note),
             qPrintable(summary));
    QCOMPARE(QDir(dir.path() + "/in").entryList(QDir::Files), QStringList{fileName});
    QCOMPARE(fileBytes(dir.path() + "/in/" + fileName), stored);
}

void SimulatorTest::download8088BackToBack()
{
    // Two whole streams in one write make two downloads; nothing waits for a quiet time.
    QTemporaryDir dir;
    Board board(dir.path());
    QVERIFY(board.start({"--board", "8088", "--inbox", dir.path() + "/in", "--quiet-ms", "60000"}));
    QVERIFY(board.openPort());
    board.write("3A\x1A" "41\x1A");
    QVERIFY(!board.waitForLine("download 2:").isEmpty());
    QCOMPARE(fileBytes(dir.path() + "/in/download-001.bin"), QByteArray("\x3A"));
    QCOMPARE(fileBytes(dir.path() + "/in/download-002.bin"), QByteArray("A"));
}

void SimulatorTest::download8052EndsAfterQuietTime()
{
    QTemporaryDir dir;
    Board board(dir.path());
    QVERIFY(board.start({"--board", "8052", "--inbox", dir.path() + "/in", "--quiet-ms", "500"}));
    QVERIFY(board.openPort());

    // A pause shorter than the quiet time keeps one download; 0x1A ends nothing here.
    const QByteArray first("\x02\x1A\xFF\x00\r\n", 6);
    board.write(first.left(3));
    QTest::qWait(50);
    board.write(first.mid(3));
    QVERIFY(!board.waitForLine("download 1: 6 byte(s)").isEmpty());
    QCOMPARE(fileBytes(dir.path() + "/in/download-001.bin"), first);

    // After the quiet time the next bytes make a new download, stored whole.
    const QByteArray second = sample(5000);
    board.write(second);
    QVERIFY(!board.waitForLine("download 2: 5000 byte(s)").isEmpty());
    QCOMPARE(fileBytes(dir.path() + "/in/download-002.bin"), second);
}

void SimulatorTest::uploadWireBytes_data()
{
    QTest::addColumn<QString>("boardName");
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("wire");

    QTest::newRow("8088 AB") << "8088" << "fifo" << QByteArray("AB") << QByteArray("4142\x1A");
    QTest::newRow("8088 digits stay upper case, 0x1A is data")
        << "8088" << "stdin" << QByteArray("\x00\x1A\xFF\xab", 4) << QByteArray("001AFFAB\x1A");
    QTest::newRow("8088 empty file") << "8088" << "fifo" << QByteArray() << QByteArray("\x1A");
    QTest::newRow("8052 ABC") << "8052" << "option" << QByteArray("ABC")
                              << QByteArray("\x00\x03" "ABC", 5);
    const QByteArray full = sample(32000);
    QTest::newRow("8052 32000") << "8052" << "stdin" << full << QByteArray("\x7D\x00", 2) + full;
    const QByteArray most = sample(65536);
    QTest::newRow("8052 65536 as 0x0000")
        << "8052" << "fifo" << most << QByteArray("\x00\x00", 2) + most;
}

void SimulatorTest::uploadWireBytes()
{
    QFETCH(QString, boardName);
    QFETCH(QString, trigger);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, wire);

    QTemporaryDir dir;
    QFile file(dir.path() + "/data.bin");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    file.close();

    Board board(dir.path());
    QStringList args{"--board", boardName, "--fast"};
    if (trigger == "option")
        args << "--send" << file.fileName() << "--send-delay" << "0.2";
    QVERIFY(board.start(args));
    QVERIFY(board.openPort());
    if (trigger == "fifo")
        board.control("send " + QFile::encodeName(file.fileName()));
    if (trigger == "stdin") {
        board.process.write("send " + QFile::encodeName(file.fileName()) + "\n");
        QVERIFY(board.process.waitForBytesWritten(3000));
    }

    QCOMPARE(board.read(wire.size()), wire);
    QVERIFY(!board.waitForLine("upload done:").isEmpty());
    QCOMPARE(board.read(1, 100), QByteArray());   // nothing after the end
}

void SimulatorTest::badUploadsSendNothing()
{
    QTemporaryDir dir;
    const QString empty = dir.path() + "/empty.bin", big = dir.path() + "/big.bin";
    QFile(empty).open(QIODevice::WriteOnly);
    QFile bigFile(big);
    QVERIFY(bigFile.open(QIODevice::WriteOnly) && bigFile.write(sample(65537)) == 65537);
    bigFile.close();

    Board board(dir.path());
    QVERIFY(board.start({"--board", "8052", "--fast"}));
    QVERIFY(board.openPort());
    for (const QString &path : QStringList{empty, big, dir.path() + "/missing.bin", dir.path()}) {
        board.control("send " + QFile::encodeName(path));
        QString refusal = board.waitForLine("upload refused:");
        QVERIFY2(refusal.contains(path), qPrintable(refusal));
    }
    board.control("send");
    QVERIFY(!board.waitForLine("upload refused:").isEmpty());
    QCOMPARE(board.read(1, 200), QByteArray());

    // The board is still fine: "raw" sends a file unchanged, without a header.
    QFile ok(dir.path() + "/ok.bin");
    QVERIFY(ok.open(QIODevice::WriteOnly) && ok.write("\x01\x02", 2) == 2);
    ok.close();
    board.control("raw " + QFile::encodeName(ok.fileName()));
    QCOMPARE(board.read(2), QByteArray("\x01\x02", 2));
}

void SimulatorTest::bothDirectionsAtOnce()
{
    QTemporaryDir dir;
    const QByteArray up = sample(6000), down = sample(3000).toBase64().left(3000);
    QFile file(dir.path() + "/up.bin");
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(up) == up.size());
    file.close();

    Board board(dir.path());
    QVERIFY(board.start({"--board", "8052", "--rate", "20000", "--quiet-ms", "1000",
                         "--inbox", dir.path() + "/in"}));
    QVERIFY(board.openPort());
    board.control("send " + QFile::encodeName(file.fileName()));

    // Feed the download in small pieces while the upload streams in.
    QByteArray got;
    qsizetype written = 0;
    pollfd p{board.fd, POLLIN, 0};
    while (got.size() < up.size() + 2 && poll(&p, 1, 3000) > 0) {
        char buffer[4096];
        ssize_t n = ::read(board.fd, buffer, sizeof buffer);
        QVERIFY(n > 0);
        got.append(buffer, n);
        if (written < down.size()) {
            board.write(down.mid(written, 250));
            written += 250;
        }
    }
    QVERIFY2(written >= down.size(), "the upload ended before the download was sent");
    QCOMPARE(got, QByteArray("\x17\x70", 2) + up);
    QVERIFY(!board.waitForLine("download 1: 3000 byte(s)").isEmpty());
    QCOMPARE(fileBytes(dir.path() + "/in/download-001.bin"), down);
}

void SimulatorTest::portLifecycle()
{
    QTemporaryDir dir;
    // A link and FIFO left behind by a board that was killed are replaced.
    QVERIFY(QFile::link("/dev/pts/9999", dir.path() + "/COM2"));
    QVERIFY(mkfifo(QFile::encodeName(dir.path() + "/COM2.ctl").constData(), 0600) == 0);
    QFile data(dir.path() + "/ab.bin");
    QVERIFY(data.open(QIODevice::WriteOnly) && data.write("AB") == 2);
    data.close();

    Board board(dir.path());
    QVERIFY(board.start({"--board", "8088", "--port", "2", "--fast"}));
    const QString device = QFile::symLinkTarget(board.comPath(2));
    QVERIFY2(device.startsWith("/dev/pts/") && device != "/dev/pts/9999", qPrintable(device));

    // Closing and reopening the port, as Kestrion's settings command does, works.
    QVERIFY(board.openPort(2));
    board.closePort();
    QVERIFY(board.openPort(2));
    board.control("send " + QFile::encodeName(data.fileName()), 2);
    QCOMPARE(board.read(5), QByteArray("4142\x1A"));

    // A second board on the same port is refused and leaves the first one alone.
    QProcess second;
    second.start(VXT_BOARD_PATH, {"--dir", dir.path(), "--port", "2"});
    QVERIFY(second.waitForFinished(3000));
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(second.readAllStandardError().contains("running board"));
    QCOMPARE(QFile::symLinkTarget(board.comPath(2)), device);

    // Something that is not ours is never replaced.
    QFile mine(dir.path() + "/COM3");
    QVERIFY(mine.open(QIODevice::WriteOnly));
    mine.close();
    second.start(VXT_BOARD_PATH, {"--dir", dir.path(), "--port", "3"});
    QVERIFY(second.waitForFinished(3000));
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(QFileInfo(mine.fileName()).isFile());

    // Ending by signal removes the link and the FIFO.
    board.closePort();
    board.process.terminate();
    QVERIFY(board.process.waitForFinished(3000));
    QCOMPARE(board.process.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(board.comPath(2)) && !QFileInfo(board.comPath(2)).isSymLink());
    QVERIFY(!QFileInfo::exists(board.comPath(2) + ".ctl"));
}

void SimulatorTest::boardOnTheNetwork()
{
    QTemporaryDir dir;
    // An address file left behind by a board that was killed is replaced.
    writeTestFile(dir.path() + "/COM1", "socket://127.0.0.1:1\n");
    const QString data = writeTestFile(dir.path() + "/up.bin", QByteArray("\xFF\x00\xFF", 3));

    Board board(dir.path());
    QVERIFY(board.start({"--board", "8052", "--listen", "0", "--fast", "--quiet-ms", "150",
                         "--inbox", dir.path() + "/in"}));
    QVERIFY(QFileInfo(board.comPath()).isFile());
    QVERIFY(board.connectTcp());

    // Both directions, byte for byte.
    board.write(QByteArray("\x02\xFF\x0D\x00", 4));
    QVERIFY(!board.waitForLine("download 1: 4 byte(s)").isEmpty());
    QCOMPARE(fileBytes(dir.path() + "/in/download-001.bin"), QByteArray("\x02\xFF\x0D\x00", 4));
    board.control("send " + QFile::encodeName(data));
    QCOMPARE(board.read(5), QByteArray("\x00\x03\xFF\x00\xFF", 5));

    // One client at a time: another is closed at once; when the first has gone, the
    // next one has the line.
    Board second(dir.path());
    QVERIFY(second.connectTcp());
    QCOMPARE(second.read(1), QByteArray());
    QVERIFY(!board.waitForLine("another client turned away").isEmpty());
    second.closePort();
    board.closePort();
    QVERIFY(!board.waitForLine("client left").isEmpty());
    QVERIFY(board.connectTcp());
    QVERIFY(!board.waitForLine("client connected").isEmpty());
    board.control("send " + QFile::encodeName(data));
    QCOMPARE(board.read(5), QByteArray("\x00\x03\xFF\x00\xFF", 5));

    // Ending removes the address file and the FIFO.
    board.closePort();
    board.process.terminate();
    QVERIFY(board.process.waitForFinished(3000));
    QVERIFY(!QFileInfo::exists(board.comPath()));
    QVERIFY(!QFileInfo::exists(board.comPath() + ".ctl"));
}

QTEST_GUILESS_MAIN(SimulatorTest)
#include "tst_simulator.moc"
