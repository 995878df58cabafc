#include "conversationwindows.h"

#include "conversationwindow.h"
#include "dialogs/smileypicker.h"
#include "irc/ircsession.h"

#include <QApplication>

ConversationWindows::~ConversationWindows()
{
    for (auto &window : m_windows)
        delete window.data();
    delete m_smileyPicker.data();
}

SessionPresenter::ConversationWindowState ConversationWindows::state(int slot) const
{
    const ConversationWindow *window = m_windows[size_t(slot)];
    if (!window)
        return {};
    // A closed window keeps the state it had; it is minimized only while it is shown.
    const bool visible = window->isVisible();
    return {visible, visible && window->isMinimized()};
}

ConversationWindow &ConversationWindows::window(int slot)
{
    auto &window = m_windows[size_t(slot)];
    if (!window) {
        window = new ConversationWindow(m_session, m_session.conversations().view(slot), m_composer,
                                        m_formatting);
        window->setSmileyPictures(m_smileyPictures);
        ConversationWindow *opener = window;
        QObject::connect(opener, &ConversationWindow::smileyPickerRequested, opener,
                         [this, opener] {
                             if (!m_smileyPicker)
                                 m_smileyPicker = new SmileyPicker(SmileyPicker::Kind::Private);
                             m_smileyPicker->openFor(opener->inputBox());
                         });
        QObject::connect(opener, &ConversationWindow::linkActivated, opener,
                         [this](const QString &address) { m_linkOpener.open(address); });
    }
    return *window;
}

ConversationWindow *ConversationWindows::existing(int slot) const
{
    return m_windows[size_t(slot)];
}

void ConversationWindows::open(int slot, const QString &caption)
{
    window(slot).open(caption);
}

void ConversationWindows::show(int slot)
{
    window(slot).show();
}

void ConversationWindows::setSmileyPictures(bool on)
{
    m_smileyPictures = on;
    for (ConversationWindow *window : m_windows) {
        if (window)
            window->setSmileyPictures(on);
    }
}

SmileyPicker *ConversationWindows::smileyPicker() const
{
    return m_smileyPicker;
}

void ConversationWindows::flash(int slot)
{
    QApplication::alert(&window(slot));
}
