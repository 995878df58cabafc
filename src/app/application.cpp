#include "application.h"

#include "channel/channelwindow.h"
#include "dialogs/aboutdialog.h"
#include "session/linkpages.h"
#include "startup/launcherwindow.h"
#include "startup/loginwindow.h"

#include <QApplication>
#include <QDir>

Application::Application(const LaunchOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_session(m_variables)
{
    if (!options.pagesBase.isEmpty())
        LinkPages::setBase(QUrl(options.pagesBase));
    // A direct sign-in sets the session variables here; otherwise the login window does.
    m_variables.CurrentNick = options.nick;
    m_variables.CurrentPassword = options.password;
    m_variables.CurrentRoom = options.room.isEmpty() ? NetworkDefaults::Room : options.room;
    m_session.setServer(options.host, options.port);
    m_session.setTls(options.tls);
    m_session.connection().setExtraAuthorities(options.extraAuthorities);
    connect(&m_tray, &TrayIcon::exitRequested, this, &Application::exitProgram);
}

Application::~Application()
{
    m_channel.reset();
    m_session.closeConnection();
}

bool Application::openLogs(QString *error)
{
    if (m_options.logDir.isEmpty())
        return true;
    if (!QDir().mkpath(m_options.logDir)) {
        *error = QStringLiteral("cannot create log directory %1").arg(m_options.logDir);
        return false;
    }
    m_logs = std::make_unique<ConversationLogs>(m_options.logDir);
    if (!m_logs->openRoomLog(error))
        return false;
    m_session.keepLogsIn(*m_logs);
    return true;
}

void Application::start()
{
    QApplication::setWindowIcon(TrayIcon::defaultIcon());
    if (!m_options.nick.isEmpty()) {
        openChannel();
        return;
    }
    m_launcher = std::make_unique<LauncherWindow>(m_tray);
    connect(&m_tray, &TrayIcon::showLauncherRequested, m_launcher.get(), &QWidget::show);
    connect(m_launcher.get(), &LauncherWindow::exitRequested, this, &Application::exitProgram);
    connect(m_launcher.get(), &LauncherWindow::signInRequested, this, &Application::showLogin);
    connect(&m_tray, &TrayIcon::aboutRequested, this, &Application::showLauncherAbout);
    m_launcher->show();
}

void Application::showLogin()
{
    m_login = new LoginWindow(m_variables);
    m_login->setAttribute(Qt::WA_DeleteOnClose);
    m_login->setLauncher(m_launcher.get());
    if (!m_options.room.isEmpty())
        m_login->offerRoom(m_options.room);
    if (m_options.tls)
        m_login->offerSecureConnection();
    connect(m_login, &QObject::destroyed, this, [this] { m_login = nullptr; });
    connect(m_login, &LoginWindow::connectRequested, this, [this] {
        useTls(m_login->secureConnection());
        openChannel();
    });
    connect(m_login, &LoginWindow::cancelRequested, this, &Application::exitProgram);
    m_login->show();
}

void Application::showLauncherAbout()
{
    // Once the room window is up, its own tray menu answers.
    if (m_tray.phase() == TrayIcon::Phase::Launcher && m_launcher)
        AboutDialog::showOnce(m_launcherAbout, m_session.serverHost(), m_session.serverPort(),
                              m_session.isEncrypted(), m_launcher.get());
}

void Application::useTls(bool tls)
{
    m_session.setTls(tls);
    if (m_options.portIsDefault)
        m_session.setServer(m_options.host,
                            tls ? NetworkDefaults::TlsServerPort : NetworkDefaults::ServerPort);
}

void Application::openChannel()
{
    m_channel = std::make_unique<ChannelWindow>(m_session, &m_tray);
    connect(m_channel.get(), &ChannelWindow::exitRequested, this, &Application::exitProgram);
    m_channel->show();
    m_tray.AddChatTrayIcon();
    m_session.ConnectToServer();
    emit channelWindowOpened();
}

void Application::exitProgram()
{
    // Without a goodbye to the server: the socket is simply closed.
    m_session.closeConnection();
    m_tray.RemoveTrayIcon();
    // exit(), not quit(): quit() asks every window to close, and the room window only hides.
    QCoreApplication::exit(0);
}
