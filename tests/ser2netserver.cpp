#include "ser2netserver.h"

#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>

namespace {

constexpr int StartTimeoutMs = 5000;
constexpr int StopTimeoutMs = 3000;

// A port of 127.0.0.1 that nobody uses at the moment.
quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

// Whether something listens on 127.0.0.1:port, by the system's table of TCP sockets
// (a connection to see would start a session on the device).
bool isListening(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    const QList<QByteArray> lines = table.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")   // 0A: LISTEN
            return true;
    }
    return false;
}

} // namespace

bool Ser2NetServer::isInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ser2net")).isEmpty();
}

Ser2NetServer::~Ser2NetServer()
{
    stop();
}

bool Ser2NetServer::start(const QString &device, const QString &settings)
{
    for (quint16 &port : m_ports)
        port = freePort();
    const QString connector = QStringLiteral("serialdev,%1,%2,local").arg(device, settings);
    const QString config = QStringLiteral(
        "%YAML 1.1\n---\n"
        "connection: &raw\n  accepter: tcp,127.0.0.1,%1\n  connector: %4\n"
        "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%2\n  connector: %4\n"
        "connection: &telnet\n  accepter: telnet,tcp,127.0.0.1,%3\n  connector: %4\n")
        .arg(m_ports[0]).arg(m_ports[1]).arg(m_ports[2]).arg(connector);
    const QString configPath = m_folder.filePath(QStringLiteral("ser2net.yaml"));
    QFile file(configPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(config.toUtf8()) < 0 || !file.flush())
        return false;
    file.close();

    // -n: stay in the foreground; -d: tell what goes wrong on standard output; -u: no
    // lock files in the system's lock folder.
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(QStringLiteral("ser2net"), {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-u"),
                                                QStringLiteral("-P"), m_folder.filePath(QStringLiteral("ser2net.pid")),
                                                QStringLiteral("-c"), configPath});
    if (!m_process.waitForStarted(StartTimeoutMs))
        return false;
    return QTest::qWaitFor(
        [&] {
            return m_process.state() != QProcess::Running
                || (isListening(m_ports[0]) && isListening(m_ports[1]) && isListening(m_ports[2]));
        },
        StartTimeoutMs) && m_process.state() == QProcess::Running;
}

void Ser2NetServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(StopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMs);
    }
}

QString Ser2NetServer::rawAddress() const
{
    return QStringLiteral("socket://127.0.0.1:%1").arg(rawPort());
}

QString Ser2NetServer::rfc2217Address() const
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217Port());
}

QString Ser2NetServer::plainTelnetAddress() const
{
    return QStringLiteral("rfc2217://127.0.0.1:%1").arg(plainTelnetPort());
}

QString Ser2NetServer::errorText()
{
    return QString::fromLocal8Bit(m_process.readAll());
}
