#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// Debian's ser2net, started by a test on 127.0.0.1 in front of one serial device (in
// tests the program's end of a pseudo-terminal whose other end the test holds). It
// serves the device three ways: raw TCP, telnet with RFC 2217, and plain telnet without
// it. Its configuration and pid file live in a temporary folder of its own; it stops
// when the object goes.
class Ser2NetServer {
public:
    // Whether ser2net is installed; a test without it is skipped.
    static bool isInstalled();

    Ser2NetServer() = default;
    ~Ser2NetServer();
    Ser2NetServer(const Ser2NetServer &) = delete;
    Ser2NetServer &operator=(const Ser2NetServer &) = delete;

    // The environment ser2net is started with (by default this program's): a benchmark
    // preloads a UART's driver into it.
    void setEnvironment(const QProcessEnvironment &environment) { m_process.setProcessEnvironment(environment); }

    // Starts serving `device` with ser2net's line settings `settings` (as its connector
    // writes them: "9600n81", "19200e72,rtscts") and waits until it listens. False, with
    // what ser2net said in errorText(), when it did not come up within a few seconds.
    bool start(const QString &device, const QString &settings = QStringLiteral("9600n81"));
    // The server goes away, and its connections with it.
    void stop();

    quint16 rawPort() const { return m_ports[0]; }
    quint16 rfc2217Port() const { return m_ports[1]; }
    quint16 plainTelnetPort() const { return m_ports[2]; }
    QString rawAddress() const;
    QString rfc2217Address() const;
    QString plainTelnetAddress() const;

    QString errorText();

private:
    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_ports[3] = {};
};
