#pragma once

#include "formatcodes.h"

#include <QString>

// The formatting codes as text pieces, so that a line written with them reads as the line it
// shows: colour(4) + bold + u"*** "_qs + nick + bold + u" has quit"_qs. A colour number that
// text starting with a digit could lengthen needs paddedColour.
namespace ircstyle {

inline const QString bold{FormatCode::Bold};
inline const QString underline{FormatCode::Underline};
inline const QString ctcp{FormatCode::Ctcp};
// A colour code without a number: back to the view's own colour.
inline const QString colourOff{FormatCode::Colour};

// A colour code with its number as written, "\x03" "4".
inline QString colour(int number)
{
    return FormatCode::Colour + QString::number(number);
}

// A colour code with its number in two digits, "\x03" "04".
inline QString paddedColour(int number)
{
    return FormatCode::Colour + QString::number(number).rightJustified(2, u'0');
}

} // namespace ircstyle
