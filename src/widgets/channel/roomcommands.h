#pragma once

#include "irc/commands.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class BlockedNicksWindow;
class ChannelWindow;
class IrcSession;
class QListView;

// The room window's commands on members and on the room: private chat, block, whois, the
// moderator commands, away states, refresh and clear. Each turns the user's choice into one
// protocol line, a window, or a change of local state; none of them waits on the server.
class RoomCommands : public QObject
{
    Q_OBJECT
public:
    RoomCommands(IrcSession &session, ChannelWindow &window);

    // Member commands; the selected entry is read from the member list.
    void openPrivateChat(bool fromMenu);
    void blockMember();
    void whois();
    void moderate(commands::Moderation task);
    void setAway(int index);
    void askAwayReason();
    void refresh();
    void clearChat();
    void showBlockedNicks();
    void forgotPassword();

private:
    // Text of the first selected line of the member list, scanning from the top; empty if none.
    QString selectedEntry() const;
    QString room() const;
    // Sends the lines of one command; while not connected the room view says they were not sent.
    void send(const QStringList &lines);
    void inform(const QString &name, const QString &title, const QString &text);
    // Asks for a line of text without holding up the session; onAnswer gets a non-empty answer.
    void ask(const QString &name, const QString &title, const QString &prompt,
             std::function<void(const QString &)> onAnswer);
    void minimizeConversationWindow(int slot);

    IrcSession &m_session;
    ChannelWindow &m_window;
    QListView *m_memberList = nullptr;
    QPointer<BlockedNicksWindow> m_blockedNicks;
};
