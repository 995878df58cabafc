#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QByteArray kUserLine = "USER 127.0.0.1 local irc :Velmora Messenger 1.0 (Orvane)\r\n";
const QByteArray kNickServAsks = ":NickServ!services@velmora.test NOTICE alice :This nickname is "
                                 "registered. Otherwise, please choose a different nick.\r\n";
const QString kTimedOut =
    u" *** The server did not finish the SASL sign-in in time: signing in without it."_qs;
constexpr auto kTimeout = 250ms;
// The greeting lines every connection starts with.
constexpr int kGreetingLines = 3;

// One turn: what the server sends, and what the client must write in answer. Nothing to send
// means waiting (past the time limit when no answer is expected).
struct Step
{
    QByteArray serverSends;
    QByteArray clientAnswers;
};
using Script = QList<Step>;

const Step kOffer{":irc CAP * LS :multi-prefix sasl=PLAIN,EXTERNAL\r\n", "CAP REQ :sasl\n"};
const Step kAck{":irc CAP * ACK :sasl\r\n", "AUTHENTICATE PLAIN\n"};
const Step kAccepted{":irc 900 alice alice!a@h alice :You are now logged in as alice\r\n"
                     ":irc 903 alice :SASL authentication successful\r\n",
                     "CAP END\n"};
const QStringList kAcceptedShown{u" alice!a@h alice You are now logged in as alice"_qs,
                                 u" SASL authentication successful"_qs};

// The whole exchange for a password, with the credentials in 400-byte chunks, written out
// here independently of the program's own chunking.
Script acceptedSignIn(const QString &password)
{
    const QByteArray encoded = ("\0alice\0"_qba + password.toUtf8()).toBase64();
    QByteArray answer;
    for (qsizetype at = 0; at < encoded.size(); at += 400)
        answer += "AUTHENTICATE " + encoded.mid(at, 400) + "\n";
    if (encoded.size() % 400 == 0)
        answer += "AUTHENTICATE +\n";
    return {kOffer, kAck, {"AUTHENTICATE +\r\n", answer}, kAccepted};
}

QStringList linesAfterGreeting(const ChatBuffer &view)
{
    QStringList lines;
    for (int i = kGreetingLines; i < view.lineCount(); ++i)
        lines << view.lineText(i);
    return lines;
}

} // namespace

Q_DECLARE_METATYPE(Script)

// Signing in with SASL PLAIN against a scripted server: what goes on the wire for each way a
// server may answer, what the room shows, and whether NickServ is still answered with the
// password afterwards (the fallback) or not (signed in already).
class TestSasl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void capabilitiesAskedOnlyWithPassword_data();
    void capabilitiesAskedOnlyWithPassword();
    void negotiation_data();
    void negotiation();
    void disconnectStopsTheTimeLimit();

private:
    void connectWith(const QString &password, const QByteArray &firstBytes);
    void play(const Script &script);

    SessionVariables m_vars;
    RecordingPresenter m_presenter;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
};

void TestSasl::init()
{
    m_vars = SessionVariables{u"alice"_qs, QString(), u"#velmora"_qs, 0};
    m_presenter = RecordingPresenter();
    m_server = std::make_unique<ScriptedServer>();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setPresenter(&m_presenter);
    m_session->setServer(u"127.0.0.1"_qs, m_server->port());
    m_session->capNegotiation().setTimeout(kTimeout);
}

void TestSasl::cleanup()
{
    m_session.reset();
    m_server.reset();
}

void TestSasl::connectWith(const QString &password, const QByteArray &firstBytes)
{
    m_vars.CurrentPassword = password;
    m_session->ConnectToServer();
    QVERIFY(m_server->acceptClient());
    QCOMPARE(m_server->receivedUntil(kUserLine), firstBytes);
    m_server->clearReceived();
}

void TestSasl::play(const Script &script)
{
    for (const Step &step : script) {
        if (!step.serverSends.isEmpty()) {
            QCOMPARE(m_server->exchange(step.serverSends), step.clientAnswers);
        } else if (!step.clientAnswers.isEmpty()) {
            QCOMPARE(m_server->receivedUntil(step.clientAnswers), step.clientAnswers);
            m_server->clearReceived();
        } else {
            QTest::qWait(int((kTimeout + 100ms).count()));
            QCOMPARE(m_server->receivedSettled(), QByteArray());
        }
    }
}

void TestSasl::capabilitiesAskedOnlyWithPassword_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("registration");
    QTest::newRow("no password") << QString() << "NICK alice\n" + kUserLine;
    QTest::newRow("password") << u"secret"_qs << "CAP LS 302\nNICK alice\n" + kUserLine;
}

void TestSasl::capabilitiesAskedOnlyWithPassword()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, registration);
    connectWith(password, registration);
    QVERIFY(m_session->isConnected());
    QCOMPARE(m_presenter.calls.last(), u"commands 0 1"_qs);
}

void TestSasl::negotiation_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<Script>("script");
    // What the room view gains besides the greeting.
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<bool>("signedIn");

    const QString secret = u"secret"_qs;
    const Step failed{":irc 904 alice :SASL authentication failed\r\n", "CAP END\n"};
    const Step welcome{":irc 001 alice :Welcome\r\n", ""};
    const Step waitPastTimeLimit{"", ""};
    const Step timesOut{"", "CAP END\n"};
    const Step challenge = acceptedSignIn(secret)[2];

    QTest::newRow("accepted") << secret << acceptedSignIn(secret) << kAcceptedShown << true;
    QTest::newRow("credentials refused") << secret << Script{kOffer, kAck, challenge, failed}
                                         << QStringList{u" SASL authentication failed"_qs} << false;
    QTest::newRow("credentials too long")
        << secret
        << Script{kOffer,
                  kAck,
                  challenge,
                  {":irc 905 alice :SASL message too long\r\n", "CAP END\n"}}
        << QStringList{u" SASL message too long"_qs} << false;
    QTest::newRow("request refused")
        << secret << Script{kOffer, {":irc CAP * NAK :sasl\r\n", "CAP END\n"}} << QStringList()
        << false;
    QTest::newRow("sasl not offered")
        << secret << Script{{":irc CAP * LS :multi-prefix away-notify\r\n", "CAP END\n"}}
        << QStringList() << false;
    QTest::newRow("sasl without PLAIN")
        << secret << Script{{":irc CAP * LS :sasl=EXTERNAL multi-prefix\r\n", "CAP END\n"}}
        << QStringList() << false;
    QTest::newRow("list over several lines")
        << secret
        << Script{{":irc CAP * LS * :multi-prefix\r\n"
                   ":irc CAP * LS * :sasl=SCRAM-SHA-256,PLAIN\r\n",
                   ""},
                  {":irc CAP * LS :away-notify\r\n", "CAP REQ :sasl\n"},
                  kAck,
                  challenge,
                  kAccepted}
        << kAcceptedShown << true;
    QTest::newRow("server without CAP")
        << secret << Script{{":irc 421 alice CAP :Unknown command\r\n", ""}, welcome}
        << QStringList{u" Welcome"_qs} << false;
    QTest::newRow("server ignores CAP")
        << secret << Script{welcome, waitPastTimeLimit} << QStringList{u" Welcome"_qs} << false;
    QTest::newRow("server stops answering")
        << secret << Script{timesOut} << QStringList{kTimedOut} << false;
    QTest::newRow("list that never ends")
        << secret
        << Script{{":irc CAP * LS * :a\r\n:irc CAP * LS * :sasl\r\n:irc CAP * LS * :b\r\n", ""},
                  timesOut}
        << QStringList{kTimedOut} << false;
    QTest::newRow("acknowledged without sasl")
        << secret << Script{kOffer, {":irc CAP * ACK :multi-prefix\r\n", "CAP END\n"}}
        << QStringList() << false;
    QTest::newRow("challenge PLAIN does not have")
        << secret
        << Script{kOffer, kAck, {"AUTHENTICATE c2VydmVy\r\n", "AUTHENTICATE *\nCAP END\n"}}
        << QStringList() << false;
    QTest::newRow("AUTHENTICATE unknown")
        << secret
        << Script{kOffer, {":irc 421 alice AUTHENTICATE :Unknown command\r\n", "CAP END\n"}}
        << QStringList() << false;
    QTest::newRow("success before any credentials")
        << secret << Script{{":irc 903 alice :SASL authentication successful\r\n", "CAP END\n"}}
        << QStringList{u" SASL authentication successful"_qs} << false;
    QTest::newRow("nonsense replies") << secret
                                      << Script{{":irc CAP *\r\n:irc CAP * FOO :bar\r\n:irc CAP * "
                                                 "ACK :sasl\r\nAUTHENTICATE +\r\n",
                                                 ""},
                                                kOffer,
                                                kAck,
                                                challenge,
                                                kAccepted}
                                      << kAcceptedShown << true;
    // Base64 of the credentials is exactly 400 bytes: an empty chunk marks the end.
    const QString fillsOneChunk(300 - 7, u'x');
    QTest::newRow("credentials fill one chunk")
        << fillsOneChunk << acceptedSignIn(fillsOneChunk) << kAcceptedShown << true;
    const QString twoChunks = QString(400, u'y') + u"\u00e9"_qs;
    QTest::newRow("credentials over two chunks")
        << twoChunks << acceptedSignIn(twoChunks) << kAcceptedShown << true;
}

void TestSasl::negotiation()
{
    QFETCH(QString, password);
    QFETCH(Script, script);
    QFETCH(QStringList, shown);
    QFETCH(bool, signedIn);
    connectWith(password, "CAP LS 302\nNICK alice\n" + kUserLine);
    play(script);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(linesAfterGreeting(m_session->roomView()), shown);
    // Signed in, the password is spent as after identifying; otherwise NickServ gets it.
    QCOMPARE(m_vars.CurrentPassword.isEmpty(), signedIn);
    const QByteArray identify = signedIn ? "" : "nickserv identify " + password.toUtf8() + "\n";
    QCOMPARE(m_server->exchange(kNickServAsks), identify);
    // Over: the time limit adds nothing, nor do later capability messages.
    QVERIFY(!m_session->capNegotiation().isActive());
    const int shownBefore = m_session->roomView().lineCount();
    QCOMPARE(m_server->exchange(":irc CAP alice NEW :sasl\r\nAUTHENTICATE +\r\n"), QByteArray());
    QTest::qWait(int((kTimeout + 100ms).count()));
    QCOMPARE(m_server->receivedSettled(), QByteArray());
    QCOMPARE(m_session->roomView().lineCount(), shownBefore);
    QVERIFY(m_session->isConnected());
}

void TestSasl::disconnectStopsTheTimeLimit()
{
    connectWith(u"secret"_qs, "CAP LS 302\nNICK alice\n" + kUserLine);
    m_session->disconnectFromServer();
    QVERIFY(!m_session->capNegotiation().isActive());
    const int shownBefore = m_session->roomView().lineCount();
    QTest::qWait(int((kTimeout + 100ms).count()));
    QCOMPARE(m_session->roomView().lineCount(), shownBefore);
    QVERIFY(m_server->receivedSettled().startsWith("QUIT "));
}

QTEST_GUILESS_MAIN(TestSasl)
#include "tst_sasl.moc"
