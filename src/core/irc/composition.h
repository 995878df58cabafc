#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

class RoomFormatting;
struct SessionVariables;

// What one of the user's operations produces: the own line for the conversation view and the
// protocol line for the server, or a refusal to show instead. All empty: nothing to do.
struct Composition
{
    QString echo;
    QString line;
    QString error;
};

// The "&Say" menu's ready-made actions, in menu order.
enum class SayAction
{
    Hi,
    Kiss,
    Slap
};

inline const QString SelectUserError = QStringLiteral("Please Select a User.");
inline const QString SelectUserErrorTitle = QStringLiteral("Error");

// Messages are one line: text after the first CR, LF or NUL could never reach the server, so it
// is left out of what is sent and echoed alike.

// The messages in what the user typed or pasted, in order: one for every line that holds more
// than blanks, each cut at a NUL as a protocol line would be.
QStringList messageLines(QStringView input);

// A message typed in the room. Text of spaces only gives nothing. Text that starts with "!"
// after its spaces is a command for the room's robots and is sent as typed, without codes.
Composition composeRoomMessage(QStringView input, const RoomFormatting &formatting,
                               const SessionVariables &session, int rainbowStart);

// A ready-made action about the selected member-list entry, sent to the room; the rank prefix
// "~", "&", "@", "%" or "+" is left out of the name. An empty entry gives SelectUserError.
Composition composeSayAction(SayAction action, QStringView selectedEntry,
                             const SessionVariables &session);

// A free action in the room, its protocol line closed by the CTCP code like every client's.
// Empty text gives nothing.
Composition composeAct(QStringView text, const SessionVariables &session);

// A message typed in the private window of partner. Unlike the room, "!" is not special.
Composition composePrivateMessage(QStringView input, const QString &partner,
                                  const RoomFormatting &formatting, const QString &ownNick,
                                  int rainbowStart);

// Writes every character of text in a colour of its own: colour numbers 0 to 15 in turn from
// start (taken modulo 16), passing over 8, 9 and 11 and going on from 1 after 15. Numbers are
// written with two digits so that a digit in the text never joins them. A comma takes the colour
// before it instead, as a comma right after a colour number would be read as part of it.
// Characters made of several code units (surrogate pairs, combining marks) stay whole.
QString rainbowText(QStringView text, int start);
