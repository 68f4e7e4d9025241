#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpServer>
#include <QtGlobal>

class QTcpSocket;

// A forwarder on 127.0.0.1 in front of a server, as a slow network would be: each piece
// goes on after `delayMs`, each way, in order. One client at a time; the connection to
// the server is made when the client comes, and either side closing closes the other
// once what it sent has gone on.
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

    quint16 m_serverPort;
    int m_delayMs;
    QTcpServer m_listener;
    QByteArray m_fromServer;
};
