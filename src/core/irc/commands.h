#pragma once

#include <QString>
#include <QStringView>

// Every protocol line the windows and dialogs send, built from what the user chose. Nothing here
// sends or touches a widget: a caller hands the line to LineSender or IrcSession::SendData, which
// end it at the first CR, LF or NUL. Member-list entries may carry a rank sign ("~", "&", "@",
// "%", "+"); every member command drops it, as the server knows the nick only.
namespace commands {

// The moderator tasks in the order of their menu items "mnukick0" to "mnukick5".
enum class Moderation
{
    Kick,
    KickWithReason,
    Voice,
    Devoice,
    Ban,
    Unban
};

// One moderator task on room. member is the member-list entry for kicks and voice changes and
// the typed nickname or mask for bans; reason is used by KickWithReason only.
QString moderate(Moderation task, const QString &room, const QString &member,
                 const QString &reason = {});
// The ban mask for what the user typed: a bare nick becomes "nick!*@*", the form servers store
// and lift bans by; a text with "!" or "@" is already a mask and is kept as typed.
QString banMask(const QString &typed);
// "KICK room nick", with " reason" after it when reason is not empty.
QString kick(const QString &room, const QString &nick, const QString &reason = {});

QString whois(const QString &entry);

// The away reasons of "&Online" to "Out to &Lunch" (index 1 to 6), as sent after "AWAY ";
// empty for Online and for an index outside 1 to 6.
QString awayReason(int index);
QString away(int index);
// The user's own away reason.
QString awayWithReason(const QString &reason);

// The room's member list and topic, asked for again.
QString names(const QString &room);
QString topic(const QString &room);
QString join(const QString &room);

// NickServ and the nickname.
QString identify(const QString &password);
QString registerNick(const QString &password, const QString &email);
// Names the nick: current services refuse a bare "nickserv drop".
QString dropNick(const QString &nick);
QString changePassword(const QString &password);
QString changeNick(const QString &nick);

} // namespace commands
