#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/ircclient.h"
#include "support/ircnetwork.h"
#include "support/sessionrecorder.h"
#include "support/wiretap.h"

#include <QtTest>

// Signing in with SASL against a real InspIRCd whose "sasl" capability Anope answers: a
// registered nick is identified before it joins, and the password never goes to NickServ; a
// wrong password falls back to NickServ, which says it is wrong. The session's bytes pass
// through a tap so the test sees exactly what reached the server.
class TestEndToEndSasl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void signsInIdentifiedWithoutNickServ();
    void wrongPasswordFallsBackToNickServ();

private:
    void startSession(const QString &nick, const QString &password);
    bool roomShows(const QString &text, int timeoutMs = 20000);
    QByteArray wire() const { return m_tap->clientSent(); }

    IrcNetwork m_network;
    SessionVariables m_vars;
    RecordingPresenter m_presenter;
    RecordingLog m_roomLog;
    std::unique_ptr<WireTap> m_tap;
    std::unique_ptr<IrcSession> m_session;
};

void TestEndToEndSasl::initTestCase()
{
    if (!IrcNetwork::inspircdAvailable() || !IrcNetwork::anopeAvailable())
        QSKIP("InspIRCd and Anope are not installed (apt-get install inspircd anope)");
    QVERIFY2(m_network.start({.withServices = true, .withSasl = true}),
             qPrintable(m_network.lastError()));
}

void TestEndToEndSasl::cleanup()
{
    if (m_session)
        m_session->disconnectFromServer();
    QTest::qWait(100);
    m_session.reset();
    m_tap.reset();
    m_presenter = RecordingPresenter();
    m_roomLog.lines.clear();
}

void TestEndToEndSasl::startSession(const QString &nick, const QString &password)
{
    m_tap = std::make_unique<WireTap>(m_network.host(), m_network.port());
    m_vars = SessionVariables{nick, password, QStringLiteral("#velmora"), 0};
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setPresenter(&m_presenter);
    m_session->roomView().setLog(&m_roomLog);
    m_session->setServer(m_network.host(), m_tap->port());
    m_session->ConnectToServer();
}

bool TestEndToEndSasl::roomShows(const QString &text, int timeoutMs)
{
    return m_roomLog.waitForLineWith(text, timeoutMs);
}

void TestEndToEndSasl::signsInIdentifiedWithoutNickServ()
{
    QVERIFY(m_network.registerNick(QStringLiteral("sasha"), "sasha-secret"));
    startSession(QStringLiteral("sasha"), QStringLiteral("sasha-secret"));
    QVERIFY(roomShows(QStringLiteral("SASL authentication successful")));
    QVERIFY(roomShows(u"have joined \x02#velmora"_qs));
    QVERIFY(m_vars.CurrentPassword.isEmpty());

    // The server counts the session as signed in to the nick's account.
    IrcClient watcher;
    QVERIFY(watcher.connectAndRegister(m_network.host(), m_network.port(), u"watcher"_qs));
    watcher.send("WHOIS sasha");
    QVERIFY(watcher.waitForLine(QRegularExpression(u"^:\\S+ 330 watcher sasha sasha :"_qs)));

    const QByteArray sent = wire();
    QVERIFY2(sent.startsWith("CAP LS 302\nNICK sasha\n"), sent.constData());
    QVERIFY2(sent.contains("CAP REQ :sasl\nAUTHENTICATE PLAIN\n"), sent.constData());
    QVERIFY2(sent.contains("\nCAP END\n"), sent.constData());
    QVERIFY2(!sent.toLower().contains("nickserv"), sent.constData());
    QVERIFY(!m_presenter.calls.contains(u"password"_qs));
    QVERIFY(!m_presenter.calls.contains(u"await 1"_qs));
}

void TestEndToEndSasl::wrongPasswordFallsBackToNickServ()
{
    QVERIFY(m_network.registerNick(QStringLiteral("sandy"), "sandy-secret"));
    startSession(QStringLiteral("sandy"), QStringLiteral("not-it"));
    QVERIFY(roomShows(QStringLiteral("SASL authentication failed")));
    QVERIFY(roomShows(QStringLiteral("Password incorrect.")));
    QTRY_VERIFY(m_presenter.calls.contains(u"password"_qs));
    QVERIFY(m_presenter.calls.contains(u"await 1"_qs));

    const QByteArray sent = wire();
    QVERIFY2(sent.contains("AUTHENTICATE PLAIN\n"), sent.constData());
    const qsizetype capEnd = sent.indexOf("\nCAP END\n");
    const qsizetype identify = sent.indexOf("\nnickserv identify not-it\n");
    QVERIFY2(capEnd > 0 && identify > capEnd, sent.constData());
    QCOMPARE(sent.count("nickserv identify"), 1);
}

QTEST_GUILESS_MAIN(TestEndToEndSasl)
#include "tst_e2e_sasl.moc"
