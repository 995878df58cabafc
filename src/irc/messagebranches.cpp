#include "messagebranches.h"

#include "irc/ircsession.h"

void MessageBranches::ping(const ParsedLine &line)
{
    m_session.SendData(QString(u"PONG :"_qs + GetParams(line, 1, 1)));
}
