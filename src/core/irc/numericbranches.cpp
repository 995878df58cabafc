#include "numericbranches.h"

#include "ircsession.h"
#include "sessionpresenter.h"
#include "text/appendformatted.h"
#include "text/ircstyle.h"
#include "text/timeconversion.h"

#include <limits>

using namespace ircstyle;

namespace {

// Seconds of a time stamp; anything that is no number a date can hold counts as 0.
qint64 timeStampSeconds(const QString &text)
{
    bool ok = false;
    const qint64 seconds = text.trimmed().toLongLong(&ok);
    constexpr qint64 limit = qint64(std::numeric_limits<qint32>::max()) * 100;
    return ok && seconds > -limit && seconds < limit ? seconds : 0;
}

} // namespace

void NumericBranches::topic(const ParsedLine &line)
{
    const QString newTopic = GetParams(line, 2, -1);
    AppendFormatted(m_session.topicView(), newTopic);
    AppendFormatted(m_session.roomView(), colour(6) + u"*** Topic changed by "_qs + bold +
                                              line.Nick + bold + u" : "_qs + newTopic);
    m_session.topicView().clear();
    AppendFormatted(m_session.topicView(), newTopic);
}

void NumericBranches::topicOnJoin(const ParsedLine &line)
{
    const QString topicText = GetParams(line, 3, -1);
    AppendFormatted(m_session.topicView(), topicText);
    AppendFormatted(m_session.roomView(), bold + colour(10) + u"*** Topic is :\u00a0\u00a0"_qs +
                                              bold + colourOff + topicText);
}

void NumericBranches::topicSetBy(const ParsedLine &line)
{
    const QDateTime when =
        UnixTimeToLocal(timeStampSeconds(GetParams(line, 4, 4)), m_session.timeZone());
    AppendFormatted(m_session.roomView(), colour(3) + bold + u"*** "_qs + bold +
                                              u"Topic set by "_qs + bold + GetParams(line, 3, 3) +
                                              bold + u" on "_qs + bold + formatGeneralDate(when) +
                                              bold);
}

void NumericBranches::endOfNames(const ParsedLine &)
{
    // Nothing to show; the names gathered so far go into the list at once.
    m_session.members().flushPending();
}

void NumericBranches::identifyAsked(const ParsedLine &)
{
    m_session.presenter().showPasswordDialog(m_session.variables().CurrentNick);
}

void NumericBranches::noSuchNick(const ParsedLine &line)
{
    const QString nick = GetParams(line, 2, 2).trimmed();
    ConversationTable &table = m_session.conversations();
    const int slot = table.findExactSlot(nick);
    if (slot < 0 || nick.isEmpty())
        return;
    m_session.presenter().showConversationWindow(slot);
    m_session.presenter().showMessage(SessionPresenter::MessageIcon::Information,
                                      QStringLiteral("Chat Error"),
                                      u"The nick "_qs + table.caption(slot) +
                                          u" has either change the nick or has quit the Chat !"_qs);
}

void NumericBranches::cannotSend(const ParsedLine &)
{
    AppendFormatted(m_session.roomView(), colour(5) + u" Can't send message in room."_qs);
}

void NumericBranches::endOfGreeting(const ParsedLine &)
{
    m_session.roomView().clear();
    m_session.SendData(u"JOIN "_qs + m_session.variables().CurrentRoom);
}

void NumericBranches::noGreeting(const ParsedLine &)
{
    m_session.SendData(u"JOIN "_qs + m_session.variables().CurrentRoom);
}

void NumericBranches::nickRefused(const QString &problem, SessionPresenter::MessageIcon icon)
{
    AppendFormatted(m_session.roomView(),
                    colour(4) + u" *** Error"_qs + colour(14) + u' ' + problem);
    m_session.presenter().showMessage(icon, QStringLiteral("Nick Error"),
                                      problem.trimmed() + u" Please enter another nickname."_qs);
    m_session.presenter().showChangeNickDialog();
}

void NumericBranches::nickInUse(const ParsedLine &)
{
    nickRefused(QStringLiteral("Nickname is in use. "), SessionPresenter::MessageIcon::Information);
}

void NumericBranches::banned(const ParsedLine &)
{
    const QString &room = m_session.variables().CurrentRoom;
    AppendFormatted(m_session.roomView(), colour(4) + u"*** Cannot join the room "_qs + room +
                                              u". You are banned (+b)."_qs);
    m_session.presenter().showMessage(
        SessionPresenter::MessageIcon::Critical, QStringLiteral("Banned"),
        u"Cannot join the room "_qs + room + u". You are banned (+b). Try later."_qs);
    m_session.resetRoomState();
}

void NumericBranches::whois(const ParsedLine &line)
{
    AppendFormatted(m_session.roomView(),
                    colour(2) + u" Whois "_qs + colour(6) + GetParams(line, 2, -1));
}

void NumericBranches::invalidNick(const ParsedLine &)
{
    nickRefused(QStringLiteral("Invalid nickname."), SessionPresenter::MessageIcon::Exclamation);
}

void NumericBranches::sessionEnded()
{
    m_session.endSession();
}

void NumericBranches::serverError(const ParsedLine &line)
{
    AppendFormatted(m_session.roomView(), colour(4) + u" * "_qs + GetParams(line, 1, -1));
    AppendFormatted(m_session.roomView(), colour(2) + u"*** Disconnected "_qs + colour(15) +
                                              u"Conection to the server canceled."_qs);
    // Ended after both lines, so that a retry the session schedules is shown below them.
    sessionEnded();
    m_session.presenter().setAwaitingIdentification(false);
}

void NumericBranches::killed(const ParsedLine &)
{
    // An operator removed the user on purpose: coming back on one's own would defy that.
    m_session.reconnector().stop();
    sessionEnded();
    m_session.presenter().showMessage(SessionPresenter::MessageIcon::Critical,
                                      QStringLiteral("Kill"),
                                      QStringLiteral("You are forced to quit the chat."));
}

void NumericBranches::ignore(const ParsedLine &) {}
