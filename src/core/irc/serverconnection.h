#pragma once

#include "lineframer.h"

#include <QObject>

class QTcpSocket;

// The one TCP connection to the IRC server: opening, closing, writing lines and framing what
// arrives into lines.
class ServerConnection : public QObject
{
    Q_OBJECT
public:
    explicit ServerConnection(QObject *parent = nullptr);

    void open(const QString &host, quint16 port);
    void close();
    bool isClosed() const;

    // Writes line + LF. Dropped silently while closed. The line ends at the first CR, LF or NUL
    // it contains, so no text can put a second command on the wire.
    void sendLine(QStringView line);
    // Writes bytes exactly as given (the registration line that ends in CR LF).
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

private:
    void readAvailable();

    QTcpSocket *m_socket; // a child of this object
    LineFramer m_framer;
};
