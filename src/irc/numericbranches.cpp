#include "numericbranches.h"

#include "irc/ircsession.h"

void NumericBranches::endOfGreeting(const ParsedLine &)
{
    m_session.roomView().clear();
    m_session.SendData(QString(u"JOIN "_qs + m_session.variables().CurrentRoom));
}

void NumericBranches::noGreeting(const ParsedLine &)
{
    m_session.SendData(QString(u"JOIN "_qs + m_session.variables().CurrentRoom));
}
