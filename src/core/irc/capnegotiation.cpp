#include "capnegotiation.h"

namespace {

bool sameWord(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// True when a capability list names "sasl" with PLAIN among its mechanisms, or with no
// mechanisms given (a server that lists none takes any and says no when it must).
bool offersPlain(QStringView list)
{
    for (const QStringView token : list.tokenize(u' ', Qt::SkipEmptyParts)) {
        if (sameWord(token, u"sasl"))
            return true;
        if (!token.startsWith(u"sasl=", Qt::CaseInsensitive))
            continue;
        for (const QStringView mechanism : token.mid(5).tokenize(u','))
            if (sameWord(mechanism, u"PLAIN"))
                return true;
    }
    return false;
}

bool namesSasl(QStringView list)
{
    for (const QStringView token : list.tokenize(u' ', Qt::SkipEmptyParts))
        if (sameWord(token, u"sasl"))
            return true;
    return false;
}

} // namespace

CapNegotiation::CapNegotiation(QObject *parent) : QObject(parent), m_timer(this)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CapNegotiation::timedOut);
}

void CapNegotiation::start(const QString &nick, const QString &password)
{
    stop();
    m_state = State::AwaitingList;
    m_nick = nick;
    m_password = password;
    m_timer.start(m_timeout);
    emit lineToSend(QStringLiteral("CAP LS 302"));
}

void CapNegotiation::stop()
{
    m_timer.stop();
    m_state = State::Idle;
    m_plainOffered = false;
    m_nick.clear();
    m_password.clear();
}

bool CapNegotiation::handle(const ParsedLine &line)
{
    if (m_state == State::Idle)
        return false;
    const QString &command = line.Command;
    if (sameWord(command, u"CAP")) {
        capReply(line);
        return true;
    }
    if (sameWord(command, u"AUTHENTICATE")) {
        challenge(line);
        return true;
    }
    if (command == u"421" || command == u"451")
        return refusedCommand(line);
    if (command.size() == 3 && command.startsWith(u"90") && command[2] >= u'3' &&
        command[2] <= u'8') {
        verdict(command);
        return false;
    }
    // Welcomed: the server registered without waiting, so it took no part in CAP.
    if (command == u"001")
        finish(Outcome::NotOffered, false);
    return false;
}

void CapNegotiation::capReply(const ParsedLine &line)
{
    const QString subcommand = GetParams(line, 2, 2);
    if (sameWord(subcommand, u"LS") && m_state == State::AwaitingList) {
        listReply(line);
    } else if (sameWord(subcommand, u"ACK") && m_state == State::AwaitingAck) {
        if (!namesSasl(GetParams(line, 3, -1))) {
            finish(Outcome::NotOffered, true);
            return;
        }
        m_state = State::AwaitingChallenge;
        emit lineToSend(QStringLiteral("AUTHENTICATE PLAIN"));
    } else if (sameWord(subcommand, u"NAK") && m_state == State::AwaitingAck) {
        finish(Outcome::Refused, true);
    }
    // Anything else (NEW, DEL, a reply out of turn, nonsense) changes nothing.
}

// "CAP * LS * :a b" announces more lines to come; "CAP * LS :c d" is the last one.
void CapNegotiation::listReply(const ParsedLine &line)
{
    const bool more = line.ParamCount >= 4 && GetParams(line, 3, 3) == u"*";
    if (offersPlain(GetParams(line, more ? 4 : 3, -1)))
        m_plainOffered = true;
    if (more)
        return;
    if (!m_plainOffered) {
        finish(Outcome::NotOffered, true);
        return;
    }
    m_state = State::AwaitingAck;
    emit lineToSend(QStringLiteral("CAP REQ :sasl"));
}

void CapNegotiation::challenge(const ParsedLine &line)
{
    if (m_state == State::AwaitingChallenge && GetParams(line, 1, -1) == u"+") {
        m_state = State::AwaitingVerdict;
        for (const QString &response : plainResponse(m_nick, m_password))
            emit lineToSend(response);
        return;
    }
    // A challenge PLAIN does not have, or one that was not asked for: give up on SASL.
    if (m_state == State::AwaitingChallenge || m_state == State::AwaitingVerdict) {
        emit lineToSend(QStringLiteral("AUTHENTICATE *"));
        finish(Outcome::Refused, true);
    }
}

// "421 nick CAP :Unknown command": a server without CAP, which registers on NICK and USER as
// it always did. The same for AUTHENTICATE ends the attempt at SASL.
bool CapNegotiation::refusedCommand(const ParsedLine &line)
{
    const QString refused = GetParams(line, 2, 2);
    if (sameWord(refused, u"CAP")) {
        finish(Outcome::NotOffered, false);
        return true;
    }
    if (sameWord(refused, u"AUTHENTICATE")) {
        finish(Outcome::Refused, true);
        return true;
    }
    return false;
}

void CapNegotiation::verdict(const QString &numeric)
{
    // Only an answer to the credentials just sent signs the user in.
    const bool accepted = numeric == u"903" && m_state == State::AwaitingVerdict;
    finish(accepted ? Outcome::Authenticated : Outcome::Refused, true);
}

void CapNegotiation::timedOut()
{
    if (m_state != State::Idle)
        finish(Outcome::TimedOut, true);
}

void CapNegotiation::finish(Outcome outcome, bool releaseRegistration)
{
    stop();
    if (releaseRegistration)
        emit lineToSend(QStringLiteral("CAP END"));
    emit finished(outcome);
}

QStringList CapNegotiation::plainResponse(const QString &nick, const QString &password)
{
    const QByteArray credentials = '\0' + nick.toUtf8() + '\0' + password.toUtf8();
    const QByteArray encoded = credentials.toBase64();
    QStringList lines;
    for (qsizetype at = 0; at < encoded.size(); at += ChunkBytes)
        lines << u"AUTHENTICATE "_qs + QString::fromLatin1(encoded.mid(at, ChunkBytes));
    if (encoded.size() % ChunkBytes == 0)
        lines << QStringLiteral("AUTHENTICATE +");
    return lines;
}
