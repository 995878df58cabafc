#include "irc/commands.h"
#include "session/ranksigns.h"

#include <QtTest>

using commands::Moderation;

// Every line the windows send, as built, against the exact text the server has always received.
class TestCommands : public QObject
{
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
};

void TestCommands::lines_data()
{
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("expected");
    const QString room = u"#velmora"_qs;

    auto moderate = [&room](Moderation task, const QString &member, const QString &reason = {}) {
        return commands::moderate(task, room, member, reason);
    };
    QTest::newRow("kick") << moderate(Moderation::Kick, u"bob"_qs) << u"KICK #velmora bob"_qs;
    QTest::newRow("kick drops one sign only")
        << moderate(Moderation::Kick, u"@+bob"_qs) << u"KICK #velmora +bob"_qs;
    QTest::newRow("kick ignores reason")
        << moderate(Moderation::Kick, u"bob"_qs, u"spam"_qs) << u"KICK #velmora bob"_qs;
    QTest::newRow("kick with reason")
        << moderate(Moderation::KickWithReason, u"@bob"_qs, u"spam and more"_qs)
        << u"KICK #velmora bob spam and more"_qs;
    QTest::newRow("kick with empty reason")
        << moderate(Moderation::KickWithReason, u"bob"_qs) << u"KICK #velmora bob"_qs;
    QTest::newRow("kick bare rank") << moderate(Moderation::Kick, u"@"_qs) << u"KICK #velmora "_qs;
    QTest::newRow("kick function")
        << commands::kick(room, u"bob"_qs, u"spam"_qs) << u"KICK #velmora bob spam"_qs;
    QTest::newRow("voice plain") << moderate(Moderation::Voice, u"bob"_qs)
                                 << u"MODE #velmora +v bob"_qs;
    // The server knows the nick only: every member command drops any one rank sign.
    for (const char *rank : {"~", "&", "@", "%", "+"}) {
        const QString entry = QLatin1String(rank) + u"bob"_qs;
        QTest::addRow("kick drops %s", rank)
            << moderate(Moderation::Kick, entry) << u"KICK #velmora bob"_qs;
        QTest::addRow("voice drops %s", rank)
            << moderate(Moderation::Voice, entry) << u"MODE #velmora +v bob"_qs;
        QTest::addRow("devoice drops %s", rank)
            << moderate(Moderation::Devoice, entry) << u"MODE #velmora -v bob"_qs;
        QTest::addRow("whois drops %s", rank) << commands::whois(entry) << u"WHOIS bob"_qs;
    }
    // A bare nick is banned and unbanned by the mask the server stores; masks go as typed.
    const struct
    {
        const char *name;
        Moderation task;
        QString typed;
        QString line;
    } bans[] = {
        {"ban mask as typed", Moderation::Ban, u"bob!*@*"_qs, u"+b bob!*@*"_qs},
        {"ban host mask as typed", Moderation::Ban, u"*@bad.host"_qs, u"+b *@bad.host"_qs},
        {"ban bare nick", Moderation::Ban, u"bob"_qs, u"+b bob!*@*"_qs},
        {"unban bare nick", Moderation::Unban, u"bob"_qs, u"-b bob!*@*"_qs},
        {"unban bare nick with blanks", Moderation::Unban, u" bob "_qs, u"-b bob!*@*"_qs},
        {"unban mask as typed", Moderation::Unban, u"bob!b@h"_qs, u"-b bob!b@h"_qs},
        {"ban of a typed rank sign is a mask", Moderation::Ban, u"@bob"_qs, u"+b @bob"_qs},
        {"ban of blanks only stays blanks", Moderation::Ban, u"  "_qs, u"+b   "_qs},
    };
    for (const auto &ban : bans)
        QTest::newRow(ban.name) << moderate(ban.task, ban.typed) << u"mode #velmora "_qs + ban.line;

    QTest::newRow("whois") << commands::whois(u"bob"_qs) << u"WHOIS bob"_qs;
    QTest::newRow("whois trims blanks around rank and nick")
        << commands::whois(u"  @ bob  "_qs) << u"WHOIS bob"_qs;

    QTest::newRow("member ranks: all five")
        << ranksigns::withoutSign(u"%bob"_qs).toString() << u"bob"_qs;
    QTest::newRow("member ranks: empty entry")
        << ranksigns::withoutSign(QString()).toString() << QString();

    QTest::newRow("away online") << commands::away(1) << u"AWAY "_qs;
    QTest::newRow("away busy") << commands::away(2) << u"AWAY  is Busy"_qs;
    QTest::newRow("away right back") << commands::away(3) << u"AWAY  will be right back"_qs;
    QTest::newRow("away away") << commands::away(4) << u"AWAY  is Away"_qs;
    QTest::newRow("away call") << commands::away(5) << u"AWAY  is in a call"_qs;
    QTest::newRow("away lunch") << commands::away(6) << u"AWAY  is Out to lunch"_qs;
    QTest::newRow("away below range") << commands::away(0) << u"AWAY "_qs;
    QTest::newRow("away above range") << commands::away(7) << u"AWAY "_qs;
    QTest::newRow("away own reason")
        << commands::awayWithReason(u"gone fishing"_qs) << u"Away gone fishing"_qs;

    QTest::newRow("names") << commands::names(room) << u"NAMES #velmora"_qs;
    QTest::newRow("topic") << commands::topic(room) << u"TOPIC #velmora"_qs;
    QTest::newRow("join") << commands::join(room) << u"JOIN #velmora"_qs;

    QTest::newRow("identify") << commands::identify(u"s3cret"_qs) << u"nickserv identify s3cret"_qs;
    QTest::newRow("register") << commands::registerNick(u"s3cret"_qs, u"me@example.org"_qs)
                              << u"nickserv register s3cret me@example.org"_qs;
    QTest::newRow("drop names the nick")
        << commands::dropNick(u"rover"_qs) << u"nickserv drop rover"_qs;
    QTest::newRow("change password")
        << commands::changePassword(u"n3w"_qs) << u"nickserv set password n3w"_qs;
    QTest::newRow("change nick") << commands::changeNick(u"rover"_qs) << u"nick rover"_qs;
}

void TestCommands::lines()
{
    QFETCH(QString, built);
    QFETCH(QString, expected);
    QCOMPARE(built, expected);
}

QTEST_APPLESS_MAIN(TestCommands)
#include "tst_commands.moc"
