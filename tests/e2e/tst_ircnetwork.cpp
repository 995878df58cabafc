#include "support/ircclient.h"
#include "support/ircnetwork.h"

#include <QSslSocket>
#include <QTcpSocket>
#include <QtTest>

// Proves the loopback network the integration tests run against: the server, the scripted
// client and the NickServ texts the application depends on.
class TestIrcNetwork : public QObject
{
    Q_OBJECT

private slots:
    void clientsTalkOnTheServer();
    void stopClosesThePort();
    void nickServTexts();
    void chanServGivesFounderRank();
    void tlsPortShowsTheMadeCertificate_data();
    void tlsPortShowsTheMadeCertificate();

private:
    static QRegularExpression re(const QString &pattern) { return QRegularExpression(pattern); }
};

void TestIrcNetwork::clientsTalkOnTheServer()
{
    if (!IrcNetwork::inspircdAvailable())
        QSKIP(qPrintable(QStringLiteral("InspIRCd not installed at %1 (apt-get install inspircd)")
                             .arg(IrcNetwork::inspircdPath())));
    IrcNetwork network;
    QVERIFY2(network.start(), qPrintable(network.lastError()));
    QCOMPARE(network.host(), QStringLiteral("127.0.0.1"));
    QVERIFY(network.port() != 0);

    IrcClient alice;
    IrcClient bob;
    QVERIFY2(alice.connectAndRegister(network.host(), network.port(), QStringLiteral("alice")),
             qPrintable(alice.lastError()));
    QVERIFY2(bob.connectAndRegister(network.host(), network.port(), QStringLiteral("bob")),
             qPrintable(bob.lastError()));

    QString line;
    QVERIFY(
        alice.waitForLine(re(QStringLiteral("^:irc\\.velmora\\.test 005 alice .*PREFIX=")), &line));
    QVERIFY2(line.contains(QLatin1String(" PREFIX=(qaohv)~&@%+ ")), qPrintable(line));
    for (const char *numeric : {"375", "372", "376"}) {
        const QString motd = QStringLiteral("^:irc\\.velmora\\.test %1 alice :").arg(numeric);
        QVERIFY2(alice.waitForLine(re(motd)), numeric);
    }

    QVERIFY2(alice.join(QStringLiteral("#velmora")), qPrintable(alice.lastError()));
    QVERIFY2(bob.join(QStringLiteral("#velmora")), qPrintable(bob.lastError()));
    QVERIFY(alice.waitForLine(re(QStringLiteral("^:bob!\\S+ JOIN :?#velmora$"))));

    bob.send("PRIVMSG #velmora :hello from bob");
    QVERIFY(alice.waitForLine(re(QStringLiteral("^:bob!\\S+ PRIVMSG #velmora :hello from bob$"))));

    // The creator is op; founder needs a higher rank, so the test operator forces it.
    alice.send("OPER " + IrcNetwork::operName().toUtf8() + ' ' +
               IrcNetwork::operPassword().toUtf8());
    QVERIFY(alice.waitForLine(re(QStringLiteral("^:irc\\.velmora\\.test 381 alice "))));
    alice.send("SAMODE #velmora +qh alice bob");
    QVERIFY(bob.waitForLine(re(QStringLiteral("^:alice!\\S+ MODE #velmora \\+qh alice :?bob$"))));
    const QStringList members = alice.names(QStringLiteral("#velmora"));
    QCOMPARE(members.size(), 2);
    QVERIFY2(members.contains(QLatin1String("~alice")), qPrintable(members.join(u' ')));
    QVERIFY2(members.contains(QLatin1String("%bob")), qPrintable(members.join(u' ')));

    bob.quit();
    QVERIFY(alice.waitForLine(re(QStringLiteral("^:bob!\\S+ QUIT :"))));
}

void TestIrcNetwork::stopClosesThePort()
{
    if (!IrcNetwork::inspircdAvailable())
        QSKIP("InspIRCd not installed");
    IrcNetwork network;
    QVERIFY2(network.start(), qPrintable(network.lastError()));
    const quint16 port = network.port();
    QVERIFY(network.isRunning());
    network.stop();
    QVERIFY(!network.isRunning());

    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    QVERIFY(!socket.waitForConnected(1000));
}

void TestIrcNetwork::nickServTexts()
{
    if (!IrcNetwork::inspircdAvailable() || !IrcNetwork::anopeAvailable())
        QSKIP(qPrintable(QStringLiteral("InspIRCd (%1) or Anope (%2) not installed")
                             .arg(IrcNetwork::inspircdPath(), IrcNetwork::anopePath())));
    IrcNetwork network;
    QVERIFY2(network.start({.withServices = true}), qPrintable(network.lastError()));
    QVERIFY(network.hasServices());

    // A brand-new connection registers at once, without an e-mail address.
    IrcClient owner;
    QVERIFY2(owner.connectAndRegister(network.host(), network.port(), QStringLiteral("carol")),
             qPrintable(owner.lastError()));
    owner.send("PRIVMSG NickServ :REGISTER velmora-secret");
    QString line;
    QVERIFY2(owner.waitForLine(re(QStringLiteral("^:NickServ!\\S+ NOTICE carol :")), &line),
             qPrintable(owner.lastError()));
    QVERIFY2(line.endsWith(QLatin1String(" :Nickname \x02"
                                         "carol\x02 registered.")),
             qPrintable(line));
    owner.quit();

    // Whoever connects with the registered nick is told to pick another one, in a notice line
    // of its own whose last 31 characters are exactly these.
    IrcClient visitor;
    QVERIFY2(visitor.connectAndRegister(network.host(), network.port(), QStringLiteral("carol")),
             qPrintable(visitor.lastError()));
    const QRegularExpression fromNickServ(QStringLiteral("^:NickServ!\\S+ NOTICE (\\S+) :(.*)$"));
    QVERIFY2(visitor.waitForLine(
                 re(QStringLiteral("^:NickServ!\\S+ NOTICE carol :.*choose a different")), &line),
             qPrintable(visitor.lastError()));
    QRegularExpressionMatch notice = fromNickServ.match(line);
    QVERIFY(notice.hasMatch());
    const QString targetAndText = notice.captured(1) + notice.captured(2);
    QCOMPARE(targetAndText.right(31), QStringLiteral("please choose a different nick."));

    visitor.clearPending();
    visitor.send("PRIVMSG NickServ :IDENTIFY wrong-secret");
    QVERIFY(visitor.waitForLine(fromNickServ, &line));
    QCOMPARE(fromNickServ.match(line).captured(2), QStringLiteral("Password incorrect."));

    visitor.send("PRIVMSG NickServ :IDENTIFY velmora-secret");
    QVERIFY(visitor.waitForLine(fromNickServ, &line));
    QCOMPARE(fromNickServ.match(line).captured(2),
             QStringLiteral("Password accepted - you are now recognized."));
    QVERIFY(visitor.waitForLine(re(QStringLiteral("^:\\S+ 900 carol "))));
}

void TestIrcNetwork::chanServGivesFounderRank()
{
    if (!IrcNetwork::inspircdAvailable() || !IrcNetwork::anopeAvailable())
        QSKIP("InspIRCd or Anope not installed");
    IrcNetwork network;
    QVERIFY2(network.start({.withServices = true}), qPrintable(network.lastError()));

    IrcClient dave;
    QVERIFY2(dave.connectAndRegister(network.host(), network.port(), QStringLiteral("dave")),
             qPrintable(dave.lastError()));
    dave.send("PRIVMSG NickServ :REGISTER velmora-secret");
    QVERIFY(dave.waitForLine(re(QStringLiteral("^:\\S+ 900 dave "))));
    QVERIFY2(dave.join(QStringLiteral("#founders")), qPrintable(dave.lastError()));
    dave.send("PRIVMSG ChanServ :REGISTER #founders");
    QVERIFY2(dave.waitForLine(re(QStringLiteral("^:ChanServ!\\S+ MODE #founders \\+\\S*q"))),
             qPrintable(dave.lastError()));
    QCOMPARE(dave.names(QStringLiteral("#founders")), QStringList{QStringLiteral("~dave")});
}

void TestIrcNetwork::tlsPortShowsTheMadeCertificate_data()
{
    QTest::addColumn<QStringList>("hosts");
    QTest::addColumn<QList<QSslError::SslError>>("errors");
    QTest::newRow("loopback names")
        << IrcNetwork::Options{}.tlsHosts << QList<QSslError::SslError>{};
    QTest::newRow("another host") << QStringList{QStringLiteral("irc.elsewhere.example")}
                                  << QList<QSslError::SslError>{QSslError::HostNameMismatch};
}

// The TLS port serves a certificate from the network's own authority that names the hosts
// asked for; a client that trusts the authority finds nothing else wrong with it.
void TestIrcNetwork::tlsPortShowsTheMadeCertificate()
{
    QFETCH(QStringList, hosts);
    QFETCH(QList<QSslError::SslError>, errors);
    if (!IrcNetwork::inspircdAvailable())
        QSKIP("InspIRCd not installed");
    IrcNetwork network;
    QVERIFY2(network.start({.withTls = true, .tlsHosts = hosts}), qPrintable(network.lastError()));
    QVERIFY(network.tlsPort() != 0 && network.tlsPort() != network.port());

    QSslSocket socket;
    QSslConfiguration configuration = socket.sslConfiguration();
    configuration.addCaCertificates(QSslCertificate::fromPath(network.tlsAuthorityFile()));
    socket.setSslConfiguration(configuration);
    QList<QSslError::SslError> seen;
    connect(&socket, &QSslSocket::sslErrors, this, [&](const QList<QSslError> &found) {
        for (const QSslError &error : found)
            seen << error.error();
        socket.ignoreSslErrors();
    });
    socket.connectToHostEncrypted(network.host(), network.tlsPort());
    QVERIFY2(socket.waitForEncrypted(5000), qPrintable(socket.errorString()));
    QCOMPARE(seen, errors);
    const auto names = socket.peerCertificate().subjectAlternativeNames();
    QStringList named = names.values(QSsl::DnsEntry) + names.values(QSsl::IpAddressEntry);
    named.sort();
    hosts.sort();
    QCOMPARE(named, hosts);

    // IRC runs inside it: the server greets a registration.
    socket.write("NICK tlsprobe\r\nUSER tlsprobe 0 * :probe\r\n");
    QByteArray received;
    const QDeadlineTimer deadline(5000);
    while (!received.contains(" 001 tlsprobe ") && !deadline.hasExpired()) {
        socket.waitForReadyRead(100);
        received += socket.readAll();
    }
    QVERIFY2(received.contains(" 001 tlsprobe "), received.constData());
}

QTEST_GUILESS_MAIN(TestIrcNetwork)
#include "tst_ircnetwork.moc"
