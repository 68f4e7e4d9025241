// Lines to a board: one set of tests run against each kind, with the board's end held by
// the test — a pseudo-terminal behind the serial port, a TCP connection the test accepts
// itself, and Debian's ser2net on 127.0.0.1 in front of a pseudo-terminal, raw and with
// RFC 2217. Then transfers through RFC 2217, a server of the test's own that answers
// amiss, how opening fails, a slow server (behind a delaying proxy) and a raw address to
// a telnet server, the addresses, what a port name stands for, the selected line and the
// probe of network ports.

#include "codecs.h"
#include "commport.h"
#include "comportmap.h"
#include "delayingproxy.h"
#include "lineaddress.h"
#include "lines.h"
#include "linesender.h"
#include "portlisting.h"
#include "ptyboard.h"
#include "selectedline.h"
#include "ser2netserver.h"
#include "tcpline.h"
#include "testfiles.h"
#include "transfersession.h"
#include "transfertexts.h"

#include <QEventLoop>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int WaitMs = 10000;   // for anything that should happen at once
constexpr qint64 FastPacing = 200000;   // bytes a second: the tests need not wait for the line

enum class Kind { Pty, Tcp, Ser2NetRaw, Ser2NetRfc2217 };

// Runs the event loop until `done` holds, for at most `ms`. (QTest::qWaitFor sleeps
// between its looks, which would hold a fast paced stream back.)
bool waitUntil(const std::function<bool()> &done, int ms = WaitMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    look.start(2);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

// A stream in which every other byte is 0xFF, the telnet escape, next to every value.
QByteArray escapeRich(qsizetype size)
{
    QByteArray bytes = sample(size);
    for (qsizetype i = 0; i < size; i += 2)
        bytes[i] = char(0xFF);
    return bytes;
}

// The board's end of a line of one kind, and the line to it.
class Rig {
public:
    // The line's clock, in bytes a second.
    qint64 pacing = FastPacing;

    // False with `why` set when this kind cannot be had here.
    bool start(Kind kind, QString *why)
    {
        if (kind == Kind::Pty) {
            m_pty = std::make_unique<PtyBoard>(m_folder.path(), 1);
            if (!m_pty->isValid()) {
                *why = QStringLiteral("no pseudo-terminal");
                return false;
            }
            m_address = m_pty->devicePath();
        } else if (kind == Kind::Tcp) {
            if (!m_server.listen(QHostAddress::LocalHost, 0)) {
                *why = m_server.errorString();
                return false;
            }
            QObject::connect(&m_server, &QTcpServer::newConnection, [this] {
                while (QTcpSocket *client = m_server.nextPendingConnection()) {
                    if (m_client)
                        client->abort();   // one client at a time
                    else
                        m_client = client;
                }
            });
            m_address = QStringLiteral("socket://127.0.0.1:%1").arg(m_server.serverPort());
        } else {
            if (!Ser2NetServer::isInstalled()) {
                *why = QStringLiteral("ser2net is not installed");
                return false;
            }
            m_pty = std::make_unique<PtyBoard>(m_folder.path(), 1);
            m_ser2net = std::make_unique<Ser2NetServer>();
            // Settings the RFC 2217 line must change: the raw line keeps them.
            if (!m_pty->isValid() || !m_ser2net->start(m_pty->devicePath(), QStringLiteral("19200e72,rtscts"))) {
                *why = QStringLiteral("ser2net did not start: ") + m_ser2net->errorText();
                return false;
            }
            m_address = kind == Kind::Ser2NetRaw ? m_ser2net->rawAddress() : m_ser2net->rfc2217Address();
        }
        LineOptions options;
        options.pacingBytesPerSecond = pacing;
        line = makeLine(parsePortChoice(m_address).choice, nullptr, options);
        if (!line) {
            *why = QStringLiteral("no line for ") + m_address;
            return false;
        }
        return true;
    }

    // Opens the line, which from now on gathers what the board sends in fromBoard.
    bool open()
    {
        QObject::connect(line.get(), &Line::received, [this](const QByteArray &bytes) { fromBoard += bytes; });
        QSignalSpy opened(line.get(), &Line::opened);
        return line->open() && (line->isOpen() || opened.wait(WaitMs)) && line->isOpen();
    }

    QString address() const { return m_address; }

    // What the board has received so far.
    const QByteArray &boardGot()
    {
        if (m_pty)
            return m_pty->received();
        if (m_client)
            m_boardGot += m_client->readAll();
        return m_boardGot;
    }
    bool waitBoardGot(qsizetype count) { return waitUntil([&] { return boardGot().size() >= count; }); }
    bool waitFromBoard(qsizetype count) { return waitUntil([&] { return fromBoard.size() >= count; }); }

    void boardSends(const QByteArray &bytes)
    {
        if (m_pty) {
            m_pty->send(bytes);
        } else if (m_client) {
            m_client->write(bytes);
            m_client->flush();
        }
    }

    // The other end goes away: the board's device, its connection, or the whole server.
    void dropConnection()
    {
        if (m_ser2net)
            m_ser2net->stop();
        else if (m_pty)
            m_pty->hangUp();
        else if (m_client)
            m_client->abort();
    }

    // The line settings of the device behind the server, while a client is connected.
    bool deviceSettings(termios *settings) const
    {
        const int fd = ::open(QFile::encodeName(m_pty->devicePath()).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const bool ok = fd >= 0 && ::tcgetattr(fd, settings) == 0;
        if (fd >= 0)
            ::close(fd);
        return ok;
    }

    std::unique_ptr<Line> line;
    QByteArray fromBoard;   // what the line delivered

private:
    QTemporaryDir m_folder;
    QString m_address;
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QByteArray m_boardGot;
    std::unique_ptr<PtyBoard> m_pty;
    std::unique_ptr<Ser2NetServer> m_ser2net;
};

void addKinds()
{
    QTest::addColumn<Kind>("kind");
    QTest::newRow("pty") << Kind::Pty;
    QTest::newRow("tcp") << Kind::Tcp;
    QTest::newRow("ser2net raw") << Kind::Ser2NetRaw;
    QTest::newRow("ser2net rfc2217") << Kind::Ser2NetRfc2217;
}

#define START_RIG(rig, kind)                                                                                           \
    do {                                                                                                               \
        QString why;                                                                                                   \
        if (!(rig).start(kind, &why)) {                                                                                \
            if (why.contains(QLatin1String("not installed")))                                                          \
                QSKIP(qPrintable(why));                                                                                \
            QFAIL(qPrintable(why));                                                                                    \
        }                                                                                                              \
    } while (false)

// A listening socket that accepts no connection: the system completes the first one
// and takes what comes on it until its buffer is full, but nobody reads it. With its
// queue full, a further connection is never answered.
class IdleServer {
public:
    enum Queue { Empty, Full };
    explicit IdleServer(Queue queue)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&address), size) != 0 || ::listen(m_fd, 0) != 0
            || ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&address), &size) != 0)
            return;
        m_port = ntohs(address.sin_port);
        if (queue == Full) {
            m_filler.connectToHost(QHostAddress::LocalHost, m_port);
            m_filler.waitForConnected(WaitMs);
        }
    }
    ~IdleServer()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    quint16 port() const { return m_port; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    QTcpSocket m_filler;
};

} // namespace

Q_DECLARE_METATYPE(Kind)
Q_DECLARE_METATYPE(Board)
Q_DECLARE_METATYPE(Direction)

class LinesTest : public QObject {
    Q_OBJECT

private slots:
    void streamsBothWaysAtOnce_data() { addKinds(); }
    void streamsBothWaysAtOnce();
    void discardEndsTheStream_data() { addKinds(); }
    void discardEndsTheStream();
    void droppedConnectionFails_data() { addKinds(); }
    void droppedConnectionFails();
    void unreadOutputStaysQueued();
    void transfersThroughRfc2217_data();
    void transfersThroughRfc2217();
    void interruptThroughRfc2217();
    void scriptedServer_data();
    void scriptedServer();
    void openFailures_data();
    void openFailures();
    void slowServerAnswersLate_data();
    void slowServerAnswersLate();
    void rawLineToATelnetServer();
    void addresses_data();
    void addresses();
    void portNames();
    void setupFaults();
    void selectedLineOpensWhatItsPortStandsFor();
    void networkPortsProbedAtOnce();
    void networkFaultTexts();
};

void LinesTest::streamsBothWaysAtOnce()
{
    QFETCH(Kind, kind);
    Rig rig;
    START_RIG(rig, kind);
    QVERIFY(rig.open());

    // Streams full of 0xFF each way at the same time; through RFC 2217, where 0xFF is
    // escaped, the longest an 8052 upload can be.
    const QByteArray down = escapeRich(kind == Kind::Ser2NetRfc2217 ? 65536 : 16384);
    QByteArray up = down;
    std::reverse(up.begin(), up.end());
    LineSender sender(*rig.line, down);
    sender.pump();
    rig.boardSends(up);
    QVERIFY(rig.waitFromBoard(up.size()));
    QVERIFY(rig.waitBoardGot(down.size()));
    QCOMPARE(rig.fromBoard, up);
    QCOMPARE(rig.boardGot(), down);

    if (kind == Kind::Ser2NetRaw || kind == Kind::Ser2NetRfc2217) {
        // The server was told 19200 baud, even parity, 2 stop bits, RTS/CTS: over RFC
        // 2217 the line is 9600 8N1 without flow control while it is connected. (A
        // pseudo-terminal always has 8 data bits and no parity.)
        termios settings{};
        QVERIFY(rig.deviceSettings(&settings));
        const bool rfc2217 = kind == Kind::Ser2NetRfc2217;
        QCOMPARE(cfgetospeed(&settings), speed_t(rfc2217 ? B9600 : B19200));
        QCOMPARE(bool(settings.c_cflag & CSTOPB), !rfc2217);
        QCOMPARE(bool(settings.c_cflag & CRTSCTS), !rfc2217);
    }
}

void LinesTest::discardEndsTheStream()
{
    QFETCH(Kind, kind);
    Rig rig;
    rig.pacing = 4800;   // slow enough to be caught midway
    START_RIG(rig, kind);
    QVERIFY(rig.open());

    const QByteArray stream = escapeRich(4000);
    LineSender sender(*rig.line, stream);
    sender.pump();
    QVERIFY(rig.waitBoardGot(1000));
    sender.stop();
    const OutputDiscard discard = rig.line->discardOutput();
    if (kind == Kind::Tcp || kind == Kind::Ser2NetRaw) {
        // Nothing can be called back: it all reaches the board.
        QVERIFY(discard.known);
        QCOMPARE(discard.dropped, 0);
    } else {
        // The server is told to purge, the pseudo-terminal flushed: what went cannot be
        // seen, only what surely did not.
        QVERIFY(!discard.known);
        QVERIFY(discard.dropped <= LinePacer::QueueAhead);
    }

    // The board holds an exact prefix, and nothing more comes.
    QTest::qWait(300);
    const QByteArray got = rig.boardGot();
    QVERIFY(got.size() <= sender.sent());
    QCOMPARE(got, stream.left(got.size()));
    QTest::qWait(300);
    QCOMPARE(rig.boardGot().size(), got.size());

    // The line carries the next stream whole.
    const QByteArray next = sample(500);
    LineSender again(*rig.line, next);
    again.pump();
    QVERIFY(rig.waitBoardGot(got.size() + next.size()));
    QCOMPARE(rig.boardGot(), got + next);
}

void LinesTest::droppedConnectionFails()
{
    QFETCH(Kind, kind);
    Rig rig;
    START_RIG(rig, kind);
    QVERIFY(rig.open());
    QSignalSpy failed(rig.line.get(), &Line::failed);
    QSignalSpy closed(rig.line.get(), &Line::closed);

    // What the board sent just before the end is delivered before the failure.
    const QByteArray last = escapeRich(300);
    QByteArray deliveredAtFailure;
    QObject::connect(rig.line.get(), &Line::failed, [&] { deliveredAtFailure = rig.fromBoard; });
    rig.boardSends(last);
    if (kind != Kind::Tcp)
        QVERIFY(rig.waitFromBoard(last.size()));   // through the device first
    rig.dropConnection();

    QVERIFY(failed.wait(WaitMs));
    QCOMPARE(failed.size(), 1);
    // A device that went away, a connection that dropped: nothing more to tell.
    const auto reason = failed.at(0).at(0).value<PortError>();
    QCOMPARE(reason.port, rig.address());
    QCOMPARE(reason.kind, kind == Kind::Pty ? PortError::Missing : PortError::ConnectionLost);
    QCOMPARE(deliveredAtFailure, last);
    QCOMPARE(closed.size(), 0);
    QVERIFY(!rig.line->isOpen());
    QCOMPARE(rig.line->outputRoom(), 0);
}

void LinesTest::unreadOutputStaysQueued()
{
    // A server that takes nothing: what it has not acknowledged counts as queued ahead
    // of the line, however much the system would buffer, so that a transfer waits
    // rather than finishing into the system's buffers.
    IdleServer server(IdleServer::Empty);
    QVERIFY(server.port() != 0);
    const QString address = QStringLiteral("socket://127.0.0.1:%1").arg(server.port());
    LineOptions options;
    options.pacingBytesPerSecond = 1'000'000'000;   // the clock says nothing is queued
    std::unique_ptr<Line> line = makeNetworkLine(address, address, nullptr, options);
    QSignalSpy opened(line.get(), &Line::opened);
    QVERIFY(line->open() && opened.wait(WaitMs));

    const qsizetype size = 1024 * 1024;
    line->output(QByteArray(size, 'x'));
    QTest::qWait(200);
    QVERIFY2(line->queuedAhead() > size / 2, qPrintable(QString::number(line->queuedAhead())));
    QCOMPARE(line->outputRoom(), 0);
}

void LinesTest::transfersThroughRfc2217_data()
{
    QTest::addColumn<Board>("board");
    QTest::addColumn<Direction>("direction");
    QTest::newRow("8088 download") << Board::Vxt8088 << Direction::Download;
    QTest::newRow("8052 download") << Board::Vxt8052 << Direction::Download;
    QTest::newRow("8088 upload") << Board::Vxt8088 << Direction::Upload;
    QTest::newRow("8052 upload") << Board::Vxt8052 << Direction::Upload;
}

// Whole transfers of both boards through ser2net with RFC 2217, in data full of 0xFF (an
// 8052 length of 511 is 0x01FF): the session opens the line itself and waits for it.
void LinesTest::transfersThroughRfc2217()
{
    QFETCH(Board, board);
    QFETCH(Direction, direction);
    Rig rig;
    START_RIG(rig, Kind::Ser2NetRfc2217);
    QTemporaryDir dir;
    const QByteArray content = escapeRich(511);
    const QByteArray wire = board == Board::Vxt8088 ? QByteArray(HexEncoder::encode(content) + char(HexEndOfStream))
                                                    : QByteArray(QByteArray("\x01\xFF", 2) + content);
    TransferSession session(board, *rig.line);
    QSignalSpy finished(&session, &TransferSession::finished);
    const QString path = dir.filePath(QStringLiteral("file.bin"));
    if (direction == Direction::Download) {
        session.startDownload(writeTestFile(path, content));
        QVERIFY(rig.line->isOpening());
        QVERIFY(finished.wait(WaitMs));
        QVERIFY(rig.waitBoardGot(board == Board::Vxt8088 ? wire.size() : content.size()));
        QCOMPARE(rig.boardGot(), board == Board::Vxt8088 ? wire : content);
    } else {
        session.startUpload(path);
        QVERIFY(waitUntil([&] { return rig.line->isOpen(); }));
        rig.boardSends(wire);
        QVERIFY(finished.wait(WaitMs));
        QCOMPARE(fileBytes(path), content);
    }
    const auto outcome = finished.first().first().value<TransferOutcome>();
    QCOMPARE(outcome.kind, TransferOutcome::Completed);
    QCOMPARE(outcome.count, content.size());
}

// An interrupt over the network sends nothing more: the board holds the start of the
// stream, and the count is at most what went, as the server's purge cannot be seen.
void LinesTest::interruptThroughRfc2217()
{
    Rig rig;
    rig.pacing = 4800;   // slow enough to be caught midway
    START_RIG(rig, Kind::Ser2NetRfc2217);
    QVERIFY(rig.open());
    QTemporaryDir dir;
    const QByteArray content = escapeRich(4000);
    TransferSession session(Board::Vxt8052, *rig.line);
    QSignalSpy finished(&session, &TransferSession::finished);
    session.startDownload(writeTestFile(dir.filePath(QStringLiteral("s")), content));
    QVERIFY(rig.waitBoardGot(1000));
    session.interrupt(Direction::Download);
    QCOMPARE(finished.size(), 1);
    const auto outcome = finished.first().first().value<TransferOutcome>();
    QCOMPARE(outcome.kind, TransferOutcome::Interrupted);
    QVERIFY(outcome.countIsUpperBound);

    QTest::qWait(300);
    const QByteArray got = rig.boardGot();
    QVERIFY2(got.size() <= outcome.count && outcome.count < content.size(),
             qPrintable(QStringLiteral("count %1, the board holds %2").arg(outcome.count).arg(got.size())));
    QCOMPARE(got, content.left(got.size()));
    QTest::qWait(300);
    QCOMPARE(rig.boardGot().size(), got.size());
}

namespace {

QByteArray comPortSub(const QByteArray &body)
{
    return QByteArray("\xFF\xFA\x2C", 3) + body + QByteArray("\xFF\xF0", 2);
}

const QByteArray PurgeRequest = comPortSub(QByteArray("\x0C\x01", 2));   // of the server's input
const QByteArray PurgeAnswer = comPortSub(QByteArray("\x70\x01", 2));
const QByteArray BaudAnswer = comPortSub(QByteArray("\x65\x00\x00\x25\x80", 5));   // 9600

} // namespace

void LinesTest::scriptedServer_data()
{
    QTest::addColumn<QByteArray>("answers");    // to the line settings
    QTest::addColumn<QByteArray>("whenOpen");   // after the line's own purge, if it opened
    QTest::addColumn<QByteArray>("data");       // what the line took as the board's
    QTest::addColumn<int>("failure");           // why the open, or the open line, failed
    QTest::addColumn<QString>("system");
    const QByteArray longSub = "\xFF\xFA\x2C" + QByteArray(20000, 'S') + "\xFF\xF0";
    const int none = PortError::None;
    // The server answers before it passes on what the board sends at the new settings:
    // what follows the purge's answer in the same piece is the open line's first data.
    QTest::newRow("data right after the answers")
        << BaudAnswer + PurgeAnswer + "first" << QByteArray() << QByteArray("first") << none << QString();
    // What the server held before it had purged is not the board's data.
    QTest::newRow("stale bytes before the purge's answer")
        << BaudAnswer + "stale" + PurgeAnswer + "first" << QByteArray() << QByteArray("first") << none << QString();
    QTest::newRow("stale bytes before an upload's purge is answered")
        << BaudAnswer + PurgeAnswer << QByteArray("stale" + PurgeAnswer + "fresh") << QByteArray("fresh") << none
        << QString();
    QTest::newRow("115200 answered to 9600")
        << comPortSub(QByteArray("\x65\x00\x01\xC2\x00", 5)) + PurgeAnswer << QByteArray() << QByteArray()
        << int(PortError::LineSettingsRefused) << "115200 8N1";
    QTest::newRow("300 answered to 9600")
        << comPortSub(QByteArray("\x65\x00\x00\x01\x2C", 5)) + PurgeAnswer << QByteArray() << QByteArray()
        << int(PortError::LineSettingsRefused) << "300 8N1";
    QTest::newRow("even parity answered")
        << comPortSub("\x67\x03") << QByteArray() << QByteArray() << int(PortError::LineSettingsRefused) << "9600 8E1";
    QTest::newRow("long subnegotiation while opening")
        << longSub << QByteArray() << QByteArray() << int(PortError::OverlongSubnegotiation) << "1024";
    // Nothing of it is stored, nor anything after it; the line fails.
    QTest::newRow("long subnegotiation on the open line")
        << BaudAnswer + PurgeAnswer << PurgeAnswer + "data" + longSub + "spill" << QByteArray("data")
        << int(PortError::OverlongSubnegotiation) << QString();
}

// An RFC 2217 server of the test's own on 127.0.0.1, which agrees to the option and answers
// the line settings as the row says.
void LinesTest::scriptedServer()
{
    QFETCH(QByteArray, answers);
    QFETCH(QByteArray, whenOpen);
    QFETCH(QByteArray, data);
    QFETCH(int, failure);
    QFETCH(QString, system);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const QString address = QStringLiteral("rfc2217://127.0.0.1:%1").arg(server.serverPort());
    std::unique_ptr<Line> line = makeNetworkLine(address, address);
    QVERIFY(line);
    QByteArray got;
    connect(line.get(), &Line::received, this, [&](const QByteArray &bytes) { got += bytes; });
    QSignalSpy opened(line.get(), &Line::opened);
    QSignalSpy openFailed(line.get(), &Line::openFailed);
    QSignalSpy failed(line.get(), &Line::failed);
    QVERIFY(line->open());
    QVERIFY(server.waitForNewConnection(WaitMs));
    QTcpSocket *peer = server.nextPendingConnection();
    peer->write(QByteArray("\xFF\xFD\x2C\xFF\xFB\x00\xFF\xFD\x00", 9));   // DO COM-PORT-OPTION, binary both ways
    QByteArray heard;
    auto hear = [&](const QByteArray &request) {
        return waitUntil([&] {
            heard += peer->readAll();
            return heard.contains(request);
        });
    };
    QVERIFY(hear(PurgeRequest));   // the line settings, then the purge
    peer->write(answers);
    QVERIFY(waitUntil([&] { return !opened.isEmpty() || !openFailed.isEmpty(); }));
    QTemporaryDir dir;
    TransferSession session(Board::Vxt8052, *line);
    QSignalSpy finished(&session, &TransferSession::finished);
    if (!whenOpen.isEmpty()) {
        QCOMPARE(opened.size(), 1);
        heard.clear();
        session.startUpload(dir.filePath(QStringLiteral("up")));   // purges the server's input
        QVERIFY(hear(PurgeRequest));
        peer->write(whenOpen);
    }
    const bool failsOpen = whenOpen.isEmpty() && failure != PortError::None;
    const bool failsOpenLine = !whenOpen.isEmpty() && failure != PortError::None;
    QVERIFY(waitUntil([&] { return got.size() >= data.size() && (!failsOpenLine || !failed.isEmpty()); }));
    QCOMPARE(got, data);
    QCOMPARE(opened.size(), failsOpen ? 0 : 1);
    QCOMPARE(failed.size(), failsOpenLine ? 1 : 0);
    if (failsOpen) {
        const auto error = openFailed.at(0).at(0).value<PortError>();
        QCOMPARE(int(error.kind), failure);
        QCOMPARE(error.system.text, system);
        const QString text = TransferTexts::portError(Language::English, error);
        QVERIFY2(text.contains(system) && text.contains(address), qPrintable(text));
    }
    if (failsOpenLine) {   // the upload ends, with the reason
        QCOMPARE(finished.size(), 1);
        const auto outcome = finished.first().first().value<TransferOutcome>();
        QCOMPARE(outcome.fault, TransferFault::PortFailed);
        QCOMPARE(int(outcome.portError.kind), failure);
        const QString text = TransferTexts::ending(Language::English, outcome).message.text;
        QVERIFY2(text.contains(QLatin1String("telnet subnegotiation longer than")), qPrintable(text));
    }
}

void LinesTest::openFailures_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<int>("expected");
    QTest::newRow("refused") << "refused" << int(PortError::Refused);
    QTest::newRow("host unknown") << "unknown host" << int(PortError::HostUnknown);
    QTest::newRow("no answer") << "no answer" << int(PortError::TimedOut);
    QTest::newRow("no answer, the address's timeout") << "no answer, timeout=0.3" << int(PortError::TimedOut);
    QTest::newRow("server's port in use, raw") << "busy raw" << int(PortError::ConnectionLost);
    QTest::newRow("server's port in use, rfc2217") << "busy rfc2217" << int(PortError::ConnectionLost);
    QTest::newRow("telnet without the option") << "plain telnet" << int(PortError::NoComPortOption);
    QTest::newRow("rfc2217 to a raw server") << "silent raw" << int(PortError::NoComPortOption);
    QTest::newRow("server's words before it closes") << "says and closes" << int(PortError::ConnectionLost);
}

void LinesTest::openFailures()
{
    QFETCH(QString, situation);
    QFETCH(int, expected);

    QTemporaryDir folder;
    std::unique_ptr<PtyBoard> pty;
    std::unique_ptr<Ser2NetServer> ser2net;
    std::unique_ptr<Line> holder;   // a first user of the server's port
    QTcpServer silent;
    std::optional<IdleServer> unanswering;
    QString address;
    if (situation == "refused") {
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
        address = QStringLiteral("socket://127.0.0.1:%1").arg(gone.serverPort());
    } else if (situation == "unknown host") {
        address = QStringLiteral("socket://no-such-host.invalid:3001");
    } else if (situation.startsWith("no answer")) {
        unanswering.emplace(IdleServer::Full);
        QVERIFY(unanswering->port() != 0);
        address = QStringLiteral("socket://127.0.0.1:%1").arg(unanswering->port());
        if (situation.contains("timeout="))
            address += "?" + situation.section(", ", 1);
    } else if (situation == "silent raw") {
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        address = QStringLiteral("rfc2217://127.0.0.1:%1").arg(silent.serverPort());
    } else if (situation == "says and closes") {
        // As ser2net does when the device is missing, with a control character in it.
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&silent, &QTcpServer::newConnection, [&silent] {
            QTcpSocket *peer = silent.nextPendingConnection();
            peer->write("\r\nDevice open failure:\x1b[2J Value or file not found\r\n");
            peer->disconnectFromHost();
        });
        address = QStringLiteral("socket://127.0.0.1:%1").arg(silent.serverPort());
    } else {
        if (!Ser2NetServer::isInstalled())
            QSKIP("ser2net is not installed");
        pty = std::make_unique<PtyBoard>(folder.path(), 1);
        ser2net = std::make_unique<Ser2NetServer>();
        QVERIFY2(ser2net->start(pty->devicePath()), qPrintable(ser2net->errorText()));
        address = situation == "busy raw"       ? ser2net->rawAddress()
            : situation == "busy rfc2217" ? ser2net->rfc2217Address()
                                          : ser2net->plainTelnetAddress();
        if (situation.startsWith("busy")) {
            holder = makeNetworkLine(address, address);
            QSignalSpy opened(holder.get(), &Line::opened);
            QVERIFY(holder->open() && opened.wait(WaitMs));
        }
    }

    // Where nothing answers, the open timeout decides: a short one, as for a probe.
    const bool unanswered = situation == "no answer" || situation == "silent raw" || situation == "plain telnet";
    // The address's own timeout takes the place of a transfer's (longer) one.
    const bool ownTimeout = address.contains("timeout=");
    LineOptions options;
    if (!ownTimeout)
        options.openTimeoutMs = unanswered ? LineOptions::ProbeTimeoutMs : WaitMs;
    std::unique_ptr<Line> line = makeNetworkLine(address, address, nullptr, options);
    QVERIFY(line);
    QSignalSpy failed(line.get(), &Line::openFailed);
    QSignalSpy opened(line.get(), &Line::opened);
    PortError error;
    if (line->open(&error)) {
        QVERIFY(line->isOpening());
        QVERIFY(failed.wait(ownTimeout ? LineOptions::OpenTimeoutMs / 2 : WaitMs));
        error = failed.at(0).at(0).value<PortError>();
    }
    QCOMPARE(int(error.kind), expected);
    QCOMPARE(error.port, address);
    if (situation == "says and closes")
        QCOMPARE(error.serverSaid, QStringLiteral("Device open failure:\x1b[2J Value or file not found"));
    QCOMPARE(opened.size(), 0);
    QVERIFY(!line->isOpen() && !line->isOpening());
    if (holder)
        QVERIFY(holder->isOpen());   // the first user keeps the port
}

// A server slower than the probe's short time (a lab reached over a VPN) is not hidden:
// the probe says it did not answer in time, and tries on until the open timeout, which
// covers connecting and negotiating together.
void LinesTest::slowServerAnswersLate_data()
{
    QTest::addColumn<int>("delayMs");   // each way
    QTest::newRow("250 ms") << 250;
    QTest::newRow("600 ms") << 600;
}

void LinesTest::slowServerAnswersLate()
{
    QFETCH(int, delayMs);
    if (!Ser2NetServer::isInstalled())
        QSKIP("ser2net is not installed");
    QTemporaryDir comFolder;
    ComFolder useFolder(comFolder.path());
    PtyBoard device(comFolder.path(), 1);
    Ser2NetServer ser2net;
    QVERIFY2(ser2net.start(device.devicePath()), qPrintable(ser2net.errorText()));
    DelayingProxy proxy(ser2net.rfc2217Port(), delayMs);
    QVERIFY(proxy.port() != 0);
    const QString address = QStringLiteral("rfc2217://127.0.0.1:%1").arg(proxy.port());
    writeTestFile(comFolder.filePath(QStringLiteral("COM3")), address.toUtf8());

    NetworkPortProbe probe;
    QSignalSpy finished(&probe, &NetworkPortProbe::finished);
    QSignalSpy late(&probe, &NetworkPortProbe::answeredLate);
    probe.start({3}, LineOptions::ProbeTimeoutMs);
    QVERIFY(finished.wait(WaitMs));
    QVERIFY(probe.reachable().isEmpty());
    QCOMPARE(probe.unreachable().size(), 1);
    QCOMPARE(probe.unreachable()[0].kind, PortError::TimedOut);
    QCOMPARE(probe.unreachable()[0].device, address);
    QVERIFY(late.wait(WaitMs));
    QCOMPARE(late.first().first().toInt(), 3);
    QCOMPARE(probe.reachable(), QList<int>{3});
    QVERIFY(probe.unreachable().isEmpty());
}

// A raw address to a server port that speaks telnet is refused, naming the cure: the
// server's negotiation would be taken for data. Where it comes only after the line
// opened, the line fails rather than passing it on.
void LinesTest::rawLineToATelnetServer()
{
    if (!Ser2NetServer::isInstalled())
        QSKIP("ser2net is not installed");
    QTemporaryDir folder;
    PtyBoard device(folder.path(), 1);
    Ser2NetServer ser2net;
    QVERIFY2(ser2net.start(device.devicePath()), qPrintable(ser2net.errorText()));
    const QString address = QStringLiteral("socket://127.0.0.1:%1").arg(ser2net.rfc2217Port());
    std::unique_ptr<Line> line = makeNetworkLine(QStringLiteral("COM5"), address);
    QSignalSpy refused(line.get(), &Line::openFailed);
    QVERIFY(line->open());
    QVERIFY(refused.wait(WaitMs));
    const PortError error = refused.first().first().value<PortError>();
    QCOMPARE(error.kind, PortError::TelnetServer);
    QVERIFY(TransferTexts::portError(Language::English, error)
                .contains(QStringLiteral("use rfc2217://127.0.0.1:%1").arg(ser2net.rfc2217Port())));

    DelayingProxy slow(ser2net.rfc2217Port(), TcpLine::SettleMs * 3);
    const QString slowAddress = QStringLiteral("socket://127.0.0.1:%1").arg(slow.port());
    line = makeNetworkLine(slowAddress, slowAddress);
    QSignalSpy opened(line.get(), &Line::opened);
    QSignalSpy received(line.get(), &Line::received);
    TransferSession session(Board::Vxt8052, *line);
    QSignalSpy finished(&session, &TransferSession::finished);
    QTemporaryDir dir;
    session.startUpload(dir.filePath(QStringLiteral("up")));   // opens the line
    QVERIFY(opened.wait(WaitMs));
    QVERIFY(finished.wait(WaitMs));
    QVERIFY(received.isEmpty());
    QVERIFY(!line->isOpen());
    const auto outcome = finished.first().first().value<TransferOutcome>();
    QCOMPARE(outcome.fault, TransferFault::PortFailed);
    QCOMPARE(outcome.portError.kind, PortError::TelnetServer);
    QVERIFY(TransferTexts::ending(Language::English, outcome)
                .message.text.contains(QStringLiteral("use rfc2217://127.0.0.1:%1").arg(slow.port())));

    // A board's data that begin as one command would (an 8052 upload of 65530 bytes) are
    // data once the line is open.
    Rig rig;
    START_RIG(rig, Kind::Tcp);
    QVERIFY(rig.open());
    const QByteArray upload("\xFF\xFA\x01\x02\xFF\x03", 6);
    rig.boardSends(upload);
    QVERIFY(rig.waitFromBoard(upload.size()));
    QCOMPARE(rig.fromBoard, upload);
    QVERIFY(rig.line->isOpen());
}

void LinesTest::addresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("problem");
    QTest::addColumn<QString>("canonical");   // valid: the address as written back
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("openTimeoutMs");   // valid: 0 when the address gives none

    const int ok = int(AddressProblem::None);
    QTest::newRow("raw, IPv4") << "socket://192.168.1.20:3001" << ok << "socket://192.168.1.20:3001"
                               << "192.168.1.20" << 0;
    QTest::newRow("rfc2217, name") << "rfc2217://labpi:3005" << ok << "rfc2217://labpi:3005" << "labpi" << 0;
    QTest::newRow("scheme in capitals, blanks around")
        << "  RFC2217://lab-pi.school.example:65535\r\n" << ok << "rfc2217://lab-pi.school.example:65535"
        << "lab-pi.school.example" << 0;
    QTest::newRow("IPv6 in brackets") << "rfc2217://[fd00::7]:3002" << ok << "rfc2217://[fd00::7]:3002" << "fd00::7" << 0;
    QTest::newRow("IPv6 loopback") << "socket://[::1]:1" << ok << "socket://[::1]:1" << "::1" << 0;

    // As other embedded tools write them: a closing slash, options that are honoured or
    // knowingly ignored.
    QTest::newRow("closing slash") << "rfc2217://labpi:3001/" << ok << "rfc2217://labpi:3001" << "labpi" << 0;
    QTest::newRow("ignored options") << "rfc2217://labpi:3001?ign_set_control&logging=debug" << ok
                                     << "rfc2217://labpi:3001" << "labpi" << 0;
    QTest::newRow("timeout, after a slash") << "socket://[::1]:7/?timeout=2.5" << ok << "socket://[::1]:7" << "::1" << 2500;
    QTest::newRow("longest timeout") << "socket://labpi:1?timeout=3600" << ok << "socket://labpi:1" << "labpi" << 3600000;
    const QString longest = QString(63, 'a') + "." + QString(63, 'b') + "." + QString(63, 'c') + "." + QString(61, 'd');
    QTest::newRow("longest host name") << "socket://" + longest + ":1" << ok << "socket://" + longest + ":1" << longest
                                       << 0;

    const auto bad = [](const char *name, const char *text, AddressProblem problem) {
        QTest::newRow(name) << QString::fromUtf8(text) << int(problem) << QString() << QString() << 0;
    };
    bad("unknown scheme", "telnet://labpi:23", AddressProblem::UnknownScheme);
    bad("no scheme", "labpi:3001", AddressProblem::UnknownScheme);
    bad("empty", "", AddressProblem::UnknownScheme);
    bad("no host", "socket://:3001", AddressProblem::NoHost);
    bad("nothing after the scheme", "rfc2217://", AddressProblem::NoHost);
    bad("empty brackets", "socket://[]:3001", AddressProblem::NoHost);
    bad("underscore in the name", "socket://lab_pi:3001", AddressProblem::BadHostName);
    bad("blank in the name", "socket://lab pi:3001", AddressProblem::BadHostName);
    bad("hyphen at the end of a label", "socket://labpi-.school:3001", AddressProblem::BadHostName);
    bad("empty label", "socket://labpi..school:3001", AddressProblem::BadHostName);
    bad("IPv4 number too large", "socket://192.168.1.300:3001", AddressProblem::BadIpv4);
    bad("IPv4 too short", "socket://10.1:3001", AddressProblem::BadIpv4);
    bad("IPv6 without brackets", "socket://fd00::7:3002", AddressProblem::Ipv6WithoutBrackets);
    bad("two addresses", "rfc2217://labpi:3001,labpi:3002", AddressProblem::BadHostName);
    bad("IPv4 in brackets", "socket://[10.0.0.1]:3001", AddressProblem::BadIpv6);
    bad("bracket not closed", "socket://[fd00::7:3002", AddressProblem::BadIpv6);
    bad("no port", "socket://labpi", AddressProblem::NoPort);
    bad("colon without a port", "socket://labpi:", AddressProblem::NoPort);
    bad("IPv6 without a port", "rfc2217://[::1]", AddressProblem::NoPort);
    bad("port 0", "socket://labpi:0", AddressProblem::BadPort);
    bad("port too large", "socket://labpi:65536", AddressProblem::BadPort);
    bad("port not a number", "socket://labpi:ser2net", AddressProblem::BadPort);
    bad("a path after the port", "socket://labpi:3001/x", AddressProblem::BadPort);
    bad("signed port", "socket://labpi:+3001", AddressProblem::BadPort);
    bad("two slashes", "socket://labpi:3001//", AddressProblem::BadPort);
    QTest::newRow("host name too long") << "socket://" + QString(250, 'a') + ".com:1" << int(AddressProblem::HostTooLong)
                                        << QString() << QString() << 0;
    QTest::newRow("label too long") << "socket://" + QString(64, 'a') + ":1" << int(AddressProblem::HostTooLong)
                                    << QString() << QString() << 0;
    bad("unknown option", "rfc2217://labpi:3001?ign_set_control&baudrate=9600", AddressProblem::UnknownOption);
    bad("ignored option with a value", "rfc2217://labpi:3001?ign_set_control=1", AddressProblem::UnknownOption);
    bad("timeout without seconds", "socket://labpi:3001?timeout=", AddressProblem::BadTimeout);
    bad("timeout 0", "socket://labpi:3001?timeout=0", AddressProblem::BadTimeout);
    bad("timeout too long", "socket://labpi:3001?timeout=3601", AddressProblem::BadTimeout);
    bad("timeout not a number", "socket://labpi:3001?timeout=1e3", AddressProblem::BadTimeout);
}

void LinesTest::addresses()
{
    QFETCH(QString, text);
    QFETCH(int, problem);
    QFETCH(QString, canonical);
    QFETCH(QString, host);
    QFETCH(int, openTimeoutMs);

    const ParsedLineAddress parsed = parseLineAddress(text);
    QCOMPARE(int(parsed.problem), problem);
    if (parsed.isValid()) {
        QCOMPARE(parsed.address.text(), canonical);
        QCOMPARE(parsed.address.host, host);
        QCOMPARE(parsed.address.openTimeoutMs, openTimeoutMs);
    }
    // An address that cannot be used makes no line, and says why.
    PortError error;
    QCOMPARE(bool(makeNetworkLine(QStringLiteral("COM5"), text, &error)), parsed.isValid());
    if (!parsed.isValid()) {
        QCOMPARE(error.kind, PortError::BadAddress);
        QCOMPARE(int(error.addressProblem), problem);
        QCOMPARE(error.addressOption, parsed.option);
        QCOMPARE(error.port, QStringLiteral("COM5"));
        QCOMPARE(error.device, text);
    }
}

void LinesTest::portNames()
{
    QTemporaryDir config;
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("kestrion")));
    writeTestFile(config.filePath(QStringLiteral("kestrion/ports.conf")),
                  "[ports]\nCOM5=rfc2217://labpi:3005\ncom7 = socket://[::1]:4000\nCOM16=socket://x:1\n");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qunsetenv("KESTRION_COM_DIR");

    // The ports file takes the place of single numbers of the table.
    QCOMPARE(ComPortMap::networkAddress(5), QStringLiteral("rfc2217://labpi:3005"));
    QCOMPARE(ComPortMap::networkAddress(7), QStringLiteral("socket://[::1]:4000"));
    QVERIFY(ComPortMap::networkAddress(6).isEmpty());

    // With KESTRION_COM_DIR only that folder counts: a regular file there holds an
    // address on its first line, a link leads to a device.
    {
        QTemporaryDir comFolder;
        ComFolder useFolder(comFolder.path());
        writeTestFile(comFolder.filePath(QStringLiteral("COM2")), "  socket://127.0.0.1:4001 \nanything else\n");
        writeTestFile(comFolder.filePath(QStringLiteral("COM3")), "");
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), comFolder.filePath(QStringLiteral("COM1"))));
        QCOMPARE(ComPortMap::networkAddress(2), QStringLiteral("socket://127.0.0.1:4001"));
        QVERIFY(ComPortMap::networkAddress(1).isEmpty());
        QVERIFY(ComPortMap::networkAddress(3).isEmpty());   // empty: no address
        QVERIFY(ComPortMap::networkAddress(5).isEmpty());   // the ports file does not count
    }

    // What the user writes is read once: a COM number in any case, a device path as it
    // is, an address; anything else is no port.
    ParsedPortChoice parsed = parsePortChoice(QStringLiteral("com7"));
    QVERIFY(parsed.isValid());
    QVERIFY(parsed.choice == PortChoice::comNumber(7));
    QCOMPARE(parsed.choice.name, QStringLiteral("COM7"));
    parsed = parsePortChoice(QStringLiteral("/dev/ttyUSB3"));
    QCOMPARE(parsed.choice.kind, PortChoice::DevicePath);
    QCOMPARE(parsed.choice.name, QStringLiteral("/dev/ttyUSB3"));
    parsed = parsePortChoice(QStringLiteral(" RFC2217://[fd00::7]:3002"));
    QCOMPARE(parsed.choice.kind, PortChoice::Address);
    QCOMPARE(parsed.choice.address.text(), QStringLiteral("rfc2217://[fd00::7]:3002"));
    QCOMPARE(parsed.choice.name, QStringLiteral("RFC2217://[fd00::7]:3002"));   // as written, for the messages
    QVERIFY(parsed.choice == parsePortChoice(QStringLiteral("rfc2217://[fd00::7]:3002")).choice);
    QCOMPARE(parsePortChoice(QStringLiteral("sockt://labpi:3001")).problem, AddressProblem::UnknownScheme);
    for (const char *name : {"COM16", "COM0", "ttyUSB0", ""})
        QVERIFY(parsePortChoice(QString::fromLatin1(name)).unknown);

    qputenv("XDG_CONFIG_HOME", oldConfig);
}

// What is not used as written in the ports file is named with its line; a COM number
// whose folder is missing says so.
void LinesTest::setupFaults()
{
    QTemporaryDir config;
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("kestrion")));
    const QString portsFile = writeTestFile(config.filePath(QStringLiteral("kestrion/ports.conf")),
                                            "COM4=socket://a:1\n[ports]\n; a comment\nCOM16=socket://x:1\nCOM8=labpi:3001\n"
                                            "COM9\nCOM10=\nCOM11=\"socket://b:2\" ; a comment\ncom11=socket://c:3\n");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qunsetenv("KESTRION_COM_DIR");

    const QList<PortError> faults = ComPortMap::setupFaults();
    QCOMPARE(faults.size(), 5);
    const QList<std::pair<PortError::Kind, int>> expected = {
        {PortError::EntryIgnored, 1}, {PortError::NumberIgnored, 4}, {PortError::EntryIgnored, 6},
        {PortError::EntryIgnored, 7}, {PortError::NumberRepeated, 9}};
    for (qsizetype i = 0; i < faults.size(); ++i) {
        QCOMPARE(faults[i].kind, expected[i].first);
        QCOMPARE(faults[i].line, expected[i].second);
        QCOMPARE(faults[i].file, portsFile);
    }
    QCOMPARE(TransferTexts::portError(Language::English, faults[1]),
             portsFile + ", line 4: COM16 is ignored: the numbers go from COM1 to COM15.");
    QCOMPARE(TransferTexts::portError(Language::English, faults[4]),
             portsFile + ", line 9: com11 is ignored: an earlier line gives it already.");
    QCOMPARE(ComPortMap::networkAddress(11), QStringLiteral("socket://b:2"));   // the first holds
    // A value that is no address is named with its line when the number is used.
    PortError error;
    QVERIFY(!makeLine(PortChoice::comNumber(8), &error));
    QCOMPARE(error.kind, PortError::BadAddress);
    QCOMPARE(error.file, portsFile);
    QCOMPARE(error.line, 5);

    QTemporaryDir gone;
    const QString missing = gone.filePath(QStringLiteral("ports"));
    ComFolder useFolder(missing);
    QVERIFY(!makeLine(PortChoice::comNumber(1), &error));
    QCOMPARE(error.kind, PortError::FolderMissing);
    QCOMPARE(TransferTexts::portError(Language::English, error),
             "The folder " + missing + " named by KESTRION_COM_DIR does not exist.");
    QCOMPARE(ComPortMap::setupFaults().size(), 1);   // once for all the numbers

    qputenv("XDG_CONFIG_HOME", oldConfig);
}

// A station's line: behind a COM number, whatever it stands for when it is opened;
// a network port opens later, and the transfer started meanwhile waits for it.
void LinesTest::selectedLineOpensWhatItsPortStandsFor()
{
    QTemporaryDir comFolder;
    ComFolder useFolder(comFolder.path());
    PtyBoard device(comFolder.path(), 1);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    const QString address = QStringLiteral("socket://127.0.0.1:%1").arg(server.serverPort());
    writeTestFile(comFolder.filePath(QStringLiteral("COM2")), address.toUtf8() + '\n');

    LineOptions options;
    options.pacingBytesPerSecond = FastPacing;
    SelectedLine line(options);
    QSignalSpy opened(&line, &Line::opened);
    line.setPort(PortChoice::comNumber(1));
    QVERIFY(line.open());
    QVERIFY(line.isOpen());   // a device: at once
    QCOMPARE(opened.size(), 1);
    QVERIFY(line.networkAddress().isEmpty());
    line.setPort(PortChoice::comNumber(2));   // not while open
    QCOMPARE(line.port().number, 1);
    line.close();

    line.setPort(PortChoice::comNumber(2));
    TransferSession session(Board::Vxt8052, line);
    QSignalSpy finished(&session, &TransferSession::finished);
    QTemporaryDir dir;
    session.startDownload(writeTestFile(dir.filePath(QStringLiteral("s")), "to the network"));
    QVERIFY(line.isOpening());
    QCOMPARE(line.networkAddress(), address);
    QVERIFY(server.waitForNewConnection(WaitMs));
    QTcpSocket *board = server.nextPendingConnection();
    QVERIFY(finished.wait(WaitMs));
    QCOMPARE(finished.first().first().value<TransferOutcome>().kind, TransferOutcome::Completed);
    QVERIFY(waitUntil([&] { return board->bytesAvailable() >= 14; }));
    QCOMPARE(board->readAll(), QByteArray("to the network"));
    QVERIFY(device.received().isEmpty());

    // A connection that drops while no transfer runs is told as a lost port, with its
    // address.
    QSignalSpy lost(&session, &TransferSession::portLost);
    board->abort();
    QVERIFY(lost.wait(WaitMs));
    const auto reason = lost.first().first().value<PortError>();
    QCOMPARE(reason.kind, PortError::ConnectionLost);
    QCOMPARE(reason.port, QStringLiteral("COM2"));
    QCOMPARE(reason.device, address);

    // A number whose address cannot be used fails at once, naming both.
    writeTestFile(comFolder.filePath(QStringLiteral("COM3")), "socket://labpi\n");
    line.close();
    line.setPort(PortChoice::comNumber(3));
    PortError error;
    QVERIFY(!line.open(&error));
    QCOMPARE(error.kind, PortError::BadAddress);
    QCOMPARE(error.port, QStringLiteral("COM3"));
    QCOMPARE(error.device, QStringLiteral("socket://labpi"));
}

// Ports on the network are left to the probe, which tries them all at once, each for the
// probe's short time, and tells them apart.
void LinesTest::networkPortsProbedAtOnce()
{
    QTemporaryDir comFolder;
    ComFolder useFolder(comFolder.path());
    QTcpServer live, gone;
    QVERIFY(live.listen(QHostAddress::LocalHost, 0) && gone.listen(QHostAddress::LocalHost, 0));
    const quint16 refusing = gone.serverPort();
    gone.close();
    IdleServer silent(IdleServer::Full);
    const auto addressFile = [&](int number, quint16 port) {
        writeTestFile(comFolder.filePath(QStringLiteral("COM%1").arg(number)),
                      QStringLiteral("socket://127.0.0.1:%1\n").arg(port).toUtf8());
    };
    addressFile(4, silent.port());
    addressFile(7, live.serverPort());
    addressFile(8, live.serverPort());   // one address, tried once: listed under the lower
    addressFile(9, refusing);
    PtyBoard device(comFolder.path(), 1);

    CommPort port;
    const PortListing listing = listComPorts(port);
    QCOMPARE(listing.ports, QList<int>{1});
    QCOMPARE(listing.network, (QList<int>{4, 7, 8, 9}));

    NetworkPortProbe probe;
    QSignalSpy finished(&probe, &NetworkPortProbe::finished);
    probe.start(listing.network, LineOptions::ProbeTimeoutMs);
    QVERIFY(finished.wait(WaitMs));
    QCOMPARE(probe.reachable(), QList<int>{7});
    const QList<PortError> unreachable = probe.unreachable();
    QCOMPARE(unreachable.size(), 2);
    QCOMPARE(unreachable[0].kind, PortError::TimedOut);
    QCOMPARE(unreachable[0].port, QStringLiteral("COM4"));
    QCOMPARE(unreachable[1].kind, PortError::Refused);
    QCOMPARE(unreachable[1].device, QStringLiteral("socket://127.0.0.1:%1").arg(refusing));
    int connections = 0;
    while (live.nextPendingConnection())
        ++connections;
    QCOMPARE(connections, 1);
}

void LinesTest::networkFaultTexts()
{
    // Every fault of a network port is told in both languages, naming the port and the
    // address behind it.
    const PortError::Kind kinds[] = {PortError::BadAddress, PortError::HostUnknown, PortError::Refused,
                                     PortError::TimedOut, PortError::ConnectionLost, PortError::NoComPortOption,
                                     PortError::LineSettingsRefused, PortError::OverlongSubnegotiation,
                                     PortError::TelnetServer};
    for (const PortError::Kind kind : kinds) {
        PortError error{kind, QStringLiteral("COM5"), QStringLiteral("rfc2217://labpi:3005"), {}};
        error.addressProblem = AddressProblem::NoPort;
        for (const Language language : {Language::English, Language::Chinese}) {
            const QString text = TransferTexts::portError(language, error);
            QVERIFY2(text.contains(QLatin1String("COM5")) && text.contains(QLatin1String("rfc2217://labpi:3005")),
                     qPrintable(text));
            QVERIFY2(text.endsWith(language == Language::Chinese ? QChar(u'。') : QChar(u'.')), qPrintable(text));
        }
    }

    // A refusal of a network port is not told as a serial port that is not open; the
    // server's own words are part of it.
    TransferOutcome refused;
    refused.kind = TransferOutcome::Failed;
    refused.fault = TransferFault::PortClosed;
    refused.portError = {PortError::ConnectionLost, QStringLiteral("socket://labpi:3001"), {}, {}};
    refused.portError.serverSaid = QStringLiteral("Device open failure\x1b[2J");
    const QString english = TransferTexts::fault(Language::English, refused).text;
    QVERIFY2(english.contains(QLatin1String("saying: \"Device open failure\\x1B[2J\"")), qPrintable(english));
    QVERIFY2(!english.contains(QLatin1String("serial port")), qPrintable(english));
    QVERIFY(!TransferTexts::fault(Language::Chinese, refused).text.contains(QStringLiteral("通訊埠沒有開啟")));

    // So is a connection that drops, during a transfer and while none runs.
    TransferOutcome dropped;
    dropped.kind = TransferOutcome::Failed;
    dropped.fault = TransferFault::PortFailed;
    dropped.port = QStringLiteral("COM5");
    dropped.device = QStringLiteral("rfc2217://labpi:3005");
    for (const Language language : {Language::English, Language::Chinese}) {
        const QString label = language == Language::Chinese ? QStringLiteral("COM5（rfc2217://labpi:3005）")
                                                             : QStringLiteral("COM5 (rfc2217://labpi:3005)");
        for (const QString &text : {TransferTexts::fault(language, dropped).text,
                                    TransferTexts::portLost(language, dropped.port, dropped.device).text}) {
            QVERIFY2(text.contains(label), qPrintable(text));
            QVERIFY2(!text.contains(QLatin1String("adapter")) && !text.contains(QStringLiteral("轉接器")), qPrintable(text));
        }
    }
}

QTEST_GUILESS_MAIN(LinesTest)
#include "tst_lines.moc"
