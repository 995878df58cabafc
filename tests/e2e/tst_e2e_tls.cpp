#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/ircclient.h"
#include "support/ircnetwork.h"
#include "support/sessionrecorder.h"

#include <QSslSocket>
#include <QtTest>

// A session against a real InspIRCd whose TLS certificate, though signed by a trusted
// authority, names another host: the session refuses it in one line naming the reason, before
// anything of IRC (nick, password) goes out, and its menus are reset as after a socket error.
class TestEndToEndTls : public QObject
{
    Q_OBJECT
private slots:
    void refusesCertificateForAnotherHost();
};

void TestEndToEndTls::refusesCertificateForAnotherHost()
{
    if (!IrcNetwork::inspircdAvailable())
        QSKIP("InspIRCd is not installed (apt-get install inspircd)");
    IrcNetwork elsewhere;
    QVERIFY2(elsewhere.start({.withTls = true, .tlsHosts = {u"irc.elsewhere.example"_qs}}),
             qPrintable(elsewhere.lastError()));

    SessionVariables vars{u"tlsbob"_qs, u"bob-secret"_qs, u"#velmora"_qs, 0};
    RecordingPresenter presenter;
    IrcSession session(vars);
    session.setPresenter(&presenter);
    session.connection().setExtraAuthorities(
        QSslCertificate::fromPath(elsewhere.tlsAuthorityFile()));
    session.setTls(true);
    session.setServer(elsewhere.host(), elsewhere.tlsPort());
    session.ConnectToServer();
    // Application data goes out only once the socket is encrypted, so while it never is,
    // nothing but the handshake reached the server.
    auto *secureSocket = qobject_cast<QSslSocket *>(&session.connection().socket());
    QVERIFY(secureSocket);
    QSignalSpy encrypted(secureSocket, &QSslSocket::encrypted);
    QTRY_VERIFY_WITH_TIMEOUT(
        !presenter.calls.isEmpty() && presenter.calls.last() == u"moderator 0"_qs, 10000);

    QStringList refusals;
    const ChatBuffer &view = session.roomView();
    for (int line = 0; line < view.lineCount(); ++line) {
        if (view.lineText(line).contains(u"Secure connection refused"_qs))
            refusals << view.lineText(line);
    }
    QCOMPARE(refusals.size(), 1);
    QVERIFY2(refusals.first().contains(QSslError(QSslError::HostNameMismatch).errorString()),
             qPrintable(refusals.first()));
    QCOMPARE(view.lineText(view.lineCount() - 1), refusals.first());
    QCOMPARE(presenter.calls, (QStringList{"commands 0 0", "commands 1 0", "moderator 0"}));
    QVERIFY(session.connection().isClosed());
    QVERIFY(!session.isEncrypted());
    QCOMPARE(encrypted.count(), 0);

    // The server never knew the nick.
    IrcClient watcher;
    QVERIFY2(watcher.connectAndRegister(elsewhere.host(), elsewhere.port(), u"watcher"_qs),
             qPrintable(watcher.lastError()));
    watcher.send("WHOIS tlsbob");
    QVERIFY(watcher.waitForLine(QRegularExpression(u"^:\\S+ 401 watcher tlsbob "_qs)));
}

QTEST_GUILESS_MAIN(TestEndToEndTls)
#include "tst_e2e_tls.moc"
