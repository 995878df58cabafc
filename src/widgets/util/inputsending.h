#pragma once

#include <QString>

#include <functional>

class QLineEdit;

// Hands what an input box holds to a send operation and empties the box when the text went out.
// Text pasted from elsewhere can hold many lines, each sent as a message of its own; a paste of
// more than LinesWithoutAsking messages could flood the room, so the user is asked first, in a
// box that does not hold up the session. On Yes the text asked about is sent, and the box is
// emptied only if it still holds that text.
namespace inputsending {

constexpr int LinesWithoutAsking = 20;

// send gives true when the text went out. While not connected nothing would go out, so there
// is nothing to ask: send runs at once and says why.
void sendInput(QLineEdit &input, bool connected, std::function<bool(const QString &)> send);

} // namespace inputsending
