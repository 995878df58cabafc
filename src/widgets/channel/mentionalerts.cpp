#include "mentionalerts.h"

#include "controls/trayicon.h"
#include "rememberedtoggle.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QWidget>

MentionAlerts::MentionAlerts(QWidget &window, TrayIcon *tray, QAction *notifySwitch,
                             QObject *parent)
    : QObject(parent), m_window(window), m_tray(tray), m_notifySwitch(notifySwitch),
      m_notifier(createDesktopNotifier())
{
    rememberToggle(m_notifySwitch, QStringLiteral("notifymentions"), true);
    m_window.installEventFilter(this);
}

void MentionAlerts::mentioned(const QString &sender, const QString &text)
{
    // A mention in the window the user is looking at is seen already.
    if (m_window.isActiveWindow())
        return;
    m_unseen = std::min(m_unseen + 1, CountedMentions);
    showUnseen();
    QApplication::alert(&m_window);
    emit alerted();
    if (m_notifySwitch->isChecked())
        m_notifier.notify(sender, text);
}

void MentionAlerts::showUnseen()
{
    if (m_tray)
        m_tray->setUnseenMentions(m_unseen);
}

bool MentionAlerts::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &m_window && event->type() == QEvent::ActivationChange &&
        m_window.isActiveWindow() && m_unseen > 0) {
        m_unseen = 0;
        showUnseen();
    }
    return QObject::eventFilter(watched, event);
}
