#pragma once

#include "lineframer.h"

#include <QAbstractSocket>
#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QTimer>

#include <chrono>

class QSslSocket;
class QTcpSocket;

// The one TCP connection to the IRC server: opening, closing, writing lines and framing what
// arrives into lines. What waits to be written is capped: a server that stops reading while it
// keeps sending (PINGs owe PONGs) would otherwise make the queue grow without bound, so past
// the cap the connection is closed instead.
// A secure connection is TLS from the first byte; the server's certificate is checked against
// the system's authorities, any extra ones given, and the host name, and the connection counts
// as open only once that check has passed, so nothing is written to a server that failed it.
// Each attempt to open has a time limit, so that a server that never completes the TCP or TLS
// handshake cannot leave the attempt hanging.
// A plain connection goes through a bare TCP socket: every line passes through the socket, and
// the TLS socket's plain mode would relay each one with a signal and a copy of its own.
class ServerConnection : public QObject
{
    Q_OBJECT
public:
    // The most bytes that may wait in the socket to be written.
    static constexpr qint64 MaxQueuedBytes = 1024 * 1024;
    static constexpr std::chrono::milliseconds DefaultAttemptTimeout = std::chrono::seconds(30);

    explicit ServerConnection(QObject *parent = nullptr);

    enum class Security
    {
        Plain,
        Tls
    };

    void open(const QString &host, quint16 port, Security security = Security::Plain);
    void close();
    bool isClosed() const;
    // True while the open connection runs over TLS with a verified certificate.
    bool isEncrypted() const;

    // Authorities trusted besides the system's for secure connections (a private network's).
    void setExtraAuthorities(const QList<QSslCertificate> &authorities);
    // How long an attempt may take from open() until the connection is ready.
    void setAttemptTimeout(std::chrono::milliseconds timeout);

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

    // The socket of the connection opened last: the TLS one for a secure connection.
    QTcpSocket &socket() { return *m_socket; }

signals:
    // The connection is ready for lines: connected, and for a secure one, verified.
    void connected();
    void lineReceived(const QString &line);
    // A socket failure; the server closing the connection is not one.
    void failed();
    // The server closed or reset the connection.
    void closedByServer();
    // The server stopped taking what this side writes: the queue reached its cap and the
    // connection has been closed.
    void sendQueueOverflowed();
    // A secure connection could not be set up (the certificate failed its check, the server
    // spoke no TLS or went away during the handshake); the connection has been closed.
    void secureSetupFailed(const QString &reason);
    // The attempt did not complete within the time limit; the connection has been closed.
    void attemptTimedOut();

private:
    void readAvailable();
    void queue(const QByteArray &bytes);
    void socketError(QAbstractSocket::SocketError error);
    bool isSettingUpTls() const;
    void ready();

    QTcpSocket *m_plainSocket; // children of this object
    QSslSocket *m_secureSocket;
    QTcpSocket *m_socket; // whichever of the two the connection uses, so also its security
    LineFramer m_framer;
    QList<QSslCertificate> m_extraAuthorities;
    QStringList m_certificateProblems;
    QTimer m_attemptTimer;
};
