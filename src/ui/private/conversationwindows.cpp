#include "conversationwindows.h"

#include "conversationwindow.h"
#include "irc/ircsession.h"

#include <QApplication>

ConversationWindows::~ConversationWindows()
{
    for (auto &window : m_windows)
        delete window.data();
}

SessionPresenter::ConversationWindowState ConversationWindows::state(int slot) const
{
    const ConversationWindow *window = m_windows[size_t(slot)];
    if (!window)
        return {};
    return {window->isVisible(), window->isMinimized()};
}

ConversationWindow &ConversationWindows::window(int slot)
{
    auto &window = m_windows[size_t(slot)];
    if (!window)
        window = new ConversationWindow(m_session, m_session.conversations().view(slot), m_composer,
                                        m_formatting);
    return *window;
}

void ConversationWindows::open(int slot, const QString &caption)
{
    window(slot).open(caption);
}

void ConversationWindows::show(int slot)
{
    window(slot).show();
}

void ConversationWindows::flash(int slot)
{
    QApplication::alert(&window(slot));
}
