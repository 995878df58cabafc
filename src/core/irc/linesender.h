#pragma once

#include <QStringView>

// Where a dialog that only sends hands its protocol lines. The session implements it; a dialog
// that takes a LineSender needs nothing else of the session, and a test can record its lines.
class LineSender
{
public:
    virtual ~LineSender() = default;
    // Sends one protocol line; it ends at its first CR, LF or NUL. False when nothing went out
    // because the program is not connected (the sender has said so where the user sees it).
    virtual bool sendLine(QStringView line) = 0;
};
