#pragma once

#include "composition.h"

#include <functional>

class ChatBuffer;
class IrcSession;
class RoomFormatting;

// Sends what the user writes in the room and private windows, in the room formatting: each
// operation shows the user's own line in the conversation view and hands the protocol line to
// the session. While the session is not connected nothing is echoed or sent; the view says so.
class RoomComposer
{
public:
    RoomComposer(IrcSession &session, const RoomFormatting &formatting);

    // Echoes, then sends, each line of the text as a message of its own. False when the text
    // holds nothing to send or the session is not connected (it then stays in the input box).
    bool sendRoomMessage(const QString &input);
    // index 0 to 2: "&Hi", "&Kiss !", "&Slap !". Sends, then echoes. Gives SelectUserError
    // (to show under SelectUserErrorTitle) when no entry is selected, else an empty text.
    QString sendSayAction(int index, const QString &selectedEntry);
    // Echoes, then sends; false for empty text.
    bool sendAct(const QString &text);
    // A private window's messages to partner, one per line, each echoed into that window's
    // view, then sent.
    bool sendPrivateMessage(ChatBuffer &view, const QString &partner, const QString &input);

    // Where rainbow messages start their colours; a random number 0 to 9 unless replaced.
    void setRainbowStart(std::function<int()> draw) { m_rainbowStart = std::move(draw); }

private:
    bool echoThenSend(ChatBuffer &view, const Composition &composition);
    bool sendEachLine(ChatBuffer &view, const QString &input,
                      const std::function<Composition(const QString &)> &compose);

    IrcSession &m_session;
    const RoomFormatting &m_formatting;
    std::function<int()> m_rainbowStart;
};
