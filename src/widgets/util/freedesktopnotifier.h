#pragma once

#include "desktopnotifier.h"

// Notifications through the freedesktop notification service (org.freedesktop.Notifications
// on the session bus), as Linux and BSD desktops provide it. The call is sent without waiting
// for its answer, so a missing or hung service costs nothing; its error answer is ignored.
class FreedesktopNotifier : public DesktopNotifier
{
public:
    // Longer bodies are cut: a server line can be far longer than a notification shows.
    static constexpr qsizetype LongestBody = 300;
    static constexpr qsizetype LongestSummary = 100;

    void notify(const QString &summary, const QString &body) override;
    // The body as sent: cut to LongestBody and with markup characters escaped, since the
    // service may read the body as markup and a line from the server is anyone's text.
    static QString bodyText(const QString &body);
};
