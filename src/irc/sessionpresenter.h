#pragma once

#include <QString>

// What the session shows outside its chat views and member list: menu states, the member
// count, locks. The room window implements it; tests record it. Every call has a default that
// does nothing, so a window only overrides what it shows.
class SessionPresenter
{
public:
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
};
