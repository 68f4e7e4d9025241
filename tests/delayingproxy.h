#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QTcpServer>
#include <QtGlobal>

class QTcpSocket;

// A forwarder on 127.0.0.1 in front of a server, as a slow network would be: the server
// sees a client `delayMs` after it came, and each piece goes on after `delayMs`, each
// way, in order. (The client's connection is up at once, where over a network it would
// take a round trip.) Either side closing closes the other once what it sent has gone on.
class DelayingProxy : public QObject {
    Q_OBJECT

public:
    DelayingProxy(quint16 serverPort, int delayMs, QObject *parent = nullptr);

    // The port the proxy listens on (0 when it could not listen).
    quint16 port() const { return m_listener.serverPort(); }
    // Everything the server has sent that has gone on to the client.
    QByteArray fromServer() const { return m_fromServer; }

private:
    void accept();
    // Sends `bytes` on to `to` after the delay.
    void forward(QTcpSocket *to, const QByteArray &bytes, bool fromServer);
    void closeLater(QTcpSocket *socket);
    void write(QTcpSocket *to, const QByteArray &bytes);

    quint16 m_serverPort;
    int m_delayMs;
    QTcpServer m_listener;
    QByteArray m_fromServer;
    QHash<QTcpSocket *, QByteArray> m_waiting;   // for a server not yet connected
};
