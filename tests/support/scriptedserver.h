#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSslCertificate>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <sys/socket.h>

// Takes connections as QTcpServer does, or, given a certificate, as the server side of TLS.
class ScriptedListener : public QTcpServer
{
public:
    QSslCertificate certificate;
    QSslKey key;

protected:
    void incomingConnection(qintptr descriptor) override
    {
        if (certificate.isNull()) {
            QTcpServer::incomingConnection(descriptor);
            return;
        }
        auto *socket = new QSslSocket(this);
        socket->setSocketDescriptor(descriptor);
        socket->setLocalCertificate(certificate);
        socket->setPrivateKey(key);
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        socket->startServerEncryption();
        addPendingConnection(socket);
    }
};

// A server on loopback for exact protocol cases: the test writes every line it sends and reads
// every byte the client writes. Given a certificate and its key (PEM files), it speaks TLS.
class ScriptedServer
{
public:
    ScriptedServer() { m_server.listen(QHostAddress::LocalHost); }
    ScriptedServer(const QString &certificateFile, const QString &keyFile)
    {
        m_server.certificate = QSslCertificate::fromPath(certificateFile).value(0);
        QFile key(keyFile);
        if (key.open(QIODevice::ReadOnly))
            m_server.key = QSslKey(&key, QSsl::Ec);
        m_server.listen(QHostAddress::LocalHost);
    }
    bool isListening() const { return m_server.isListening(); }
    quint16 port() const { return m_server.serverPort(); }

    bool acceptClient(int timeoutMs = 5000)
    {
        if (!m_server.hasPendingConnections() && !m_server.waitForNewConnection(timeoutMs))
            return false;
        m_client = m_server.nextPendingConnection();
        m_received.clear();
        return m_client != nullptr;
    }
    // The same for a connection the client makes later from its event loop (a timer's), which
    // keeps running while this waits.
    bool awaitClient(int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_server.hasPendingConnections() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return acceptClient(0);
    }
    void send(const QByteArray &bytes)
    {
        m_client->write(bytes);
        m_client->flush();
    }
    // Everything the client has written, once it holds `expected` (or after a timeout).
    QByteArray receivedUntil(const QByteArray &expected, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!m_received.contains(expected) && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            m_received += m_client->readAll();
        }
        return m_received;
    }
    // What arrives within a short while, for checking that nothing more was sent.
    QByteArray receivedSettled()
    {
        QTest::qWait(150);
        m_received += m_client->readAll();
        return m_received;
    }
    // Sends lines and returns what the client wrote in answer, once it has handled them all:
    // a PING after them is answered only when every earlier line has been interpreted.
    QByteArray exchange(const QByteArray &lines, int timeoutMs = 5000)
    {
        static int sequence = 0;
        const QByteArray token = "sync" + QByteArray::number(++sequence);
        clearReceived();
        send(lines + "PING :" + token + "\r\n");
        const QByteArray pong = "PONG :" + token + "\n";
        QByteArray received = receivedUntil(pong, timeoutMs);
        const qsizetype at = received.indexOf(pong);
        if (at < 0)
            return "<no answer to " + token + ">";
        received.remove(at, pong.size());
        clearReceived();
        return received;
    }
    void clearReceived() { m_received.clear(); }
    // Ends the connection in order (FIN), or resets it (RST) as a crashed or rebooted server
    // would.
    void closeClient() { m_client->disconnectFromHost(); }
    void resetClient()
    {
        const linger abortive{1, 0};
        ::setsockopt(int(m_client->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                     sizeof abortive);
        m_client->abort();
    }
    void closeListening() { m_server.close(); }
    // Takes connections again on the port it had, as a restarted server.
    bool listenAgain(quint16 port) { return m_server.listen(QHostAddress::LocalHost, port); }
    // Takes nothing more from the connection, as a server that no longer reads: what the client
    // writes then piles up in the kernel's buffers and, once they are full, in the client.
    void stopReading() { m_client->setReadBufferSize(1); }

private:
    ScriptedListener m_server;
    QTcpSocket *m_client = nullptr;
    QByteArray m_received;
};
