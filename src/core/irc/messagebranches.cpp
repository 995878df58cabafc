#include "messagebranches.h"

#include "text/blanks.h"

#include "commands.h"
#include "ircsession.h"
#include "sessionpresenter.h"
#include "text/appendformatted.h"
#include "text/formatcodes.h"

#include <QDateTime>

namespace {

const QString kChooseAnotherNick = QStringLiteral("please choose a different nick.");

// "\x01ACTION ...\x01": the first seven characters, blanks trimmed, are the action keyword.
bool isAction(const QString &text)
{
    return trimmedBlanks(QStringView(text).left(7)) == u"\x01"
                                                       "ACTION";
}

// The action's text without "\x01ACTION" and without its last character (the closing \x01);
// the blank after ACTION stays.
QString actionText(const QString &text)
{
    return text.mid(7, std::max<qsizetype>(0, text.size() - 8));
}

bool isCtcp(const QString &text)
{
    return text.startsWith(FormatCode::Ctcp) && text.endsWith(FormatCode::Ctcp);
}

} // namespace

void MessageBranches::ping(const ParsedLine &line)
{
    m_session.SendData(u"PONG :"_qs + GetParams(line, 1, 1));
}

void MessageBranches::notice(const ParsedLine &line)
{
    SessionVariables &vars = m_session.variables();
    SessionPresenter &presenter = m_session.presenter();
    AppendFormatted(m_session.roomView(), u"\x03"
                                          "6*** Notice, \x03"
                                          "2"_qs +
                                              GetParams(line, 2, -1));
    const QString all = GetParams(line, 1, -1);
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
    if (!isCtcp(text) || text.size() < 2)
        return;
    const QString &nick = m_session.variables().CurrentNick;
    const QStringView request = QStringView(text).mid(1, text.size() - 2);
    QString answer;
    if (request == u"VERSION") {
        answer = u" :\x01"
                 "VERSION Velmora Messenger Ver 1.0\x01"_qs;
    } else if (request == u"USERINFO") {
        answer = u" :\x01"
                 "USERINFO "_qs +
                 nick;
    } else if (request == u"CLIENTINFO") {
        answer = u" :\x01"
                 "CLIENTINFO "_qs +
                 nick + u" is Using Orvane IRC Messenger"_qs;
    } else if (request == u"TIME") {
        const QDateTime now = QDateTime::currentDateTime();
        answer = u" :\x01"
                 "TIME "_qs +
                 now.toString(u"HH:mm:ss") + u' ' + now.toString(u"MM-dd-yyyy");
    } else if (request == u"WHICHVER") {
        answer = u" :\x01"
                 "Orvane-Msn Ver 1.04"_qs;
    } else {
        return;
    }
    if (m_session.ctcpReplyLimiter().allow())
        m_session.SendData(u"Notice "_qs + sender + answer);
}

void MessageBranches::roomMessage(const QString &text, const QString &sender)
{
    if (isAction(text)) {
        AppendFormatted(m_session.roomView(), u"\x03"
                                              "6 "_qs +
                                                  sender + actionText(text));
        return;
    }
    AppendFormatted(m_session.roomView(), u"\x02\x03"
                                          "6 < "_qs +
                                              sender +
                                              u" > \x03"
                                              "01\x02"_qs +
                                              text);
}

void MessageBranches::privateMessage(const ParsedLine &line, const QString &sender)
{
    ConversationTable &table = m_session.conversations();
    SessionPresenter &presenter = m_session.presenter();
    QString message = GetParams(line, 2, -1);
    const bool action = isAction(message);
    if (action)
        message = u"\x03"
                  "6\x02*** "_qs +
                  actionText(message);

    int slot = table.findSlot(sender);
    bool claimedNow = false;
    if (slot < 0) {
        const int free = table.firstFreeSlot();
        if (free >= 0) {
            if (m_session.refusesNewPrivates())
                return;
            slot = free;
            table.claim(slot, sender);
            claimedNow = true;
        } else {
            slot = 0; // all slots held: the line goes to the first window
        }
    }
    // A line that is dropped below gives its fresh slot back, so refused senders and bare CTCP
    // requests cannot use up the table.
    auto drop = [&] {
        if (claimedNow)
            table.ConversationNicks[size_t(slot)].clear();
    };

    ChatBuffer &view = table.view(slot);
    const SessionPresenter::ConversationWindowState state = presenter.conversationWindowState(slot);
    if (!state.minimized) {
        if (m_session.blockedNicks().isBlocked(sender)) {
            drop();
            return;
        }
        // Other CTCP requests never reach the window; actions do.
        if (!action && isCtcp(GetParams(line, 2, -1))) {
            drop();
            return;
        }
        if (!state.visible) {
            table.setCaption(slot, sender);
            presenter.openConversationWindow(slot, sender);
        }
    }
    presenter.flashConversationWindow(slot);
    AppendFormatted(view, u"\x02\x03"
                          "6 < "_qs +
                              sender +
                              u" > \x03"
                              "01\x02"_qs +
                              message);
}
