#pragma once

#include <QIcon>
#include <QObject>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

class QMenu;

// The notification-area icon: the launcher's while the launcher is up, the chat icon once the
// channel window is, each with its pop-up menu. The windows are not known here; the icon asks
// for them through its signals.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    enum class Phase
    {
        None,
        Launcher,
        Chat
    };

    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // The tip's fixed field of 27 characters: text cut after 27 or padded with blanks.
    static QString tipField(const QString &text);
    // The program's icon: a dark blue speech bubble with an orange "V".
    static QIcon defaultIcon();

    void setLauncherIcon(const QIcon &icon);
    void setChatIcon(const QIcon &icon);
    // Asked by the Exit items; only true goes on. By default, and when confirm is empty, a
    // Yes/No question box, opened without blocking: the exit follows its Yes.
    void setExitConfirmation(std::function<bool()> confirm);
    // Whether the desktop has a notification area to show the icon in. Without one, nothing
    // may hide into the tray: no icon could bring it back.
    bool isAvailable() const;
    // Replaces the desktop's answer (for desktops that cannot be asked, and for tests); an
    // empty check asks the desktop again.
    void setAvailabilityCheck(std::function<bool()> check);

    // The tip tells how many mentions wait unseen; 0 shows the plain tip again.
    void setUnseenMentions(int count);
    QString toolTip() const;

    Phase phase() const { return m_phase; }
    QMenu *launcherMenu() const { return m_launcherMenu.get(); }
    QMenu *chatMenu() const { return m_chatMenu.get(); }

public slots:
    // Adding an icon that is already there changes nothing; adding the other one replaces it.
    void AddLauncherTrayIcon();
    void AddChatTrayIcon();
    void RemoveTrayIcon();

signals:
    void showLauncherRequested();
    void showChannelRequested();
    void aboutRequested();
    // The user confirmed Exit; the icon is already gone. fromChat: from the chat icon's menu,
    // so the server connection is to be closed first.
    void exitRequested(bool fromChat);

private:
    void add(Phase phase);
    void activate(QSystemTrayIcon::ActivationReason reason);
    void exit(bool fromChat);
    void confirmedExit(bool fromChat);

    QSystemTrayIcon *m_icon;
    std::unique_ptr<QMenu> m_launcherMenu;
    std::unique_ptr<QMenu> m_chatMenu;
    QIcon m_launcherIcon;
    QIcon m_chatIcon;
    std::function<bool()> m_confirmExit;
    std::function<bool()> m_availabilityCheck;
    Phase m_phase = Phase::None;
};
