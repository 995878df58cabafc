#pragma once

#include "parsedline.h"

#include <QStringList>

class IrcSession;

// Joins, parts, quits, nick changes, kicks, names replies and rank modes: they keep the member
// list, the count and the user's own identity right.
class MembershipBranches
{
public:
    explicit MembershipBranches(IrcSession &session) : m_session(session) {}

    void join(const ParsedLine &line);
    void part(const ParsedLine &line);
    void quit(const ParsedLine &line);
    void nick(const ParsedLine &line);
    void kick(const ParsedLine &line);
    void names(const ParsedLine &line);
    void mode(const ParsedLine &line);

private:
    bool isMe(const QString &nick) const;
    // Removes the first entry found as prefix + nick, trying the prefixes in order.
    void removeFirstOf(const QString &nick, QStringView prefixes);
    // Replaces the entry `from` by `to` when `from` is listed; false when it is not.
    bool replace(const QString &from, const QString &to);
    void applyMode(const QString &modes, const QString &target, bool me);
    // Shows the moderator menu when entry is the user with an operator rank, hides it when it is
    // the user without one; other members' entries change nothing.
    void showOwnRank(QStringView entry);

    IrcSession &m_session;
};
