#pragma once

#include "irc/parsedline.h"

class IrcSession;

// Numeric replies of the server and its ways of ending the session.
class NumericBranches
{
public:
    explicit NumericBranches(IrcSession &session) : m_session(session) {}

    void endOfGreeting(const ParsedLine &line); // 376
    void noGreeting(const ParsedLine &line);    // 422

private:
    IrcSession &m_session;
};
