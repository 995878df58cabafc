#pragma once

#include <QString>

// What the session shows outside its chat views and models: menu states, the member count,
// locks, message boxes, dialogs and the private conversation windows. The room window
// implements it; tests record it. Every call has a default that does nothing, so a window only
// overrides what it shows.
class SessionPresenter
{
public:
    enum class MessageIcon
    {
        Information,
        Exclamation,
        Critical
    };

    struct ConversationWindowState
    {
        bool visible = false;
        bool minimized = false;
    };

    virtual ~SessionPresenter() = default;

    // "&Connect" and "&Disconnect" menu items.
    virtual void setConnectionCommands(bool connectEnabled, bool disconnectEnabled)
    {
        Q_UNUSED(connectEnabled);
        Q_UNUSED(disconnectEnabled);
    }
    virtual void setModeratorMenuVisible(bool visible) { Q_UNUSED(visible); }
    virtual void setUserCountText(const QString &text) { Q_UNUSED(text); }
    // Locks the input box and disables the member list while NickServ awaits a password.
    virtual void setAwaitingIdentification(bool awaiting) { Q_UNUSED(awaiting); }
    virtual void showChannelWindow() {}

    // A message box with an OK button. It must not block: lines keep arriving while it shows.
    virtual void showMessage(MessageIcon icon, const QString &title, const QString &text)
    {
        Q_UNUSED(icon);
        Q_UNUSED(title);
        Q_UNUSED(text);
    }
    // The NickServ password dialog; a non-empty nick goes into its nickname box.
    virtual void showPasswordDialog(const QString &nick) { Q_UNUSED(nick); }
    virtual void showChangeNickDialog() {}

    // Private conversation windows, one per slot of the conversation table.
    virtual ConversationWindowState conversationWindowState(int slot)
    {
        Q_UNUSED(slot);
        return {};
    }
    // Loads and shows the slot's window with caption and heading set to the partner's nick.
    virtual void openConversationWindow(int slot, const QString &caption)
    {
        Q_UNUSED(slot);
        Q_UNUSED(caption);
    }
    // Shows the slot's window as it is.
    virtual void showConversationWindow(int slot) { Q_UNUSED(slot); }
    virtual void flashConversationWindow(int slot) { Q_UNUSED(slot); }

    // Someone else's room line named the user; text is what they said, without formatting.
    virtual void mentioned(const QString &sender, const QString &text)
    {
        Q_UNUSED(sender);
        Q_UNUSED(text);
    }
};
