#pragma once

#include <QChar>

// The IRC formatting characters the chat views understand; the composer writes only the first
// six.
namespace FormatCode {
inline constexpr QChar Ctcp{0x01};
inline constexpr QChar Bold{0x02};
inline constexpr QChar Colour{0x03};
inline constexpr QChar Plain{0x0f}; // ends every style and colour
inline constexpr QChar Reverse{0x16};
inline constexpr QChar Underline{0x1f};
// Sent by other clients and bots.
inline constexpr QChar HexColour{0x04};
inline constexpr QChar Monospace{0x11};
inline constexpr QChar Italic{0x1d};
inline constexpr QChar Strikeout{0x1e};
} // namespace FormatCode
