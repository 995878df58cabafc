#pragma once

#include <QStringView>

class ChatBuffer;

// Appends text with IRC formatting codes as one line of a conversation view, at the room
// view's point size. Empty text appends nothing. Texts over 32,767 characters are refused
// (false) and leave the view unchanged.
bool AppendFormatted(ChatBuffer &view, QStringView text);
