#pragma once

#include "parsedline.h"

class IrcSession;

// Notices (and the NickServ identification they drive), the keep-alive, CTCP answers, room
// messages and actions, and private messages routed to one conversation per partner.
class MessageBranches
{
public:
    explicit MessageBranches(IrcSession &session) : m_session(session) {}

    void notice(const ParsedLine &line);
    void ping(const ParsedLine &line);
    void privmsg(const ParsedLine &line);

private:
    // Only the network's NickServ may lock the input or ask for the password.
    static bool isFromNickServ(const ParsedLine &line);
    // all: the notice's target nick, a blank and its text.
    void identifyFlow(const QString &all);
    void answerCtcp(const QString &text, const QString &sender);
    void roomMessage(const QString &text, const QString &sender);
    // Highlights the room line and tells the presenter when said names the user.
    void noteMention(int line, const QString &sender, const QString &said, bool action);
    void privateMessage(const ParsedLine &line, const QString &sender);

    IrcSession &m_session;
};
