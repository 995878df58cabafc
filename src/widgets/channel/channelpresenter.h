#pragma once

#include "irc/sessionpresenter.h"

#include <QPointer>

#include <map>

class ChannelWindow;
class ConversationWindows;
class NickServDialogs;
class QMessageBox;

// What the session asks the user interface to show, bound to the windows that show it: menu
// states, the member count and the identification lock go to the room window, message boxes
// open over it, the NickServ dialogs and the private conversation windows answer for
// themselves. Kept apart from the room window so that the window stays a window and the
// session talks to one narrow object.
class ChannelPresenter : public SessionPresenter
{
public:
    ChannelPresenter(ChannelWindow &window, NickServDialogs &nickServ,
                     ConversationWindows &privates);

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
    void mentioned(const QString &sender, const QString &text) override;

private:
    ChannelWindow &m_window;
    NickServDialogs &m_nickServ;
    ConversationWindows &m_privates;
    // The open message box of each kind (its title): a repeat updates that box instead of
    // opening another, so a server repeating a line cannot pile boxes up.
    std::map<QString, QPointer<QMessageBox>> m_openBoxes;
};
