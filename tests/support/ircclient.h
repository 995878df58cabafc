#pragma once

#include <QObject>
#include <QRegularExpression>
#include <QStringList>
#include <QTcpSocket>

// A scripted raw IRC client for tests: registers, sends lines verbatim and waits for lines the
// server sends back. It answers PING by itself.
//
// Every line received is kept twice: in the full transcript (receivedLines()) and in a queue
// of pending lines. waitForLine() looks at the pending lines first, oldest first, then at new
// lines as they arrive; the line it returns is removed from the queue, the lines it skipped
// stay for later waits. clearPending() forgets the queue, so the next wait only sees lines that
// arrive after that point. While waiting, the Qt event loop runs, so other sockets in the same
// thread (the client under test, say) keep working.
class IrcClient : public QObject
{
    Q_OBJECT
public:
    explicit IrcClient(QObject *parent = nullptr);
    ~IrcClient() override;

    // Connects, sends NICK and USER and waits for 001. False on a refused connection, a nick
    // the server rejects, or a timeout; lastError() then says which.
    bool connectAndRegister(const QString &host, quint16 port, const QString &nick,
                            int timeoutMs = 10000);

    // Sends one line; CR LF is appended.
    void send(const QByteArray &line);

    // Waits until a pending or newly arriving line matches re and consumes it. The whole line,
    // without CR LF, goes to *matched.
    bool waitForLine(const QRegularExpression &re, QString *matched = nullptr,
                     int timeoutMs = 10000);
    void clearPending();

    // Everything received since connecting, in order, without CR LF.
    QStringList receivedLines() const { return m_transcript; }

    // Joins and waits for the end of the names list (366).
    bool join(const QString &channel, int timeoutMs = 10000);
    // Sends NAMES and returns the members as the server lists them, prefixes included (the
    // highest one only, unless multi-prefix was negotiated). Empty on timeout.
    QStringList names(const QString &channel, int timeoutMs = 10000);

    // Sends QUIT and waits briefly for the server to close the connection.
    void quit(const QByteArray &message = "bye");

    QString nick() const { return m_nick; }
    bool isConnected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    QString lastError() const { return m_lastError; }

signals:
    void lineReceived(const QString &line);

private:
    void readAvailable();
    // Runs the event loop until a line arrives, the connection drops or the deadline passes.
    void waitForActivity(int timeoutMs);
    qsizetype findPending(const QRegularExpression &re) const;

    QTcpSocket m_socket;
    QByteArray m_buffer;
    QStringList m_transcript;
    QStringList m_pending;
    QString m_nick;
    QString m_lastError;
};
