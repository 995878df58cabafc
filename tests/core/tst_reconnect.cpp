#include "irc/ircsession.h"
#include "irc/reconnector.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"

#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QByteArray kUserLineTail = " local irc :Velmora Messenger 1.0 (Orvane)\r\n";
const QByteArray kSignIn = ":srv 001 alice :Welcome\r\n"
                           ":srv 376 alice :End of MOTD\r\n"
                           ":NickServ!s@h NOTICE alice :please choose a different nick.\r\n";
// What the program answers to kSignIn: the room is joined and NickServ answered.
const QByteArray kJoinAndIdentify = "JOIN #velmora\nnickserv identify secret\n";
const QString kStopped = u" *** Automatic reconnect stopped."_qs;

QString retryLine(int seconds, int attempt)
{
    return u" *** Reconnecting in %1 s (attempt %2)..."_qs.arg(seconds).arg(attempt);
}

} // namespace

class TestReconnect : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void delays_data();
    void delays();
    void lossesThatAreRetried_data();
    void lossesThatAreRetried();
    void retriesBackOffThenSignInAgain();
    void stoppingWhileARetryWaits_data();
    void stoppingWhileARetryWaits();

private:
    void signIn();

    SessionVariables m_vars;
    RecordingPresenter m_presenter;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
    QList<std::chrono::milliseconds> m_delays;
};

void TestReconnect::init()
{
    m_vars = SessionVariables();
    m_vars.CurrentNick = QStringLiteral("alice");
    m_vars.CurrentPassword = QStringLiteral("secret");
    m_vars.CurrentRoom = QStringLiteral("#velmora");
    m_presenter = RecordingPresenter();
    m_server = std::make_unique<ScriptedServer>();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setPresenter(&m_presenter);
    m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
    // No jitter, and each planned delay is recorded but waited for only a millisecond.
    Reconnector &reconnector = m_session->reconnector();
    reconnector.setJitterSource([] { return 0.0; });
    m_delays.clear();
    reconnector.setWaitFunction([this](std::chrono::milliseconds delay) {
        m_delays << delay;
        return 1ms;
    });
}

void TestReconnect::cleanup()
{
    m_session.reset();
    m_server.reset();
}

// Connects, signs in the first time and leaves nothing unread.
void TestReconnect::signIn()
{
    m_session->ConnectToServer();
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil(kUserLineTail).endsWith(kUserLineTail));
    QCOMPARE(m_server->exchange(kSignIn), kJoinAndIdentify);
}

void TestReconnect::delays_data()
{
    QTest::addColumn<int>("losses");
    QTest::addColumn<double>("jitter");
    QTest::addColumn<QList<qint64>>("expectedMs");
    QTest::newRow("doubling up to the longest")
        << 8 << 0.0 << QList<qint64>{2000, 4000, 8000, 16000, 32000, 60000, 60000, 60000};
    QTest::newRow("jitter shortens by its share of a tenth")
        << 3 << 0.5 << QList<qint64>{1900, 3800, 7600};
    QTest::newRow("jitter out of range is held to a tenth")
        << 2 << 7.0 << QList<qint64>{1800, 3600};
}

void TestReconnect::delays()
{
    QFETCH(int, losses);
    QFETCH(double, jitter);
    QFETCH(QList<qint64>, expectedMs);
    Reconnector reconnector;
    reconnector.setJitterSource([jitter] { return jitter; });
    reconnector.setWaitFunction([](std::chrono::milliseconds) { return 1h; });
    QList<qint64> scheduled;
    QList<int> attempts;
    connect(&reconnector, &Reconnector::retryScheduled, this,
            [&](int attempt, std::chrono::milliseconds delay) {
                attempts << attempt;
                scheduled << delay.count();
            });
    reconnector.setEnabled(true);
    reconnector.keep();
    for (int i = 0; i < losses; ++i) {
        reconnector.connectionLost();
        reconnector.connectionLost(); // a second report of the same loss changes nothing
        QVERIFY(reconnector.isWaiting());
        reconnector.cancelWaiting(); // as when the retry failed again
    }
    QCOMPARE(scheduled, expectedMs);
    QCOMPARE(attempts.last(), losses);
    // A sign-in starts the waits over.
    reconnector.signedIn();
    reconnector.connectionLost();
    QCOMPARE(scheduled.last(), expectedMs.first());
}

void TestReconnect::lossesThatAreRetried_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("loss");
    QTest::addColumn<QString>("lossLine");
    QTest::addColumn<bool>("retried");
    const QString closed = u" *** The server closed the connection."_qs;
    const QString error = u" ERROR : Valid name, no data record of requested type."_qs;
    QTest::newRow("closed") << true << "close" << closed << true;
    QTest::newRow("reset") << true << "reset" << closed << true;
    QTest::newRow("ERROR") << true << "error" << u" * Closing link: [Server shutdown]"_qs << true;
    QTest::newRow("no answer to PING") << true << "silence" << error << true;
    QTest::newRow("off by default") << false << "close" << closed << false;
    QTest::newRow("KILL") << true << "kill" << QString() << false;
    QTest::newRow("Disconnect") << true << "disconnect" << QString() << false;
}

void TestReconnect::lossesThatAreRetried()
{
    QFETCH(bool, enabled);
    QFETCH(QString, loss);
    QFETCH(QString, lossLine);
    QFETCH(bool, retried);
    m_session->setReconnectAutomatically(enabled);
    m_session->keepAlive().setIntervals(100ms, 100ms);
    signIn();
    m_presenter.calls.clear();
    if (loss == u"close") {
        m_server->closeClient();
    } else if (loss == u"reset") {
        m_server->resetClient();
    } else if (loss == u"error") {
        m_server->send("ERROR :Closing link: [Server shutdown]\r\n");
        m_server->closeClient();
    } else if (loss == u"kill") {
        m_server->send(":op!o@h KILL alice :go away\r\nERROR :Closing link: [Killed]\r\n");
        m_server->closeClient();
    } else if (loss == u"disconnect") {
        m_session->disconnectFromServer();
        m_server->closeClient();
    } // "silence": the server just stops answering
    QTRY_VERIFY(m_session->connection().isClosed());
    QTRY_VERIFY(!m_session->isConnected());

    if (!retried) {
        QVERIFY(!m_server->awaitClient(300));
        QVERIFY(m_delays.isEmpty());
        QVERIFY(!roomLines(m_session->roomView()).contains(retryLine(2, 1)));
        return;
    }
    // The loss is shown as without retries, then the retry; while it waits both commands work.
    QTRY_VERIFY(roomLines(m_session->roomView()).contains(retryLine(2, 1)));
    const QStringList lines = roomLines(m_session->roomView());
    QCOMPARE(lines.mid(lines.indexOf(lossLine)).last(), retryLine(2, 1));
    QCOMPARE(m_presenter.calls.mid(m_presenter.calls.indexOf(u"commands 1 0"_qs), 3),
             (QStringList{"commands 1 0", "moderator 0", "commands 1 1"}));
    QVERIFY(m_server->awaitClient());
    // With a password the sign-in first asks for SASL, as the first one did.
    QCOMPARE(m_server->receivedUntil(kUserLineTail).left(22),
             QByteArray("CAP LS 302\nNICK alice\n"));
    QCOMPARE(m_server->exchange(kSignIn), kJoinAndIdentify);
    QCOMPARE(m_presenter.calls.last(), u"commands 0 1"_qs);
}

void TestReconnect::retriesBackOffThenSignInAgain()
{
    m_session->setReconnectAutomatically(true);
    signIn();
    const quint16 port = m_server->port();
    // The server is down for three attempts and back for the fourth.
    connect(&m_session->reconnector(), &Reconnector::retryScheduled, this, [&](int attempt) {
        if (attempt == 4)
            QVERIFY(m_server->listenAgain(port));
    });
    m_server->closeListening();
    m_server->closeClient();
    QVERIFY(m_server->awaitClient(10000));
    QCOMPARE(m_delays, (QList<std::chrono::milliseconds>{2s, 4s, 8s, 16s}));
    QStringList retries;
    for (const QString &line : roomLines(m_session->roomView())) {
        if (line.contains(u"Reconnecting"))
            retries << line;
    }
    QCOMPARE(retries,
             (QStringList{retryLine(2, 1), retryLine(4, 2), retryLine(8, 3), retryLine(16, 4)}));

    // Same nick and password as the first sign-in; the room is joined again.
    QVERIFY(m_server->receivedUntil(kUserLineTail).startsWith("CAP LS 302\nNICK alice\nUSER "));
    QCOMPARE(m_server->exchange(kSignIn), kJoinAndIdentify);
    QVERIFY(m_session->isConnected());

    // Signed in, the next loss starts at the first delay again.
    m_delays.clear();
    m_server->closeClient();
    QVERIFY(m_server->awaitClient());
    QCOMPARE(m_delays, (QList<std::chrono::milliseconds>{2s}));
}

void TestReconnect::stoppingWhileARetryWaits_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Disconnect") << "disconnect";
    QTest::newRow("setting turned off") << "off";
}

void TestReconnect::stoppingWhileARetryWaits()
{
    QFETCH(QString, how);
    m_session->setReconnectAutomatically(true);
    m_session->reconnector().setWaitFunction([](std::chrono::milliseconds) { return 300ms; });
    signIn();
    m_server->closeClient();
    QTRY_VERIFY(m_session->reconnector().isWaiting());
    m_presenter.calls.clear();
    const QStringList shown = roomLines(m_session->roomView());

    if (how == u"disconnect")
        m_session->disconnectFromServer();
    else
        m_session->setReconnectAutomatically(false);
    QVERIFY(!m_session->reconnector().isWaiting());
    QCOMPARE(roomLines(m_session->roomView()), shown + QStringList{kStopped});
    QCOMPARE(m_presenter.calls.first(), u"commands 1 0"_qs);
    QVERIFY(!m_server->awaitClient(600));
}

QTEST_GUILESS_MAIN(TestReconnect)
#include "tst_reconnect.moc"
