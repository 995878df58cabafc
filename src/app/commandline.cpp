#include "commandline.h"

#include "irc/ircaddress.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QUrl>

#include <algorithm>

namespace {

bool parsePort(QStringView text, quint16 &port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    if (!ok || value == 0 || value > 65535)
        return false;
    port = quint16(value);
    return true;
}

// HOST, HOST:PORT, [IPV6] or [IPV6]:PORT; a bare IPv6 address has several colons.
bool parseServer(const QString &text, QString &host, quint16 &port)
{
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 2)
            return false;
        host = text.mid(1, close - 1);
        const QStringView rest = QStringView(text).mid(close + 1);
        if (rest.isEmpty())
            return true;
        return rest.startsWith(u':') && parsePort(rest.mid(1), port);
    }
    if (text.count(u':') == 1) {
        host = text.section(u':', 0, 0);
        return !host.isEmpty() && parsePort(QStringView(text).mid(host.size() + 1), port);
    }
    host = text;
    return !host.isEmpty() && !host.contains(u' ');
}

bool parseIrcUrl(const QString &text, LaunchOptions &options, QString &error)
{
    const std::optional<IrcAddress> address = parseIrcAddress(text);
    if (!address) {
        error = QStringLiteral("not an irc:// or ircs:// address: %1").arg(text);
        return false;
    }
    options.host = address->host;
    options.tls = address->tls;
    if (address->port != -1) {
        if (address->port == 0) {
            error = QStringLiteral("bad port in %1").arg(text);
            return false;
        }
        options.port = quint16(address->port);
    }
    if (!address->room.isEmpty())
        options.room = address->room;
    return true;
}

bool holdsControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

bool longerThan(const QString &text, qsizetype bytes)
{
    return text.toUtf8().size() > bytes;
}

// What would make a value unusable on the wire: a line break or NUL would end the command it
// is sent in, and a blank or comma would turn one name into two.
QString nickProblem(const QString &nick)
{
    if (nick.isEmpty())
        return QStringLiteral("the nickname must not be empty");
    if (holdsControlCharacter(nick))
        return QStringLiteral("the nickname must not hold control characters (line breaks, NUL)");
    if (nick.startsWith(u':'))
        return QStringLiteral("the nickname must not begin with \":\"");
    if (nick.contains(u' ') || nick.contains(u','))
        return QStringLiteral("the nickname must not hold blanks or commas");
    if (longerThan(nick, LaunchOptions::LongestNick))
        return QStringLiteral("the nickname is longer than %1 bytes")
            .arg(LaunchOptions::LongestNick);
    return {};
}

QString roomProblem(const QString &room)
{
    if (holdsControlCharacter(room))
        return QStringLiteral("the room name must not hold control characters (line breaks, NUL)");
    if (room.contains(u' ') || room.contains(u','))
        return QStringLiteral("the room name must not hold blanks or commas");
    if (longerThan(room, LaunchOptions::LongestRoom))
        return QStringLiteral("the room name is longer than %1 bytes")
            .arg(LaunchOptions::LongestRoom);
    return {};
}

QString hostProblem(const QString &host)
{
    if (holdsControlCharacter(host) || host.contains(u' '))
        return QStringLiteral("the server name must not hold blanks or control characters");
    if (longerThan(host, LaunchOptions::LongestHost))
        return QStringLiteral("the server name is longer than %1 bytes")
            .arg(LaunchOptions::LongestHost);
    return {};
}

// The room and server, wherever they came from (an option or an irc:// address), checked once
// all are read; the first problem is the error. The nickname comes only from --nick and is
// checked there.
QString wireValueProblem(const LaunchOptions &options)
{
    if (QString problem = roomProblem(options.room); !problem.isEmpty())
        return problem;
    return hostProblem(options.host);
}

LaunchOptions failure(const QString &message)
{
    LaunchOptions options;
    options.action = LaunchOptions::Action::Fail;
    options.message = message;
    return options;
}

// The options the program understands, described for --help.
struct Options
{
    QCommandLineOption help;
    QCommandLineOption version;
    QCommandLineOption server;
    QCommandLineOption nick;
    QCommandLineOption room;
    QCommandLineOption logDir;
    QCommandLineOption pages;
    QCommandLineOption checkStart;
    QCommandLineOption tls;
    QCommandLineOption caFile;
};

Options describeOptions()
{
    return Options{
        QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                           QStringLiteral("Show this help and exit.")),
        QCommandLineOption(QStringLiteral("version"), QStringLiteral("Show the version and exit.")),
        QCommandLineOption(QStringLiteral("server"),
                           QStringLiteral("Connect to HOST[:PORT] instead of %1:%2.")
                               .arg(NetworkDefaults::ServerHost)
                               .arg(NetworkDefaults::ServerPort),
                           QStringLiteral("HOST[:PORT]")),
        QCommandLineOption(QStringLiteral("nick"),
                           QStringLiteral("Sign in directly with this nickname. The "
                                          "password, if any, is read from the "
                                          "VELMORA_PASSWORD environment variable."),
                           QStringLiteral("NICK")),
        QCommandLineOption(QStringLiteral("room"),
                           QStringLiteral("Room to join (default %1).").arg(NetworkDefaults::Room),
                           QStringLiteral("ROOM")),
        QCommandLineOption(
            QStringLiteral("log-dir"),
            QStringLiteral("Append every conversation line to a log file per view in DIR."),
            QStringLiteral("DIR")),
        QCommandLineOption(
            QStringLiteral("pages"),
            QStringLiteral("Load the network's web pages from URL (home.html, search.html, "
                           "entertainment.html, links.html, today.html) instead of its sites."),
            QStringLiteral("URL")),
        QCommandLineOption(
            QStringLiteral("check-start"),
            QStringLiteral("Start, show the first window, print the object name of every shown "
                           "window on stdout, one a line, and exit (code 1 when none was shown).")),
        QCommandLineOption(QStringLiteral("tls"),
                           QStringLiteral("Connect over TLS (port %1 unless one is given), "
                                          "verifying the server's certificate and host name.")
                               .arg(NetworkDefaults::TlsServerPort)),
        QCommandLineOption(QStringLiteral("ca-file"),
                           QStringLiteral("Trust the certificate authorities in FILE (PEM) besides "
                                          "the system's for TLS connections."),
                           QStringLiteral("FILE")),
    };
}

void addOptions(QCommandLineParser &parser, const Options &o)
{
    parser.setApplicationDescription(
        QStringLiteral("Velmora Messenger, a chat client for the Velmora IRC network."));
    parser.addOptions({o.help, o.version, o.server, o.nick, o.room, o.logDir, o.pages, o.checkStart,
                       o.tls, o.caFile});
    parser.addPositionalArgument(
        QStringLiteral("irc://HOST[:PORT]/ROOM"),
        QStringLiteral("Server and room to connect to; ircs:// connects over TLS (port %1).")
            .arg(NetworkDefaults::TlsServerPort),
        QStringLiteral("[irc[s]://HOST[:PORT]/ROOM]"));
}

QString versionText()
{
    return QStringLiteral("Velmora Messenger %1\n")
        .arg(QCoreApplication::applicationVersion().isEmpty()
                 ? QStringLiteral("1.0.0")
                 : QCoreApplication::applicationVersion());
}

// The values of the options that take one, checked in the order they are listed; the first
// bad one is the error.
bool readValues(const QCommandLineParser &parser, const Options &o, LaunchOptions &options,
                QString &error)
{
    if (parser.isSet(o.server) &&
        !parseServer(parser.value(o.server), options.host, options.port)) {
        error = QStringLiteral("bad --server value \"%1\": expected HOST[:PORT]")
                    .arg(parser.value(o.server));
        return false;
    }
    options.tls = options.tls || parser.isSet(o.tls);
    if (parser.isSet(o.caFile)) {
        options.extraAuthorities = QSslCertificate::fromPath(parser.value(o.caFile));
        if (options.extraAuthorities.isEmpty()) {
            error = QStringLiteral("no certificate could be read from --ca-file \"%1\"")
                        .arg(parser.value(o.caFile));
            return false;
        }
    }
    if (parser.isSet(o.nick)) {
        options.nick = parser.value(o.nick);
        error = nickProblem(options.nick);
        if (!error.isEmpty())
            return false;
    }
    if (parser.isSet(o.room)) {
        if (parser.value(o.room).trimmed().isEmpty()) {
            error = QStringLiteral("the room must not be empty");
            return false;
        }
        options.room = ircRoomName(parser.value(o.room));
    }
    if (parser.isSet(o.logDir)) {
        options.logDir = parser.value(o.logDir);
        if (options.logDir.isEmpty()) {
            error = QStringLiteral("the log directory must not be empty");
            return false;
        }
    }
    if (parser.isSet(o.pages)) {
        const QUrl base(parser.value(o.pages), QUrl::StrictMode);
        if (!base.isValid() || base.isRelative()) {
            error = QStringLiteral("bad --pages value \"%1\": expected an absolute URL")
                        .arg(parser.value(o.pages));
            return false;
        }
        options.pagesBase = base.toString();
    }
    return true;
}

} // namespace

LaunchOptions parseCommandLine(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QCommandLineParser parser;
    const Options o = describeOptions();
    addOptions(parser, o);
    if (!parser.parse(QStringList{QStringLiteral("velmora")} + arguments))
        return failure(parser.errorText());

    LaunchOptions options;
    if (parser.isSet(o.help)) {
        options.action = LaunchOptions::Action::ShowHelp;
        options.message = parser.helpText();
        return options;
    }
    if (parser.isSet(o.version)) {
        options.action = LaunchOptions::Action::ShowVersion;
        options.message = versionText();
        return options;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return failure(QStringLiteral("only one irc:// address may be given"));
    QString error;
    // 0 until a port is given; then the default of plain text or TLS, whichever is asked for.
    options.port = 0;
    if (!positional.isEmpty() && !parseIrcUrl(positional.first(), options, error))
        return failure(error);
    if (!readValues(parser, o, options, error))
        return failure(error);
    options.portIsDefault = options.port == 0;
    if (options.portIsDefault)
        options.port = options.tls ? NetworkDefaults::TlsServerPort : NetworkDefaults::ServerPort;
    if (error = wireValueProblem(options); !error.isEmpty())
        return failure(error);
    options.checkStart = parser.isSet(o.checkStart);
    options.password = environment.value(QStringLiteral("VELMORA_PASSWORD"));
    return options;
}

void removePasswordFromEnvironment()
{
    qunsetenv("VELMORA_PASSWORD");
}
