#pragma once

#include "parsedline.h"
#include "sessionpresenter.h"

class IrcSession;

// The topic, numeric replies of the server and its two ways of ending the session.
class NumericBranches
{
public:
    explicit NumericBranches(IrcSession &session) : m_session(session) {}

    void topic(const ParsedLine &line);         // TOPIC
    void topicOnJoin(const ParsedLine &line);   // 332
    void topicSetBy(const ParsedLine &line);    // 333
    void endOfNames(const ParsedLine &line);    // 366
    void identifyAsked(const ParsedLine &line); // 297
    void noSuchNick(const ParsedLine &line);    // 401
    void cannotSend(const ParsedLine &line);    // 404
    void endOfGreeting(const ParsedLine &line); // 376
    void noGreeting(const ParsedLine &line);    // 422
    void nickInUse(const ParsedLine &line);     // 433
    void banned(const ParsedLine &line);        // 474
    void whois(const ParsedLine &line);         // 311, 352, 313, 312, 317, 318, 319
    void invalidNick(const ParsedLine &line);   // 432
    void serverError(const ParsedLine &line);   // ERROR
    void killed(const ParsedLine &line);        // KILL
    void ignore(const ParsedLine &line);        // 512, 367, 368, 377, 378, 324, 329

private:
    // The session has ended: menus as after a socket error, room state emptied.
    void sessionEnded();
    // The server refused the nickname: a line in the room, a box, the change-nick dialog.
    void nickRefused(const QString &problem, SessionPresenter::MessageIcon icon);

    IrcSession &m_session;
};
