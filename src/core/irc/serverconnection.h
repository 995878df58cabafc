#pragma once

#include "lineframer.h"

#include <QObject>

class QTcpSocket;

// The one TCP connection to the IRC server: opening, closing, writing lines and framing what
// arrives into lines. What waits to be written is capped: a server that stops reading while it
// keeps sending (PINGs owe PONGs) would otherwise make the queue grow without bound, so past
// the cap the connection is closed instead.
class ServerConnection : public QObject
{
    Q_OBJECT
public:
    // The most bytes that may wait in the socket to be written.
    static constexpr qint64 MaxQueuedBytes = 1024 * 1024;

    explicit ServerConnection(QObject *parent = nullptr);

    void open(const QString &host, quint16 port);
    void close();
    bool isClosed() const;

    // Writes line + LF. Dropped silently while closed. The line ends at the first CR, LF or NUL
    // it contains, so no text can put a second command on the wire. A line that would take the
    // queue past MaxQueuedBytes is not written: the connection is closed and
    // sendQueueOverflowed() emitted.
    void sendLine(QStringView line);
    // Writes bytes exactly as given (the registration line that ends in CR LF), under the same
    // cap.
    void writeRaw(const QByteArray &bytes);

    // How the local machine names itself on this connection, for the registration user field.
    QString localIdentifier() const;

    QTcpSocket &socket() { return *m_socket; }

signals:
    void connected();
    void lineReceived(const QString &line);
    // A socket failure; the server closing the connection is not one.
    void failed();
    // The server closed or reset the connection.
    void closedByServer();
    // The server stopped taking what this side writes: the queue reached its cap and the
    // connection has been closed.
    void sendQueueOverflowed();

private:
    void readAvailable();
    void queue(const QByteArray &bytes);

    QTcpSocket *m_socket; // a child of this object
    LineFramer m_framer;
};
