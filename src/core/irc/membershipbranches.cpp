#include "membershipbranches.h"

#include "text/blanks.h"

#include "ircsession.h"
#include "session/ranksigns.h"
#include "sessionpresenter.h"
#include "text/appendformatted.h"
#include "text/ircstyle.h"

using namespace ircstyle;

namespace {

// Removal looks for a member as plain, "@", "+", "&", "~"; a nick change as plain, "@", "+",
// "~", "&". The empty prefix comes first: a ':' stands for it.
constexpr QStringView kRemovalPrefixes = u":@+&~";
constexpr QStringView kNickChangePrefixes = u":@+~&";

QString prefixed(QChar prefix, const QString &nick)
{
    return prefix == u':' ? nick : prefix + nick;
}

} // namespace

bool MembershipBranches::isMe(const QString &nick) const
{
    return nick.compare(m_session.variables().CurrentNick, Qt::CaseInsensitive) == 0;
}

void MembershipBranches::removeFirstOf(const QString &nick, QStringView prefixes)
{
    if (nick.isEmpty())
        return; // a line without a nick names nobody
    for (QChar prefix : prefixes) {
        if (m_session.members().remove(prefixed(prefix, nick)))
            return;
    }
}

bool MembershipBranches::replace(const QString &from, const QString &to)
{
    MemberList &members = m_session.members();
    const int row = members.findExact(from);
    if (row < 0)
        return false;
    members.removeAt(row);
    members.add(to);
    return true;
}

void MembershipBranches::join(const ParsedLine &line)
{
    SessionVariables &vars = m_session.variables();
    if (!isMe(line.Nick)) {
        if (!line.Nick.isEmpty())
            m_session.members().add(line.Nick);
        AppendFormatted(m_session.roomView(), colour(3) + bold + u"*** "_qs + line.Nick + bold +
                                                  u" has joined "_qs + bold + vars.CurrentRoom);
        m_session.UpdateUserCount();
        return;
    }
    vars.CurrentRoom = GetParams(line, 1, 1);
    m_session.SendData(u"MODE "_qs + vars.CurrentRoom);
    m_session.roomView().clear();
    AppendFormatted(m_session.roomView(), colour(3) + bold + u"*** You"_qs + bold +
                                              u" have joined "_qs + bold + vars.CurrentRoom);
    m_session.UpdateUserCount();
}

void MembershipBranches::part(const ParsedLine &line)
{
    if (isMe(line.Nick)) {
        m_session.resetRoomState();
        return;
    }
    AppendFormatted(m_session.roomView(), colour(2) + bold + u"*** "_qs + line.Nick + bold +
                                              u" has part "_qs + bold +
                                              m_session.variables().CurrentRoom + bold);
    removeFirstOf(line.Nick, kRemovalPrefixes);
    m_session.UpdateUserCount();
}

void MembershipBranches::quit(const ParsedLine &line)
{
    if (isMe(line.Nick)) {
        m_session.resetRoomState();
        return;
    }
    const QString &room = m_session.variables().CurrentRoom;
    AppendFormatted(m_session.roomView(), colour(4) + bold + u"*** "_qs + line.Nick + bold +
                                              colour(2) + u" has quit "_qs + bold + room + bold +
                                              u"  [ "_qs + colourOff + GetParams(line, 1, -1) +
                                              colour(2) + u" ]"_qs);
    ConversationTable &table = m_session.conversations();
    const int slot = table.findExactSlot(line.Nick);
    if (slot >= 0 && !line.Nick.isEmpty()) {
        AppendFormatted(table.view(slot), bold + u" ** "_qs + colour(4) + line.Nick +
                                              paddedColour(2) + bold + u" has quit "_qs + bold +
                                              room);
        m_session.presenter().flashConversationWindow(slot);
    }
    removeFirstOf(line.Nick, kRemovalPrefixes);
    m_session.UpdateUserCount();
}

void MembershipBranches::nick(const ParsedLine &line)
{
    SessionVariables &vars = m_session.variables();
    const QString newNick = GetParams(line, 1, 1);
    if (newNick.isEmpty() || line.Nick.isEmpty())
        return; // nobody to rename, or no new name: the line is malformed
    if (line.Nick != vars.CurrentNick) {
        AppendFormatted(m_session.roomView(), bold + paddedColour(7) + u"*** "_qs + line.Nick +
                                                  bold + u" is now known as "_qs + bold + newNick);
    } else {
        vars.CurrentNick = newNick;
        AppendFormatted(m_session.roomView(), bold + paddedColour(6) + u"*** You"_qs + bold +
                                                  u" are now known as "_qs + bold + newNick);
    }
    for (QChar prefix : kNickChangePrefixes) {
        if (replace(prefixed(prefix, line.Nick), prefixed(prefix, newNick)))
            break;
    }
}

void MembershipBranches::kick(const ParsedLine &line)
{
    SessionVariables &vars = m_session.variables();
    const QString victim = GetParams(line, 2, 2);
    const QString reason = trimmedBlanks(GetParams(line, 3, -1));
    const QString me = trimmedBlanks(vars.CurrentNick).toLower();
    const bool kickedMe = trimmedBlanks(GetParams(line, 2, -1)).toLower() == me ||
                          trimmedBlanks(victim).toLower() == me;
    if (!kickedMe) {
        AppendFormatted(m_session.roomView(), colour(4) + u"*** "_qs + bold + victim + bold +
                                                  u" was kicked by "_qs + bold + line.Nick + bold +
                                                  u"  [ "_qs + paddedColour(4) + reason + bold +
                                                  colour(4) + bold + u" ] "_qs);
        removeFirstOf(trimmedBlanks(victim), kRemovalPrefixes);
        m_session.UpdateUserCount();
        return;
    }
    AppendFormatted(m_session.roomView(),
                    colour(4) + bold + u"***You "_qs + bold + u"were kicked from "_qs + bold +
                        vars.CurrentRoom + bold + u" by "_qs + bold + line.Nick + bold + u" ["_qs +
                        paddedColour(4) + reason + colour(4) + u"]"_qs);
    m_session.resetRoomState();
    m_session.presenter().showMessage(SessionPresenter::MessageIcon::Critical,
                                      QStringLiteral("Kick"),
                                      u"You are kicked from "_qs + vars.CurrentRoom + u" room."_qs);
    m_session.presenter().setModeratorMenuVisible(false);
}

void MembershipBranches::names(const ParsedLine &line)
{
    const QString names = GetParams(line, 4, -1);
    QStringList added;
    for (QStringView piece : QStringTokenizer(names, u' ')) {
        showOwnRank(piece);
        // Half-operators are listed plain; blank pieces are no one.
        if (piece.startsWith(u'%'))
            piece = piece.mid(1);
        if (!piece.isEmpty())
            added << piece.toString();
    }
    m_session.members().addNames(added);
    m_session.UpdateUserCount();
}

// A room's creator gets its operator rank in the names reply alone, with no MODE line; so the
// user's own entry there also shows or hides the moderator menu.
void MembershipBranches::showOwnRank(QStringView entry)
{
    const QStringView nick = ranksigns::withoutSign(entry);
    if (nick.isEmpty() || nick.compare(m_session.variables().CurrentNick, Qt::CaseInsensitive) != 0)
        return;
    const bool ranked = nick.size() < entry.size();
    m_session.presenter().setModeratorMenuVisible(ranked &&
                                                  ranksigns::Moderator.contains(entry.front()));
}

void MembershipBranches::mode(const ParsedLine &line)
{
    const QString setter = line.Nick.isEmpty() ? line.Prefix : line.Nick;
    const QString modes = GetParams(line, 2, -1);
    AppendFormatted(m_session.roomView(),
                    colour(3) + bold + u"* "_qs + setter + bold + u" sets mode: "_qs + modes);
    // The first argument is expected at the fourth character: after "+o " or "+oa".
    const QString target = trimmedBlanks(QStringView(modes).mid(3)).section(u' ', 0, 0);
    const int countBefore = m_session.members().count();
    applyMode(modes, target, isMe(target));
    // A rank given to someone missing from the list adds an entry.
    if (m_session.members().count() != countBefore)
        m_session.UpdateUserCount();
}

void MembershipBranches::applyMode(const QString &modes, const QString &target, bool me)
{
    MemberList &members = m_session.members();
    SessionPresenter &presenter = m_session.presenter();
    const QStringView m2 = QStringView(modes).left(2);
    const QStringView m3 = QStringView(modes).left(3);
    auto moderator = [&](bool visible) {
        if (me)
            presenter.setModeratorMenuVisible(visible);
    };
    if (target.isEmpty())
        return; // no member named: the menu and the list stay as they are
    auto found = [&](const QString &entry) { return members.findExact(entry) >= 0; };
    auto removeEach = [&](QStringView prefixes) {
        for (QChar prefix : prefixes)
            members.remove(prefix + target);
    };

    if (m2 == u"-o") {
        moderator(false);
        replace(u'@' + target, target);
    } else if (m2 == u"-v") {
        replace(u'+' + target, target);
    } else if (m3 == u"+o ") {
        moderator(true);
        if (!replace(target, u'@' + target) && !found(u'~' + target) && !found(u'&' + target)) {
            removeEach(u"+@");
            members.add(u'@' + target);
        }
    } else if (m3 == u"+h ") {
        moderator(true);
    } else if (m3 == u"-h ") {
        moderator(false);
    } else if (m3 == u"+a ") {
        moderator(true);
        if (!replace(target, u'&' + target) && !found(u'~' + target)) {
            removeEach(u"+@&");
            members.add(u'&' + target);
        }
    } else if (m2 == u"+v") {
        replace(target, u'+' + target);
    } else if (m3 == u"+q ") {
        moderator(true);
        if (!replace(target, u'~' + target)) {
            removeEach(u"+@&~");
            members.add(u'~' + target);
        }
    } else if (m2 == u"-q") {
        moderator(false);
        replace(u'~' + target, target);
    } else if (m2 == u"-a") {
        moderator(false);
        replace(u'&' + target, target);
    } else if (m3 == u"+oa" || m3 == u"+ao") {
        moderator(true);
        replace(target, u'&' + target);
    } else if (m3 == u"+oq" || m3 == u"+qo") {
        moderator(true);
        replace(target, u'~' + target);
    }
}
