// A local demo network for trying the program without the real one: InspIRCd and Anope on
// loopback, and a bot that opens "#velmora", sets its topic and says a few formatted lines.
// The server also takes TLS, with a certificate from an authority made for this run alone,
// and, with Anope, signs registered nicks in with SASL.
// Prints "tls-port <number>" and "authority <file>" (for --ca-file), then "port <number>" once
// clients can connect, and runs until SIGINT or SIGTERM.
#include "support/ircclient.h"
#include "support/ircnetwork.h"
#include "terminationsignals.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    endOnTerminationSignals(&app, [] { QCoreApplication::exit(0); });

    IrcNetwork network;
    if (!network.start(
            {.withServices = IrcNetwork::anopeAvailable(), .withSasl = true, .withTls = true})) {
        std::fprintf(stderr, "demo network: %s\n", qPrintable(network.lastError()));
        return 1;
    }

    IrcClient bot;
    if (!bot.connectAndRegister(network.host(), network.port(), QStringLiteral("VelmoraBot")) ||
        !bot.join(QStringLiteral("#velmora"))) {
        std::fprintf(stderr, "demo network: the bot could not join: %s\n",
                     qPrintable(bot.lastError()));
        return 1;
    }
    bot.send("TOPIC #velmora :Welcome to \x02Velmora\x02 \x03"
             "4demo\x03 room - be nice!");
    std::printf("tls-port %u\nauthority %s\nport %u\n", unsigned(network.tlsPort()),
                qPrintable(network.tlsAuthorityFile()), unsigned(network.port()));
    std::fflush(stdout);

    const QList<QByteArray> lines = {
        "Hello! I am the demo bot of this local network.",
        "Text can be \x02"
        "bold\x02, \x1funderlined\x1f, \x16reversed\x16 or in "
        "\x03"
        "4c\x03"
        "7o\x03"
        "8l\x03"
        "3o\x03"
        "12u\x03"
        "6r\x03"
        "s.",
        "\x01"
        "ACTION waves at everyone\x01",
        "Type a line below and press Enter to talk in the room.",
    };
    int next = 0;
    QTimer talk;
    QObject::connect(&talk, &QTimer::timeout, &bot, [&] {
        bot.send("PRIVMSG #velmora :" + lines[next % lines.size()]);
        ++next;
    });
    talk.start(4000);
    QObject::connect(&bot, &IrcClient::lineReceived, &bot, [&bot](const QString &line) {
        // Greets whoever joins, so a new user sees the room is alive.
        static const QRegularExpression join(QStringLiteral("^:([^!]+)!\\S+ JOIN :?#velmora"));
        const auto match = join.match(line);
        if (match.hasMatch() && match.captured(1) != QStringLiteral("VelmoraBot"))
            bot.send("PRIVMSG #velmora :Welcome, " + match.captured(1).toUtf8() + "!");
    });

    const int code = QCoreApplication::exec();
    bot.quit();
    network.stop();
    return code;
}
