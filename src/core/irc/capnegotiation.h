#pragma once

#include "parsedline.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>

// Signs in with SASL PLAIN while registration is held, when the server offers it: asks what
// the server can do (CAP LS 302), requests "sasl" and nothing else, answers the server's
// challenge with the nick and password, and releases registration (CAP END) once the server
// has given its verdict. The session feeds it every received line while it runs; it answers
// with the lines to send and, at the end, the outcome. Registration itself (NICK, USER) goes
// out right behind CAP LS, so a server that knows no CAP registers at once and the
// negotiation just ends. A server that stops answering is given a time limit, after which
// registration is released anyway. Nothing received is kept beyond a flag and the state, so a
// server that floods capability lists costs no memory.
class CapNegotiation : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds DefaultTimeout = std::chrono::seconds(15);
    // The most bytes of encoded credentials in one AUTHENTICATE line.
    static constexpr qsizetype ChunkBytes = 400;

    enum class Outcome
    {
        // The server accepted the credentials (903).
        Authenticated,
        // The server offered SASL but did not sign the user in (904 to 908, NAK, an abort).
        Refused,
        // The server offers no SASL PLAIN, or knows no CAP and registered without it.
        NotOffered,
        // The server did not finish within the time limit.
        TimedOut
    };
    Q_ENUM(Outcome)

    explicit CapNegotiation(QObject *parent = nullptr);

    // Takes effect at the next start().
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    // Sends CAP LS 302 and waits for the server's answers, signing in as nick with password.
    void start(const QString &nick, const QString &password);
    // Forgets the negotiation without a word (the connection is gone).
    void stop();
    bool isActive() const { return m_state != State::Idle; }

    // Offers one received line; true when it belongs to the negotiation alone and is not to be
    // shown. Lines that also matter to the user (the server's SASL verdict, the welcome) are
    // taken note of and left to be shown.
    bool handle(const ParsedLine &line);

    // The AUTHENTICATE lines that carry "\0nick\0password" in base64, in chunks of ChunkBytes;
    // a chunk of exactly ChunkBytes is followed by "AUTHENTICATE +" to mark the end.
    static QStringList plainResponse(const QString &nick, const QString &password);

signals:
    void lineToSend(const QString &line);
    void finished(CapNegotiation::Outcome outcome);

private:
    enum class State
    {
        Idle,
        AwaitingList,
        AwaitingAck,
        AwaitingChallenge,
        AwaitingVerdict
    };

    void capReply(const ParsedLine &line);
    void listReply(const ParsedLine &line);
    void challenge(const ParsedLine &line);
    bool refusedCommand(const ParsedLine &line);
    void verdict(const QString &numeric);
    void timedOut();
    void finish(Outcome outcome, bool releaseRegistration);

    State m_state = State::Idle;
    bool m_plainOffered = false;
    QString m_nick;
    QString m_password;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
    QTimer m_timer;
};
