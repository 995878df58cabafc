#include "ircclient.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

namespace {

int remainingMs(const QDeadlineTimer &deadline)
{
    return int(qBound(qint64(0), deadline.remainingTime(), qint64(1000 * 1000)));
}

QString channelPattern(const QString &channel)
{
    return QRegularExpression::escape(channel);
}

} // namespace

IrcClient::IrcClient(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &IrcClient::readAvailable);
}

IrcClient::~IrcClient()
{
    m_socket.abort();
}

bool IrcClient::connectAndRegister(const QString &host, quint16 port, const QString &nick,
                                   int timeoutMs)
{
    m_socket.abort();
    m_buffer.clear();
    m_transcript.clear();
    m_pending.clear();
    m_lastError.clear();
    m_nick = nick;

    const QDeadlineTimer deadline(timeoutMs);
    m_socket.connectToHost(host, port);
    while (m_socket.state() != QAbstractSocket::ConnectedState) {
        if (m_socket.state() == QAbstractSocket::UnconnectedState) {
            m_lastError = QStringLiteral("cannot connect to %1:%2: %3")
                              .arg(host)
                              .arg(port)
                              .arg(m_socket.errorString());
            return false;
        }
        if (deadline.hasExpired()) {
            m_socket.abort();
            m_lastError = QStringLiteral("timed out connecting to %1:%2").arg(host).arg(port);
            return false;
        }
        waitForActivity(remainingMs(deadline));
    }

    send("NICK " + nick.toUtf8());
    send("USER velmora 0 * :Velmora test client");
    // 001 on success; the nick errors, a ban (465) or ERROR when the server refuses.
    static const QRegularExpression outcome(
        QStringLiteral("^(:\\S+ (001|431|432|433|436|437|465) |ERROR )"));
    QString line;
    if (!waitForLine(outcome, &line, remainingMs(deadline))) {
        if (m_lastError.isEmpty())
            m_lastError = QStringLiteral("no welcome (001) from the server");
        return false;
    }
    if (!line.contains(QLatin1String(" 001 "))) {
        m_lastError = QStringLiteral("registration refused: ") + line;
        return false;
    }
    return true;
}

void IrcClient::send(const QByteArray &line)
{
    if (!isConnected())
        return;
    m_socket.write(line + "\r\n");
    m_socket.flush();
}

bool IrcClient::waitForLine(const QRegularExpression &re, QString *matched, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const qsizetype index = findPending(re);
        if (index >= 0) {
            const QString line = m_pending.takeAt(index);
            if (matched)
                *matched = line;
            return true;
        }
        if (m_socket.state() == QAbstractSocket::UnconnectedState) {
            m_lastError =
                QStringLiteral("connection closed while waiting for /%1/").arg(re.pattern());
            return false;
        }
        if (deadline.hasExpired()) {
            m_lastError = QStringLiteral("timed out waiting for /%1/").arg(re.pattern());
            return false;
        }
        waitForActivity(remainingMs(deadline));
    }
}

void IrcClient::clearPending()
{
    m_pending.clear();
}

bool IrcClient::join(const QString &channel, int timeoutMs)
{
    send("JOIN " + channel.toUtf8());
    // 366 ends the names list sent on a successful join; the others are the ways to be refused.
    const QRegularExpression outcome(
        QStringLiteral("^:\\S+ (366|403|405|471|473|474|475|476|477|489) \\S+ %1( |$)")
            .arg(channelPattern(channel)),
        QRegularExpression::CaseInsensitiveOption);
    QString line;
    if (!waitForLine(outcome, &line, timeoutMs))
        return false;
    if (!line.contains(QLatin1String(" 366 "))) {
        m_lastError = QStringLiteral("join refused: ") + line;
        return false;
    }
    return true;
}

QStringList IrcClient::names(const QString &channel, int timeoutMs)
{
    const QRegularExpression reply(QStringLiteral("^:\\S+ (?:353 \\S+ [=*@] %1 :(.*)|366 \\S+ %1 )")
                                       .arg(channelPattern(channel)),
                                   QRegularExpression::CaseInsensitiveOption);
    // Names lists still queued from the join or an earlier NAMES would mix into this one.
    m_pending.removeIf([&reply](const QString &line) { return reply.match(line).hasMatch(); });

    send("NAMES " + channel.toUtf8());
    const QDeadlineTimer deadline(timeoutMs);
    QStringList members;
    QString line;
    while (waitForLine(reply, &line, remainingMs(deadline))) {
        const QRegularExpressionMatch match = reply.match(line);
        if (!match.hasCaptured(1))
            return members;
        members += match.captured(1).split(u' ', Qt::SkipEmptyParts);
    }
    return {};
}

void IrcClient::quit(const QByteArray &message)
{
    if (!isConnected())
        return;
    send("QUIT :" + message);
    const QDeadlineTimer deadline(3000);
    while (m_socket.state() != QAbstractSocket::UnconnectedState && !deadline.hasExpired())
        waitForActivity(remainingMs(deadline));
    m_socket.abort();
}

void IrcClient::readAvailable()
{
    m_buffer += m_socket.readAll();
    qsizetype end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        QByteArray raw = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        if (raw.startsWith("PING "))
            send("PONG " + raw.mid(5));
        const QString line = QString::fromUtf8(raw);
        m_transcript.append(line);
        m_pending.append(line);
        emit lineReceived(line);
    }
}

void IrcClient::waitForActivity(int timeoutMs)
{
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &IrcClient::lineReceived, &loop, &QEventLoop::quit);
    connect(&m_socket, &QAbstractSocket::stateChanged, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    loop.exec();
}

qsizetype IrcClient::findPending(const QRegularExpression &re) const
{
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        if (re.match(m_pending.at(i)).hasMatch())
            return i;
    }
    return -1;
}
