#pragma once

#include "irc/sessionpresenter.h"

#include <QPointer>

#include <array>

class ConversationWindow;
class IrcSession;
class QWidget;

// The private conversation windows, one per slot of the session's conversation table, made on
// first use and kept for reuse.
class ConversationWindows
{
public:
    explicit ConversationWindows(IrcSession &session) : m_session(session) {}
    ~ConversationWindows();

    SessionPresenter::ConversationWindowState state(int slot) const;
    ConversationWindow &window(int slot);
    void open(int slot, const QString &caption);
    void show(int slot);
    void flash(int slot);

private:
    IrcSession &m_session;
    std::array<QPointer<ConversationWindow>, 101> m_windows;
};
