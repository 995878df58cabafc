// The room window and its session as the program runs them, for the replay benchmarks. Takes
// the program's --server, --nick and --room; on SIGTERM it ends and, when BENCH_MEMBERS_OUT
// names a file, writes the member list there (one nick a line, rank prefix dropped), so a run
// can be checked against the replay server's own record of the room.
#include "channel/channelwindow.h"
#include "commandline.h"
#include "irc/ircsession.h"
#include "session/sessionvariables.h"
#include "terminationsignals.h"

#include <QApplication>
#include <QFile>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    endOnTerminationSignals(&app, [] { QCoreApplication::exit(0); });
    const LaunchOptions options = parseCommandLine(QApplication::arguments().mid(1),
                                                   QProcessEnvironment::systemEnvironment());
    if (options.action != LaunchOptions::Action::Run || options.nick.isEmpty()) {
        std::fprintf(stderr, "usage: bench_room --server HOST:PORT --nick NICK --room ROOM\n");
        return 2;
    }
    SessionVariables variables{options.nick, QString(), options.room, 0};
    IrcSession session(variables);
    session.setServer(options.host, options.port);
    ChannelWindow window(session);
    window.show();
    session.ConnectToServer();
    const int code = QApplication::exec();

    const QString out = qEnvironmentVariable("BENCH_MEMBERS_OUT");
    if (!out.isEmpty()) {
        QFile file(out);
        if (file.open(QIODevice::WriteOnly)) {
            for (QString entry : session.members().entries()) {
                if (!entry.isEmpty() && QStringView(u"~&@%+").contains(entry.front()))
                    entry.remove(0, 1);
                file.write(entry.toUtf8() + '\n');
            }
        }
    }
    return code;
}
