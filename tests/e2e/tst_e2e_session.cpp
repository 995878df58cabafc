#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/ircclient.h"
#include "support/ircnetwork.h"
#include "support/sessionrecorder.h"

#include <QtTest>

// The session against a real InspIRCd (and Anope for NickServ): after every membership change
// the member list equals the server's own NAMES reply, and NickServ identification runs as the
// real services answer it.
class TestEndToEndSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void memberListFollowsTheServer();
    void identifiesOnceWithTheLoginPassword();
    void asksForThePasswordWithoutOne();
    void wrongPasswordAsksAgain();

private:
    // Starts the session signed in as nick (with an optional login password).
    void startSession(const QString &nick, const QString &password = QString());
    // Waits until the session has shown a line containing text in its room view.
    bool roomShows(const QString &text, int timeoutMs = 10000);
    // The window calls from `first` on, without the moderator menu's: the user alone in the
    // room is its operator, which the names reply may show at any point.
    QStringList identificationCalls(const QString &first = QStringLiteral("await 1")) const;
    // Compares the session's list with what the server's NAMES says.
    void compareWithServer(IrcClient &observer, const char *step);

    IrcNetwork m_network;
    SessionVariables m_vars;
    RecordingPresenter m_presenter;
    RecordingLog m_roomLog;
    std::unique_ptr<IrcSession> m_session;
};

void TestEndToEndSession::initTestCase()
{
    if (!IrcNetwork::inspircdAvailable() || !IrcNetwork::anopeAvailable())
        QSKIP("InspIRCd and Anope are not installed (apt-get install inspircd anope)");
    QVERIFY2(m_network.start({.withServices = true}), qPrintable(m_network.lastError()));
}

void TestEndToEndSession::cleanup()
{
    if (m_session)
        m_session->disconnectFromServer();
    QTest::qWait(100);
    m_session.reset();
    m_presenter = RecordingPresenter();
    m_roomLog.lines.clear();
}

void TestEndToEndSession::startSession(const QString &nick, const QString &password)
{
    m_vars = SessionVariables{nick, password, QStringLiteral("#velmora"), 0};
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setPresenter(&m_presenter);
    m_session->roomView().setLog(&m_roomLog);
    m_session->setServer(m_network.host(), m_network.port());
    m_session->ConnectToServer();
}

bool TestEndToEndSession::roomShows(const QString &text, int timeoutMs)
{
    return m_roomLog.waitForLineWith(text, timeoutMs);
}

QStringList TestEndToEndSession::identificationCalls(const QString &first) const
{
    QStringList calls = m_presenter.calls.mid(m_presenter.calls.indexOf(first));
    calls.removeIf([](const QString &call) { return call.startsWith(u"moderator "_qs); });
    return calls;
}

void TestEndToEndSession::compareWithServer(IrcClient &observer, const char *step)
{
    QStringList server = observer.names(QStringLiteral("#velmora"));
    QStringList ours = m_session->members().entries();
    auto byFoldedText = [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    };
    std::sort(server.begin(), server.end(), byFoldedText);
    std::sort(ours.begin(), ours.end(), byFoldedText);
    QVERIFY2(ours == server, qPrintable(QStringLiteral("%1: ours [%2], server [%3]")
                                            .arg(step, ours.join(u' '), server.join(u' '))));
    QCOMPARE(m_presenter.userCount, QStringLiteral("Total Users = [%1]").arg(server.size()));
}

void TestEndToEndSession::memberListFollowsTheServer()
{
    IrcClient op;
    QVERIFY(op.connectAndRegister(m_network.host(), m_network.port(), "opal"));
    QVERIFY(op.join("#velmora")); // the first in the room is its operator
    startSession(QStringLiteral("alice"));
    QVERIFY(op.waitForLine(QRegularExpression("^:alice!\\S+ JOIN"), nullptr, 15000));
    IrcClient bob;
    QVERIFY(bob.connectAndRegister(m_network.host(), m_network.port(), "bob"));
    QVERIFY(bob.join("#velmora"));

    // Each step ends with a marker line from the operator: once the session shows it, the
    // session has handled everything the server sent before it.
    int marker = 0;
    auto step = [&](const QByteArray &line, IrcClient &from, const char *name) {
        from.send(line);
        const QByteArray text = "step " + QByteArray::number(++marker);
        op.send("PRIVMSG #velmora :" + text);
        QVERIFY2(roomShows(QString::fromLatin1(text)), name);
        compareWithServer(op, name);
    };
    step("NAMES #velmora", op, "joined");
    step("MODE #velmora +v bob", op, "voice");
    step("MODE #velmora -v bob", op, "devoice");
    step("MODE #velmora +o bob", op, "op");
    step("MODE #velmora -o bob", op, "deop");
    step("NICK bobby", bob, "nick change");
    step("MODE #velmora +o alice", op, "op for us");
    QVERIFY(m_presenter.calls.contains(u"moderator 1"_qs));
    step("MODE #velmora +v bobby", op, "voice again");
    step("KICK #velmora bobby :enough", op, "kick");
    QVERIFY(roomShows(u"bobby\x02 was kicked by \x02opal"_qs));
    step("JOIN #velmora", bob, "rejoin");
    step("PART #velmora :later", bob, "part");
    step("JOIN #velmora", bob, "join again");
    step("QUIT :gone", bob, "quit");
    step("MODE #velmora -o alice", op, "deop us");
    QCOMPARE(m_presenter.calls.last(), u"moderator 0"_qs);
}

void TestEndToEndSession::identifiesOnceWithTheLoginPassword()
{
    QVERIFY(m_network.registerNick(QStringLiteral("carol"), "carol-secret"));
    startSession(QStringLiteral("carol"), QStringLiteral("carol-secret"));
    QVERIFY(roomShows(QStringLiteral("Password accepted - you are now recognized."), 20000));
    QVERIFY(m_vars.CurrentPassword.isEmpty());
    QTRY_VERIFY(m_presenter.calls.contains(u"channel"_qs));
    QVERIFY(!m_presenter.calls.contains(u"password"_qs));
    QVERIFY(!m_presenter.calls.contains(u"await 1"_qs));
}

void TestEndToEndSession::asksForThePasswordWithoutOne()
{
    QVERIFY(m_network.registerNick(QStringLiteral("dora"), "dora-secret"));
    startSession(QStringLiteral("dora"));
    QVERIFY(roomShows(QStringLiteral("please choose a different nick."), 20000));
    QTRY_COMPARE(identificationCalls(), (QStringList{"await 1", "password"}));
}

void TestEndToEndSession::wrongPasswordAsksAgain()
{
    QVERIFY(m_network.registerNick(QStringLiteral("erin"), "erin-secret"));
    startSession(QStringLiteral("erin"), QStringLiteral("not-it"));
    QVERIFY(roomShows(QStringLiteral("Password incorrect."), 20000));
    QTRY_COMPARE(identificationCalls(), (QStringList{"await 1", "password"}));
    // The password dialog sends the right one: the room unlocks.
    m_presenter.calls.clear();
    m_session->SendData(u"nickserv identify erin-secret"_qs);
    QVERIFY(roomShows(QStringLiteral("Password accepted - you are now recognized.")));
    QTRY_COMPARE(identificationCalls(u"await 0"_qs), (QStringList{"await 0", "channel"}));
}

QTEST_GUILESS_MAIN(TestEndToEndSession)
#include "tst_e2e_session.moc"
