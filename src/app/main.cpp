#include "app/commandline.h"
#include "app/conversationlogfile.h"
#include "app/sessionvariables.h"
#include "app/terminationsignals.h"
#include "app/trayicon.h"
#include "irc/ircsession.h"
#include "ui/channel/channelwindow.h"

#include <QApplication>
#include <QDir>
#include <QRandomGenerator>

#include <cstdio>
#include <map>
#include <memory>

namespace {

int printAndExit(const QString &text, FILE *stream, int code)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    return code;
}

QString guestNick()
{
    return QStringLiteral("Guest%1").arg(QRandomGenerator::global()->bounded(10000));
}

} // namespace

int main(int argc, char *argv[])
{
    // The web engine of the link pages shares its drawing contexts with the windows.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora Messenger"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0"));
    QApplication::setQuitOnLastWindowClosed(true);
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

    SessionVariables variables;
    variables.CurrentNick = options.nick.isEmpty() ? guestNick() : options.nick;
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
    ChannelWindow window(session, &tray);
    window.setWindowIcon(TrayIcon::defaultIcon());
    QObject::connect(&tray, &TrayIcon::exitRequested, &app, [&session] {
        session.closeConnection();
        QApplication::quit();
    });
    window.show();
    tray.AddChatTrayIcon();
    session.ConnectToServer();
    const int code = QApplication::exec();
    session.closeConnection();
    return code;
}
