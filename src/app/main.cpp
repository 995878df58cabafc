#include "app/commandline.h"
#include "app/conversationlogfile.h"
#include "app/launcherwindow.h"
#include "app/linkpages.h"
#include "app/loginwindow.h"
#include "app/sessionvariables.h"
#include "app/terminationsignals.h"
#include "app/trayicon.h"
#include "irc/ircsession.h"
#include "ui/channel/channelwindow.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <map>
#include <memory>

namespace {

int printAndExit(const QString &text, FILE *stream, int code)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return code;
}

} // namespace

int main(int argc, char *argv[])
{
    // The web engine of the link pages shares its drawing contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora Messenger"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    // The program ends through its Exit commands only: the room window hides when closed.
    QApplication::setQuitOnLastWindowClosed(false);
    quitOnTerminationSignals(&app);

    const LaunchOptions options = parseCommandLine(QApplication::arguments().mid(1),
                                                   QProcessEnvironment::systemEnvironment());
    switch (options.action) {
    case LaunchOptions::Action::ShowHelp:
    case LaunchOptions::Action::ShowVersion:
        return printAndExit(options.message, stdout, 0);
    case LaunchOptions::Action::Fail:
        return printAndExit(
            QStringLiteral("velmora: %1\nTry 'velmora --help'.\n").arg(options.message), stderr, 2);
    case LaunchOptions::Action::Run:
        break;
    }

    if (!options.pagesBase.isEmpty())
        LinkPages::setBase(QUrl(options.pagesBase));

    // A direct sign-in sets the session variables here; otherwise the login window does.
    SessionVariables variables;
    variables.CurrentNick = options.nick;
    variables.CurrentPassword = options.password;
    variables.CurrentRoom = options.room.isEmpty() ? NetworkDefaults::Room : options.room;

    IrcSession session(variables);
    session.setServer(options.host, options.port);

    std::unique_ptr<ConversationLogFile> roomLog;
    if (!options.logDir.isEmpty()) {
        if (!QDir().mkpath(options.logDir))
            return printAndExit(
                QStringLiteral("velmora: cannot create log directory %1\n").arg(options.logDir),
                stderr, 2);
        roomLog = std::make_unique<ConversationLogFile>(
            QDir(options.logDir).filePath(ConversationLogFile::roomFileName()));
        if (!roomLog->isOpen())
            return printAndExit(
                QStringLiteral("velmora: cannot write %1: %2\n")
                    .arg(QDir(options.logDir).filePath(ConversationLogFile::roomFileName()),
                         roomLog->errorString()),
                stderr, 2);
        session.roomView().setLog(roomLog.get());
    }
    // One log per partner, opened when a conversation with them first takes a slot.
    std::map<QString, std::unique_ptr<ConversationLogFile>> partnerLogs;
    if (!options.logDir.isEmpty()) {
        session.conversations().setLogFactory([&](const QString &nick) -> LineLog * {
            auto &log = partnerLogs[nick];
            if (!log)
                log = std::make_unique<ConversationLogFile>(
                    QDir(options.logDir).filePath(ConversationLogFile::partnerFileName(nick)));
            return log.get();
        });
    }

    TrayIcon tray;
    const QIcon icon = TrayIcon::defaultIcon();
    QApplication::setWindowIcon(icon);
    std::unique_ptr<ChannelWindow> window;
    auto openChannel = [&] {
        window = std::make_unique<ChannelWindow>(session, &tray);
        window->show();
        tray.AddChatTrayIcon();
        session.ConnectToServer();
    };
    auto exitProgram = [&session] {
        session.closeConnection();
        // exit(), not quit(): quit() asks every window to close, and the room window only hides.
        QCoreApplication::exit(0);
    };
    QObject::connect(&tray, &TrayIcon::exitRequested, &app, exitProgram);

    std::unique_ptr<LauncherWindow> launcher;
    if (!options.nick.isEmpty()) {
        openChannel();
    } else {
        launcher = std::make_unique<LauncherWindow>(tray);
        QObject::connect(&tray, &TrayIcon::showLauncherRequested, launcher.get(), &QWidget::show);
        QObject::connect(launcher.get(), &LauncherWindow::exitRequested, &app, exitProgram);
        QObject::connect(launcher.get(), &LauncherWindow::signInRequested, &app, [&] {
            auto *login = new LoginWindow(variables);
            login->setAttribute(Qt::WA_DeleteOnClose);
            login->setLauncher(launcher.get());
            QObject::connect(login, &LoginWindow::connectRequested, &app, openChannel);
            QObject::connect(login, &LoginWindow::cancelRequested, &app, exitProgram);
            login->show();
        });
        launcher->show();
    }
    const int code = QApplication::exec();
    session.closeConnection();
    return code;
}
