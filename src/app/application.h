#pragma once

#include "commandline.h"
#include "controls/trayicon.h"
#include "irc/ircsession.h"
#include "platform/conversationlogs.h"
#include "session/sessionvariables.h"

#include <QObject>
#include <QPointer>

#include <memory>

class AboutDialog;
class ChannelWindow;
class LauncherWindow;
class LoginWindow;

// The running program: the session, the tray icon and the windows from the launcher to the
// room window. A direct sign-in (a nickname on the command line) opens the room window at once;
// otherwise the launcher leads to the login window, and Connect there to the room window.
class Application : public QObject
{
    Q_OBJECT
public:
    explicit Application(const LaunchOptions &options, QObject *parent = nullptr);
    ~Application() override;

    // Opens the conversation logs; false with a reason when the folder cannot be written.
    bool openLogs(QString *error);
    void start();

    IrcSession &session() { return m_session; }
    SessionVariables &variables() { return m_variables; }
    TrayIcon &tray() { return m_tray; }
    LauncherWindow *launcher() const { return m_launcher.get(); }
    LoginWindow *loginWindow() const { return m_login; }
    ChannelWindow *channelWindow() const { return m_channel.get(); }

    // The one way the program ends: the connection closes without a goodbye, the tray icon
    // goes and the event loop ends with code 0.
    void exitProgram();

signals:
    void channelWindowOpened();

private:
    void showLogin();
    void showLauncherAbout();
    // The login window's choice of TLS; the port follows it unless the command line gave one.
    void useTls(bool tls);
    void openChannel();

    LaunchOptions m_options;
    SessionVariables m_variables;
    IrcSession m_session;
    TrayIcon m_tray;
    std::unique_ptr<ConversationLogs> m_logs;
    std::unique_ptr<LauncherWindow> m_launcher;
    QPointer<AboutDialog> m_launcherAbout;
    LoginWindow *m_login = nullptr;
    std::unique_ptr<ChannelWindow> m_channel;
};
