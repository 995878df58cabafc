#include "interpreterfixture.h"
#include "text/appendformatted.h"
#include "text/timeconversion.h"

#include <algorithm>
#include <QtTest>

// The interpreter's branches, driven through a scripted server on loopback: lines in, and what
// the program sends, shows in its views, does to its member list and asks its windows to do.
// Private conversations have their own file, tst_interpreter_privates.cpp.
class TestInterpreter : public QObject, protected InterpreterFixture
{
    Q_OBJECT
private slots:
    void init() { start(); }
    void cleanup() { stop(); }

    void branches_data();
    void branches();

    void ctcpTimeAnswer();
    void ctcpAnswersAreRateLimited();

    void topicTimesInAFixedZone_data();
    void topicTimesInAFixedZone();
    void namesBurstMatchesEntryByEntryInsertion();
};

void TestInterpreter::branches_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<QStringList>("membersBefore");
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QStringList>("room");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("membersAfter");

    const QStringList none;
    const QByteArray nothing;
    auto row = [](const char *name) { return &QTest::newRow(name); };

    // NickServ
    *row("identify once, then ask")
        << "pw" << none
        << QByteArray(":NickServ!s@h NOTICE alice :This nickname is registered.  If it is your\r\n"
                      ":NickServ!s@h NOTICE alice :please choose a different nick.\r\n"
                      ":NickServ!s@h NOTICE alice :please choose a different nick.\r\n")
        << QByteArray("nickserv identify pw\n")
        << QStringList{"[C]6*** Notice, [C]2This nickname is registered.  If it is your",
                       "[C]6*** Notice, [C]2please choose a different nick.",
                       "[C]6*** Notice, [C]2please choose a different nick."}
        << QStringList{"await 1", "password"} << none;
    *row("no full stop") << "pw" << none
                         << QByteArray(":NickServ!s@h NOTICE alice :please choose a different "
                                       "nick\r\n")
                         << nothing
                         << QStringList{"[C]6*** Notice, [C]2please choose a different nick"}
                         << none << none;
    *row("password accepted") << "" << none
                              << QByteArray(":NickServ!s@h NOTICE alice :Password accepted - you "
                                            "are now recognized.\r\n")
                              << nothing
                              << QStringList{"[C]6*** Notice, [C]2Password accepted - you are now "
                                             "recognized."}
                              << QStringList{"await 0", "channel"} << none;
    *row("password incorrect") << "" << none
                               << QByteArray(":NickServ!s@h NOTICE alice :Password incorrect.\r\n")
                               << nothing << QStringList{"[C]6*** Notice, [C]2Password incorrect."}
                               << QStringList{"await 1", "password"} << none;
    *row("accepted for another nick") << "" << none
                                      << QByteArray(":NickServ!s@h NOTICE bob :Password accepted "
                                                    "- you are now recognized.\r\n")
                                      << nothing
                                      << QStringList{"[C]6*** Notice, [C]2Password accepted - you "
                                                     "are now recognized."}
                                      << none << none;

    *row("NickServ matched without case")
        << "" << none
        << QByteArray(":nickserv!s@h NOTICE alice :please choose a different nick.\r\n") << nothing
        << QStringList{"[C]6*** Notice, [C]2please choose a different nick."}
        << QStringList{"await 1", "password"} << none;
    // Anyone else's notice is shown with its sender and locks, unlocks or identifies nothing.
    *row("someone else asks for the password")
        << "pw" << none
        << QByteArray(":mallory!m@h NOTICE alice :please choose a different nick.\r\n"
                      ":NickServX!m@h NOTICE alice :please choose a different nick.\r\n")
        << nothing
        << QStringList{"[C]6*** Notice from [B]mallory[B], [C]2please choose a different nick.",
                       "[C]6*** Notice from [B]NickServX[B], [C]2please choose a different nick."}
        << none << none;
    *row("someone else accepts the password")
        << "" << none
        << QByteArray(":mallory!m@h NOTICE alice :Password accepted - you are now recognized.\r\n"
                      ":mallory!m@h NOTICE alice :Password incorrect.\r\n")
        << nothing
        << QStringList{"[C]6*** Notice from [B]mallory[B], [C]2Password accepted - you are now "
                       "recognized.",
                       "[C]6*** Notice from [B]mallory[B], [C]2Password incorrect."}
        << none << none;
    *row("server notice") << "pw" << none
                          << QByteArray(
                                 ":irc.example NOTICE * :please choose a different nick.\r\n")
                          << nothing
                          << QStringList{"[C]6*** Notice, [C]2please choose a different nick."}
                          << none << none;

    // CTCP and room messages
    *row("version") << "" << none << QByteArray(":bob!b@h PRIVMSG alice :\x01VERSION\x01\r\n")
                    << QByteArray("Notice bob :\x01VERSION Velmora Messenger Ver 1.0\x01\n") << none
                    << none << none;
    *row("userinfo") << "" << none << QByteArray(":bob!b@h PRIVMSG alice :\x01USERINFO\x01\r\n")
                     << QByteArray("Notice bob :\x01USERINFO alice\n") << none << none << none;
    *row("clientinfo") << "" << none
                       << QByteArray(":bob!b@h PRIVMSG alice :\x01"
                                     "CLIENTINFO\x01\r\n")
                       << QByteArray("Notice bob :\x01"
                                     "CLIENTINFO alice is Using Orvane IRC "
                                     "Messenger\n")
                       << none << none << none;
    *row("whichver") << "" << none << QByteArray(":bob!b@h PRIVMSG alice :\x01WHICHVER\x01\r\n")
                     << QByteArray("Notice bob :\x01Orvane-Msn Ver 1.04\n") << none << none << none;
    // Only a user can be answered: a server or a line without a prefix gets nothing back.
    *row("request from a server unanswered")
        << "" << none << QByteArray(":irc.example PRIVMSG alice :\x01VERSION\x01\r\n") << nothing
        << none << none << none;
    *row("request without a prefix unanswered")
        << "" << none << QByteArray("PRIVMSG alice :\x01USERINFO\x01\r\n") << nothing << none
        << none << none;
    *row("room request from a server unanswered, then shown")
        << "" << none << QByteArray(":irc.example PRIVMSG #velmora :\x01TIME\x01\r\n") << nothing
        << QStringList{"[B][C]6 <  > [C]01[B][A]TIME[A]"} << none << none;
    *row("lower-case request unanswered")
        << "" << none << QByteArray(":bob!b@h PRIVMSG alice :\x01version\x01\r\n") << nothing
        << none << none << none;
    *row("room request answered, then shown")
        << "" << none << QByteArray(":bob!b@h PRIVMSG #velmora :\x01VERSION\x01\r\n")
        << QByteArray("Notice bob :\x01VERSION Velmora Messenger Ver 1.0\x01\n")
        << QStringList{"[B][C]6 < bob > [C]01[B][A]VERSION[A]"} << none << none;
    *row("room message") << "" << none << QByteArray(":Ann!a@h PRIVMSG #velmora :hi \x02you\r\n")
                         << nothing << QStringList{"[B][C]6 < Ann > [C]01[B]hi [B]you"} << none
                         << none;
    *row("room action") << "" << none
                        << QByteArray(":Ann!a@h PRIVMSG #velmora :\x01"
                                      "ACTION waves\x01\r\n")
                        << nothing << QStringList{"[C]6 Ann waves"} << none << none;
    *row("room action without closing code keeps its last character")
        << "" << none
        << QByteArray(":Ann!a@h PRIVMSG #velmora :\x01"
                      "ACTION waves\r\n")
        << nothing << QStringList{"[C]6 Ann waves"} << none << none;
    *row("bare action keyword") << "" << none
                                << QByteArray(":Ann!a@h PRIVMSG &velmora :\x01"
                                              "ACTION\r\n")
                                << nothing << QStringList{"[C]6 Ann"} << none << none;

    // Membership
    *row("names") << "" << none
                  << QByteArray(
                         ":srv 353 alice = #velmora :~owner &admin @op %half +voice plain\r\n"
                         ":srv 366 alice #velmora :End of /NAMES list.\r\n")
                  << nothing << none << none
                  << QStringList{"~owner", "&admin", "@op", "+voice", "half", "plain"};
    // The user's own entry in a names reply carries the rank a room's creator gets silently.
    *row("names: own operator rank")
        << "" << none << QByteArray(":srv 353 alice = #velmora :bob @Alice\r\n") << nothing << none
        << QStringList{"moderator 1"} << QStringList{"@Alice", "bob"};
    *row("names: own half-operator rank")
        << "" << none << QByteArray(":srv 353 alice = #velmora :%alice\r\n") << nothing << none
        << QStringList{"moderator 1"} << QStringList{"alice"};
    *row("names: own owner rank") << "" << none
                                  << QByteArray(":srv 353 alice = #velmora :~alice\r\n") << nothing
                                  << none << QStringList{"moderator 1"} << QStringList{"~alice"};
    *row("names: own voice only") << "" << none
                                  << QByteArray(":srv 353 alice = #velmora :+alice @bob\r\n")
                                  << nothing << none << QStringList{"moderator 0"}
                                  << QStringList{"@bob", "+alice"};
    *row("names: own plain entry")
        << "" << none << QByteArray(":srv 353 alice = #velmora :alice\r\n") << nothing << none
        << QStringList{"moderator 0"} << QStringList{"alice"};
    *row("names: someone like me")
        << "" << none << QByteArray(":srv 353 alice = #velmora :@alice2 @xalice\r\n") << nothing
        << none << none << QStringList{"@alice2", "@xalice"};
    *row("names add up") << "" << QStringList{"ann"}
                         << QByteArray(":srv 353 alice = #velmora :Bob  carl\r\n") << nothing
                         << none << none << QStringList{"ann", "Bob", "carl"};
    *row("names without names") << "" << QStringList{"ann"}
                                << QByteArray(":srv 353 alice = #velmora\r\n") << nothing << none
                                << none << QStringList{"ann"};
    *row("join of another") << "" << QStringList{"ann"} << QByteArray(":bob!b@h JOIN :#velmora\r\n")
                            << nothing << QStringList{"[C]3[B]*** bob[B] has joined [B]#velmora"}
                            << none << QStringList{"ann", "bob"};
    *row("own join") << "" << QStringList{"ann"} << QByteArray(":Alice!a@h JOIN #fun_club\r\n")
                     << QByteArray("MODE #fun_club\n")
                     << QStringList{"[C]3[B]*** You[B] have joined [B]#fun_club"} << none
                     << QStringList{"ann"};
    *row("part of a voiced member")
        << "" << QStringList{"+bob", "ann"} << QByteArray(":bob!b@h PART #velmora :bye\r\n")
        << nothing << QStringList{"[C]2[B]*** bob[B] has part [B]#velmora[B]"} << none
        << QStringList{"ann"};
    *row("own part") << "" << QStringList{"ann", "@alice"}
                     << QByteArray(":alice!a@h PART #velmora\r\n") << nothing << none << none
                     << none;
    *row("quit of an operator")
        << "" << QStringList{"@bob", "ann"} << QByteArray(":bob!b@h QUIT :Quit: gone\r\n")
        << nothing
        << QStringList{"[C]4[B]*** bob[B][C]2 has quit [B]#velmora[B]  [ [C]Quit: gone[C]2 ]"}
        << none << QStringList{"ann"};
    *row("own quit") << "" << QStringList{"ann", "alice"} << QByteArray(":alice!a@h QUIT :x\r\n")
                     << nothing << none << none << none;
    *row("nick change keeps the rank")
        << "" << QStringList{"@ann", "carl"} << QByteArray(":ann!a@h NICK :bob\r\n") << nothing
        << QStringList{"[B][C]07*** ann[B] is now known as [B]bob"} << none
        << QStringList{"@bob", "carl"};
    *row("half-operator nick change")
        << "" << QStringList{"ann"} << QByteArray(":ann!a@h NICK bob\r\n") << nothing
        << QStringList{"[B][C]07*** ann[B] is now known as [B]bob"} << none << QStringList{"bob"};
    *row("own nick change") << "" << QStringList{"~alice"}
                            << QByteArray(":alice!a@h NICK :alicia\r\n") << nothing
                            << QStringList{"[B][C]06*** You[B] are now known as [B]alicia"} << none
                            << QStringList{"~alicia"};
    *row("own nick compared with case")
        << "" << QStringList{"Alice"} << QByteArray(":Alice!a@h NICK :x\r\n") << nothing
        << QStringList{"[B][C]07*** Alice[B] is now known as [B]x"} << none << QStringList{"x"};
    *row("kick with empty reason")
        << "" << QStringList{"bob", "ann"} << QByteArray(":op!o@h KICK #velmora bob :\r\n")
        << nothing << QStringList{"[C]4*** [B]bob[B] was kicked by [B]op[B]  [ [C]04[B][C]4[B] ] "}
        << none << QStringList{"ann"};
    *row("own kick") << "" << QStringList{"bob", "@alice"}
                     << QByteArray(":op!o@h KICK #velmora ALICE :behave\r\n") << nothing
                     << QStringList{"[C]4[B]***You [B]were kicked from [B]#velmora[B] by [B]op[B] "
                                    "[[C]04behave[C]4]"}
                     << QStringList{"message Critical|Kick|You are kicked from #velmora room.",
                                    "moderator 0"}
                     << none;

    // Modes: one row each, on the entries the rule looks at.
    auto mode = [&](const char *name, const QStringList &before, const char *modes,
                    const QStringList &calls, const QStringList &after) {
        *row(name) << "" << before << QByteArray(":op!o@h MODE #velmora ") + modes + "\r\n"
                   << nothing << QStringList{QStringLiteral("[C]3[B]* op[B] sets mode: ") + modes}
                   << calls << after;
    };
    mode("+o on voiced", {"+ann"}, "+o ann", none, {"@ann"});
    mode("+o on admin", {"&ann"}, "+o ann", none, {"&ann"});
    // Rows that add a missing member also check the count label (see branches()).
    mode("+o on missing", {"bob"}, "+o ann", none, {"@ann", "bob"});
    mode("+a on missing", {"bob"}, "+a ann", none, {"&ann", "bob"});
    mode("+q on missing", {"bob"}, "+q ann", none, {"~ann", "bob"});
    mode("+o on me", {"alice"}, "+o alice", {"moderator 1"}, {"@alice"});
    mode("-o on plain", {"ann"}, "-o ann", none, {"ann"});
    mode("-o on operator", {"@ann"}, "-o ann", none, {"ann"});
    mode("-o on me", {"@alice"}, "-o alice", {"moderator 0"}, {"alice"});
    mode("-v", {"+ann"}, "-v ann", none, {"ann"});
    mode("+h on me", {"alice"}, "+h alice", {"moderator 1"}, {"alice"});
    mode("-h on me", {"alice"}, "-h alice", {"moderator 0"}, {"alice"});
    mode("+a on voiced", {"+ann"}, "+a ann", none, {"&ann"});
    mode("+a on plain", {"ann"}, "+a ann", none, {"&ann"});
    mode("+a on owner", {"~ann"}, "+a ann", none, {"~ann"});
    mode("+v on plain", {"ann"}, "+v ann", none, {"+ann"});
    mode("+v on operator", {"@ann"}, "+v ann", none, {"@ann"});
    mode("+q on operator", {"@ann"}, "+q ann", none, {"~ann"});
    mode("-q", {"~ann"}, "-q ann", none, {"ann"});
    mode("-a", {"&ann"}, "-a ann", none, {"ann"});
    mode("+oa on plain", {"ann"}, "+oa ann ann", none, {"&ann"});
    mode("+oa on operator", {"@ann"}, "+oa ann ann", none, {"@ann"});
    mode("+qo on plain", {"ann"}, "+qo ann ann", none, {"~ann"});
    mode("+oo changes nothing", {"ann", "bob"}, "+oo ann bob", none, {"ann", "bob"});
    mode("ban changes nothing", {"ann"}, "+b *!*@h", none, {"ann"});
    mode("no argument", {"ann"}, "+o", none, {"ann"});
    mode("empty argument", {"ann"}, "+o ", none, {"ann"});

    // Missing parameters never corrupt the list.
    *row("kick without victim")
        << "" << QStringList{"ann", "@"} << QByteArray(":op!o@h KICK #velmora\r\n") << nothing
        << QStringList{"[C]4*** [B][B] was kicked by [B]op[B]  [ [C]04[B][C]4[B] ] "} << none
        << QStringList{"@", "ann"};
    *row("nick with empty new nick")
        << "" << QStringList{"ann"} << QByteArray(":ann!a@h NICK :\r\n") << nothing << none << none
        << QStringList{"ann"};
    // A word without parameters keeps the line's CR and so is no command the table knows.
    *row("bare command word") << "" << QStringList{"ann"} << QByteArray(":ann!a@h NICK\r\n")
                              << nothing << QStringList{"[C]10 "} << none << QStringList{"ann"};
    *row("join without nick") << "" << QStringList{"ann"} << QByteArray(":srv JOIN #velmora\r\n")
                              << nothing << QStringList{"[C]3[B]*** [B] has joined [B]#velmora"}
                              << none << QStringList{"ann"};

    // Numeric replies and the end of the session
    *row("topic") << "" << none << QByteArray(":bob!b@h TOPIC #velmora :new \x02topic\r\n")
                  << nothing << QStringList{"[C]6*** Topic changed by [B]bob[B] : new [B]topic"}
                  << none << none;
    *row("empty topic") << "" << none << QByteArray(":bob!b@h TOPIC #velmora :\r\n") << nothing
                        << QStringList{"[C]6*** Topic changed by [B]bob[B] : "} << none << none;
    *row("topic on join") << "" << none << QByteArray(":srv 332 alice #velmora :hello all\r\n")
                          << nothing
                          << QStringList{u"[B][C]10*** Topic is :\u00a0\u00a0[B][C]hello all"_qs}
                          << none << none;
    *row("identify asked") << "" << none << QByteArray(":srv 297 alice :identify\r\n") << nothing
                           << none << QStringList{"password alice"} << none;
    *row("no such nick, no window")
        << "" << none << QByteArray(":srv 401 alice bob :No such nick\r\n") << nothing << none
        << none << none;
    *row("cannot send") << "" << none << QByteArray(":srv 404 alice #velmora :Cannot send\r\n")
                        << nothing << QStringList{"[C]5 Can't send message in room."} << none
                        << none;
    *row("nick in use") << "" << none
                        << QByteArray(":srv 433 * alice :Nickname is already in use\r\n") << nothing
                        << QStringList{"[C]4 *** Error[C]14 Nickname is in use. "}
                        << QStringList{"message Information|Nick Error|Nickname is in use. Please "
                                       "enter another nickname.",
                                       "changenick"}
                        << none;
    *row("invalid nick") << "" << none << QByteArray(":srv 432 * a:b :Erroneous Nickname\r\n")
                         << nothing << QStringList{"[C]4 *** Error[C]14 Invalid nickname."}
                         << QStringList{"message Exclamation|Nick Error|Invalid nickname. Please "
                                        "enter another nickname.",
                                        "changenick"}
                         << none;
    *row("banned") << "" << QStringList{"ann"}
                   << QByteArray(":srv 474 alice #velmora :Cannot join channel (+b)\r\n") << nothing
                   << QStringList{"[C]4*** Cannot join the room #velmora. You are banned (+b)."}
                   << QStringList{"message Critical|Banned|Cannot join the room #velmora. You are "
                                  "banned (+b). Try later."}
                   << none;
    *row("whois") << "" << none << QByteArray(":srv 311 alice bob b host * :Bob B\r\n") << nothing
                  << QStringList{"[C]2 Whois [C]6bob b host * Bob B"} << none << none;
    *row("ignored replies") << "" << QStringList{"ann"}
                            << QByteArray(":srv 366 a #v :e\r\n:srv 512 a\r\n:srv 367 a #v b\r\n"
                                          ":srv 368 a #v :e\r\n:srv 377 a :x\r\n:srv 378 a :x\r\n"
                                          ":srv 324 a #v +nt\r\n:srv 329 a #v 1\r\n")
                            << nothing << none << none << QStringList{"ann"};
    *row("server error")
        << "" << QStringList{"ann"} << QByteArray("ERROR :Closing link: (alice@h) [Quit]\r\n")
        << nothing
        << QStringList{"[C]4 * Closing link: (alice@h) [Quit]",
                       "[C]2*** Disconnected [C]15Conection to the server canceled."}
        << QStringList{"commands 1 0", "moderator 0", "await 0"} << none;
    *row("killed") << "" << QStringList{"ann"} << QByteArray(":srv KILL alice :bye\r\n") << nothing
                   << none
                   << QStringList{"commands 1 0", "moderator 0",
                                  "message Critical|Kill|You are forced to quit the chat."}
                   << none;
    *row("unknown reply") << "" << none << QByteArray(":srv 999 alice one :two three\r\n")
                          << nothing << QStringList{"[C]10 one two three"} << none << none;
}

void TestInterpreter::branches()
{
    QFETCH(QString, password);
    QFETCH(QStringList, membersBefore);
    QFETCH(QByteArray, lines);
    m_vars.CurrentPassword = password;
    for (const QString &member : membersBefore)
        m_session->members().add(member);
    m_session->UpdateUserCount();
    AppendFormatted(m_session->topicView(), u"old topic");

    QTEST(run(lines), "sent");
    QFETCH(QStringList, room);
    QCOMPARE(m_roomLog.lines, codes(room));
    QTEST(m_presenter.calls, "calls");
    QTEST(m_session->members().entries(), "membersAfter");
    // Whatever a line does to the list, the count label follows it.
    QCOMPARE(m_presenter.userCount,
             QStringLiteral("Total Users = [%1]").arg(m_session->members().count()));
    QVERIFY(!m_session->connection().isClosed());
}

void TestInterpreter::ctcpTimeAnswer()
{
    const QByteArray sent = run(":bob!b@h PRIVMSG alice :\x01TIME\x01\r\n");
    QVERIFY2(
        QRegularExpression("^Notice bob :\x01TIME \\d\\d:\\d\\d:\\d\\d \\d\\d-\\d\\d-\\d{4}\n$")
            .match(QString::fromUtf8(sent))
            .hasMatch(),
        sent.constData());
}

void TestInterpreter::ctcpAnswersAreRateLimited()
{
    QByteArray requests;
    for (int i = 0; i < 10; ++i)
        requests += ":bob!b@h PRIVMSG alice :\x01VERSION\x01\r\n";
    QCOMPARE(run(requests).count("Notice bob"), CtcpReplyLimiter::MaxReplies);

    // The window slides: after it has passed, answers go out again.
    qint64 now = 0;
    CtcpReplyLimiter limiter([&now] { return now; });
    for (int i = 0; i < CtcpReplyLimiter::MaxReplies; ++i)
        QVERIFY(limiter.allow());
    QVERIFY(!limiter.allow());
    now += CtcpReplyLimiter::WindowMs - 1;
    QVERIFY(!limiter.allow());
    now += 1;
    QVERIFY(limiter.allow());
}

void TestInterpreter::topicTimesInAFixedZone_data()
{
    QTest::addColumn<QByteArray>("stamp");
    QTest::addColumn<QDateTime>("shown");
    const QTimeZone nepal(20700);
    QTest::newRow("one day") << QByteArray("86400")
                             << QDateTime(QDate(1970, 1, 2), QTime(5, 45), nepal);
    QTest::newRow("not a number") << QByteArray("soon")
                                  << QDateTime(QDate(1970, 1, 1), QTime(5, 45), nepal);
    QTest::newRow("huge") << QByteArray("99999999999999999999999")
                          << QDateTime(QDate(1970, 1, 1), QTime(5, 45), nepal);
    QTest::newRow("missing") << QByteArray("") << QDateTime(QDate(1970, 1, 1), QTime(5, 45), nepal);
}

void TestInterpreter::topicTimesInAFixedZone()
{
    QFETCH(QByteArray, stamp);
    QFETCH(QDateTime, shown);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_session->setTimeZone(QTimeZone(20700));
    run(":srv 333 alice #velmora bob " + stamp + "\r\n");
    QCOMPARE(m_roomLog.lines.size(), 1);
    const QString line = m_roomLog.lines.first();
    QVERIFY2(line.startsWith(codes(u"[C]3[B]*** [B]Topic set by [B]bob[B] on [B]"_qs)),
             qPrintable(line));
    const QString date = shown.date().day() == 2 ? u"1/2/1970"_qs : u"1/1/1970"_qs;
    QVERIFY2(line.contains(date + u" 5:45:00 AM"_qs + QChar(0x02)), qPrintable(line));
    QVERIFY(line.endsWith(QChar(0x02)));
    QLocale::setDefault(QLocale::system());
}

void TestInterpreter::namesBurstMatchesEntryByEntryInsertion()
{
    // Names merged as a batch give the same list as adding them one by one, also when other
    // lines read and change the list in between.
    QStringList nicks;
    QRandomGenerator random(7);
    // Long shared beginnings, short nicks and case differences all meet in one burst.
    for (int i = 0; i < 3000; ++i)
        nicks << QStringLiteral("%1%2%3ick%4")
                     .arg(QStringList{"", "@", "+", "~", "&"}[random.bounded(5)])
                     .arg(random.bounded(2) ? u'N' : u'n')
                     .arg(QChar(u'a' + random.bounded(26)))
                     .arg(random.bounded(2) ? QString() : QString::number(random.bounded(50000)));
    QByteArray lines;
    MemberList oneByOne;
    for (qsizetype at = 0; at < nicks.size(); at += 30) {
        const QStringList chunk = nicks.mid(at, 30);
        lines += ":srv 353 alice = #velmora :" + chunk.join(u' ').toUtf8() + "\r\n";
        for (const QString &nick : chunk)
            oneByOne.add(nick);
        if (at == 1500) {
            lines +=
                ":x!x@h JOIN #velmora\r\n:" + chunk.first().toUtf8() + "!u@h PART #velmora\r\n";
            oneByOne.add(QStringLiteral("x"));
            oneByOne.remove(chunk.first());
        }
    }
    run(lines);
    QCOMPARE(m_session->members().count(), oneByOne.count());
    QCOMPARE(m_session->members().entries(), oneByOne.entries());
    QCOMPARE(m_session->members().rowCount(), oneByOne.count());

    // And both are in order: ranks first (~ & @ % +), then without regard to case, ties broken
    // by the exact text.
    const auto rank = [](const QString &entry) {
        const qsizetype sign = QStringView(u"~&@%+").indexOf(entry.front());
        return sign < 0 ? 5 : sign;
    };
    const auto name = [&rank](const QString &entry) {
        return (rank(entry) < 5 ? entry.mid(1) : entry).toCaseFolded();
    };
    QStringList expected = oneByOne.entries();
    std::sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
        if (rank(a) != rank(b))
            return rank(a) < rank(b);
        const int folded = name(a).compare(name(b));
        return folded != 0 ? folded < 0 : a < b;
    });
    QCOMPARE(m_session->members().entries(), expected);
}

QTEST_GUILESS_MAIN(TestInterpreter)
#include "tst_interpreter.moc"
