#pragma once

class IrcSession;
class QAction;

// "&Reconnect Automatically" in File -> &Setting: off unless the user turned it on, read from
// the user's settings when the room window opens, and written back each time it is switched,
// so that it holds for the next start too. The session does the reconnecting.
namespace reconnectsetting {

// Checks the toggle as stored, hands that to the session, and keeps both in step from now on.
void bind(QAction *toggle, IrcSession &session);

} // namespace reconnectsetting
