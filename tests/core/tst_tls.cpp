#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"
#include "support/testcertificates.h"

#include <QSslError>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

const QByteArray kUserLineTail = " local irc :Velmora Messenger 1.0 (Orvane)\r\n";
const QString kRefused = u" *** Secure connection refused: "_qs;
const QString kTimedOut =
    u" *** The server did not complete the connection in time: attempt abandoned."_qs;
const QStringList kLocalHosts{u"localhost"_qs, u"127.0.0.1"_qs};
// An attempt's time limit in these tests: long enough for a handshake on a busy machine.
constexpr std::chrono::milliseconds kLimit = 2s;
// The limit while a broken handshake must be refused rather than time out: far above the few
// milliseconds a refusal takes, as a sanitizer build on a loaded machine can be slower than
// kLimit allows.
constexpr std::chrono::milliseconds kRefusalLimit = 10s;

QString lastLine(const ChatBuffer &view)
{
    return view.lineText(view.lineCount() - 1);
}

} // namespace

Q_DECLARE_METATYPE(TestCertificates::Validity)
Q_DECLARE_METATYPE(TestCertificates::Issuer)

// Secure connections against a loopback TLS server whose certificates are made for the test.
class TestTls : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void signsInOverTls();
    void refusesCertificate_data();
    void refusesCertificate();
    void brokenHandshake_data();
    void brokenHandshake();
    void switchesBetweenSecureAndPlain();

private:
    void startSession(quint16 port, bool trustAuthority = true,
                      std::chrono::milliseconds timeout = kLimit);
    void expectEndedBeforeSignIn();

    std::unique_ptr<TestCertificates> m_certificates;
    SessionVariables m_vars;
    RecordingPresenter m_presenter;
    std::unique_ptr<IrcSession> m_session;
};

void TestTls::initTestCase()
{
    m_certificates = std::make_unique<TestCertificates>();
    QVERIFY2(!m_certificates->authorityFile().isEmpty(), qPrintable(m_certificates->error()));
}

void TestTls::init()
{
    m_vars = SessionVariables();
    m_vars.CurrentNick = QStringLiteral("alice");
    m_vars.CurrentRoom = QStringLiteral("#velmora");
    m_presenter = RecordingPresenter();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setPresenter(&m_presenter);
}

void TestTls::startSession(quint16 port, bool trustAuthority, std::chrono::milliseconds timeout)
{
    if (trustAuthority)
        m_session->connection().setExtraAuthorities(
            QSslCertificate::fromPath(m_certificates->authorityFile()));
    m_session->connection().setAttemptTimeout(timeout);
    m_session->setTls(true);
    m_session->setServer(QStringLiteral("127.0.0.1"), port);
    m_session->ConnectToServer();
}

// The attempt is over, shown in one line, with the menus as after any socket error.
void TestTls::expectEndedBeforeSignIn()
{
    QCOMPARE(m_presenter.calls, (QStringList{"commands 0 0", "commands 1 0", "moderator 0"}));
    QCOMPARE(m_presenter.userCount, u"Total Users = [0]"_qs);
    QVERIFY(m_session->connection().isClosed());
    QVERIFY(!m_session->isConnected());
    QVERIFY(!m_session->isEncrypted());
}

void TestTls::signsInOverTls()
{
    const auto pair = m_certificates->server(u"good"_qs, kLocalHosts);
    ScriptedServer server(pair.certificateFile, pair.keyFile);
    startSession(server.port());
    QCOMPARE(m_session->roomView().lineText(1),
             u"*** Attempting to connect Velmora Server At 127.0.0.1 "_qs +
                 QString::number(server.port()));
    QCOMPARE(m_session->roomView().lineText(2),
             u"*** The connection is encrypted (TLS); the server's certificate is verified "
             u"first."_qs);
    QVERIFY(server.acceptClient());
    QCOMPARE(server.receivedUntil(kUserLineTail), "NICK alice\nUSER 127.0.0.1" + kUserLineTail);
    QVERIFY(m_session->isConnected());
    QVERIFY(m_session->isEncrypted());
    QCOMPARE(m_presenter.calls.last(), u"commands 0 1"_qs);
    // Past the attempt's time limit the established session stays.
    QTest::qWait(int(kLimit.count()) + 200);
    QVERIFY(m_session->isConnected());
    QCOMPARE(server.exchange(":srv 376 alice :End\r\n"), QByteArray("JOIN #velmora\n"));
}

void TestTls::refusesCertificate_data()
{
    QTest::addColumn<QStringList>("hosts");
    QTest::addColumn<TestCertificates::Validity>("validity");
    QTest::addColumn<TestCertificates::Issuer>("issuer");
    QTest::addColumn<bool>("trustAuthority");
    QTest::addColumn<QSslError::SslError>("reason");
    using V = TestCertificates::Validity;
    using I = TestCertificates::Issuer;
    QTest::newRow("names another host") << QStringList{u"irc.elsewhere.example"_qs} << V::Current
                                        << I::Authority << true << QSslError::HostNameMismatch;
    QTest::newRow("expired") << kLocalHosts << V::Expired << I::Authority << true
                             << QSslError::CertificateExpired;
    QTest::newRow("self-signed") << kLocalHosts << V::Current << I::Self << true
                                 << QSslError::SelfSignedCertificate;
    QTest::newRow("authority not trusted") << kLocalHosts << V::Current << I::Authority << false
                                           << QSslError::UnableToGetLocalIssuerCertificate;
}

void TestTls::refusesCertificate()
{
    QFETCH(QStringList, hosts);
    QFETCH(TestCertificates::Validity, validity);
    QFETCH(TestCertificates::Issuer, issuer);
    QFETCH(bool, trustAuthority);
    QFETCH(QSslError::SslError, reason);
    const auto pair = m_certificates->server(QTest::currentDataTag(), hosts, validity, issuer);
    QVERIFY2(!pair.certificateFile.isEmpty(), qPrintable(m_certificates->error()));
    ScriptedServer server(pair.certificateFile, pair.keyFile);
    startSession(server.port(), trustAuthority);
    QVERIFY(server.acceptClient());
    QTRY_VERIFY(m_session->connection().isClosed());
    const int shown = m_session->roomView().lineCount();
    const QString line = lastLine(m_session->roomView());
    QVERIFY2(line.startsWith(kRefused) && line.contains(QSslError(reason).errorString()),
             qPrintable(line));
    expectEndedBeforeSignIn();
    // Nothing reached the server, and the attempt's timer does not add a second line.
    QCOMPARE(server.receivedSettled(), QByteArray());
    QTest::qWait(int(kLimit.count()) + 200);
    QCOMPARE(m_session->roomView().lineCount(), shown);
}

void TestTls::brokenHandshake_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("close");
    QTest::addColumn<QString>("line");
    QTest::newRow("plain text instead of TLS")
        << QByteArray(":srv NOTICE * :*** Looking up your hostname...\r\n") << false << kRefused;
    QTest::newRow("binary garbage")
        << QByteArray("\x16\x03\x01\x00\x05garbage-garbage", 20) << false << kRefused;
    QTest::newRow("closed mid-handshake") << QByteArray() << true << kRefused;
    QTest::newRow("silent") << QByteArray() << false << kTimedOut;
}

void TestTls::brokenHandshake()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, close);
    QFETCH(QString, line);
    ScriptedServer server; // speaks no TLS
    // Only the silent server waits for the limit; the others must be refused well before it.
    startSession(server.port(), true, line == kTimedOut ? 400ms : kRefusalLimit);
    QVERIFY(server.acceptClient());
    if (!answer.isEmpty())
        server.send(answer);
    if (close)
        server.closeClient();
    QTRY_VERIFY_WITH_TIMEOUT(!m_presenter.calls.isEmpty() &&
                                 m_presenter.calls.last() == u"moderator 0"_qs,
                             int(kRefusalLimit.count()) + 5000);
    QVERIFY2(lastLine(m_session->roomView()).startsWith(line),
             qPrintable(lastLine(m_session->roomView())));
    expectEndedBeforeSignIn();
    QCOMPARE(server.receivedSettled().contains("NICK"), false);
}

// One session goes from a secure connection to a plain one and back, signing in each time,
// and reports each connection as what it is.
void TestTls::switchesBetweenSecureAndPlain()
{
    const auto pair = m_certificates->server(u"good"_qs, kLocalHosts);
    for (const bool tls : {true, false, true}) {
        ScriptedServer server =
            tls ? ScriptedServer(pair.certificateFile, pair.keyFile) : ScriptedServer();
        if (tls) {
            startSession(server.port());
        } else {
            m_session->setTls(false);
            m_session->setServer(QStringLiteral("127.0.0.1"), server.port());
            m_session->ConnectToServer();
        }
        QVERIFY(server.acceptClient());
        QVERIFY(server.receivedUntil(kUserLineTail).endsWith(kUserLineTail));
        QVERIFY(m_session->isConnected());
        QCOMPARE(m_session->isEncrypted(), tls);
        QCOMPARE(server.exchange(":srv 376 alice :End\r\n"), QByteArray("JOIN #velmora\n"));
    }
}

QTEST_GUILESS_MAIN(TestTls)
#include "tst_tls.moc"
