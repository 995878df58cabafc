#include "irc/ircsession.h"
#include "session/sessionvariables.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// Whatever a server sends, the session neither crashes nor stops: after each batch of bad
// lines it still answers a PING on the same connection.
class TestBadInput : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void malformedLines_data();
    void malformedLines();
    void randomBytes();

private:
    void expectStillAlive(const QByteArray &token);

    QTcpServer m_server;
    QTcpSocket *m_peer = nullptr;
    SessionVariables m_vars;
    std::unique_ptr<IrcSession> m_session;
};

void TestBadInput::initTestCase()
{
    QVERIFY(m_server.listen(QHostAddress::LocalHost));
    m_vars.CurrentNick = QStringLiteral("alice");
    m_vars.CurrentRoom = QStringLiteral("#velmora");
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setServer(QStringLiteral("127.0.0.1"), m_server.serverPort());
    m_session->ConnectToServer();
    QVERIFY(m_server.waitForNewConnection(5000));
    m_peer = m_server.nextPendingConnection();
}

void TestBadInput::cleanupTestCase()
{
    m_session.reset();
}

void TestBadInput::expectStillAlive(const QByteArray &token)
{
    m_peer->write("PING :" + token + "\r\n");
    QByteArray received;
    QDeadlineTimer deadline(20000);
    while (!received.contains("PONG :" + token + "\n") && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        received += m_peer->readAll();
        // Whatever the session answered to the bad lines stays on the wire; only the PONG
        // matters here.
    }
    QVERIFY2(received.contains("PONG :" + token + "\n"), received.right(200).constData());
    QVERIFY(!m_session->connection().isClosed());
}

void TestBadInput::malformedLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray manyParams = "MODE #velmora";
    for (int i = 0; i < 50000; ++i)
        manyParams += " +o";
    QTest::newRow("empty prefix") << QByteArray(": PING\r\n:  \r\n");
    QTest::newRow("lone colon") << QByteArray(":\r\n:\n::\r\n");
    QTest::newRow("prefix only") << QByteArray(":nick!user@host\r\n");
    QTest::newRow("bang and at only") << QByteArray(":!@ PRIVMSG :x\r\n");
    QTest::newRow("thousands of parameters") << manyParams + "\r\n";
    static const char controls[] = ":a!b@c PRIVMSG #v :x\0y\x01\x02\x03\x1f\x16\x0f\x7f\r\n";
    QTest::newRow("NUL and controls") << QByteArray(controls, sizeof controls - 1);
    QTest::newRow("invalid UTF-8") << QByteArray(":a\xff\xfe PRIVMSG #v :\xc0\xaf\xed\xa0\x80\r\n");
    QTest::newRow("1 MiB line") << QByteArray(1 << 20, 'z') + "\r\n";
    QTest::newRow("1 MiB of parameters") << ":srv 372 alice " + QByteArray(1 << 20, ' ') + "\r\n";
    QTest::newRow("colour codes only") << QByteArray(":srv 372 a :\x03\x03,\x03"
                                                     "99,99,\x03\r\n");
    QTest::newRow("numerics missing parameters")
        << QByteArray(":srv 376\r\n:srv 422\r\n:srv 001\r\nPING\r\n:srv PING\r\n");
}

void TestBadInput::malformedLines()
{
    QFETCH(QByteArray, bytes);
    m_peer->write(bytes);
    expectStillAlive(QTest::currentDataTag());
}

void TestBadInput::randomBytes()
{
    QRandomGenerator random(20261210);
    for (int round = 0; round < 20; ++round) {
        QByteArray junk(4096, Qt::Uninitialized);
        for (char &c : junk)
            c = char(random.bounded(256));
        // Some of each batch looks like lines so the parser sees real shapes.
        junk.replace(char(0x80), '\n').replace(char(0x81), ':').replace(char(0x82), ' ');
        m_peer->write(junk);
        m_peer->write("\r\n");
    }
    expectStillAlive("random");
}

QTEST_GUILESS_MAIN(TestBadInput)
#include "tst_badinput.moc"
