#include "ptyboard.h"

#include "unlockedpty.h"

#include <QFile>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PtyBoard::PtyBoard(const QString &comFolder, int number)
{
    char name[256] = {};
    if (UnlockedPty::open(&m_master, &m_slave, name, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    // Raw bytes both ways, as on a real line.
    termios settings{};
    ::tcgetattr(m_slave, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(m_slave, TCSANOW, &settings);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

    m_devicePath = QString::fromLocal8Bit(name);
    m_linkPath = comFolder + QStringLiteral("/COM%1").arg(number);
    QFile::remove(m_linkPath);
    QFile::link(m_devicePath, m_linkPath);
}

PtyBoard::~PtyBoard()
{
    hangUp();
    QFile::remove(m_linkPath);
}

const QByteArray &PtyBoard::received()
{
    if (m_master < 0)
        return m_received;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            break;
        m_received.append(buffer, n);
    }
    return m_received;
}

bool PtyBoard::waitForBytes(qsizetype count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return received().size() >= count; }, timeoutMs);
}

void PtyBoard::send(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (m_master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (errno == EAGAIN)
            QTest::qWait(1);   // the program has not read yet: let it run
        else
            break;
    }
}

void PtyBoard::hangUp()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
    // The device is gone, and so is its name: another program's pseudo-terminal may get
    // its number at once, and the link must not lead there.
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
}

ComFolder::ComFolder(const QString &path)
    : m_previous(qgetenv("KESTRION_COM_DIR"))
    , m_hadPrevious(qEnvironmentVariableIsSet("KESTRION_COM_DIR"))
{
    qputenv("KESTRION_COM_DIR", path.toLocal8Bit());
}

ComFolder::~ComFolder()
{
    if (m_hadPrevious)
        qputenv("KESTRION_COM_DIR", m_previous);
    else
        qunsetenv("KESTRION_COM_DIR");
}
