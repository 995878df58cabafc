#include "commands.h"

#include "session/ranksigns.h"
#include "text/blanks.h"

namespace commands {

QString moderate(Moderation task, const QString &room, const QString &member, const QString &reason)
{
    const QString nick = ranksigns::withoutSign(member).toString();
    switch (task) {
    case Moderation::Kick:
        return kick(room, nick);
    case Moderation::KickWithReason:
        return kick(room, nick, reason);
    case Moderation::Voice:
        return u"MODE "_qs + room + u" +v "_qs + nick;
    case Moderation::Devoice:
        return u"MODE "_qs + room + u" -v "_qs + nick;
    case Moderation::Ban:
        return u"mode "_qs + room + u" +b "_qs + banMask(member);
    case Moderation::Unban:
        return u"mode "_qs + room + u" -b "_qs + banMask(member);
    }
    return {};
}

QString banMask(const QString &typed)
{
    const QString nick = trimmedBlanks(typed);
    // A blank answer stays as typed: "!*@*" alone could read as a mask matching everyone.
    if (nick.isEmpty() || nick.contains(u'!') || nick.contains(u'@'))
        return typed;
    return nick + u"!*@*"_qs;
}

QString kick(const QString &room, const QString &nick, const QString &reason)
{
    QString line = u"KICK "_qs + room + u' ' + nick;
    if (!reason.isEmpty())
        line += u' ' + reason;
    return line;
}

QString whois(const QString &entry)
{
    return u"WHOIS "_qs + trimmedBlanks(ranksigns::withoutSign(trimmedBlanks(entry)));
}

QString awayReason(int index)
{
    static const QString reasons[] = {
        QString(),
        QStringLiteral(" is Busy"),
        QStringLiteral(" will be right back"),
        QStringLiteral(" is Away"),
        QStringLiteral(" is in a call"),
        QStringLiteral(" is Out to lunch"),
    };
    if (index < 1 || index > 6)
        return QString();
    return reasons[index - 1];
}

QString away(int index)
{
    return u"AWAY "_qs + awayReason(index);
}

QString awayWithReason(const QString &reason)
{
    return u"Away "_qs + reason;
}

QString names(const QString &room)
{
    return u"NAMES "_qs + room;
}

QString topic(const QString &room)
{
    return u"TOPIC "_qs + room;
}

QString join(const QString &room)
{
    return u"JOIN "_qs + room;
}

QString identify(const QString &password)
{
    return u"nickserv identify "_qs + password;
}

QString registerNick(const QString &password, const QString &email)
{
    return u"nickserv register "_qs + password + u' ' + email;
}

QString dropNick(const QString &nick)
{
    return u"nickserv drop "_qs + nick;
}

QString changePassword(const QString &password)
{
    return u"nickserv set password "_qs + password;
}

QString changeNick(const QString &nick)
{
    return u"nick "_qs + nick;
}

} // namespace commands
