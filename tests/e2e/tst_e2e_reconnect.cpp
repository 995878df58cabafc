#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "support/ircclient.h"
#include "support/ircnetwork.h"
#include "support/sessionrecorder.h"

#include <QtTest>

// The session with "&Reconnect Automatically" on, against a real InspIRCd that goes down and
// comes back on the same port: it retries on its own, with the real waits, signs in again and
// is back in the room.
namespace {
QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}
} // namespace

class TestEndToEndReconnect : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void comesBackAfterAServerRestart();

private:
    bool roomShows(const QString &text, int timeoutMs = 15000)
    {
        return m_roomLog.waitForLineWith(text, timeoutMs);
    }

    IrcNetwork m_network;
    SessionVariables m_vars{QStringLiteral("alice"), QString(), QStringLiteral("#velmora"), 0};
    RecordingPresenter m_presenter;
    RecordingLog m_roomLog;
};

void TestEndToEndReconnect::initTestCase()
{
    if (!IrcNetwork::inspircdAvailable())
        QSKIP("InspIRCd is not installed (apt-get install inspircd)");
    QVERIFY2(m_network.start(), qPrintable(m_network.lastError()));
}

void TestEndToEndReconnect::comesBackAfterAServerRestart()
{
    IrcSession session(m_vars);
    session.setPresenter(&m_presenter);
    session.roomView().setLog(&m_roomLog);
    session.setServer(m_network.host(), m_network.port());
    session.setReconnectAutomatically(true);
    session.ConnectToServer();
    QTRY_VERIFY_WITH_TIMEOUT(session.members().entries().contains(u"@alice"_qs), 15000);

    // Down: the first retry finds no server, the second waits twice as long.
    m_network.stopServer();
    QVERIFY(roomShows(u" *** Reconnecting in 2 s (attempt 1)..."_qs));
    QVERIFY(roomShows(u" *** Reconnecting in 4 s (attempt 2)..."_qs));
    QVERIFY(!session.isConnected());

    // Back on the same port: the session signs in and joins the room again by itself (before
    // or after the observer), and its member list is the server's.
    QVERIFY2(m_network.restartServer(), qPrintable(m_network.lastError()));
    IrcClient observer;
    QVERIFY(observer.connectAndRegister(m_network.host(), m_network.port(), "opal"));
    QVERIFY(observer.join("#velmora"));
    QStringList names;
    QTRY_VERIFY_WITH_TIMEOUT((names = observer.names(u"#velmora"_qs)).size() == 2, 20000);
    QVERIFY2(names.contains(u"alice"_qs) || names.contains(u"@alice"_qs),
             qPrintable(names.join(u' ')));
    QVERIFY(session.isConnected());
    names.sort();
    QTRY_COMPARE(sorted(session.members().entries()), names);

    // Disconnect ends it with a goodbye the server sees, and nothing is retried.
    session.disconnectFromServer();
    QVERIFY(observer.waitForLine(QRegularExpression("^:alice!\\S+ QUIT ")));
    QTest::qWait(500);
    QVERIFY(!session.reconnector().isWaiting());
    QVERIFY(!m_roomLog.lines.last().contains(u"Reconnecting"_qs));
}

QTEST_GUILESS_MAIN(TestEndToEndReconnect)
#include "tst_e2e_reconnect.moc"
