#pragma once

#include "irc/parsedline.h"

class IrcSession;

// Notices, messages, CTCP requests and the keep-alive.
class MessageBranches
{
public:
    explicit MessageBranches(IrcSession &session) : m_session(session) {}

    void ping(const ParsedLine &line);

private:
    IrcSession &m_session;
};
