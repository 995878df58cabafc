#pragma once

#include "irc/sessionpresenter.h"
#include "ui/private/conversationwindows.h"

#include <QMainWindow>

class ChatView;
class IrcSession;
class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class NickServDialogs;

// The room window: the room's chat view, its topic and members, and the connection commands.
class ChannelWindow : public QMainWindow, public SessionPresenter
{
    Q_OBJECT
public:
    explicit ChannelWindow(IrcSession &session, QWidget *parent = nullptr);

    ChatView *roomView() const { return m_datain; }

    void setConnectionCommands(bool connectEnabled, bool disconnectEnabled) override;
    void setModeratorMenuVisible(bool visible) override;
    void setUserCountText(const QString &text) override;
    void setAwaitingIdentification(bool awaiting) override;
    void showChannelWindow() override;
    void showMessage(MessageIcon icon, const QString &title, const QString &text) override;
    void showPasswordDialog(const QString &nick) override;
    void showChangeNickDialog() override;
    ConversationWindowState conversationWindowState(int slot) override;
    void openConversationWindow(int slot, const QString &caption) override;
    void showConversationWindow(int slot) override;
    void flashConversationWindow(int slot) override;

private:
    void buildMenus();

    IrcSession &m_session;
    ChatView *m_datain = nullptr;
    ChatView *m_rtbtopic = nullptr;
    QListView *m_lstnicks = nullptr;
    QLabel *m_lblusers = nullptr;
    QLineEdit *m_dataout = nullptr;
    QAction *m_mnuConnect = nullptr;
    QAction *m_mnudc = nullptr;
    QMenu *m_mnumode = nullptr;
    ConversationWindows m_conversations;
    NickServDialogs *m_nickServDialogs = nullptr;
};
