#include "roomcommands.h"

#include "channelwindow.h"
#include "dialogs/blockednickswindow.h"
#include "irc/commands.h"
#include "irc/composition.h"
#include "irc/ircsession.h"
#include "private/conversationwindow.h"
#include "private/conversationwindows.h"
#include "session/ranksigns.h"
#include "util/messageboxes.h"

#include <QAction>
#include <QListView>

#include <algorithm>

RoomCommands::RoomCommands(IrcSession &session, ChannelWindow &window)
    : QObject(&window), m_session(session), m_window(window),
      m_memberList(qobject_cast<QListView *>(window.element(QStringLiteral("lstnicks"))))
{
    const ChannelMenus &menus = window.menus();
    auto on = [this](QAction *action, auto &&command) {
        connect(action, &QAction::triggered, this, command);
    };
    on(menus.privateChat, [this] { openPrivateChat(true); });
    on(menus.block, [this] { blockMember(); });
    on(menus.blockedNicks, [this] { showBlockedNicks(); });
    on(menus.refresh, [this] { refresh(); });
    on(menus.clear, [this] { clearChat(); });
    on(menus.forgotPassword, [this] { forgotPassword(); });
    on(menus.whois, [this] { whois(); });
    on(menus.awayReason, [this] { askAwayReason(); });
    for (size_t i = 0; i < menus.away.size(); ++i)
        on(menus.away[i], [this, index = int(i) + 1] { setAway(index); });
    for (const commands::Moderation task : ChannelMenus::ModeratorTasks)
        on(menus.moderation(task), [this, task] { moderate(task); });
    if (m_memberList)
        connect(m_memberList, &QListView::doubleClicked, this, [this] { openPrivateChat(false); });
}

QString RoomCommands::selectedEntry() const
{
    if (!m_memberList || !m_memberList->selectionModel())
        return QString();
    QModelIndexList rows = m_memberList->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return QString();
    const QModelIndex first = *std::min_element(
        rows.cbegin(), rows.cend(),
        [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    return first.data().toString();
}

QString RoomCommands::room() const
{
    return m_session.variables().CurrentRoom;
}

void RoomCommands::send(const QStringList &lines)
{
    if (!m_session.readyToSend(m_session.roomView()))
        return;
    for (const QString &line : lines)
        m_session.SendData(line);
}

void RoomCommands::inform(const QString &name, const QString &title, const QString &text)
{
    messageboxes::inform(&m_window, QMessageBox::Information, title, text, name);
}

void RoomCommands::ask(const QString &name, const QString &title, const QString &prompt,
                       std::function<void(const QString &)> onAnswer)
{
    messageboxes::askText(&m_window, name, title, prompt,
                          [onAnswer = std::move(onAnswer)](const QString &text) {
                              if (!text.isEmpty())
                                  onAnswer(text);
                          });
}

void RoomCommands::openPrivateChat(bool fromMenu)
{
    const QString entry = selectedEntry();
    if (entry.isEmpty()) {
        if (fromMenu)
            inform(QStringLiteral("selectuser"), SelectUserErrorTitle, SelectUserError);
        return;
    }
    const QString nick = ranksigns::withoutSign(entry).toString();
    if (nick.isEmpty())
        return; // a bare rank sign names nobody to talk to

    ConversationTable &table = m_session.conversations();
    // Every slot held by someone else: the first window is reused.
    const int slot = std::max(0, table.claimFirstSlotFor(nick).slot);
    table.setCaption(slot, nick);
    m_session.presenter().openConversationWindow(slot, nick);
    minimizeConversationWindow(slot);
    // The conversation waits minimized; the user goes on typing in the room.
    if (m_window.isVisible())
        m_window.activateWindow();
}

void RoomCommands::minimizeConversationWindow(int slot)
{
    if (ConversationWindow *window = m_window.conversations().existing(slot))
        window->setWindowState(window->windowState() | Qt::WindowMinimized);
}

void RoomCommands::blockMember()
{
    const QString entry = selectedEntry();
    if (entry.isEmpty()) {
        inform(QStringLiteral("selectuser"), SelectUserErrorTitle, SelectUserError);
        return;
    }
    m_session.blockedNicks().addMember(entry);
}

void RoomCommands::showBlockedNicks()
{
    if (!m_blockedNicks)
        m_blockedNicks =
            new BlockedNicksWindow(m_session.blockedNicks(), m_session.members(), &m_window);
    m_blockedNicks->show();
    m_blockedNicks->raise();
    m_blockedNicks->activateWindow();
}

void RoomCommands::whois()
{
    const QString entry = selectedEntry();
    if (entry.isEmpty()) {
        inform(QStringLiteral("selectnick"), SelectUserErrorTitle,
               QStringLiteral("Please select a Nick"));
        return;
    }
    send({commands::whois(entry)});
}

void RoomCommands::moderate(commands::Moderation task)
{
    using commands::Moderation;
    const QString entry = selectedEntry();
    if (entry.isEmpty()) {
        inform(QStringLiteral("selectuser"), SelectUserErrorTitle, SelectUserError);
        return;
    }
    // The member is taken now: the list may change while an input box is open.
    switch (task) {
    case Moderation::Kick:
    case Moderation::Voice:
    case Moderation::Devoice:
        send({commands::moderate(task, room(), entry)});
        break;
    case Moderation::KickWithReason:
        ask(QStringLiteral("kickreason"), QStringLiteral("kick reason"),
            QStringLiteral("Enter the Reason"), [this, entry](const QString &reason) {
                send({commands::moderate(Moderation::KickWithReason, room(), entry, reason)});
            });
        break;
    case Moderation::Ban:
    case Moderation::Unban: {
        const bool ban = task == Moderation::Ban;
        ask(ban ? QStringLiteral("baninput") : QStringLiteral("unbaninput"),
            ban ? QStringLiteral("Ban") : QStringLiteral("Unban"),
            ban ? QStringLiteral("Enter the Nickname to ban")
                : QStringLiteral("Enter the Nickname to unban"),
            [this, task](const QString &typed) {
                send({commands::moderate(task, room(), typed)});
            });
        break;
    }
    }
}

void RoomCommands::setAway(int index)
{
    send({commands::away(index)});
}

void RoomCommands::askAwayReason()
{
    ask(QStringLiteral("awayreason"), QStringLiteral("Insert a Reason !"),
        QStringLiteral("Enter your Reason:"),
        [this](const QString &reason) { send({commands::awayWithReason(reason)}); });
}

void RoomCommands::refresh()
{
    m_session.members().clear();
    m_session.roomView().clear();
    m_session.blockedNicks().clear();
    m_session.topicView().clear();
    m_session.UpdateUserCount();
    send({commands::names(room()), commands::topic(room())});
}

void RoomCommands::clearChat()
{
    m_session.roomView().clear();
}

void RoomCommands::forgotPassword()
{
    inform(QStringLiteral("forgotpassword"), QStringLiteral("Forgot Password"),
           QStringLiteral("If you have forgotten the password please contact the room operators "
                          "having (~,@,&) signs."));
}
