#pragma once

#include <QChar>

// The IRC formatting characters the chat views understand and the composer writes.
namespace FormatCode {
inline constexpr QChar Ctcp{0x01};
inline constexpr QChar Bold{0x02};
inline constexpr QChar Colour{0x03};
inline constexpr QChar Plain{0x0f}; // toggles bold, exactly like Bold
inline constexpr QChar Reverse{0x16};
inline constexpr QChar Underline{0x1f};
} // namespace FormatCode
