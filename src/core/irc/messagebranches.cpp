#include "messagebranches.h"

#include "text/blanks.h"

#include "commands.h"
#include "ircsession.h"
#include "sessionpresenter.h"
#include "text/appendformatted.h"
#include "text/chatbuffer.h"
#include "text/formatcodes.h"
#include "text/formatscan.h"
#include "text/ircstyle.h"
#include "text/mentiondetector.h"
#include "text/timeconversion.h"

#include <QDateTime>

using namespace ircstyle;

namespace {

const QString kChooseAnotherNick = QStringLiteral("please choose a different nick.");
const QString kActionKeyword = ctcp + u"ACTION"_qs;

// "\x01ACTION ...\x01": the first seven characters, blanks trimmed, are the action keyword.
bool isAction(const QString &text)
{
    return blanksTrimmedView(QStringView(text).left(7)) == kActionKeyword;
}

// The action's text without "\x01ACTION" and without its closing \x01 when it has one; the
// blank after ACTION stays.
QString actionText(const QString &text)
{
    const qsizetype closing = text.size() > 7 && text.endsWith(FormatCode::Ctcp) ? 1 : 0;
    return text.mid(7, std::max<qsizetype>(0, text.size() - 7 - closing));
}

qsizetype utf8Length(QStringView text)
{
    qsizetype bytes = 0;
    for (const QChar c : text)
        bytes += c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : c.isSurrogate() ? 2 : 3;
    return bytes;
}

bool isCtcp(const QString &text)
{
    return text.startsWith(FormatCode::Ctcp) && text.endsWith(FormatCode::Ctcp);
}

// A message as a view shows it: the sender in bold purple, the text in black.
QString saidBy(const QString &sender, const QString &text)
{
    // Made once, and the line in one allocation: this runs for every message of a busy room.
    static const QString before = bold + colour(6) + u" < "_qs;
    static const QString after = u" > "_qs + paddedColour(1) + bold;
    QString line;
    line.reserve(before.size() + sender.size() + after.size() + text.size());
    line.append(before).append(sender).append(after).append(text);
    return line;
}

} // namespace

void MessageBranches::ping(const ParsedLine &line)
{
    m_session.SendData(u"PONG :"_qs + GetParams(line, 1, 1));
}

void MessageBranches::notice(const ParsedLine &line)
{
    // Anyone can send a notice: except NickServ's and the server's, each names its sender, and
    // only NickServ's drive the identification.
    const bool fromNickServ = isFromNickServ(line);
    const QString sender =
        fromNickServ || line.Nick.isEmpty() ? QString() : u" from "_qs + bold + line.Nick + bold;
    AppendFormatted(m_session.roomView(), colour(6) + u"*** Notice"_qs + sender + u", "_qs +
                                              colour(2) + GetParams(line, 2, -1));
    if (fromNickServ)
        identifyFlow(GetParams(line, 1, -1));
}

bool MessageBranches::isFromNickServ(const ParsedLine &line)
{
    return line.Nick.compare(u"NickServ", Qt::CaseInsensitive) == 0;
}

void MessageBranches::identifyFlow(const QString &all)
{
    SessionVariables &vars = m_session.variables();
    SessionPresenter &presenter = m_session.presenter();
    if (all.right(31) == kChooseAnotherNick) {
        if (!vars.CurrentPassword.isEmpty()) {
            // The login password identifies once per session.
            m_session.SendData(commands::identify(vars.CurrentPassword));
            vars.CurrentPassword.clear();
            return;
        }
        presenter.setAwaitingIdentification(true);
        presenter.showPasswordDialog(QString());
        return;
    }
    if (all == vars.CurrentNick + u" Password accepted - you are now recognized."_qs) {
        presenter.setAwaitingIdentification(false);
        presenter.showChannelWindow();
    }
    if (all == vars.CurrentNick + u" Password incorrect."_qs) {
        presenter.setAwaitingIdentification(true);
        presenter.showPasswordDialog(QString());
    }
}

void MessageBranches::privmsg(const ParsedLine &line)
{
    const QString text = GetParams(line, 2, -1);
    const QString sender = line.Nick;
    answerCtcp(text, sender);
    const QString target = GetParams(line, 1, 1);
    if (target.startsWith(u'#') || target.startsWith(u'&'))
        roomMessage(text, sender);
    else
        privateMessage(line, sender);
}

void MessageBranches::answerCtcp(const QString &text, const QString &sender)
{
    // A line without a prefix, or from a server (no "nick!" part), has no one to answer; the
    // notice would go out with an empty target.
    if (sender.isEmpty() || !isCtcp(text) || text.size() < 2)
        return;
    const QString &nick = m_session.variables().CurrentNick;
    const QStringView request = QStringView(text).mid(1, text.size() - 2);
    // Only the VERSION answer carries its closing CTCP code.
    QString answer;
    if (request == u"VERSION")
        answer = u"VERSION Velmora Messenger Ver 1.0"_qs + ctcp;
    else if (request == u"USERINFO")
        answer = u"USERINFO "_qs + nick;
    else if (request == u"CLIENTINFO")
        answer = u"CLIENTINFO "_qs + nick + u" is Using Orvane IRC Messenger"_qs;
    else if (request == u"TIME")
        answer = u"TIME "_qs + formatTimeStamp(QDateTime::currentDateTime());
    else if (request == u"WHICHVER")
        answer = u"Orvane-Msn Ver 1.04"_qs;
    else
        return;
    if (m_session.ctcpReplyLimiter().allow())
        m_session.SendData(u"Notice "_qs + sender + u" :"_qs + ctcp + answer);
}

void MessageBranches::roomMessage(const QString &text, const QString &sender)
{
    m_session.nickCompletion().noteSpeaker(sender);
    ChatBuffer &view = m_session.roomView();
    const int line = view.lineCount();
    const bool action = isAction(text);
    const QString said = action ? actionText(text) : text;
    if (action)
        AppendFormatted(view, colour(6) + u' ' + sender + said);
    else
        AppendFormatted(view, saidBy(sender, said));
    noteMention(line, sender, said, action);
}

void MessageBranches::noteMention(int line, const QString &sender, const QString &said, bool action)
{
    const QString &nick = m_session.variables().CurrentNick;
    // The user's own lines never count, even when a server echoes them back.
    ChatBuffer &view = m_session.roomView();
    if (mentions::sameNick(sender, nick) || line >= view.lineCount())
        return;
    // The line as stored has lost its formatting codes already; only what was said is searched,
    // after " < sender > " or the action's " sender".
    const qsizetype saidFrom = utf8Length(sender) + (action ? 1 : 6);
    if (!mentions::containsNick(view.lineUtf8(line), nick, saidFrom))
        return;
    view.highlightLine(line);
    // An action reads as a sentence about its sender: "Ann waves at alice".
    m_session.presenter().mentioned(sender, scanFormatted(action ? sender + said : said).text);
}

void MessageBranches::privateMessage(const ParsedLine &line, const QString &sender)
{
    ConversationTable &table = m_session.conversations();
    SessionPresenter &presenter = m_session.presenter();
    QString message = GetParams(line, 2, -1);
    const bool action = isAction(message);
    if (action)
        message = colour(6) + bold + u"*** "_qs + actionText(message);

    // A refused newcomer gets no slot; with every slot held the line goes to the first window.
    const int held = table.findSlot(sender);
    const int free = held >= 0 ? -1 : table.firstFreeSlot();
    if (m_session.refusesNewPrivates() && held < 0 && free >= 0)
        return;
    const int slot = held >= 0 ? held : std::max(0, free);

    // Only a line that is shown takes a slot (and so a log): refused senders and bare CTCP
    // requests cannot use up the table or fill the disk with empty logs.
    const SessionPresenter::ConversationWindowState state = presenter.conversationWindowState(slot);
    if (!state.minimized) {
        if (m_session.blockedNicks().isBlocked(sender))
            return;
        // Other CTCP requests never reach the window; actions do.
        if (!action && isCtcp(GetParams(line, 2, -1)))
            return;
    }
    if (held < 0 && free >= 0)
        table.claim(free, sender);
    if (!state.minimized && !state.visible) {
        table.setCaption(slot, sender);
        presenter.openConversationWindow(slot, sender);
    }
    presenter.flashConversationWindow(slot);
    ChatBuffer &view = table.view(slot);
    if (held >= 0 || free >= 0) {
        AppendFormatted(view, saidBy(sender, message));
        return;
    }
    // Every slot is held by someone else: shown in the first window, logged under the
    // sender's own name.
    const std::unique_ptr<LineLog> ownLog = table.logFor(sender);
    LineLog *const windowLog = view.log();
    view.setLog(ownLog.get());
    AppendFormatted(view, saidBy(sender, message));
    view.setLog(windowLog);
}
