#pragma once

#include "irc/sessionpresenter.h"
#include "session/conversationtable.h"
#include "util/linkopener.h"

#include <QPointer>

#include <array>

class ConversationWindow;
class IrcSession;
class SmileyPicker;
class QWidget;
class RoomComposer;
class RoomFormatting;

// The private conversation windows, one per slot of the session's conversation table, made on
// first use and kept for reuse.
class ConversationWindows
{
public:
    // The windows send through composer in the room's formatting; both must outlive the windows.
    ConversationWindows(IrcSession &session, RoomComposer &composer,
                        const RoomFormatting &formatting)
        : m_session(session), m_composer(composer), m_formatting(formatting), m_linkOpener(session)
    {}
    ~ConversationWindows();

    SessionPresenter::ConversationWindowState state(int slot) const;
    // The slot's window, made on first use.
    ConversationWindow &window(int slot);
    // The slot's window if it has been made, else null.
    ConversationWindow *existing(int slot) const;
    void open(int slot, const QString &caption);
    void show(int slot);
    void flash(int slot);

    // Smiley codes drawn as pictures in every conversation view, those made later included.
    void setSmileyPictures(bool on);
    // The "Emotions" picker the windows' "Smily" buttons open; made on first use.
    SmileyPicker *smileyPicker() const;
    // Opens the addresses clicked in the windows' views.
    LinkOpener &linkOpener() { return m_linkOpener; }

private:
    IrcSession &m_session;
    RoomComposer &m_composer;
    const RoomFormatting &m_formatting;
    std::array<QPointer<ConversationWindow>, ConversationTable::SlotCount> m_windows;
    QPointer<SmileyPicker> m_smileyPicker;
    bool m_smileyPictures = false;
    LinkOpener m_linkOpener;
};
