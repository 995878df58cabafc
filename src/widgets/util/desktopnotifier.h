#pragma once

#include <QString>

#include <memory>

// Shows a short message in the desktop's notification area, outside the program's windows.
// Sending never waits for the desktop; a desktop without a notification service drops the
// message silently. Tests put a recorder in its place.
class DesktopNotifier
{
public:
    virtual ~DesktopNotifier() = default;
    virtual void notify(const QString &summary, const QString &body) = 0;
};

// The desktop's notifier: the freedesktop notification service over D-Bus where the program is
// built with Qt D-Bus, otherwise one that shows nothing.
std::unique_ptr<DesktopNotifier> createDesktopNotifier();
