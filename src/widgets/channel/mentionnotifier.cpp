#include "mentionnotifier.h"

#include "util/showncount.h"

#include <QTimerEvent>

MentionNotifier::MentionNotifier(std::unique_ptr<DesktopNotifier> desktop, QObject *parent)
    : QObject(parent), m_desktop(std::move(desktop))
{}

void MentionNotifier::notify(const QString &sender, const QString &text)
{
    if (m_quiet.isActive()) {
        m_held = std::min(m_held + 1, 100); // enough to show "99+"
        m_latestSender = sender;
        m_latestText = text;
        return;
    }
    if (m_desktop)
        m_desktop->notify(sender, text);
    m_quiet.start(m_intervalMs, this);
}

void MentionNotifier::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_quiet.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    m_quiet.stop();
    if (m_held == 0)
        return;
    const int held = m_held;
    m_held = 0;
    if (m_desktop) {
        if (held == 1)
            m_desktop->notify(m_latestSender, m_latestText);
        else
            m_desktop->notify(QStringLiteral("%1 more mentions").arg(shownCount(held)),
                              m_latestSender + QStringLiteral(": ") + m_latestText);
    }
    // The summary starts an interval of its own.
    m_quiet.start(m_intervalMs, this);
}
