#include "serverconnection.h"

#include "text/lineends.h"

#include <QHostInfo>
#include <QTcpSocket>

ServerConnection::ServerConnection(QObject *parent)
    : QObject(parent), m_socket(new QTcpSocket(this))
{
    connect(m_socket, &QTcpSocket::connected, this, &ServerConnection::connected);
    connect(m_socket, &QTcpSocket::readyRead, this, &ServerConnection::readAvailable);
    // Qt reports both a close and a reset by the server as RemoteHostClosedError.
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            emit closedByServer();
        else
            emit failed();
    });
}

bool ServerConnection::isClosed() const
{
    return m_socket->state() == QAbstractSocket::UnconnectedState;
}

void ServerConnection::open(const QString &host, quint16 port)
{
    if (!isClosed())
        close();
    m_socket->connectToHost(host, port);
}

void ServerConnection::close()
{
    m_socket->abort();
    m_framer.reset();
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
