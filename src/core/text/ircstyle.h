#pragma once

#include "formatcodes.h"

#include <QString>

#include <array>

// The formatting codes as text pieces, so that a line written with them reads as the line it
// shows: colour(4) + bold + u"*** "_qs + nick + bold + u" has quit"_qs. A colour number that
// text starting with a digit could lengthen needs paddedColour.
namespace ircstyle {

inline const QString bold{FormatCode::Bold};
inline const QString underline{FormatCode::Underline};
inline const QString ctcp{FormatCode::Ctcp};
// A colour code without a number: back to the view's own colour.
inline const QString colourOff{FormatCode::Colour};

// Colour codes for the numbers 0 to 99, made once: a display line is written for every line
// that arrives, and copying a made string costs no allocation.
inline const QString &colourCode(int number, bool padded)
{
    static const auto codes = [] {
        std::array<std::array<QString, 100>, 2> made;
        for (int n = 0; n < 100; ++n) {
            made[0][n] = FormatCode::Colour + QString::number(n);
            made[1][n] = FormatCode::Colour + QString::number(n).rightJustified(2, u'0');
        }
        return made;
    }();
    Q_ASSERT(number >= 0 && number < 100);
    return codes[padded ? 1 : 0][number];
}

// A colour code with its number as written, "\x03" "4". number is 0 to 99.
inline QString colour(int number)
{
    return colourCode(number, false);
}

// A colour code with its number in two digits, "\x03" "04". number is 0 to 99.
inline QString paddedColour(int number)
{
    return colourCode(number, true);
}

} // namespace ircstyle
