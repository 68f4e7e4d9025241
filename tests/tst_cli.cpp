// kestrion-cli end to end: the real program against the virtual board, on a pseudo-
// terminal, on a TCP port of its own and behind ser2net; its exit codes, a class set of
// boards, and that it needs no GUI library.

#include "delayingproxy.h"
#include "ser2netserver.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A stream in which every other byte is 0xFF, the telnet escape, next to every value.
QByteArray escapeRich(qsizetype size)
{
    QByteArray bytes = sample(size);
    for (qsizetype i = 0; i < size; i += 2)
        bytes[i] = char(0xFF);
    return bytes;
}

// The output speed of a device, as the other end set it (0 when it cannot be read).
speed_t deviceSpeed(const QString &device)
{
    termios settings{};
    const int fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    const bool ok = fd >= 0 && ::tcgetattr(fd, &settings) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok ? cfgetospeed(&settings) : 0;
}

// A terminal `columns` wide for a program's stderr: the program writes to path(), and
// shown() has all it has shown there.
class Terminal {
public:
    explicit Terminal(unsigned short columns)
        : m_master(::posix_openpt(O_RDWR | O_NOCTTY))
    {
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        winsize size{};
        size.ws_col = columns;
        size.ws_row = 24;
        ::ioctl(m_master, TIOCSWINSZ, &size);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        m_path = QString::fromLocal8Bit(::ptsname(m_master));
    }
    ~Terminal()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    Terminal(const Terminal &) = delete;
    Terminal &operator=(const Terminal &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    const QByteArray &shown()
    {
        char buffer[4096];
        for (ssize_t n; (n = ::read(m_master, buffer, sizeof buffer)) > 0;)
            m_shown.append(buffer, n);
        return m_shown;
    }
    // Whether the program ended within `timeoutMs`; what it shows is taken meanwhile.
    bool waitForFinished(const QProcess &program, int timeoutMs)
    {
        const bool ended = QTest::qWaitFor([&] {
            shown();
            return program.state() == QProcess::NotRunning;
        }, timeoutMs);
        shown();   // the last of it
        return ended;
    }

private:
    int m_master;
    QString m_path;
    QByteArray m_shown;
};

} // namespace

class CliTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        qputenv("KESTRION_COM_DIR", QFile::encodeName(m_dir.path()));
        QDir(m_dir.path()).mkpath(QStringLiteral("inbox"));
    }

    void cleanup()
    {
        for (QProcess *board : {&m_board, &m_secondBoard}) {
            board->terminate();
            board->waitForFinished(3000);
        }
        for (const char *inbox : {"inbox", "inbox2"})
            QDir(m_dir.filePath(QString::fromLatin1(inbox))).removeRecursively();
    }

    // The four transfers on a pseudo-terminal, and through ser2net by address: with RFC
    // 2217 the server's port is set to 9600 8N1 although it was set up otherwise, and data
    // full of 0xFF pass both ways, the longest 8052 upload included.
    void transfers_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QString>("direction");
        QTest::addColumn<QString>("via");   // COM1, raw or rfc2217
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("text");
        QTest::newRow("8088 download") << "8088" << "download" << "COM1" << 300 << "en" << "300(12CH) has been transferred!";
        QTest::newRow("8052 download") << "8052" << "download" << "COM1" << 300 << "zh-TW" << "已傳送 300(12CH) 個位元組！";
        QTest::newRow("8088 upload") << "8088" << "upload" << "COM1" << 300 << "en" << "300(12CH) has been received!";
        QTest::newRow("8052 upload") << "8052" << "upload" << "COM1" << 300 << "en" << "300(12CH) has been received!";
        QTest::newRow("8088 download, raw") << "8088" << "download" << "raw" << 300 << "en" << "300(12CH) has been transferred!";
        QTest::newRow("8052 download, RFC 2217") << "8052" << "download" << "rfc2217" << 1000 << "en"
                                                  << "1000(3E8H) has been transferred!";
        QTest::newRow("8052 upload, RFC 2217") << "8052" << "upload" << "rfc2217" << 65536 << "en"
                                                << "65536(10000H) has been received!";
    }

    void transfers()
    {
        QFETCH(QString, board);
        QFETCH(QString, direction);
        QFETCH(QString, via);
        QFETCH(int, size);
        QFETCH(QString, language);
        QFETCH(QString, text);
        startBoard(board);
        const QString device = QFileInfo(m_dir.filePath(QStringLiteral("COM1"))).canonicalFilePath();
        Ser2NetServer ser2net;
        std::optional<DelayingProxy> watch;   // RFC 2217: shows when the server has answered
        QString port = via;
        if (via != "COM1") {
            if (!Ser2NetServer::isInstalled())
                QSKIP("ser2net is not installed");
            QVERIFY2(ser2net.start(device, QStringLiteral("19200e72")), qPrintable(ser2net.errorText()));
            port = ser2net.rawAddress();
            if (via == "rfc2217") {
                watch.emplace(ser2net.rfc2217Port(), 0);
                port = QStringLiteral("rfc2217://127.0.0.1:%1").arg(watch->port());
            }
        }
        const QByteArray content = escapeRich(size);
        const QString source = m_dir.filePath(QStringLiteral("source.bin"));
        writeTestFile(source, content);
        const QString target = m_dir.filePath(QStringLiteral("target.bin"));
        QFile::remove(target);

        QProcess cli;
        std::optional<Terminal> terminal;
        if (direction == "upload" && !watch) {
            terminal.emplace(80);
            QVERIFY(terminal->isValid());
            cli.setStandardErrorFile(terminal->path());
        }
        cli.start(CLI_PATH, {direction, "--board", board, "--port", port, "--lang", language,
                             direction == "download" ? source : target});
        QVERIFY(cli.waitForStarted());
        if (direction == "upload") {
            // The board sends once the upload listens: earlier bytes are not its. Through
            // RFC 2217 the line is open once the server has answered the purge that follows
            // the line settings: what the board sends from then on follows the answer.
            if (watch) {
                QVERIFY(QTest::qWaitFor([&] { return watch->fromServer().contains("\xFF\xFA\x2C\x70\x01"); }, 5000));
                QCOMPARE(deviceSpeed(device), speed_t(B9600));   // set before it answered
            } else {
                QVERIFY(showsProgress(*terminal));
            }
            control("send " + source.toUtf8());
        }
        // The proxy, if any, works while the test waits.
        QVERIFY(terminal ? terminal->waitForFinished(cli, 30000)
                         : QTest::qWaitFor([&] { return cli.state() == QProcess::NotRunning; }, 30000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()), text + "\n");
        QVERIFY(cli.readAllStandardError().isEmpty());   // no progress where stderr is no terminal
        if (direction == "upload") {
            QCOMPARE(fileBytes(target), content);
        } else {
            const QString stored = m_dir.filePath(QStringLiteral("inbox/download-001.bin"));
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(stored), 5000);
            QCOMPARE(fileBytes(stored), content);
        }
    }

    void exitCodes()
    {
        QString err;
        QCOMPARE(run({"ports"}, &err), 4);   // no port at all
        QVERIFY2(err.startsWith("No serial port can be opened."), qPrintable(err));
        const QString missingFolder = m_dir.filePath(QStringLiteral("nowhere"));
        qputenv("KESTRION_COM_DIR", QFile::encodeName(missingFolder));
        QCOMPARE(run({"ports"}, &err), 4);
        QCOMPARE(err, "The folder " + missingFolder + " named by KESTRION_COM_DIR does not exist.\n");
        qputenv("KESTRION_COM_DIR", QFile::encodeName(m_dir.path()));
        startBoard(QStringLiteral("8052"));
        QCOMPARE(run({"ports"}), 0);
        const QString source = m_dir.filePath(QStringLiteral("source.bin"));
        writeTestFile(source, sample(3000));
        const QString missing = m_dir.filePath(QStringLiteral("missing.bin"));

        QCOMPARE(run({"download", "--board", "8052", "--port", "COM1", missing}), 3);
        // The target is checked before the board is waited for.
        QCOMPARE(run({"upload", "--board", "8088", "--port", "COM1", m_dir.filePath(QStringLiteral("no/up.bin"))}), 3);
        QCOMPARE(run({"download", "--board", "8052", "--port", "COM7", source}), 4);
        QCOMPARE(run({"download", "--board", "8051", "--port", "COM1", source}), 2);
        QCOMPARE(run({}, &err), 2);
        QCOMPARE(err.count(QStringLiteral("--help")), 1);
        QCOMPARE(run({"download", "--board", "8052", "--port", "COM1", source, "--wait", "5"}, &err), 2);
        QVERIFY2(err.startsWith(QStringLiteral("--wait is for upload only.")), qPrintable(err));
        QCOMPARE(run({"ports", "--lang", ""}), 2);
        QCOMPARE(run({"ports", "--lang="}), 2);
        QCOMPARE(run({"upload", "--board", "8052", "--port", "COM1", "--port", "COM2", missing}, &err), 2);
        QVERIFY2(err.startsWith(QStringLiteral("upload takes one --port")), qPrintable(err));
        QCOMPARE(run({"download", "--board", "8052", "--port", "COM1", "--port", "com1", source}), 2);
        QCOMPARE(run({"download", "--board", "8052", "--port", "socket://[fd00::7]", source}, &err), 2);
        QVERIFY2(err.startsWith(QStringLiteral("socket://[fd00::7] is not a usable network address: the port")),
                 qPrintable(err));
        // An option that is not known is refused by name.
        QCOMPARE(run({"download", "--board", "8052", "--port", "rfc2217://labpi:3001/?ign_set_control&baud=9600", source},
                     &err), 2);
        QVERIFY2(err.startsWith("rfc2217://labpi:3001/?ign_set_control&baud=9600 is not a usable network address: the "
                                "option \"baud=9600\" is not known"),
                 qPrintable(err));
        QCOMPARE(run({"upload", "--board", "8088", "--port", "COM1", missing, "--wait", "1"}), 5);
        {
            QSerialPort holder(QFileInfo(m_dir.filePath(QStringLiteral("COM1"))).canonicalFilePath());
            QVERIFY(holder.open(QIODevice::ReadWrite));
            QCOMPARE(run({"download", "--board", "8052", "--port", "COM1", source}), 4);
        }

        // Ctrl-C in the middle of a download: what was sent is said (at most so much: a
        // pseudo-terminal cannot tell what its flush dropped), nothing more goes.
        QProcess cli;
        cli.start(CLI_PATH, {"download", "--board", "8052", "--port", "COM1", source});
        QVERIFY(cli.waitForStarted());
        QTest::qWait(700);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(5000));
        QCOMPARE(cli.exitCode(), 130);
        QVERIFY(cli.readAllStandardOutput().isEmpty());
        const QString said = QString::fromUtf8(cli.readAllStandardError());
        const QString prefix = QStringLiteral("The download was interrupted after up to ");
        QVERIFY2(said.startsWith(prefix), qPrintable(said));
        QTRY_VERIFY_WITH_TIMEOUT((m_output += m_board.readAllStandardOutput()).contains("download 1:"), 3000);
        const QByteArray stored = fileBytes(m_dir.filePath(QStringLiteral("inbox/download-001.bin")));
        const qsizetype count = said.mid(prefix.size()).section(QLatin1Char('('), 0, 0).toLongLong();
        QVERIFY2(stored.size() > 0 && stored.size() <= count && count < 3000, qPrintable(said));
        QCOMPARE(stored, sample(3000).first(stored.size()));
    }

    // --wait counts the board's silence, before its data and in the middle of them; an
    // upload that stored no byte, or that the board left unfinished, is no success: an
    // 8052 stream shorter than announced included, though it ends by its quiet time.
    void waitIsAnIdleLimit_data()
    {
        QTest::addColumn<QString>("board");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("stored");   // null: no file
        QTest::newRow("silent") << "8088" << QByteArray() << 5
                                << "The board sent nothing within 1 second; no file was written." << QByteArray();
        QTest::newRow("junk only") << "8088" << QByteArray("\r\nxyz\r\n") << 5
                                   << "The board sent no byte of data and then nothing for 1 second; the file is "
                                      "empty. 3 characters that are not hexadecimal digits were left out. The board "
                                      "setting may be wrong."
                                   << QByteArray("");
        QTest::newRow("stalls") << "8088" << QByteArray("414") << 6
                                << "The board sent nothing for 1 second before the end of its data; the file holds "
                                   "1(1H) bytes. The last digit had no pair and was left out. The board setting may "
                                   "be wrong."
                                << QByteArray("A");
        QTest::newRow("8052 short of its length") << "8052" << QByteArray("\x00\x05" "abc", 5) << 6
                                                  << "3(3H) has been received! The board announced 5(5H) bytes."
                                                  << QByteArray("abc");
    }

    void waitIsAnIdleLimit()
    {
        QFETCH(QString, board);
        QFETCH(QByteArray, sent);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QByteArray, stored);
        startBoard(board);
        const QString target = m_dir.filePath(QStringLiteral("inbox/up.bin"));
        const QString raw = m_dir.filePath(QStringLiteral("inbox/raw.txt"));
        writeTestFile(raw, sent);

        Terminal terminal(200);
        QVERIFY(terminal.isValid());
        QProcess cli;
        cli.setStandardErrorFile(terminal.path());
        cli.start(CLI_PATH, {"upload", "--board", board, "--port", "COM1", target, "--wait", "1"});
        QVERIFY(showsProgress(terminal));
        if (!sent.isEmpty())
            control("raw " + raw.toUtf8());
        QVERIFY(terminal.waitForFinished(cli, 10000));
        QCOMPARE(cli.exitCode(), exitCode);
        QVERIFY(cli.readAllStandardOutput().isEmpty());
        const QByteArray &shown = terminal.shown();   // the progress line is cleared, the sentence stays
        QCOMPARE(QString::fromUtf8(shown.mid(shown.lastIndexOf("\x1b[J") + 3)), message + "\r\n");
        QCOMPARE(QFileInfo::exists(target), !stored.isNull());
        if (!stored.isNull())
            QCOMPARE(fileBytes(target), stored);
    }

    // A wait beyond what 32 bits of milliseconds hold is still a wait.
    void longWaitIsNotCutShort()
    {
        startBoard(QStringLiteral("8052"));
        QProcess cli;
        cli.start(CLI_PATH, {"upload", "--board", "8052", "--port", "COM1", m_dir.filePath(QStringLiteral("up.bin")),
                             "--wait", "4294968"});
        QVERIFY(cli.waitForStarted());
        QVERIFY(!cli.waitForFinished(1500));
        ::kill(pid_t(cli.processId()), SIGTERM);
        QVERIFY(cli.waitForFinished(5000));
        QCOMPARE(cli.exitCode(), 143);
    }

    // A class set: the file goes to every board at once, over any mix of port names; a
    // board that cannot be reached does not stop the others, and the status tells.
    void classSet()
    {
        startBoard(QStringLiteral("8052"));
        m_secondBoard.start(VXT_BOARD_PATH, {"--board", "8052", "--dir", m_dir.path(), "--port", "2", "--listen", "0",
                                             "--inbox", m_dir.filePath(QStringLiteral("inbox2"))});
        QVERIFY(m_secondBoard.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return !fileBytes(m_dir.filePath(QStringLiteral("COM2"))).isEmpty(); }, 5000));
        const QString address = QString::fromUtf8(fileBytes(m_dir.filePath(QStringLiteral("COM2"))).trimmed());
        const QString device = QFileInfo(m_dir.filePath(QStringLiteral("COM1"))).canonicalFilePath();
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
        const QString dead = QStringLiteral("socket://127.0.0.1:%1").arg(closed.serverPort());
        closed.close();
        const QByteArray content = escapeRich(600);
        const QString source = writeTestFile(m_dir.filePath(QStringLiteral("source.bin")), content);

        QProcess cli;
        // A device path, an address, and a COM number that stands for an address.
        cli.start(CLI_PATH, {"download", "--board", "8052", "--port", device, "--port", dead, "--port", "COM2", source});
        QVERIFY(cli.waitForFinished(15000));
        QCOMPARE(cli.exitCode(), 4);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()),
                 device + "\t600(258H) has been transferred!\n" + dead + "\t" + dead
                     + " refused the connection: check that the serial device server runs and listens on that port.\n"
                     + "COM2\t600(258H) has been transferred!\n");
        QVERIFY(cli.readAllStandardError().isEmpty());
        for (const char *stored : {"inbox/download-001.bin", "inbox2/download-001.bin"})
            QTRY_COMPARE_WITH_TIMEOUT(fileBytes(m_dir.filePath(QString::fromLatin1(stored))), content, 5000);


        // Ctrl-C stops every board: each holds the start of the file, and its line says
        // how much went: up to so much through a pseudo-terminal, whose flush cannot be
        // seen, and exactly through a raw connection, where all that was handed over
        // arrives.
        const QByteArray longer = escapeRich(5000);
        writeTestFile(source, longer);
        cli.start(CLI_PATH, {"download", "--board", "8052", "--port", "COM1", "--port", address, source});
        QVERIFY(cli.waitForStarted());
        QTest::qWait(1000);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(5000));
        QCOMPARE(cli.exitCode(), 130);
        const QStringList lines = QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        for (int board = 0; board < 2; ++board) {
            const QString &line = lines[board];
            const bool pty = board == 0;
            const QString said = (pty ? QStringLiteral("COM1") : address)
                + (pty ? QStringLiteral("\tThe download was interrupted after up to ")
                       : QStringLiteral("\tThe download was interrupted after "));
            QVERIFY2(line.startsWith(said), qPrintable(line));
            const qsizetype count = line.mid(said.size()).section(QLatin1Char('('), 0, 0).toLongLong();
            const QString stored = m_dir.filePath(pty ? QStringLiteral("inbox") : QStringLiteral("inbox2"));
            QTRY_COMPARE_WITH_TIMEOUT(QDir(stored).entryList(QDir::Files).size(), 2, 5000);   // the second came
            const QByteArray got = fileBytes(QDir(stored).filePath(QStringLiteral("download-002.bin")));
            QVERIFY2(got.size() > 0 && got.size() <= count && count < longer.size(), qPrintable(line));
            if (!pty)
                QCOMPARE(got.size(), count);
            QCOMPARE(got, longer.first(got.size()));
        }

        // On a terminal, the progress lines keep the failing board's reason whole, over
        // as many lines as it takes.
        Terminal terminal(60);
        QVERIFY(terminal.isValid());
        cli.setStandardErrorFile(terminal.path());
        const QString small = writeTestFile(m_dir.filePath(QStringLiteral("small.bin")), content);
        cli.start(CLI_PATH, {"download", "--board", "8052", "--port", device, "--port", dead, "--port", "COM2", small});
        QVERIFY(terminal.waitForFinished(cli, 15000));
        QCOMPARE(cli.exitCode(), 4);
        cli.setStandardErrorFile(QString());
        QString rows = QString::fromUtf8(terminal.shown());
        rows.remove(QRegularExpression(QStringLiteral("\x1b\\[[0-9]*[A-Za-z]"))).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        rows.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        rows.replace(QRegularExpression(QStringLiteral("\n +")), QStringLiteral(" "));
        QVERIFY2(rows.contains(dead.leftJustified(device.size()) + "  " + dead + " refused the connection: check that "
                               "the serial device server runs and listens on that port."),
                 qPrintable(rows));
    }

    void usageInChinese()
    {
        QProcess cli;
        cli.start(CLI_PATH, {"--help", "--lang", "zh-TW"});
        QVERIFY(cli.waitForFinished(5000));
        const QString help = QString::fromUtf8(cli.readAllStandardOutput());
        for (const char *placeholder : {"<埠>", "<秒>", "[檔案]"})
            QVERIFY2(help.contains(QString::fromUtf8(placeholder)), placeholder);
        for (const char *english : {"PORT", "SECONDS", "FILE", "command"})
            QVERIFY2(!help.contains(QLatin1String(english)), english);
    }

    // A device that is there but cannot be used is named on stderr with what to do.
    void portsSaysWhyAPortIsMissing()
    {
        startBoard(QStringLiteral("8052"));
        const QString device = QFileInfo(m_dir.filePath(QStringLiteral("COM1"))).canonicalFilePath();
        QString err;
        {
            QSerialPort holder(device);
            QVERIFY(holder.open(QIODevice::ReadWrite));
            QCOMPARE(run({"ports"}, &err), 4);
            QCOMPARE(err, QStringLiteral("COM1 (%1) is in use by another program: close that program first.\n").arg(device));
        }

        // Names from a file or the command line show their control characters escaped: an
        // escape sequence cannot reach the terminal, nor a NUL cut the message short.
        const QString addressFile = writeTestFile(m_dir.filePath(QStringLiteral("COM2")),
                                                  QByteArray("socket://a\0b\x1b]0;T\x07:1\n", 24));
        QCOMPARE(run({"ports"}, &err), 0);
        QCOMPARE(err, "COM2 (socket://a\\x00b\\x1B]0;T\\x07:1) is not a usable network address: a host name holds "
                      "only letters, digits, hyphens and dots.\n");
        QCOMPARE(run({"upload", "--board", "8052", "--port", "COM1\x1b[2J", "up.bin"}, &err), 2);
        QVERIFY2(err.startsWith("\"COM1\\x1B[2J\" is not a port"), qPrintable(err));
        QFile::remove(addressFile);

        // A user who may not open the device (run as nobody; the board's pty is root's).
        if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("needs root and setpriv to run as another user");
        QFile::setPermissions(m_dir.path(), QFile::permissions(m_dir.path()) | QFile::ReadOther | QFile::ExeOther);
        // An address file, or a folder, that the user may not read is named as unreadable.
        const QString locked = writeTestFile(m_dir.filePath(QStringLiteral("COM3")), "socket://labpi:3001\n");
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner);
        const auto asNobody = [](const QString &comFolder) {
            QProcess cli;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("KESTRION_COM_DIR"), comFolder);
            cli.setProcessEnvironment(environment);
            cli.start(QStringLiteral("setpriv"), {"--reuid=nobody", "--regid=nogroup", "--clear-groups", CLI_PATH,
                                                  "ports", "--lang", "zh-TW"});
            cli.waitForFinished(10000);
            return std::pair(cli.exitCode(), QString::fromUtf8(cli.readAllStandardError()));
        };
        auto [code, said] = asNobody(m_dir.path());
        QCOMPARE(code, 4);
        QCOMPARE(said, QStringLiteral("無法讀取 COM3 的位址檔 %1。\n沒有使用 COM1（%2） 的權限：請加入 dialout 群組後重新登入。\n")
                           .arg(locked, device));
        const QString lockedFolder = m_dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("locked")));
        QFile::setPermissions(lockedFolder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        std::tie(code, said) = asNobody(lockedFolder);
        QCOMPARE(code, 4);
        QCOMPARE(said, QStringLiteral("無法讀取 KESTRION_COM_DIR 指定的資料夾 %1。\n").arg(lockedFolder));
    }

    void needsNoGuiLibrary()
    {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {CLI_PATH});
        if (!ldd.waitForFinished(5000) || ldd.exitCode() != 0)
            QSKIP("ldd is not available");
        const QByteArray libraries = ldd.readAllStandardOutput();
        QVERIFY(libraries.contains("libQt6SerialPort"));
        QVERIFY(!libraries.contains("libQt6Gui"));
        QVERIFY(!libraries.contains("libQt6Widgets"));
    }

private:
    void startBoard(const QString &board)
    {
        m_output.clear();
        m_board.start(VXT_BOARD_PATH, {"--board", board, "--dir", m_dir.path(), "--port", "1", "--fast", "--inbox",
                                       m_dir.filePath(QStringLiteral("inbox"))});
        QVERIFY(m_board.waitForStarted());
        while (!m_output.contains("commands:") && m_board.waitForReadyRead(3000))
            m_output += m_board.readAllStandardOutput();
        QVERIFY(m_output.contains("commands:"));
    }

    // Waits until an upload on the terminal shows its progress line: the line is open and
    // the upload listens, so what the board sends from then on is not thrown away.
    static bool showsProgress(Terminal &terminal)
    {
        return QTest::qWaitFor([&] { return terminal.shown().contains("\x1b[K"); }, 5000);
    }

    void control(const QByteArray &line)
    {
        QFile fifo(m_dir.filePath(QStringLiteral("COM1.ctl")));
        QVERIFY(fifo.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        QVERIFY(fifo.write(line + '\n') > 0);
    }

    int run(const QStringList &arguments, QString *errorText = nullptr)
    {
        QProcess cli;
        cli.start(CLI_PATH, arguments);
        if (!cli.waitForFinished(10000))
            return -1;
        // Every error is one line on stderr.
        const QByteArray err = cli.readAllStandardError();
        if (errorText)
            *errorText = QString::fromUtf8(err);
        if (cli.exitCode() != 0 && (err.count('\n') != 1 || !err.endsWith('\n')))
            return -2;
        return cli.exitCode();
    }

    QTemporaryDir m_dir;
    QProcess m_board;
    QProcess m_secondBoard;
    QByteArray m_output;
};

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
