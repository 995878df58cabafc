#pragma once

#include "util/desktopnotifier.h"

#include <QBasicTimer>
#include <QObject>

#include <memory>

// Desktop notifications of mentions, at most one per interval: a flood of lines naming the
// user must not become a flood of notifications (nor of calls to the desktop). The first
// mention goes out at once; those that follow within the interval are held and go out as one
// notification when it ends, naming how many there were and the latest.
class MentionNotifier : public QObject
{
public:
    static constexpr int DefaultIntervalMs = 5000;

    explicit MentionNotifier(std::unique_ptr<DesktopNotifier> desktop, QObject *parent = nullptr);

    void setDesktop(std::unique_ptr<DesktopNotifier> desktop) { m_desktop = std::move(desktop); }
    void setInterval(int ms) { m_intervalMs = ms; }

    void notify(const QString &sender, const QString &text);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    std::unique_ptr<DesktopNotifier> m_desktop;
    int m_intervalMs = DefaultIntervalMs;
    QBasicTimer m_quiet; // runs while a notification was sent less than an interval ago
    int m_held = 0;
    QString m_latestSender;
    QString m_latestText;
};
