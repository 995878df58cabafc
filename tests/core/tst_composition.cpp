#include "irc/composition.h"
#include "irc/ircsession.h"
#include "irc/roomcomposer.h"
#include "session/sessionvariables.h"
#include "support/scriptedserver.h"
#include "support/sessionrecorder.h"
#include "text/chatbuffer.h"
#include "text/formatscan.h"
#include "text/roomformatting.h"

#include <QtTest>

namespace {

const QByteArray kUserLineTail = " local irc :Velmora Messenger 1.0 (Orvane)\r\n";
const QByteArray kSentinel = "PING :end-of-case\n";

// Every line given to a view, with how much of the session's output was still unsent at that
// moment: zero when the echo came before the operation's protocol line.
class OrderedLog : public LineLog
{
public:
    explicit OrderedLog(QTcpSocket &socket) : m_socket(socket) {}
    QStringList lines;
    QList<qint64> unsentAtEcho;
    void write(QStringView rawLine) override
    {
        lines << rawLine.toString();
        unsentAtEcho << m_socket.bytesToWrite();
    }

private:
    QTcpSocket &m_socket;
};

QByteArray wire(const QString &notation)
{
    return notation.isEmpty() ? QByteArray() : codes(notation).toUtf8() + '\n';
}

// Several lines are written one under the other, as "\n" separated notations.
QStringList echoes(const QString &notation)
{
    return notation.isEmpty() ? QStringList() : codes(notation.split(u'\n'));
}

// Each echo came before its own protocol line: only the lines of the messages before it were
// waiting to go out.
void verifyEchoesFirst(const QList<qint64> &unsentAtEcho, const QByteArray &sent)
{
    qint64 before = 0;
    const QList<QByteArray> lines = sent.split('\n');
    for (qsizetype i = 0; i < unsentAtEcho.size(); ++i) {
        QCOMPARE(unsentAtEcho[i], before);
        before += lines.value(i).size() + 1;
    }
}

// The order in which styles are switched on must not matter, so underline always goes first;
// the colour is picked last, and must leave both styles as they were.
void applyFormatting(RoomFormatting &formatting, const QString &colour, bool bold, bool underline)
{
    formatting.setUnderline(underline);
    formatting.setBold(bold);
    QVERIFY(formatting.setColourIndex(colour));
    QCOMPARE(formatting.bold(), bold);
    QCOMPARE(formatting.underline(), underline);
}

} // namespace

class TestComposition : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void colourIndexes_data();
    void colourIndexes();

    void roomMessage_data();
    void roomMessage();
    void sayAction_data();
    void sayAction();
    void act_data();
    void act();
    void privateMessage_data();
    void privateMessage();

    void rainbowSequence_data();
    void rainbowSequence();
    void rainbowKeepsTheTextIntact_data();
    void rainbowKeepsTheTextIntact();
    void rainbowStartsAtARandomDigit();

private:
    // What reached the server since the last call, up to a line sent after the operation.
    QByteArray sentSinceLastCheck();

    SessionVariables m_vars;
    RoomFormatting m_formatting;
    std::unique_ptr<ScriptedServer> m_server;
    std::unique_ptr<IrcSession> m_session;
    std::unique_ptr<OrderedLog> m_roomLog;
    std::unique_ptr<RoomComposer> m_composer;
};

void TestComposition::init()
{
    m_vars = SessionVariables();
    m_vars.CurrentNick = QStringLiteral("alice");
    m_vars.CurrentRoom = QStringLiteral("#velmora");
    m_formatting = RoomFormatting();
    m_server = std::make_unique<ScriptedServer>();
    m_session = std::make_unique<IrcSession>(m_vars);
    m_session->setServer(QStringLiteral("127.0.0.1"), m_server->port());
    m_composer = std::make_unique<RoomComposer>(*m_session, m_formatting);
    m_session->ConnectToServer();
    QVERIFY(m_server->acceptClient());
    QVERIFY(m_server->receivedUntil(kUserLineTail).endsWith(kUserLineTail));
    m_server->clearReceived();
    QCOMPARE(m_session->connection().socket().bytesToWrite(), 0);
    m_roomLog = std::make_unique<OrderedLog>(m_session->connection().socket());
    m_session->roomView().setLog(m_roomLog.get());
}

void TestComposition::cleanup()
{
    m_composer.reset();
    m_session.reset();
    m_server.reset();
    m_roomLog.reset();
}

QByteArray TestComposition::sentSinceLastCheck()
{
    m_session->SendData(QString::fromLatin1(kSentinel.chopped(1)));
    QByteArray received = m_server->receivedUntil(kSentinel);
    m_server->clearReceived();
    if (!received.endsWith(kSentinel))
        return "<sentinel missing> " + received;
    received.chop(kSentinel.size());
    return received;
}

void TestComposition::colourIndexes_data()
{
    QTest::addColumn<QString>("index");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QColor>("preview");
    QTest::newRow("1") << "1" << true << QColor(0, 0, 0);
    QTest::newRow("8 differs from the chat palette") << "8" << true << QColor(255, 190, 0);
    QTest::newRow("15") << "15" << true << QColor(184, 184, 184);
    QTest::newRow("rainbow previews black") << "rainbow" << true << QColor(0, 0, 0);
    QTest::newRow("white cannot be picked") << "0" << false << QColor();
    QTest::newRow("16") << "16" << false << QColor();
    QTest::newRow("leading zero") << "01" << false << QColor();
    QTest::newRow("blank") << " 1" << false << QColor();
    QTest::newRow("sign") << "+1" << false << QColor();
    QTest::newRow("empty") << "" << false << QColor();
    QTest::newRow("word") << "red" << false << QColor();
}

void TestComposition::colourIndexes()
{
    QFETCH(QString, index);
    QFETCH(bool, accepted);
    QFETCH(QColor, preview);
    QCOMPARE(m_formatting.colourIndex(), u"1"_qs);
    QCOMPARE(m_formatting.setColourIndex(index), accepted);
    QCOMPARE(m_formatting.colourIndex(), accepted ? index : u"1"_qs);
    QCOMPARE(previewColour(index), preview);
}

void TestComposition::roomMessage_data()
{
    QTest::addColumn<QString>("colour");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("echo");

    QTest::newRow("before any pick: colour 1") << "1" << false << false << "hello"
                                               << "PRIVMSG #velmora :[C]1 hello"
                                               << "[B][C]2 < alice > [B][C]1 hello";
    QTest::newRow("colour 12, bold then underline, leading digit")
        << "12" << true << true << "42 apples"
        << "PRIVMSG #velmora :[C]12 [B][U]42 apples"
        << "[B][C]2 < alice > [B][C]12 [B][U]42 apples";
    QTest::newRow("underline alone") << "3" << false << true << "hi"
                                     << "PRIVMSG #velmora :[C]3 [U]hi"
                                     << "[B][C]2 < alice > [B][C]3 [U]hi";
    QTest::newRow("blanks around are kept") << "1" << false << false << "  hi  "
                                            << "PRIVMSG #velmora :[C]1   hi  "
                                            << "[B][C]2 < alice > [B][C]1   hi  ";
    QTest::newRow("robot command goes out plain, echo keeps styles")
        << "4" << true << false << "  !seen bob"
        << "PRIVMSG #velmora :  !seen bob"
        << "[B][C]2 < alice > [B][C]4 [B]  !seen bob";
    QTest::newRow("! later in the text is ordinary") << "1" << false << false << "hi !seen"
                                                     << "PRIVMSG #velmora :[C]1 hi !seen"
                                                     << "[B][C]2 < alice > [B][C]1 hi !seen";
    QTest::newRow("spaces only: nothing") << "1" << false << false << "   "
                                          << ""
                                          << "";
    QTest::newRow("empty: nothing") << "1" << true << true << ""
                                    << ""
                                    << "";
    QTest::newRow("each line a message of its own, never a command")
        << "1" << false << false << "hello\r\nQUIT :bye"
        << "PRIVMSG #velmora :[C]1 hello\nPRIVMSG #velmora :[C]1 QUIT :bye"
        << "[B][C]2 < alice > [B][C]1 hello\n[B][C]2 < alice > [B][C]1 QUIT :bye";
    QTest::newRow("blank lines left out") << "1" << false << false << "  \nhello\r\r\n \n"
                                          << "PRIVMSG #velmora :[C]1 hello"
                                          << "[B][C]2 < alice > [B][C]1 hello";
    QTest::newRow("robot command among lines")
        << "4" << false << false << u"hi\n !seen bob\rbye\0hidden"_qs
        << "PRIVMSG #velmora :[C]4 hi\nPRIVMSG #velmora : !seen bob\nPRIVMSG #velmora :[C]4 bye"
        << "[B][C]2 < alice > [B][C]4 hi\n[B][C]2 < alice > [B][C]4  !seen bob\n"
           "[B][C]2 < alice > [B][C]4 bye";
    QTest::newRow("blank lines only: nothing") << "1" << false << false << " \r\n  \n"
                                               << ""
                                               << "";
    QTest::newRow("rainbow") << "rainbow" << true << true << "a1,b"
                             << "PRIVMSG #velmora :[B][U][C]07a[C]101,[C]12b"
                             << "[B][C]2 < alice > [B][B][U][C]07a[C]101,[C]12b";
    QTest::newRow("rainbow robot command goes out plain")
        << "rainbow" << false << false << "!op"
        << "PRIVMSG #velmora :!op"
        << "[B][C]2 < alice > [B][C]07![C]10o[C]12p";
}

void TestComposition::roomMessage()
{
    QFETCH(QString, colour);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    QFETCH(QString, input);
    QFETCH(QString, sent);
    QFETCH(QString, echo);
    applyFormatting(m_formatting, colour, bold, underline);
    m_composer->setRainbowStart([] { return 7; });

    QCOMPARE(m_composer->sendRoomMessage(input), !sent.isEmpty());
    QCOMPARE(sentSinceLastCheck(), wire(sent));
    QCOMPARE(m_roomLog->lines, echoes(echo));
    // Each echo is written before its line is handed to the connection.
    verifyEchoesFirst(m_roomLog->unsentAtEcho, wire(sent));
}

void TestComposition::sayAction_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("echo");
    QTest::addColumn<QString>("error");

    QTest::newRow("Hi @rover") << 0 << "@rover"
                               << "PRIVMSG #velmora :[A]ACTION shakes [C]4rover[C]6's hand.[A]"
                               << "[C]6 * alice shakes [C]4rover[C]6's hand."
                               << "";
    QTest::newRow("Kiss %rover")
        << 1 << "%rover"
        << "PRIVMSG #velmora :[A]ACTION give some bigg kisses to [C]4rover[C]6 ![A]"
        << "[C]6 * alice give some bigg kisses to [C]4rover[C]6 !"
        << "";
    QTest::newRow("Slap +rover")
        << 2 << "+rover"
        << "PRIVMSG #velmora :[A]ACTION slaps [C]4rover[C]6 around a bit with a large trout ![A]"
        << "[C]6 * alice slaps [C]4rover[C]6 around a bit with a large trout !"
        << "";
    QTest::newRow("Hi ~rover") << 0 << "~rover"
                               << "PRIVMSG #velmora :[A]ACTION shakes [C]4rover[C]6's hand.[A]"
                               << "[C]6 * alice shakes [C]4rover[C]6's hand."
                               << "";
    QTest::newRow("Hi &rover") << 0 << "&rover"
                               << "PRIVMSG #velmora :[A]ACTION shakes [C]4rover[C]6's hand.[A]"
                               << "[C]6 * alice shakes [C]4rover[C]6's hand."
                               << "";
    QTest::newRow("Hi rover") << 0 << "rover"
                              << "PRIVMSG #velmora :[A]ACTION shakes [C]4rover[C]6's hand.[A]"
                              << "[C]6 * alice shakes [C]4rover[C]6's hand."
                              << "";
    QTest::newRow("one rank character only")
        << 0 << "@@rover"
        << "PRIVMSG #velmora :[A]ACTION shakes [C]4@rover[C]6's hand.[A]"
        << "[C]6 * alice shakes [C]4@rover[C]6's hand."
        << "";
    QTest::newRow("no selection") << 1 << ""
                                  << ""
                                  << ""
                                  << "Please Select a User.";
    QTest::newRow("no such action") << 3 << "rover"
                                    << ""
                                    << ""
                                    << "";
}

void TestComposition::sayAction()
{
    QFETCH(int, index);
    QFETCH(QString, entry);
    QFETCH(QString, sent);
    QFETCH(QString, echo);
    QFETCH(QString, error);
    // The room formatting plays no part in actions.
    applyFormatting(m_formatting, u"12"_qs, true, true);

    QCOMPARE(m_composer->sendSayAction(index, entry), error);
    QCOMPARE(sentSinceLastCheck(), wire(sent));
    QCOMPARE(m_roomLog->lines, echoes(echo));
    // Actions go out first and are echoed after.
    for (qint64 unsent : std::as_const(m_roomLog->unsentAtEcho))
        QVERIFY(unsent > 0);
}

void TestComposition::act_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("echo");
    QTest::newRow("closing CTCP code") << "waves 2 all"
                                       << "PRIVMSG #velmora :[A]ACTION waves 2 all[A]"
                                       << "[C]6 * alice[C]4 waves 2 all";
    QTest::newRow("blanks are kept") << " "
                                     << "PRIVMSG #velmora :[A]ACTION  [A]"
                                     << "[C]6 * alice[C]4  ";
    QTest::newRow("empty: nothing") << ""
                                    << ""
                                    << "";
    QTest::newRow("only the first line") << "dances\nQUIT"
                                         << "PRIVMSG #velmora :[A]ACTION dances[A]"
                                         << "[C]6 * alice[C]4 dances";
}

void TestComposition::act()
{
    QFETCH(QString, text);
    QFETCH(QString, sent);
    QFETCH(QString, echo);
    QCOMPARE(m_composer->sendAct(text), !sent.isEmpty());
    QCOMPARE(sentSinceLastCheck(), wire(sent));
    QCOMPARE(m_roomLog->lines, echoes(echo));
    for (qint64 unsent : std::as_const(m_roomLog->unsentAtEcho))
        QCOMPARE(unsent, 0);
}

void TestComposition::privateMessage_data()
{
    QTest::addColumn<QString>("colour");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("sent");
    QTest::addColumn<QString>("echo");

    QTest::newRow("colour 4, no styles") << "4" << false << false << "text"
                                         << "PRIVMSG bob :[C]4 text"
                                         << "[B][C]2 < alice >[B][C]4 text";
    QTest::newRow("! is not special") << "1" << false << false << "!help"
                                      << "PRIVMSG bob :[C]1 !help"
                                      << "[B][C]2 < alice >[B][C]1 !help";
    QTest::newRow("sent bold first, echoed underline first")
        << "12" << true << true << "7 up"
        << "PRIVMSG bob :[C]12 [B][U]7 up"
        << "[B][C]2 < alice >[B][C]12 [U][B]7 up";
    QTest::newRow("spaces only: nothing") << "4" << true << false << "  "
                                          << ""
                                          << "";
    QTest::newRow("rainbow") << "rainbow" << false << true << "a1"
                             << "PRIVMSG bob :[U][C]07a[C]101"
                             << "[B][C]2 < alice > [B][U][C]07a[C]101";
    QTest::newRow("one message per line") << "4" << false << false << "one\r\n\r\n  two"
                                          << "PRIVMSG bob :[C]4 one\nPRIVMSG bob :[C]4   two"
                                          << "[B][C]2 < alice >[B][C]4 one\n"
                                             "[B][C]2 < alice >[B][C]4   two";
}

void TestComposition::privateMessage()
{
    QFETCH(QString, colour);
    QFETCH(bool, bold);
    QFETCH(bool, underline);
    QFETCH(QString, input);
    QFETCH(QString, sent);
    QFETCH(QString, echo);
    applyFormatting(m_formatting, colour, bold, underline);
    m_composer->setRainbowStart([] { return 7; });
    ChatBuffer privateView;
    OrderedLog privateLog(m_session->connection().socket());
    privateView.setLog(&privateLog);

    QCOMPARE(m_composer->sendPrivateMessage(privateView, u"bob"_qs, input), !sent.isEmpty());
    QCOMPARE(sentSinceLastCheck(), wire(sent));
    QCOMPARE(privateLog.lines, echoes(echo));
    QCOMPARE(privateView.lineCount(), privateLog.lines.size());
    QVERIFY(m_roomLog->lines.isEmpty());
    verifyEchoesFirst(privateLog.unsentAtEcho, wire(sent));
}

void TestComposition::rainbowSequence_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("rewritten");
    QTest::newRow("skips 8, 9 and 11, wraps to 1")
        << 7 << "abcdefgh"
        << "[C]07a[C]10b[C]12c[C]13d[C]14e[C]15f[C]01g[C]02h";
    QTest::newRow("0 is a start") << 0 << "ab"
                                  << "[C]00a[C]01b";
    QTest::newRow("from 8") << 8 << "ab"
                            << "[C]10a[C]12b";
    QTest::newRow("from 9") << 9 << "a"
                            << "[C]10a";
    QTest::newRow("two digits before digits") << 1 << "123"
                                              << "[C]011[C]022[C]033";
    QTest::newRow("blanks take a colour too") << 5 << "a b"
                                              << "[C]05a[C]06 [C]07b";
    QTest::newRow("commas keep the colour before them") << 1 << ",1,,2,"
                                                        << ",[C]011,,[C]022,";
    QTest::newRow("start taken modulo 16") << 23 << "a"
                                           << "[C]07a";
    QTest::newRow("negative start") << -1 << "ab"
                                    << "[C]15a[C]01b";
    QTest::newRow("empty") << 3 << ""
                           << "";
}

void TestComposition::rainbowSequence()
{
    QFETCH(int, start);
    QFETCH(QString, text);
    QFETCH(QString, rewritten);
    QCOMPARE(rainbowText(text, start), codes(rewritten));
}

void TestComposition::rainbowKeepsTheTextIntact_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("digits") << "2024 was 99% ok";
    QTest::newRow("commas and digits") << "1,2 ,3, x,";
    QTest::newRow("emoji") << u"hi \U0001F600\U0001F44D!"_qs;
    QTest::newRow("combining mark") << u"cafe\u0301 na\u0303o"_qs;
}

void TestComposition::rainbowKeepsTheTextIntact()
{
    QFETCH(QString, text);
    for (int start = 0; start < 10; ++start) {
        const QString rewritten = rainbowText(text, start);
        // Nothing of the text is read as a colour number, so the view shows it unchanged...
        QCOMPARE(scanFormatted(rewritten).text, text);
        // ...and no character is cut in two on its way to the server.
        QCOMPARE(QString::fromUtf8(rewritten.toUtf8()), rewritten);
    }
}

void TestComposition::rainbowStartsAtARandomDigit()
{
    QVERIFY(m_formatting.setColourIndex(RoomFormatting::RainbowIndex));
    // Starts 0 to 7 show as themselves; 8 and 9 are passed over to 10.
    QSet<QString> firstColours;
    for (int i = 0; i < 200; ++i) {
        QVERIFY(m_composer->sendRoomMessage(u"x"_qs));
        firstColours << m_roomLog->lines.last().right(3).left(2);
    }
    const QSet<QString> possible = {u"00"_qs, u"01"_qs, u"02"_qs, u"03"_qs, u"04"_qs,
                                    u"05"_qs, u"06"_qs, u"07"_qs, u"10"_qs};
    QVERIFY2(possible.contains(firstColours),
             qPrintable(QStringList(firstColours.values()).join(u' ')));
    QVERIFY(firstColours.size() > 3);
}

QTEST_GUILESS_MAIN(TestComposition)
#include "tst_composition.moc"
