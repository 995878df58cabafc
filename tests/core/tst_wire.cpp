#include "irc/ircsession.h"
#include "irc/roomcomposer.h"
#include "irc/sessionpresenter.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"
#include "text/appendformatted.h"
#include "text/roomformatting.h"

#include <QtTest>

namespace {

const QByteArray kUserLineTail = " local irc :Velmora Messenger 1.0 (Orvane)\r\n";

} // namespace

class TestWire : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void registration();
    void sendDataGuards();
    void sendDataWhileClosedIsSilent();
    void keepAliveAndJoin_data();
    void keepAliveAndJoin();
    void defaultDisplay();
    void activityCounter();
    void socketErrorResetsTheSession();
    void serverClose_data();
    void serverClose();
    void typingWhileNotConnected_data();
    void typingWhileNotConnected();
    void reconnectRegistersAgain();
    void disconnectSaysGoodbye();
    void serverThatStopsReading();
    void silentServer_data();
    void silentServer();

private:
    void connectSession();

    SessionVariables m_vars;
    RecordingPresenter m_presenter;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
};

void TestWire::init()
{
    m_vars = SessionVariables();
    m_vars.CurrentNick = QStringLiteral("alice");
    m_vars.CurrentRoom = QStringLiteral("#velmora");
    m_presenter = RecordingPresenter();
    m_presenter.calls.clear();
    m_server = std::make_unique<ScriptedServer>();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setPresenter(&m_presenter);
    m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
}

void TestWire::cleanup()
{
    m_session.reset();
    m_server.reset();
}

void TestWire::connectSession()
{
    m_session->ConnectToServer();
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil(kUserLineTail).endsWith(kUserLineTail));
    m_server->clearReceived();
}

void TestWire::registration()
{
    m_session->ConnectToServer();
    QCOMPARE(m_presenter.calls, QStringList{"commands 0 0"});
    QCOMPARE(roomLines(m_session->roomView()),
             (QStringList{u" * Velmora Messenger Beta \u00ae "_qs,
                          u"*** Attempting to connect Velmora Server At 127.0.0.1 6667"_qs,
                          u"*** Sending login information... Please Wait"_qs}));
    QVERIFY(m_server->acceptClient());
    const QByteArray bytes = m_server->receivedUntil(kUserLineTail);
    // NICK ends in LF alone, USER in CR LF; the user field is the local address.
    QCOMPARE(bytes, "NICK alice\nUSER 127.0.0.1" + kUserLineTail);
    QTRY_COMPARE(m_presenter.calls.last(), u"commands 0 1"_qs);
}

void TestWire::sendDataGuards()
{
    connectSession();
    m_session->SendData(u"PRIVMSG #velmora :one\r\nQUIT :smuggled"_qs);
    m_session->SendData(QStringView(u"PRIVMSG #velmora :two\0QUIT", 26).toString());
    m_session->SendData(u"PRIVMSG #velmora :three\nQUIT"_qs);
    m_session->SendData(u"PRIVMSG #velmora :caf\u00e9"_qs);
    QCOMPARE(m_server->receivedSettled(), QByteArray("PRIVMSG #velmora :one\n"
                                                     "PRIVMSG #velmora :two\n"
                                                     "PRIVMSG #velmora :three\n"
                                                     "PRIVMSG #velmora :caf\xc3\xa9\n"));
}

void TestWire::sendDataWhileClosedIsSilent()
{
    m_session->SendData(u"PRIVMSG #velmora :nobody hears"_qs);
    QCOMPARE(m_session->roomView().lineCount(), 0);
    QVERIFY(!m_server->acceptClient(300));
}

void TestWire::keepAliveAndJoin_data()
{
    QTest::addColumn<QByteArray>("serverSays");
    QTest::addColumn<QByteArray>("clientAnswers");
    QTest::addColumn<bool>("roomViewCleared");
    QTest::newRow("PING trailing")
        << QByteArray("PING :abc def\r\n") << QByteArray("PONG :abc def\n") << false;
    QTest::newRow("PING first word only")
        << QByteArray("PING abc def\r\n") << QByteArray("PONG :abc\n") << false;
    QTest::newRow("PING in any case")
        << QByteArray(":srv pInG :x\r\n") << QByteArray("PONG :x\n") << false;
    QTest::newRow("end of greeting")
        << QByteArray(":srv 376 alice :End of MOTD\r\n") << QByteArray("JOIN #velmora\n") << true;
    QTest::newRow("no greeting") << QByteArray(":srv 422 alice :MOTD File is missing\r\n")
                                 << QByteArray("JOIN #velmora\n") << false;
    QTest::newRow("both join twice")
        << QByteArray(":srv 376 alice :End\r\n:srv 422 alice :none\r\n")
        << QByteArray("JOIN #velmora\nJOIN #velmora\n") << true;
}

void TestWire::keepAliveAndJoin()
{
    QFETCH(QByteArray, serverSays);
    QFETCH(QByteArray, clientAnswers);
    QFETCH(bool, roomViewCleared);
    connectSession();
    const int before = m_session->roomView().lineCount();
    m_server->send(serverSays);
    QCOMPARE(m_server->receivedUntil(clientAnswers), clientAnswers);
    QCOMPARE(m_server->receivedSettled(), clientAnswers);
    QCOMPARE(m_session->roomView().lineCount(), roomViewCleared ? 0 : before);
}

void TestWire::defaultDisplay()
{
    connectSession();
    m_session->roomView().clear();
    m_server->send(":srv 001 alice :Welcome to the \x02Velmora\x02 network\r\n"
                   ":srv 005 alice CHANTYPES=# :are supported\r\n"
                   ":srv KICKSOMETHING alice :hidden\r\n"
                   ":bob!b@h FOO alice :\x01PING 1\x01\r\n"
                   ":srv 372 alice :- line one\r\n");
    QTRY_COMPARE(m_session->roomView().lineCount(), 3);
    QCOMPARE(roomLines(m_session->roomView()),
             (QStringList{u" Welcome to the Velmora network"_qs, u" CHANTYPES=# are supported"_qs,
                          u" - line one"_qs}));
    const auto runs = m_session->roomView().lineRuns(0);
    QCOMPARE(runs.front().colour, PaletteColour(10));
    QCOMPARE(runs[1].styles, quint8(ChatBuffer::Bold));
}

void TestWire::activityCounter()
{
    connectSession();
    const double before = m_vars.ActivityCounter;
    m_server->send("A\r\nB\r\n");
    QTRY_COMPARE(m_vars.ActivityCounter, before + 3);
}

void TestWire::socketErrorResetsTheSession()
{
    m_session->members().add(QStringLiteral("@ann"));
    AppendFormatted(m_session->topicView(), u"old topic");
    m_server->closeListening(); // the connection is refused
    m_session->ConnectToServer();
    QTRY_COMPARE(m_session->roomView().lineText(m_session->roomView().lineCount() - 1),
                 u" ERROR : Valid name, no data record of requested type."_qs);
    const auto runs = m_session->roomView().lineRuns(m_session->roomView().lineCount() - 1);
    QCOMPARE(runs.front().colour, PaletteColour(4));
    QVERIFY(m_presenter.calls.contains(u"commands 1 0"_qs));
    QCOMPARE(m_presenter.calls.last(), u"moderator 0"_qs);
    QCOMPARE(m_presenter.userCount, u"Total Users = [0]"_qs);
    QCOMPARE(m_session->members().count(), 0);
    QCOMPARE(m_session->topicView().lineCount(), 0);
    QVERIFY(m_session->connection().isClosed());
}

void TestWire::serverClose_data()
{
    QTest::addColumn<bool>("reset");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("unasked");
    QTest::newRow("closed") << false << "" << true;
    QTest::newRow("reset by peer") << true << "" << true;
    QTest::newRow("closed after Disconnect") << false << "disconnect" << false;
    QTest::newRow("reset after Disconnect") << true << "disconnect" << false;
    QTest::newRow("closed after ERROR") << false << "error" << false;
}

void TestWire::serverClose()
{
    QFETCH(bool, reset);
    QFETCH(QString, before);
    QFETCH(bool, unasked);
    connectSession();
    if (before == u"disconnect")
        m_session->disconnectFromServer();
    else if (before == u"error")
        m_server->exchange("ERROR :Closing link: (alice@h) [Ping timeout]\r\n");
    m_session->members().add(QStringLiteral("@ann"));
    AppendFormatted(m_session->topicView(), u"topic");
    const QStringList shown = roomLines(m_session->roomView());
    m_presenter.calls.clear();
    QVERIFY(m_session->isConnected() == unasked);

    reset ? m_server->resetClient() : m_server->closeClient();
    QTRY_VERIFY(m_session->connection().isClosed());
    QVERIFY(!m_session->isConnected());
    QVERIFY(!m_session->keepAlive().isActive());
    if (!unasked) { // the session ended already: nothing more is shown or reset
        QCOMPARE(roomLines(m_session->roomView()), shown);
        QCOMPARE(m_presenter.calls, QStringList());
        return;
    }
    QCOMPARE(roomLines(m_session->roomView()),
             shown + QStringList{u" *** The server closed the connection."_qs});
    QCOMPARE(m_presenter.calls, (QStringList{"commands 1 0", "moderator 0"}));
    QCOMPARE(m_presenter.userCount, u"Total Users = [0]"_qs);
    QCOMPARE(m_session->members().count(), 0);
    QCOMPARE(m_session->topicView().lineCount(), 0);
}

void TestWire::typingWhileNotConnected_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("never connected") << "";
    QTest::newRow("connecting") << "connecting";
    QTest::newRow("after Disconnect") << "disconnect";
    QTest::newRow("after ERROR") << "error";
    QTest::newRow("after the server closed") << "closed";
}

void TestWire::typingWhileNotConnected()
{
    QFETCH(QString, state);
    if (state == u"connecting") {
        m_session->ConnectToServer();
    } else if (!state.isEmpty()) {
        connectSession();
        if (state == u"disconnect")
            m_session->disconnectFromServer();
        else if (state == u"error")
            m_server->exchange("ERROR :Closing link: (alice@h) [Ping timeout]\r\n");
        else
            m_server->closeClient();
        QTRY_VERIFY(!m_session->isConnected());
        m_server->receivedSettled();
        m_server->clearReceived();
    }
    RoomFormatting formatting;
    RoomComposer composer(*m_session, formatting);
    ChatBuffer privateView;
    const QStringList roomBefore = roomLines(m_session->roomView());

    // Each attempt is refused with one line where it was made; nothing is echoed.
    QVERIFY(!composer.sendRoomMessage(u"hello"_qs));
    QVERIFY(!composer.sendPrivateMessage(privateView, u"bob"_qs, u"psst"_qs));
    QVERIFY(!composer.sendAct(u"waves"_qs));
    QCOMPARE(composer.sendSayAction(0, u"bob"_qs), QString());
    const QString notSent = u" *** Not sent: you are not connected to the server."_qs;
    QCOMPARE(roomLines(m_session->roomView()), roomBefore + QStringList(3, notSent));
    QCOMPARE(roomLines(privateView), QStringList{notSent});
    QCOMPARE(m_session->roomView().lineRuns(roomBefore.size()).front().colour, PaletteColour(4));
    if (state == u"disconnect" || state == u"error")
        QCOMPARE(m_server->receivedSettled(), QByteArray()); // the socket is open: nothing went out
    if (state == u"connecting") { // nothing waits to go out once the connection is made
        QVERIFY(m_server->acceptClient());
        QTRY_COMPARE(m_presenter.calls.last(), u"commands 0 1"_qs);
        QVERIFY(!m_server->receivedSettled().contains("PRIVMSG"));
    }
}

void TestWire::reconnectRegistersAgain()
{
    connectSession();
    m_vars.CurrentNick = QStringLiteral("alice2"); // as after a confirmed nick change
    m_session->reconnect();
    QCOMPARE(roomLines(m_session->roomView()).last(),
             u" Connecting To The Server At 127.0.0.1 Please Wait"_qs);
    QCOMPARE(m_presenter.calls.last(), u"commands 0 0"_qs);
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil(kUserLineTail).startsWith("NICK alice2\nUSER "));
    QTRY_COMPARE(m_presenter.calls.last(), u"commands 0 1"_qs);
}

void TestWire::disconnectSaysGoodbye()
{
    connectSession();
    m_session->members().add(QStringLiteral("bob"));
    m_session->disconnectFromServer();
    QCOMPARE(m_server->receivedUntil("\n"), QByteArray("QUIT \x03"
                                                       "4Using Velmora Messenger Ver - 1.0\n"));
    QCOMPARE(m_presenter.calls.mid(m_presenter.calls.indexOf(u"commands 1 0"_qs)),
             (QStringList{"commands 1 0", "moderator 0", "await 0"}));
    QCOMPARE(m_presenter.userCount, u"Total Users = [0]"_qs);
    QVERIFY(!m_session->connection().isClosed()); // the server closes it
}

void TestWire::serverThatStopsReading()
{
    connectSession();
    ServerConnection &connection = m_session->connection();
    // Sampled after each received line is handled, that is right after its PONG was queued.
    qint64 peak = 0;
    QObject::connect(&connection, &ServerConnection::lineReceived, this,
                     [&] { peak = std::max(peak, connection.socket().bytesToWrite()); });
    m_server->stopReading();
    const QByteArray ping = "PING :" + QByteArray(60000, 'x') + "\r\n";
    // Room lines between the PINGs show that nothing after the closing line is handled.
    const QByteArray batch = (ping + ":bob!b@h PRIVMSG #velmora :still here\r\n").repeated(16);
    QDeadlineTimer deadline(8000);
    while (!connection.isClosed() && !deadline.hasExpired()) {
        m_server->send(batch);
        QCoreApplication::processEvents();
    }
    QVERIFY(connection.isClosed());
    // The queue filled up to the cap and never beyond it.
    QCOMPARE_GT(peak, ServerConnection::MaxQueuedBytes - ping.size());
    QCOMPARE_LE(peak, ServerConnection::MaxQueuedBytes);
    const ChatBuffer &room = m_session->roomView();
    QCOMPARE(room.lineText(room.lineCount() - 1),
             u" *** The server stopped reading what this program sends: connection closed."_qs);
    QCOMPARE(room.lineRuns(room.lineCount() - 1).front().colour, PaletteColour(4));
    QVERIFY(!m_session->isConnected());
    QCOMPARE(m_presenter.calls.mid(m_presenter.calls.size() - 2),
             (QStringList{"commands 1 0", "moderator 0"}));

    // Connecting again starts clean: nothing of the last chunk of the closed connection is left.
    m_session->reconnect();
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil(kUserLineTail).endsWith(kUserLineTail));
    m_server->exchange(":srv 001 alice :Welcome back\r\n");
    QCOMPARE(room.lineText(room.lineCount() - 1), u" Welcome back"_qs);
}

void TestWire::silentServer_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("no answer") << QByteArray();
    QTest::newRow("answered") << QByteArray(":srv PONG srv :127.0.0.1\r\n");
}

void TestWire::silentServer()
{
    QFETCH(QByteArray, answer);
    using namespace std::chrono_literals;
    const auto idle = 150ms;
    const auto answerTime = 90ms;
    m_session->keepAlive().setIntervals(idle, answerTime);
    connectSession();
    QElapsedTimer silence;
    m_server->send(":srv 001 alice :Welcome\r\n");
    silence.start();
    const QByteArray ping = "PING :127.0.0.1\n";
    QCOMPARE(m_server->receivedUntil(ping), ping);
    QCOMPARE_GE(silence.elapsed(), idle.count());
    silence.restart();
    const QStringList shown = roomLines(m_session->roomView());
    m_presenter.calls.clear();

    if (answer.isEmpty()) {
        QTRY_VERIFY(!m_session->isConnected());
        // Less a little for the time the PING took to arrive.
        QCOMPARE_GE(silence.elapsed(), (answerTime - 20ms).count());
        const QStringList lost{u" *** No answer from the server: the connection is lost."_qs,
                               u" ERROR : Valid name, no data record of requested type."_qs};
        QCOMPARE(roomLines(m_session->roomView()), shown + lost);
        QCOMPARE(m_session->roomView().lineRuns(shown.size()).front().colour, PaletteColour(4));
        QCOMPARE(m_presenter.calls, (QStringList{"commands 1 0", "moderator 0"}));
        QVERIFY(m_session->connection().isClosed());
        return;
    }
    // Answered, the watch goes on: the next PING comes after another silence, well past the
    // answer interval, and the answer itself shows nothing.
    m_server->clearReceived();
    m_server->send(answer);
    QCOMPARE(m_server->receivedUntil(ping), ping);
    QVERIFY(m_session->isConnected());
    QCOMPARE(roomLines(m_session->roomView()), shown);
    QCOMPARE(m_presenter.calls, QStringList());
}

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
