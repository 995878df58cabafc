#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>

// Stands between one client and a server on loopback, passing bytes both ways unchanged, and
// keeps what the client sent: a test connects the program to port() to see its own lines as
// the server received them.
class WireTap : public QObject
{
public:
    WireTap(const QString &host, quint16 port) : m_host(host), m_port(port)
    {
        m_listener.listen(QHostAddress::LocalHost);
        connect(&m_listener, &QTcpServer::newConnection, this, &WireTap::accept);
    }
    quint16 port() const { return m_listener.serverPort(); }
    // Everything the client has written so far.
    QByteArray clientSent() const { return m_clientSent; }

private:
    void accept()
    {
        if (m_client)
            return;
        m_client = m_listener.nextPendingConnection();
        m_server = new QTcpSocket(this);
        connect(m_client, &QTcpSocket::readyRead, this, [this] {
            const QByteArray bytes = m_client->readAll();
            m_clientSent += bytes;
            m_toServer += bytes;
            forward();
        });
        connect(m_server, &QTcpSocket::connected, this, &WireTap::forward);
        connect(m_server, &QTcpSocket::readyRead, this,
                [this] { m_client->write(m_server->readAll()); });
        connect(m_client, &QTcpSocket::disconnected, m_server, &QTcpSocket::disconnectFromHost);
        connect(m_server, &QTcpSocket::disconnected, m_client, &QTcpSocket::disconnectFromHost);
        m_server->connectToHost(m_host, m_port);
    }
    // What the client wrote before the server's side was up waits for it.
    void forward()
    {
        if (m_server->state() != QAbstractSocket::ConnectedState)
            return;
        m_server->write(m_toServer);
        m_toServer.clear();
    }

    QString m_host;
    quint16 m_port;
    QTcpServer m_listener;
    QTcpSocket *m_client = nullptr;
    QTcpSocket *m_server = nullptr;
    QByteArray m_clientSent;
    QByteArray m_toServer;
};
