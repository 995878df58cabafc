#pragma once

#include <QStringView>

class ChatBuffer;

inline constexpr qsizetype LongestFormattedLine = 32767;

// Appends text with IRC formatting codes as one line of a conversation view and of its log, at
// the room view's point size. Empty text appends nothing. A text over 32,767 characters is cut
// there, in the view and the log alike, and a second line says how much was left out; the
// answer is then false.
bool AppendFormatted(ChatBuffer &view, QStringView text);
