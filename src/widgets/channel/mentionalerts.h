#pragma once

#include "mentionnotifier.h"

#include <QObject>
#include <QPointer>

class QAction;
class QWidget;
class TrayIcon;

// What a room line naming the user does beyond its highlight. While the room window is not the
// active window, each mention alerts its task bar entry and counts towards the tray icon's tip,
// until the window is activated again; and, when "&Notify on Mentions" is ticked, it shows a
// desktop notification. The switch is remembered among the user's settings and on at first.
class MentionAlerts : public QObject
{
    Q_OBJECT
public:
    // The counter stops here: enough for the tip's "99+".
    static constexpr int CountedMentions = 100;

    MentionAlerts(QWidget &window, TrayIcon *tray, QAction *notifySwitch,
                  QObject *parent = nullptr);

    void mentioned(const QString &sender, const QString &text);
    // Mentions since the window was last active.
    int unseen() const { return m_unseen; }
    MentionNotifier &notifier() { return m_notifier; }

signals:
    // The window's task bar entry was asked to draw attention.
    void alerted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showUnseen();

    QWidget &m_window;
    QPointer<TrayIcon> m_tray;
    QAction *m_notifySwitch;
    MentionNotifier m_notifier;
    int m_unseen = 0;
};
