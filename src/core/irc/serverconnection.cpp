#include "serverconnection.h"

#include "text/lineends.h"

#include <QHostInfo>
#include <QSslConfiguration>
#include <QSslSocket>

ServerConnection::ServerConnection(QObject *parent)
    : QObject(parent), m_plainSocket(new QTcpSocket(this)), m_secureSocket(new QSslSocket(this)),
      m_socket(m_plainSocket)
{
    m_attemptTimer.setSingleShot(true);
    m_attemptTimer.setInterval(DefaultAttemptTimeout);
    connect(&m_attemptTimer, &QTimer::timeout, this, [this] {
        close();
        emit attemptTimedOut();
    });
    connect(m_plainSocket, &QTcpSocket::connected, this, &ServerConnection::ready);
    connect(m_secureSocket, &QSslSocket::encrypted, this, &ServerConnection::ready);
    connect(m_secureSocket, &QSslSocket::sslErrors, this, [this](const QList<QSslError> &errors) {
        for (const QSslError &error : errors)
            m_certificateProblems << error.errorString();
    });
    // Only the socket in use speaks for the connection.
    for (QTcpSocket *socket : {m_plainSocket, static_cast<QTcpSocket *>(m_secureSocket)}) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
            if (socket == m_socket)
                readAvailable();
        });
        connect(socket, &QTcpSocket::errorOccurred, this,
                [this, socket](QAbstractSocket::SocketError error) {
                    if (socket == m_socket)
                        socketError(error);
                });
    }
}

bool ServerConnection::isClosed() const
{
    return m_socket->state() == QAbstractSocket::UnconnectedState;
}

bool ServerConnection::isEncrypted() const
{
    return !isClosed() && m_socket == m_secureSocket && m_secureSocket->isEncrypted();
}

void ServerConnection::setExtraAuthorities(const QList<QSslCertificate> &authorities)
{
    m_extraAuthorities = authorities;
}

void ServerConnection::setAttemptTimeout(std::chrono::milliseconds timeout)
{
    m_attemptTimer.setInterval(timeout);
}

void ServerConnection::open(const QString &host, quint16 port, Security security)
{
    if (!isClosed())
        close();
    m_socket = security == Security::Plain ? m_plainSocket : m_secureSocket;
    m_certificateProblems.clear();
    m_attemptTimer.start();
    if (security == Security::Plain) {
        m_socket->connectToHost(host, port);
        return;
    }
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setCaCertificates(QSslConfiguration::systemCaCertificates() + m_extraAuthorities);
    tls.setPeerVerifyMode(QSslSocket::VerifyPeer);
    m_secureSocket->setSslConfiguration(tls);
    // The host name given here is the one the certificate must name.
    m_secureSocket->connectToHostEncrypted(host, port);
}

void ServerConnection::close()
{
    m_attemptTimer.stop();
    m_socket->abort();
    m_framer.reset();
}

void ServerConnection::ready()
{
    m_attemptTimer.stop();
    emit connected();
}

bool ServerConnection::isSettingUpTls() const
{
    return m_socket == m_secureSocket && !m_secureSocket->isEncrypted();
}

void ServerConnection::socketError(QAbstractSocket::SocketError error)
{
    m_attemptTimer.stop();
    // A secure connection fails in the handshake when the certificate is refused, the server
    // answers with something other than TLS, or it goes away before the handshake is done.
    const bool handshakeFailed = error == QAbstractSocket::SslHandshakeFailedError ||
                                 error == QAbstractSocket::SslInternalError ||
                                 error == QAbstractSocket::SslInvalidUserDataError;
    if (handshakeFailed || (error == QAbstractSocket::RemoteHostClosedError && isSettingUpTls())) {
        const QString reason = !m_certificateProblems.isEmpty()
                                   ? m_certificateProblems.join(u"; "_qs)
                                   : m_socket->errorString();
        close();
        emit secureSetupFailed(reason);
        return;
    }
    // Qt reports both a close and a reset by the server as RemoteHostClosedError.
    if (error == QAbstractSocket::RemoteHostClosedError)
        emit closedByServer();
    else
        emit failed();
}

void ServerConnection::sendLine(QStringView line)
{
    if (isClosed())
        return;
    QByteArray bytes = firstLine(line).toUtf8();
    bytes.append('\n');
    queue(bytes);
}

void ServerConnection::writeRaw(const QByteArray &bytes)
{
    if (!isClosed())
        queue(bytes);
}

void ServerConnection::queue(const QByteArray &bytes)
{
    if (m_socket->bytesToWrite() + bytes.size() > MaxQueuedBytes) {
        close();
        emit sendQueueOverflowed();
        return;
    }
    m_socket->write(bytes);
}

QString ServerConnection::localIdentifier() const
{
    bool isIpv4 = false;
    const quint32 ipv4 = m_socket->localAddress().toIPv4Address(&isIpv4);
    if (isIpv4)
        return QHostAddress(ipv4).toString();
    // An IPv6 address would begin with ":" or hold colons, which the user field cannot carry.
    const QString host = QHostInfo::localHostName();
    return host.isEmpty() ? QStringLiteral("localhost") : host;
}

void ServerConnection::readAvailable()
{
    if (isClosed())
        return;
    const QByteArray data = m_socket->readAll();
    // A line's handling may close the connection (the send queue overflowed): the rest of the
    // chunk then belongs to a connection that is over.
    m_framer.feed(data, [this](const QString &line) {
        if (!isClosed())
            emit lineReceived(line);
    });
}
